#include "skin/TDropBriSpd.h"

#include "skin/SkinBalloonTip.h" // completes the button's balloon type
#include "skin/SkinBlit.h"
#include "skin/SkinConstants.h"
#include "skin/SkinImage.h"
#include "skin/SkinText.h"
#include "skin/TButton.h"
#include "skin/TSliderCtrl.h"
#include "lang/Lang.h"

#include <QWheelEvent>

#include <algorithm>
#include <cmath>

using namespace SkinConst;

namespace {
QString Name(const char* name)
{
    return QString::fromLatin1(name);
}

CTSliderCtrl* MakePanelSlider(QWidget* panel, const char* title, int id, float maximum, int balloonMode, bool horizontal)
{
    auto* slider = new CTSliderCtrl(panel);
    slider->setWindowTitle(Name(title));
    // Using the slider must not take the activation from the panel (which
    // would close it).
    slider->setWindowFlag(Qt::WindowDoesNotAcceptFocus, true);
    slider->SetSliderId(id);
    slider->SetRange(maximum);
    slider->SetBalloonMode(balloonMode);
    slider->SetHorizontal(horizontal);
    slider->SetPictures(Name(kPanelSliderPictures[0]), Name(kPanelSliderPictures[1]), Name(kPanelSliderPictures[2]),
                        Name(kPanelSliderPictures[3]), Name(kPanelSliderPictures[4]));
    return slider;
}

int Rounded(float value)
{
    return int(std::floor(value + 0.5f));
}
} // namespace

CTDropBriSpd::CTDropBriSpd(QWidget* owner)
    : CSkinDropWindow(owner)
    , m_brightness(kBrightnessDefault)
    , m_speed(kSpeedDefault)
{
    CSkinImage::GetInstance()->LoadImage(m_iconSurface, Name(kSpeedPanelIcon));
    m_brightnessSlider = MakePanelSlider(this, kBrightnessSliderTitle, kBrightnessSliderId, 100.0f, kBalloonNumber, true);
    m_speedSlider = MakePanelSlider(this, kSpeedSliderTitle, kSpeedSliderId, 6.0f, kBalloonSpeed, true);
    for (CTSliderCtrl* slider : {m_brightnessSlider, m_speedSlider})
        connect(slider, &CSkinSlider::NotifyMessage, this, &CTDropBriSpd::HandleSliderMessage);

    m_resetButton = new CTButton(this);
    m_resetButton->setWindowTitle(Name(kSpeedResetTitle));
    m_resetButton->SetCommandId(kSpeedResetCommand);
    m_resetButton->setGeometry(0, 0, kSpeedResetAt[2], kSpeedResetAt[3]);
    SkinTextStyle style;
    style.text = LangText(Name(kSpeedResetKey));
    style.normalColor = QColor::fromRgba(kSpeedResetTextColor);
    style.overColor = Qt::white;
    style.pressColor = Qt::white;
    style.disabledColor = QColor::fromRgba(kSpeedResetTextColor);
    style.fontHeight = kSpeedResetFontHeight;
    style.align = 1;
    const QString picture = Name(kSpeedResetPicture);
    m_resetButton->SetNinePatchImages(picture, picture, picture, &style);
    m_resetButton->SetMouseActivate(false);
    connect(m_resetButton, &CSkinButton::Command, this, &CTDropBriSpd::OnReset);

    RebuildPictures();
}

int CTDropBriSpd::SpeedIndex(float speed)
{
    for (int i = 0; i < 6; ++i)
        if (kSpeedTable[i] == speed)
            return i;
    return kSpeedIndexFallback;
}

void CTDropBriSpd::SetBrightness(int brightness)
{
    m_brightness = std::clamp(brightness, 0, 100);
    m_brightnessSlider->SetValue(float(m_brightness));
}

void CTDropBriSpd::SetSpeed(float speed)
{
    m_speed = speed;
    m_speedSlider->SetValue(float(SpeedIndex(speed)));
    Redraw();
}

void CTDropBriSpd::ResetValues()
{
    m_brightness = kBrightnessDefault;
    m_speed = kSpeedDefault;
    m_brightnessSlider->SetValue(float(m_brightness));
    m_speedSlider->SetValue(float(SpeedIndex(m_speed)));
    Redraw();
}

void CTDropBriSpd::RebuildPictures()
{
    m_font = MakeSkinFont(kPanelFontHeight, QFont::Normal, LanguageFaceName());
    m_resetButton->SetText(LangText(Name(kSpeedResetKey)));
    m_resetButton->Redraw();
    DrawBackground();
    Redraw();
}

