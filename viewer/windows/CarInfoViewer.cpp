#include "windows/CarInfoViewer.h"
#include "skin/PassMouse.h"

#include "skin/SkinBlit.h"
#include "skin/SkinImage.h"
#include "windows/PanelDraw.h"
#include "windows/PanelIds.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

#include <memory>

using namespace PanelIds;

CCarInfoViewer::CCarInfoViewer(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    m_clientRect = rect();
}

void CCarInfoViewer::CaptureSignal(Signal& signal, const QImage& skin, const QRect& place)
{
    signal.surface.Release();
    signal.background = QImage(place.size(), QImage::Format_ARGB32_Premultiplied);
    signal.background.fill(Qt::transparent);
    if (!skin.isNull())
        SkinBlit::Copy(signal.background, 0, 0, place.width(), place.height(), skin, x() + place.left(), y() + place.top());
    signal.surface.Create(place.width(), place.height());
}

void CCarInfoViewer::CaptureBackground(const QImage& parentSkin)
{
    m_clientRect = rect();
    const int w = m_clientRect.width();
    const int h = m_clientRect.height() - kCarInfoBackgroundCut;
    m_background.Release();
    if (m_background.Create(w, h) && !parentSkin.isNull())
        SkinBlit::Copy(m_background.GetImage(), 0, 0, w, h, parentSkin, x(), y());
    CaptureSignal(m_left, parentSkin, kCarInfoLeftRect);
    CaptureSignal(m_right, parentSkin, kCarInfoRightRect);
    CaptureSignal(m_brake, parentSkin, kCarInfoBrakeRect);
    SetStatus(0, 0, 0);
}

void CCarInfoViewer::ShowPicture(Signal& signal, const char* picture)
{
    if (!signal.surface.IsCreated())
        return;
    SkinBlit::Copy(signal.surface.GetImage(), 0, 0, signal.background.width(), signal.background.height(),
                   signal.background, 0, 0);
    CSkinImage::GetInstance()->DrawImage(signal.surface, QString::fromLatin1(picture));
}

void CCarInfoViewer::SetStatus(int brake, int left, int right, int active)
{
    Q_UNUSED(active);
    m_brakeOn = brake == kSignalOn;
    m_leftOn = left == kSignalOn;
    m_rightOn = right == kSignalOn;
    ShowPicture(m_brake, m_brakeOn ? kBrakeOnPicture : kBrakeOffPicture);
    ShowPicture(m_left, m_leftOn ? kLeftOnPicture : kLeftOffPicture);
    ShowPicture(m_right, m_rightOn ? kRightOnPicture : kRightOffPicture);
    Refresh();
}

void CCarInfoViewer::Refresh()
{
    m_dirty = true;
    if (isVisible())
        repaint();
}

void CCarInfoViewer::EnsureComposed()
{
    m_clientRect = rect();
    if (m_dirty)
        m_composed.Release();
    bool fresh = false;
    if (!m_composed.IsCreated())
        fresh = m_composed.Create(m_clientRect.width(), m_clientRect.height());
    if (!m_composed.IsCreated() || !(m_dirty || fresh))
        return;
    QImage& img = m_composed.GetImage();
    img.fill(Qt::black);
    if (m_background.IsCreated())
        SkinBlit::Stretch(img, 0, 0, img.width(), img.height(), m_background.GetImage(), 0, 0, m_background.GetWidth(),
                          m_background.GetHeight());
    const auto place = [&img](const Signal& signal, const QRect& r) {
        if (signal.surface.IsCreated())
            SkinBlit::Stretch(img, r.left(), r.top(), r.width(), r.height(), signal.surface.GetImage(), 0, 0,
                              signal.surface.GetWidth(), signal.surface.GetHeight());
    };
    place(m_left, kCarInfoLeftRect);
    place(m_right, kCarInfoRightRect);
    place(m_brake, kCarInfoBrakeRect);
    for (int xLine : {kCarInfoSeparatorX1, kCarInfoSeparatorX2})
        PanelDraw::Line(img, QPoint(xLine, kCarInfoSeparatorTop), QPoint(xLine, kCarInfoSeparatorBottom),
                        kCarInfoSeparatorColor);
    m_dirty = false;
}

QImage CCarInfoViewer::ComposedImage()
{
    EnsureComposed();
    return m_composed.GetImage();
}

void CCarInfoViewer::paintEvent(QPaintEvent*)
{
    EnsureComposed();
    QPainter p(this);
    if (m_composed.IsCreated())
        p.drawImage(0, 0, m_composed.GetImage());
    m_painted = true;
}

void CCarInfoViewer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!m_painted)
        return;
    m_clientRect = rect();
    Refresh();
}

void CCarInfoViewer::PassToParent(QMouseEvent* event)
{
    PassMouseToParent(this, event);
}

void CCarInfoViewer::mouseMoveEvent(QMouseEvent* event)
{
    PassToParent(event);
}

void CCarInfoViewer::mousePressEvent(QMouseEvent* event)
{
    PassToParent(event);
}

void CCarInfoViewer::mouseReleaseEvent(QMouseEvent* event)
{
    PassToParent(event);
}
