#pragma once

#include <QString>

#include <sys/types.h>

// Tells whether the viewer is running, without sharing any code with it.
//
// The viewer's main window ("Kestrav") lives only while the viewer holds its
// single-instance lock, so the lock answers the question on every window
// system: a QLockFile named "MUTEX_MOVARA.lock" in $KESTRAV_LOCK_DIR, else
// $XDG_RUNTIME_DIR (when that folder exists), else <temp>/kestrav-<uid>.
// The launcher never opens a display connection to look for the window.
//
// The fallback folder lies in the shared temporary folder, so the viewer uses
// it only when it is a real directory of ours that nobody else can write to;
// otherwise the viewer runs without the rule. The probe follows suit: a lock
// in such a folder is not the viewer's and does not count.
class CViewerProbe
{
public:
    // The viewer's lock folder and file, looked up the way the viewer does.
    static QString LockDirectory();
    static QString LockPath();
    // True when LockDirectory() is the fallback folder "<temp>/kestrav-<uid>".
    static bool IsFallbackDirectory();
    // True when `folder` is a real directory (not a symbolic link) owned by
    // `uid` without group or other write access.
    static bool IsPrivateFolder(const QString& folder, uid_t uid);

    // True when a live process holds the lock at `lockPath`. A missing file,
    // or one left behind by a dead process, means the viewer is not running.
    // The probe removes nothing that a live process holds; when it takes the
    // lock to test it, it releases it before returning.
    static bool IsLockHeld(const QString& lockPath);

    // IsLockHeld(LockPath()), except that a lock in a fallback folder that is
    // not private counts for nothing (the viewer would not use it either).
    static bool IsViewerRunning();
};
