#include "engine/VideoFrame.h"

#include "engine/VideoGeometry.h"

#include <QPainter>
#include <QRegion>

QRect VideoPictureRect(const CVideoFrame& frame)
{
    if (!frame.keepAspect)
        return frame.destination;
    const QSize source = frame.sourceSize.isValid() ? frame.sourceSize : (frame.image ? frame.image->size() : QSize());
    return VideoGeometry::LetterBox(source, frame.destination);
}

bool PaintVideoFrame(QPainter& painter, const CVideoFrame& frame)
{
    if (!frame.HasPicture() || frame.destination.isEmpty())
        return false;
    const QRect picture = VideoPictureRect(frame);
    if (picture != frame.destination) {
        const QRegion bars = QRegion(frame.destination).subtracted(QRegion(picture));
        for (const QRect& r : bars)
            painter.fillRect(r, Qt::black);
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(picture, *frame.image);
    painter.restore();
    return true;
}
