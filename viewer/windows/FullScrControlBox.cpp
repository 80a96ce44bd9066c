#include "windows/FullScrControlBox.h"

#include "lang/Lang.h"
#include "skin/SkinBalloonTip.h" // completes the button's balloon type
#include "skin/SkinBlit.h"
#include "skin/SkinImage.h"
#include "skin/SkinText.h"
#include "skin/TButton.h"
#include "skin/TSliderCtrl.h"
#include "windows/WindowsIds.h"

#include <QResizeEvent>

#include <algorithm>

using namespace WindowsIds;

namespace {
QString Name(const char* name)
{
    return QString::fromLatin1(name);
}

SkinRect Box(const int (&r)[4])
{
    return SkinRect{r[0], r[1], r[2], r[3]};
}

QRect ButtonRect(const ControlBoxButton& b)
{
    return QRect(b.x, b.y, b.width, b.height);
}

const ControlBoxButton* FindButton(int command)
{
    for (const ControlBoxButton& b : kControlBoxButtons)
        if (b.command == command)
            return &b;
    return nullptr;
}

QFont TimeFont()
{
    int height = LangFontValue(Name(kTimeFontKey));
    if (height <= 0)
        height = kTimeFontDefault;
    QFont font = MakeSkinFont(height, QFont::Normal, Name(kTimeFontFace));
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}
} // namespace

CFullScrControlBox::CFullScrControlBox(QWidget* owner)
    : CSkinLayeredWindow(owner, Qt::Tool | Qt::WindowDoesNotAcceptFocus)
{
    setWindowTitle(Name(kControlBoxTitle));
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(kControlBoxWidth, kControlBoxHeight);
    m_timeFont = TimeFont();

    m_slider = new CTSliderCtrl(this);
    m_slider->setWindowTitle(Name(kPositionSliderTitle));
    m_slider->setWindowFlag(Qt::WindowDoesNotAcceptFocus, true);
    m_slider->SetSliderId(kPositionSliderCode);
    m_slider->SetRange(kPositionSliderMax);
    m_slider->SetPictures(Name(kPositionSliderThumb), Name(kPositionSliderThumb), Name(kPositionSliderThumb),
                          Name(kPositionSliderTrack), Name(kPositionSliderFill));
    m_slider->resize(kPositionSliderAt[2], kPositionSliderAt[3]);
    connect(m_slider, &CSkinSlider::NotifyMessage, this, &CFullScrControlBox::OnSliderMessage);

    for (const ControlBoxButton& def : kControlBoxButtons) {
        auto* button = new CTButton(this);
        button->setWindowTitle(Name(def.title));
        button->SetCommandId(def.command);
        button->resize(def.width, def.height);
        const QString disabled = def.command == kCmdSwap ? Name(kSwapDisabledPicture) : QString();
        button->SetImages(Name(def.normal), Name(def.over), Name(def.press), disabled);
        if (def.command == kCmdContinuousPlay)
            button->SetSelectImage(Name(kContinuousSelectedPicture));
        if (def.command == kCmdVolume)
            button->SetIconImages(Name(kVolumeIcons[0]), Name(kVolumeIcons[1]), Name(kVolumeIcons[2]),
                                  Name(kVolumeIcons[3]), Name(kVolumeIcons[4]), Name(kVolumeIcons[5]),
                                  kVolumeIconAt[0], kVolumeIconAt[1]);
        if (def.balloonKey)
            button->SetBalloonText(LangText(Name(def.balloonKey)));
        // Clicking the controls leaves the full-screen window active.
        button->SetMouseActivate(false);
        connect(button, &CSkinButton::Command, this, &CFullScrControlBox::OnButton);
        m_buttons.push_back(button);
    }
    Button(kCmdSwap)->setEnabled(m_swapEnabled);
    DrawBackground();
}

CFullScrControlBox::~CFullScrControlBox() = default;

// ---- Geometry -------------------------------------------------------------------

