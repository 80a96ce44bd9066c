#pragma once

#include "map/MapBridge.h"
#include "map/WebBrowser2.h"

// The map browser with its script bridge: the main window's map control
// (id 1500). GUI thread only.
//
// ExecScript sends a call without waiting for it (scripts run
// asynchronously in the web engine): 0 when sent, -1 when not (no internet,
// empty code, page not ready). A call made before the page is ready is not
// kept for later.
//
// ExecScriptGetValue needs the page's answer, so it waits for it: it sends
// the code, then asks for the first field of the page's last form, and runs
// a nested event loop until the answer comes, at most kGetValueTimeoutMs
// (1 s). During that wait user input is held back (delivered afterwards),
// IsBusy() is true, and a second ExecScriptGetValue answers "" at once.
// Timers and other posted work still run: an owner's periodic handler must
// check IsBusy() and return. The browser may even be destroyed by such work;
// the call then returns what it has without touching it. On time-out, page
// loss or a missing answer the result is "". The text is returned as the
// page left it (the caller parses it).
class CWebBrowser2Ex : public CWebBrowser2, public IMapBridge
{
    Q_OBJECT

public:
    explicit CWebBrowser2Ex(QWidget* parent = nullptr, bool internetOk = true);
    ~CWebBrowser2Ex() override;

    int ExecScript(const QString& code) override;
    QString ExecScriptGetValue(const QString& code) override;
    bool IsReady() const override { return IsPageReady(); }
    bool IsBusy() const override { return m_busy; }

    // The wait bound of ExecScriptGetValue (kGetValueTimeoutMs by default).
    void SetGetValueTimeout(int ms) { m_getValueTimeoutMs = ms; }
    int GetValueTimeout() const { return m_getValueTimeoutMs; }

private:
    int m_getValueTimeoutMs;
    bool m_busy = false;
};
