#pragma once

// Shared palette and drawing helpers of the skin artwork.

#include <QColor>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QRect>
#include <QString>

namespace Art {

// ---- palette: a dark blue-grey theme around the viewer's own text colours ----
inline const QColor kAccent(63, 168, 235);       // accent, current time, titles
inline const QColor kAccentLight(134, 204, 250);
inline const QColor kAccentDeep(28, 104, 168);
inline const QColor kLabel(218, 228, 236);       // labels
inline const QColor kDark(34, 37, 39);           // darkest chrome
inline const QColor kText(182, 199, 215);        // secondary text
inline const QColor kTextDim(140, 169, 188);
inline const QColor kMuted(93, 108, 129);
inline const QColor kBase(38, 43, 49);           // window body
inline const QColor kBaseHigh(47, 53, 61);       // raised chrome
inline const QColor kPanel(43, 49, 57);          // panels
inline const QColor kDeep(23, 26, 30);           // wells, video backgrounds
inline const QColor kEdge(17, 19, 22);           // outlines
inline const QColor kGreen(107, 237, 61);
inline const QColor kRed(243, 55, 46);
inline const QColor kAmber(255, 186, 0);

QColor WithAlpha(QColor c, int alpha);
QColor Mix(const QColor& a, const QColor& b, double t); // t = 0 gives a

enum class State { Normal, Over, Press, Disabled, Selected };

// A transparent premultiplied canvas.
QImage Canvas(QSize size);
// A painter with antialiasing on.
void Prepare(QPainter& p);

// Marker border of a stretched picture. The picture is `content` inside a
// one-pixel border of transparent white; stretch markers (opaque black) go in
// the top row over content columns `stretchX` and in the left column beside
// content rows `stretchY`; content markers in the right column and bottom row
// span `textBox`, given as the box the viewer will receive (its coordinates
// are the stretched target's at natural size). A null box leaves them out.
QImage NinePatch(const QImage& content, const QList<int>& stretchX, const QList<int>& stretchY,
                 const QRect& textBox = QRect());
// The three-slice layout: marker beside content row `stretchRow` in the left column.
QImage ThreeSliceV(const QImage& content, int stretchRow);
// The same across: marker above content column `stretchColumn` in the top row.
QImage ThreeSliceH(const QImage& content, int stretchColumn);
// A plain picture that the viewer passes through the nine-patch stretch:
// one blank (transparent white) top row and left column.
QImage PlainInNinePatch(const QImage& content);

// ---- shapes ----
void RoundRect(QPainter& p, const QRectF& r, double radius, const QBrush& fill, const QColor& border = Qt::transparent,
               double borderWidth = 1.0);
QLinearGradient Vertical(const QRectF& r, const QColor& top, const QColor& bottom);
// Face of the small rectangular buttons (toolbars, title bars) for a state.
void ToolFace(QPainter& p, const QRectF& r, State s, double radius = 4.0);
QColor GlyphColor(State s);
// Round transport button face; `primary` gives the accent face.
void RoundFace(QPainter& p, const QRectF& r, State s, bool primary);

// ---- glyphs: drawn centred in `box` ----
void Stroke(QPainter& p, const QPainterPath& path, const QColor& c, double width,
            Qt::PenCapStyle cap = Qt::RoundCap, Qt::PenJoinStyle join = Qt::RoundJoin);
void Fill(QPainter& p, const QPainterPath& path, const QColor& c);
QPainterPath Triangle(const QPointF& a, const QPointF& b, const QPointF& c);
QPainterPath RoundedTriangleRight(const QRectF& box, double radius);
// Text as a path, baseline-centred in `box`.
QPainterPath TextPath(const QString& text, const QFont& font, const QRectF& box, Qt::Alignment align = Qt::AlignCenter);
QFont Font(const QString& family, double pixelSize, int weight, bool italic = false);
QFont UiFont(double pixelSize, int weight = QFont::Bold);      // sans for numerals and labels
QFont BrandFont(double pixelSize, int weight = QFont::Bold);   // condensed sans for names and marks

// Soft drop shadow under a path (a few blurred-looking strokes).
void SoftShadow(QPainter& p, const QPainterPath& path, int spread, int alpha);

} // namespace Art
