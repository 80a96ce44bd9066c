#include "evidence/TelemetryMoment.h"

#include "evidence/EvidenceIds.h"

namespace {
// A fix's date and time as the presentation builds it: year + 2000, a month
// or day that is not positive taken as 1.
QDateTime PresentationTime(const CGPSData& g)
{
    const QDate date(2000 + g.year, g.month > 0 ? g.month : 1, g.day > 0 ? g.day : 1);
    const QTime time(g.hour, g.minute, g.second);
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC);
}
} // namespace

CTelemetryMoment CTelemetryMoment::At(const CTextData& data, long pos, long dur)
{
    CTelemetryMoment m;
    if (dur <= 0 || pos < 0)
        return m;
    const long long n = (long long)data.gsensorList.size();
    if (n > 0) {
        long long i = n * pos / dur;
        if (i >= n)
            i = n - 1;
        m.hasG = true;
        m.g = data.gsensorList[size_t(i)];
    }
    const long long c = (long long)data.carInfoList.size();
    if (c > 0) {
        long long i = c * pos / dur;
        if (i >= c)
            i = c - 1;
        m.hasSignals = true;
        m.carInfo = data.carInfoList[size_t(i)];
    }
    const long long count = (long long)data.gpsList.size();
    if (count > 0) {
        long long k = -1;
        if (count >= dur) {
            k = (pos >= count || pos == dur) ? count - 1 : pos;
        } else {
            const QDateTime first = PresentationTime(data.gpsList.front());
            if (first.isValid()) {
                const QDateTime target = first.addSecs(pos);
                for (long long i = 0; i < count; ++i) {
                    const QDateTime t = PresentationTime(data.gpsList[size_t(i)]);
                    if (t.isValid() && t >= target) {
                        k = i;
                        break;
                    }
                }
            }
            if (k < 0 && pos > count)
                k = -2; // no fix for this second
            else if (k < 0 || pos == dur)
                k = count - 1;
        }
        if (k >= 0) {
            m.hasFix = true;
            m.fix = data.gpsList[size_t(k)];
            m.fixIndex = int(k);
        }
    }
    return m;
}

QDateTime CTelemetryMoment::FixTimeUtc() const
{
    if (!hasFix)
        return QDateTime();
    const QDate date(2000 + fix.year, fix.month, fix.day);
    const QTime time(fix.hour, fix.minute, fix.second);
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC);
}

QString CTelemetryMoment::TimeText() const
{
    const QDateTime t = FixTimeUtc();
    if (!t.isValid())
        return QString();
    return t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QLatin1String(EvidenceIds::kUtcSuffix);
}

QString CTelemetryMoment::PositionText() const
{
    if (!HasPosition())
        return QString();
    return QString::asprintf("%.*f, %.*f", EvidenceIds::kPositionDecimals, CGPSData::ToDecimalDegrees(fix.latitude),
                             EvidenceIds::kPositionDecimals, CGPSData::ToDecimalDegrees(fix.longitude));
}

int CTelemetryMoment::SpeedValue(bool mph) const
{
    if (!HasPosition())
        return -1;
    const int kmh = int(fix.speed);
    return mph ? int(kmh * EvidenceIds::kMphPerKmh + 0.5) : kmh;
}

QString CTelemetryMoment::GText(char axis, int raw)
{
    const float v = float(raw) / 128.0f;
    return v < 0 ? QString::asprintf("%c :%0.2f", axis, double(v)) : QString::asprintf("%c : %0.2f", axis, double(v));
}
