#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <memory>

class QPainter;

// One published picture of a video target, as a window pulls it to paint:
// the latest decoded frame (an immutable image shared between the streaming
// thread, the engine and every painter that holds it) together with where
// the engine wants it drawn.
//
// A value: copying it copies the rectangle and shares the image. Holding it
// keeps the image (and the decoder buffer behind it) alive; let it go after
// painting.
struct CVideoFrame
{
    // The picture; null when the target shows no video (nothing bound to it,
    // nothing decoded yet, or the recording closed).
    std::shared_ptr<const QImage> image;
    // The picture's size as decoded. The image may be smaller when the
    // pipeline scaled it for its destination; proportions are taken from this.
    QSize sourceSize;
    // Destination of the whole picture in the target's client coordinates;
    // may reach beyond the target (an enlarged picture) or lie inside it.
    QRect destination;
    // Letter-boxed (true: proportions kept, bars black) or stretched.
    bool keepAspect = true;
    // The serial of the open, seek or rate change that produced the picture;
    // 0 before any.
    uint64_t serial = 0;
    // Stream time of the picture in nanoseconds; -1 when unknown.
    int64_t streamTimeNs = -1;
    // Pictures presented by the renderer feeding the target since it was made.
    uint64_t frameCount = 0;

    bool HasPicture() const { return image && !image->isNull(); }
};

// What the picture shown in a target is: its serial, stream time and the
// renderer's running count (all from CVideoFrame).
struct CShownFrameInfo
{
    uint64_t serial = 0;
    int64_t streamTimeNs = -1;
    uint64_t frameCount = 0;
};

// Where the picture itself lands inside `frame.destination`: the largest
// rectangle with the source's proportions, centred, when keepAspect; the whole
// destination otherwise.
QRect VideoPictureRect(const CVideoFrame& frame);

// Paints `frame` with `painter` in the target's client coordinates: the
// letter-box bars black, the picture smoothly scaled into its rectangle.
// Paints nothing and returns false without a picture or with an empty
// destination; the caller's own painting (its skin) then stays as it is.
// Any thread that owns the painter.
bool PaintVideoFrame(QPainter& painter, const CVideoFrame& frame);
