#include "map/WebBrowser2.h"

#include "base/TraceLog.h"
#include "map/MapIds.h"
#include "map/MapProfile.h"

#include <QPointer>
#include <QResizeEvent>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

// The page the map runs in: keeps the control on the map page and sends the
// page's console errors to the trace log.
class CMapPage : public QWebEnginePage
{
public:
    CMapPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override
    {
        if (isMainFrame && (type == NavigationTypeLinkClicked || type == NavigationTypeFormSubmitted
                            || type == NavigationTypeBackForward)) {
            TraceLog(QStringLiteral("Kestrav : map page navigation refused [%1]").arg(url.toString()));
            return false;
        }
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }

    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override
    {
        if (level == ErrorMessageLevel)
            TraceLog(QStringLiteral("Kestrav : map page error [%1:%2] %3").arg(source).arg(line).arg(message));
    }
};

// Answers true once the page's map exists.
constexpr const char* kReadyCheck = "window.kestravMapReady === true";

} // namespace

CWebBrowser2::CWebBrowser2(QWidget* parent, bool internetOk)
    : QWidget(parent)
    , m_internetOk(internetOk)
    , m_tileSource(MapTileSourceFromSettings())
{
    setContextMenuPolicy(Qt::NoContextMenu);
}

CWebBrowser2::~CWebBrowser2()
{
    // The page goes before the view that shows it (the view does not own it).
    delete m_page;
    m_page = nullptr;
}

qint64 CWebBrowser2::RenderProcessPid() const
{
    return m_page ? m_page->renderProcessPid() : 0;
}

void CWebBrowser2::CreateView()
{
    m_view = new QWebEngineView(this);
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    m_page = new CMapPage(MapWebProfile(), nullptr);
    // The page is a local file that draws remote tiles: without this the
    // engine refuses every tile request of a file: page.
    QWebEngineSettings* settings = m_page->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    m_view->setPage(m_page);
    m_view->setGeometry(rect());
    m_view->show();
    connect(m_page, &QWebEnginePage::loadStarted, this, &CWebBrowser2::OnLoadStarted);
    connect(m_page, &QWebEnginePage::loadFinished, this, &CWebBrowser2::OnLoadFinished);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int exitCode) {
                OnRenderProcessTerminated(int(status), exitCode);
            });
}

void CWebBrowser2::Navigate(const QString& url)
{
    if (!m_internetOk) {
        TraceLog(QStringLiteral("Kestrav : no internet, map page not loaded"));
        return;
    }
    if (!m_view)
        CreateView();
    m_url = MapPageUrl(url, m_tileSource);
    m_reloads = 0;
    SetReady(false);
    TraceLog(QStringLiteral("Kestrav : map page %1").arg(m_url.toString(QUrl::RemoveQuery)));
    m_page->load(m_url);
}

void CWebBrowser2::OnLoadStarted()
{
    ++m_loadSerial;
    SetReady(false);
}

void CWebBrowser2::OnLoadFinished(bool ok)
{
    const quint64 serial = ++m_loadSerial;
    if (!ok) {
        TraceLog(QStringLiteral("Kestrav : map page failed to load [%1]").arg(m_url.toString(QUrl::RemoveQuery)));
        SetReady(false);
        emit PageLoadFailed();
        return;
    }
    QPointer<CWebBrowser2> self(this);
    m_page->runJavaScript(QString::fromLatin1(kReadyCheck), [self, serial](const QVariant& answer) {
        if (!self || serial != self->m_loadSerial)
            return;
        if (answer.toBool()) {
            self->SetReady(true);
        } else {
            TraceLog(QStringLiteral("Kestrav : map page loaded without its map"));
            emit self->PageLoadFailed();
        }
    });
}

void CWebBrowser2::OnRenderProcessTerminated(int status, int exitCode)
{
    ++m_loadSerial;
    TraceLog(QStringLiteral("Kestrav : map page renderer ended (status %1, code %2)").arg(status).arg(exitCode));
    const bool wasReady = m_ready;
    m_ready = false;
    if (wasReady)
        emit PageLost();
    if (status != QWebEnginePage::NormalTerminationStatus && m_reloads < MapIds::kMaxPageReloads && !m_url.isEmpty()) {
        ++m_reloads;
        TraceLog(QStringLiteral("Kestrav : map page reloaded"));
        m_page->load(m_url);
    }
}

void CWebBrowser2::SetReady(bool ready)
{
    if (ready == m_ready)
        return;
    m_ready = ready;
    if (ready) {
        TraceLog(QStringLiteral("Kestrav : map page ready"));
        emit PageReady();
    }
}

void CWebBrowser2::resizeEvent(QResizeEvent* event)
{
    if (m_view)
        m_view->setGeometry(QRect(QPoint(0, 0), event->size()));
    QWidget::resizeEvent(event);
}
