#include "mainwindow/FullScreenOverlays.h"

#include "catalogue/MemoryCard.h"
#include "engine/ITransport.h"
#include "windows/FullScrCaption.h"
#include "windows/FullScrControlBox.h"
#include "windows/VideoMainWnd.h"

CFullScreenOverlays::CFullScreenOverlays(CVideoMainWnd& front, ITransport& transport)
    : m_transport(transport)
{
    m_caption = new CFullScrCaption(&front);
    m_caption->SetDevice(g_deviceRecord, g_cardRoot);
    m_caption->SetTitle(front.CaptionTitle());
    m_caption->SetNotifyWindow(&front);
    QObject::connect(m_caption, &CFullScrCaption::Command, &front, &CVideoMainWnd::OnOverlayCommand);

    m_box = new CFullScrControlBox(&front);
    m_box->SetNotifyWindow(&front);
    QObject::connect(m_box, &CFullScrControlBox::Command, &front, &CVideoMainWnd::OnOverlayCommand);
    QObject::connect(m_box, &CFullScrControlBox::NotifyMessage, &front, &CVideoMainWnd::OnOverlayMessage);

    m_caption->hide();
    m_box->hide();
    front.SetOverlays(m_caption, m_box);
}

CFullScreenOverlays::~CFullScreenOverlays() = default;

void CFullScreenOverlays::Sync(bool swapEnabled, bool continuousPlay, int volumeLevel)
{
    if (!m_box)
        return;
    const int state = m_transport.GetState();
    const long position = m_transport.GetPosition();
    const long duration = m_transport.GetDuration();
    m_box->SetPlaying(state == STATE_PLAY);
    m_box->SetCurrentTime(int(position));
    m_box->SetTotalTime(int(duration));
    m_box->SetSliderValue(duration > 0 ? float(double(position) / double(duration) * 100.0) : 0.0f);
    m_box->EnableSlider(state != STATE_STOP);
    m_box->SetSwapEnabled(swapEnabled);
    m_box->SetContinuousPlay(continuousPlay);
    m_box->SetVolumeIconLevel(volumeLevel);
}

void CFullScreenOverlays::SetPlayingIcon(bool playing)
{
    if (m_box)
        m_box->SetPlaying(playing);
}

void CFullScreenOverlays::SetPosition(int seconds)
{
    if (!m_box)
        return;
    m_box->SetCurrentTime(seconds);
    m_box->SetTotalTime(int(m_transport.GetDuration()));
}

void CFullScreenOverlays::SetSliderPercent(float percent)
{
    if (m_box)
        m_box->SetSliderValue(percent);
}

void CFullScreenOverlays::SetSliderEnabled(bool enabled)
{
    if (m_box)
        m_box->EnableSlider(enabled);
}

void CFullScreenOverlays::SetSwapEnabled(bool enabled)
{
    if (m_box)
        m_box->SetSwapEnabled(enabled);
}

void CFullScreenOverlays::SetVolumeIcon(int level)
{
    if (m_box)
        m_box->SetVolumeIconLevel(level);
}

void CFullScreenOverlays::SetContinuousPlay(bool on)
{
    if (m_box)
        m_box->SetContinuousPlay(on);
}
