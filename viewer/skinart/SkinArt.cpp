#include "SkinArt.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>

namespace {
const QColor kAccent(63, 168, 235);
const QColor kLabel(218, 228, 236);
const QColor kDark(34, 37, 39);

QImage Splash()
{
    QImage img(480, 320, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 320);
    g.setColorAt(0, QColor(46, 52, 58));
    g.setColorAt(1, kDark);
    p.fillRect(img.rect(), g);
    p.setPen(kAccent);
    QFont f(QStringLiteral("DejaVu Sans"), 36, QFont::Bold);
    p.setFont(f);
    p.drawText(QRect(0, 90, 480, 80), Qt::AlignCenter, QStringLiteral("Kestrav"));
    p.setPen(kLabel);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 11));
    p.drawText(QRect(0, 165, 480, 30), Qt::AlignCenter, QStringLiteral("Dash-camera recording viewer"));
    return img;
}
} // namespace

std::vector<SkinArtPicture> AllSkinPictures()
{
    return {
        {QStringLiteral("splash.png"), Splash},
    };
}
