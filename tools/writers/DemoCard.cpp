#include "writers/DemoCard.h"

#include "writers/AviWriter.h"
#include "writers/MediaWriters.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// The drive: one timeline of 180 s sampled ten times a second.

struct LatLon {
    double lat, lon;
};

// Namyeong, Samgakji, Sinyongsan, Ichon, Hangang Bridge over Nodeulseom,
// Noryangjin, Olympic-daero to Yeouido.
const LatLon kRoute[] = {{37.5440, 126.9716}, {37.5347, 126.9730}, {37.5290, 126.9680}, {37.5210, 126.9610},
                         {37.5175, 126.9585}, {37.5120, 126.9530}, {37.5180, 126.9400}, {37.5240, 126.9280},
                         {37.5300, 126.9150}};
// Where the car is parked at night (Yeouido).
const LatLon kParking = {37.5262, 126.9241};

constexpr double kEarthRadius = 6371000.0;
constexpr double kPi = 3.14159265358979323846;
constexpr double kGravity = 9.80665;
constexpr int kCountsPerG = 256;    // the camera's "gsensori" scale: a = 1, b = 256
constexpr double kDriveSeconds = 180.0;
constexpr double kImpactTime = 141.0; // the collision on the drive timeline
constexpr double kInvalidFrom = 62.0;   // no GPS fix (under the overpasses) ...
constexpr double kInvalidTo = 70.0;     // ... until here

double Radians(double d)
{
    return d * kPi / 180.0;
}

double Distance(LatLon a, LatLon b)
{
    const double x = Radians(b.lon - a.lon) * std::cos(Radians((a.lat + b.lat) / 2));
    const double y = Radians(b.lat - a.lat);
    return std::sqrt(x * x + y * y) * kEarthRadius;
}

double Bearing(LatLon a, LatLon b)
{
    const double x = Radians(b.lon - a.lon) * std::cos(Radians((a.lat + b.lat) / 2));
    const double y = Radians(b.lat - a.lat);
    double deg = std::atan2(x, y) * 180.0 / kPi;
    return deg < 0 ? deg + 360.0 : deg;
}

// Signed smallest difference b - a of two bearings, -180..180.
double Turn(double a, double b)
{
    double d = std::fmod(b - a + 540.0, 360.0) - 180.0;
    return d;
}

class CRoute
{
public:
    CRoute()
    {
        m_cumulative.push_back(0.0);
        for (size_t i = 1; i < std::size(kRoute); ++i)
            m_cumulative.push_back(m_cumulative.back() + Distance(kRoute[i - 1], kRoute[i]));
    }
    // Position `s` metres along the route (held at the ends).
    LatLon At(double s) const
    {
        s = std::clamp(s, 0.0, m_cumulative.back());
        size_t i = 1;
        while (i + 1 < m_cumulative.size() && m_cumulative[i] < s)
            ++i;
        const double f = (s - m_cumulative[i - 1]) / (m_cumulative[i] - m_cumulative[i - 1]);
        return {kRoute[i - 1].lat + f * (kRoute[i].lat - kRoute[i - 1].lat),
                kRoute[i - 1].lon + f * (kRoute[i].lon - kRoute[i - 1].lon)};
    }
    double BearingAt(double s) const { return Bearing(At(s - 15.0), At(s + 15.0)); }

private:
    std::vector<double> m_cumulative;
};

struct DriveSample {
    double speedKmh = 0.0;
    double accel = 0.0;    // m/s², along the road
    double lateral = 0.0;  // m/s², to the right
    double distance = 0.0; // m along the route
    LatLon pos{0, 0};
    double course = 0.0;
    int turn = 0; // -1 left signal, 1 right signal
};

