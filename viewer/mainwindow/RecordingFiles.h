#pragma once

#include "platform/FileCopier.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class CBbInfoDlg;
class CCopyProgressPopup;
class CMovaraDlg;
class QTimer;

// What the main window does with recordings as files: opening one (File >
// Open, or a path given at start-up), saving a copy, deleting one, starting
// the camera's settings program from the card and showing the device
// information dialog. Dialogs and messages go through the platform façade.
//
// Saving a copy runs on a thread of its own (CBackgroundCopy): the GUI
// thread only starts it and hears its reports. A copy that takes longer than
// a moment shows a progress popup with a cancel button. The target's name
// only ever names a complete copy; a copy that fails is reported with a
// message box (with the system's reason), a cancelled one is not. A target
// that is the recording itself is refused with a message. One copy at a
// time: a Save As while one runs brings its progress back into view.
//
// A delete erases the list's entry only once the file is gone; a file that
// stays is reported (with the reason) and keeps its entry. A name that is no
// longer a key of the shown category is traced and nothing else happens.
//
// Thread: GUI thread. Ownership: a child of the window (which it works on
// and which outlives it); the popup and the dialog are the window's children.
// Closing: CancelCopy then WaitForCopy (at most one chunk of the copy).
class CRecordingFiles : public QObject
{
    Q_OBJECT

public:
    // Removes a file; true when it is gone (also when it was already gone),
    // else false with the errno in `error`.
    using RemoveFn = std::function<bool(const QString& path, int* error)>;

    explicit CRecordingFiles(CMovaraDlg& window);
    ~CRecordingFiles() override;

    // File > Open: the open dialog, then OpenRecordingPath.
    void OpenRecordingFile();
    // Adds the file to the category its folder names (extracting its
    // telemetry now) and shows it; takes the window out of the no-card state.
    // False when the file cannot be examined.
    bool OpenRecordingPath(const QString& path);
    // File > Save As and the save button.
    void SaveRecordingAs();
    // The list's Delete (context menu, Delete key).
    void DeleteFocusedRecording();
    // "Export clip..." of the list's context menu (the focused recording) or
    // of the front window's (the playing one): the clip export dialog, with
    // the span around the player's position when the recording is the one
    // playing, else from its start. Runs the dialog modally; playback goes on.
    // A name no longer in the shown category, or none, is traced and nothing
    // else happens.
    enum class ExportSource { Focused, Playing };
    void ExportClip(ExportSource source);
    // Command 1060: the camera's settings program on the card (refused, with
    // the same message as a missing one, when its path leaves the card).
    void RunSettingsProgram();
    // Command 1061: the device information dialog, modal through the façade.
    void ShowDeviceInformation();

    bool IsCopying() const;
    void CancelCopy();
    // Waits for a running copy to end (its result is handled now).
    void WaitForCopy();
    CCopyProgressPopup* ProgressPopup() const { return m_popup; }
    CBbInfoDlg* DeviceInfoDialog() const { return m_infoDlg; }
    // The folder Save As proposes (the last one saved to; the home folder at first).
    QString SaveFolder() const { return m_saveFolder; }

    // ---- Seams for tests ----------------------------------------------------------------------
    void SetRemoveFunction(RemoveFn remove) { m_remove = std::move(remove); }
    void SetCopyFaultHook(CFileCopier::FaultHook hook);
    void SetCopyBufferSize(size_t bytes);

signals:
    // A copy ended (after the user was told of a failure).
    void CopyFinished(const CCopyResult& result);

private:
    void OnCopyProgress(qint64 done, qint64 total);
    void OnCopyFinished(const CCopyResult& result);
    void ShowProgress();
    void ShowMessage(const char* key, const QString& reason, bool owned);

    CMovaraDlg& m_window;
    CBackgroundCopy* m_copy;
    QTimer* m_popupDelay;
    CCopyProgressPopup* m_popup = nullptr; // the window's child
    CBbInfoDlg* m_infoDlg = nullptr;      // the window's child
    RemoveFn m_remove;
    QString m_saveFolder;
    QString m_openFolder;
    QString m_copyTarget;
};
