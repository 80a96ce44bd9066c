#pragma once

#include "catalogue/AnalysisThread.h"

#include <QPointer>
#include <QWidget>

#include <atomic>

class CMovaraDlg;
class CRStaticText;

// The main window's side of the analysis thread's progress. Called on the
// analysis thread; every call is posted (queued) to the GUI thread and never
// waits, because the GUI thread may itself be waiting for the thread to end.
// A call whose control or window is gone by the time it arrives is dropped.
class CAnalysisProgressPoster : public IAnalysisProgress
{
public:
    explicit CAnalysisProgressPoster(CMovaraDlg* window);

    // Hands over the two progress texts (ids 1164 and 1165) once they exist.
    // GUI thread, before any analysis run starts.
    void SetControls(CRStaticText* message, CRStaticText* percent);

    bool HasPercentText() const override { return m_hasPercent.load(); }
    bool HasMessageText() const override { return m_hasMessage.load(); }
    void SetPercentText(const QString& text) override;
    void ShowPercentText(bool shown) override;
    void SetMessageText(const QString& text) override;
    void ShowMessageText(bool shown) override;
    void StopTimer(int timerId) override;
    void StartTimer(int timerId, int periodMs) override;

private:
    static void PostText(CRStaticText* control, const QString& text);
    static void PostShown(QWidget* control, bool shown);

    CMovaraDlg* m_window;
    CRStaticText* m_message = nullptr;
    CRStaticText* m_percent = nullptr;
    std::atomic<bool> m_hasPercent{false};
    std::atomic<bool> m_hasMessage{false};
};
