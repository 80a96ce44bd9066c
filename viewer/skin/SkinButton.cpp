#include "skin/SkinButton.h"

#include "skin/SkinBalloonTip.h"
#include "skin/SkinBlit.h"
#include "skin/SkinImage.h"

#include <QMouseEvent>
#include <QPainter>

CSkinButton::CSkinButton(QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

CSkinButton::~CSkinButton()
{
    delete m_balloon;
}

void CSkinButton::SetStateSurface(CSkinSurface& surface, const QString& name, bool ninePatch, SkinRect* content)
{
    surface.Release();
    surface.Create(width(), height());
    if (ninePatch)
        CSkinImage::GetInstance()->DrawNinePatch(surface, name, content);
    else
        CSkinImage::GetInstance()->DrawImage(surface, name);
}

void CSkinButton::LoadPictures(const QString& normal, const QString& over, const QString& press,
                               const QString& disabled, bool ninePatch, const SkinTextStyle* style,
                               const QImage* parentBackground, QPoint backgroundFrom)
{
    if (ninePatch)
        m_composeSurface.Release(); // recreated at the next paint
    if (parentBackground) {
        m_backgroundSurface.Release();
        if (m_backgroundSurface.Create(width(), height()))
            SkinBlit::Copy(m_backgroundSurface.GetImage(), 0, 0, width(), height(), *parentBackground,
                           backgroundFrom.x(), backgroundFrom.y());
        m_hasBackground = true;
    }
    if (style) {
        m_style = *style;
        m_font = CaptionFont(*style);
        m_hasText = true;
    }
    SetStateSurface(m_normalSurface, normal, ninePatch, m_hasText ? &m_textRect : nullptr);
    SetStateSurface(m_overSurface, over, ninePatch, nullptr);
    SetStateSurface(m_pressSurface, press, ninePatch, nullptr);
    if (!disabled.isEmpty())
        SetStateSurface(m_disabledSurface, disabled, ninePatch, nullptr);
}

void CSkinButton::LoadIcons(const QStringList& names, int x, int y)
{
    for (int i = 0; i < names.size() && i < 7; ++i) {
        m_iconSurfaces[i].Release();
        if (!names[i].isEmpty())
            CSkinImage::GetInstance()->LoadImage(m_iconSurfaces[i], names[i]);
    }
    m_iconX = x;
    m_iconY = y;
    m_iconIndex = 0;
}

void CSkinButton::SetSelectImage(const QString& name)
{
    SetStateSurface(m_selectedSurface, name, false, nullptr);
}

void CSkinButton::SetSelectNinePatch(const QString& name)
{
    SetStateSurface(m_selectedSurface, name, true, nullptr);
}

void CSkinButton::SetCheck(bool check)
{
    if (m_state == StateDisabled)
        return;
    m_state = check ? StateSelected : StateNormal;
    m_isChecked = check;
    Redraw();
}

void CSkinButton::SetIconIndex(int index)
{
    m_iconIndex = index;
    Redraw();
}

void CSkinButton::SetBalloonText(const QString& text)
{
    if (!m_balloon)
        m_balloon = new CSkinBalloonTip(this);
    m_balloon->SetText(text);
    m_balloonText = text;
}

void CSkinButton::SetMouseActivate(bool activate)
{
    m_mouseActivate = activate;
    // A top-level button (CTButton) that must not activate takes no focus
    // from the window system. A child button cannot keep the window system
    // from activating its top-level window; it only never takes the focus.
    if (isWindow() && windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus) == activate) {
        const bool shown = isVisible();
        setWindowFlag(Qt::WindowDoesNotAcceptFocus, !activate);
        if (shown)
            show();
    }
}

void CSkinButton::SetText(const QString& text)
{
    m_style.text = text;
}

void CSkinButton::Redraw()
{
    m_rebuild = true;
    repaint();
}

QColor CSkinButton::TextColor() const
{
    switch (m_state) {
    case StateOver:
        return m_style.overColor;
    case StatePressed:
    case StateSelected:
        return m_style.pressColor;
    case StateDisabled:
        return m_style.disabledColor;
    default:
        return m_style.normalColor;
    }
}

