#pragma once

#include <QString>

// Tells whether the viewer is running, without sharing any code with it.
//
// The viewer's main window ("Kestrav") lives only while the viewer holds its
// single-instance lock, so the lock answers the question on every window
// system: a QLockFile named "MUTEX_MOVARA.lock" in $KESTRAV_LOCK_DIR, else
// $XDG_RUNTIME_DIR (when that folder exists), else <temp>/kestrav-<uid>.
// The launcher never opens a display connection to look for the window.
class CViewerProbe
{
public:
    // The viewer's lock folder and file, looked up the way the viewer does.
    static QString LockDirectory();
    static QString LockPath();

    // True when a live process holds the lock at `lockPath`. A missing file,
    // or one left behind by a dead process, means the viewer is not running.
    // The probe removes nothing that a live process holds; when it takes the
    // lock to test it, it releases it before returning.
    static bool IsLockHeld(const QString& lockPath);

    // IsLockHeld(LockPath()).
    static bool IsViewerRunning();
};
