#include "skin/RScrollBar.h"

#include "skin/RButton.h"
#include "skin/SkinBalloonTip.h"
#include "skin/SkinBlit.h"
#include "skin/SkinConstants.h"
#include "skin/SkinImage.h"
#include "base/TraceLog.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

using namespace SkinConst;

namespace {
QString Name(const char* name)
{
    return QString::fromLatin1(name);
}
} // namespace

CSkinScrollBar::CSkinScrollBar(QWidget* parent, Qt::WindowFlags flags, const Config& config)
    : QWidget(parent, flags)
    , m_config(config)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent); // the whole bar is painted every time
    setFocusPolicy(Qt::NoFocus);

    // The track picture, prepared once at its base size and stretched over
    // the bar at every paint.
    const QSize trackSize = config.vertical ? QSize(kScrollTrackWidth, kScrollTrackLength)
                                            : QSize(kScrollTrackLength, kScrollTrackWidth);
    m_trackSurface.Create(trackSize.width(), trackSize.height());
    CSkinImage::GetInstance()->DrawNinePatch(m_trackSurface, Name(config.track));

    // Both arrows take their background from the track's first pixels across
    // the bar (one pixel in from its edge), so they blend into its top (left) cap.
    CSkinSurface arrowBackground;
    const CSkinSurface* background = &m_trackSurface;
    if (!config.vertical && arrowBackground.Create(kScrollArrow + 1, kScrollArrow)) {
        // Background mode 1 copies from (1, 0); put the track's (0, 1) there.
        SkinBlit::Copy(arrowBackground.GetImage(), 1, 0, kScrollArrow, kScrollArrow, m_trackSurface.GetImage(), 0, 1);
        background = &arrowBackground;
    }
    m_nearButton = new CRButton(this, config.nearId);
    m_farButton = new CRButton(this, config.farId);
    const char* const* pictures[2] = {config.nearPictures, config.farPictures};
    CRButton* buttons[2] = {m_nearButton, m_farButton};
    for (int i = 0; i < 2; ++i) {
        buttons[i]->resize(kScrollArrow, kScrollArrow);
        buttons[i]->SetImages(Name(pictures[i][0]), Name(pictures[i][1]), Name(pictures[i][2]), background,
                              Name(pictures[i][3]), 1);
        connect(buttons[i], &CSkinButton::Command, this, &CSkinScrollBar::OnArrow);
        buttons[i]->show();
    }

    for (int i = 0; i < 3; ++i) {
        if (config.vertical)
            CSkinImage::GetInstance()->LoadVerticalThreeSlice(Name(config.thumbPictures[i]), m_thumb[i].first,
                                                              m_thumb[i].middle, m_thumb[i].last);
        else
            CSkinImage::GetInstance()->LoadHorizontalThreeSlice(Name(config.thumbPictures[i]), m_thumb[i].first,
                                                                m_thumb[i].middle, m_thumb[i].last);
    }
}

CSkinScrollBar::~CSkinScrollBar() = default;

QPair<int, int> CSkinScrollBar::ThumbSpan(int length, int contentSize, int viewSize, int percent)
{
    const qint64 track = length - 2 * kScrollArrow;
    // A content of 0 would divide by zero: the thumb then fills the track.
    const int thumb = contentSize > 0 ? int(track * viewSize / contentSize) : int(track);
    int start = int((track - thumb) * percent / 100) + kScrollArrow;
    if (start > length - thumb - kScrollArrow)
        start = length - thumb - kScrollArrow;
    return {start, start + thumb};
}

int CSkinScrollBar::PercentAt(int length, int thumbLength, int start)
{
    const int room = length - thumbLength - 2 * kScrollArrow;
    // A thumb that fills the track has nowhere to go: 0 rather than a
    // division by zero.
    return room > 0 ? (start - kScrollArrow) * 100 / room : 0;
}

void CSkinScrollBar::SetThumbSpan(int start, int end)
{
    if (m_config.vertical)
        m_thumbRect = SkinRect{kScrollThumbNear, start, kScrollThumbFar, end};
    else
        m_thumbRect = SkinRect{start, kScrollThumbNear, end, kScrollThumbFar};
}

