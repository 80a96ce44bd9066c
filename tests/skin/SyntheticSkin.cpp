#include "SyntheticSkin.h"

#include "skinart/SkinPictureList.h"

#include <QCryptographicHash>
#include <QDir>
#include <QImage>

namespace SyntheticSkin {
namespace {
const QRgb kMarker = qRgb(0, 0, 0);
const QRgb kEdge = qRgba(255, 255, 255, 0); // marker border: white, transparent

QImage Canvas(QSize size)
{
    QImage img(size, QImage::Format_ARGB32);
    img.fill(kEdge);
    return img;
}

void FillContent(QImage& img, QRect content, QRgb colour)
{
    for (int y = content.top(); y <= content.bottom(); ++y)
        for (int x = content.left(); x <= content.right(); ++x)
            img.setPixel(x, y, colour);
}
} // namespace

QRgb Colour(const QString& name)
{
    const QByteArray hash = QCryptographicHash::hash(name.toLower().toUtf8(), QCryptographicHash::Md5);
    // Channels kept in 40..215: far from black, white and each other's extremes.
    auto channel = [&](int i) { return 40 + int(quint8(hash[i])) % 176; };
    return qRgb(channel(0), channel(1), channel(2));
}

bool Write(const QString& folder)
{
    QDir().mkpath(folder);
    for (const SkinPictureDef& def : SkinPictureList()) {
        const QRgb colour = Colour(def.name);
        const int w = def.size.width(), h = def.size.height();
        QImage img;
        switch (def.kind) {
        case SkinPictureKind::Plain:
            img = QImage(def.size, QImage::Format_ARGB32);
            img.fill(colour);
            break;
        case SkinPictureKind::PlainInNinePatch:
            img = Canvas(def.size + QSize(1, 1));
            FillContent(img, QRect(1, 1, w, h), colour);
            break;
        case SkinPictureKind::NinePatch:
            img = Canvas(def.size + QSize(2, 2));
            FillContent(img, QRect(1, 1, w, h), colour);
            img.setPixel(1 + w / 2, 0, kMarker); // stretch column
            img.setPixel(0, 1 + h / 2, kMarker); // stretch row
            for (int y = 1; y <= h; ++y)         // content box: all of it
                img.setPixel(w + 1, y, kMarker);
            for (int x = 1; x <= w; ++x)
                img.setPixel(x, h + 1, kMarker);
            break;
        case SkinPictureKind::ThreeSliceV:
            img = Canvas(def.size + QSize(2, 2));
            FillContent(img, QRect(1, 1, w, h), colour);
            img.setPixel(0, 1 + h / 2, kMarker);
            break;
        case SkinPictureKind::ThreeSliceH:
            img = Canvas(def.size + QSize(2, 2));
            FillContent(img, QRect(1, 1, w, h), colour);
            img.setPixel(1 + w / 2, 0, kMarker);
            break;
        }
        if (!img.save(QDir(folder).filePath(def.name.toUpper()), "PNG"))
            return false;
    }
    return true;
}

} // namespace SyntheticSkin
