// Play list rows and markers, category tabs, scroll bar, menu marks.
#include "skinart/ArtGlyphs.h"
#include "skinart/ArtKit.h"
#include "skinart/SkinArt.h"

#include <utility>

namespace Art {
namespace {

enum class Row { Even, Odd, Focused, Pressed };

QImage ListRow(const SkinPictureDef& def, Row row)
{
    const int w = def.size.width(), h = def.size.height();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    const QRectF r(0, 0, w, h);
    switch (row) {
    case Row::Even: p.fillRect(r, QColor(31, 35, 40)); break;
    case Row::Odd: p.fillRect(r, QColor(36, 40, 46)); break;
    case Row::Focused: p.fillRect(r, Vertical(r, QColor(56, 98, 136), QColor(45, 81, 114))); break;
    case Row::Pressed: p.fillRect(r, Vertical(r, QColor(38, 122, 192), QColor(32, 104, 166))); break;
    }
    p.fillRect(QRectF(0, h - 1, w, 1), QColor(0, 0, 0, 70));
    if (row == Row::Focused || row == Row::Pressed)
        p.fillRect(QRectF(0, 0, w, 1), QColor(255, 255, 255, 30));
    // Column divider at the right edge.
    p.fillRect(QRectF(w - 1, 0, 1, h), QColor(0, 0, 0, 80));
    p.end();
    // The stretch row lets the hint panel of an empty list stretch the row
    // picture over its whole height.
    return NinePatch(img, {w / 2}, {h / 2}, QRect(22, 1, w - 26, h - 1));
}

QImage NowPlaying(const SkinPictureDef& def)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    Fill(p, Triangle(QPointF(0, 0), QPointF(4, 3.5), QPointF(0, 7)), kAccentLight);
    p.end();
    return PlainInNinePatch(img);
}

QImage Link(const SkinPictureDef& def, bool front)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QColor c(112, 132, 156);
    QPainterPath path;
    if (front) {
        path.moveTo(7, 10.5);
        path.lineTo(3.5, 10.5);
        path.lineTo(3.5, 20);
    } else {
        path.moveTo(3.5, 0);
        path.lineTo(3.5, 9.5);
        path.lineTo(7, 9.5);
    }
    Stroke(p, path, c, 1.2, Qt::FlatCap, Qt::MiterJoin);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(3.5, front ? 10.5 : 9.5), 2, 2);
    p.end();
    return PlainInNinePatch(img);
}

QImage Tab(const SkinPictureDef& def, State s, bool outer)
{
    const int w = def.size.width(), h = def.size.height();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    QColor top, bottom;
    switch (s) {
    case State::Normal: top = QColor(50, 57, 66); bottom = QColor(40, 45, 52); break;
    case State::Over: top = QColor(63, 72, 83); bottom = QColor(50, 57, 66); break;
    case State::Press: top = QColor(30, 34, 39); bottom = QColor(37, 42, 48); break;
    case State::Selected: top = QColor(38, 44, 51); bottom = QColor(33, 38, 44); break;
    case State::Disabled: top = QColor(40, 44, 50); bottom = QColor(36, 40, 45); break;
    }
    const QRectF r(0, 0, w, h);
    QPainterPath shape;
    if (outer)
        shape.addRoundedRect(r.adjusted(0, 0, 0, 4), 4, 4); // rounded top corners only
    else
        shape.addRect(r);
    p.setClipRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(Vertical(r, top, bottom));
    p.drawPath(shape);
    p.setClipping(false);
    if (s != State::Press)
        p.fillRect(QRectF(outer ? 3 : 0, 0, w - (outer ? 6 : 0), 1), QColor(255, 255, 255, s == State::Disabled ? 8 : 20));
    p.fillRect(QRectF(0, h - 1, w, 1), kEdge);
    p.fillRect(QRectF(w - 1, outer ? 3 : 0, 1, h), QColor(0, 0, 0, 110));
    if (s == State::Selected) {
        p.fillRect(QRectF(0, h - 3, w, 3), kAccent);
        QLinearGradient glow(QPointF(0, h - 12), QPointF(0, h - 3));
        glow.setColorAt(0, WithAlpha(kAccent, 0));
        glow.setColorAt(1, WithAlpha(kAccent, 50));
        p.fillRect(QRectF(0, h - 12, w, 9), glow);
    }
    p.end();
    return NinePatch(img, {w / 2}, {}, QRect(1, 1, w, h - 2));
}

