// CMovaraDlg: playback's face (the coordinator does the work) and the
// messages of the transport, the video windows, the play list and the
// sliders.
#include "mainwindow/MovaraDlg.h"

#include "base/TraceLog.h"
#include "engine/ITransport.h"
#include "engine/TransportNotifier.h"
#include "lang/Lang.h"
#include "mainwindow/PlaybackCoordinator.h"
#include "skin/RButton.h"
#include "skin/RListCtrl.h"
#include "skin/SkinBalloonTip.h" // completes the balloon pointer of the skinned buttons
#include "skin/SkinSlider.h"
#include "windows/VideoMainWnd.h"
#include "windows/VideoSubWnd.h"

#include <QLabel>

using namespace MainWnd;

int CMovaraDlg::VideoPlay(bool force)
{
    return m_playback->VideoPlay(force);
}

int CMovaraDlg::VideoPause()
{
    return m_playback->VideoPause();
}

int CMovaraDlg::VideoSTOP()
{
    return m_playback->VideoSTOP();
}

void CMovaraDlg::UpdatePlayPosition()
{
    m_playback->UpdatePlayPosition();
}

void CMovaraDlg::ShowCurrentTime()
{
    m_playback->ShowCurrentTime();
}

void CMovaraDlg::ShowTotalTime()
{
    m_playback->ShowTotalTime();
}

void CMovaraDlg::OnControlBoxBtnClicked(int id)
{
    m_playback->OnControlBoxBtnClicked(id);
}

void CMovaraDlg::OnWindowMessage(unsigned message, quintptr wParam, qintptr lParam)
{
    switch (message) {
    case kMsgGraphEvent:
        m_playback->OnGraphEvent();
        break;
    case kMsgPlayComplete:
        m_playback->OnPlayComplete();
        break;
    case kMsgZoomChanged:
        OnVideoSizeChaged();
        break;
    case kMsgVideoPause:
        m_playback->OnVideoPauseMessage();
        break;
    case kMsgControlValue:
        m_playback->OnControlValue(int(wParam), int(lParam));
        break;
    case kMsgControlReleased:
        m_playback->OnControlReleased(int(wParam));
        break;
    case kMsgPictureRedraw:
        m_playback->OnPictureRedraw();
        break;
    case kMsgClosePanelsVideo:
    case kMsgClosePanelsList:
        HideDropPanels(-1);
        break;
    default:
        break;
    }
}

int CMovaraDlg::OnVideoSizeChaged()
{
    TraceLog(QStringLiteral("Kestrav :  CMovaraDlg::OnVideoSizeChaged"));
    CVideoMainWnd* front = FrontVideo();
    if (!front)
        return 0;
    const float zoom = m_transport->GetVideoViewSize();
    if (zoom == 0.5f || zoom == 1.0f)
        front->ResetZoom();
    else if (zoom == 1.5f || zoom == 2.0f)
        front->SetZoom(zoom);
    return 0;
}

void CMovaraDlg::UpdateFrontRearLabels()
{
    const QString front = LangText(QString::fromLatin1(kTextFront));
    const QString rear = LangText(QString::fromLatin1(kTextRear));
    CRListCtrl* list = List();
    const bool noPartner = list && list->IsPlayingSingle();
    const QString playing = list ? list->GetPlayingName() : QString();
    const bool playingIsRear = list && playing.left(playing.size() - 4).endsWith(QLatin1Char('R'), Qt::CaseInsensitive);
    const bool reverse = m_transport->GetReverseMode();
    auto* left = qobject_cast<QLabel*>(Control(kIdLabelFront));
    auto* right = qobject_cast<QLabel*>(Control(kIdLabelRear));
    if (!left || !right)
        return;
    if (dualStreamMode == 1 && (noPartner || singlePlay == 1)) {
        if (right->width() == kLabelRearWidth)
            right->resize(right->width() + kLabelNoVideoGrowth, right->height());
        left->setText(playingIsRear ? rear : front);
        right->setText(LangText(QString::fromLatin1(kTextNoVideo)));
        if (QWidget* second = Control(kIdSecondTitle))
            second->hide();
    } else {
        left->setText(reverse ? rear : front);
        right->setText(reverse ? front : rear);
        if (dualStreamMode == 1)
            if (QWidget* second = Control(kIdSecondTitle))
                second->show();
    }
    left->update();
    right->update();
}

// The controls' reports reach the window as the system's messages and
// commands; the pictures come from the transport.
void CMovaraDlg::ConnectPlayback()
{
    if (CRListCtrl* list = List()) {
        connect(list, &CRListCtrl::Command, this, &CMovaraDlg::OnCommand);
        connect(list, &CRListCtrl::NotifyMessage, this, &CMovaraDlg::OnWindowMessage);
        connect(list, &CRListCtrl::MenuCommand, this, &CMovaraDlg::OnCommand);
        list->SetMenuOwner(this);
    }
    if (CVideoMainWnd* front = FrontVideo()) {
        front->SetSource(m_transport, Engine::kFrontTarget);
        connect(front, &CVideoWnd::NotifyMessage, this, &CMovaraDlg::OnWindowMessage);
        connect(front, &CVideoMainWnd::PicturePan, m_playback, &CPlaybackCoordinator::OnPicturePan);
        connect(front, &CVideoMainWnd::Command, this, &CMovaraDlg::OnCommand);
        connect(front, &CVideoMainWnd::CloseRequested, this, &QWidget::close);
    }
    if (CVideoSubWnd* rear = RearVideo()) {
        rear->SetSource(m_transport, Engine::kRearTarget);
        rear->SetNoticeRule([this] { return dualStreamMode == 1 && singlePlay == 1; });
        connect(rear, &CVideoWnd::NotifyMessage, this, &CMovaraDlg::OnWindowMessage);
    }
    if (auto* slider = qobject_cast<CSkinSlider*>(Control(kIdPositionSlider)))
        connect(slider, &CSkinSlider::NotifyMessage, this, &CMovaraDlg::OnWindowMessage);
    if (auto* volume = qobject_cast<CSkinButton*>(Control(kIdVolume)))
        volume->SetIconIndex(CPlaybackCoordinator::VolumeIconLevel(m_transport->GetVolume()));
}
