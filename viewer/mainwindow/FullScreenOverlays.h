#pragma once

#include "mainwindow/PlaybackCoordinator.h"

#include <QPointer>

class CFullScrCaption;
class CFullScrControlBox;
class CVideoMainWnd;
class ITransport;

// The full-screen caption and control box of the expanded front picture,
// and playback's view of the box (IPlaybackControlBox): made hidden over the
// front video window, which shows and hides them and passes their commands
// and slider reports on to the main window (the window's own connections
// of the front window's Command and NotifyMessage).
//
// The box shows the playing position and the recording's length: the
// length is read from the transport whenever playback reports a position.
//
// Thread: GUI thread. Ownership: the caption and the box are owned by the
// front video window (and go with it); this object only points at them and
// must not outlive the transport.
class CFullScreenOverlays : public IPlaybackControlBox
{
public:
    CFullScreenOverlays(CVideoMainWnd& front, ITransport& transport);
    ~CFullScreenOverlays() override;

    // The box as playback left it so far: playing state, times, slider,
    // swap button, volume and continuous play taken over at once.
    void Sync(bool swapEnabled, bool continuousPlay, int volumeLevel);

    CFullScrCaption* Caption() const { return m_caption; }
    CFullScrControlBox* ControlBox() const { return m_box; }

    // IPlaybackControlBox
    void SetPlayingIcon(bool playing) override;
    void SetPosition(int seconds) override;
    void SetSliderPercent(float percent) override;
    void SetSliderEnabled(bool enabled) override;
    void SetSwapEnabled(bool enabled) override;
    void SetVolumeIcon(int level) override;
    void SetContinuousPlay(bool on) override;

private:
    ITransport& m_transport;
    QPointer<CFullScrCaption> m_caption;
    QPointer<CFullScrControlBox> m_box;
};
