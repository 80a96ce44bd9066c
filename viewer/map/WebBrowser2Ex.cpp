#include "map/WebBrowser2Ex.h"

#include "base/TraceLog.h"
#include "map/MapIds.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>

#include <memory>

namespace {

// The value of the first field of the page's last form: every form in
// order, each one's fields from the last to the first, the last value read
// wins. "" when the page has no form field.
constexpr const char* kReadResultField =
    "(function () {"
    " var v = ''; var f = document.forms;"
    " for (var i = 0; i < f.length; ++i) {"
    "  var e = f[i].elements;"
    "  for (var j = e.length - 1; j >= 0; --j) { var x = e[j].value; v = (x === undefined || x === null) ? '' : String(x); }"
    " }"
    " return v;"
    "})()";

} // namespace

CWebBrowser2Ex::CWebBrowser2Ex(QWidget* parent, bool internetOk)
    : CWebBrowser2(parent, internetOk)
    , m_getValueTimeoutMs(MapIds::kGetValueTimeoutMs)
{
}

CWebBrowser2Ex::~CWebBrowser2Ex() = default;

int CWebBrowser2Ex::ExecScript(const QString& code)
{
    if (!InternetOk() || code.isEmpty() || !IsPageReady() || !Page())
        return MapIds::kScriptNotSent;
    Page()->runJavaScript(code);
    return MapIds::kScriptSent;
}

QString CWebBrowser2Ex::ExecScriptGetValue(const QString& code)
{
    if (!InternetOk() || code.isEmpty() || !IsPageReady() || !Page())
        return QString();
    if (m_busy) {
        TraceLog(QStringLiteral("Kestrav : map value asked while waiting for another, refused [%1]").arg(code));
        return QString();
    }

    struct Answer {
        bool arrived = false;
        QString value;
    };
    auto answer = std::make_shared<Answer>();
    QEventLoop loop;
    QPointer<QEventLoop> waiting(&loop);

    Page()->runJavaScript(code);
    Page()->runJavaScript(QString::fromLatin1(kReadResultField), [answer, waiting](const QVariant& value) {
        // A late answer (after the time-out) finds the loop gone and is dropped.
        if (!waiting)
            return;
        answer->arrived = true;
        answer->value = value.toString();
        waiting->quit();
    });

    QTimer timeout;
    timeout.setSingleShot(true);
    timeout.setTimerType(Qt::PreciseTimer);
    connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &CWebBrowser2::PageLost, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);

    QPointer<CWebBrowser2Ex> self(this);
    m_busy = true;
    timeout.start(m_getValueTimeoutMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!self)
        return answer->arrived ? answer->value : QString();
    m_busy = false;
    if (!answer->arrived) {
        TraceLog(QStringLiteral("Kestrav : map value not answered within %1 ms [%2]").arg(m_getValueTimeoutMs).arg(code));
        return QString();
    }
    return answer->value;
}
