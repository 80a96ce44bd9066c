#include "app/InstanceLock.h"

#include <QDir>

#include <unistd.h>

QString CInstanceLock::LockDirectory()
{
    const QString forced = qEnvironmentVariable("KESTRAV_LOCK_DIR");
    if (!forced.isEmpty())
        return forced;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime;
    return QDir::tempPath() + QStringLiteral("/kestrav-%1").arg(::getuid());
}

QString CInstanceLock::LockPath()
{
    return LockDirectory() + QLatin1Char('/') + QLatin1String(kName) + QStringLiteral(".lock");
}

bool CInstanceLock::Acquire()
{
    QDir().mkpath(LockDirectory());
    m_lock = std::make_unique<QLockFile>(LockPath());
    // Never stale by age: a running viewer holds its lock for days. A lock
    // left by a dead process is recognised as stale and taken over.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    // When the lock cannot even be created (unwritable folder) there is no
    // rival to defer to: run without the rule rather than never start.
    if (m_lock->error() == QLockFile::PermissionError || m_lock->error() == QLockFile::UnknownError) {
        m_lock.reset();
        return true;
    }
    m_lock.reset();
    return false;
}

void CInstanceLock::Release()
{
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
}
