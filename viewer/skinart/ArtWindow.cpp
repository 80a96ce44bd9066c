// Window background, panels, title bars, text fields and popup backgrounds.
#include "skinart/ArtKit.h"
#include "skinart/SkinArt.h"

namespace Art {
namespace {

QImage MainBackground(const SkinPictureDef& def)
{
    // Content 400 x 315: a 72-row header, the stretch row 72, a 242-row
    // control deck; the right column starts 323 columns from the right edge.
    const int w = def.size.width(), h = def.size.height();
    const int column = w - 323;
    const int deckTop = h - 242;
    const int statusTop = h - 16;
    QImage img = Canvas(def.size);
    QPainter p(&img);
    const QRectF caption(0, 0, w, 36);
    p.fillRect(caption, Vertical(caption, QColor(48, 55, 64), QColor(38, 43, 50)));
    p.fillRect(QRectF(0, 36, w, 35), Vertical(QRectF(0, 36, w, 35), QColor(36, 41, 47), QColor(32, 36, 41)));
    p.fillRect(QRectF(0, 35, w, 1), QColor(24, 27, 31));
    p.fillRect(QRectF(0, 36, w, 1), QColor(255, 255, 255, 10));
    p.fillRect(QRectF(0, 70, w, 1), kEdge);
    // Body behind the pictures and the right column.
    p.fillRect(QRectF(0, 71, w, h - 71), QColor(29, 33, 38));
    p.fillRect(QRectF(column, 71, w - column, h - 71), QColor(27, 31, 36));
    // Control deck under the left column.
    const QRectF deck(0, deckTop, column, statusTop - deckTop);
    p.fillRect(deck, Vertical(deck, QColor(40, 45, 52), QColor(31, 35, 40)));
    p.fillRect(QRectF(0, deckTop + 7, column, 1), QColor(255, 255, 255, 12));
    p.fillRect(QRectF(column - 1, deckTop, 1, statusTop - deckTop), kEdge);
    // Status strip along the bottom.
    p.fillRect(QRectF(0, statusTop, w, h - statusTop), QColor(23, 26, 30));
    p.fillRect(QRectF(0, statusTop, w, 1), kEdge);
    p.fillRect(QRectF(0, statusTop + 1, w, 1), QColor(255, 255, 255, 8));
    // Outline of the borderless window.
    p.setPen(QPen(QColor(72, 82, 94), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
    p.end();
    return NinePatch(img, {40}, {72});
}

// Raised panel of the lower deck.
void DeckPanel(QPainter& p, const QRectF& r)
{
    Prepare(p);
    RoundRect(p, r.adjusted(0, 0, 0, 0), 6, Vertical(r, QColor(48, 55, 63), QColor(38, 43, 49)), kEdge);
    p.setPen(QPen(QColor(255, 255, 255, 18), 1));
    p.drawLine(QPointF(r.left() + 6, r.top() + 1.5), QPointF(r.right() - 6, r.top() + 1.5));
}

// Recessed well.
void Well(QPainter& p, const QRectF& r, double radius = 4)
{
    RoundRect(p, r, radius, Vertical(r, QColor(19, 22, 26), QColor(24, 27, 32)), QColor(12, 14, 16));
    p.setPen(QPen(QColor(255, 255, 255, 14), 1));
    p.drawLine(QPointF(r.left() + radius, r.bottom() + 0.5), QPointF(r.right() - radius, r.bottom() + 0.5));
}

QImage GpsPanel(const SkinPictureDef& def)
{
    const int w = def.size.width(), h = def.size.height();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    DeckPanel(p, QRectF(0, 0, w, h));
    // Speed read-out, gauge groove, axis values, graph.
    Well(p, QRectF(13, 19, 80, 52));
    Well(p, QRectF(4, 77, 140, 14), 3);
    p.fillRect(QRectF(149, 10, 1, h - 20), kEdge);
    p.fillRect(QRectF(150, 10, 1, h - 20), QColor(255, 255, 255, 12));
    // Axis values X, Y, Z, each on a pill with a thin colour mark at its foot.
    const QColor axis[3] = {kGreen, kRed, QColor(83, 187, 253)};
    for (int i = 0; i < 3; ++i) {
        const QRectF pill(154, 10 + 28 * i, 54, 19);
        RoundRect(p, pill, 9.5, QColor(0, 0, 0, 60), QColor(255, 255, 255, 12));
        p.fillRect(QRectF(pill.left() + 14, pill.bottom() - 1, pill.width() - 28, 1), WithAlpha(axis[i], 150));
    }
    Well(p, QRectF(211, 6, w - 218, 80), 3);
    p.end();
    return NinePatch(img, {330}, {});
}

QImage CarInfoPanel(const SkinPictureDef& def)
{
    const int w = def.size.width(), h = def.size.height();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    DeckPanel(p, QRectF(0, 0, w, h));
    p.fillRect(QRectF(8, 30, w - 16, 1), kEdge);
    p.fillRect(QRectF(8, 31, w - 16, 1), QColor(255, 255, 255, 12));
    p.end();
    return NinePatch(img, {140}, {});
}

QImage TitleBar(const SkinPictureDef& def)
{
    const int w = def.size.width(), h = def.size.height();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    const QRectF r(0, 0, w, h);
    p.fillRect(r, Vertical(r, QColor(55, 62, 72), QColor(42, 48, 55)));
    p.fillRect(QRectF(0, 0, w, 1), QColor(255, 255, 255, 24));
    p.fillRect(QRectF(0, h - 1, w, 1), kEdge);
    p.fillRect(QRectF(0, 9, 3, h - 18), kAccent);
    p.end();
    return NinePatch(img, {60}, {});
}

QImage TextField(const SkinPictureDef& def, const QRect& box)
{
    const int w = def.size.width(), h = def.size.height();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    Well(p, QRectF(0, 0, w, h - 1), 3);
    p.end();
    return NinePatch(img, {w / 2}, {h / 2}, box);
}

QImage ContentsArea(const SkinPictureDef& def)
{
    const int w = def.size.width(), h = def.size.height();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    RoundRect(p, QRectF(0, 0, w, h), 4, QColor(255, 255, 255, 9), QColor(255, 255, 255, 20));
    p.end();
    return NinePatch(img, {w / 2}, {h / 2}, QRect(4, 4, w - 6, h - 6));
}

// Popup body; with a caret pointing down at the bottom centre when `caret`.
QImage Popup(const SkinPictureDef& def, bool caret)
{
    const int w = def.size.width(), h = def.size.height();
    const int caretH = caret ? 7 : 0;
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QRectF body(0.5, 0.5, w - 1, h - 1 - caretH);
    QPainterPath shape;
    shape.addRoundedRect(body, 5, 5);
    if (caret) {
        QPainterPath tip;
        const double cx = w / 2.0;
        tip.moveTo(cx - 7, body.bottom() - 1);
        tip.lineTo(cx, h - 0.5);
        tip.lineTo(cx + 7, body.bottom() - 1);
        tip.closeSubpath();
        shape = shape.united(tip);
    }
    p.setPen(QPen(QColor(12, 14, 17), 1));
    p.setBrush(Vertical(QRectF(0, 0, w, h), QColor(56, 64, 74, 250), QColor(40, 46, 53, 250)));
    p.drawPath(shape);
    p.setPen(QPen(QColor(255, 255, 255, 26), 1));
    p.drawLine(QPointF(5, 1.5), QPointF(w - 5, 1.5));
    p.end();
    if (caret) // two stretch columns keep the caret in the middle
        return NinePatch(img, {8, w - 9}, {h / 2 - 4}, QRect(4, 4, w - 6, h - 4 - caretH - 3));
    return NinePatch(img, {w / 2}, {h / 2}, QRect(4, 4, w - 6, h - 6));
}

// Body of the drop-down menus: a light sheet, since their owners give them
// black entry texts (white on the blue hover and held pictures).
QImage MenuBody(const SkinPictureDef& def)
{
    const int w = def.size.width(), h = def.size.height();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QRectF body(0.5, 0.5, w - 1, h - 1);
    QPainterPath shape;
    shape.addRoundedRect(body, 4, 4);
    p.setPen(QPen(QColor(96, 106, 118), 1));
    p.setBrush(Vertical(QRectF(0, 0, w, h), QColor(248, 249, 251), QColor(234, 237, 241)));
    p.drawPath(shape);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1));
    p.drawLine(QPointF(4, 1.5), QPointF(w - 4, 1.5));
    p.end();
    return NinePatch(img, {w / 2}, {h / 2}, QRect(4, 4, w - 6, h - 6));
}

QImage RowHighlight(const SkinPictureDef& def, bool pressed)
{
    const int w = def.size.width(), h = def.size.height();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QRectF r(0, 0, w, h);
    if (pressed)
        RoundRect(p, r, 3, Vertical(r, QColor(28, 96, 152), QColor(36, 116, 180)), QColor(20, 70, 110));
    else
        RoundRect(p, r, 3, Vertical(r, QColor(72, 178, 242), QColor(44, 140, 214)), QColor(36, 118, 182));
    p.end();
    return NinePatch(img, {w / 2}, {}, QRect(1, 1, w, h));
}

QImage Separator(const SkinPictureDef& def)
{
    const int w = def.size.width();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    // Drawn on the light menu body.
    p.fillRect(QRectF(0, 0, w, 1), QColor(96, 106, 118, 110));
    p.fillRect(QRectF(0, 1, w, 1), QColor(255, 255, 255, 230));
    p.end();
    return NinePatch(img, {w / 2}, {});
}

QImage Balloon(const SkinPictureDef& def)
{
    const int w = def.size.width(), h = def.size.height();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    QPainterPath shape;
    const QRectF body(0.5, 4.5, w - 1, h - 5);
    shape.addRoundedRect(body, 4, 4);
    QPainterPath tip;
    tip.moveTo(8, 5);
    tip.lineTo(12.5, 0.5);
    tip.lineTo(17, 5);
    tip.closeSubpath();
    shape = shape.united(tip);
    p.setPen(QPen(QColor(96, 112, 128), 1));
    p.setBrush(Vertical(QRectF(0, 0, w, h), QColor(246, 249, 252), QColor(222, 230, 238)));
    p.drawPath(shape);
    p.end();
    return NinePatch(img, {24}, {}, QRect(2, 6, w - 2, h - 7));
}

QImage FullTitle(const SkinPictureDef& def)
{
    const int w = def.size.width(), h = def.size.height();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    const QRectF r(0, 0, w, h);
    p.fillRect(r, Vertical(r, QColor(30, 34, 40, 238), QColor(20, 23, 27, 226)));
    p.fillRect(QRectF(0, h - 2, w, 1), QColor(255, 255, 255, 16));
    p.fillRect(QRectF(0, h - 1, w, 1), QColor(0, 0, 0, 200));
    p.end();
    return NinePatch(img, {w / 2}, {});
}

QImage FullPanel(const SkinPictureDef& def)
{
    const int w = def.size.width(), h = def.size.height();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QRectF r(0.5, 0.5, w - 1, h - 1);
    RoundRect(p, r, 12, Vertical(r, QColor(36, 41, 48, 232), QColor(20, 23, 27, 232)), QColor(255, 255, 255, 34));
    p.setPen(QPen(QColor(255, 255, 255, 20), 1));
    p.drawLine(QPointF(12, 2), QPointF(w - 12, 2));
    p.end();
    return NinePatch(img, {w / 2}, {h / 2});
}

QImage PanelButton(const SkinPictureDef& def)
{
    const int w = def.size.width(), h = def.size.height();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QRectF r(0, 0, w, h);
    RoundRect(p, r, 4, Vertical(r, QColor(76, 87, 100), QColor(54, 62, 72)), QColor(18, 21, 25));
    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    p.drawLine(QPointF(4, 1.5), QPointF(w - 4, 1.5));
    p.end();
    return NinePatch(img, {w / 2}, {}, QRect(1, 1, w, h));
}
} // namespace
} // namespace Art

