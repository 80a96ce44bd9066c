#include "windows/GPSViewer.h"
#include "skin/PassMouse.h"

#include "skin/SkinBlit.h"
#include "windows/PanelDraw.h"
#include "windows/PanelIds.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

#include <memory>

using namespace PanelIds;

CGPSViewer::CGPSViewer(QWidget* parent)
    : QWidget(parent)
{
    // The panel paints every pixel itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    m_clientRect = rect();
}

void CGPSViewer::CaptureBackground(const QImage& parentSkin)
{
    m_clientRect = rect();
    m_background.Release();
    if (m_background.Create(m_clientRect.width(), m_clientRect.height()) && !parentSkin.isNull())
        SkinBlit::Copy(m_background.GetImage(), 0, 0, m_clientRect.width(), m_clientRect.height(), parentSkin, x(), y());
    // The series shown stays over the new background (the window recomposes
    // its skin while a recording plays, e.g. when the right column switches).
    if (m_hasSeries)
        DrawGraph(m_series);
    else
        Redraw(true);
}

void CGPSViewer::EnsureComposed()
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
    const int right = img.width(); // the client's right edge, not drawn
    for (int i = 0; i < kGraphRuleCount; ++i)
        PanelDraw::Line(img, QPoint(0, kGraphRuleSpacing * i), QPoint(right, kGraphRuleSpacing * i), kGraphRuleColor);
    PanelDraw::Line(img, QPoint(0, kGraphExtraRuleY), QPoint(right, kGraphExtraRuleY), kGraphRuleColor);
    m_dirty = false;
}

void CGPSViewer::DrawCurves()
{
    if (!m_composed.IsCreated())
        return;
    const int n = int(m_series.size());
    if (n == 0)
        return;
    const int width = m_clientRect.width();
    const int x0 = m_clientRect.left();
    const int ymid = m_clientRect.height() / 2 + m_clientRect.top();
    // One sample: held from the left to the right edge.
    const double step = n > 1 ? double(width) / double(n - 1) : double(width);
    const double scale = double(m_clientRect.height() / 2) / double(kGraphFullScale);
    const int points = n > 1 ? n : 2;

    const QRgb colours[3] = {kGraphXColor, kGraphYColor, kGraphZColor};
    for (int axis = 0; axis < 3; ++axis) {
        QPolygon line;
        line.reserve(points + 1);
        line << QPoint(x0, ymid);
        for (int k = 0; k < points; ++k) {
            const CGSensorData& s = m_series[size_t(n > 1 ? k : 0)];
            const int value = axis == 0 ? s.x : (axis == 1 ? s.y : s.z);
            line << QPoint(int(x0 + k * step), int(ymid - value * scale));
        }
        PanelDraw::Polyline(m_composed.GetImage(), line, colours[axis]);
    }
}

bool CGPSViewer::DrawGraph(const CTextData& series)
{
    return DrawGraph(series.gsensorList);
}

bool CGPSViewer::DrawGraph(const std::vector<CGSensorData>& samples)
{
    if (&samples != &m_series)
        m_series = samples;
    m_hasSeries = true;
    m_dirty = true;
    m_lineX = -1;
    EnsureComposed();
    DrawCurves();
    Redraw(false);
    return true;
}

bool CGPSViewer::SetPositionLine(int percent)
{
    Redraw(false);
    m_lineX = int(double(m_clientRect.width()) * percent / 100.0);
    PaintNow();
    return true;
}

void CGPSViewer::ClearGraph()
{
    m_series.clear();
    m_hasSeries = false;
    Redraw(true);
}

void CGPSViewer::Redraw(bool rebuild)
{
    if (rebuild)
        m_dirty = true;
    m_lineX = -1;
    EnsureComposed();
    PaintNow();
}

void CGPSViewer::PaintNow()
{
    if (isVisible())
        repaint();
}

QImage CGPSViewer::ComposedImage()
{
    EnsureComposed();
    return m_composed.GetImage();
}

void CGPSViewer::paintEvent(QPaintEvent*)
{
    EnsureComposed();
    QPainter p(this);
    if (m_composed.IsCreated())
        p.drawImage(0, 0, m_composed.GetImage());
    // The position line: (x, 0) to the client's bottom edge.
    if (m_lineX >= 0 && m_lineX < width())
        p.fillRect(QRect(m_lineX, 0, 1, height()), QColor::fromRgb(kGraphPositionColor));
    m_painted = true;
}

void CGPSViewer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // Only a real change of size redraws (the first show delivers a pending
    // resize of the size the picture was built at).
    if (!m_painted && !m_composed.IsCreated())
        return;
    if (m_composed.IsCreated() && m_composed.GetWidth() == width() && m_composed.GetHeight() == height())
        return;
    m_clientRect = rect();
    if (m_hasSeries)
        DrawGraph(m_series);
    else
        Redraw(true);
}

void CGPSViewer::PassToParent(QMouseEvent* event)
{
    PassMouseToParent(this, event);
}

void CGPSViewer::mouseMoveEvent(QMouseEvent* event)
{
    PassToParent(event);
}

void CGPSViewer::mousePressEvent(QMouseEvent* event)
{
    PassToParent(event);
}

void CGPSViewer::mouseReleaseEvent(QMouseEvent* event)
{
    PassToParent(event);
}
