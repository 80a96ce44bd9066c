#include "support/TraceCapture.h"

#include "base/TraceLog.h"

#include <QLoggingCategory>

#include <atomic>

namespace {
std::atomic<CTraceCapture*> g_capture{nullptr};
QtMessageHandler g_previous = nullptr;

void Handler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    CTraceCapture* capture = g_capture.load();
    if (capture && context.category && qstrcmp(context.category, "kestrav.trace") == 0) {
        capture->Append(message);
        return;
    }
    if (g_previous)
        g_previous(type, context, message);
}
} // namespace

CTraceCapture::CTraceCapture()
{
    const_cast<QLoggingCategory&>(lcKestravTrace()).setEnabled(QtDebugMsg, true);
    g_capture.store(this);
    g_previous = qInstallMessageHandler(Handler);
}

CTraceCapture::~CTraceCapture()
{
    qInstallMessageHandler(g_previous);
    g_capture.store(nullptr);
    const_cast<QLoggingCategory&>(lcKestravTrace()).setEnabled(QtDebugMsg, false);
}

QStringList CTraceCapture::Lines() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lines;
}

QStringList CTraceCapture::LinesStartingWith(const QString& prefix) const
{
    QStringList out;
    for (const QString& l : Lines())
        if (l.startsWith(prefix))
            out << l;
    return out;
}

void CTraceCapture::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lines.clear();
}

void CTraceCapture::Append(const QString& line)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lines << line;
}