class CDrive
{
public:
    explicit CDrive(quint32 seed)
    {
        // Speed key points (s, km/h); the seed varies the speeds between the
        // stops and the 120 km/h stretch on the bridge.
        std::vector<std::pair<double, double>> keys = {
            {0, 0},    {3, 0},     {12, 38},  {22, 52},   {30, 45},   {37, 12},    {40, 0},
            {48, 0},   {58, 55},   {70, 78},  {84, 96},   {100, 120}, {116, 120},  {126, 70},
            {134, 52}, {140.8, 50}, {142, 0}, {155, 0},   {165, 45},  {180, 58}};
        QRandomGenerator rng(seed * 7919u + 17u);
        for (auto& k : keys)
            if (k.second > 0 && k.second < 120)
                k.second = std::min(115.0, k.second * (0.9 + 0.2 * rng.generateDouble()));
        auto speedAt = [&](double t) {
            for (size_t i = 1; i < keys.size(); ++i)
                if (t <= keys[i].first) {
                    const double f = (t - keys[i - 1].first) / (keys[i].first - keys[i - 1].first);
                    return keys[i - 1].second + f * (keys[i].second - keys[i - 1].second);
                }
            return keys.back().second;
        };
        const int n = int(kDriveSeconds * 10) + 1;
        m_samples.resize(size_t(n));
        double distance = 0.0;
        for (int i = 0; i < n; ++i) {
            DriveSample& d = m_samples[size_t(i)];
            const double t = i / 10.0;
            d.speedKmh = speedAt(t);
            if (i > 0)
                distance += (m_samples[size_t(i - 1)].speedKmh + d.speedKmh) / 2 / 3.6 * 0.1;
            d.distance = distance;
            d.accel = (speedAt(t + 0.05) - speedAt(std::max(0.0, t - 0.05))) / 3.6 / 0.1;
            d.pos = m_route.At(distance);
            d.course = m_route.BearingAt(distance);
            const double v = d.speedKmh / 3.6;
            const double curvature = Radians(Turn(m_route.BearingAt(distance - 20), m_route.BearingAt(distance + 20))) / 40.0;
            d.lateral = v * v * curvature;
            const double ahead = Turn(d.course, m_route.BearingAt(distance + 60));
            d.turn = v > 1 && ahead < -20 ? -1 : v > 1 && ahead > 20 ? 1 : 0;
        }
    }
    const DriveSample& At(double t) const
    {
        const int i = std::clamp(int(std::lround(t * 10)), 0, int(m_samples.size()) - 1);
        return m_samples[size_t(i)];
    }

private:
    CRoute m_route;
    std::vector<DriveSample> m_samples;
};

// ---------------------------------------------------------------------------
// Text records.

QByteArray WithChecksum(const QByteArray& sentence)
{
    unsigned char sum = 0;
    for (char c : sentence)
        sum ^= static_cast<unsigned char>(c);
    return sentence + "*" + QByteArray::number(sum, 16).rightJustified(2, '0').toUpper();
}

QByteArray Nmea(double value, int degreeDigits)
{
    const double a = std::fabs(value);
    const int deg = int(a);
    const double minutes = (a - deg) * 60.0;
    return QByteArray::number(deg).rightJustified(degreeDigits, '0')
           + QByteArray::number(minutes, 'f', 4).rightJustified(7, '0');
}

QByteArray Rmc(const QDateTime& utc, bool valid, LatLon pos, double speedKmh, double course)
{
    const QByteArray time = utc.time().toString(QStringLiteral("HHmmss")).toLatin1() + ".000";
    const QByteArray date = utc.date().toString(QStringLiteral("ddMMyy")).toLatin1();
    if (!valid)
        return WithChecksum("GPRMC," + time + ",V,,,,,,," + date + ",,,N");
    return WithChecksum("GPRMC," + time + ",A," + Nmea(pos.lat, 2) + (pos.lat < 0 ? ",S," : ",N,")
                        + Nmea(pos.lon, 3) + (pos.lon < 0 ? ",W," : ",E,")
                        + QByteArray::number(speedKmh / 1.852, 'f', 1).rightJustified(5, '0') + ","
                        + QByteArray::number(course, 'f', 1).rightJustified(5, '0') + "," + date + ",,,A");
}

struct Accel {
    double x, y, z; // g: right, forward, up
};

QByteArray GsensorRecord(const Accel& a)
{
    auto counts = [](double g) { return QByteArray::number(int(std::lround(g * kCountsPerG))); };
    return "gsensori,1," + QByteArray::number(kCountsPerG) + "," + counts(a.x) + "," + counts(a.y) + "," + counts(a.z);
}

// The G-sensor half of a split AVI record: x,y,z in 1/128 g.
QByteArray GsensorHalf(const Accel& a)
{
    auto v = [](double g) { return QByteArray::number(int(std::lround(g * 128))); };
    return v(a.x) + "," + v(a.y) + "," + v(a.z);
}

QByteArray CarRecord(int brake, int left, int right)
{
    return "CAR," + QByteArray::number(brake) + "," + QByteArray::number(left) + "," + QByteArray::number(right);
}

