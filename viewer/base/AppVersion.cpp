#include "base/AppVersion.h"

#include "base/Numbers.h"

#include <QStringList>


QString ProgramFileVersion()
{
#ifdef KESTRAV_VERSION
    QStringList parts = QString::fromLatin1(KESTRAV_VERSION).split(QLatin1Char('.'));
    while (parts.size() < 4)
        parts << QStringLiteral("0");
    return parts.mid(0, 4).join(QLatin1Char('.'));
#else
    return QString();
#endif
}

QString FormatFileVersion(const QString& fileVersion)
{
    int n[4] = {0, 0, 0, 0};
    const QStringList parts = fileVersion.split(QLatin1Char('.'));
    for (int i = 0; i < 4 && i < parts.size(); ++i) {
        // Leading digits as the C library reads them: "7b" is 7, "x" is 0.
        const QByteArray piece = parts[i].trimmed().toLatin1();
        n[i] = int(CStringToLongLong(piece.constData()));
    }
    return QString::asprintf("%d.%d.%d.%02d", n[0], n[1], n[2], n[3]);
}
