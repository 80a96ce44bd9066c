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

void CTextData::Clear()
{
    gsensorList.clear();
    gpsList.clear();
    carInfoList.clear();
}
