#include "skin/SkinSlider.h"

#include "skin/SkinBlit.h"
#include "skin/SkinConstants.h"
#include "skin/SkinImage.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <utility>

using namespace SkinConst;

CSkinSlider::CSkinSlider(QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
    , m_maxValue(kSliderDefaultMax)
    , m_lastDrawnValue(kSliderNoValueDrawn)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

float CSkinSlider::ClickValue(int pos, int margin, int trackLength, float maximum)
{
    if (trackLength <= 0)
        return 0.0f;
    return float(pos - margin + 1) * maximum / float(trackLength);
}

float CSkinSlider::DragDelta(int delta, int trackLength, float maximum)
{
    if (trackLength <= 0)
        return 0.0f;
    return float(delta) * maximum / float(trackLength);
}

int CSkinSlider::ReportedValue(float value, float maximum, bool horizontal)
{
    const float rounded = std::floor(value + 0.5f);
    return int(horizontal ? rounded : maximum - rounded);
}

int CSkinSlider::FilledLength(float value, int trackLength, float maximum)
{
    if (maximum <= 0.0f || trackLength <= 0)
        return 0;
    return int(std::floor(value + 0.5f) * float(trackLength) / maximum);
}

void CSkinSlider::SetRange(float maximum)
{
    m_maxValue = maximum;
    // A value beyond the new range would draw the handle past the track.
    m_value = std::clamp(m_value, m_minValue, std::max(m_minValue, m_maxValue));
    Invalidate();
}

void CSkinSlider::SetValue(float value)
{
    m_value = std::clamp(value, m_minValue, std::max(m_minValue, m_maxValue));
    Invalidate();
    PointerStateChanged();
}

void CSkinSlider::SetLockMode(int mode)
{
    m_lockMode = mode;
    Invalidate();
}

void CSkinSlider::SetHorizontal(bool horizontal)
{
    m_horizontal = horizontal;
    const CSkinSurface& handle = m_handle[0];
    m_margin = handle.IsCreated() ? (m_horizontal ? handle.GetWidth() : handle.GetHeight()) / 2 : 0;
    Invalidate();
}

void CSkinSlider::SetPictures(const QString& pressed, const QString& hovered, const QString& normal,
                              const QString& track, const QString& filled)
{
    const QString names[3] = {normal, hovered, pressed};
    for (int i = 0; i < 3; ++i) {
        m_handle[i].Release();
        if (!names[i].isEmpty())
            CSkinImage::GetInstance()->LoadImage(m_handle[i], names[i]);
    }
    m_trackName = track;
    m_filledName = filled;
    LoadBarPictures();
    SetHorizontal(m_horizontal); // the margin follows the handle
}

void CSkinSlider::LoadBarPictures()
{
    const QString* names[2] = {&m_trackName, &m_filledName};
    CSkinSurface* surfaces[2] = {&m_trackSurface, &m_filledSurface};
    for (int i = 0; i < 2; ++i) {
        surfaces[i]->Release();
        if (names[i]->isEmpty() || !surfaces[i]->Create(width(), height()))
            continue;
        if (names[i]->endsWith(QLatin1String(".9.png"), Qt::CaseInsensitive))
            CSkinImage::GetInstance()->DrawNinePatch(*surfaces[i], *names[i]);
        else
            CSkinImage::GetInstance()->DrawImage(*surfaces[i], *names[i]);
    }
    m_rebuild = true;
}

void CSkinSlider::resizeEvent(QResizeEvent*)
{
    m_composeSurface.Release();
    LoadBarPictures();
    UpdateThumbRect();
}

void CSkinSlider::Invalidate()
{
    m_rebuild = true;
    UpdateThumbRect();
    update();
}

void CSkinSlider::UpdateThumbRect()
{
    const CSkinSurface& handle = m_handle[0];
    if (!ShowsHandle() || !handle.IsCreated()) {
        m_thumbRect = SkinRect();
        return;
    }
    const int filled = FilledLength(m_value, TrackLength(), m_maxValue);
    const int hw = handle.GetWidth(), hh = handle.GetHeight();
    if (m_horizontal) {
        const int top = (height() - hh) / 2;
        m_thumbRect = SkinRect{filled, top, filled + hw, top + hh};
    } else {
        const int left = (width() - hw) / 2;
        m_thumbRect = SkinRect{left, filled, left + hw, filled + hh};
    }
}

QImage CSkinSlider::ComposedImage()
{
    if (width() < 1 || height() < 1)
        return QImage();
    // A hidden slider hears of a resize only when shown: catch up here.
    auto stale = [this](const QString& name, const CSkinSurface& surface) {
        return !name.isEmpty() && (surface.GetWidth() != width() || surface.GetHeight() != height());
    };
    if (stale(m_trackName, m_trackSurface) || stale(m_filledName, m_filledSurface))
        LoadBarPictures();
    if (m_composeSurface.IsCreated()
        && (m_composeSurface.GetWidth() != width() || m_composeSurface.GetHeight() != height())) {
        m_composeSurface.Release();
        m_rebuild = true;
    }
    if (m_lastDrawnValue != m_value)
        m_rebuild = true;
    if (!m_rebuild && !m_cached.isNull())
        return m_cached;
    m_rebuild = false;
    if (!m_composeSurface.IsCreated())
        m_composeSurface.Create(width(), height());
    QImage& img = m_composeSurface.GetImage();
    img.fill(Qt::transparent);
    if (m_trackSurface.IsCreated())
        SkinBlit::AlphaBlend(img, 0, 0, width(), height(), m_trackSurface.GetImage(), 0, 0);
    // The filled part runs from the slider's start to the handle's centre.
    const int filled = m_margin + FilledLength(m_value, TrackLength(), m_maxValue);
    if (m_filledSurface.IsCreated()) {
        if (m_horizontal)
            SkinBlit::AlphaBlend(img, 0, 0, filled, height(), m_filledSurface.GetImage(), 0, 0);
        else
            SkinBlit::AlphaBlend(img, 0, 0, width(), filled, m_filledSurface.GetImage(), 0, 0);
    }
    UpdateThumbRect();
    const CSkinSurface& handle = m_handle[std::clamp(m_thumbState, 0, 2)];
    if (ShowsHandle() && handle.IsCreated())
        SkinBlit::AlphaBlend(img, m_thumbRect.left, m_thumbRect.top, handle.GetWidth(), handle.GetHeight(),
                             handle.GetImage(), 0, 0);
    m_lastDrawnValue = m_value;
    m_cached = img.copy();
    return m_cached;
}

void CSkinSlider::paintEvent(QPaintEvent*)
{
    const QImage composed = ComposedImage();
    QPainter p(this);
    if (isWindow())
        p.setCompositionMode(QPainter::CompositionMode_Source); // a layered window: its picture is all there is
    if (!composed.isNull())
        p.drawImage(0, 0, composed);
}

bool CSkinSlider::OverHandle() const
{
    return !m_thumbRect.IsEmpty() && m_thumbRect.ToQRect().contains(m_lastMousePos);
}

void CSkinSlider::SetThumbState(int state)
{
    if (m_thumbState == state)
        return;
    m_thumbState = state;
    m_rebuild = true;
    update();
}

void CSkinSlider::Post(unsigned message, qintptr lParam)
{
    m_posted.push_back({message, quintptr(m_sliderId), lParam});
    if (!m_flushScheduled) {
        m_flushScheduled = true;
        QMetaObject::invokeMethod(this, [this] { FlushPosted(); }, Qt::QueuedConnection);
    }
}

void CSkinSlider::FlushPosted()
{
    m_flushScheduled = false;
    const std::vector<Posted> posted = std::exchange(m_posted, {});
    for (const Posted& p : posted)
        emit NotifyMessage(p.message, p.wParam, p.lParam);
}

void CSkinSlider::Send(unsigned message, qintptr lParam)
{
    emit NotifyMessage(message, quintptr(m_sliderId), lParam);
}

void CSkinSlider::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (m_lockMode != 0 || event->button() != Qt::LeftButton)
        return;
    m_lastMousePos = event->position().toPoint();
    m_dragOrigin = Along(m_lastMousePos);
    if (OverHandle()) {
        m_dragging = true;
        SetThumbState(ThumbPressed);
    } else {
        m_value = std::clamp(ClickValue(m_dragOrigin, m_margin, TrackLength(), m_maxValue), m_minValue,
                             std::max(m_minValue, m_maxValue));
        ReportClick(ReportedValue());
        Invalidate();
    }
    PointerStateChanged();
}

