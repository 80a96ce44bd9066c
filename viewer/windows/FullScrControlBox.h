#pragma once

#include "skin/SkinLayeredWindow.h"
#include "skin/SkinSurface.h"

#include <QFont>
#include <QPointer>
#include <QRect>
#include <QString>

#include <vector>

class CTButton;
class CTSliderCtrl;

// The full-screen control box: a frameless, translucent, topmost tool window
// ("ScrControl", 695 x 159) at the bottom centre of the monitor the front
// video window fills, with the play controls, the position slider and the
// playing and total times. The box's own picture is its background and the
// two times; the thirteen buttons and the slider are layered windows of
// their own, owned by the box, placed over it whenever it is shown or moved
// and hidden with it. Of play (1100) and pause (1101), which share one
// place, the box shows pause while playing and play otherwise. Neither the
// box nor its controls take the keyboard focus.
//
// Reports to the notify window (the front video window), sent (direct) and
// only while a notify window is set:
//   Command(id)                          a button was clicked: 1100-1111, 1303;
//   NotifyMessage(0x590, 1204, percent)  the position slider was clicked or dragged;
//   NotifyMessage(0x591, 1204, 0)        the position slider was released.
//
// GUI thread only.
class CFullScrControlBox : public CSkinLayeredWindow
{
    Q_OBJECT

public:
    explicit CFullScrControlBox(QWidget* owner);
    ~CFullScrControlBox() override;

    void SetNotifyWindow(QObject* window) { m_notifyWindow = window; }
    QObject* NotifyWindow() const { return m_notifyWindow; }

    // The playing position and the recording's length in seconds (negative
    // values count as 0); the times shown are recomposed.
    void SetCurrentTime(int seconds);
    void SetTotalTime(int seconds);
    int CurrentTime() const { return m_currentTime; }
    int TotalTime() const { return m_totalTime; }
    // Playing: the pause button shows in the play button's place.
    void SetPlaying(bool playing);
    bool IsPlaying() const { return m_playing; }
    // The continuous-play button's selected look.
    void SetContinuousPlay(bool on);
    bool IsContinuousPlay() const;
    // Whether the front/rear swap button (1303) takes clicks.
    void SetSwapEnabled(bool enabled);
    bool IsSwapEnabled() const { return m_swapEnabled; }
    // Slider to 0, both times 0.
    void ResetTimes();
    // The position slider's value in per cent (clamped to 0..100).
    void SetSliderValue(float percent);
    float SliderValue() const;
    // A disabled slider ignores the mouse (no recording open).
    void EnableSlider(bool enabled);
    bool IsSliderEnabled() const;
    // The volume button's level icon 0 (mute) .. 5; other values are ignored.
    void SetVolumeIconLevel(int level);
    int GetVolumeIconLevel() const;
    // Sets the level icon for a volume 0..100, only when the level changes.
    void SetVolume(int volume);
    // Re-reads the balloon texts and the time font after a language change.
    void ReloadTexts();

    // The level icon of a volume: 0 for 0 (and below), 1 for 1..19, 2 for
    // 20..39, 3 for 40..59, 4 for 60..79, 5 for 80 and more.
    static int VolumeIconLevel(int volume);
    // "%02d:%02d:%02d /" (current) or "%02d:%02d:%02d" (total) of hours,
    // minutes and seconds.
    static QString FormatTime(int seconds, bool current);
    // Where a control lies in the box (client coordinates): a button by its
    // command id, the slider by its code 1204; empty for anything else.
    static QRect ChildRect(int id);
    // The box's rectangle over `area` (the monitor the front window fills):
    // centred horizontally, its bottom on the area's bottom.
    static QRect Placement(const QRect& area);

    CTButton* Button(int command) const;
    CTSliderCtrl* Slider() const { return m_slider; }
    // The whole box as shown: its picture with the controls the box shows
    // (pause or play, by the playing flag) at their places.
    QImage ComposedPicture();

signals:
    void Command(int id);
    void NotifyMessage(unsigned message, quintptr wParam, qintptr lParam);

protected:
    void Compose(QImage& picture) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void DrawBackground();
    void PlaceChildren();
    void ShowChildren();
    void OnButton(int id);
    void OnSliderMessage(unsigned message, quintptr wParam, qintptr lParam);
    void MarkTimesDirty();
    // The controls shown with the box: every one but play or pause.
    bool ShownWithBox(const CTButton* button) const;

    CTSliderCtrl* m_slider = nullptr;
    std::vector<CTButton*> m_buttons; // in table order
    CSkinSurface m_backgroundSurface;
    QFont m_timeFont;
    int m_currentTime = 0;
    int m_totalTime = 0;
    bool m_swapEnabled = false;
    bool m_playing = false;
    QPointer<QObject> m_notifyWindow;
};
