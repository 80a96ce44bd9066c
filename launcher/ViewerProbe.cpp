#include "ViewerProbe.h"

#include "LauncherConstants.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

QString CViewerProbe::LockDirectory()
{
    const QString forced = qEnvironmentVariable(Launcher::kLockDirVariable);
    if (!forced.isEmpty())
        return forced;
    const QString runtime = qEnvironmentVariable(Launcher::kRuntimeDirVariable);
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime;
    return QDir::tempPath() + QString::fromLatin1(Launcher::kTempLockDirPattern).arg(::getuid());
}

bool CViewerProbe::IsFallbackDirectory()
{
    if (!qEnvironmentVariable(Launcher::kLockDirVariable).isEmpty())
        return false;
    const QString runtime = qEnvironmentVariable(Launcher::kRuntimeDirVariable);
    return runtime.isEmpty() || !QDir(runtime).exists();
}

bool CViewerProbe::IsPrivateFolder(const QString& folder, uid_t uid)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(folder).constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == uid && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

QString CViewerProbe::LockPath()
{
    return LockDirectory() + QLatin1Char('/') + QLatin1String(Launcher::kViewerLockName)
        + QLatin1String(Launcher::kLockFileSuffix);
}

bool CViewerProbe::IsLockHeld(const QString& lockPath)
{
    // No file, no viewer: nothing is created in that case.
    if (!QFileInfo::exists(lockPath))
        return false;

    // Try to take the lock and give it back at once. QLockFile recognises a
    // lock whose owner died and takes it over; never stale by age, as in the
    // viewer (a viewer may run for days).
    QLockFile probe(lockPath);
    probe.setStaleLockTime(0);
    if (probe.tryLock(0)) {
        probe.unlock();
        return false;
    }
    if (probe.error() == QLockFile::LockFailedError)
        return true;

    // The lock could not be tested (e.g. the folder is not writable): judge by
    // the owner recorded in the file.
    qint64 pid = 0;
    QString hostName, appName;
    if (!probe.getLockInfo(&pid, &hostName, &appName) || pid <= 0)
        return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

bool CViewerProbe::IsViewerRunning()
{
    if (IsFallbackDirectory() && !IsPrivateFolder(LockDirectory(), ::getuid()))
        return false;
    return IsLockHeld(LockPath());
}
