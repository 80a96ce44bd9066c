#pragma once

#include "skin/SkinButton.h"

// The layered skinned button: a frameless, translucent, topmost tool window
// owned by the window that shows it, used where buttons float over video and
// inside drop-down panels. No parent background: a fresh composition is fully
// transparent. Its caption is composed into the picture with the alpha text
// renderer (font height 12; the style's fontHeight only centres it, and the
// text colour is added onto the picture). On a click on it, it sends
// (direct) Command(commandId).
class CTButton : public CSkinButton
{
    Q_OBJECT

public:
    explicit CTButton(QWidget* owner);

    void SetCommandId(int id) { m_commandId = id; }
    int CommandId() const { return m_commandId; }

    void SetImages(const QString& normal, const QString& over, const QString& press,
                   const QString& disabled = QString());
    void SetNinePatchImages(const QString& normal, const QString& over, const QString& press,
                            const SkinTextStyle* style, const QString& disabled = QString());
    // Six selectable icons at (x, y); there is no disabled icon.
    void SetIconImages(const QString& icon0, const QString& icon1, const QString& icon2, const QString& icon3,
                       const QString& icon4, const QString& icon5, int x, int y);
    // The whole layered picture as shown: composition plus caption.
    QImage LayeredImage();

protected:
    QFont CaptionFont(const SkinTextStyle& style) const override;
    bool SubstitutesDisabledIcon() const override { return false; }
    void Notify() override;
    void PlaceBalloon() override;
    void PaintComposed(QPainter& painter, const QImage& composed) override;

private:
    int m_commandId = 0;
    mutable QColor m_lastTextColor; // kept while disabled (no disabled colour)
};
