#include "skin/SkinSurface.h"

bool CSkinSurface::Create(int width, int height)
{
    if (IsCreated() || width < 1 || height < 1)
        return false;
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return false; // out of memory or an absurd size
    image.fill(Qt::transparent);
    m_image = std::move(image);
    m_width = width;
    m_height = height;
    return true;
}

void CSkinSurface::Release()
{
    m_image = QImage();
    m_width = 0;
    m_height = 0;
}