void CTDropBriSpd::DrawBackground()
{
    m_backgroundSurface.Release();
    if (m_backgroundSurface.Create(width(), height())) {
        CSkinImage* skin = CSkinImage::GetInstance();
        QImage& bg = m_backgroundSurface.GetImage();
        skin->DrawNinePatch(m_backgroundSurface, Name(kSpeedPanelBackground));
        CSkinSurface contents;
        if (contents.Create(kSpeedContentsAt[2], kSpeedContentsAt[3])) {
            skin->DrawNinePatch(contents, Name(kSpeedPanelContents));
            SkinBlit::Copy(bg, kSpeedContentsAt[0], kSpeedContentsAt[1], contents.GetWidth(), contents.GetHeight(),
                           contents.GetImage(), 0, 0);
        }
        const SkinRect titleBox{kSpeedTitleBox[0], kSpeedTitleBox[1], kSpeedTitleBox[2], kSpeedTitleBox[3]};
        SkinAlphaText::Draw(bg, titleBox, LangText(Name(kSpeedTitleKey)), m_font, QColor::fromRgba(kSpeedTitleColor), 0,
                            SkinAlphaText::VerticalRule::RoundUpClamp);
        CSkinSurface field;
        if (field.Create(kSpeedValueFieldAt[2], kSpeedValueFieldAt[3])) {
            skin->DrawNinePatch(field, Name(kSpeedPanelValueField));
            SkinBlit::AlphaBlend(bg, kSpeedValueFieldAt[0], kSpeedValueFieldAt[1], field.GetWidth(), field.GetHeight(),
                                 field.GetImage(), 0, 0);
        }
        if (m_iconSurface.IsCreated())
            SkinBlit::AlphaBlend(bg, kSpeedIconAt[0], kSpeedIconAt[1], m_iconSurface.GetWidth(), m_iconSurface.GetHeight(),
                                 m_iconSurface.GetImage(), 0, 0);
    }
}

QString CTDropBriSpd::SpeedText() const
{
    return QString::asprintf("x%0.1f", double(m_speed));
}

void CTDropBriSpd::Compose(QImage& picture)
{
    // A hidden window hears of a resize only when shown: catch up here.
    if (m_backgroundSurface.GetWidth() != width() || m_backgroundSurface.GetHeight() != height())
        DrawBackground();
    if (m_backgroundSurface.IsCreated())
        SkinBlit::Copy(picture, 0, 0, width(), height(), m_backgroundSurface.GetImage(), 0, 0);
    const SkinRect valueBox{kSpeedValueBox[0], kSpeedValueBox[1], kSpeedValueBox[2], kSpeedValueBox[3]};
    SkinAlphaText::Draw(picture, valueBox, SpeedText(), m_font,
                        QColor::fromRgba(kSpeedValueColor), 1, SkinAlphaText::VerticalRule::RoundUpClamp);
}

void CTDropBriSpd::resizeEvent(QResizeEvent* event)
{
    CSkinDropWindow::resizeEvent(event);
    if (m_backgroundSurface.GetWidth() != width() || m_backgroundSurface.GetHeight() != height())
        DrawBackground();
}

void CTDropBriSpd::PlaceChildren()
{
    const QPoint sliderAt = mapToGlobal(QPoint(kSpeedSliderAt[0], kSpeedSliderAt[1]));
    const QSize sliderSize(kSpeedSliderAt[2], kSpeedSliderAt[3]);
    m_brightnessSlider->setGeometry(QRect(sliderAt, sliderSize));
    m_speedSlider->setGeometry(QRect(sliderAt, sliderSize));
    m_resetButton->setGeometry(QRect(mapToGlobal(QPoint(kSpeedResetAt[0], kSpeedResetAt[1])),
                                     QSize(kSpeedResetAt[2], kSpeedResetAt[3])));
}

void CTDropBriSpd::showEvent(QShowEvent* event)
{
    CSkinDropWindow::showEvent(event);
    PlaceChildren();
    m_brightnessSlider->SetValue(float(m_brightness)); // kept, never shown
    m_speedSlider->SetValue(float(SpeedIndex(m_speed)));
    m_speedSlider->show();
    m_resetButton->show();
}

void CTDropBriSpd::hideEvent(QHideEvent* event)
{
    m_brightnessSlider->hide();
    m_speedSlider->hide();
    m_resetButton->hide();
    CSkinDropWindow::hideEvent(event);
}

void CTDropBriSpd::moveEvent(QMoveEvent* event)
{
    CSkinDropWindow::moveEvent(event);
    if (isVisible())
        PlaceChildren();
}

void CTDropBriSpd::HandleSliderMessage(unsigned message, quintptr wParam, qintptr lParam)
{
    if (message != kMsgSliderValue)
        return;
    if (wParam == quintptr(kBrightnessSliderId)) {
        m_brightness = int(std::clamp<qintptr>(lParam, 0, 100));
        Redraw();
        emit NotifyMessage(kMsgSliderValue, wParam, m_brightness);
    } else if (wParam == quintptr(kSpeedSliderId)) {
        const int index = int(std::clamp<qintptr>(lParam, 0, 6));
        m_speed = kSpeedTable[index];
        Redraw();
        emit NotifyMessage(kMsgSliderValue, wParam, index);
    }
}

void CTDropBriSpd::wheelEvent(QWheelEvent* event)
{
    event->accept();
    const int delta = event->angleDelta().y();
    if (delta != kWheelStep && delta != -kWheelStep)
        return;
    const int step = delta > 0 ? 1 : -1;
    // The lower part addresses the speed slider, the upper part the
    // brightness slider; a hidden slider takes no wheel turns.
    const bool lower = event->position().y() >= kSpeedWheelSplitY;
    CTSliderCtrl* slider = lower ? m_speedSlider : m_brightnessSlider;
    if (!slider->isVisible())
        return;
    const int maximum = lower ? 6 : 100;
    const int value = std::clamp(Rounded(slider->GetValue()) + step, 0, maximum);
    slider->SetValue(float(value));
    HandleSliderMessage(kMsgSliderValue, quintptr(lower ? kSpeedSliderId : kBrightnessSliderId), value);
}

void CTDropBriSpd::OnReset(int id)
{
    if (id != kSpeedResetCommand)
        return;
    ResetValues();
    emit Command(kSpeedResetCommand);
}
