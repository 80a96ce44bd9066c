#include "skin/RImageNum.h"

#include "skin/SkinBlit.h"
#include "skin/SkinConstants.h"
#include "skin/SkinImage.h"

#include <QEvent>
#include <QPainter>

CRImageNum::CRImageNum(QWidget* parent)
    : QWidget(parent)
{
    for (int i = 0; i < 11; ++i)
        CSkinImage::GetInstance()->LoadImage(m_digits[i], QString::fromLatin1(SkinConst::kSpeedDigitPictures[i]));
}

void CRImageNum::SetBackground(const CSkinSurface* parentBackground)
{
    m_background.Release();
    if (!parentBackground || !parentBackground->IsCreated() || !m_background.Create(width(), height()))
        return;
    SkinBlit::Copy(m_background.GetImage(), 0, 0, width(), height(), parentBackground->GetImage(), x(), y());
}

void CRImageNum::SetValue(int value)
{
    if (value < 0 || value >= SkinConst::kImageNumLimit)
        return;
    m_value = value;
    repaint();
}

QImage CRImageNum::ComposedImage() const
{
    if (width() < 1 || height() < 1)
        return QImage();
    QImage img(size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    if (m_background.IsCreated())
        SkinBlit::Copy(img, 0, 0, width(), height(), m_background.GetImage(), 0, 0);
    const int step = m_digits[0].GetWidth();
    const int places[3] = {m_value / 100, m_value / 10 % 10, m_value % 10};
    for (int i = 0; i < 3; ++i) {
        const CSkinSurface& digit = m_digits[m_enabled ? places[i] : 10];
        if (digit.IsCreated())
            SkinBlit::AlphaBlend(img, i * step, 0, digit.GetWidth(), digit.GetHeight(), digit.GetImage(), 0, 0);
    }
    return img;
}

void CRImageNum::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, ComposedImage());
}

void CRImageNum::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        m_enabled = isEnabled();
        repaint();
    }
    QWidget::changeEvent(event);
}
