#include "TrackSummary.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace Export {

namespace {
constexpr double kMphPerKmh = 0.621371192;

struct Fix {
    double lat = 0.0;
    double lon = 0.0;
    double speed = 0.0; // km/h
    double t = 0.0;     // seconds from the first fix
    QDateTime utc;
};

QDateTime FixTime(const CGPSData& g)
{
    const QDate date(2000 + g.year, g.month, g.day);
    const QTime time(g.hour, g.minute, g.second);
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC);
}

// Valid fixes with a position, timed by their clock when every one of them has
// a date, else one second apart (the camera writes one a second).
std::vector<Fix> TimedFixes(const CTextData& data)
{
    std::vector<Fix> fixes;
    bool allTimed = true;
    int index = 0;
    for (const CGPSData& g : data.gpsList) {
        const int i = index++;
        if (g.valid != 1 || (g.latitude == 0.0 && g.longitude == 0.0))
            continue;
        Fix f;
        f.lat = CGPSData::ToDecimalDegrees(g.latitude);
        f.lon = CGPSData::ToDecimalDegrees(g.longitude);
        f.speed = g.speed;
        f.utc = FixTime(g);
        f.t = i;
        allTimed = allTimed && f.utc.isValid();
        fixes.push_back(f);
    }
    if (allTimed && !fixes.empty()) {
        const QDateTime first = fixes.front().utc;
        for (Fix& f : fixes)
            f.t = double(first.secsTo(f.utc));
    } else if (!fixes.empty()) {
        const double first = fixes.front().t;
        for (Fix& f : fixes)
            f.t -= first;
    }
    return fixes;
}

double ImpliedKmh(const Fix& a, const Fix& b, double* metres)
{
    const double d = HaversineMetres(a.lat, a.lon, b.lat, b.lon);
    if (metres)
        *metres = d;
    const double dt = b.t - a.t;
    if (dt > 0)
        return d / dt * 3.6;
    return d > 1.0 ? std::numeric_limits<double>::infinity() : 0.0;
}

int Median(std::vector<int> v)
{
    if (v.empty())
        return 0;
    const auto mid = v.begin() + std::ptrdiff_t(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

QString UtcText(const QDateTime& utc)
{
    return utc.isValid() ? utc.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")) : QString();
}

double InUnit(double kmh, bool mph)
{
    return mph ? kmh * kMphPerKmh : kmh;
}
} // namespace

double HaversineMetres(double lat1, double lon1, double lat2, double lon2)
{
    constexpr double rad = M_PI / 180.0;
    const double dLat = (lat2 - lat1) * rad;
    const double dLon = (lon2 - lon1) * rad;
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2)
        + std::cos(lat1 * rad) * std::cos(lat2 * rad) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2.0 * kEarthRadiusM * std::asin(std::min(1.0, std::sqrt(h)));
}

double CTrackSummary::AverageMovingKmh() const
{
    return movingSec > 0 ? distanceM / movingSec * 3.6 : 0.0;
}

void CTrackSummary::Add(const CTrackSummary& o)
{
    recordings += o.recordings;
    validFixes += o.validFixes;
    glitches += o.glitches;
    distanceM += o.distanceM;
    durationSec += o.durationSec;
    movingSec += o.movingSec;
    maxSpeedKmh = std::max(maxSpeedKmh, o.maxSpeedKmh);
    if (!startUtc.isValid() || (o.startUtc.isValid() && o.startUtc < startUtc))
        startUtc = o.startUtc;
    if (o.strongestG.present && (!strongestG.present || o.strongestG.g > strongestG.g))
        strongestG = o.strongestG;
    hardBraking += o.hardBraking;
}

