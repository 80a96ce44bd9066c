#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>

#include <memory>

class CFullScreenOverlays;
class CFullScrCaption;
class CFullScrControlBox;
class CMovaraDlg;
class QMouseEvent;
class QScreen;
class QWidget;

// The main window's modes and the actions on its pictures:
//
// - The mode (0 normal, 1 maximised, 2 expanded) and what the left button
//   does on the window's body in each: a press in the grip (the 18 x 18
//   square in the bottom-right corner) resizes the window from that corner
//   in every mode; a press anywhere else moves the window, in normal mode
//   only. The window system does the move or resize where it can; otherwise
//   the window follows the mouse by hand, never below its minimum size. Over
//   the grip the cursor is the diagonal sizing arrow.
// - Maximise and restore (the button 1003 swaps its pictures), the enlarged
//   viewer (1087), and the expanded mode: the front video window alone, as a
//   frameless top-level window placed over the monitor nearest the main
//   window and in the full-screen state there (which alone places it under
//   Wayland, where a program cannot place its windows), the main window
//   hidden, and back to the same place. While expanded, the full-screen caption and control box float
//   over the picture (shown on mouse movement, hidden after five seconds;
//   the front window drives them); their commands go through the front
//   window to the main window.
// - The right column (rear picture or map with the map search button), the
//   front/rear swap with the labels and the titles, the four zoom steps of
//   the front picture, the map search into the location category and the
//   navigation product's page.
//
// Maximising is done by hand (the window's normal geometry kept, the work
// area of its monitor taken) except under Wayland, where the window system's
// maximised state is asked for: the window is frameless and many X11
// desktops, or none at all, would not maximise it otherwise.
//
// Thread: GUI thread. Ownership: works on the window, which it does not own
// and which must outlive it; the full-screen caption and control box are
// made on first use, owned by the front video window. Built on a plain
// window (the first constructor) only the mode and the drag rule apply;
// every other operation then traces and does nothing. Failure: results
// only; message boxes go through the platform façade.
class CWindowModes : public QObject
{
    Q_OBJECT

public:
    // A plain window: the mode and the drag rule.
    explicit CWindowModes(QWidget* window);
    // The main window: everything.
    explicit CWindowModes(CMovaraDlg* window);
    ~CWindowModes() override;

    int WindowMode() const { return m_windowMode; }
    void SetWindowMode(int mode) { m_windowMode = mode; }
    // The mode to return to when the expanded mode ends.
    int SavedWindowMode() const { return m_savedWindowMode; }

    // The grip, in the window's client coordinates.
    bool InGrip(const QPoint& clientPos) const;

    // The window's own mouse events, forwarded as they arrive.
    void MousePress(const QMouseEvent& event);
    void MouseMove(const QMouseEvent& event);
    void MouseRelease(const QMouseEvent& event);

    // ---- Modes ----------------------------------------------------------------------
    // 1003: maximised <-> normal, the button's look following.
    void ToggleMaximise();
    // 1087, the enlarged viewer: normal -> maximised (the rear window
    // repainted when nothing plays), maximised -> normal, expanded ->
    // maximised. Then the front window's context menu closes.
    void FullWindow();
    // 1302, 1086: enters the expanded mode, or leaves it for the mode in
    // force before. Also used by playback and on card removal to leave it.
    void ToggleExpand();
    // Index into `screens` of the monitor nearest to `window`: the one it
    // overlaps most, else the one whose rectangle lies closest to its
    // centre; -1 for an empty list.
    static int NearestScreenIndex(const QRect& window, const QList<QRect>& screens);
    // The monitor the window is on (see above); the primary one as a fallback.
    static QScreen* NearestScreen(const QWidget& window);

    // ---- The right column (1300, 1301) ------------------------------------------------
    // Rear picture (true) or map (false), with the fold buttons, their
    // balloons, the map label and the map search button.
    void ShowRearOrMap(bool showRear);

    // ---- Front/rear swap (1303) -----------------------------------------------------------
    // Swaps the pictures and their labels (the zoom goes back to 1.0 first);
    // nothing when `swap` is the transport's reverse mode already.
    void SetReverse(bool swap);
    // After a swap: the two titles exchange their texts (the second stays
    // empty on a one-picture play of a front/rear card); the recording's
    // title follows the main title, also in the full-screen caption.
    void SwapTitles();

    // ---- Zoom (1084 +1, 1085 -1) ------------------------------------------------------
    // One step up or down through 0.5, 1.0, 1.5, 2.0; nothing while stopped,
    // at either end, or at a zoom between the steps.
    void ZoomStep(int direction);
    // The step after `zoom` in `direction`, or `zoom` itself when there is none.
    static float NextZoom(float zoom, int direction);

    // ---- Map search (1304) ----------------------------------------------------------------
    // The recordings with a GPS fix inside the map's visible area into the
    // location category (5), which the list then shows. Refused while the
    // background analysis runs; without a drawn track, or when nothing was
    // found, the category is emptied and its button disabled. An extent
    // answer that does not hold four numbers changes nothing (traced).
    // The map page is the telemetry presentation's (without one there is no
    // area to search).
    void MapSearch();
    // "west,north,east,south" in degrees -> the four in the telemetry's
    // degrees-and-minutes form (ddmm.mmmm, signed); false when the answer
    // does not hold four numbers.
    static bool ParseExtent(const QString& extent, double* west, double* north, double* east, double* south);
    static double ToDegreesMinutes(double degrees);

    // ---- Navigation product (1306) -----------------------------------------------------
    // The product's page in the desktop's browser; the outcome is not examined.
    void OpenNavigationProduct();

    // ---- Full-screen overlays --------------------------------------------------------------
    // Made on first use (entering the expanded mode), then kept.
    CFullScrCaption* Caption() const;
    CFullScrControlBox* ControlBox() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateGripCursor(const QPoint& clientPos);
    void SetMaximiseLook(bool restoreLook);
    void Maximise();
    void Restore();
    void EnsureOverlays();
    void EnterExpanded();
    void LeaveExpanded();
    void SetBalloon(int id, const char* key);
    void PlaceControl(int id, int left, int top, int width, int height);
    void ShowCategoryFive();

    enum class DragKind { None, Armed, Move, Resize };

    QWidget* m_window;
    CMovaraDlg* m_dlg = nullptr;
    int m_windowMode;
    int m_savedWindowMode;
    DragKind m_drag = DragKind::None;
    bool m_dragFromGrip = false;
    QPoint m_dragStartGlobal;
    QRect m_dragStartGeometry;
    QRect m_normalGeometry;          // before maximising by hand
    bool m_maximisedByHand = false;
    std::unique_ptr<CFullScreenOverlays> m_overlays;
};
