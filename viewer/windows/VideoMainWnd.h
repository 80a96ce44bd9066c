#pragma once

#include "skin/SkinSurface.h"
#include "windows/VideoWnd.h"

#include <QPoint>
#include <QPointer>

class CRScrollBar;
class CRScrollBar_Hor;
class CTButton;
class CTDropBox;
class QTimer;

// The front video window (id 2000): the front camera's picture (CVideoWnd),
// or, while it shows no video, "view_front.png" stretched over it with the
// "view_title.png" title blended at its centre. It also carries:
//
// - The zoom state and the pan controls of an enlarged picture: at zoom
//   above 1.0 a vertical and a horizontal scroll bar (popups "ScrVer",
//   "ScrHor") along the right and bottom edges and the fit button
//   ("FitArea", command 1305) in the corner. The bars report 0x402-0x404 and
//   0x40A-0x40C; every such report makes a new pan pair (x -100..0, y
//   0..100), which goes to the main window as PicturePan (message 0x59A).
//   Dragging the picture with the left button pans it too: the press sends
//   WM_VIDEO_PAUSE (0x40F), every move by (distance from the press) / 30.
// - A right-button context menu (popup "ScrContext", a CTDropBox with three
//   entries: play/pause 1083, full screen 1086, enlarged viewer 1087) that
//   sends 0x5F4 before it opens; its commands reach the main window as
//   Command. The main window may block it (no card).
// - The full-screen overlays: when the window's client width equals its
//   monitor's width, the caption and the control box (given by the main
//   window with SetOverlays) are placed on the monitor and shown, and hidden
//   together with the pointer after five seconds without movement (timer
//   102); a movement shows them again. Until overlays are set, only the
//   pointer hides.
// - Pass-through: left-button presses, moves and releases go on to the
//   parent (the main window's grip and drag rule) while the zoom is at most
//   1.0 and the window is not full screen.
//
// Messages to the main window (sent: handled before the emitting call
// returns): NotifyMessage carries 0x59B (wParam 1) after every paint, 0x40F,
// 0x5F4, and the overlays' 0x590 (code 1204 passed on as 1200) and 0x591;
// PicturePan carries 0x59A; Command the context menu's and the fit button's
// commands and those the overlays pass on (1302 posted); CloseRequested the
// caption's close button (WM_CLOSE).
//
// Thread: GUI thread only. Ownership: a child of the main window (a top-level
// window while expanded); the bars, the fit button and the menu are its own
// popups, the overlays belong to whoever made them.
class CVideoMainWnd : public CVideoWnd
{
    Q_OBJECT

public:
    // Created at `rect` (parent's client coordinates); the skin pictures are
    // drawn at that size once and stretched afterwards.
    CVideoMainWnd(QWidget* parent, const QRect& rect);
    ~CVideoMainWnd() override;

    // ---- Zoom and pan ------------------------------------------------------------
    // zoom := `zoom`, then ShowZoomBars; true.
    bool SetZoom(float zoom);
    // zoom := 1.0; bars and fit button hidden.
    void ResetZoom();
    // At zoom above 1.0: places and shows both bars (content = size x zoom,
    // position 0) and the fit button, and resets the pan to (0, 0).
    void ShowZoomBars();
    // At zoom above 1.0: moves the bars and the fit button to the window's
    // edges (after the window moved on the screen).
    void PlaceZoomBars();
    float Zoom() const { return m_zoom; }
    // The pan pair: x -100..0, y 0..100.
    QPoint Pan() const { return m_pan; }
    bool IsDragging() const { return m_dragging; }

    // ---- Context menu ------------------------------------------------------------
    void HideContextMenu();
    void SetContextMenuBlocked(bool blocked) { m_menuBlocked = blocked; }
    bool IsContextMenuBlocked() const { return m_menuBlocked; }

    // ---- Full screen and overlays -------------------------------------------------
    // The caption and the control box (top-level widgets, not owned; null:
    // none). Shown and hidden by the full-screen rule; their reports are
    // passed on through OnOverlayCommand and OnOverlayMessage.
    void SetOverlays(QWidget* caption, QWidget* controlBox);
    QWidget* ControlBox() const { return m_controlBox; }
    // Hides both bars, the context menu, the caption and the control box.
    void HideOverlays();
    bool IsFullScreen() const { return m_fullScreen; }
    // The recording's title for the full-screen caption.
    void SetCaptionTitle(const QString& title);
    QString CaptionTitle() const { return m_captionTitle; }
    // The context menu's and the fit button's texts in the current language.
    void ReloadTexts();
    // The overlays' auto-hide delay (5000 ms; tests shorten it).
    void SetHideTimeout(int ms) { m_hideTimeoutMs = ms; }
    // Id of the running auto-hide timer (102), or -1.
    int HideTimer() const { return m_hideTimer; }
    bool IsCursorShown() const { return m_cursorShown; }

    // ---- Inspection ----------------------------------------------------------------
    CRScrollBar* VerticalBar() const { return m_verticalBar; }
    CRScrollBar_Hor* HorizontalBar() const { return m_horizontalBar; }
    CTButton* FitButton() const { return m_fitButton; }
    CTDropBox* ContextMenu() const { return m_contextMenu; }

public slots:
    // A command of the caption or the control box: 1300 close (CloseRequested,
    // then the overlays hide), 1301 minimise, 1302 reduce (posted on), others
    // (1100-1111, 1303-1305) passed on as Command.
    void OnOverlayCommand(int id);
    // A message of the overlays: 0x590 from the control box's progress slider
    // (code 1204) goes on as (0x590, 1200, value); other 0x590 and 0x591 go
    // on unchanged.
    void OnOverlayMessage(unsigned message, quintptr wParam, qintptr lParam);

signals:
    // Message 0x59A: the pan pair changed.
    void PicturePan(int panX, int panY);
    // WM_COMMAND to the main window.
    void Command(int id);
    // WM_CLOSE to the main window.
    void CloseRequested();

protected:
    void PaintSkin(QPainter& painter) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool PassesMouseOn() const { return m_zoom <= 1.0f && !m_fullScreen; }
    void OnBarMessage(unsigned message, quintptr wParam, qintptr lParam);
    void SendPan();
    void UpdateVerticalBar();
    void UpdateHorizontalBar();
    void RestartHideTimer();
    void OnHideTimer();
    void ShowPointer();
    void HidePointer();
    void ApplyCursor();
    void BuildContextMenu();

    CSkinSurface m_background;
    CSkinSurface m_title;
    CRScrollBar* m_verticalBar = nullptr;
    CRScrollBar_Hor* m_horizontalBar = nullptr;
    CTButton* m_fitButton = nullptr;
    CTDropBox* m_contextMenu = nullptr;
    QPointer<QWidget> m_caption;
    QPointer<QWidget> m_controlBox;
    QTimer* m_hideTimerObject = nullptr;
    QString m_captionTitle;

    float m_zoom = 1.0f;
    QPoint m_dragOrigin;
    bool m_dragging = false;
    QPoint m_pan;
    bool m_leaveTracking = false;
    bool m_fullScreen = false;
    QPoint m_lastMousePoint;
    bool m_cursorShown = true;
    int m_hideTimer = -1;
    int m_hideTimeoutMs;
    bool m_menuBlocked = false;
};