void CSkinScrollBar::SetInfo(int contentSize, int viewSize, int percent)
{
    m_contentSize = contentSize;
    m_viewSize = viewSize;
    m_percent = percent;
    const auto [start, end] = ThumbSpan(Length(), contentSize, viewSize, percent);
    SetThumbSpan(start, end);
    // Nothing to scroll: both arrows disabled (they repaint themselves).
    const bool scrollable = viewSize != 1;
    m_nearButton->setEnabled(scrollable);
    m_farButton->setEnabled(scrollable);
}

void CSkinScrollBar::RedrawTrack()
{
    if (m_config.vertical)
        update(QRect(QPoint(2, kScrollArrow), QPoint(kScrollArrow - 1, height() - kScrollArrow - 1)));
    else
        update(QRect(QPoint(kScrollArrow, 2), QPoint(width() - kScrollArrow - 1, kScrollArrow - 1)));
}

void CSkinScrollBar::PlaceButtons()
{
    const int w = width(), h = height();
    if (m_config.vertical) {
        m_nearButton->move(w - 14, 0);
        m_farButton->move(w - 14, h - kScrollArrow);
    } else {
        m_nearButton->move(0, h - 14);
        m_farButton->move(w - kScrollArrow, h - 14);
    }
}

void CSkinScrollBar::resizeEvent(QResizeEvent*)
{
    m_composeSurface.Release();
    PlaceButtons();
}

void CSkinScrollBar::DrawThumb(QImage& img)
{
    const ThumbSlices& slices = m_thumb[m_thumbState == ThumbOver ? 1 : m_thumbState == ThumbPressed ? 2 : 0];
    const int thumb = m_contentSize > 0 ? int(qint64(Length() - 2 * kScrollArrow) * m_viewSize / m_contentSize)
                                        : Length() - 2 * kScrollArrow;
    const bool v = m_config.vertical;
    auto along = [v](const CSkinSurface& s) { return s.IsCreated() ? (v ? s.GetHeight() : s.GetWidth()) : 0; };
    const int firstLen = along(slices.first), lastLen = along(slices.last);
    const int middle = thumb > kScrollThumbMinSliced ? thumb - firstLen - lastLen + 2 : 1;
    const int x = m_thumbRect.left, y = m_thumbRect.top;
    if (slices.first.IsCreated())
        SkinBlit::AlphaBlend(img, x, y, slices.first.GetWidth(), slices.first.GetHeight(), slices.first.GetImage(), 0,
                             0);
    if (slices.middle.IsCreated()) {
        const QRect src(0, 0, slices.middle.GetWidth(), slices.middle.GetHeight());
        const QRect dst = v ? QRect(x, y + firstLen, slices.middle.GetWidth(), middle)
                            : QRect(x + firstLen, y, middle, slices.middle.GetHeight());
        SkinBlit::AlphaBlendStretch(img, dst, slices.middle.GetImage(), src);
    }
    if (slices.last.IsCreated()) {
        const int lx = v ? x : x + firstLen + middle, ly = v ? y + firstLen + middle : y;
        SkinBlit::AlphaBlend(img, lx, ly, slices.last.GetWidth(), slices.last.GetHeight(), slices.last.GetImage(), 0,
                             0);
    }
}

QImage CSkinScrollBar::ComposedImage()
{
    if (width() < 1 || height() < 1)
        return QImage();
    if (!m_composeSurface.IsCreated())
        m_composeSurface.Create(width(), height());
    QImage& img = m_composeSurface.GetImage();
    img.fill(Qt::transparent);
    SkinBlit::Stretch(img, 0, 0, width(), height(), m_trackSurface.GetImage(), 0, 0, m_trackSurface.GetWidth(),
                      m_trackSurface.GetHeight());
    // Nothing to scroll: no thumb (the arrows are disabled by SetInfo).
    if (m_viewSize != 1)
        DrawThumb(img);
    return img;
}

