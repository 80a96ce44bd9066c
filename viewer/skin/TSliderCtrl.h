#pragma once

#include "skin/SkinSlider.h"

#include <QPointer>

class CTBalloon;

// The skinned slider as a frameless, translucent tool window owned by the
// panel that shows it (the speed, brightness and volume panels, the
// full-screen control box). Clicks on the track and drag moves post (queued)
// their 0x590; the release sends 0x591.
//
// While the pointer is over the handle or a drag is under way, a value
// balloon (CTBalloon) shows the reported value (balloon mode 1,
// SetNumberText) or the speed code's text "x0.2" ... "x4.0" (mode 2,
// SetSpeedText), updated only when the reported value changes:
// above the handle for a horizontal slider (its bottom at the handle's top,
// its left edge a third of its width left of the handle), left of it for a
// vertical one (its right edge at the handle's left, its top a third of its
// height above the handle). It hides when the pointer leaves the handle and
// no drag is under way, and with the slider.
//
// Wheel turns over the slider go to the owner, which decides what they do.
class CTSliderCtrl : public CSkinSlider
{
    Q_OBJECT

public:
    explicit CTSliderCtrl(QWidget* owner);
    ~CTSliderCtrl() override;

    // 1: the number; 2: the speed code.
    void SetBalloonMode(int mode) { m_balloonMode = mode; }
    int BalloonMode() const { return m_balloonMode; }
    // The balloon window (null until first shown).
    CTBalloon* Balloon() const;

protected:
    void ReportClick(int reported) override;
    void PointerStateChanged() override;
    void wheelEvent(QWheelEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void PlaceBalloon();

    QPointer<CTBalloon> m_balloon;
    int m_balloonMode = 1;
    int m_balloonValue = -1; // reported value the balloon shows
};