QImage SubTab(const SkinPictureDef& def, State s, bool second)
{
    const int w = def.size.width(), h = def.size.height();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    const QRectF r(0, 0, w, h);
    QColor fill;
    switch (s) {
    case State::Normal: fill = QColor(34, 38, 44); break;
    case State::Over: fill = QColor(45, 52, 60); break;
    case State::Press: fill = QColor(26, 29, 34); break;
    case State::Selected: fill = QColor(34, 38, 44); break;
    case State::Disabled: fill = QColor(31, 34, 39); break;
    }
    p.fillRect(r, fill);
    p.fillRect(QRectF(0, h - 1, w, 1), kEdge);
    if (second)
        p.fillRect(QRectF(0, 3, 1, h - 6), QColor(255, 255, 255, 16));
    p.fillRect(QRectF(w - 1, 3, 1, h - 6), QColor(0, 0, 0, 90));
    p.end();
    return NinePatch(img, {w / 2}, {}, QRect(1, 1, w, h - 1));
}

QImage ScrollTrack(const SkinPictureDef& def)
{
    const int w = def.size.width(), h = def.size.height();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    p.fillRect(QRectF(0, 0, w, h), QColor(26, 29, 34));
    p.fillRect(QRectF(0, 0, 1, h), kEdge);
    p.fillRect(QRectF(6, 2, 3, h - 4), QColor(0, 0, 0, 60));
    p.end();
    return NinePatch(img, {}, {h / 2});
}

enum class ArrowDirection { Up, Down, Left, Right };

QImage ScrollArrow(const SkinPictureDef& def, State s, ArrowDirection direction)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QRectF r(0, 0, def.size.width(), def.size.height());
    if (s == State::Over)
        RoundRect(p, r.adjusted(0.5, 0.5, -0.5, -0.5), 2, QColor(255, 255, 255, 24));
    else if (s == State::Press)
        RoundRect(p, r.adjusted(0.5, 0.5, -0.5, -0.5), 2, QColor(0, 0, 0, 80));
    const QColor c = s == State::Normal ? QColor(150, 166, 182)
                     : s == State::Over ? QColor(255, 255, 255)
                     : s == State::Press ? kAccentLight
                                         : QColor(150, 166, 182, 60);
    // The chevron's three points, pointing the arrow's way.
    static const QPointF kChevrons[4][3] = {
        {{3.5, 8}, {6.5, 5}, {9.5, 8}},   // up
        {{3.5, 5}, {6.5, 8}, {9.5, 5}},   // down
        {{8, 3.5}, {5, 6.5}, {8, 9.5}},   // left
        {{5, 3.5}, {8, 6.5}, {5, 9.5}},   // right
    };
    const QPointF* pts = kChevrons[int(direction)];
    QPainterPath chevron;
    chevron.moveTo(pts[0]);
    chevron.lineTo(pts[1]);
    chevron.lineTo(pts[2]);
    Stroke(p, chevron, c, 1.6);
    return img;
}

// The thumb's two gradient colours for a state.
std::pair<QColor, QColor> ThumbColours(State s)
{
    switch (s) {
    case State::Over: return {QColor(122, 136, 152), QColor(100, 113, 128)};
    case State::Press: return {kAccentLight, kAccent};
    default: return {QColor(92, 104, 118), QColor(76, 87, 100)};
    }
}

QImage ScrollThumb(const SkinPictureDef& def, State s)
{
    const int w = def.size.width(), h = def.size.height();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const auto [a, b] = ThumbColours(s);
    const QRectF pill(1.5, 0.5, w - 3, h - 1);
    QLinearGradient g(pill.topLeft(), pill.topRight());
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    RoundRect(p, pill, 4, g, QColor(14, 16, 19, 200));
    p.end();
    return ThreeSliceV(img, 7);
}

QImage ScrollTrackHor(const SkinPictureDef& def)
{
    const int w = def.size.width(), h = def.size.height();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    p.fillRect(QRectF(0, 0, w, h), QColor(26, 29, 34));
    p.fillRect(QRectF(0, 0, w, 1), kEdge);
    p.fillRect(QRectF(2, 6, w - 4, 3), QColor(0, 0, 0, 60));
    p.end();
    return NinePatch(img, {w / 2}, {});
}

QImage ScrollThumbHor(const SkinPictureDef& def, State s)
{
    const int w = def.size.width(), h = def.size.height();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const auto [a, b] = ThumbColours(s);
    const QRectF pill(0.5, 1.5, w - 1, h - 3);
    RoundRect(p, pill, 4, Vertical(pill, a, b), QColor(14, 16, 19, 200));
    p.end();
    return ThreeSliceH(img, 7);
}

QImage SubMenuArrow(const SkinPictureDef& def, bool over)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    Fill(p, Triangle(QPointF(0.5, 0.5), QPointF(5, 4.5), QPointF(0.5, 8.5)), over ? QColor(255, 255, 255) : QColor(84, 94, 106));
    return img;
}

