#include "map/MapTileSource.h"

#include "map/MapIds.h"
#include "settings/Settings.h"
#include "settings/SettingsConstants.h"

#include <QCoreApplication>
#include <QDir>
#include <QUrlQuery>

CMapTileSource DefaultMapTileSource()
{
    return {QString::fromLatin1(MapIds::kDefaultTileUrl), QString::fromUtf8(MapIds::kDefaultAttribution)};
}

CMapTileSource MapTileSourceFromSettings()
{
    CMapTileSource source = DefaultMapTileSource();
    if (!g_settings.IsLoaded())
        return source;
    const QString url = SettingsGetText(QString(Settings::kMapTileUrlKey)).trimmed();
    const QString attribution = SettingsGetText(QString(Settings::kMapAttributionKey)).trimmed();
    if (!url.isEmpty())
        source.url = url;
    if (!attribution.isEmpty())
        source.attribution = attribution;
    return source;
}

QUrl MapPageUrl(const QString& location, const CMapTileSource& source)
{
    QUrl url;
    if (location.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        url = QUrl(location);
    else if (QDir::isAbsolutePath(location))
        url = QUrl::fromLocalFile(location);
    else
        url = QUrl::fromUserInput(location);
    if (!url.isLocalFile() || url.hasQuery())
        return url;
    QUrlQuery query;
    query.addQueryItem(QString::fromLatin1(MapIds::kTileUrlQueryItem),
                       QString::fromLatin1(QUrl::toPercentEncoding(source.url)));
    query.addQueryItem(QString::fromLatin1(MapIds::kAttributionQueryItem),
                       QString::fromLatin1(QUrl::toPercentEncoding(source.attribution)));
    url.setQuery(query);
    return url;
}

QString MapPagePath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(MapIds::kMapPageFile));
}