CTrackSummary Summarise(const QString& name, const CTextData& data, double durationSec)
{
    CTrackSummary s;
    s.name = name;
    s.recordings = 1;
    const std::vector<Fix> fixes = TimedFixes(data);
    s.validFixes = int(fixes.size());
    if (!fixes.empty())
        s.startUtc = fixes.front().utc;

    // Walk the fixes, skipping glitches; every accepted step a -> b feeds the figures.
    const Fix* last = nullptr;
    const Fix* pending = nullptr; // the last fix skipped as a glitch
    const Fix* eventEnd = nullptr; // where the open braking event's last step ended
    auto accept = [&](const Fix& f) { s.maxSpeedKmh = std::max(s.maxSpeedKmh, f.speed); };
    auto step = [&](const Fix& a, const Fix& b, double metres, double implied) {
        const double dt = b.t - a.t;
        s.distanceM += metres;
        if (dt > 0 && (a.speed >= kMovingSpeedKmh || implied >= kMovingSpeedKmh))
            s.movingSec += dt;
        const double rate = dt > 0 ? (a.speed - b.speed) / dt : 0.0;
        if (dt > 0 && dt <= kBrakeMaxGapSec && rate >= kHardBrakeKmhPerSec) {
            const double g = rate / 3.6 / kStandardGravity;
            if (eventEnd == &a && !s.hardBraking.isEmpty()) {
                CBrakeEvent& e = s.hardBraking.last();
                e.toKmh = b.speed;
                e.durationSec = int(std::lround(b.t - fixes[0].t)) - e.offsetSec;
                e.peakG = std::max(e.peakG, g);
            } else {
                CBrakeEvent e;
                e.offsetSec = int(std::lround(a.t - fixes[0].t));
                e.utc = a.utc;
                e.fromKmh = a.speed;
                e.toKmh = b.speed;
                e.durationSec = int(std::lround(dt));
                e.peakG = g;
                s.hardBraking << e;
            }
            eventEnd = &b;
        }
    };
    for (const Fix& f : fixes) {
        if (!last) {
            last = &f;
            accept(f);
            continue;
        }
        double metres = 0.0;
        const double implied = ImpliedKmh(*last, f, &metres);
        if (implied <= kGlitchSpeedKmh) {
            step(*last, f, metres, implied);
            accept(f);
            last = &f;
            pending = nullptr;
            continue;
        }
        double restartMetres = 0.0;
        if (pending && ImpliedKmh(*pending, f, &restartMetres) <= kGlitchSpeedKmh) {
            // The last fix taken was the odd one out: go on from the pair.
            --s.glitches;
            accept(*pending);
            step(*pending, f, restartMetres, ImpliedKmh(*pending, f, nullptr));
            accept(f);
            last = &f;
            pending = nullptr;
            continue;
        }
        ++s.glitches;
        pending = &f;
    }

    if (durationSec > 0)
        s.durationSec = durationSec;
    else if (!fixes.empty())
        s.durationSec = fixes.back().t - fixes.front().t;

    // The strongest G-sensor event: farthest from the resting vector.
    const auto& gs = data.gsensorList;
    if (!gs.empty()) {
        std::vector<int> xs, ys, zs;
        for (const CGSensorData& g : gs) {
            xs.push_back(g.x);
            ys.push_back(g.y);
            zs.push_back(g.z);
        }
        const double mx = Median(xs), my = Median(ys), mz = Median(zs);
        double best = -1.0;
        size_t bestIndex = 0;
        for (size_t i = 0; i < gs.size(); ++i) {
            const double dx = gs[i].x - mx, dy = gs[i].y - my, dz = gs[i].z - mz;
            const double n = std::sqrt(dx * dx + dy * dy + dz * dz);
            if (n > best) {
                best = n;
                bestIndex = i;
            }
        }
        const long long whole = (long long)std::floor(s.durationSec);
        CGEvent& e = s.strongestG;
        e.present = true;
        e.g = best / 128.0;
        e.x = gs[bestIndex].x;
        e.y = gs[bestIndex].y;
        e.z = gs[bestIndex].z;
        e.offsetSec = whole > 0 ? int((long long)bestIndex * whole / (long long)gs.size()) : int(bestIndex);
        if (s.startUtc.isValid())
            e.utc = s.startUtc.addSecs(e.offsetSec);
    }
    return s;
}

QString ClockText(double seconds)
{
    const long long total = seconds > 0 ? (long long)std::llround(seconds) : 0;
    const long long h = total / 3600, m = total / 60 % 60, sec = total % 60;
    if (h > 0)
        return QString::asprintf("%lld:%02lld:%02lld", h, m, sec);
    return QString::asprintf("%02lld:%02lld", m, sec);
}

