#pragma once

#include "skin/SkinDropWindow.h"
#include "skin/SkinSurface.h"

class CTSliderCtrl;

// The volume panel: a layered window with a vertical slider (a layered
// window of its own, parented to the panel, top = loudest) placed over it
// whenever it is shown or moved. The slider's internal value runs downward:
// it holds 100 - volume.
//
// Reports to the owner, sent (direct): NotifyMessage(0x590, 1203, volume
// 0..100) when the slider moves or the wheel turns over the panel (+120 one
// louder, -120 one softer; other deltas nothing). The owner sets the volume
// before showing the panel. It closes as every drop-down window does.
// GUI thread only.
class CTDropVol : public CSkinDropWindow
{
    Q_OBJECT

public:
    explicit CTDropVol(QWidget* owner);

    void SetVolume(int volume);
    int Volume() const { return m_volume; }
    CTSliderCtrl* VolumeSlider() const { return m_volumeSlider; }

    // A value message from the slider (0x590 with 1203; others are
    // ignored): stored and sent on to the owner.
    void HandleSliderMessage(unsigned message, quintptr wParam, qintptr lParam);

signals:
    void NotifyMessage(unsigned message, quintptr wParam, qintptr lParam);

protected:
    void Compose(QImage& picture) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void DrawBackground();
    void PlaceSlider();

    CSkinSurface m_backgroundSurface;
    CTSliderCtrl* m_volumeSlider = nullptr;
    int m_volume = 0;
};
