#include "app/InstanceLock.h"

#include "base/TraceLog.h"

#include <QDir>
#include <QFile>

#include <cerrno>

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

bool CInstanceLock::IsFallbackDirectory()
{
    if (!qEnvironmentVariable("KESTRAV_LOCK_DIR").isEmpty())
        return false;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return runtime.isEmpty() || !QDir(runtime).exists();
}

QString CInstanceLock::LockPath()
{
    return LockDirectory() + QLatin1Char('/') + QLatin1String(kName) + QStringLiteral(".lock");
}

CInstanceLock::EFolder CInstanceLock::JudgeFolder(const struct stat& st, uid_t uid)
{
    if (!S_ISDIR(st.st_mode))
        return EFolder::NotADirectory;
    if (st.st_uid != uid)
        return EFolder::WrongOwner;
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return EFolder::OpenToOthers;
    return EFolder::Private;
}

CInstanceLock::EFolder CInstanceLock::PreparePrivateFolder(const QString& path, uid_t uid)
{
    const QByteArray name = QFile::encodeName(path);
    // mkdir never follows a symbolic link in the last component, and an
    // existing entry (whoever made it) is judged as it stands.
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return EFolder::Unusable;
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0)
        return EFolder::Unusable;
    return JudgeFolder(st, uid);
}

bool CInstanceLock::Acquire()
{
    const QString folder = LockDirectory();
    if (IsFallbackDirectory()) {
        const EFolder verdict = PreparePrivateFolder(folder, ::getuid());
        if (verdict != EFolder::Private) {
            // Another local user could hold a lock there and so keep every
            // viewer from starting: run without the rule instead.
            static const char* const kWhy[] = {"", "not a directory", "owned by another user",
                                               "writable by others", "not usable"};
            TraceLogF("Kestrav : lock folder %s refused (%s); running without the single-instance rule",
                      QFile::encodeName(folder).constData(), kWhy[static_cast<int>(verdict)]);
            m_lock.reset();
            return true;
        }
    } else {
        QDir().mkpath(folder);
    }
    m_lock = std::make_unique<QLockFile>(LockPath());
    // Never stale by age: a running viewer holds its lock for days. A lock
    // left by a dead process is recognised as stale and taken over.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    // When the lock cannot even be created (unwritable folder) there is no
    // rival to defer to: run without the rule rather than never start.
    if (m_lock->error() == QLockFile::PermissionError || m_lock->error() == QLockFile::UnknownError) {
        TraceLogF("Kestrav : lock %s cannot be created; running without the single-instance rule",
                  QFile::encodeName(LockPath()).constData());
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