// What the camera measures at one moment.
struct Moment {
    QDateTime utc;
    bool valid = true;
    LatLon pos{0, 0};
    double speedKmh = 0.0;
    double course = 0.0;
    int brake = 0, left = 0, right = 0;
};

// A recording's source of moments and accelerations.
class CScene
{
public:
    virtual ~CScene() = default;
    virtual Moment At(double t) const = 0;     // t: seconds into the recording
    virtual Accel AccelAt(double t) const = 0; // g
};

class CDriveScene : public CScene
{
public:
    CDriveScene(const CDrive& drive, double driveStart, QDateTime utcStart, quint32 noiseSeed)
        : m_drive(drive), m_start(driveStart), m_utc(std::move(utcStart)), m_seed(noiseSeed)
    {
    }
    Moment At(double t) const override
    {
        const double dt = m_start + t;
        const DriveSample& d = m_drive.At(dt);
        Moment m;
        m.utc = m_utc.addMSecs(qint64(std::floor(t)) * 1000);
        m.valid = !(dt >= kInvalidFrom && dt < kInvalidTo);
        m.pos = d.pos;
        m.speedKmh = d.speedKmh;
        m.course = d.course;
        m.brake = (d.accel < -0.4 || d.speedKmh < 0.5) ? 1 : 0;
        // Turn signals blink: on in every other second.
        const bool lit = (int(std::floor(dt)) % 2) == 0;
        m.left = d.turn < 0 && lit ? 1 : 0;
        m.right = d.turn > 0 && lit ? 1 : 0;
        return m;
    }
    Accel AccelAt(double t) const override
    {
        const double dt = m_start + t;
        const DriveSample& d = m_drive.At(dt);
        Accel a{d.lateral / kGravity + Noise(t, 1) * 0.03, d.accel / kGravity + Noise(t, 2) * 0.03,
                1.0 + Noise(t, 3) * 0.05};
        const double sinceImpact = dt - kImpactTime;
        if (std::fabs(sinceImpact) < 0.25) {
            const double f = std::fabs(sinceImpact) < 0.05 ? 1.0 : 0.45;
            a = {a.x + 1.6 * f, a.y - 3.4 * f, a.z + 1.2 * f};
        }
        return a;
    }

private:
    // Deterministic noise in -1..1 for a time and channel.
    double Noise(double t, int channel) const
    {
        quint32 h = m_seed * 2654435761u ^ quint32(std::lround(t * 10)) * 40503u ^ quint32(channel) * 97u;
        h ^= h >> 15;
        h *= 2246822519u;
        h ^= h >> 13;
        return (h % 2001) / 1000.0 - 1.0;
    }

    const CDrive& m_drive;
    double m_start;
    QDateTime m_utc;
    quint32 m_seed;
};

class CParkedScene : public CScene
{
public:
    CParkedScene(QDateTime utcStart, double impactAt) : m_utc(std::move(utcStart)), m_impact(impactAt) {}
    Moment At(double t) const override
    {
        Moment m;
        m.utc = m_utc.addMSecs(qint64(std::floor(t)) * 1000);
        m.pos = kParking;
        m.course = 0.0;
        return m;
    }
    Accel AccelAt(double t) const override
    {
        const int i = int(std::lround(t * 10));
        Accel a{((i * 37) % 5 - 2) * 0.004, ((i * 53) % 5 - 2) * 0.004, 1.0 + ((i * 29) % 5 - 2) * 0.006};
        if (m_impact >= 0 && std::fabs(t - m_impact) < 0.25) {
            const double f = std::fabs(t - m_impact) < 0.05 ? 1.0 : 0.4;
            a = {a.x - 2.1 * f, a.y + 1.2 * f, a.z + 0.9 * f};
        }
        return a;
    }

private:
    QDateTime m_utc;
    double m_impact;
};

// MP4 text track: per second an RMC sentence, ten G-sensor samples and the
// vehicle signals.
QList<QByteArray> Mp4Records(const CScene& scene, double seconds)
{
    QList<QByteArray> records;
    for (int s = 0; s < int(std::ceil(seconds)); ++s) {
        const Moment m = scene.At(s);
        records << Rmc(m.utc, m.valid, m.pos, m.speedKmh, m.course);
        for (int k = 0; k < 10; ++k)
            records << GsensorRecord(scene.AccelAt(s + k / 10.0));
        records << CarRecord(m.brake, m.left, m.right);
    }
    return records;
}

