#include "mainwindow/WindowModes.h"

#include "base/TraceLog.h"
#include "catalogue/MemoryCard.h"
#include "catalogue/RecordingAnalyzer.h"
#include "engine/ITransport.h"
#include "lang/Lang.h"
#include "map/MapBridge.h"
#include "mainwindow/CardController.h"
#include "mainwindow/FullScreenOverlays.h"
#include "mainwindow/MainWindowIds.h"
#include "mainwindow/MovaraDlg.h"
#include "mainwindow/PlaybackCoordinator.h"
#include "mainwindow/TelemetryPresenter.h"
#include "platform/Platform.h"
#include "skin/RButton.h"
#include "skin/RStaticText.h"
#include "skin/SkinBalloonTip.h" // completes the balloon pointer of the skinned buttons
#include "windows/FullScrCaption.h"
#include "windows/FullScrControlBox.h"
#include "windows/VideoMainWnd.h"
#include "windows/VideoSubWnd.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

using namespace MainWnd;

namespace {
QString Text(const char* key)
{
    return LangText(QString::fromLatin1(key));
}

// Under Wayland a program cannot place its own windows: the window
// system's maximised state is asked for instead.
bool IsWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}
} // namespace

CWindowModes::CWindowModes(QWidget* window)
    : m_window(window)
    , m_windowMode(kModeNormal)
    , m_savedWindowMode(kModeNormal)
{
}

CWindowModes::CWindowModes(CMovaraDlg* window)
    : CWindowModes(static_cast<QWidget*>(window))
{
    m_dlg = window;
    // Closing the window while expanded first brings everything back.
    window->installEventFilter(this);
}

CWindowModes::~CWindowModes()
{
    if (!m_dlg)
        return;
    m_dlg->removeEventFilter(this);
    // A front window still on its own goes back to the main window, which
    // deletes it with its other children.
    if (CVideoMainWnd* front = m_dlg->FrontVideo(); front && front->isWindow())
        front->setParent(m_dlg, Qt::Widget);
    if (m_overlays)
        m_dlg->Playback().SetControlBox(nullptr);
}

bool CWindowModes::InGrip(const QPoint& clientPos) const
{
    const int w = m_window->width();
    const int h = m_window->height();
    return clientPos.x() >= w - kGripSize && clientPos.y() >= h - kGripSize && clientPos.x() < w && clientPos.y() < h;
}

// ---- The drag rule ----------------------------------------------------------------------

void CWindowModes::UpdateGripCursor(const QPoint& clientPos)
{
    if (InGrip(clientPos))
        m_window->setCursor(Qt::SizeFDiagCursor);
    else
        m_window->unsetCursor();
}

void CWindowModes::MousePress(const QMouseEvent& event)
{
    UpdateGripCursor(event.position().toPoint());
    if (event.button() != Qt::LeftButton)
        return;
    m_drag = DragKind::Armed;
    m_dragStartGlobal = event.globalPosition().toPoint();
    m_dragStartGeometry = m_window->geometry();
    m_dragFromGrip = InGrip(event.position().toPoint());
}

void CWindowModes::MouseMove(const QMouseEvent& event)
{
    UpdateGripCursor(event.position().toPoint());
    if (!(event.buttons() & Qt::LeftButton)) {
        m_drag = DragKind::None;
        return;
    }
    QWindow* handle = m_window->windowHandle();
    if (m_drag == DragKind::Armed) {
        if (m_dragFromGrip) {
            if (handle && handle->startSystemResize(Qt::RightEdge | Qt::BottomEdge))
                m_drag = DragKind::None;
            else
                m_drag = DragKind::Resize;
        } else if (m_windowMode == kModeNormal) {
            if (handle && handle->startSystemMove())
                m_drag = DragKind::None;
            else
                m_drag = DragKind::Move;
        } else {
            m_drag = DragKind::None;
        }
    }
    const QPoint delta = event.globalPosition().toPoint() - m_dragStartGlobal;
    if (m_drag == DragKind::Move) {
        m_window->move(m_dragStartGeometry.topLeft() + delta);
    } else if (m_drag == DragKind::Resize) {
        m_window->resize(std::max(m_window->minimumWidth(), m_dragStartGeometry.width() + delta.x()),
                         std::max(m_window->minimumHeight(), m_dragStartGeometry.height() + delta.y()));
    }
}

