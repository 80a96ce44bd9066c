#pragma once

#include "catalogue/RecordingEntry.h"
#include "mainwindow/BackgroundComposer.h"
#include "mainwindow/MainWindowIds.h"
#include "settings/Registry.h"
#include "skin/SkinRect.h"
#include "skin/SkinSurface.h"
#include "windows/SplashDlg.h"

#include <QDialog>
#include <QMap>
#include <QPixmap>
#include <QStringList>

#include <functional>
#include <memory>

class CAutoResetEvent;
class CCardController;
class CCommandRouter;
class CControlLayout;
class CMenuBar;
class CMountWatcher;
class CPlaybackCoordinator;
class CRecordingFiles;
class CRListCtrl;
class CTelemetryPresenter;
class CTextData;
class CVideoMainWnd;
class CVideoMgr;
class CVideoSubWnd;
class CWebBrowser2Ex;
class CWindowModes;
class ITransport;
class QTimer;

// ---- Process-wide state kept beside the main window (GUI thread unless said) ----
// "EVENT_SHOW_MAINDLG": created at start-up, signalled when the splash ends
// with OK, closed once start-up has seen it (null afterwards).
extern std::unique_ptr<CAutoResetEvent> g_showMainEvent;
// 1 when the connectivity probe succeeded (initially 1).
extern int g_internetOk;
// The program's version "%d.%d.%d.%02d"; "NOT" until read.
extern QString g_appVersion;
// The running program's folder, with a trailing separator.
extern QString g_programFolder;

// What the main window takes from outside; tests replace parts of it.
struct CMovaraDlgOptions {
    // Show the splash at start-up (false: start-up goes on as if it had
    // ended with OK at once).
    bool showSplash = true;
    // Period of the splash's timer (100 steps).
    int splashPeriodMs = 10;
    // Telemetry extraction of the analysis thread; the analyser's when empty.
    std::function<void(const QString&, CTextData&)> extract;
    // The connectivity probe; ProbeConnectivity() when empty.
    std::function<bool()> probeConnectivity;
    // The playback transport (not owned; must outlive the window); the
    // window makes its own CVideoMgr when null.
    ITransport* transport = nullptr;
    // Playback's look at a recording (under the analysis lock): the H.264
    // check of an AVI and the MP4 test; the analyser's when empty. The
    // on-demand extraction before playing is `extract`.
    std::function<int(const QString&)> checkH264;
    std::function<bool(const QString&)> isMp4Recording;
    // The millisecond tick of the play controls' repeat guard; the system's when empty.
    std::function<unsigned()> tickCount;
    // Recordings to open once start-up is over, each as File > Open does.
    QStringList openFiles;
    // The machine-wide play type read at start-up (single: one picture);
    // when empty the window keeps its initial single play.
    std::function<EPlayType()> readPlayType;
};

