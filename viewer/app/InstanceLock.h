#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// The single-instance rule: a lock named after "MUTEX_MOVARA" in the user's
// runtime folder, held for the process lifetime. The kernel-level lock behind
// QLockFile dies with its process, so a crashed viewer never blocks the next.
class CInstanceLock
{
public:
    static constexpr const char* kName = "MUTEX_MOVARA";

    // Folder of the lock: $KESTRAV_LOCK_DIR, else $XDG_RUNTIME_DIR, else a
    // per-user folder under the temporary folder.
    static QString LockDirectory();
    static QString LockPath();

    // True when this process now holds the lock; false when another live
    // process holds it (or the folder cannot be written, see the note in .cpp).
    bool Acquire();
    bool IsHeld() const { return m_lock && m_lock->isLocked(); }
    void Release();

private:
    std::unique_ptr<QLockFile> m_lock;
};
