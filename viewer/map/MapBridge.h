#pragma once

#include <QString>

// The script bridge to the map page, as the main window's presentation sees
// it: the browser (CWebBrowser2Ex) in the viewer, a recording double
// (CRecordingMapBridge) in tests. GUI thread only.
class IMapBridge
{
public:
    virtual ~IMapBridge() = default;

    // Hands one script call to the page. 0 when it was sent; -1 when it was
    // not: no internet, empty code, or the page is not ready. Whether the page
    // then runs it without error is not reported (the call is asynchronous).
    virtual int ExecScript(const QString& code) = 0;

    // Runs `code` in the page, then reads the first field of the page's last
    // form and returns it as it stands (the caller parses it). An empty text
    // when nothing could be asked or no answer came in time. May run a nested
    // event loop for a bounded time (user input excluded); see IsBusy().
    virtual QString ExecScriptGetValue(const QString& code) = 0;

    // True while the page is loaded and answers calls.
    virtual bool IsReady() const = 0;

    // True while ExecScriptGetValue waits for the page. Timers keep firing
    // during that wait: a periodic handler of the owner that talks to the map
    // must return at once while this is true, so it never re-enters.
    virtual bool IsBusy() const = 0;
};
