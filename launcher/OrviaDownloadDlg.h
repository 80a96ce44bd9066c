#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>

class QLineEdit;
class QPushButton;

// Download-progress dialog: a message with a growing run of periods, a hint
// and a Cancel button. The launcher's start-up pass never opens it; whoever
// shows it starts timer 1 with StartDotTimer (or drives OnTimer itself).
// GUI thread only.
class COrviaDownloadDlg : public QDialog
{
    Q_OBJECT
public:
    explicit COrviaDownloadDlg(QWidget* parent = nullptr);

    // Title "Kestrav", the two texts, no periods yet, the Cancel caption.
    // Runs once from the constructor; may be called again to start afresh.
    void OnInitDialog();

    // Timer 1 shows messageText followed by dotCount + 1 periods, cycling
    // 1, 2, ... 8 periods and then none. Other timer ids are ignored.
    void OnTimer(int timerId);

    // Starts or stops timer 1 at the given period.
    void StartDotTimer(int intervalMs);
    void StopDotTimer();

    int DotCount() const { return dotCount; }
    QLineEdit* MessageEdit() const { return messageEdit; }
    QLineEdit* HintEdit() const { return hintEdit; }
    QPushButton* CancelButton() const { return cancelButton; }

protected:
    // The dialog ending (OK, Cancel, close) resets the period count and stops timer 1.
    void done(int result) override;

private:
    QString messageText;
    QString hintText;
    int dotCount = 0;

    QLineEdit* messageEdit = nullptr;
    QLineEdit* hintEdit = nullptr;
    QPushButton* cancelButton = nullptr;
    QTimer dotTimer;
};
