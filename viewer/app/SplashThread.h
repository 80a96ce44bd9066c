#pragma once

#include <functional>

class CAutoResetEvent;

// The splash routine: runs the splash window (runSplash returns its dialog
// result) and, when it ended with OK (1), signals "EVENT_SHOW_MAINDLG" so the
// main window's start-up may go on. Any other result leaves the event alone.
// Returns 1, as the thread routine does.
int SplashThreadBody(const std::function<int()>& runSplash, CAutoResetEvent& showMainDlgEvent);
