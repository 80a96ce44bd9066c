#pragma once

#include "skin/SkinRect.h"
#include "skin/SkinSurface.h"
#include "skin/SkinText.h"

#include <QFont>
#include <QWidget>

// A text label over a copy of the parent's background, optionally on a
// stretched picture whose content rectangle is the text box. The text is
// drawn with the alpha text renderer in the style's normal colour and
// alignment, two pixels above the centre line. Mouse moves, presses and
// releases are passed on to the parent unchanged (in the label's own
// coordinates) before default handling.
class CRStaticText : public QWidget
{
    Q_OBJECT

public:
    explicit CRStaticText(QWidget* parent);

    // `ninePatch` may be empty (text box = the whole label). The font is the
    // caller's; `parentBackground` is the parent's background in its client
    // coordinates (null: none).
    void SetImage(const QString& ninePatch, const QFont& font, const CSkinSurface* parentBackground,
                  const SkinTextStyle& style);
    // Replaces the text and repaints.
    void SetText(const QString& text);
    QString Text() const { return m_style.text; }
    SkinRect TextBox() const { return m_textBox; }
    // The picture as painted (cached until the text, style or size changes).
    QImage ComposedImage();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void PassToParent(QMouseEvent* event);

    CSkinSurface m_background;
    SkinTextStyle m_style;
    QFont m_font;
    SkinRect m_textBox;
    QImage m_cached;
    bool m_rebuild = true;
};
