#include "skin/RStaticText.h"
#include "skin/PassMouse.h"

#include "skin/SkinBlit.h"
#include "skin/SkinImage.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

#include <memory>

CRStaticText::CRStaticText(QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(true); // every move is passed on, as the window system reports it
    m_textBox = SkinRect{0, 0, width(), height()};
}

void CRStaticText::SetImage(const QString& ninePatch, const QFont& font, const CSkinSurface* parentBackground,
                            const SkinTextStyle& style)
{
    m_background.Release();
    m_background.Create(width(), height());
    if (parentBackground && parentBackground->IsCreated() && m_background.IsCreated())
        SkinBlit::Copy(m_background.GetImage(), 0, 0, width(), height(), parentBackground->GetImage(), x(), y());
    m_style = style;
    m_font = font;
    if (!ninePatch.isEmpty()) {
        CSkinSurface picture;
        if (picture.Create(width(), height())) {
            CSkinImage::GetInstance()->DrawNinePatch(picture, ninePatch, &m_textBox);
            if (m_background.IsCreated())
                SkinBlit::AlphaBlend(m_background.GetImage(), 0, 0, width(), height(), picture.GetImage(), 0, 0);
        }
    } else {
        m_textBox = SkinRect{0, 0, width(), height()};
    }
    m_rebuild = true;
}

void CRStaticText::SetText(const QString& text)
{
    m_style.text = text;
    m_rebuild = true;
    repaint();
}

QImage CRStaticText::ComposedImage()
{
    if (!m_rebuild && !m_cached.isNull())
        return m_cached;
    m_rebuild = false;
    if (width() < 1 || height() < 1)
        return m_cached = QImage();
    QImage img(size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    if (m_background.IsCreated())
        SkinBlit::Copy(img, 0, 0, width(), height(), m_background.GetImage(), 0, 0);
    SkinAlphaText::Draw(img, m_textBox, m_style.text, m_font, m_style.normalColor, m_style.align,
                        SkinAlphaText::VerticalRule::TruncateMinusTwo);
    m_cached = img;
    return m_cached;
}

void CRStaticText::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, ComposedImage());
}

void CRStaticText::resizeEvent(QResizeEvent*)
{
    m_rebuild = true;
    update();
}

void CRStaticText::PassToParent(QMouseEvent* event)
{
    PassMouseToParent(this, event); // passed on once; a static does nothing further with it
}

void CRStaticText::mouseMoveEvent(QMouseEvent* event)
{
    PassToParent(event);
}

void CRStaticText::mousePressEvent(QMouseEvent* event)
{
    PassToParent(event);
}

void CRStaticText::mouseReleaseEvent(QMouseEvent* event)
{
    PassToParent(event);
}