// AVI text chunks: per second a split record (RMC and the first G-sensor
// sample), nine G-sensor records and the vehicle signals (zero-padded).
QList<QByteArray> AviPayloads(const CScene& scene, double seconds)
{
    QList<QByteArray> payloads;
    for (int s = 0; s < int(std::ceil(seconds)); ++s) {
        const Moment m = scene.At(s);
        payloads << CAviWriter::SplitPayload(Rmc(m.utc, m.valid, m.pos, m.speedKmh, m.course),
                                             GsensorHalf(scene.AccelAt(s)));
        for (int k = 1; k < 10; ++k)
            payloads << CAviWriter::TextPayload(GsensorRecord(scene.AccelAt(s + k / 10.0)));
        payloads << CAviWriter::TextPayload(CarRecord(m.brake, m.left, m.right), 32);
    }
    return payloads;
}

QString FileName(const QDateTime& local, char channel, const char* extension)
{
    return QStringLiteral("REC_%1_%2.%3")
        .arg(local.toString(QStringLiteral("yyyy_MM_dd_HH_mm_ss")), QString(QLatin1Char(channel)),
             QLatin1String(extension));
}

bool Fail(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return false;
}

// Creates the folders and writes the device record.
bool BeginCard(QDir& dir, const QStringList& folders, const QByteArray& deviceRecord, QString* error)
{
    if (!dir.mkpath(QStringLiteral("SETTING")))
        return Fail(error, QStringLiteral("cannot create %1").arg(dir.filePath(QStringLiteral("SETTING"))));
    for (const QString& f : folders)
        if (!dir.mkpath(f))
            return Fail(error, QStringLiteral("cannot create %1").arg(dir.filePath(f)));
    QSaveFile f(dir.filePath(QStringLiteral("SETTING/setup.cfg")));
    if (!f.open(QIODevice::WriteOnly) || f.write(deviceRecord) != deviceRecord.size() || !f.commit())
        return Fail(error, QStringLiteral("cannot write setup.cfg"));
    return true;
}

constexpr int kKoreaOffset = 9 * 3600;
const QSize kFrontSize(640, 360);
const QSize kRearSize(320, 180);
constexpr int kFrontKbps = 450;
constexpr int kRearKbps = 150;

} // namespace

QStringList DemoCategoryFolders()
{
    return {QStringLiteral("상시녹화"), QStringLiteral("상시충격"), QStringLiteral("수동녹화"),
            QStringLiteral("주차모션"), QStringLiteral("주차충격")};
}

QByteArray DemoDeviceRecord(const QByteArray& model)
{
    QByteArray record(kDemoDeviceRecordSize, '\0');
    auto put = [&record](int offset, const QByteArray& text, int room) {
        record.replace(offset, std::min<int>(int(text.size()), room - 1), text.left(room - 1));
    };
    const QByteArray bareModel = model.left(model.indexOf('(') >= 0 ? model.indexOf('(') : model.size());
    put(8, model, 32);
    put(40, "2.03.11", 184);
    record[224] = 1; // safe-driving section version 24.05.13.01 (bytes 227..224)
    record[225] = 13;
    record[226] = 5;
    record[227] = 24;
    put(228, "SETTING/" + bareModel + "_Setup.exe", 128);
    put(356, "MCU 1.0.7", 64);
    return record;
}

