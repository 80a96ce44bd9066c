#include "skin/RButton.h"

#include "skin/SkinBalloonTip.h"
#include "skin/SkinConstants.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

CRButton::CRButton(QWidget* parent, int controlId)
    : CSkinButton(parent, Qt::WindowFlags())
    , m_controlId(controlId)
{
}

void CRButton::SetImages(const QString& normal, const QString& over, const QString& press,
                         const CSkinSurface* parentBackground, const QString& disabled, int backgroundMode)
{
    const QPoint from = backgroundMode == 1 ? QPoint(1, 0) : geometry().topLeft();
    LoadPictures(normal, over, press, disabled, false, nullptr,
                 parentBackground && parentBackground->IsCreated() ? &parentBackground->GetImage() : nullptr, from);
}

void CRButton::SetNinePatchImages(const QString& normal, const QString& over, const QString& press,
                                  const CSkinSurface* parentBackground, const SkinTextStyle* style,
                                  const QString& disabled)
{
    LoadPictures(normal, over, press, disabled, true, style,
                 parentBackground && parentBackground->IsCreated() ? &parentBackground->GetImage() : nullptr,
                 geometry().topLeft());
}

void CRButton::SetIconImages(const QString& icon0, const QString& icon1, const QString& icon2, const QString& icon3,
                             const QString& icon4, const QString& icon5, const QString& disabledIcon, int x, int y)
{
    LoadIcons({icon0, icon1, icon2, icon3, icon4, icon5, disabledIcon}, x, y);
}

void CRButton::SetBalloonOffset(int dy, int dx)
{
    m_balloonOffsetY = dy;
    m_balloonOffsetX = dx;
}

QFont CRButton::CaptionFont(const SkinTextStyle& style) const
{
    return MakeSkinFont(style.fontHeight);
}

void CRButton::Notify()
{
    const int id = m_controlId;
    QMetaObject::invokeMethod(this, [this, id] { emit Command(id); }, Qt::QueuedConnection);
}

void CRButton::PlaceBalloon()
{
    if (!m_balloon)
        return;
    const QPoint topLeft = mapToGlobal(QPoint(0, 0));
    const QRect button(topLeft, size());
    int x = button.left() + m_balloonOffsetX + SkinConst::kBalloonGap;
    const int y = button.top() + button.height() + m_balloonOffsetY + SkinConst::kBalloonGap;
    QScreen* screen = QGuiApplication::screenAt(button.center());
    if (!screen)
        screen = this->screen();
    if (screen) {
        const int screenRight = screen->geometry().left() + screen->geometry().width();
        const int overflow = x + m_balloon->width() - screenRight;
        if (overflow > 0)
            x -= overflow;
    }
    m_balloon->move(x, y);
    m_balloon->show(); // a topmost window: shown above the others
}

SkinRect CRButton::CaptionBox() const
{
    SkinRect box = m_textRect;
    if (m_style.align == 1)
        box.top += (box.bottom - box.top - m_style.fontHeight) / 2;
    return box;
}

void CRButton::PaintComposed(QPainter& painter, const QImage& composed)
{
    if (!composed.isNull())
        painter.drawImage(0, 0, composed);
    if (!m_hasText || m_style.text.isEmpty())
        return;
    const SkinRect box = CaptionBox();
    painter.save();
    painter.setClipRect(box.ToQRect());
    painter.setFont(m_font);
    painter.setPen(TextColor());
    const Qt::Alignment flags = m_style.align == 1 ? (Qt::AlignHCenter | Qt::AlignTop) : (Qt::AlignLeft | Qt::AlignTop);
    painter.drawText(box.ToQRect(), int(flags), m_style.text);
    painter.restore();
}
