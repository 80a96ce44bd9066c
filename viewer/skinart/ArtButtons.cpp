// Caption, title-bar, transport and toolbar buttons.
#include "skinart/ArtGlyphs.h"
#include "skinart/ArtKit.h"
#include "skinart/SkinArt.h"

#include <utility>

namespace Art {
namespace {

struct StateName {
    const char* suffix;
    State state;
};

// Registers one picture per state: stem + suffix.
template <typename Fn>
void AddStates(SkinArtRegistry& reg, const QString& stem, std::initializer_list<StateName> states, Fn draw)
{
    for (const StateName& s : states) {
        const State state = s.state;
        reg.Add(stem + QLatin1String(s.suffix), [draw, state](const SkinPictureDef& def) { return draw(def, state); });
    }
}

QImage CaptionButton(const SkinPictureDef& def, State s, Glyph g, bool danger)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    const QRectF r(0, 0, def.size.width(), def.size.height());
    if (s == State::Over)
        p.fillRect(r, danger ? QColor(206, 52, 42) : QColor(255, 255, 255, 26));
    else if (s == State::Press)
        p.fillRect(r, danger ? QColor(158, 34, 28) : QColor(0, 0, 0, 70));
    const QColor c = s == State::Normal ? QColor(172, 185, 198) : QColor(255, 255, 255);
    // Window-control glyphs on whole pixels, so that their 1-pixel lines stay sharp.
    Prepare(p);
    const int cx = def.size.width() / 2, cy = def.size.height() / 2;
    p.setBrush(Qt::NoBrush);
    switch (g) {
    case Glyph::Minimize:
        p.fillRect(QRect(cx - 5, cy, 10, 1), c);
        break;
    case Glyph::Maximize:
        p.setPen(QPen(c, 1));
        p.drawRect(QRectF(cx - 4.5, cy - 4.5, 9, 9));
        break;
    case Glyph::Restore: {
        p.setPen(QPen(c, 1));
        p.drawRect(QRectF(cx - 4.5, cy - 2.5, 7, 7));
        QPainterPath back;
        back.moveTo(cx - 2.5, cy - 3);
        back.lineTo(cx - 2.5, cy - 4.5);
        back.lineTo(cx + 4.5, cy - 4.5);
        back.lineTo(cx + 4.5, cy + 2.5);
        back.lineTo(cx + 3, cy + 2.5);
        p.drawPath(back);
        break;
    }
    case Glyph::Close: {
        p.setPen(QPen(c, 1.25, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(cx - 4.5, cy - 4.5), QPointF(cx + 5, cy + 5));
        p.drawLine(QPointF(cx + 5, cy - 4.5), QPointF(cx - 4.5, cy + 5));
        break;
    }
    default:
        DrawGlyph(p, g, QRectF(r.center().x() - 8, r.center().y() - 8, 16, 16), c, 0.9);
        break;
    }
    return img;
}

QImage MenuButton(const SkinPictureDef& def, State s)
{
    const int w = def.size.width(), h = def.size.height();
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QRectF face(1, 2, w - 2, h - 4);
    if (s == State::Over)
        RoundRect(p, face, 4, Vertical(face, QColor(255, 255, 255, 30), QColor(255, 255, 255, 14)),
                  QColor(255, 255, 255, 40));
    else if (s == State::Press) {
        RoundRect(p, face, 4, QColor(0, 0, 0, 70), QColor(0, 0, 0, 90));
        p.fillRect(QRectF(5, h - 4, w - 10, 2), kAccent);
    }
    p.end();
    return NinePatch(img, {w / 2}, {}, QRect(1, 1, w, h));
}

QImage TitleButton(const SkinPictureDef& def, State s, Glyph g, bool overPicture)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QRectF r(0, 0, def.size.width(), def.size.height());
    if (overPicture) // stays readable over the map
        RoundRect(p, r.adjusted(1, 1, -1, -1), 4, QColor(24, 28, 33, 225));
    ToolFace(p, r, s);
    DrawGlyph(p, g, QRectF(r.center().x() - 9, r.center().y() - 9, 18, 18), GlyphColor(s));
    return img;
}

QImage FitButton(const SkinPictureDef& def, State s)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QRectF r(0, 0, def.size.width(), def.size.height());
    const QColor fill = s == State::Press ? WithAlpha(kAccentDeep, 240) : QColor(22, 25, 30, 225);
    const QColor border = s == State::Normal ? QColor(255, 255, 255, 70) : kAccentLight;
    RoundRect(p, r, 2.5, fill, border);
    DrawGlyph(p, Glyph::Fit, r.adjusted(1.5, 1.5, -1.5, -1.5), s == State::Normal ? kLabel : QColor(255, 255, 255), 0.9);
    return img;
}

QImage TransportButton(const SkinPictureDef& def, State s, Glyph g, bool primary)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QRectF r(0, 0, def.size.width(), def.size.height());
    RoundFace(p, r, s, primary);
    const bool small = def.size.width() < 70;
    const double side = def.size.width() * (g == Glyph::Back10 || g == Glyph::Forward10 ? 0.52 : small ? 0.46 : 0.4);
    const QRectF box(r.center().x() - side / 2, r.center().y() - side / 2 - 1, side, side);
    QColor c;
    if (primary)
        c = s == State::Disabled ? QColor(190, 198, 206, 120) : QColor(255, 255, 255);
    else
        c = s == State::Normal ? QColor(226, 234, 241)
            : s == State::Over ? QColor(255, 255, 255)
            : s == State::Press ? kAccentLight
                                : QColor(160, 168, 176, 110);
    if (s != State::Disabled)
        DrawGlyph(p, g, box.translated(0, 1), QColor(0, 0, 0, 90));
    DrawGlyph(p, g, box.translated(s == State::Press ? 0 : 0, s == State::Press ? 1 : 0), c);
    return img;
}

