#pragma once

#include <QImage>
#include <QList>

class QPainter;

// The application icon: the product's lens mark on a dark rounded tile, with
// the camera's red recording light. Drawn at build time into the icon theme's
// sizes, a scalable SVG and the viewer's embedded window icon.

// The sizes drawn as PNG (pixels, square), smallest first.
QList<int> AppIconSizes();

// Paints the icon into the square (0, 0, size, size) of `p`. Small sizes
// (24 px and below) get a simpler drawing with thicker parts, so the mark
// still reads at 16 px. Uses filled shapes and plain strokes only, so that
// a vector device (the SVG generator) records the same picture.
void PaintAppIcon(QPainter& p, int size);

// The icon at `size` pixels, ARGB32 premultiplied, transparent around the tile.
QImage AppIconImage(int size);
