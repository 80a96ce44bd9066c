#pragma once

#include "skin/SkinRect.h"
#include "skin/SkinSurface.h"

#include <QFont>
#include <QWidget>

// The small tooltip window a skinned button shows its balloon text in: a
// frameless, translucent, topmost tool window owned by the button, shown
// without taking activation and transparent to the mouse. The owner places
// it (move + show); SetText sizes it to the text.
class CSkinBalloonTip : public QWidget
{
    Q_OBJECT

public:
    explicit CSkinBalloonTip(QWidget* owner);

    // Stores the text and sizes the window to (text width + 25) x 27.
    void SetText(const QString& text);
    QString Text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Compose();

    QString m_text;
    QFont m_font;
    CSkinSurface m_background;
    SkinRect m_textBox;
    QImage m_composed;
};
