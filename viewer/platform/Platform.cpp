#include "platform/Platform.h"

#include <QMetaObject>
#include <QVariant>

#include <atomic>

namespace {
CRecordingPlatform& DefaultPlatform()
{
    static CRecordingPlatform recorder;
    return recorder;
}
std::atomic<CPlatform*> g_platform{nullptr};
} // namespace

CPlatform::~CPlatform() = default;

int CPlatform::RunModalDialog(QObject* dialog)
{
    int result = IDCANCEL;
    if (dialog && !QMetaObject::invokeMethod(dialog, "exec", Qt::DirectConnection, Q_RETURN_ARG(int, result)))
        result = IDCANCEL;
    return result;
}

CPlatform& CPlatform::Instance()
{
    CPlatform* p = g_platform.load();
    return p ? *p : DefaultPlatform();
}

CPlatform* CPlatform::Install(CPlatform* platform)
{
    CPlatform* previous = g_platform.exchange(platform);
    return previous ? previous : &DefaultPlatform();
}

void CRecordingPlatform::Record(const QString& kind, const QString& text, const QString& caption, unsigned flags)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_calls.append(Call{kind, text, caption, flags});
}

int CRecordingPlatform::MessageBox(QObject*, const QString& text, const QString& caption, unsigned flags)
{
    Record(QStringLiteral("MessageBox"), text, caption, flags);
    return messageBoxAnswers.isEmpty() ? IDOK : messageBoxAnswers.takeFirst();
}

QString CRecordingPlatform::GetOpenFileName(QObject*, const QString& title, const QString& folder, const QString&)
{
    Record(QStringLiteral("GetOpenFileName"), title, folder, 0);
    return openFileAnswers.isEmpty() ? QString() : openFileAnswers.takeFirst();
}

QString CRecordingPlatform::GetSaveFileName(QObject*, const QString& title, const QString& suggestedPath, const QString&)
{
    Record(QStringLiteral("GetSaveFileName"), title, suggestedPath, 0);
    return saveFileAnswers.isEmpty() ? QString() : saveFileAnswers.takeFirst();
}

bool CRecordingPlatform::ShellOpen(const QString& pathOrUrl)
{
    Record(QStringLiteral("ShellOpen"), pathOrUrl, QString(), 0);
    return shellOpenResult;
}

void CRecordingPlatform::SetWaitCursor(bool busy)
{
    Record(QStringLiteral("SetWaitCursor"), busy ? QStringLiteral("busy") : QStringLiteral("normal"), QString(), 0);
}

int CRecordingPlatform::RunModalDialog(QObject* dialog)
{
    if (!dialog)
        return IDCANCEL;
    Record(QStringLiteral("RunModalDialog"), dialog->property("windowTitle").toString(),
           QString::fromLatin1(dialog->metaObject()->className()), 0);
    if (modalInspector)
        modalInspector(dialog);
    const int answer = modalDialogAnswers.isEmpty() ? int(IDOK) : modalDialogAnswers.takeFirst();
    QMetaObject::invokeMethod(dialog, "done", Qt::DirectConnection, Q_ARG(int, answer));
    return answer;
}

QList<CRecordingPlatform::Call> CRecordingPlatform::Calls() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_calls;
}

QList<CRecordingPlatform::Call> CRecordingPlatform::CallsOf(const QString& kind) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    QList<Call> out;
    for (const Call& c : m_calls)
        if (c.kind == kind)
            out.append(c);
    return out;
}

void CRecordingPlatform::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_calls.clear();
}
