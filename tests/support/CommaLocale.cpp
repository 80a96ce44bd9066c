#include "support/CommaLocale.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <clocale>
#include <cstring>

#include <unistd.h>

namespace {

constexpr const char* kLocaleName = "de_DE.UTF-8";

bool TrySet(const char* name)
{
    if (!std::setlocale(LC_NUMERIC, name))
        return false;
    const lconv* conv = std::localeconv();
    return conv && conv->decimal_point && std::strcmp(conv->decimal_point, ",") == 0;
}

// Compiles de_DE.UTF-8 into `folder` unless it is there already. Built in a
// sibling folder and renamed into place, so parallel tests never see half a
// locale.
bool CompileLocale(const QString& folder, QString* reason)
{
    const QString target = folder + QLatin1Char('/') + QLatin1String(kLocaleName);
    if (QFileInfo::exists(target + QStringLiteral("/LC_NUMERIC")))
        return true;
    if (!QDir().mkpath(folder)) {
        *reason = QStringLiteral("cannot create %1").arg(folder);
        return false;
    }
    const QString localedef = QStandardPaths::findExecutable(QStringLiteral("localedef"));
    if (localedef.isEmpty()) {
        *reason = QStringLiteral("localedef not found (Debian package \"locales\")");
        return false;
    }
    QTemporaryDir work(folder + QStringLiteral("/build-XXXXXX"));
    if (!work.isValid()) {
        *reason = QStringLiteral("cannot create a work folder in %1").arg(folder);
        return false;
    }
    const QString built = work.filePath(QLatin1String(kLocaleName));
    QProcess p;
    p.start(localedef, {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"), QStringLiteral("UTF-8"), built});
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0
        || !QFileInfo::exists(built + QStringLiteral("/LC_NUMERIC"))) {
        *reason = QStringLiteral("localedef failed: %1").arg(QString::fromLocal8Bit(p.readAllStandardError()));
        return false;
    }
    // Another test may have won the race: its copy is as good as ours.
    if (!QDir().rename(built, target) && !QFileInfo::exists(target + QStringLiteral("/LC_NUMERIC"))) {
        *reason = QStringLiteral("cannot move the locale into %1").arg(target);
        return false;
    }
    return true;
}

} // namespace

CCommaDecimalLocale::CCommaDecimalLocale()
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    m_previous = previous ? QByteArray(previous) : QByteArray("C");

    // Installed system locales first.
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE", "fr_FR"}) {
        if (TrySet(name)) {
            m_active = true;
            m_name = QString::fromLatin1(name);
            return;
        }
    }
    std::setlocale(LC_NUMERIC, m_previous.constData());

    const QString folder = QDir::tempPath() + QStringLiteral("/kestrav-locales-%1").arg(::getuid());
    if (!CompileLocale(folder, &m_reason))
        return;
    m_previousLocPath = qgetenv("LOCPATH");
    qputenv("LOCPATH", QFile::encodeName(folder)); // glibc reads it on every setlocale
    if (TrySet(kLocaleName)) {
        m_active = true;
        m_name = QString::fromLatin1(kLocaleName);
        m_localPath = folder;
        return;
    }
    std::setlocale(LC_NUMERIC, m_previous.constData());
    RestoreLocPath();
    m_reason = QStringLiteral("%1 compiled into %2, but setlocale refuses it").arg(QLatin1String(kLocaleName), folder);
}

CCommaDecimalLocale::~CCommaDecimalLocale()
{
    std::setlocale(LC_NUMERIC, m_previous.constData());
    // Programs the test starts later see the environment it started with.
    if (!m_localPath.isEmpty())
        RestoreLocPath();
}

void CCommaDecimalLocale::RestoreLocPath()
{
    if (m_previousLocPath.isNull())
        qunsetenv("LOCPATH");
    else
        qputenv("LOCPATH", m_previousLocPath);
}

QProcessEnvironment CCommaDecimalLocale::ChildEnvironment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), m_name);
    env.insert(QStringLiteral("LANG"), m_name);
    if (!m_localPath.isEmpty())
        env.insert(QStringLiteral("LOCPATH"), m_localPath);
    return env;
}
