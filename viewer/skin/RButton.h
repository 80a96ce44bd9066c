#pragma once

#include "skin/SkinButton.h"

class CSkinSurface;

// The skinned push button: a child window that looks transparent because it
// keeps a copy of its parent's background under its own rectangle (taken
// when its pictures are set) and composes its state pictures over it. On a
// click (left-button press and release on it), it posts (queued)
// Command(controlId). Its caption is drawn on the window after the cached
// picture.
class CRButton : public CSkinButton
{
    Q_OBJECT

public:
    explicit CRButton(QWidget* parent, int controlId = 0);

    void SetControlId(int id) { m_controlId = id; }
    int ControlId() const { return m_controlId; }

    // Plain pictures at natural size. `parentBackground` is the parent's
    // background in its client coordinates (null: none). Background mode 1
    // copies from (1, 0) of it instead of from the button's position.
    void SetImages(const QString& normal, const QString& over, const QString& press,
                   const CSkinSurface* parentBackground, const QString& disabled = QString(), int backgroundMode = 0);
    // Nine-patch pictures stretched to the button, with an optional caption
    // whose text box is the normal picture's content rectangle.
    void SetNinePatchImages(const QString& normal, const QString& over, const QString& press,
                            const CSkinSurface* parentBackground, const SkinTextStyle* style,
                            const QString& disabled = QString());
    // Six selectable icons and the icon shown while disabled, at (x, y).
    void SetIconImages(const QString& icon0, const QString& icon1, const QString& icon2, const QString& icon3,
                       const QString& icon4, const QString& icon5, const QString& disabledIcon, int x, int y);
    // Added to the balloon position (below-right of the button).
    void SetBalloonOffset(int dy, int dx);

    // The caption's box on the window for the current style (align 1: the
    // text box with its top moved down to centre a line of fontHeight).
    SkinRect CaptionBox() const;

protected:
    QFont CaptionFont(const SkinTextStyle& style) const override;
    bool SubstitutesDisabledIcon() const override { return true; }
    void Notify() override;
    void PlaceBalloon() override;
    void PaintComposed(QPainter& painter, const QImage& composed) override;

private:
    int m_controlId = 0;
};
