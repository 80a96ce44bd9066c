#include "telemetry/TextData.h"

#include "base/Numbers.h"

#include <QStringList>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

int32_t SaturateToInt32(long long v)
{
    if (v > INT32_MAX)
        return INT32_MAX;
    if (v < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(v);
}

// Field `index` of a comma-split record; a missing field is empty.
QString Field(const QStringList& fields, qsizetype index)
{
    return index < fields.size() ? fields.at(index) : QString();
}

// C-library decimal conversion of an 8-bit token, always with the "C"
// locale's rules (the process's locale may use a decimal comma).
double CDecimal(const char* text)
{
    return CStringToDouble(text);
}

// The positional comma tokenizer of the sentence parser: the first call
// skips leading commas, later calls return the text up to the next comma
// (empty where two commas meet); exhausted after the text's last field.
class CCommaTokenizer
{
public:
    explicit CCommaTokenizer(char* text) : m_next(text) {}

    char* Next()
    {
        if (!m_next)
            return nullptr;
        char* start = m_next;
        if (m_first) {
            m_first = false;
            while (*start == ',')
                ++start;
            if (*start == '\0') {
                m_next = nullptr;
                return nullptr;
            }
        }
        char* comma = std::strchr(start, ',');
        if (comma) {
            *comma = '\0';
            m_next = comma + 1;
        } else {
            m_next = nullptr;
        }
        return start;
    }

private:
    char* m_next;
    bool m_first = true;
};

// Characters [from, from+2) of `token` as a 2-character decimal number;
// characters beyond the token's end are missing and give 0.
int32_t TwoDigits(const char* token, size_t from)
{
    const size_t len = std::strlen(token);
    if (from >= len)
        return 0;
    char buf[3] = {token[from], from + 1 < len ? token[from + 1] : '\0', '\0'};
    return static_cast<int32_t>(CStringToLongLong(buf));
}

CGSensorData ClampedScaled(long long fx, long long fy, long long fz, long long k)
{
    auto scale = [k](long long v) -> int32_t {
        // Computed in 64 bits so that large readings clamp instead of wrapping.
        const long long s = v * 128 / k;
        return static_cast<int32_t>(std::clamp<long long>(s, -512, 512));
    };
    if (k == 0)
        return CGSensorData(0, 0, 0);
    return CGSensorData(scale(fx), scale(fy), scale(fz));
}

// Bytes [text, text + length) up to the first zero byte.
qsizetype UpToZero(const char* text, qsizetype length)
{
    if (!text || length <= 0)
        return 0;
    const void* zero = std::memchr(text, 0, static_cast<size_t>(length));
    return zero ? static_cast<qsizetype>(static_cast<const char*>(zero) - text) : length;
}

// A record of 7-bit bytes, zero-terminated in a buffer of our own: the local
// 8-bit code page maps such bytes one to one, so the wide text and its
// fields are not needed. Longer records (none the camera writes) and any
// other byte take the wide-text path.
class CAsciiRecord
{
public:
    CAsciiRecord(const char* text, qsizetype length)
    {
        if (length >= qsizetype(sizeof m_text))
            return;
        for (qsizetype i = 0; i < length; ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (c == 0 || c > 0x7F)
                return;
            if (c == ',' && m_fields < kMaxFields)
                m_fieldStart[m_fields++] = static_cast<uint8_t>(i + 1);
        }
        if (length > 0)
            std::memcpy(m_text, text, static_cast<size_t>(length));
        m_text[length] = '\0';
        m_length = length;
        m_ok = true;
    }
    bool IsAscii() const { return m_ok; }
    const char* Text() const { return m_text; }
    // The kind: the text before the first comma (none without a comma).
    bool KindIs(const char* kind) const
    {
        const size_t n = std::strlen(kind);
        return size_t(m_length) > n && std::memcmp(m_text, kind, n) == 0 && m_text[n] == ',';
    }
    // Field `index` (0 = the kind) converted as DecimalToLong converts the
    // field's text, trimmed or not: the conversion skips the same leading
    // white space and stops at the comma that ends the field. A missing
    // field reads 0.
    int32_t Decimal(int index) const
    {
        if (index > m_fields)
            return 0;
        return SaturateToInt32(CStringToLongLong(m_text + (index == 0 ? 0 : m_fieldStart[index - 1])));
    }

private:
    static constexpr int kMaxFields = 8; // the records read fields 0 to 5
    char m_text[256];
    qsizetype m_length = 0;
    bool m_ok = false;
    int m_fields = 0;                 // commas seen (up to kMaxFields)
    uint8_t m_fieldStart[kMaxFields]; // where field 1, 2, ... begins
};

} // namespace

int32_t DecimalToLong(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return SaturateToInt32(CStringToLongLong(bytes.constData()));
}

CGPSData::CGPSData(const char* sentence)
{
    if (!sentence)
        return;
    char buffer[1024];
    std::strncpy(buffer, sentence, sizeof buffer - 1);
    buffer[sizeof buffer - 1] = '\0';

    CCommaTokenizer tok(buffer);
    for (int index = 0; index <= 9; ++index) {
        const char* t = tok.Next();
        if (!t)
            return;
        switch (index) {
        case 0:
            break;
        case 1:
            hour = TwoDigits(t, 0);
            minute = TwoDigits(t, 2);
            second = TwoDigits(t, 4);
            break;
        case 2:
            valid = (t[0] == 'A') ? 1 : 0;
            break;
        case 3:
            latitude = CDecimal(t);
            break;
        case 4:
            if (t[0] != 'N')
                latitude = -latitude;
            break;
        case 5:
            longitude = CDecimal(t);
            break;
        case 6:
            if (t[0] != 'E')
                longitude = -longitude;
            break;
        case 7: {
            const float knots = static_cast<float>(CDecimal(t));
            speed = static_cast<double>(knots * 1.852f);
            break;
        }
        case 8:
            course = static_cast<double>(static_cast<float>(CDecimal(t)));
            break;
        case 9:
            day = TwoDigits(t, 0);
            month = TwoDigits(t, 2);
            year = TwoDigits(t, 4);
            break;
        default:
            break;
        }
    }
}