void CSkinScrollBar::paintEvent(QPaintEvent*)
{
    const QImage composed = ComposedImage();
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    if (!composed.isNull())
        p.drawImage(0, 0, composed);
}

void CSkinScrollBar::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    const QPoint pos = event->position().toPoint();
    if (m_dragging) {
        if (m_viewSize == 1)
            return;
        const int at = Along(pos);
        const int start = ThumbStart(), thumb = ThumbEnd() - ThumbStart();
        // The thumb follows the pointer but stops at the ends of the track
        // (a quick flick past the end leaves it at the end, not short of it).
        const int lowest = kScrollArrow, highest = Length() - kScrollArrow - thumb;
        if (lowest <= highest) {
            const int moved = std::clamp(start + at - m_lastDragPos, lowest, highest);
            SetThumbSpan(moved, moved + thumb);
        }
        const int percent = PercentAt(Length(), thumb, ThumbStart());
        if (percent != m_lastSentPercent) {
            m_lastSentPercent = percent;
            Emit(m_config.msgPercent, quintptr(percent));
        }
        m_lastDragPos = at;
        RedrawTrack();
        return;
    }
    const bool inThumb = m_thumbRect.ToQRect().contains(pos);
    if (inThumb && m_thumbState == ThumbNormal) {
        m_thumbState = ThumbOver;
        update();
    } else if (!inThumb && m_thumbState == ThumbOver) {
        m_thumbState = ThumbNormal;
        RedrawTrack();
    }
}

void CSkinScrollBar::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || m_thumbState != ThumbOver)
        return; // the track outside the thumb does nothing
    m_thumbState = ThumbPressed;
    m_dragging = true;
    m_lastDragPos = Along(event->position().toPoint());
    // Each drag reports every per cent it reaches that differs from where the
    // thumb started, whatever an earlier drag reported last.
    m_lastSentPercent = PercentAt(Length(), ThumbEnd() - ThumbStart(), ThumbStart());
    update();
}

void CSkinScrollBar::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    if (m_thumbState == ThumbPressed)
        m_thumbState = ThumbOver;
    m_dragging = false;
    update();
}

void CSkinScrollBar::leaveEvent(QEvent*)
{
    if (m_dragging)
        return;
    m_thumbState = ThumbNormal;
    RedrawTrack();
}

void CSkinScrollBar::changeEvent(QEvent* event)
{
    // Bars shown as tool windows of their own trace their activation.
    if (event->type() == QEvent::ActivationChange && isWindow())
        TraceLog(Name(isActiveWindow() ? kTraceScrollActive : kTraceScrollInactive));
    QWidget::changeEvent(event);
}

void CSkinScrollBar::wheelEvent(QWheelEvent* event)
{
    event->ignore(); // the window the bar serves decides what a wheel turn does
}

void CSkinScrollBar::OnArrow(int id)
{
    if (id == m_config.nearId)
        Emit(m_config.msgNear, 0);
    else if (id == m_config.farId)
        Emit(m_config.msgFar, 0);
}

void CSkinScrollBar::Emit(unsigned message, quintptr wParam)
{
    if (m_notifyWindow)
        emit NotifyMessage(message, wParam, 0);
}

CRScrollBar::CRScrollBar(QWidget* parent, Qt::WindowFlags flags)
    : CSkinScrollBar(parent, flags,
                     Config{true, kMsgScrollUp, kMsgScrollDown, kMsgScrollPercent, kScrollUpId, kScrollDownId,
                            kScrollTrackPicture, kScrollUpPictures, kScrollDownPictures, kScrollThumbPictures})
{
}

CRScrollBar_Hor::CRScrollBar_Hor(QWidget* parent, Qt::WindowFlags flags)
    : CSkinScrollBar(parent, flags,
                     Config{false, kMsgScrollLeft, kMsgScrollRight, kMsgScrollPercentHor, kScrollLeftId,
                            kScrollRightId, kScrollTrackPictureHor, kScrollLeftPictures, kScrollRightPictures,
                            kScrollThumbPicturesHor})
{
}
