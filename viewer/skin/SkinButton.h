#pragma once

#include "skin/SkinRect.h"
#include "skin/SkinSurface.h"
#include "skin/SkinText.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QWidget>

class CSkinBalloonTip;

// What CRButton (child window) and CTButton (translucent top-level tool
// window) share: the state pictures, the optional caption and icons, the
// composed picture cached until a state change, and the state machine:
//
//   mouse move or enter, state 0 -> ask for the leave notification, state 1
//   mouse move, state 3          -> ask for the leave notification
//   left button down             -> state 2
//   left button up over it       -> notify; then state 1 unless a selected
//                                   picture exists and the owner checked it
//   mouse leave                  -> state 0 unless checked or disabled; hide balloon
//   disabled                     -> state 4 when a disabled picture exists
//   enabled, state 4             -> state 0
//
// A click is a press and a release both on this button: the window system
// gives the release to the widget that took the press, so a gesture that
// began elsewhere (a slider or scroll-bar drag, a window drag, a press on
// the window itself) ends in no command even when it is released over the
// button, and a press that ends outside it notifies nothing. A window
// blocked by a modal dialog gets no input at all (the window system takes
// the pointer away from it, which the button sees as a mouse leave). GUI
// thread only.
class CSkinButton : public QWidget
{
    Q_OBJECT

public:
    enum State { StateNormal = 0, StateOver = 1, StatePressed = 2, StateSelected = 3, StateDisabled = 4 };

    ~CSkinButton() override;

    // The selected picture, drawn plain or stretched at the button's size.
    void SetSelectImage(const QString& name);
    void SetSelectNinePatch(const QString& name);
    // Ignored while disabled; true: state 3 (checked), false: state 0. Redraws.
    void SetCheck(bool check);
    // Icon drawn over the picture: 0-5, or 6 for the disabled icon; redraws.
    void SetIconIndex(int index);
    int GetIconIndex() const { return m_iconIndex; }
    // Creates the balloon on first use and gives it the text.
    void SetBalloonText(const QString& text);
    // false: a click does not activate the window (for a top-level button:
    // its window takes no focus).
    void SetMouseActivate(bool activate);
    // Replaces the caption text (shown at the next paint).
    void SetText(const QString& text);
    // Recomposes and paints at once.
    void Redraw();

    int GetState() const { return m_state; }
    bool IsChecked() const { return m_isChecked; }
    bool MouseActivate() const { return m_mouseActivate; }
    QString Text() const { return m_style.text; }
    SkinRect TextRect() const { return m_textRect; }
    QString BalloonText() const { return m_balloonText; }
    CSkinBalloonTip* Balloon() const { return m_balloon; }
    // The cached picture of the current state (background, picture, icon),
    // composing it first when needed.
    QImage ComposedImage();

signals:
    // The command id: posted (queued) by CRButton, sent (direct) by CTButton.
    void Command(int id);

protected:
    CSkinButton(QWidget* parent, Qt::WindowFlags flags);

    // Loads the state pictures (both SetImages and SetNinePatchImages).
    void LoadPictures(const QString& normal, const QString& over, const QString& press, const QString& disabled,
                      bool ninePatch, const SkinTextStyle* style, const QImage* parentBackground, QPoint backgroundFrom);
    void LoadIcons(const QStringList& names, int x, int y);
    QColor TextColor() const;

    virtual QFont CaptionFont(const SkinTextStyle& style) const = 0;
    virtual bool SubstitutesDisabledIcon() const = 0;
    virtual void Notify() = 0;
    virtual void PlaceBalloon() = 0;
    // Paints the composed picture (and a caption) on the widget.
    virtual void PaintComposed(QPainter& painter, const QImage& composed) = 0;

    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

    CSkinSurface m_composeSurface;
    CSkinSurface m_backgroundSurface;
    CSkinSurface m_normalSurface, m_overSurface, m_pressSurface, m_disabledSurface, m_selectedSurface;
    CSkinSurface m_iconSurfaces[7];
    QImage m_cached;
    bool m_rebuild = true;
    bool m_trackingLeave = false;
    int m_state = StateNormal;
    bool m_hasText = false;
    SkinTextStyle m_style;
    bool m_isChecked = false;
    bool m_hasBackground = false;
    SkinRect m_textRect;
    QFont m_font;
    QPointer<CSkinBalloonTip> m_balloon;
    QString m_balloonText;
    int m_iconIndex = -1;
    int m_iconX = 0;
    int m_iconY = 0;
    bool m_mouseActivate = true;
    int m_balloonOffsetY = 0;
    int m_balloonOffsetX = 0;

private:
    void HandleLeftButtonUp();
    void HandleMouseOver();
    void HandleMouseLeave();
    void SetStateSurface(CSkinSurface& surface, const QString& name, bool ninePatch, SkinRect* content);
};
