#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// One acceleration sample in 1/128 g (128 = 1 g).
class CGSensorData
{
public:
    CGSensorData() = default;
    CGSensorData(int32_t x_, int32_t y_, int32_t z_) : x(x_), y(y_), z(z_) {}
    virtual ~CGSensorData() = default;
    CGSensorData(const CGSensorData&) = default;
    CGSensorData& operator=(const CGSensorData&) = default;
    bool operator==(const CGSensorData& o) const { return x == o.x && y == o.y && z == o.z; }

    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
};

// One GPS fix as the RMC sentence gives it (UTC). Latitude and longitude keep
// the NMEA degrees-and-minutes form (ddmm.mmmm), negative for S and W.
class CGPSData
{
public:
    CGPSData() = default;
    // Parses an 8-bit RMC sentence; a null text yields the all-zero fix.
    explicit CGPSData(const char* sentence);
    explicit CGPSData(const QByteArray& sentence) : CGPSData(sentence.constData()) {}
    virtual ~CGPSData() = default;
    CGPSData(const CGPSData&) = default;
    CGPSData& operator=(const CGPSData&) = default;
    bool operator==(const CGPSData& o) const;

    // NMEA degrees-and-minutes to decimal degrees, keeping the sign.
    static double ToDecimalDegrees(double nmea);

    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
    int32_t valid = 0;
    double latitude = 0.0;
    double longitude = 0.0;
    double speed = 0.0;  // km/h, computed in single precision
    double course = 0.0; // degrees, read in single precision
};

// One vehicle-signal sample; 1 = on.
class CCarInfoData
{
public:
    CCarInfoData() = default;
    virtual ~CCarInfoData() = default;
    CCarInfoData(const CCarInfoData&) = default;
    CCarInfoData& operator=(const CCarInfoData&) = default;
    bool operator==(const CCarInfoData& o) const
    {
        return left == o.left && right == o.right && brake == o.brake && active == o.active;
    }

    int32_t left = 0;
    int32_t right = 0;
    int32_t brake = 0;
    int32_t active = 0;
};

// The telemetry of one recording: three independent series in decoding
// order. An empty G-sensor series means "not analysed yet". Filled by one
// thread at a time (under the process-wide analysis lock).
class CTextData
{
public:
    CTextData() = default;
    virtual ~CTextData() = default;
    CTextData(const CTextData&) = default;
    CTextData& operator=(const CTextData&) = default;
    CTextData(CTextData&&) = default;
    CTextData& operator=(CTextData&&) = default;

    // Decodes one text record and appends at most one sample to one series.
    void AddTextRecord(const QString& text);
    // Decodes the two halves of a split AVI record: one G-sensor sample
    // (stored as written), then one GPS fix.
    void AddSplitRecord(const QString& gpsText, const QString& gsensorText);
    // The same for 8-bit text as the files hold it: the bytes up to the
    // first zero byte (or all `length` of them) are the record. The result
    // is that of the wide-text operations on QString::fromLocal8Bit of those
    // bytes; plain ASCII records (all the camera writes) are decoded from
    // the bytes directly, without building the wide text.
    void AddTextRecord(const char* text, qsizetype length);
    void AddSplitRecord(const char* gpsText, qsizetype gpsLength, const char* gsensorText, qsizetype gsensorLength);

    void Clear();
    bool IsEmpty() const { return gsensorList.empty() && gpsList.empty() && carInfoList.empty(); }

    std::vector<CGSensorData> gsensorList;
    std::vector<CGPSData> gpsList;
    std::vector<CCarInfoData> carInfoList;
};

// The platform's decimal string-to-long conversion as the records use it:
// leading white space skipped, stops at the first non-digit, empty gives 0,
// saturates at the 32-bit range.
int32_t DecimalToLong(const QString& text);