void CSkinSlider::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    m_hovering = true;
    m_lastMousePos = event->position().toPoint();
    if (m_lockMode != 0)
        return;
    if (m_dragging) {
        const int at = Along(m_lastMousePos);
        m_value = std::clamp(m_value + DragDelta(at - m_dragOrigin, TrackLength(), m_maxValue), m_minValue,
                             std::max(m_minValue, m_maxValue));
        Post(kMsgSliderValue, ReportedValue());
        m_dragOrigin = at;
        Invalidate();
    } else {
        SetThumbState(OverHandle() ? ThumbOver : ThumbNormal);
    }
    PointerStateChanged();
}

void CSkinSlider::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (m_lockMode != 0 || event->button() != Qt::LeftButton)
        return;
    m_lastMousePos = event->position().toPoint();
    m_dragging = false;
    SetThumbState(OverHandle() ? ThumbOver : ThumbNormal);
    // Values posted during this press reach the parent before the release
    // does, even when press and release come in one batch of input.
    FlushPosted();
    Send(kMsgSliderReleased, 0);
    update();
    PointerStateChanged();
}

void CSkinSlider::leaveEvent(QEvent*)
{
    m_hovering = false;
    if (m_dragging)
        return;
    m_lastMousePos = QPoint(-1, -1);
    SetThumbState(ThumbNormal);
    PointerStateChanged();
}

CRSliderCtrl::CRSliderCtrl(QWidget* parent)
    : CSkinSlider(parent, Qt::WindowFlags())
{
    setCursor(Qt::PointingHandCursor);
}

void CRSliderCtrl::ReportClick(int reported)
{
    Send(kMsgSliderValue, reported);
}

void CRSliderCtrl::wheelEvent(QWheelEvent* event)
{
    event->ignore(); // the parent decides what a wheel turn does
}
