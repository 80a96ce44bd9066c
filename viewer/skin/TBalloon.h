#pragma once

#include "skin/SkinLayeredWindow.h"
#include "skin/SkinRect.h"
#include "skin/SkinSurface.h"

#include <QFont>
#include <QString>

// The balloon: a small tooltip or value label, a layered window titled
// "Balloon" that never takes the focus or the mouse (clicks go through to
// what lies below). Its picture is "bg_info.9.png" stretched to the window,
// with the text centred in black in the picture's content box.
//
// The owner places it (move, show) after setting its text; setting a text
// never moves it. GUI thread only.
class CTBalloon : public CSkinLayeredWindow
{
    Q_OBJECT

public:
    explicit CTBalloon(QWidget* owner);

    // A free text: font from "TEXTSIZE_TBALOON", window (text width + 25) x 27.
    void SetText(const QString& text);
    // A number: font from "TEXTSIZE_TBALOON_NUM", "%d" in a window 26 (one
    // character), 33 (two) or 40 (more) wide and 27 high. A change of width
    // hides the balloon until its owner places it again.
    void SetNumberText(int number);
    // A speed code 0..6: "x0.2" ... "x4.0" in a window 45 x 27, font from
    // "TEXTSIZE_TBALOON_SPD" (hidden on a change of width as above). Other
    // codes keep the text shown.
    void SetSpeedText(int code);

    QString Text() const { return m_text; }
    // The text box of the last composition (the picture's content box).
    SkinRect TextBox() const { return m_textBox; }
    // Width for a number balloon showing `number`.
    static int NumberWidth(int number);

protected:
    void Compose(QImage& picture) override;

private:
    // Builds the font of `sizeKey` unless it is the one held.
    void UseFont(const char* sizeKey, int fallbackHeight);
    // Resizes to `w` x 27 without moving; hides when the width changed.
    void ResizeHidden(int w);

    QString m_text;
    QFont m_font;
    const char* m_fontKey = nullptr;
    CSkinSurface m_background;
    SkinRect m_textBox;
};
