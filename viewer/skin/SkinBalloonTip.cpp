#include "skin/SkinBalloonTip.h"

#include "skin/SkinConstants.h"
#include "skin/SkinImage.h"
#include "skin/SkinText.h"

#include <QFontMetrics>
#include <QPainter>

CSkinBalloonTip::CSkinBalloonTip(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QString::fromLatin1(SkinConst::kBalloonTitle));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, 1, 1);
    m_font = MakeSkinFont(13);
}

void CSkinBalloonTip::SetText(const QString& text)
{
    m_text = text;
    const int width = QFontMetrics(m_font).size(0, text).width() + SkinConst::kBalloonExtraWidth;
    resize(width, SkinConst::kBalloonHeight);
    Compose();
    update();
}

void CSkinBalloonTip::resizeEvent(QResizeEvent*)
{
    Compose();
}

void CSkinBalloonTip::Compose()
{
    m_background.Release();
    if (!m_background.Create(width(), height()))
        return;
    m_textBox = SkinRect{0, 0, width(), height()};
    CSkinImage::GetInstance()->DrawNinePatch(m_background, QString::fromLatin1(SkinConst::kBalloonPicture), &m_textBox);
    m_composed = m_background.GetImage().copy();
    SkinAlphaText::Draw(m_composed, m_textBox, m_text, m_font, QColor(0, 0, 0), 1,
                        SkinAlphaText::VerticalRule::TruncateClamp);
}

void CSkinBalloonTip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    if (m_composed.isNull())
        p.fillRect(rect(), Qt::transparent);
    else
        p.drawImage(0, 0, m_composed);
}
