#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

#include <sys/stat.h>
#include <sys/types.h>

// The single-instance rule: a lock named after "MUTEX_MOVARA" in the user's
// runtime folder, held for the process lifetime. The kernel-level lock behind
// QLockFile dies with its process, so a crashed viewer never blocks the next.
// Used on the main thread only.
class CInstanceLock
{
public:
    static constexpr const char* kName = "MUTEX_MOVARA";

    // Folder of the lock: $KESTRAV_LOCK_DIR, else $XDG_RUNTIME_DIR (when it
    // exists), else the fallback folder "kestrav-<uid>" in the temporary folder.
    static QString LockDirectory();
    static QString LockPath();
    // True when LockDirectory() is the fallback folder, which lies in a folder
    // every local user can write to and so is checked before use.
    static bool IsFallbackDirectory();

    // What a folder's lstat() says about it as a private lock folder of `uid`.
    enum class EFolder {
        Private,       // a real directory owned by uid, writable by nobody else
        NotADirectory, // a symbolic link, a file, ...
        WrongOwner,    // another user's directory: they could hold our lock
        OpenToOthers,  // group or others may write into it
        Unusable,      // missing and not creatable, or not examinable
    };
    static EFolder JudgeFolder(const struct stat& st, uid_t uid);
    // Creates `path` with mode 0700 when it is missing, then judges it.
    static EFolder PreparePrivateFolder(const QString& path, uid_t uid);

    // True when this process may run: it now holds the lock, or the lock
    // cannot be used (the fallback folder is refused, or the folder is not
    // writable; traced) and it runs without the rule. False when another live
    // process holds the lock.
    bool Acquire();
    bool IsHeld() const { return m_lock && m_lock->isLocked(); }
    void Release();

private:
    std::unique_ptr<QLockFile> m_lock;
};
