#include "evidence/ClipSpan.h"

#include "evidence/EvidenceIds.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace ClipSpan {

bool ParseTime(const QString& text, double* seconds)
{
    static const QRegularExpression re(
        QStringLiteral("^(?:(?:(\\d{1,3}):)?(\\d{1,2}):)?(\\d+)(?:\\.(\\d{1,6}))?$"));
    const QString t = text.trimmed();
    const QRegularExpressionMatch m = re.match(t);
    if (!m.hasMatch())
        return false;
    const bool hasHours = m.capturedLength(1) > 0;
    const bool hasMinutes = m.capturedLength(2) > 0;
    const long long h = hasHours ? m.captured(1).toLongLong() : 0;
    const long long min = hasMinutes ? m.captured(2).toLongLong() : 0;
    bool ok = false;
    const long long s = m.captured(3).toLongLong(&ok);
    if (!ok)
        return false;
    if (hasMinutes && (s >= 60 || m.capturedLength(3) > 2))
        return false;
    if (hasHours && min >= 60)
        return false;
    double fraction = 0.0;
    if (m.capturedLength(4) > 0)
        fraction = (QStringLiteral("0.") + m.captured(4)).toDouble();
    const double total = double(h) * 3600.0 + double(min) * 60.0 + double(s) + fraction;
    if (!std::isfinite(total) || total > 1e7)
        return false;
    if (seconds)
        *seconds = total;
    return true;
}

bool ParseSpan(const QString& text, double* from, double* to)
{
    const QStringList parts = text.split(QLatin1Char('-'));
    if (parts.size() != 2)
        return false;
    double a = 0.0, b = 0.0;
    if (!ParseTime(parts[0], &a) || !ParseTime(parts[1], &b) || !(a < b))
        return false;
    if (from)
        *from = a;
    if (to)
        *to = b;
    return true;
}

namespace {
// Whole seconds and milliseconds, rounded to the millisecond.
void Split(double seconds, long long* whole, int* millis)
{
    const long long ms = seconds > 0 ? (long long)std::llround(seconds * 1000.0) : 0;
    *whole = ms / 1000;
    *millis = int(ms % 1000);
}

QString Fraction(int millis)
{
    if (millis == 0)
        return QString();
    QString f = QString::asprintf(".%03d", millis);
    while (f.endsWith(QLatin1Char('0')))
        f.chop(1);
    return f;
}
} // namespace

QString FormatTime(double seconds)
{
    long long whole = 0;
    int millis = 0;
    Split(seconds, &whole, &millis);
    const long long h = whole / 3600, m = whole / 60 % 60, s = whole % 60;
    const QString base = h > 0 ? QString::asprintf("%lld:%02lld:%02lld", h, m, s) : QString::asprintf("%02lld:%02lld", m, s);
    return base + Fraction(millis);
}

QString FileTimePart(double seconds)
{
    long long whole = 0;
    int millis = 0;
    Split(seconds, &whole, &millis);
    const long long h = whole / 3600, m = whole / 60 % 60, s = whole % 60;
    QString text = h > 0 ? QString::asprintf("%lldh%02lldm%02lld", h, m, s) : QString::asprintf("%02lldm%02lld", m, s);
    return text + Fraction(millis) + QLatin1Char('s');
}

QString SanitiseName(const QString& name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_') || c == QLatin1Char('.'))
            out += c;
        else
            out += QLatin1Char('_');
    }
    while (out.startsWith(QLatin1Char('.')))
        out.remove(0, 1);
    return out.isEmpty() ? QStringLiteral("clip") : out;
}

QString OutputName(const QString& recordingPath, double from, double to)
{
    const QString base = QFileInfo(recordingPath).completeBaseName();
    return SanitiseName(base + QLatin1Char('_') + FileTimePart(from) + QLatin1Char('-') + FileTimePart(to))
        + QLatin1String(EvidenceIds::kClipExtension);
}

void DefaultSpan(double position, double duration, double length, double* from, double* to)
{
    duration = std::max(0.0, duration);
    length = std::min(std::max(0.0, length), duration);
    double a = position - length / 2.0;
    a = std::clamp(a, 0.0, duration - length);
    *from = std::floor(a);
    *to = std::min(duration, *from + length);
    if (*to - *from < length && *from > 0)
        *from = std::max(0.0, *to - length);
}

} // namespace ClipSpan