void AddWindowArt(SkinArtRegistry& reg)
{
    using namespace Art;
    reg.Add("bg.9.png", MainBackground);
    reg.Add("gps_bg.9.png", GpsPanel);
    reg.Add("carinfo_bg.9.png", CarInfoPanel);
    reg.Add("bg_title.9.png", TitleBar);
    reg.Add("bg_title_right.9.png", TitleBar);
    reg.Add("bg_text.9.png", [](const SkinPictureDef& s) { return TextField(s, QRect(7, 3, 14, 19)); });
    reg.Add("bg_text_small.9.png", [](const SkinPictureDef& s) { return TextField(s, QRect(2, 1, 13, 14)); });
    reg.Add("contents_area.9.png", ContentsArea);
    reg.Add("play_setting_bg.9.png", [](const SkinPictureDef& s) { return Popup(s, true); });
    reg.Add("play_setting_bg2.9.png", [](const SkinPictureDef& s) { return Popup(s, true); });
    reg.Add("bg_rightclick.9.png", MenuBody);
    reg.Add("list_bg_over.9.png", [](const SkinPictureDef& s) { return RowHighlight(s, false); });
    reg.Add("list_bg_press.9.png", [](const SkinPictureDef& s) { return RowHighlight(s, true); });
    reg.Add("line.9.png", Separator);
    reg.Add("bg_info.9.png", Balloon);
    reg.Add("full_title_bg.9.png", FullTitle);
    reg.Add("full_bg.9.png", FullPanel);
    reg.Add("setting_btn_nor.9.png", PanelButton);
}