// The viewer's only top-level window: a frameless, skinned dialog titled
// "Kestrav" that owns the splash, every control and its collaborators, and
// coordinates them. Everything here runs on the GUI thread; the analysis
// thread reaches the window only through the card controller's signals.
//
// Collaborators, each with one concern, talking to the window by signals:
//   CCardController      memory card, re-scan, catalogue, mount watch, analysis
//   CBackgroundComposer  the skinned background and its composed picture
//   CWindowModes         the window mode; moving and resizing by the mouse
//   CControlLayout       the controls: creation, ids, following a size change
//   CTelemetryPresenter  the telemetry displays
//   CPlaybackCoordinator playback: the transport, the play list's playing
//                        item, the video windows, times and play controls
//   CCommandRouter       the command table: every command id to its action
//   CMenuBar             the drop-down menus and panels, where they open
//   CRecordingFiles      open, save a copy (in the background), delete, the
//                        card's settings program, the device information
//
// The window's own code is split over several files:
//   MovaraDlgInit.cpp    construction, start-up (OnInitDialog), version, controls
//   MovaraDlgCard.cpp    the list's categories, card state, card changes
//   MovaraDlgPaint.cpp   pictures, painting, layout
//   MovaraDlgWindow.cpp  keys, commands, mouse, size, close, timers
//   MovaraDlgPlay.cpp    playback's face and the messages of the transport,
//                        the video windows, the list and the sliders
//   MovaraDlgMap.cpp     the map browser and the telemetry presentation's
//                        wiring
class CMovaraDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CMovaraDlg(const CMovaraDlgOptions& options = CMovaraDlgOptions(), QWidget* parent = nullptr);
    ~CMovaraDlg() override;

    // Start-up, then the modal run until the window closes. Returns the
    // dialog result (ignored by the application).
    int RunModal();

    // Start-up in its fixed order (see MovaraDlgInit.cpp). Ends with the
    // window shown and the analysis thread running. Returns true.
    bool OnInitDialog();

    // ---- Memory card and catalogue (MovaraDlgCard.cpp) -----------------------
    // Card re-scan (the card controller's rule) on a device change or a
    // mount-table change, then the title area is repainted.
    void OnDeviceChange();
    void OnMediaChanged();
    // Message 0x0463: asks the analysis thread to stop (without waiting).
    void OnStopAnalysis();
    // 1, or 0 when `checkCard` is set and no card was found.
    int InitMovieList(bool checkCard);
    // First non-empty category in the order 0, 1, 3, 4, 2, 5, or -1.
    int UpdateListButtons();
    void SelectListCategory(int n);
    void SetCardState(bool present, bool forceDual);
    // Category commands 1250 to 1258 of the buttons above the list.
    void OnListCategoryCommand(int id);
    // Selects one tab (1251..1254) and shows its second row.
    void ShowListGroup(int tabId);
    // The tab of a category.
    static int ListGroupButton(int category);
    // The play-type entry of the settings menu as the play type and the
    // card's rule stand (enabled: dualStreamMode 1 and playTypeLocked 0;
    // checked while both pictures play).
    void UpdatePlayTypeItem();

    // ---- Files (the file collaborator's) ---------------------------------------------------
    void OpenRecordingFile();
    void SaveRecordingAs();
    void DeleteFocusedRecording();
    bool IsAnalysisRunning() const;

    // ---- Playback (MovaraDlgPlay.cpp; the coordinator's) -------------------------
    int VideoPlay(bool force);
    int VideoPause();
    int VideoSTOP();
    void UpdatePlayPosition();
    void ShowCurrentTime();
    void ShowTotalTime();
    // Play controls 1100 to 1112.
    void OnControlBoxBtnClicked(int id);
    // A window message from the transport, a video window, the list or a
    // slider: 0x406, 0x407, 0x40E, 0x40F, 0x590, 0x591, 0x59B, 0x5F4, 0x5F5.
    void OnWindowMessage(unsigned message, quintptr wParam, qintptr lParam);
    // 0x40E: the front window follows the transport's zoom.
    int OnVideoSizeChaged();
    // The picture labels (1150 left, 1151 right) and the second title's
    // visibility for the play type, the playing item and the swap.
    void UpdateFrontRearLabels();

    // ---- Commands and keys (MovaraDlgWindow.cpp) -----------------------------
    void OnCommand(int id);
    // The accelerator table: the command of an accelerator id.
    void OnAccelerator(int acceleratorId);

    // ---- Pictures and layout (MovaraDlgPaint.cpp) ------------------------------
    void LoadImages();
    void CreateControls();
    void ArrangeControls();
    void RelayoutVideo();
    // The window background at the current size (the controls keep their
    // copies until their pictures are set again).
    void RebuildBackground();
    // 0 the whole window, 1 front video, 2 rear video, 3 map, 4 title area
    // (the latter after marking the background dirty).
    void InvalidateArea(int kind);

    // Hides the drop-down menus and panels except the one with that panel
    // id (-1: all).
    void HideDropPanels(int except);
    // Places and shows one drop-down window (hiding the others); where it opens.
    void OpenDropPanel(int panelId);
    QPoint GetDropPanelAnchor(int panelId) const;
    // The speed unit (0 km/h, 1 mph): the unit button's pictures, the unit
    // menu's check marks and the setting "unit" (saved).
    void SetSpeedUnit(int unit);

    // Timers kept by id (101 play position, 104 hide the analysis message).
    void SetTimer(int id, int periodMs);
    void KillTimer(int id);
    bool IsTimerActive(int id) const;

    // ---- Read access for the other parts and for tests ------------------------
    const CCatalogue& Catalogue() const;
    CCatalogue& Catalogue();
    // The memory card, the catalogue and the analysis.
    CCardController& Card() const { return *m_card; }
    // A child control by its id (null when it does not exist).
    QWidget* Control(int id) const;
    CMountWatcher* MountWatcher() const;
    // The play list (1250) and the video windows (2000, 2001); null before
    // the controls exist.
    CRListCtrl* List() const;
    CVideoMainWnd* FrontVideo() const;
    CVideoSubWnd* RearVideo() const;
    ITransport& Transport() const { return *m_transport; }
    CPlaybackCoordinator& Playback() const { return *m_playback; }
    CTelemetryPresenter& Presenter() const { return *m_presenter; }
    CMenuBar& Menus() const { return *m_menus; }
    CRecordingFiles& Files() const { return *m_files; }
    CSplashDlg& Splash() { return m_splash; }
    // The map browser (1500); null before start-up made it.
    CWebBrowser2Ex* MapBrowser() const { return m_mapBrowser; }
    // The window mode (0 normal, 1 maximised, 2 expanded) and the grip and
    // drag rule.
    CWindowModes& Modes() const { return *m_modes; }
    const CSkinSurface& WindowBackground() const;
    // The last composed client picture (null before the first paint).
    const QPixmap& CompositeBitmap() const;
    bool OnCloseDone() const { return m_closed; }

    // ---- Window state shared by the main window's parts ----------------------
    int initDone = 0;
    int mapPending = 1;
    int trackDrawn = 0;
    int speedUnit = 0;
    CTextData* currentTextData = nullptr;
    CategoryMap* currentCategoryMap = nullptr;
    int lastPosition = 0;
    int listCategory = 0;
    int rearShown = 1;
    QString currentTitle;
    bool seekPausedPlayback = false;
    int continuousPlay = 1;
    int savedDragFullWindows = 0;
    int singlePlay = 1;
    int dualStreamMode = 0;
    int playTypeLocked = 0;
    struct {
        int lastId = 0;
        unsigned lastTick = 0;
    } repeatGuard;
    QString programFolder;
    SkinRect clientRect{0, 0, MainWnd::kBaseWidth, MainWnd::kBaseHeight};
    SkinRect previousClientRect{0, 0, MainWnd::kBaseWidth, MainWnd::kBaseHeight};
    SkinRect frontVideoArea = MainWnd::kFrontVideoArea;
    SkinRect rearVideoArea = MainWnd::kRearVideoArea;
    SkinRect mapArea = MainWnd::kMapArea;
    SkinRect titleArea = MainWnd::kTitleArea;
    bool accelerators = false; // the accelerator table is loaded