QRect CFullScrControlBox::ChildRect(int id)
{
    if (id == kPositionSliderCode)
        return QRect(kPositionSliderAt[0], kPositionSliderAt[1], kPositionSliderAt[2], kPositionSliderAt[3]);
    const ControlBoxButton* def = FindButton(id);
    return def ? ButtonRect(*def) : QRect();
}

QRect CFullScrControlBox::Placement(const QRect& area)
{
    return QRect(area.left() + (area.width() - kControlBoxWidth) / 2, area.top() + area.height() - kControlBoxHeight,
                 kControlBoxWidth, kControlBoxHeight);
}

CTButton* CFullScrControlBox::Button(int command) const
{
    for (CTButton* b : m_buttons)
        if (b->CommandId() == command)
            return b;
    return nullptr;
}

bool CFullScrControlBox::ShownWithBox(const CTButton* button) const
{
    if (button->CommandId() == kCmdPlay)
        return !m_playing;
    if (button->CommandId() == kCmdPause)
        return m_playing;
    return true;
}

void CFullScrControlBox::PlaceChildren()
{
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    for (CTButton* b : m_buttons)
        b->setGeometry(ChildRect(b->CommandId()).translated(origin));
    m_slider->setGeometry(ChildRect(kPositionSliderCode).translated(origin));
}

void CFullScrControlBox::ShowChildren()
{
    Button(kCmdSwap)->setEnabled(m_swapEnabled);
    for (CTButton* b : m_buttons)
        b->setVisible(ShownWithBox(b));
    m_slider->show();
}

void CFullScrControlBox::showEvent(QShowEvent* event)
{
    CSkinLayeredWindow::showEvent(event);
    PlaceChildren();
    ShowChildren();
}

void CFullScrControlBox::hideEvent(QHideEvent* event)
{
    for (CTButton* b : m_buttons)
        b->hide();
    m_slider->hide();
    CSkinLayeredWindow::hideEvent(event);
}

void CFullScrControlBox::moveEvent(QMoveEvent* event)
{
    CSkinLayeredWindow::moveEvent(event);
    if (isVisible())
        PlaceChildren();
}

void CFullScrControlBox::resizeEvent(QResizeEvent* event)
{
    CSkinLayeredWindow::resizeEvent(event);
    DrawBackground();
}

// ---- State ----------------------------------------------------------------------

int CFullScrControlBox::VolumeIconLevel(int volume)
{
    if (volume <= 0)
        return 0;
    if (volume >= 80)
        return 5;
    return volume / 20 + 1;
}

QString CFullScrControlBox::FormatTime(int seconds, bool current)
{
    const int s = std::max(seconds, 0);
    return QString::asprintf(current ? kCurrentTimeFormat : kTotalTimeFormat, s / 3600, s % 3600 / 60, s % 60);
}

void CFullScrControlBox::MarkTimesDirty()
{
    // Marked even while hidden, so that the box never shows a stale time
    // when it appears again.
    Invalidate();
}

void CFullScrControlBox::SetCurrentTime(int seconds)
{
    m_currentTime = std::max(seconds, 0);
    MarkTimesDirty();
}

void CFullScrControlBox::SetTotalTime(int seconds)
{
    m_totalTime = std::max(seconds, 0);
    MarkTimesDirty();
}

void CFullScrControlBox::ResetTimes()
{
    m_slider->SetValue(0.0f);
    m_currentTime = 0;
    m_totalTime = 0;
    MarkTimesDirty();
}

void CFullScrControlBox::SetPlaying(bool playing)
{
    m_playing = playing;
    if (isVisible()) {
        Button(kCmdPlay)->setVisible(!playing);
        Button(kCmdPause)->setVisible(playing);
    }
}

void CFullScrControlBox::SetContinuousPlay(bool on)
{
    Button(kCmdContinuousPlay)->SetCheck(on);
}

bool CFullScrControlBox::IsContinuousPlay() const
{
    return Button(kCmdContinuousPlay)->IsChecked();
}

