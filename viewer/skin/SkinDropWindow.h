#pragma once

#include "skin/SkinLayeredWindow.h"

class QScreen;

// What the drop-down windows share (CTDropBox, CTDropBriSpd, CTDropVol): a
// layered tool window that its owner shows and hides many times, and that
// closes itself
//   - on Escape while it has the keyboard,
//   - when it loses the activation to a window it does not own
//     (OnDeactivated decides; see the boxes' sub-menu rule),
//   - on a mouse press anywhere in the application outside the windows it
//     owns (itself, the windows created with it as parent, such as a panel's
//     sliders and button, and whatever OwnsWindow adds), which also covers
//     presses on windows that never take the activation.
// Shown by the owner (show(), ShowAt) it takes the activation; ShowPassive
// shows it without (a sub-menu next to its entry). GUI thread only.
class CSkinDropWindow : public CSkinLayeredWindow
{
    Q_OBJECT

public:
    // Moves the window so that its top-left corner is at `global` (screen
    // coordinates), pulled back inside the available area of the screen
    // holding that point, and shows it (activated).
    void ShowAt(QPoint global);
    // The same without taking the activation.
    void ShowPassive(QPoint global);
    // Moves the window to `global`, pulled back inside the screen as above.
    void MoveOnScreen(QPoint global);

    // Whether `window` (a top-level widget) belongs to this popup: itself or
    // one of the windows it parents, plus what subclasses add.
    virtual bool OwnsWindow(const QWidget* window) const;
    // Whether a press in `window` leaves this popup open (default: a window
    // it owns).
    virtual bool KeepsOpenOnPressIn(const QWidget* window) const { return OwnsWindow(window); }

    // Raises a top-level window where the window system can (the headless
    // platforms cannot and would only complain).
    static void RaiseWindow(QWidget* window);

protected:
    CSkinDropWindow(QWidget* owner);

    // The activation went from this window to `newActive` (null: to no
    // window of this application). Default: hide unless this popup owns it.
    virtual void OnDeactivated(QWidget* newActive);

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_passiveShow = false;
    bool m_filtering = false;
};
