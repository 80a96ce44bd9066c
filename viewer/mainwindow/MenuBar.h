#pragma once

#include "skin/SkinRect.h"

#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

#include <functional>

class CSkinDropWindow;
class CTDropBox;
class CTDropBriSpd;
class CTDropVol;
class QWidget;

// The main window's drop-down windows: the File menu (panel 1050), the
// Settings menu (1059, with its speed-unit sub-menu), the two zoom menus
// (1072 at zoom 1.0, 1073 while zoomed), the play-speed panel (1079) and the
// volume panel (1081). Made once, hidden, and shown and hidden many times;
// only one is open at a time. Where each opens follows the window's size
// (the play-control panels stay above the play controls) and, in the
// expanded mode, the full-screen control box.
//
// The menus' entries post their command (Command, queued, as the boxes do);
// the panels send their values as NotifyMessage(0x590, code, value) and the
// speed panel's reset as Command(1080), both direct.
//
// Thread: GUI thread. Ownership: the windows are top-level popups owned by
// (and destroyed with) `window`, which also owns this object. Failure: a
// panel id that is not one of the six opens and anchors nothing.
class CMenuBar : public QObject
{
    Q_OBJECT

public:
    explicit CMenuBar(QWidget* window);

    // Makes the six windows (and the unit sub-menu). The File and Settings
    // menus open 4 pixels left of and below their buttons' boxes (client
    // coordinates); `fileButton` and `settingsButton` let a click on an open
    // menu's own button close it (the press that closes it must not reopen it).
    void Create(const SkinRect& fileBox, const SkinRect& settingsBox, QWidget* fileButton, QWidget* settingsButton);
    bool IsCreated() const { return m_fileMenu != nullptr; }

    // Hides every drop-down window but the one with panel id `except` (-1: all).
    void HideDropPanels(int except);
    // Places and shows one window and hides the others.
    void OpenDropPanel(int panelId);
    // Where that window opens, in screen coordinates.
    QPoint GetDropPanelAnchor(int panelId) const;
    // Whether the panel is open.
    bool IsOpen(int panelId) const;
    // The File or Settings button was clicked: its menu closes when it was
    // open at the click (the click's own press may already have hidden it),
    // opens otherwise.
    void ToggleMenu(int panelId);

    // The play-type entry (1071): enabled or not, checked or not.
    void SetPlayTypeItem(bool enabled, bool checked);
    // The check marks of the unit sub-menu (0 km/h, 1 mph).
    void SetSpeedUnit(int speedUnit);

    // The window mode (2: expanded) and the full-screen control box's screen
    // rectangle (empty while there is none); the anchors follow them.
    void SetWindowModeSource(std::function<int()> mode) { m_windowMode = std::move(mode); }
    void SetControlBoxRectSource(std::function<QRect()> rect) { m_controlBoxRect = std::move(rect); }

    CTDropBox* FileMenu() const { return m_fileMenu; }
    CTDropBox* SettingsMenu() const { return m_settingsMenu; }
    CTDropBox* UnitMenu() const { return m_unitMenu; }
    CTDropBox* ZoomMenu() const { return m_zoomMenu; }
    CTDropBox* ZoomMenuZoomed() const { return m_zoomMenuZoomed; }
    CTDropBriSpd* SpeedPanel() const { return m_speedPanel; }
    CTDropVol* VolumePanel() const { return m_volumePanel; }
    CSkinDropWindow* Panel(int panelId) const;
    QPoint FileMenuAnchor() const { return m_fileMenuAnchor; }
    QPoint SettingsMenuAnchor() const { return m_settingsMenuAnchor; }

signals:
    void Command(int id);
    void NotifyMessage(unsigned message, quintptr wParam, qintptr lParam);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CTDropBox* MakeMenu(const char* title, int width, int height, bool zoomLook);
    // Grows a menu whose entries do not fit the size the tables give it.
    static void FitMenu(CTDropBox* menu);

    QWidget* m_window;
    CTDropBox* m_fileMenu = nullptr;
    CTDropBox* m_settingsMenu = nullptr;
    CTDropBox* m_unitMenu = nullptr;
    CTDropBox* m_zoomMenu = nullptr;
    CTDropBox* m_zoomMenuZoomed = nullptr;
    CTDropBriSpd* m_speedPanel = nullptr;
    CTDropVol* m_volumePanel = nullptr;
    QPoint m_fileMenuAnchor;
    QPoint m_settingsMenuAnchor;
    QPointer<QWidget> m_fileButton;
    QPointer<QWidget> m_settingsButton;
    std::function<int()> m_windowMode;
    std::function<QRect()> m_controlBoxRect;
    // When each menu last hid by itself (not through HideDropPanels) and its
    // button was last pressed (ms of m_clock).
    QElapsedTimer m_clock;
    bool m_hiding = false;
    QMap<int, qint64> m_hiddenAt;
    QMap<int, qint64> m_pressedAt;
};
