#pragma once

#include "skin/SkinDropWindow.h"
#include "skin/SkinSurface.h"

#include <QFont>

class CTButton;
class CTSliderCtrl;

// The play-speed panel: a layered window with its title, icon and the speed
// in a small value field ("x1.0"), a speed slider (0..6, index into the
// speed table) and a reset button ("Initialize", command 1080), plus a
// brightness slider (0..100) that is kept but never shown. The sliders and
// the button are layered windows of their own, parented to the panel and
// placed over it whenever it is shown or moved; they never take the
// activation, so using them keeps the panel open. Hiding the panel hides
// them.
//
// Reports to the owner, sent (direct): NotifyMessage(0x590, 1201,
// brightness 0..100) and NotifyMessage(0x590, 1202, speed index 0..6) when
// a slider moves or the wheel turns; Command(1080) after the reset button
// reset the panel. The panel closes as every drop-down window does (Escape,
// a press outside it, losing the activation). GUI thread only.
class CTDropBriSpd : public CSkinDropWindow
{
    Q_OBJECT

public:
    explicit CTDropBriSpd(QWidget* owner);

    // Brightness 50, speed 1.0, the speed slider to its index; repaints.
    void ResetValues();
    // After a language change or a resize: the background picture, the
    // font and the reset button's caption are made again.
    void RebuildPictures();

    // The values the panel shows; the owner may set them before showing it.
    void SetBrightness(int brightness);
    int Brightness() const { return m_brightness; }
    void SetSpeed(float speed);
    float Speed() const { return m_speed; }
    // The value field's text: "x%0.1f" of the speed.
    QString SpeedText() const;
    // The slider index of a speed: the first of the table's first six
    // entries equal to it, else 6.
    static int SpeedIndex(float speed);

    CTSliderCtrl* BrightnessSlider() const { return m_brightnessSlider; }
    CTSliderCtrl* SpeedSlider() const { return m_speedSlider; }
    CTButton* ResetButton() const { return m_resetButton; }

    // A value message from one of the panel's sliders (0x590; others are
    // ignored): stored, shown and sent on to the owner.
    void HandleSliderMessage(unsigned message, quintptr wParam, qintptr lParam);

signals:
    void NotifyMessage(unsigned message, quintptr wParam, qintptr lParam);
    void Command(int id);

protected:
    void Compose(QImage& picture) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void DrawBackground();
    void PlaceChildren();
    void OnReset(int id);

    CSkinSurface m_backgroundSurface;
    CSkinSurface m_iconSurface;
    CTSliderCtrl* m_brightnessSlider = nullptr;
    CTSliderCtrl* m_speedSlider = nullptr;
    CTButton* m_resetButton = nullptr;
    int m_brightness;
    float m_speed;
    QFont m_font;
};
