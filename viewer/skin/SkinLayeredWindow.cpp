#include "skin/SkinLayeredWindow.h"

#include <QPainter>

CSkinLayeredWindow::CSkinLayeredWindow(QWidget* owner, Qt::WindowFlags extra)
    : QWidget(owner, extra | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
}

QImage CSkinLayeredWindow::LayeredImage()
{
    if (width() < 1 || height() < 1)
        return QImage();
    if (m_composeSurface.IsCreated()
        && (m_composeSurface.GetWidth() != width() || m_composeSurface.GetHeight() != height())) {
        m_composeSurface.Release();
        m_rebuild = true;
    }
    if (!m_rebuild && !m_cached.isNull())
        return m_cached;
    m_rebuild = false;
    if (!m_composeSurface.IsCreated() && !m_composeSurface.Create(width(), height()))
        return QImage();
    QImage& img = m_composeSurface.GetImage();
    img.fill(Qt::transparent);
    Compose(img);
    m_cached = img.copy();
    return m_cached;
}

void CSkinLayeredWindow::Redraw()
{
    m_rebuild = true;
    if (isVisible())
        repaint();
}

void CSkinLayeredWindow::Invalidate()
{
    m_rebuild = true;
    update();
}

void CSkinLayeredWindow::paintEvent(QPaintEvent*)
{
    const QImage picture = LayeredImage();
    QPainter p(this);
    // The picture, alpha included, is all the window shows.
    p.setCompositionMode(QPainter::CompositionMode_Source);
    if (picture.isNull())
        p.fillRect(rect(), Qt::transparent);
    else
        p.drawImage(0, 0, picture);
}

void CSkinLayeredWindow::resizeEvent(QResizeEvent*)
{
    m_rebuild = true;
}
