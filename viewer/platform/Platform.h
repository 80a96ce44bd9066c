#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <mutex>

// The one façade over the desktop's modal services: message boxes, file
// dialogs, opening documents and programs, the wait cursor. Production
// installs an implementation built on Qt Widgets (in the viewer executable);
// everything else, tests included, gets the recorder below, which never
// blocks and answers what it was told to answer.
//
// Call from the GUI thread. `owner` is the widget the dialog belongs to
// (a QObject so that core code can pass it through), or null.
class CPlatform
{
public:
    // Message box flags and results, with the numbers callers store and compare.
    enum : unsigned {
        MB_OK = 0x0,
        MB_OKCANCEL = 0x1,
        MB_YESNO = 0x4,
        MB_ICONERROR = 0x10,
        MB_ICONQUESTION = 0x20,
        MB_ICONWARNING = 0x30,
        MB_ICONINFORMATION = 0x40,
    };
    enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

    virtual ~CPlatform();

    virtual int MessageBox(QObject* owner, const QString& text, const QString& caption, unsigned flags) = 0;
    // Empty result = cancelled.
    virtual QString GetOpenFileName(QObject* owner, const QString& title, const QString& folder, const QString& filter) = 0;
    virtual QString GetSaveFileName(QObject* owner, const QString& title, const QString& suggestedPath, const QString& filter) = 0;
    // Opens a document or starts a program with the desktop's default handler.
    virtual bool ShellOpen(const QString& pathOrUrl) = 0;
    virtual void SetWaitCursor(bool busy) = 0;
    // Runs `dialog` (a QDialog its owner has prepared) modally until it ends
    // and returns its result code (accepted: IDOK). This default runs the
    // dialog's exec() slot; a dialog without one gives IDCANCEL.
    virtual int RunModalDialog(QObject* dialog);

    // The installed façade; never null.
    static CPlatform& Instance();
    // Installs `platform` (not owned; null restores the recorder) and returns the previous one.
    static CPlatform* Install(CPlatform* platform);
};

// Shows the wait cursor through the installed façade for as long as it lives
// (GUI thread), e.g. around a bounded wait that holds up the GUI thread.
class CWaitCursorScope
{
public:
    CWaitCursorScope() { CPlatform::Instance().SetWaitCursor(true); }
    ~CWaitCursorScope() { CPlatform::Instance().SetWaitCursor(false); }
    CWaitCursorScope(const CWaitCursorScope&) = delete;
    CWaitCursorScope& operator=(const CWaitCursorScope&) = delete;
};

// Records every call and answers from queues set by the caller.
class CRecordingPlatform : public CPlatform
{
public:
    struct Call {
        QString kind;    // "MessageBox", "GetOpenFileName", "GetSaveFileName", "ShellOpen", "SetWaitCursor",
                         // "RunModalDialog"
        QString text;    // message text, dialog title, or the path opened
        QString caption; // message caption, dialog folder/suggestion, or a modal dialog's class name
        unsigned flags = 0;
    };

    int MessageBox(QObject* owner, const QString& text, const QString& caption, unsigned flags) override;
    QString GetOpenFileName(QObject* owner, const QString& title, const QString& folder, const QString& filter) override;
    QString GetSaveFileName(QObject* owner, const QString& title, const QString& suggestedPath, const QString& filter) override;
    bool ShellOpen(const QString& pathOrUrl) override;
    void SetWaitCursor(bool busy) override;
    // Records the dialog (its window title and class name), hands it to
    // `modalInspector` while it counts as running, then ends it through its
    // done(int) slot with the next answer and returns that answer. Nothing
    // is shown and nothing waits.
    int RunModalDialog(QObject* dialog) override;

    QList<Call> Calls() const;
    QList<Call> CallsOf(const QString& kind) const;
    void Clear();

    // Answers handed out in order; when a queue is empty the default applies
    // (message box: IDOK; dialogs: cancelled; shell open: true).
    QList<int> messageBoxAnswers;
    QStringList openFileAnswers;
    QStringList saveFileAnswers;
    bool shellOpenResult = true;
    // Modal dialogs: answers in order (default IDOK), and a look at each
    // dialog while it runs (optional).
    QList<int> modalDialogAnswers;
    std::function<void(QObject* dialog)> modalInspector;

private:
    void Record(const QString& kind, const QString& text, const QString& caption, unsigned flags);
    mutable std::mutex m_mutex;
    QList<Call> m_calls;
};
