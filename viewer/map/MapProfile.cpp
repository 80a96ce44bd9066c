#include "map/MapProfile.h"

#include "base/TraceLog.h"
#include "map/MapIds.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QStandardPaths>
#include <QWebEngineProfile>

QString MapCacheFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return QDir(base).filePath(QString::fromLatin1(MapIds::kCacheFolderName));
}

QWebEngineProfile* MapWebProfile()
{
    static QPointer<QWebEngineProfile> profile;
    if (profile)
        return profile;
    profile = new QWebEngineProfile(QString::fromLatin1(MapIds::kProfileName), QCoreApplication::instance());
    const QDir folder(MapCacheFolder());
    profile->setCachePath(folder.filePath(QStringLiteral("cache")));
    profile->setPersistentStoragePath(folder.filePath(QStringLiteral("storage")));
    profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    profile->setHttpCacheMaximumSize(int(MapIds::kHttpCacheMaxBytes));
    profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    profile->setSpellCheckEnabled(false);
    const QString agent = QString::fromLatin1(MapIds::kUserAgentProduct) + QString::fromLatin1(KESTRAV_VERSION)
        + QLatin1Char(' ') + profile->httpUserAgent();
    profile->setHttpUserAgent(agent);
    TraceLog(QStringLiteral("Kestrav : map profile, cache %1, agent %2").arg(profile->cachePath(), agent));
    return profile;
}
