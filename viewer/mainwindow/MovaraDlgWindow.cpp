// CMovaraDlg: keys and accelerators, commands, mouse, size, activation,
// timers and closing.
#include "mainwindow/MovaraDlg.h"

#include "mainwindow/CardController.h"
#include "mainwindow/CommandRouter.h"
#include "mainwindow/MenuBar.h"
#include "mainwindow/RecordingFiles.h"
#include "mainwindow/PlaybackCoordinator.h"
#include "mainwindow/WindowModes.h"
#include "engine/ITransport.h"
#include "skin/RListCtrl.h"
#include "windows/VideoMainWnd.h"
#include "catalogue/MemoryCard.h"
#include "settings/Settings.h"
#include "skin/RButton.h"
#include "skin/SkinBalloonTip.h" // completes the balloon pointer of the skinned buttons
#include "skin/SkinImage.h"
#include "base/TraceLog.h"

#include <QWheelEvent>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

using namespace MainWnd;

namespace {
// The accelerator table: key and modifiers -> accelerator id.
struct Accelerator {
    int key;
    Qt::KeyboardModifiers modifiers;
    int id;
};
const Accelerator kAccelerators[] = {
    {Qt::Key_O, Qt::ControlModifier, kAccelOpen},
    {Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier, kAccelSaveAs},
    {Qt::Key_Q, Qt::ControlModifier, kAccelExit},
    {Qt::Key_Space, Qt::NoModifier, kAccelPlayPause},
    {Qt::Key_Return, Qt::ControlModifier, kAccelFullScreen},
    {Qt::Key_Return, Qt::AltModifier, kAccelFullWindow},
    {Qt::Key_Delete, Qt::NoModifier, kAccelDelete},
    {Qt::Key_F1, Qt::NoModifier, kAccelHelp},
    {Qt::Key_Return, Qt::NoModifier, kAccelEnter},
    {Qt::Key_Up, Qt::NoModifier, kAccelUp},
    {Qt::Key_Down, Qt::NoModifier, kAccelDown},
    {Qt::Key_Return, Qt::ShiftModifier, kAccelShiftEnter},
};

int FindAccelerator(const QKeyEvent* e)
{
    const int key = e->key() == Qt::Key_Enter ? int(Qt::Key_Return) : e->key();
    const Qt::KeyboardModifiers mods =
        e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    for (const Accelerator& a : kAccelerators)
        if (a.key == key && a.modifiers == mods)
            return a.id;
    return 0;
}
} // namespace

// ---- Keys --------------------------------------------------------------------------------

// Every key press meant for this window or one of its children passes here
// first, as a message loop's pre-translation would: Escape is swallowed (the
// window never closes on it) and accelerators become commands.
bool CMovaraDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w == this || isAncestorOf(w)) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape)
                return true;
            if (accelerators) {
                if (const int id = FindAccelerator(key)) {
                    OnAccelerator(id);
                    return true;
                }
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CMovaraDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CMovaraDlg::reject()
{
    // Escape and other rejections never close the window; closing is
    // OnClose's business (close button, Alt+F4, Ctrl+Q, File > Exit).
}

void CMovaraDlg::OnAccelerator(int acceleratorId)
{
    m_router->OnAccelerator(acceleratorId);
}

// ---- Commands ----------------------------------------------------------------------------

void CMovaraDlg::OnCommand(int id)
{
    m_router->OnCommand(id);
}

void CMovaraDlg::HideDropPanels(int except)
{
    m_menus->HideDropPanels(except);
}

void CMovaraDlg::OpenDropPanel(int panelId)
{
    m_menus->OpenDropPanel(panelId);
}

QPoint CMovaraDlg::GetDropPanelAnchor(int panelId) const
{
    return m_menus->GetDropPanelAnchor(panelId);
}

// The menus' and panels' commands and values reach the window as the
// buttons' do.
void CMovaraDlg::ConnectMenus()
{
    connect(m_menus, &CMenuBar::Command, this, &CMovaraDlg::OnCommand);
    connect(m_menus, &CMenuBar::NotifyMessage, this, &CMovaraDlg::OnWindowMessage);
    m_menus->SetWindowModeSource([this] { return m_modes->WindowMode(); });
    // While expanded, the play-control panels open over the full-screen
    // control box (a top-level window: its geometry is on the screen).
    m_menus->SetControlBoxRectSource([this] {
        const CVideoMainWnd* front = FrontVideo();
        const QWidget* box = front ? front->ControlBox() : nullptr;
        return box ? box->geometry() : QRect();
    });
}

void CMovaraDlg::SetSpeedUnit(int unit)
{
    speedUnit = unit == 1 ? 1 : 0;
    const QString stem = speedUnit ? QStringLiteral("speed_mile") : QStringLiteral("speed_km");
    if (auto* button = qobject_cast<CRButton*>(Control(kIdUnit))) {
        const QString picture = stem + QStringLiteral(".png");
        button->SetImages(picture, picture, picture, &m_composer->WindowBackground(), stem + QStringLiteral("_dis.png"));
        button->Redraw();
    }
    m_menus->SetSpeedUnit(speedUnit);
    SettingsSetText(QString::fromLatin1(kSettingUnit), QString::fromLatin1(speedUnit ? kUnitMph : kUnitKmh));
    if (!SettingsSave())
        TraceLog(QStringLiteral("Kestrav : the settings file could not be saved"));
}

// Files named at start-up open one after the other as File > Open would.
void CMovaraDlg::OpenStartupFiles()
{
    for (const QString& path : std::as_const(m_options.openFiles))
        if (!m_files->OpenRecordingPath(path))
            TraceLogF("Kestrav : cannot open [%s]", path.toLocal8Bit().constData());
}

// ---- Mouse (the grip and drag rule is the window modes') -----------------------------------

void CMovaraDlg::mousePressEvent(QMouseEvent* event)
{
    m_modes->MousePress(*event);
    HideDropPanels(-1);
    QDialog::mousePressEvent(event);
}

void CMovaraDlg::mouseMoveEvent(QMouseEvent* event)
{
    m_modes->MouseMove(*event);
}

void CMovaraDlg::mouseReleaseEvent(QMouseEvent* event)
{
    m_modes->MouseRelease(*event);
    if (event->button() == Qt::RightButton)
        HideDropPanels(-1);
    QDialog::mouseReleaseEvent(event);
}

void CMovaraDlg::wheelEvent(QWheelEvent* event)
{
    // The wheel scrolls the list wherever it turns over the window.
    if (CRListCtrl* list = List())
        list->ScrollByWheel(event->angleDelta().y());
    event->accept();
}

// ---- Size, move, activation --------------------------------------------------------------

void CMovaraDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (!m_controlsCreated || isMinimized())
        return;
    previousClientRect = clientRect;
    clientRect = {0, 0, width(), height()};
    const int W = clientRect.Width();
    mapArea = {W - kMapAreaFromRight, kMapArea.top, W - kMapAreaRightGap, kMapArea.bottom};
    if (clientRect != previousClientRect) {
        ArrangeControls();
        RelayoutVideo();
        m_composer->SetDirty();
        update();
    }
}

