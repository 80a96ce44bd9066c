#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QRect>
#include <QRgb>

#include <cstdlib>

// Small helpers shared by the skin control tests.
namespace SkinTestUtil {

// The pixel of `box` farthest from `background` (sum of channel
// differences): in a box holding text, the most covered text pixel.
inline QRgb Strongest(const QImage& img, const QRect& box, QRgb background)
{
    QRgb best = background;
    int bestDistance = -1;
    const QRect r = box.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = img.pixel(x, y);
            const int d = std::abs(qRed(p) - qRed(background)) + std::abs(qGreen(p) - qGreen(background))
                          + std::abs(qBlue(p) - qBlue(background));
            if (d > bestDistance) {
                bestDistance = d;
                best = p;
            }
        }
    }
    return best;
}

// Whether two colours agree within `tolerance` on every channel.
inline bool Near(QRgb a, QRgb b, int tolerance = 24)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
           && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// Columns of `box` holding a pixel that differs from `background`.
inline QList<int> InkColumns(const QImage& img, const QRect& box, QRgb background)
{
    QList<int> columns;
    const QRect r = box.intersected(img.rect());
    for (int x = r.left(); x <= r.right(); ++x) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            if ((img.pixel(x, y) | 0xFF000000u) != (background | 0xFF000000u)) {
                columns.append(x);
                break;
            }
        }
    }
    return columns;
}

// Rows of `box` holding a pixel that differs from `background`.
inline QList<int> InkRows(const QImage& img, const QRect& box, QRgb background)
{
    QList<int> rows;
    const QRect r = box.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if ((img.pixel(x, y) | 0xFF000000u) != (background | 0xFF000000u)) {
                rows.append(y);
                break;
            }
        }
    }
    return rows;
}

// Collects the messages a control emits, in order.
struct Message {
    unsigned message;
    quintptr wParam;
    qintptr lParam;
    bool operator==(const Message& o) const { return message == o.message && wParam == o.wParam && lParam == o.lParam; }
};

class CMessageLog : public QObject
{
public:
    QList<Message> messages;
    template <class T> void Watch(T* control)
    {
        connect(control, &T::NotifyMessage, this,
                [this](unsigned m, quintptr w, qintptr l) { messages.append({m, w, l}); });
    }
};

} // namespace SkinTestUtil
