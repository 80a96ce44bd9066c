#include "mainwindow/AnalysisProgressPoster.h"

#include "mainwindow/MovaraDlg.h"
#include "skin/RStaticText.h"

#include <QMetaObject>

CAnalysisProgressPoster::CAnalysisProgressPoster(CMovaraDlg* window)
    : m_window(window)
{
}

void CAnalysisProgressPoster::SetControls(CRStaticText* message, CRStaticText* percent)
{
    m_message = message;
    m_percent = percent;
    m_hasMessage.store(message != nullptr);
    m_hasPercent.store(percent != nullptr);
}

// The control is the context of the queued call: when it is destroyed first,
// Qt drops the call.
void CAnalysisProgressPoster::PostText(CRStaticText* control, const QString& text)
{
    if (control)
        QMetaObject::invokeMethod(control, [control, text] { control->SetText(text); }, Qt::QueuedConnection);
}

void CAnalysisProgressPoster::PostShown(QWidget* control, bool shown)
{
    if (control)
        QMetaObject::invokeMethod(control, [control, shown] { control->setVisible(shown); }, Qt::QueuedConnection);
}

void CAnalysisProgressPoster::SetPercentText(const QString& text)
{
    PostText(m_percent, text);
}

void CAnalysisProgressPoster::ShowPercentText(bool shown)
{
    PostShown(m_percent, shown);
}

void CAnalysisProgressPoster::SetMessageText(const QString& text)
{
    PostText(m_message, text);
}

void CAnalysisProgressPoster::ShowMessageText(bool shown)
{
    PostShown(m_message, shown);
}

void CAnalysisProgressPoster::StopTimer(int timerId)
{
    CMovaraDlg* w = m_window;
    QMetaObject::invokeMethod(w, [w, timerId] { w->KillTimer(timerId); }, Qt::QueuedConnection);
}

void CAnalysisProgressPoster::StartTimer(int timerId, int periodMs)
{
    CMovaraDlg* w = m_window;
    QMetaObject::invokeMethod(w, [w, timerId, periodMs] { w->SetTimer(timerId, periodMs); }, Qt::QueuedConnection);
}