bool CGPSData::operator==(const CGPSData& o) const
{
    return year == o.year && month == o.month && day == o.day && hour == o.hour && minute == o.minute
        && second == o.second && valid == o.valid && latitude == o.latitude && longitude == o.longitude
        && speed == o.speed && course == o.course;
}

double CGPSData::ToDecimalDegrees(double nmea)
{
    // d = value truncated toward zero, integer-divided by 100.
    const double truncated = std::trunc(nmea);
    long long whole = (truncated >= static_cast<double>(LLONG_MIN) && truncated <= static_cast<double>(LLONG_MAX))
        ? static_cast<long long>(truncated) : 0;
    const long long d = whole / 100;
    return static_cast<double>(d) + (nmea - 100.0 * static_cast<double>(d)) / 60.0;
}

void CTextData::AddTextRecord(const QString& text)
{
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma < 0)
        return; // no kind
    const QString kind = text.left(comma);

    if (kind == QLatin1String("gsensor") || kind == QLatin1String("gsensori")) {
        QStringList fields = text.split(QLatin1Char(','));
        for (QString& f : fields)
            f = f.trimmed();
        if (kind == QLatin1String("gsensor")) {
            gsensorList.emplace_back(DecimalToLong(Field(fields, 1)), DecimalToLong(Field(fields, 2)),
                                     DecimalToLong(Field(fields, 3)));
            return;
        }
        const long long a = DecimalToLong(Field(fields, 1));
        const long long b = DecimalToLong(Field(fields, 2));
        const long long k = (a == 0) ? 0 : b / a;
        gsensorList.push_back(ClampedScaled(DecimalToLong(Field(fields, 3)), DecimalToLong(Field(fields, 4)),
                                            DecimalToLong(Field(fields, 5)), k));
        return;
    }
    if (kind == QLatin1String("GPRMC") || kind == QLatin1String("GNRMC")) {
        gpsList.emplace_back(text.toLocal8Bit());
        return;
    }
    if (kind == QLatin1String("CAR")) {
        const QStringList fields = text.split(QLatin1Char(','));
        CCarInfoData car;
        car.brake = DecimalToLong(Field(fields, 1));
        car.left = DecimalToLong(Field(fields, 2));
        car.right = DecimalToLong(Field(fields, 3));
        car.active = (car.brake != 0 || car.left != 0 || car.right != 0) ? 1 : 0;
        carInfoList.push_back(car);
        return;
    }
    // Any other kind is ignored.
}

void CTextData::AddSplitRecord(const QString& gpsText, const QString& gsensorText)
{
    QStringList fields = gsensorText.split(QLatin1Char(','));
    for (QString& f : fields)
        f = f.trimmed();
    gsensorList.emplace_back(DecimalToLong(Field(fields, 0)), DecimalToLong(Field(fields, 1)),
                             DecimalToLong(Field(fields, 2)));
    gpsList.emplace_back(gpsText.toLocal8Bit());
}

void CTextData::AddTextRecord(const char* text, qsizetype length)
{
    length = UpToZero(text, length);
    const CAsciiRecord record(text, length);
    if (!record.IsAscii()) {
        AddTextRecord(QString::fromLocal8Bit(text, length));
        return;
    }
    if (record.KindIs("gsensor")) {
        gsensorList.emplace_back(record.Decimal(1), record.Decimal(2), record.Decimal(3));
        return;
    }
    if (record.KindIs("gsensori")) {
        const long long a = record.Decimal(1);
        const long long b = record.Decimal(2);
        const long long k = (a == 0) ? 0 : b / a;
        gsensorList.push_back(ClampedScaled(record.Decimal(3), record.Decimal(4), record.Decimal(5), k));
        return;
    }
    if (record.KindIs("GPRMC") || record.KindIs("GNRMC")) {
        gpsList.emplace_back(record.Text());
        return;
    }
    if (record.KindIs("CAR")) {
        CCarInfoData car;
        car.brake = record.Decimal(1);
        car.left = record.Decimal(2);
        car.right = record.Decimal(3);
        car.active = (car.brake != 0 || car.left != 0 || car.right != 0) ? 1 : 0;
        carInfoList.push_back(car);
        return;
    }
    // Any other kind (or none) is ignored.
}

void CTextData::AddSplitRecord(const char* gpsText, qsizetype gpsLength, const char* gsensorText,
                               qsizetype gsensorLength)
{
    gpsLength = UpToZero(gpsText, gpsLength);
    gsensorLength = UpToZero(gsensorText, gsensorLength);
    const CAsciiRecord gps(gpsText, gpsLength);
    const CAsciiRecord gsensor(gsensorText, gsensorLength);
    if (!gps.IsAscii() || !gsensor.IsAscii()) {
        AddSplitRecord(QString::fromLocal8Bit(gpsText, gpsLength), QString::fromLocal8Bit(gsensorText, gsensorLength));
        return;
    }
    gsensorList.emplace_back(gsensor.Decimal(0), gsensor.Decimal(1), gsensor.Decimal(2));
    gpsList.emplace_back(gps.Text());
}

void CTextData::Clear()
{
    gsensorList.clear();
    gpsList.clear();
    carInfoList.clear();
}
