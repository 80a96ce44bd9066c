#pragma once

#include "skin/SkinRect.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

// The caption a parent hands to a skinned button or label.
struct SkinTextStyle {
    QString text;
    QColor normalColor;   // normal state
    QColor disabledColor; // disabled state
    QColor overColor;     // mouse over the control
    QColor pressColor;    // pressed and selected
    int fontHeight = 12;  // font height in pixels; also used for vertical centring
    int align = 0;        // 0: left and top of the text box; 1: centred both ways
};

// Face name of the skinned controls' fonts. The main window sets the
// language's face name here; until then a plain sans face is used.
void SetSkinFaceName(const QString& face);
QString SkinFaceName();
// A font whose cell (ascent + descent) is `cellHeight` pixels high, as the
// viewer's font heights are meant; `face` empty = SkinFaceName().
QFont MakeSkinFont(int cellHeight, int weight = QFont::Normal, const QString& face = QString());
// A window font from the language tables: the height under the TEXTSIZE_
// key `sizeKey` ([font] section), the face DEFAULT_UI_FACENAME. While no
// table is loaded (or the key has no positive value) `fallbackHeight` and
// SkinFaceName() stand in. Call after the language has been selected.
QFont MakeLanguageFont(const char* sizeKey, int fallbackHeight, int weight = QFont::Normal);
// The face the language tables give, or SkinFaceName() while none is loaded.
QString LanguageFaceName();

// The alpha text renderer: text drawn white on black, whose coverage becomes
// the alpha of a premultiplied picture of the text's own size, then
// composited into a text box. Several controls share it with small
// differences, given by the parameters.
namespace SkinAlphaText {

// How the rendered text is placed vertically in its box (spare = box height
// minus text height; "half" is spare / 2 truncated):
enum class VerticalRule {
    RoundUpClamp,     // half, plus 1 when spare is odd, never negative (CTButton, speed and volume panels)
    TruncateMinusTwo, // half - 2, may be negative (CRStaticText)
    TruncateClamp,    // half, never negative (balloon)
};
enum class AlphaMode {
    Coverage, // alpha = glyph coverage: ordinary blending
    Zero,     // alpha left at 0: the text colour is added onto the picture (CTButton)
};

// Empty text or an empty measured box gives a null image.
QImage Render(const QString& text, const QFont& font, const QColor& color, AlphaMode mode = AlphaMode::Coverage);
// Top-left corner of a rendered text of `size` in `box`; align 1 centres it
// horizontally (spare rounded up when odd, never negative), 0 keeps it left.
QPoint Place(const SkinRect& box, QSize size, int align, VerticalRule rule);
// Render + Place + composite onto `target`. A `centreHeight` of 0 or more
// stands for the text's height when placing it (a caller that centres by a
// nominal font height).
void Draw(QImage& target, const SkinRect& box, const QString& text, const QFont& font, const QColor& color, int align,
          VerticalRule rule, AlphaMode mode = AlphaMode::Coverage, int centreHeight = -1);

} // namespace SkinAlphaText
