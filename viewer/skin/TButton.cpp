#include "skin/TButton.h"

#include "skin/SkinBalloonTip.h"
#include "skin/SkinConstants.h"

#include <QPainter>

CTButton::CTButton(QWidget* owner)
    : CSkinButton(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

void CTButton::SetImages(const QString& normal, const QString& over, const QString& press, const QString& disabled)
{
    LoadPictures(normal, over, press, disabled, false, nullptr, nullptr, QPoint());
}

void CTButton::SetNinePatchImages(const QString& normal, const QString& over, const QString& press,
                                  const SkinTextStyle* style, const QString& disabled)
{
    LoadPictures(normal, over, press, disabled, true, style, nullptr, QPoint());
    m_lastTextColor = m_style.normalColor;
}

void CTButton::SetIconImages(const QString& icon0, const QString& icon1, const QString& icon2, const QString& icon3,
                             const QString& icon4, const QString& icon5, int x, int y)
{
    LoadIcons({icon0, icon1, icon2, icon3, icon4, icon5}, x, y);
}

QFont CTButton::CaptionFont(const SkinTextStyle&) const
{
    return MakeSkinFont(SkinConst::kTButtonFontHeight);
}

void CTButton::Notify()
{
    emit Command(m_commandId);
}

void CTButton::PlaceBalloon()
{
    if (!m_balloon || m_balloon->isVisible())
        return;
    const QPoint topLeft = mapToGlobal(QPoint(0, 0));
    m_balloon->move(topLeft.x() + SkinConst::kBalloonGap, topLeft.y() + height() + SkinConst::kBalloonGap);
    m_balloon->show(); // a topmost window: shown above the others
}

QImage CTButton::LayeredImage()
{
    QImage picture = ComposedImage();
    if (picture.isNull() || !m_hasText || m_style.text.isEmpty())
        return picture;
    picture = picture.copy();
    if (m_state != StateDisabled)
        m_lastTextColor = TextColor();
    // The font is fixed; the style's font height stands for the line height
    // when the text is centred in its box.
    SkinAlphaText::Draw(picture, m_textRect, m_style.text, m_font, m_lastTextColor, m_style.align,
                        SkinAlphaText::VerticalRule::RoundUpClamp, SkinAlphaText::AlphaMode::Zero,
                        m_style.fontHeight);
    return picture;
}

void CTButton::PaintComposed(QPainter& painter, const QImage&)
{
    const QImage picture = LayeredImage();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (picture.isNull())
        painter.fillRect(rect(), Qt::transparent);
    else
        painter.drawImage(0, 0, picture);
}