void CMovaraDlg::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    if (!initDone)
        return;
    if (CVideoMainWnd* front = FrontVideo()) {
        front->PlaceZoomBars();
        m_transport->ReDrawVideo();
    }
}

void CMovaraDlg::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    // The desktop here has no global "drag full windows" setting to save and
    // restore; savedDragFullWindows keeps its value.
    TraceLog(isActiveWindow() ? QStringLiteral("Kestrav---->WA_ACTIVE") : QStringLiteral("Kestrav---->WA_INACTIVE"));
}

// ---- Timers -------------------------------------------------------------------------------

void CMovaraDlg::SetTimer(int id, int periodMs)
{
    QTimer* t = m_timers.value(id);
    if (!t) {
        t = new QTimer(this);
        connect(t, &QTimer::timeout, this, [this, id] { OnTimer(id); });
        m_timers.insert(id, t);
    }
    t->start(periodMs);
}

void CMovaraDlg::KillTimer(int id)
{
    if (QTimer* t = m_timers.value(id))
        t->stop();
}

bool CMovaraDlg::IsTimerActive(int id) const
{
    const QTimer* t = m_timers.value(id);
    return t && t->isActive();
}

void CMovaraDlg::OnTimer(int id)
{
    if (id == kTimerHideAnalysisMessage)
        OnHideAnalysisMessageTimer();
    else if (id == kTimerPlayPosition)
        UpdatePlayPosition();
}

// ---- Close --------------------------------------------------------------------------------

void CMovaraDlg::closeEvent(QCloseEvent* event)
{
    OnClose();
    setResult(QDialog::Rejected);
    event->accept();
}

void CMovaraDlg::OnClose()
{
    if (m_closed)
        return;
    m_closed = true;
    TraceLog(QStringLiteral("Kestrav :: <<<<<<<<<<<<<<<<OnClose>>>>>>>>>>>>>>>"));
    // A copy being saved stops (its temporary file goes) before the window does.
    m_files->CancelCopy();
    m_files->WaitForCopy();
    HideDropPanels(-1);
    // 2. The analysis must be over before anything it uses goes.
    m_card->StopAnalysis();
    for (QTimer* t : std::as_const(m_timers))
        t->stop();
    // 3. The window's cached surfaces and its composite.
    m_composer->Release();
    // 4. The device record.
    g_deviceRecord = QByteArray();
    // 5. The image service.
    CSkinImage::DestroyInstance();
    // 6. No desktop setting to restore (see changeEvent).
    // 7. The media-change registration.
    if (m_card->ShellNotifyId() != 0)
        m_card->StopWatchingMounts();
    // 8-9. The extraction lock and the fonts need no release.
}