QImage ToolButton(const SkinPictureDef& def, State s, Glyph g)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QRectF r(0, 0, def.size.width(), def.size.height());
    ToolFace(p, r, s);
    DrawGlyph(p, g, QRectF(r.center().x() - 8, r.center().y() - 8, 16, 16), GlyphColor(s));
    return img;
}

// The volume button leaves its right half to the level icon drawn at (18, 4).
QImage VolumeButton(const SkinPictureDef& def, State s)
{
    QImage img = Canvas(def.size);
    QPainter p(&img);
    Prepare(p);
    const QRectF r(0, 0, def.size.width(), def.size.height());
    ToolFace(p, r, s);
    DrawGlyph(p, Glyph::Speaker, QRectF(3, 4, 16, 16), GlyphColor(s));
    return img;
}

} // namespace
} // namespace Art

void AddButtonArt(SkinArtRegistry& reg)
{
    using namespace Art;
    const std::initializer_list<StateName> nor3 = {{"_nor.png", State::Normal}, {"_over.png", State::Over},
                                                   {"_press.png", State::Press}};
    const std::initializer_list<StateName> nor4 = {{"_nor.png", State::Normal}, {"_over.png", State::Over},
                                                   {"_press.png", State::Press}, {"_dis.png", State::Disabled}};
    const std::initializer_list<StateName> normal3 = {{"_normal.png", State::Normal}, {"_over.png", State::Over},
                                                      {"_press.png", State::Press}};
    const std::initializer_list<StateName> normal4 = {{"_normal.png", State::Normal}, {"_over.png", State::Over},
                                                      {"_press.png", State::Press}, {"_dis.png", State::Disabled}};
    const std::initializer_list<StateName> dim4 = {{"_normal.png", State::Normal}, {"_over.png", State::Over},
                                                   {"_press.png", State::Press}, {"_dim.png", State::Disabled}};

    auto caption = [&](const QString& stem, std::initializer_list<StateName> states, Glyph g, bool danger) {
        AddStates(reg, stem, states, [g, danger](const SkinPictureDef& s, State st) { return CaptionButton(s, st, g, danger); });
    };
    caption("btn_close", nor3, Glyph::Close, true);
    caption("btn_minimum", nor3, Glyph::Minimize, false);
    caption("btn_minimum", {{"_nor_2.png", State::Normal}, {"_over_2.png", State::Over}, {"_press_2.png", State::Press}},
            Glyph::Restore, false);
    caption("btn_full", nor3, Glyph::Maximize, false);
    caption("btn_reduction", nor3, Glyph::Reduce, false);

    AddStates(reg, "btn_menu", nor4, MenuButton);

    auto title = [&](const QString& stem, std::initializer_list<StateName> states, Glyph g, bool overPicture = false) {
        AddStates(reg, stem, states,
                  [g, overPicture](const SkinPictureDef& s, State st) { return TitleButton(s, st, g, overPicture); });
    };
    title("btn_folding_up", nor4, Glyph::FoldUp);
    title("btn_folding_down", nor4, Glyph::FoldDown);
    title("btn_expand", normal4, Glyph::Expand);
    title("btn_change", normal4, Glyph::Swap);
    title("btn_map_movie", nor3, Glyph::MapSearch, true);
    AddStates(reg, "btn_fitarea", normal3, FitButton);

    auto transport = [&](const QString& stem, Glyph g, bool primary) {
        AddStates(reg, stem, dim4,
                  [g, primary](const SkinPictureDef& s, State st) { return TransportButton(s, st, g, primary); });
    };
    transport("btn_pre", Glyph::Previous, false);
    transport("btn_sec1", Glyph::Back10, false);
    transport("btn_play", Glyph::Play, true);
    transport("btn_pause", Glyph::Pause, true);
    transport("btn_stop", Glyph::Stop, false);
    transport("btn_sec2", Glyph::Forward10, false);
    transport("btn_next", Glyph::Next, false);

    auto tool = [&](const QString& stem, std::initializer_list<StateName> states, Glyph g) {
        AddStates(reg, stem, states, [g](const SkinPictureDef& s, State st) { return ToolButton(s, st, g); });
    };
    tool("btn_connect", {{"_off_normal.png", State::Normal}, {"_on_normal.png", State::Selected},
                         {"_over.png", State::Over}, {"_press.png", State::Press}, {"_dis.png", State::Disabled}},
         Glyph::Repeat);
    tool("btn_change", {{"_normal_2.png", State::Normal}, {"_over_2.png", State::Over}, {"_press_2.png", State::Press},
                        {"_dis_2.png", State::Disabled}},
         Glyph::Swap);
    tool("btn_size", normal4, Glyph::Zoom);
    tool("btn_setting", normal4, Glyph::Speed);
    tool("btn_save", normal4, Glyph::Save);
    AddStates(reg, "btn_volume", normal4, VolumeButton);
}
