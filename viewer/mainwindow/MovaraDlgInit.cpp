// CMovaraDlg: construction, start-up, version and the order of the
// controls' creation.
#include "mainwindow/MovaraDlg.h"

#include "mainwindow/CardController.h"
#include "base/AppVersion.h"
#include "base/AutoResetEvent.h"
#include "mainwindow/CommandRouter.h"
#include "mainwindow/ControlLayout.h"
#include "mainwindow/MenuBar.h"
#include "mainwindow/RecordingFiles.h"
#include "mainwindow/PlaybackCoordinator.h"
#include "engine/TransportNotifier.h"
#include "engine/VideoMgr.h"
#include "windows/VideoMainWnd.h"
#include "windows/VideoSubWnd.h"
#include "mainwindow/TelemetryPresenter.h"
#include "mainwindow/WindowModes.h"
#include "catalogue/Connectivity.h"
#include "lang/Lang.h"
#include "catalogue/MemoryCard.h"
#include "settings/Settings.h"
#include "skin/RStaticText.h"
#include "app/SplashThread.h"
#include "base/TraceLog.h"

#include <QCoreApplication>
#include <QEventLoop>

using namespace MainWnd;

std::unique_ptr<CAutoResetEvent> g_showMainEvent;
int g_internetOk = 1;
QString g_appVersion = QString::fromLatin1(kNoVersion);
QString g_programFolder;

namespace {
constexpr int IDOK = 1;
} // namespace