QByteArray SummaryTable(const QList<CTrackSummary>& recordings, const CTrackSummary& total, bool mph)
{
    const char* unit = mph ? "mph" : "km/h";
    const char* distUnit = mph ? "mi" : "km";
    const double distFactor = mph ? kMphPerKmh : 1.0;
    int nameWidth = 5;
    for (const CTrackSummary& r : recordings)
        nameWidth = std::max(nameWidth, int(r.name.size()));
    QByteArray out;
    auto row = [&](const CTrackSummary& r, const QString& name) {
        QString g = QStringLiteral("-");
        if (r.strongestG.present)
            g = QString::asprintf("%.2f g at %s", r.strongestG.g, qPrintable(ClockText(r.strongestG.offsetSec)));
        out += QString::asprintf("%-*s %10.2f %9s %9s %7.0f %7.0f %4d  %s\n", nameWidth, qPrintable(name),
                                 r.distanceM / 1000.0 * distFactor, qPrintable(ClockText(r.durationSec)),
                                 qPrintable(ClockText(r.movingSec)), InUnit(r.maxSpeedKmh, mph),
                                 InUnit(r.AverageMovingKmh(), mph), int(r.hardBraking.size()), qPrintable(g))
                   .toUtf8();
    };
    out += QString::asprintf("%-*s %10s %9s %9s %7s %7s %4s  %s\n", nameWidth, "NAME",
                             qPrintable(QStringLiteral("DIST(%1)").arg(QLatin1String(distUnit))), "DURATION", "MOVING",
                             qPrintable(QStringLiteral("MAX")), qPrintable(QStringLiteral("AVG")), "BRK",
                             "STRONGEST G")
               .toUtf8();
    for (const CTrackSummary& r : recordings)
        row(r, r.name);
    row(total, QStringLiteral("TOTAL"));
    out += QByteArray("(speeds in ") + unit + "; AVG = distance / moving time)\n";
    bool header = false;
    for (const CTrackSummary& r : recordings) {
        for (const CBrakeEvent& e : r.hardBraking) {
            if (!header) {
                out += "\nHard braking:\n";
                header = true;
            }
            out += QString::asprintf("  %s at %s%s%s: %.0f -> %.0f %s in %d s, peak %.2f g\n", qPrintable(r.name),
                                     qPrintable(ClockText(e.offsetSec)), e.utc.isValid() ? " (" : "",
                                     e.utc.isValid() ? qPrintable(UtcText(e.utc) + QLatin1Char(')')) : "",
                                     InUnit(e.fromKmh, mph), InUnit(e.toKmh, mph), unit, e.durationSec, e.peakG)
                       .toUtf8();
        }
    }
    return out;
}

namespace {
QJsonObject ToJson(const CTrackSummary& s, bool mph)
{
    QJsonObject o;
    o[QStringLiteral("name")] = s.name;
    o[QStringLiteral("recordings")] = s.recordings;
    o[QStringLiteral("valid_fixes")] = s.validFixes;
    o[QStringLiteral("glitches_skipped")] = s.glitches;
    o[QStringLiteral("distance_m")] = s.distanceM;
    o[QStringLiteral("duration_s")] = s.durationSec;
    o[QStringLiteral("moving_s")] = s.movingSec;
    o[QStringLiteral("max_speed_kmh")] = s.maxSpeedKmh;
    o[QStringLiteral("avg_moving_speed_kmh")] = s.AverageMovingKmh();
    o[QStringLiteral("max_speed")] = InUnit(s.maxSpeedKmh, mph);
    o[QStringLiteral("avg_moving_speed")] = InUnit(s.AverageMovingKmh(), mph);
    o[QStringLiteral("start_utc")] = s.startUtc.isValid() ? QJsonValue(UtcText(s.startUtc)) : QJsonValue();
    if (s.strongestG.present) {
        QJsonObject g;
        g[QStringLiteral("g")] = s.strongestG.g;
        g[QStringLiteral("raw")] = QJsonArray{s.strongestG.x, s.strongestG.y, s.strongestG.z};
        g[QStringLiteral("offset_s")] = s.strongestG.offsetSec;
        g[QStringLiteral("utc")] = s.strongestG.utc.isValid() ? QJsonValue(UtcText(s.strongestG.utc)) : QJsonValue();
        o[QStringLiteral("strongest_g")] = g;
    } else {
        o[QStringLiteral("strongest_g")] = QJsonValue();
    }
    QJsonArray events;
    for (const CBrakeEvent& e : s.hardBraking) {
        QJsonObject j;
        j[QStringLiteral("offset_s")] = e.offsetSec;
        j[QStringLiteral("utc")] = e.utc.isValid() ? QJsonValue(UtcText(e.utc)) : QJsonValue();
        j[QStringLiteral("from_kmh")] = e.fromKmh;
        j[QStringLiteral("to_kmh")] = e.toKmh;
        j[QStringLiteral("duration_s")] = e.durationSec;
        j[QStringLiteral("peak_g")] = e.peakG;
        events.append(j);
    }
    o[QStringLiteral("hard_braking")] = events;
    return o;
}
} // namespace

QByteArray SummaryJson(const QList<CTrackSummary>& recordings, const CTrackSummary& total, bool mph)
{
    QJsonObject root;
    root[QStringLiteral("unit")] = mph ? QStringLiteral("mph") : QStringLiteral("km/h");
    QJsonObject thresholds;
    thresholds[QStringLiteral("glitch_speed_kmh")] = kGlitchSpeedKmh;
    thresholds[QStringLiteral("moving_speed_kmh")] = kMovingSpeedKmh;
    thresholds[QStringLiteral("hard_brake_kmh_per_s")] = kHardBrakeKmhPerSec;
    thresholds[QStringLiteral("hard_brake_max_gap_s")] = kBrakeMaxGapSec;
    root[QStringLiteral("thresholds")] = thresholds;
    QJsonArray list;
    for (const CTrackSummary& r : recordings)
        list.append(ToJson(r, mph));
    root[QStringLiteral("recordings")] = list;
    root[QStringLiteral("total")] = ToJson(total, mph);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace Export