void CWindowModes::MouseRelease(const QMouseEvent&)
{
    m_drag = DragKind::None;
}

bool CWindowModes::eventFilter(QObject* watched, QEvent* event)
{
    if (m_dlg && watched == m_dlg && event->type() == QEvent::Close && m_windowMode == kModeExpanded)
        LeaveExpanded();
    // While expanded the main window is hidden: the keys typed on the front
    // window reach it (and its accelerators) as if typed there.
    if (m_dlg && m_windowMode == kModeExpanded && watched == m_dlg->FrontVideo()
        && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        auto* key = static_cast<QKeyEvent*>(event);
        QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat(),
                       ushort(key->count()));
        QCoreApplication::sendEvent(m_dlg, &copy);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// ---- Maximise and restore ------------------------------------------------------------------

void CWindowModes::SetMaximiseLook(bool restoreLook)
{
    auto* button = qobject_cast<CRButton*>(m_dlg->Control(kIdMaximise));
    if (!button)
        return;
    const auto& pics = restoreLook ? kPicRestore : kPicMaximise;
    button->SetImages(QString::fromLatin1(pics[0]), QString::fromLatin1(pics[1]), QString::fromLatin1(pics[2]),
                      &m_dlg->WindowBackground());
    button->Redraw();
}

void CWindowModes::Maximise()
{
    if (IsWayland()) {
        m_dlg->showMaximized();
        return;
    }
    if (!m_maximisedByHand)
        m_normalGeometry = m_dlg->geometry();
    if (QScreen* screen = NearestScreen(*m_dlg)) {
        m_maximisedByHand = true;
        m_dlg->setGeometry(screen->availableGeometry());
    }
}

void CWindowModes::Restore()
{
    if (m_dlg->isMaximized() || m_dlg->isMinimized())
        m_dlg->showNormal();
    if (m_maximisedByHand) {
        m_maximisedByHand = false;
        m_dlg->setGeometry(m_normalGeometry);
    }
}

void CWindowModes::ToggleMaximise()
{
    if (!m_dlg) {
        TraceLog(QStringLiteral("Kestrav : ToggleMaximise without a main window"));
        return;
    }
    if (m_windowMode != kModeNormal) {
        SetMaximiseLook(false);
        Restore();
        m_windowMode = kModeNormal;
    } else {
        SetMaximiseLook(true);
        Maximise();
        m_windowMode = kModeMaximised;
    }
}

void CWindowModes::FullWindow()
{
    if (!m_dlg) {
        TraceLog(QStringLiteral("Kestrav : FullWindow without a main window"));
        return;
    }
    switch (m_windowMode) {
    case kModeNormal: {
        SetMaximiseLook(true);
        Maximise();
        m_windowMode = kModeMaximised;
        const int state = m_dlg->Transport().GetState();
        if (state != STATE_PLAY && state != STATE_PAUSE)
            if (CVideoSubWnd* rear = m_dlg->RearVideo())
                rear->update();
        break;
    }
    case kModeExpanded:
        SetMaximiseLook(true);
        ToggleExpand();
        Maximise();
        m_windowMode = kModeMaximised;
        break;
    default:
        SetMaximiseLook(false);
        Restore();
        m_windowMode = kModeNormal;
        break;
    }
    if (CVideoMainWnd* front = m_dlg->FrontVideo())
        front->HideContextMenu();
}

// ---- The expanded mode ----------------------------------------------------------------------

int CWindowModes::NearestScreenIndex(const QRect& window, const QList<QRect>& screens)
{
    int best = -1;
    qint64 bestArea = 0;
    for (int i = 0; i < screens.size(); ++i) {
        const QRect common = screens[i].intersected(window);
        const qint64 area = common.isEmpty() ? 0 : qint64(common.width()) * common.height();
        if (area > bestArea) {
            bestArea = area;
            best = i;
        }
    }
    if (best >= 0)
        return best;
    // Off every monitor: the one closest to the window's centre.
    const QPoint c = window.center();
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    for (int i = 0; i < screens.size(); ++i) {
        const QRect& r = screens[i];
        const qint64 dx = std::max({qint64(r.left()) - c.x(), qint64(0), qint64(c.x()) - r.right()});
        const qint64 dy = std::max({qint64(r.top()) - c.y(), qint64(0), qint64(c.y()) - r.bottom()});
        const qint64 d = dx * dx + dy * dy;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

QScreen* CWindowModes::NearestScreen(const QWidget& window)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    QList<QRect> rects;
    for (const QScreen* s : screens)
        rects << s->geometry();
    const int i = NearestScreenIndex(window.frameGeometry(), rects);
    return i >= 0 ? screens[i] : QGuiApplication::primaryScreen();
}

void CWindowModes::EnsureOverlays()
{
    if (m_overlays)
        return;
    CVideoMainWnd* front = m_dlg->FrontVideo();
    if (!front)
        return;
    m_overlays = std::make_unique<CFullScreenOverlays>(*front, m_dlg->Transport());
    const QWidget* swap = m_dlg->Control(kIdSwap);
    const auto* volume = qobject_cast<const CSkinButton*>(m_dlg->Control(kIdVolume));
    m_overlays->Sync(swap && swap->isEnabled(), m_dlg->continuousPlay == 1,
                     volume ? volume->GetIconIndex()
                            : CPlaybackCoordinator::VolumeIconLevel(m_dlg->Transport().GetVolume()));
    m_dlg->Playback().SetControlBox(m_overlays.get());
}

CFullScrCaption* CWindowModes::Caption() const
{
    return m_overlays ? m_overlays->Caption() : nullptr;
}

CFullScrControlBox* CWindowModes::ControlBox() const
{
    return m_overlays ? m_overlays->ControlBox() : nullptr;
}

void CWindowModes::ToggleExpand()
{
    if (!m_dlg) {
        TraceLog(QStringLiteral("Kestrav : ToggleExpand without a main window"));
        return;
    }
    if (m_windowMode == kModeExpanded)
        LeaveExpanded();
    else
        EnterExpanded();
}

void CWindowModes::EnterExpanded()
{
    TraceLog(QStringLiteral("BTN CLICK : ID_BTN_EXPAND"));
    CVideoMainWnd* front = m_dlg->FrontVideo();
    if (!front)
        return;
    EnsureOverlays();
    if (CFullScrCaption* caption = Caption())
        caption->SetDevice(g_deviceRecord, g_cardRoot);
    QScreen* screen = NearestScreen(*m_dlg);
    QRect monitor = screen ? screen->geometry() : QRect();
    if (monitor.isEmpty()) {
        const QScreen* primary = QGuiApplication::primaryScreen();
        monitor = QRect(QPoint(0, 0), primary ? primary->size() : m_dlg->size());
    }
    // The front window becomes a frameless window of its own over the
    // monitor, on top of the others; the main window's title and icon go
    // with it for the task bar.
    front->setParent(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    front->setWindowTitle(m_dlg->windowTitle());
    front->setWindowIcon(m_dlg->windowIcon());
    front->installEventFilter(this);
    if (screen)
        front->setScreen(screen);
    // Placed over the monitor where the window system lets a program place
    // its windows, and in the full-screen state, which desktops keep above
    // their panels (and which alone places it under Wayland).
    front->setGeometry(monitor);
    front->showFullScreen();
    front->raise();
    front->activateWindow();
    // The overlays came up with the picture, under it: shown again, they
    // are on top.
    for (QWidget* overlay : {static_cast<QWidget*>(Caption()), static_cast<QWidget*>(ControlBox())})
        if (overlay && overlay->isVisible()) {
            overlay->hide();
            overlay->show();
        }
    m_dlg->Transport().ResetSize(false);
    // The button under the mouse sees it no more.
    if (QWidget* expand = m_dlg->Control(kIdExpand)) {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(expand, &leave);
    }
    // Hidden without ending the window's modal run (the dialog's own hide
    // would end it): the window's widget state alone changes.
    m_dlg->QWidget::setVisible(false);
    front->SetCaptionTitle(m_dlg->currentTitle);
    m_savedWindowMode = m_windowMode;
    m_windowMode = kModeExpanded;
}

void CWindowModes::LeaveExpanded()
{
    CVideoMainWnd* front = m_dlg->FrontVideo();
    if (front) {
        front->HideOverlays();
        front->removeEventFilter(this);
        if (front->isFullScreen())
            front->showNormal();
        front->setParent(m_dlg, Qt::Widget);
        front->setGeometry(m_dlg->frontVideoArea.ToQRect());
        front->lower(); // its place among the controls: the first created
        front->show();
        front->update();
    }
    // Shown first: the front window gets its new size (and hands it to the
    // transport) only once its parent shows.
    m_dlg->QWidget::setVisible(true);
    m_dlg->Transport().ResetSize(true);
    m_dlg->raise();
    m_dlg->activateWindow();
    m_windowMode = m_savedWindowMode;
}

// ---- The right column ----------------------------------------------------------------------

void CWindowModes::SetBalloon(int id, const char* key)
{
    if (auto* button = qobject_cast<CSkinButton*>(m_dlg->Control(id)))
        button->SetBalloonText(Text(key));
}

void CWindowModes::PlaceControl(int id, int left, int top, int width, int height)
{
    if (QWidget* w = m_dlg->Control(id))
        w->setGeometry(left, top, width, height);
}

void CWindowModes::ShowRearOrMap(bool showRear)
{
    if (!m_dlg) {
        TraceLogF("Kestrav : ShowRearOrMap(%d) without a main window", showRear ? 1 : 0);
        return;
    }
    const int W = m_dlg->width();
    const bool reverse = m_dlg->Transport().GetReverseMode();
    const int buttonLeft = W - kFoldButtonFromRight;
    const int labelLeft = W - kMapLabelFromRight;
    QRect repaint = m_dlg->rearVideoArea.ToQRect();
    if (showRear) {
        m_dlg->rearShown = 1;
        if (CVideoSubWnd* rear = m_dlg->RearVideo())
            rear->show();
        SetBalloon(kIdFoldDown, kTextOpenMap);
        SetBalloon(kIdFoldUp, reverse ? kTextCloseFrontVideo : kTextCloseRearVideo);
        PlaceControl(kIdFoldDown, buttonLeft, kFoldDownTopRear, kFoldButtonSize, kFoldButtonSize);
        PlaceControl(kIdFoldUp, buttonLeft, kFoldUpTopRear, kFoldButtonSize, kFoldButtonSize);
        PlaceControl(kIdLabelMap, labelLeft, kMapLabelTopRear, kMapLabelWidth, kMapLabelHeight);
        repaint.adjust(0, -kColumnRepaintAbove, 0, kColumnRepaintBelowRear);
        m_dlg->InvalidateArea(kAreaTitle); // marks the background dirty
        m_dlg->update(repaint);
        // The map and its placeholder make way for the rear picture.
        m_dlg->Presenter().ResetMapArea(false);
        if (QWidget* search = m_dlg->Control(kIdMapSearch))
            search->hide();
    } else {
        m_dlg->rearShown = 0;
        if (CVideoSubWnd* rear = m_dlg->RearVideo())
            rear->hide();
        SetBalloon(kIdFoldDown, reverse ? kTextOpenFrontVideo : kTextOpenRearVideo);
        SetBalloon(kIdFoldUp, kTextCloseMap);
        PlaceControl(kIdFoldDown, buttonLeft, kFoldDownTopMap, kFoldButtonSize, kFoldButtonSize);
        PlaceControl(kIdFoldUp, buttonLeft, kFoldUpTopMap, kFoldButtonSize, kFoldButtonSize);
        PlaceControl(kIdLabelMap, labelLeft, kMapLabelTopMap, kMapLabelWidth, kMapLabelHeight);
        m_dlg->mapArea = {W - kMapAreaFromRight, kMapArea.top, W - kMapAreaRightGap, kMapArea.bottom};
        repaint.adjust(0, -kColumnRepaintAbove, 0, kColumnRepaintBelowMap);
        m_dlg->InvalidateArea(kAreaTitle);
        m_dlg->update(repaint);
        m_dlg->Presenter().ResetMapArea(false);
        if (QWidget* search = m_dlg->Control(kIdMapSearch))
            search->show();
    }
}

// ---- Front/rear swap ----------------------------------------------------------------------

void CWindowModes::SetReverse(bool swap)
{
    if (!m_dlg) {
        TraceLogF("Kestrav : SetReverse(%d) without a main window", swap ? 1 : 0);
        return;
    }
    ITransport& transport = m_dlg->Transport();
    if (transport.GetVideoViewSize() != 1.0f)
        transport.SetVideoViewSize(1.0f);
    if (swap == transport.GetReverseMode())
        return;
    transport.SetReverseMode(swap);
    auto* left = qobject_cast<QLabel*>(m_dlg->Control(kIdLabelFront));
    auto* right = qobject_cast<QLabel*>(m_dlg->Control(kIdLabelRear));
    const QString front = Text(kTextFront);
    const QString rear = Text(kTextRear);
    if (left)
        left->setText(swap ? rear : front);
    if (right)
        right->setText(swap ? front : rear);
    if (m_dlg->rearShown)
        SetBalloon(kIdFoldUp, swap ? kTextCloseFrontVideo : kTextCloseRearVideo);
    else
        SetBalloon(kIdFoldDown, swap ? kTextOpenFrontVideo : kTextOpenRearVideo);
    if (left)
        left->update();
    if (right)
        right->update();
}

void CWindowModes::SwapTitles()
{
    if (!m_dlg) {
        TraceLog(QStringLiteral("Kestrav : SwapTitles without a main window"));
        return;
    }
    auto* main = qobject_cast<CRStaticText*>(m_dlg->Control(kIdMainTitle));
    auto* second = qobject_cast<CRStaticText*>(m_dlg->Control(kIdSecondTitle));
    if (!main || !second)
        return;
    const QString old = main->Text();
    main->SetText(second->Text());
    second->SetText(m_dlg->dualStreamMode == 1 && m_dlg->singlePlay == 1 ? QString() : old);
    m_dlg->currentTitle = main->Text();
    if (CVideoMainWnd* front = m_dlg->FrontVideo(); front && front->IsFullScreen())
        front->SetCaptionTitle(m_dlg->currentTitle);
}

// ---- Zoom ------------------------------------------------------------------------------------

float CWindowModes::NextZoom(float zoom, int direction)
{
    constexpr int n = int(std::size(kZoomSteps));
    for (int i = 0; i < n; ++i) {
        if (kZoomSteps[i] != zoom)
            continue;
        const int j = i + (direction > 0 ? 1 : -1);
        return j >= 0 && j < n ? kZoomSteps[j] : zoom;
    }
    return zoom;
}

void CWindowModes::ZoomStep(int direction)
{
    if (!m_dlg) {
        TraceLogF("Kestrav : ZoomStep(%d) without a main window", direction);
        return;
    }
    ITransport& transport = m_dlg->Transport();
    if (transport.GetState() == STATE_STOP || direction == 0)
        return;
    const float zoom = transport.GetVideoViewSize();
    const float next = NextZoom(zoom, direction);
    if (next != zoom)
        transport.SetVideoViewSize(next); // the transport reports 0x40E: the front window follows
}

// ---- Map search --------------------------------------------------------------------------------

double CWindowModes::ToDegreesMinutes(double degrees)
{
    const double whole = std::trunc(degrees);
    return whole * 100.0 + (degrees - whole) * 60.0;
}

bool CWindowModes::ParseExtent(const QString& extent, double* west, double* north, double* east, double* south)
{
    QList<double> values;
    for (const QString& field : extent.split(QLatin1Char(','))) {
        const QString f = field.trimmed();
        if (f.isEmpty())
            break; // the fields end at the first empty one
        bool ok = false;
        const double v = f.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return false;
        values << v;
    }
    if (values.size() < 4)
        return false;
    *west = ToDegreesMinutes(values[0]);
    *north = ToDegreesMinutes(values[1]);
    *east = ToDegreesMinutes(values[2]);
    *south = ToDegreesMinutes(values[3]);
    return true;
}

void CWindowModes::ShowCategoryFive()
{
    // The list shows the category afresh, also when it showed it already.
    if (m_dlg->listCategory == Catalogue::kSearchResult)
        m_dlg->SelectListCategory(Catalogue::kSearchResult);
}

void CWindowModes::MapSearch()
{
    if (!m_dlg) {
        TraceLog(QStringLiteral("Kestrav : MapSearch without a main window"));
        return;
    }
    CPlatform& platform = CPlatform::Instance();
    const QString caption = Text(kTextSearchCaption);
    if (m_dlg->Card().AnalysisStop() == 0) {
        platform.MessageBox(m_dlg, Text(kTextAnalysisNotFinished), caption, CPlatform::MB_OK);
        return;
    }
    TraceLog(QStringLiteral("BTN CLICK : ID_BTN_MAPSEARCH"));
    ITransport& transport = m_dlg->Transport();
    if (transport.GetState() == STATE_PLAY)
        m_dlg->VideoPause();

    CCatalogue& catalogue = m_dlg->Catalogue();
    CategoryMap& found = catalogue[Catalogue::kSearchResult];
    auto emptyFound = [&] {
        // A recording of the category that is still open goes first: its
        // telemetry lives in the entry about to go.
        const bool holdsOpen = std::any_of(found.begin(), found.end(), [this](const auto& item) {
            return &item.second.textData == m_dlg->currentTextData;
        });
        if (holdsOpen)
            m_dlg->VideoSTOP();
        found.clear();
    };
    auto nothingFound = [&] {
        platform.MessageBox(m_dlg, Text(kTextNothingFound), caption, CPlatform::MB_OK);
        if (QWidget* button = m_dlg->Control(kIdListPosition))
            button->setEnabled(false);
        ShowCategoryFive();
    };

    QString extent;
    if (m_dlg->trackDrawn == 1) {
        if (IMapBridge* map = m_dlg->Presenter().MapBridge())
            extent = map->ExecScriptGetValue(QString::fromLatin1(kScriptGetExtent));
    } else {
        emptyFound();
        nothingFound();
    }
    if (extent.isEmpty())
        return;
    double west = 0, north = 0, east = 0, south = 0;
    if (!ParseExtent(extent, &west, &north, &east, &south)) {
        TraceLogF("Kestrav : map extent not understood: %s", extent.toLocal8Bit().constData());
        return;
    }
    emptyFound();
    QStringList names;
    const auto analyzer = GetAnalyzer();
    for (int c = 0; c < Catalogue::kSearchResult; ++c)
        analyzer->SearchByArea(south, north, west, east, catalogue[size_t(c)], found, names);
    const int n = int(found.size());
    if (n > 0) {
        platform.MessageBox(m_dlg, Text(kTextFoundCount).replace(QLatin1String("%d"), QString::number(n)), caption,
                            CPlatform::MB_OK);
        if (QWidget* button = m_dlg->Control(kIdListPosition))
            button->setEnabled(true);
        ShowCategoryFive();
        m_dlg->OnCommand(kIdListPosition);
    } else {
        nothingFound();
    }
}

// ---- Navigation product ----------------------------------------------------------------------

void CWindowModes::OpenNavigationProduct()
{
    CPlatform::Instance().ShellOpen(QString::fromLatin1(kNavigationProductUrl));
}
