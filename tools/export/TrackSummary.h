#pragma once

#include "telemetry/TextData.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// Figures of a drive, from one recording's telemetry or from several added
// up: distance, duration, moving time, top and average speed, the strongest
// G-sensor event and the hard-braking events. Pure computation, any thread.
namespace Export {

// ---- Thresholds (shown by --help and described in the README) ------------------
// A fix that would imply more than this speed from the last fix taken is a GPS
// glitch: it adds no distance and no speed. Two fixes in a row that agree with
// each other (not faster than this between them) but not with the last fix
// taken restart the track from them, without the jump's distance.
inline constexpr double kGlitchSpeedKmh = 300.0;
// An interval between consecutive fixes counts as moving when the fix at its
// start reads at least this speed, or the position moved at least this fast
// across it.
inline constexpr double kMovingSpeedKmh = 3.0;
// Hard braking: the GPS speed falls at this rate or faster (km/h per second,
// about 0.42 g) between consecutive fixes at most kBrakeMaxGapSec apart;
// consecutive falls of this kind form one event.
inline constexpr double kHardBrakeKmhPerSec = 15.0;
inline constexpr int kBrakeMaxGapSec = 2;
// Standard gravity, for decelerations in g.
inline constexpr double kStandardGravity = 9.80665;
// Mean Earth radius of the haversine distance, metres.
inline constexpr double kEarthRadiusM = 6371008.8;

// Great-circle distance in metres between two points in decimal degrees.
double HaversineMetres(double lat1, double lon1, double lat2, double lon2);

struct CBrakeEvent {
    int offsetSec = 0;   // seconds from the recording's first fix to the event's start
    QDateTime utc;       // the start fix's time (UTC); invalid when the fix has no date
    double fromKmh = 0.0;
    double toKmh = 0.0;
    int durationSec = 0;
    double peakG = 0.0;  // strongest deceleration between two of its fixes, in g
};

struct CGEvent {
    bool present = false;
    double g = 0.0;      // |sample - resting vector| in g
    int x = 0, y = 0, z = 0; // the raw sample, 1/128 g
    int offsetSec = 0;   // seconds into the recording (sample index by proportion)
    QDateTime utc;       // first timed fix + offset; invalid without one
};

struct CTrackSummary {
    QString name;
    int recordings = 0;
    int validFixes = 0;
    int glitches = 0;        // fixes skipped as glitches
    double distanceM = 0.0;
    double durationSec = 0.0;
    double movingSec = 0.0;
    double maxSpeedKmh = 0.0;
    QDateTime startUtc;      // first timed fix
    CGEvent strongestG;
    QList<CBrakeEvent> hardBraking;

    // distance / moving time; 0 without moving time.
    double AverageMovingKmh() const;
    // Adds another summary's figures (events keep their own recording's
    // offsets; the strongest G of both is kept).
    void Add(const CTrackSummary& other);
};

// The figures of one recording lasting `durationSec` seconds (the media's
// length; <= 0: the span of its fixes). G-sensor samples stand for seconds by
// proportion over that length; the resting vector is each axis's median.
CTrackSummary Summarise(const QString& name, const CTextData& data, double durationSec);

// "1:02:03" / "02:03" for whole seconds.
QString ClockText(double seconds);

// The summaries as a text table (per recording, then the total, then the
// events), speeds in km/h or mph.
QByteArray SummaryTable(const QList<CTrackSummary>& recordings, const CTrackSummary& total, bool mph);
// The same as JSON: {"unit":..., "recordings":[...], "total":{...}}; figures in
// metres, seconds and km/h whatever the unit, plus the speeds in the unit.
QByteArray SummaryJson(const QList<CTrackSummary>& recordings, const CTrackSummary& total, bool mph);

} // namespace Export