void CFullScrControlBox::SetSwapEnabled(bool enabled)
{
    m_swapEnabled = enabled;
    Button(kCmdSwap)->setEnabled(enabled);
}

void CFullScrControlBox::SetSliderValue(float percent)
{
    m_slider->SetValue(percent);
}

float CFullScrControlBox::SliderValue() const
{
    return m_slider->GetValue();
}

void CFullScrControlBox::EnableSlider(bool enabled)
{
    m_slider->setEnabled(enabled);
}

bool CFullScrControlBox::IsSliderEnabled() const
{
    return m_slider->isEnabled();
}

void CFullScrControlBox::SetVolumeIconLevel(int level)
{
    if (level < 0 || level > 5)
        return;
    Button(kCmdVolume)->SetIconIndex(level);
}

int CFullScrControlBox::GetVolumeIconLevel() const
{
    return Button(kCmdVolume)->GetIconIndex();
}

void CFullScrControlBox::SetVolume(int volume)
{
    const int level = VolumeIconLevel(volume);
    if (level != GetVolumeIconLevel())
        SetVolumeIconLevel(level);
}

void CFullScrControlBox::ReloadTexts()
{
    m_timeFont = TimeFont();
    for (const ControlBoxButton& def : kControlBoxButtons)
        if (def.balloonKey)
            Button(def.command)->SetBalloonText(LangText(Name(def.balloonKey)));
    MarkTimesDirty();
}

// ---- Picture --------------------------------------------------------------------

void CFullScrControlBox::DrawBackground()
{
    if (m_backgroundSurface.GetWidth() == width() && m_backgroundSurface.GetHeight() == height())
        return;
    m_backgroundSurface.Release();
    if (m_backgroundSurface.Create(width(), height()))
        CSkinImage::GetInstance()->DrawNinePatch(m_backgroundSurface, Name(kControlBoxBackground));
}

void CFullScrControlBox::Compose(QImage& picture)
{
    DrawBackground(); // a hidden window hears of a resize only when shown
    if (m_backgroundSurface.IsCreated())
        SkinBlit::Copy(picture, 0, 0, width(), height(), m_backgroundSurface.GetImage(), 0, 0);
    SkinAlphaText::Draw(picture, Box(kCurrentTimeBox), FormatTime(m_currentTime, true), m_timeFont,
                        QColor::fromRgba(kCurrentTimeColor), 0, SkinAlphaText::VerticalRule::RoundUpClamp);
    SkinAlphaText::Draw(picture, Box(kTotalTimeBox), FormatTime(m_totalTime, false), m_timeFont,
                        QColor::fromRgba(kTotalTimeColor), 0, SkinAlphaText::VerticalRule::RoundUpClamp);
}

QImage CFullScrControlBox::ComposedPicture()
{
    QImage picture = LayeredImage();
    if (picture.isNull())
        return picture;
    picture = picture.copy();
    auto blend = [&picture](const QImage& img, QPoint at) {
        if (!img.isNull())
            SkinBlit::AlphaBlend(picture, at.x(), at.y(), img.width(), img.height(), img, 0, 0);
    };
    blend(m_slider->ComposedImage(), ChildRect(kPositionSliderCode).topLeft());
    for (CTButton* b : m_buttons)
        if (ShownWithBox(b))
            blend(b->LayeredImage(), ChildRect(b->CommandId()).topLeft());
    return picture;
}

// ---- Reports --------------------------------------------------------------------

void CFullScrControlBox::OnButton(int id)
{
    if (m_notifyWindow)
        emit Command(id);
}

void CFullScrControlBox::OnSliderMessage(unsigned message, quintptr wParam, qintptr lParam)
{
    if (!m_notifyWindow)
        return;
    if (message == kMsgControlValue)
        emit NotifyMessage(kMsgControlValue, quintptr(kPositionSliderCode), lParam);
    else if (message == kMsgControlReleased)
        emit NotifyMessage(kMsgControlReleased, wParam, 0);
}