signals:
    // Emitted when a card re-scan found a new card or lost the one in use.
    void CardInserted();
    void CardRemoved();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Start-up pieces (MovaraDlgInit.cpp).
    void StartSplash();
    void WaitForSplash();
    void PumpSplash();
    void LoadAppVersion();
    void CreateDropBoxs();
    void RegisterMediaChange();
    void ConnectCard();
    // The map (MovaraDlgMap.cpp): the browser made at start-up, its page
    // loaded once the window has first been painted.
    void CreateMap();
    void NavigateMap();
    void ConnectPresenter();
    // After a paint that composed anew (MovaraDlgPaint.cpp).
    void FollowComposition();
    // Card pieces (MovaraDlgCard.cpp): the window's side of a card change.
    void OnCardLeaving();
    void OnCardInserted();
    void OnCardRemoved();
    void FillMovieList();
    void StopPlaybackIfAny();
    void OnHideAnalysisMessageTimer();
    void ChooseListCategory(int category);
    void ApplyPlayTypeRule(bool dual);
    void ShowAnalysisTexts(bool shown);

    // Window pieces (MovaraDlgWindow.cpp).
    void OnClose();
    void OnTimer(int id);
    // The background as the window shows it now (MovaraDlgPaint.cpp).
    CBackgroundComposer::Scene BackgroundScene() const;
    // Playback pieces (MovaraDlgPlay.cpp).
    void ConnectPlayback();
    // Command pieces (MovaraDlgWindow.cpp).
    void ConnectMenus();
    void OpenStartupFiles();

    CMovaraDlgOptions m_options;
    std::unique_ptr<CCardController> m_card;
    CSplashDlg m_splash; // its own top-level window
    QMap<int, QTimer*> m_timers;
    bool m_closed = false;
    bool m_controlsCreated = false;

    std::unique_ptr<CBackgroundComposer> m_composer;
    std::unique_ptr<CWindowModes> m_modes;
    CControlLayout* m_layout; // a child: lives as long as the window
    std::unique_ptr<CTelemetryPresenter> m_presenter;
    std::unique_ptr<CVideoMgr> m_ownTransport; // when no transport was given
    ITransport* m_transport = nullptr;
    CPlaybackCoordinator* m_playback = nullptr; // a child
    CWebBrowser2Ex* m_mapBrowser = nullptr;     // a child
    bool m_mapNavigated = false;
    quint64 m_seenBackground = 0;  // the composer's serials the window has
    quint64 m_seenComposition = 0; // passed on to the presentation
    CMenuBar* m_menus = nullptr;                // a child
    CRecordingFiles* m_files = nullptr;         // a child
    std::unique_ptr<CCommandRouter> m_router;
};
