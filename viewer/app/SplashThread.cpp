#include "app/SplashThread.h"

#include "base/AutoResetEvent.h"
#include "base/TraceLog.h"

int SplashThreadBody(const std::function<int()>& runSplash, CAutoResetEvent& showMainDlgEvent)
{
    constexpr int IDOK = 1;
    if (runSplash && runSplash() == IDOK) {
        showMainDlgEvent.Set();
        TraceLog(QStringLiteral("Kestrav----->Splash disappeard event set"));
    }
    return 1;
}