namespace {

// Plans the card and, when `write` is set, writes it.
bool BuildCard(const QString& root, const CDemoCardOptions& options, bool write, CDemoCardManifest& out, QString* error)
{
    QDir dir(root);
    out = CDemoCardManifest();
    out.deviceRecord = DemoDeviceRecord(options.model);
    const QStringList folders = DemoCategoryFolders();
    if (write && !BeginCard(dir, folders, out.deviceRecord, error))
        return false;

    // The day and the time the drive starts come from the seed.
    QRandomGenerator rng(options.seed);
    const QDate day = QDate(2024, 5, 6).addDays(rng.bounded(21));
    const QDateTime driveStart(day, QTime(8, 10, 0).addSecs(rng.bounded(1800)), Qt::OffsetFromUTC, kKoreaOffset);
    const CDrive drive(options.seed);
    auto clip = [&](double s) { return options.maxSeconds > 0 ? std::min(s, options.maxSeconds) : s; };

    struct Plan {
        QString folder;
        bool avi;
        int videoStreams;
        double seconds;
        QDateTime start; // local
        std::unique_ptr<CScene> scene;
    };
    std::vector<Plan> plans;
    auto drivePlan = [&](const QString& folder, bool avi, int streams, double from, double seconds, int clockGap) {
        const QDateTime start = driveStart.addSecs(qint64(from) + clockGap);
        plans.push_back({folder, avi, streams, clip(seconds), start,
                         std::make_unique<CDriveScene>(drive, from, start.toUTC(), options.seed + quint32(from))});
    };
    drivePlan(folders[0], false, 2, 0, 45, 0);
    drivePlan(folders[0], false, 2, 45, 45, 0);
    drivePlan(folders[0], false, 2, 90, 40, 0);
    drivePlan(folders[1], false, 2, 130, 20, 0);  // the collision at 11 s
    drivePlan(folders[2], true, 2, 150, 30, 240); // after four minutes at the roadside
    const QDateTime night(day, QTime(21, 40, 12).addSecs(rng.bounded(600)), Qt::OffsetFromUTC, kKoreaOffset);
    plans.push_back({folders[3], true, 1, clip(20), night, std::make_unique<CParkedScene>(night.toUTC(), -1.0)});
    const QDateTime later = night.addSecs(4923);
    plans.push_back({folders[4], true, 2, clip(20), later, std::make_unique<CParkedScene>(later.toUTC(), 7.0)});

    for (size_t i = 0; i < plans.size(); ++i) {
        const Plan& p = plans[i];
        const quint32 seed = options.seed * 31u + quint32(i);
        if (p.avi) {
            CDemoRecording rec;
            rec.path = dir.filePath(p.folder + QLatin1Char('/') + FileName(p.start, 'F', "AVI"));
            rec.category = p.folder;
            rec.avi = true;
            rec.videoStreams = p.videoStreams;
            rec.seconds = p.seconds;
            rec.start = p.start;
            rec.text = AviPayloads(*p.scene, p.seconds);
            AviOptions o;
            o.durationSec = p.seconds;
            o.size = kFrontSize;
            o.videoKbps = kFrontKbps;
            o.secondVideo = p.videoStreams == 2;
            o.secondSize = kRearSize;
            o.secondVideoKbps = kRearKbps;
            o.audio = true;
            o.textPayloads = rec.text;
            o.clockStart = p.start;
            o.seed = seed;
            QString why;
            if (write && !WriteTestAvi(rec.path, o, &why))
                return Fail(error, rec.path + QStringLiteral(": ") + why);
            out.totalBytes += QFileInfo(rec.path).size();
            out.recordings << rec;
            continue;
        }
        const QList<QByteArray> records = Mp4Records(*p.scene, p.seconds);
        QList<QByteArray> packets;
        for (const QByteArray& r : records)
            packets << Mp4TextPacket(r);
        for (char channel : {'F', 'R'}) {
            CDemoRecording rec;
            rec.path = dir.filePath(p.folder + QLatin1Char('/') + FileName(p.start, channel, "MP4"));
            rec.category = p.folder;
            rec.seconds = p.seconds;
            rec.start = p.start;
            rec.text = records;
            Mp4Options o;
            o.durationSec = p.seconds;
            o.size = channel == 'F' ? kFrontSize : kRearSize;
            o.videoKbps = channel == 'F' ? kFrontKbps : kRearKbps;
            o.audio = channel == 'F';
            o.textTracks = {packets};
            o.clockStart = p.start;
            o.channel = channel;
            o.seed = seed + (channel == 'R' ? 3u : 0u);
            QString why;
            if (write && !WriteTestMp4(rec.path, o, &why))
                return Fail(error, rec.path + QStringLiteral(": ") + why);
            out.totalBytes += QFileInfo(rec.path).size();
            out.recordings << rec;
        }
    }
    if (!write)
        out.totalBytes = 0;
    return true;
}

} // namespace

CDemoCardManifest PlanDemoCard(const QString& root, const CDemoCardOptions& options)
{
    CDemoCardManifest manifest;
    BuildCard(root, options, false, manifest, nullptr);
    return manifest;
}

bool WriteDemoCard(const QString& root, const CDemoCardOptions& options, CDemoCardManifest* manifest, QString* error)
{
    CDemoCardManifest local;
    return BuildCard(root, options, true, manifest ? *manifest : local, error);
}
