#include "skin/TDropVol.h"

#include "skin/SkinBlit.h"
#include "skin/SkinConstants.h"
#include "skin/SkinImage.h"
#include "skin/TSliderCtrl.h"

#include <QWheelEvent>

#include <algorithm>
#include <cmath>

using namespace SkinConst;

namespace {
QString Name(const char* name)
{
    return QString::fromLatin1(name);
}
} // namespace

CTDropVol::CTDropVol(QWidget* owner)
    : CSkinDropWindow(owner)
{
    m_volumeSlider = new CTSliderCtrl(this);
    m_volumeSlider->setWindowTitle(Name(kVolumeSliderTitle));
    m_volumeSlider->setWindowFlag(Qt::WindowDoesNotAcceptFocus, true);
    m_volumeSlider->SetSliderId(kVolumeSliderId);
    m_volumeSlider->SetRange(100.0f);
    m_volumeSlider->SetBalloonMode(kBalloonNumber);
    m_volumeSlider->SetHorizontal(false);
    m_volumeSlider->SetPictures(Name(kPanelSliderPictures[0]), Name(kPanelSliderPictures[1]),
                                Name(kPanelSliderPictures[2]), Name(kPanelSliderPictures[3]),
                                Name(kPanelSliderPictures[4]));
    connect(m_volumeSlider, &CSkinSlider::NotifyMessage, this, &CTDropVol::HandleSliderMessage);
}

void CTDropVol::SetVolume(int volume)
{
    m_volume = std::clamp(volume, 0, 100);
    m_volumeSlider->SetValue(float(100 - m_volume));
}

void CTDropVol::DrawBackground()
{
    m_backgroundSurface.Release();
    if (m_backgroundSurface.Create(width(), height()))
        CSkinImage::GetInstance()->DrawNinePatch(m_backgroundSurface, Name(kVolumePanelBackground));
}

void CTDropVol::resizeEvent(QResizeEvent* event)
{
    CSkinDropWindow::resizeEvent(event);
    if (m_backgroundSurface.GetWidth() != width() || m_backgroundSurface.GetHeight() != height())
        DrawBackground();
}

void CTDropVol::Compose(QImage& picture)
{
    // A hidden window hears of a resize only when shown: catch up here.
    if (m_backgroundSurface.GetWidth() != width() || m_backgroundSurface.GetHeight() != height())
        DrawBackground();
    if (m_backgroundSurface.IsCreated())
        SkinBlit::Copy(picture, 0, 0, width(), height(), m_backgroundSurface.GetImage(), 0, 0);
}

void CTDropVol::PlaceSlider()
{
    m_volumeSlider->setGeometry(QRect(mapToGlobal(QPoint(kVolumeSliderAt[0], kVolumeSliderAt[1])),
                                      QSize(kVolumeSliderAt[2], kVolumeSliderAt[3])));
}

void CTDropVol::showEvent(QShowEvent* event)
{
    CSkinDropWindow::showEvent(event);
    PlaceSlider();
    m_volumeSlider->SetValue(float(100 - m_volume)); // its value runs downward
    m_volumeSlider->show();
}

void CTDropVol::hideEvent(QHideEvent* event)
{
    m_volumeSlider->hide();
    CSkinDropWindow::hideEvent(event);
}

void CTDropVol::moveEvent(QMoveEvent* event)
{
    CSkinDropWindow::moveEvent(event);
    if (isVisible())
        PlaceSlider();
}

void CTDropVol::HandleSliderMessage(unsigned message, quintptr wParam, qintptr lParam)
{
    if (message != kMsgSliderValue || wParam != quintptr(kVolumeSliderId))
        return;
    m_volume = int(std::clamp<qintptr>(lParam, 0, 100));
    emit NotifyMessage(kMsgSliderValue, wParam, m_volume);
}

void CTDropVol::wheelEvent(QWheelEvent* event)
{
    event->accept();
    const int delta = event->angleDelta().y();
    if (delta != kWheelStep && delta != -kWheelStep)
        return;
    // Up lowers the internal value (raises the volume).
    const int internal = int(std::floor(m_volumeSlider->GetValue() + 0.5f));
    const int value = std::clamp(internal + (delta > 0 ? -1 : 1), 0, 100);
    m_volumeSlider->SetValue(float(value)); // the balloon follows
    HandleSliderMessage(kMsgSliderValue, quintptr(kVolumeSliderId), 100 - value);
}
