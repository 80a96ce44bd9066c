#pragma once

#include "map/MapTileSource.h"

#include <QUrl>
#include <QWidget>

class QWebEnginePage;
class QWebEngineView;

// The map browser control: a child window that hosts one QWebEngineView
// showing the map page. GUI thread only.
//
// The web engine is started lazily: the view and its page (in the map
// profile, MapWebProfile()) are made by the first Navigate() that is allowed
// to run, so without internet no engine process is ever started.
//
// Page state. The page is ready once it has loaded and reported its map
// ready (window.kestravMapReady); PageReady() is emitted then. A new
// navigation, a failed load (PageLoadFailed()) or a renderer process that
// ends (PageLost()) leave it not ready. After a renderer crash the page is
// reloaded once per navigation (kMaxPageReloads); when the reload loads,
// PageReady() follows. Nothing here shows a message.
//
// Links in the page never navigate the control (the map page is the only
// page it shows), popups are refused and there is no context menu.
class CWebBrowser2 : public QWidget
{
    Q_OBJECT

public:
    // `internetOk`: the result of the start-up connectivity probe; while it
    // is false Navigate does nothing and the bridge answers no call.
    explicit CWebBrowser2(QWidget* parent = nullptr, bool internetOk = true);
    ~CWebBrowser2() override;

    void SetInternetOk(bool ok) { m_internetOk = ok; }
    bool InternetOk() const { return m_internetOk; }

    // The tile source a local page is loaded with (the settings file's at
    // construction, MapTileSourceFromSettings()). Takes effect at the next
    // Navigate.
    void SetTileSource(const CMapTileSource& source) { m_tileSource = source; }
    CMapTileSource TileSource() const { return m_tileSource; }

    // Loads `url`: a local path or file URL of the map page (which then gets
    // the tile source as query items, see MapPageUrl) or any URL. Nothing
    // happens while InternetOk() is false. Returns at once; the load goes on
    // in the event loop.
    void Navigate(const QString& url);

    bool IsPageReady() const { return m_ready; }
    // Whether the engine view exists (the first allowed Navigate made it).
    bool HasView() const { return m_view != nullptr; }
    QWebEngineView* View() const { return m_view; }
    // The URL of the last Navigate (empty before).
    QUrl PageUrl() const { return m_url; }
    // The page's renderer process id, 0 without one.
    qint64 RenderProcessPid() const;

signals:
    void PageReady();
    void PageLoadFailed();
    void PageLost();

protected:
    QWebEnginePage* Page() const { return m_page; }
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateView();
    void OnLoadStarted();
    void OnLoadFinished(bool ok);
    void OnRenderProcessTerminated(int status, int exitCode);
    void SetReady(bool ready);

    bool m_internetOk;
    CMapTileSource m_tileSource;
    QWebEngineView* m_view = nullptr;
    QWebEnginePage* m_page = nullptr;
    QUrl m_url;
    bool m_ready = false;
    int m_reloads = 0;
    // Counts page loads; an answer to the readiness check that belongs to an
    // earlier load is dropped.
    quint64 m_loadSerial = 0;
};
