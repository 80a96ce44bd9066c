#pragma once

#include "telemetry/TextData.h"

#include <QDateTime>
#include <QString>

// The telemetry of one whole second of a recording, chosen as the viewer's
// presentation chooses it while playing: for position `pos` of a recording
// lasting `dur` whole seconds, the G-sensor and vehicle-signal samples by
// proportion (index n * pos / dur, at most n - 1) and the GPS fix by count
// (index pos when there are at least dur fixes) or else by its clock (the
// first fix stamped no earlier than the first fix's time plus pos).
// Pure computation, any thread.
struct CTelemetryMoment {
    bool hasG = false;
    CGSensorData g;
    bool hasFix = false;     // a fix was chosen (valid or not)
    CGPSData fix;
    int fixIndex = -1;
    bool hasSignals = false;
    CCarInfoData carInfo;

    static CTelemetryMoment At(const CTextData& data, long pos, long dur);

    // The chosen fix gives a position and a speed.
    bool HasPosition() const { return hasFix && fix.valid == 1; }
    // The fix's own date and time (UTC), invalid when it has none.
    QDateTime FixTimeUtc() const;

    // Texts as the band shows them.
    // "2014-05-21 13:45:40 UTC", empty without a dated fix.
    QString TimeText() const;
    // "37.55206, 126.97500" (decimal degrees), empty without a position.
    QString PositionText() const;
    // Whole km/h (the fix's speed truncated), or mph rounded as the viewer
    // does (km/h * 0.621371192 + 0.5, truncated); -1 without a position.
    int SpeedValue(bool mph) const;
    // "X : 0.25" / "X :-0.25" (and Y, Z): the minus takes the blank's place.
    static QString GText(char axis, int raw);
};
