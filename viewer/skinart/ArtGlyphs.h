#pragma once

// The icon set of the skin: simple vector glyphs designed on a 24 x 24 grid
// and scaled into any square box.

#include <QColor>
#include <QPainter>
#include <QRectF>

namespace Art {

enum class Glyph {
    Play, Pause, Stop, Previous, Next, Back10, Forward10,
    Close, Minimize, Maximize, Restore, Reduce,
    FoldUp, FoldDown, Expand, Swap, MapSearch, Fit,
    Repeat, Zoom, Speed, Save, Speaker, Check, Camera,
};

// Draws the glyph scaled to the largest centred square in `box`. `weight`
// scales the stroke width (1 = the set's regular stroke).
void DrawGlyph(QPainter& p, Glyph g, const QRectF& box, const QColor& color, double weight = 1.0);

} // namespace Art