CMovaraDlg::CMovaraDlg(const CMovaraDlgOptions& options, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_options(options)
    , m_card(std::make_unique<CCardController>(options.extract))
    , m_composer(std::make_unique<CBackgroundComposer>())
    , m_modes(std::make_unique<CWindowModes>(this))
    , m_layout(new CControlLayout(this, &m_composer->WindowBackground()))
    , m_presenter(std::make_unique<CTelemetryPresenter>())
    , m_ownTransport(options.transport ? nullptr : std::make_unique<CVideoMgr>())
    , m_transport(options.transport ? options.transport : m_ownTransport.get())
{
    // The window paints its whole client area: no background erasing.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setSizeGripEnabled(false);
    m_splash.SetTimerPeriod(options.splashPeriodMs);
    ConnectCard();
    connect(m_layout, &CControlLayout::Command, this, &CMovaraDlg::OnCommand);
    m_menus = new CMenuBar(this);
    m_files = new CRecordingFiles(*this);
    m_router = std::make_unique<CCommandRouter>(*this);
    ConnectMenus();

    CPlaybackHooks hooks;
    hooks.extract = options.extract;
    hooks.checkH264 = options.checkH264;
    hooks.isMp4Recording = options.isMp4Recording;
    hooks.tickCount = options.tickCount;
    m_playback = new CPlaybackCoordinator(*this, *m_transport, std::move(hooks));
    m_presenter->Bind({&mapPending, &trackDrawn, &rearShown, &speedUnit, &currentCategoryMap, &mapArea});
    m_presenter->SetClock(m_transport);
    connect(m_transport->Notifier(), &CTransportNotifier::NotifyMessage, this, &CMovaraDlg::OnWindowMessage);
    m_transport->SetNotifyWindow(this);
}

CMovaraDlg::~CMovaraDlg()
{
    // The analysis thread reads the catalogue: it must be over before
    // anything else goes.
    m_card->StopAnalysis();
    // The video windows let go of the transport before it goes (a transport
    // of our own goes with the members, the windows with the children).
    if (CVideoMainWnd* front = FrontVideo())
        front->SetSource(nullptr, -1);
    if (CVideoSubWnd* rear = RearVideo())
        rear->SetSource(nullptr, -1);
    m_transport->SetNotifyWindow(nullptr);
    if (m_ownTransport)
        m_ownTransport->Close();
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    g_showMainEvent.reset();
    g_fileParsingEvent.reset();
}

int CMovaraDlg::RunModal()
{
    OnInitDialog();
    return exec();
}

bool CMovaraDlg::OnInitDialog()
{
    // 1-2. Base initialisation; the accelerator table (translated by the
    //      application-wide key filter, see MovaraDlgWindow.cpp).
    QCoreApplication::instance()->installEventFilter(this);
    accelerators = true;
    // 3. Caption.
    setWindowTitle(QString::fromLatin1(kTitle));
    // 4. g_analysisLock is a process-wide recursive mutex: nothing to create.
    // 5. "EVENT_SHOW_MAINDLG", not signalled.
    g_showMainEvent = std::make_unique<CAutoResetEvent>();
    g_showMainEvent->Reset();
    // 6. The splash.
    StartSplash();
    // 7. Connectivity probe (bounded).
    const bool online = m_options.probeConnectivity ? m_options.probeConnectivity() : ProbeConnectivity();
    if (online) {
        TraceLog(QStringLiteral("Kestrav : IsInternetConnect OK..."));
        g_internetOk = 1;
    } else {
        TraceLog(QStringLiteral("Kestrav : IsInternetConnect FAIL..."));
        g_internetOk = 0;
    }
    PumpSplash();
    // 8. Place and size; the base size is also the minimum.
    setMinimumSize(kBaseWidth, kBaseHeight);
    move(0, 0);
    resize(kBaseWidth, kBaseHeight);
    clientRect = {0, 0, width(), height()};
    previousClientRect = clientRect;
    // 9. The program's folder.
    programFolder = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    g_programFolder = programFolder;
    // 10. Version.
    LoadAppVersion();
    // 11. "EVENT_FILE_PARSING", not signalled.
    g_fileParsingEvent = std::make_unique<CAutoResetEvent>();
    g_fileParsingEvent->Reset();
    // 12. The memory card.
    m_card->FindCard();
    PumpSplash();
    // 13. Pictures.
    TraceLog(QStringLiteral("Kestrav---->Load Images"));
    LoadImages();
    // 14. Controls.
    TraceLog(QStringLiteral("Kestrav---->Create Controls"));
    CreateControls();
    PumpSplash();
    // 15. The map browser, out of sight; its page loads after the first paint.
    TraceLog(QStringLiteral("Kestrav---->Create Map"));
    CreateMap();
    // 16.
    TraceLog(QStringLiteral("Kestrav---->Resource Loading compleate."));
    // 17-18. The catalogue from the card (no card: the no-card state).
    InitMovieList(true);
    TraceLog(QStringLiteral("Kestrav----->Movie list initialized,"));
    // 19. Wait for the splash to end with OK.
    WaitForSplash();
    TraceLog(QStringLiteral("Kestrav----->Splash disappeard event received,"));
    g_showMainEvent.reset();
    // 20. Media-change notifications: the mount-table watcher.
    RegisterMediaChange();
    // 21.
    TraceLog(g_deviceRecord.isEmpty() ? QStringLiteral("Kestrav----->BlackBoxData not Found")
                                      : QStringLiteral("Kestrav----->BlackBoxData Found"));
    // 22.
    initDone = 1;
    TraceLog(QStringLiteral("Kestrav---->Init compleate."));
    // 23. The background analysis.
    m_card->StartAnalysis();
    // 24. To the foreground.
    show();
    raise();
    activateWindow();
    // Recordings named at start-up.
    OpenStartupFiles();
    return true;
}

// ---- Splash ------------------------------------------------------------------
//
// Qt keeps every widget on the GUI thread, so the splash cannot run on a
// thread of its own as a modal loop. Instead it is shown at step 6 and driven
// by the GUI thread's event loop: start-up lets it run between its longer
// steps (PumpSplash) and at step 19 runs a local event loop until the splash
// has ended. The splash's end runs the splash routine's hand-off
// (SplashThreadBody), which signals "EVENT_SHOW_MAINDLG" on OK, exactly as
// the splash thread does; step 19 then consumes the event.

void CMovaraDlg::StartSplash()
{
    if (!m_options.showSplash) {
        SplashThreadBody([] { return IDOK; }, *g_showMainEvent);
        return;
    }
    connect(&m_splash, &QDialog::finished, this, [](int result) {
        if (g_showMainEvent)
            SplashThreadBody([result] { return result; }, *g_showMainEvent);
    });
    m_splash.Start();
    PumpSplash();
}

void CMovaraDlg::PumpSplash()
{
    // Lets the splash paint and advance; user input waits for the window.
    if (m_splash.IsRunning())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CMovaraDlg::WaitForSplash()
{
    if (m_splash.IsRunning()) {
        QEventLoop loop;
        connect(&m_splash, &QDialog::finished, &loop, &QEventLoop::quit);
        if (m_splash.IsRunning())
            loop.exec();
    }
    // The splash only ever ends with OK; should it not have, start-up goes
    // on rather than wait for an event nobody will signal.
    if (!g_showMainEvent->Wait(0))
        TraceLog(QStringLiteral("Kestrav----->Splash ended without the event"));
}

// ---- Version -----------------------------------------------------------------

void CMovaraDlg::LoadAppVersion()
{
    const QString fileVersion = ProgramFileVersion();
    if (!fileVersion.isEmpty())
        g_appVersion = FormatFileVersion(fileVersion);
    TraceLog(QStringLiteral("Kestrav---->Load App Version") + g_appVersion);
}

// ---- Media change ------------------------------------------------------------

void CMovaraDlg::RegisterMediaChange()
{
    if (m_card->WatchMounts())
        TraceLog(QStringLiteral("Kestrav----->SHChangeNotifyRegister"));
}

// The card controller's reports: card changes (delivered before it goes on)
// and the analysis progress (on the GUI thread, to the progress texts and
// timer 104).
void CMovaraDlg::ConnectCard()
{
    CCardController* card = m_card.get();
    connect(card, &CCardController::MediaChanged, this, &CMovaraDlg::OnMediaChanged);
    connect(card, &CCardController::CardLeaving, this, &CMovaraDlg::OnCardLeaving);
    connect(card, &CCardController::CardInserted, this, &CMovaraDlg::OnCardInserted);
    connect(card, &CCardController::CardRemoved, this, &CMovaraDlg::OnCardRemoved);
    auto text = [this](int id, const QString& t) {
        if (auto* control = qobject_cast<CRStaticText*>(Control(id)))
            control->SetText(t);
    };
    auto shown = [this](int id, bool visible) {
        if (QWidget* control = Control(id))
            control->setVisible(visible);
    };
    connect(card, &CCardController::AnalysisMessageText, this, [text](const QString& t) { text(kIdAnalysisMessage, t); });
    connect(card, &CCardController::AnalysisPercentText, this, [text](const QString& t) { text(kIdAnalysisPercent, t); });
    connect(card, &CCardController::AnalysisMessageShown, this, [shown](bool v) { shown(kIdAnalysisMessage, v); });
    connect(card, &CCardController::AnalysisPercentShown, this, [shown](bool v) { shown(kIdAnalysisPercent, v); });
    connect(card, &CCardController::AnalysisTimerStart, this, &CMovaraDlg::SetTimer);
    connect(card, &CCardController::AnalysisTimerStop, this, &CMovaraDlg::KillTimer);
}

// ---- Controls ------------------------------------------------------------------

void CMovaraDlg::CreateControls()
{
    SetSkinFaceName(LangFaceName());
    TraceLog(QStringLiteral("CreateControls CreateVideoWnds"));
    m_layout->CreateVideoWnds();
    TraceLog(QStringLiteral("CreateControls CreateSlider"));
    m_layout->CreateSlider();
    TraceLog(QStringLiteral("CreateControls CreateBtns"));
    m_layout->CreateBtns(continuousPlay == 1);
    TraceLog(QStringLiteral("CreateControls CreateDropBoxs"));
    CreateDropBoxs();
    TraceLog(QStringLiteral("CreateControls CreateStatics"));
    m_layout->CreateStatics(g_appVersion);
    ConnectPresenter();
    m_card->SetProgressTexts(Control(kIdAnalysisMessage) != nullptr, Control(kIdAnalysisPercent) != nullptr);
    TraceLog(QStringLiteral("CreateControls CreateListCtrl"));
    m_layout->CreateListCtrl();
    ConnectPlayback();
    m_controlsCreated = true;
}

void CMovaraDlg::CreateDropBoxs()
{
    // The machine-wide play type and the speed unit stored by an earlier run.
    if (m_options.readPlayType)
        singlePlay = m_options.readPlayType() == EPlayType::Single ? 1 : 0;
    speedUnit = SettingsGetText(QString::fromLatin1(kSettingUnit)) == QLatin1String(kUnitMph) ? 1 : 0;
    // The six drop-down windows, the File and Settings menus under their buttons.
    QWidget* file = Control(kIdFile);
    QWidget* settings = Control(kIdSettings);
    auto box = [](const QWidget* w) {
        return w ? SkinRect{w->x(), w->y(), w->x() + w->width(), w->y() + w->height()} : SkinRect{};
    };
    m_menus->Create(box(file), box(settings), file, settings);
    m_menus->SetSpeedUnit(speedUnit);
    // The play-type rule of the card's model, applied once here; the card
    // state keeps it up to date afterwards.
    if (!g_deviceRecord.isEmpty())
        ApplyPlayTypeRule(IsDualStreamModel(DeviceModelName(g_deviceRecord)));
}
