#include "skin/TBalloon.h"

#include "skin/SkinConstants.h"
#include "skin/SkinImage.h"
#include "skin/SkinText.h"

#include <QFontMetrics>

using namespace SkinConst;

CTBalloon::CTBalloon(QWidget* owner)
    : CSkinLayeredWindow(owner, Qt::ToolTip)
{
    setWindowTitle(QString::fromLatin1(kBalloonTitle));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 1, 1);
}

void CTBalloon::UseFont(const char* sizeKey, int fallbackHeight)
{
    if (m_fontKey == sizeKey)
        return;
    m_font = MakeLanguageFont(sizeKey, fallbackHeight);
    m_fontKey = sizeKey;
}

void CTBalloon::SetText(const QString& text)
{
    // A free text's font is made anew every time (the language may have changed).
    m_fontKey = nullptr;
    UseFont(kBalloonFontKey, kBalloonFontDefault);
    m_text = text;
    const int w = QFontMetrics(m_font).size(0, text).width() + kBalloonExtraWidth;
    resize(w, kBalloonHeight);
    Redraw();
}

int CTBalloon::NumberWidth(int number)
{
    const qsizetype digits = QString::number(number).size();
    return kBalloonNumberWidths[digits <= 1 ? 0 : digits == 2 ? 1 : 2];
}

void CTBalloon::ResizeHidden(int w)
{
    if (width() == w && height() == kBalloonHeight)
        return;
    resize(w, kBalloonHeight);
    hide(); // shown again where its owner places it
}

void CTBalloon::SetNumberText(int number)
{
    UseFont(kBalloonNumberFontKey, kBalloonSmallFontDefault);
    ResizeHidden(NumberWidth(number));
    m_text = QString::number(number);
    Redraw();
}

void CTBalloon::SetSpeedText(int code)
{
    UseFont(kBalloonSpeedFontKey, kBalloonSmallFontDefault);
    ResizeHidden(kBalloonSpeedWidth);
    if (code >= 0 && code <= 6)
        m_text = QString::fromLatin1(kSpeedCodeTexts[code]);
    Redraw();
}

void CTBalloon::Compose(QImage& picture)
{
    m_background.Release();
    if (!m_background.Create(width(), height()))
        return;
    m_textBox = SkinRect{0, 0, width(), height()};
    CSkinImage::GetInstance()->DrawNinePatch(m_background, QString::fromLatin1(kBalloonPicture), &m_textBox);
    picture = m_background.GetImage().copy();
    SkinAlphaText::Draw(picture, m_textBox, m_text, m_font, QColor::fromRgba(kBalloonTextColor), 1,
                        SkinAlphaText::VerticalRule::TruncateClamp);
}