QImage CheckMark(const SkinPictureDef& def, bool over)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    DrawGlyph(p, Glyph::Check, QRectF(0, 0, 16, 16), over ? QColor(255, 255, 255) : kAccentDeep, 0.9);
    return img;
}
} // namespace
} // namespace Art

void AddListArt(SkinArtRegistry& reg)
{
    using namespace Art;
    reg.Add("bg_list01.9.png", [](const SkinPictureDef& s) { return ListRow(s, Row::Even); });
    reg.Add("bg_list02.9.png", [](const SkinPictureDef& s) { return ListRow(s, Row::Odd); });
    reg.Add("bg_list_over.9.png", [](const SkinPictureDef& s) { return ListRow(s, Row::Focused); });
    reg.Add("bg_list_press.9.png", [](const SkinPictureDef& s) { return ListRow(s, Row::Pressed); });
    reg.Add("ic_nowplaying.png", NowPlaying);
    reg.Add("ic_front_link.png", [](const SkinPictureDef& s) { return Link(s, true); });
    reg.Add("ic_rear_link.png", [](const SkinPictureDef& s) { return Link(s, false); });

    const std::pair<const char*, State> tabStates[] = {{"_normal.9.png", State::Normal}, {"_over.9.png", State::Over},
                                                       {"_press.9.png", State::Press}, {"_dis.9.png", State::Disabled},
                                                       {"_selected.9.png", State::Selected}};
    for (const auto& [suffix, state] : tabStates) {
        const State st = state;
        reg.Add(QStringLiteral("list_menu01") + QLatin1String(suffix), [st](const SkinPictureDef& s) { return Tab(s, st, true); });
        reg.Add(QStringLiteral("list_menu02") + QLatin1String(suffix), [st](const SkinPictureDef& s) { return Tab(s, st, false); });
        if (st == State::Selected)
            continue;
        reg.Add(QStringLiteral("list_sub_menu01") + QLatin1String(suffix), [st](const SkinPictureDef& s) { return SubTab(s, st, false); });
        reg.Add(QStringLiteral("list_sub_menu02") + QLatin1String(suffix), [st](const SkinPictureDef& s) { return SubTab(s, st, true); });
    }

    reg.Add("scroll_bg.9.png", ScrollTrack);
    const std::pair<const char*, State> arrowStates[] = {{"_normal.png", State::Normal}, {"_over.png", State::Over},
                                                         {"_press.png", State::Press}, {"_dim.png", State::Disabled}};
    for (const auto& [suffix, state] : arrowStates) {
        const State st = state;
        reg.Add(QStringLiteral("scroll_btn_up") + QLatin1String(suffix), [st](const SkinPictureDef& s) { return ScrollArrow(s, st, ArrowDirection::Up); });
        reg.Add(QStringLiteral("scroll_btn_down") + QLatin1String(suffix), [st](const SkinPictureDef& s) { return ScrollArrow(s, st, ArrowDirection::Down); });
    }
    reg.Add("scroll_handler_normal.9.png", [](const SkinPictureDef& s) { return ScrollThumb(s, State::Normal); });
    reg.Add("scroll_handler_over.9.png", [](const SkinPictureDef& s) { return ScrollThumb(s, State::Over); });
    reg.Add("scroll_handler_press.9.png", [](const SkinPictureDef& s) { return ScrollThumb(s, State::Press); });
    reg.Add("scroll_bg_hor.9.png", ScrollTrackHor);
    for (const auto& [suffix, state] : arrowStates) {
        const State st = state;
        reg.Add(QStringLiteral("scroll_btn_left") + QLatin1String(suffix), [st](const SkinPictureDef& s) { return ScrollArrow(s, st, ArrowDirection::Left); });
        reg.Add(QStringLiteral("scroll_btn_right") + QLatin1String(suffix), [st](const SkinPictureDef& s) { return ScrollArrow(s, st, ArrowDirection::Right); });
    }
    reg.Add("scroll_handler_hor_normal.9.png", [](const SkinPictureDef& s) { return ScrollThumbHor(s, State::Normal); });
    reg.Add("scroll_handler_hor_over.9.png", [](const SkinPictureDef& s) { return ScrollThumbHor(s, State::Over); });
    reg.Add("scroll_handler_hor_press.9.png", [](const SkinPictureDef& s) { return ScrollThumbHor(s, State::Press); });
    reg.Add("ic_tri_right_normal.png", [](const SkinPictureDef& s) { return SubMenuArrow(s, false); });
    reg.Add("ic_tri_right_over.png", [](const SkinPictureDef& s) { return SubMenuArrow(s, true); });
    reg.Add("ic_checkbox_normal.png", [](const SkinPictureDef& s) { return CheckMark(s, false); });
    reg.Add("ic_checkbox_over.png", [](const SkinPictureDef& s) { return CheckMark(s, true); });
}