QImage CSkinButton::ComposedImage()
{
    if (m_composeSurface.IsCreated()
        && (m_composeSurface.GetWidth() != width() || m_composeSurface.GetHeight() != height())) {
        m_composeSurface.Release(); // the button was resized
        m_rebuild = true;
    }
    if (!m_composeSurface.IsCreated())
        m_composeSurface.Create(width(), height());
    if (m_rebuild) {
        m_rebuild = false;
        m_cached = QImage();
    }
    if (!m_cached.isNull() || !m_composeSurface.IsCreated())
        return m_cached;
    QImage& img = m_composeSurface.GetImage();
    img.fill(Qt::transparent);
    if (m_hasBackground)
        SkinBlit::Copy(img, 0, 0, width(), height(), m_backgroundSurface.GetImage(), 0, 0);
    const CSkinSurface* states[] = {&m_normalSurface, &m_overSurface, &m_pressSurface, &m_selectedSurface,
                                    &m_disabledSurface};
    const CSkinSurface* picture = states[qBound(0, m_state, 4)];
    if (picture->IsCreated())
        SkinBlit::AlphaBlend(img, 0, 0, width(), height(), picture->GetImage(), 0, 0);
    if (m_iconIndex >= 0 && m_iconIndex <= 6) {
        const int index = (m_state == StateDisabled && SubstitutesDisabledIcon()) ? 6 : m_iconIndex;
        const CSkinSurface& icon = m_iconSurfaces[index];
        if (icon.IsCreated())
            SkinBlit::AlphaBlend(img, m_iconX, m_iconY, icon.GetWidth(), icon.GetHeight(), icon.GetImage(), 0, 0);
    }
    m_cached = img.copy();
    return m_cached;
}

void CSkinButton::paintEvent(QPaintEvent*)
{
    const QImage composed = ComposedImage();
    QPainter painter(this);
    PaintComposed(painter, composed);
}

void CSkinButton::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    if (!rect().contains(event->position().toPoint())) {
        // Reported only because a press on this button is under way: the
        // pointer has left it.
        if (m_trackingLeave)
            HandleMouseLeave();
        return;
    }
    HandleMouseOver();
    if (!m_balloonText.isEmpty())
        PlaceBalloon();
}

// The pointer is over the button (and no other widget holds the mouse).
void CSkinButton::HandleMouseOver()
{
    if (m_state == StateNormal) {
        m_trackingLeave = true;
        m_state = StateOver;
        Redraw();
    } else if (m_state == StateSelected || m_state == StateOver) {
        m_trackingLeave = true;
    }
}

void CSkinButton::enterEvent(QEnterEvent* event)
{
    // Also sent when another widget's drag ends over the button: the look
    // follows the pointer at once.
    if (isEnabled() && rect().contains(event->position().toPoint()))
        HandleMouseOver();
    QWidget::enterEvent(event);
}

void CSkinButton::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    m_trackingLeave = true; // the pointer is over it, whatever came before
    m_state = StatePressed;
    Redraw();
}

void CSkinButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint()))
        return; // released elsewhere: nothing
    HandleLeftButtonUp();
}

void CSkinButton::HandleLeftButtonUp()
{
    Notify();
    // A checked button with a selected picture shows it again; any other
    // button shows the hover picture, the pointer being over it.
    m_state = (m_selectedSurface.IsCreated() && m_isChecked) ? StateSelected : StateOver;
    m_trackingLeave = true;
    Redraw();
}

void CSkinButton::leaveEvent(QEvent*)
{
    if (m_trackingLeave)
        HandleMouseLeave();
}

void CSkinButton::HandleMouseLeave()
{
    m_trackingLeave = false;
    if (!m_isChecked && m_state != StateDisabled) {
        m_state = StateNormal;
        Redraw();
    }
    if (!m_balloonText.isEmpty() && m_balloon)
        m_balloon->hide();
}

void CSkinButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled()) {
            if (m_disabledSurface.IsCreated()) {
                m_state = StateDisabled;
                Redraw();
            }
        } else if (m_state == StateDisabled) {
            m_state = StateNormal;
            Redraw();
        }
    }
    QWidget::changeEvent(event);
}
