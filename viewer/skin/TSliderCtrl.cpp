#include "skin/TSliderCtrl.h"

#include "skin/TBalloon.h"
#include "skin/SkinConstants.h"

#include <QApplication>
#include <QWheelEvent>

using namespace SkinConst;

CTSliderCtrl::CTSliderCtrl(QWidget* owner)
    : CSkinSlider(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

CTSliderCtrl::~CTSliderCtrl()
{
    delete m_balloon;
}

CTBalloon* CTSliderCtrl::Balloon() const
{
    return m_balloon;
}

void CTSliderCtrl::ReportClick(int reported)
{
    Post(kMsgSliderValue, reported);
}

void CTSliderCtrl::PointerStateChanged()
{
    const bool wanted = isVisible() && (m_dragging || OverHandle());
    if (!wanted) {
        if (m_balloon)
            m_balloon->hide();
        return;
    }
    if (!m_balloon)
        m_balloon = new CTBalloon(this);
    const int reported = ReportedValue();
    if (reported != m_balloonValue || m_balloon->Text().isEmpty()) {
        // A speed code outside the table keeps the text shown.
        if (m_balloonMode == kBalloonSpeed)
            m_balloon->SetSpeedText(reported);
        else
            m_balloon->SetNumberText(reported);
        m_balloonValue = reported;
    }
    PlaceBalloon();
}

void CTSliderCtrl::PlaceBalloon()
{
    if (!m_balloon || m_thumbRect.IsEmpty())
        return;
    const QPoint handle = mapToGlobal(QPoint(m_thumbRect.left, m_thumbRect.top));
    const int bw = m_balloon->width(), bh = m_balloon->height();
    if (m_horizontal)
        m_balloon->move(handle.x() - bw / 3, handle.y() - bh);
    else
        m_balloon->move(handle.x() - bw, handle.y() - bh / 3);
    m_balloon->show(); // topmost, shown without activation
}

void CTSliderCtrl::hideEvent(QHideEvent* event)
{
    if (m_balloon)
        m_balloon->hide();
    CSkinSlider::hideEvent(event);
}

void CTSliderCtrl::wheelEvent(QWheelEvent* event)
{
    // A popup has no parent to pass an ignored event on to: hand the turn to
    // the owner in its own coordinates.
    QWidget* owner = parentWidget();
    if (!owner) {
        event->ignore();
        return;
    }
    const QPointF global = event->globalPosition();
    QWheelEvent forwarded(owner->mapFromGlobal(global), global, event->pixelDelta(), event->angleDelta(),
                          event->buttons(), event->modifiers(), event->phase(), event->inverted(), event->source());
    QApplication::sendEvent(owner, &forwarded);
    event->accept();
}
