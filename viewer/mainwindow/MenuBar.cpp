// The main window's drop-down menus and panels: creation, where they open,
// one open at a time.
#include "mainwindow/MenuBar.h"

#include "mainwindow/MainWindowIds.h"
#include "lang/Lang.h"
#include "skin/TDropBox.h"
#include "skin/TDropBriSpd.h"
#include "skin/TDropVol.h"

#include <QEvent>
#include <QWidget>

using namespace MainWnd;

namespace {
QString Text(const char* key)
{
    return LangText(QString::fromLatin1(key));
}
QString Name(const char* name)
{
    return QString::fromLatin1(name);
}
int MenuValue(const char* key)
{
    return LangMenuValue(QString::fromLatin1(key));
}
const DropPanelPlace* PlaceOf(int panelId)
{
    for (const DropPanelPlace& p : kDropPanelPlaces)
        if (p.panel == panelId)
            return &p;
    return nullptr;
}
// A press and the hide it caused come within the same dispatch.
constexpr qint64 kSamePressMs = 50;
} // namespace

CMenuBar::CMenuBar(QWidget* window)
    : QObject(window)
    , m_window(window)
{
    m_clock.start();
}

CTDropBox* CMenuBar::MakeMenu(const char* title, int width, int height, bool zoomLook)
{
    auto* menu = new CTDropBox(m_window);
    menu->setWindowTitle(Name(title));
    menu->resize(width, height);
    if (zoomLook) {
        menu->SetImages(Name(kPicZoomMenuBackground), Name(kPicMenuHeld), Name(kPicMenuHover));
        menu->SetTextColors(QColor::fromRgba(kColorZoomMenuText), QColor::fromRgba(kColorWhite));
    } else {
        menu->SetImages(Name(kPicMenuBackground), Name(kPicMenuHeld), Name(kPicMenuHover));
        menu->SetTextColors(QColor::fromRgba(kColorMenuText), QColor::fromRgba(kColorMenuTextHover));
    }
    menu->hide();
    menu->installEventFilter(this);
    connect(menu, &CTDropBox::Command, this, &CMenuBar::Command);
    return menu;
}

void CMenuBar::FitMenu(CTDropBox* menu)
{
    if (menu->Items().empty())
        return;
    const SkinRect content = menu->ContentRect();
    const int lastBottom = menu->Items().back().itemRect.bottom;
    if (lastBottom > content.bottom)
        menu->resize(menu->width(), menu->height() + lastBottom - content.bottom);
}

void CMenuBar::Create(const SkinRect& fileBox, const SkinRect& settingsBox, QWidget* fileButton,
                      QWidget* settingsButton)
{
    if (IsCreated())
        return;
    m_fileButton = fileButton;
    m_settingsButton = settingsButton;
    for (QWidget* b : {fileButton, settingsButton})
        if (b)
            b->installEventFilter(this);
    m_fileMenuAnchor = QPoint(fileBox.left - kMenuAnchorGap, fileBox.bottom + kMenuAnchorGap);
    m_settingsMenuAnchor = QPoint(settingsBox.left - kMenuAnchorGap, settingsBox.bottom + kMenuAnchorGap);

    m_fileMenu = MakeMenu(kTitleFileMenu, MenuValue(kKeyFileMenuWidth), MenuValue(kKeyFileMenuHeight), false);
    m_fileMenu->move(m_window->mapToGlobal(m_fileMenuAnchor));
    m_fileMenu->AddItem(Text(kTextOpen), Text(kTextOpenKeys), kCmdFileOpen);
    m_fileMenu->AddItem(Text(kTextSaveAs), Text(kTextSaveAsKeys), kCmdFileSaveAs);
    m_fileMenu->AddItem(Text(kTextExit), Text(kTextExitKeys), kCmdFileExit);
    FitMenu(m_fileMenu);

    // The speed unit as a sub-menu of the settings: the choice the unit
    // button toggles, with its check marks.
    m_unitMenu = MakeMenu(kTitleUnitMenu, MenuValue(kKeyUnitMenuWidth), MenuValue(kKeyUnitMenuHeight), false);
    m_unitMenu->SetCheckIcons(Name(kPicMenuCheck), Name(kPicMenuCheckOver));
    m_unitMenu->SetCheckColumn(true);
    m_unitMenu->AddItem(Text(kTextUnitKmh), QString(), kCmdUnitKmh);
    m_unitMenu->AddItem(Text(kTextUnitMph), QString(), kCmdUnitMph);
    FitMenu(m_unitMenu);

    m_settingsMenu =
        MakeMenu(kTitleSettingsMenu, MenuValue(kKeySettingsMenuWidth), MenuValue(kKeySettingsMenuHeight), false);
    m_settingsMenu->move(m_window->mapToGlobal(m_settingsMenuAnchor));
    m_settingsMenu->SetArrowIcons(Name(kPicMenuArrow), Name(kPicMenuArrowOver));
    m_settingsMenu->SetArrowColumn(true);
    m_settingsMenu->SetCheckIcons(Name(kPicMenuCheck), Name(kPicMenuCheckOver));
    m_settingsMenu->SetCheckColumn(true);
    m_settingsMenu->AddItem(Text(kTextSettingsProgram), QString(), kCmdSettingsProgram);
    m_settingsMenu->AddItem(Text(kTextDeviceInfo), QString(), kCmdDeviceInfo);
    m_settingsMenu->AddItem(Text(kTextPlayType), QString(), kCmdPlayType);
    m_settingsMenu->AddItem(Text(kTextUnits), QString(), 0, m_unitMenu);
    FitMenu(m_settingsMenu);

    const int H = m_window->height();
    const DropPanelPlace* zoom = PlaceOf(kPanelZoomMenu);
    m_zoomMenu = MakeMenu(kTitleZoomMenu, zoom->width, zoom->height, true);
    m_zoomMenu->move(m_window->mapToGlobal(QPoint(zoom->left, H - zoom->topFromBottom)));
    const DropPanelPlace* zoomed = PlaceOf(kPanelZoomMenuZoomed);
    m_zoomMenuZoomed = MakeMenu(kTitleZoomMenuZoomed, zoomed->width, zoomed->height, true);
    m_zoomMenuZoomed->move(m_window->mapToGlobal(QPoint(zoomed->left, H - zoomed->topFromBottom)));
    m_zoomMenuZoomed->AddItem(Text(kTextZoomOriginal), QString(), kCmdZoomOriginal);
    const struct {
        const char* text;
        int command;
    } steps[] = {{"x 0.5", kCmdZoom05}, {"x 1.0", kCmdZoom10}, {"x 1.5", kCmdZoom15}, {"x 2.0", kCmdZoom20}};
    for (const auto& s : steps) {
        m_zoomMenu->AddItem(Name(s.text), QString(), s.command);
        m_zoomMenuZoomed->AddItem(Name(s.text), QString(), s.command);
    }

    const DropPanelPlace* speed = PlaceOf(kPanelSpeed);
    m_speedPanel = new CTDropBriSpd(m_window);
    m_speedPanel->setWindowTitle(Name(kTitleSpeedPanel));
    m_speedPanel->setGeometry(QRect(m_window->mapToGlobal(QPoint(speed->left, H - speed->topFromBottom)),
                                    QSize(speed->width, speed->height)));
    m_speedPanel->hide();
    m_speedPanel->installEventFilter(this);
    connect(m_speedPanel, &CTDropBriSpd::NotifyMessage, this, &CMenuBar::NotifyMessage);
    connect(m_speedPanel, &CTDropBriSpd::Command, this, &CMenuBar::Command);

    const DropPanelPlace* volume = PlaceOf(kPanelVolume);
    m_volumePanel = new CTDropVol(m_window);
    m_volumePanel->setWindowTitle(Name(kTitleVolumePanel));
    m_volumePanel->setGeometry(QRect(m_window->mapToGlobal(QPoint(volume->left, H - volume->topFromBottom)),
                                     QSize(volume->width, volume->height)));
    m_volumePanel->hide();
    m_volumePanel->installEventFilter(this);
    connect(m_volumePanel, &CTDropVol::NotifyMessage, this, &CMenuBar::NotifyMessage);
}

CSkinDropWindow* CMenuBar::Panel(int panelId) const
{
    switch (panelId) {
    case kPanelFileMenu:
        return m_fileMenu;
    case kPanelSettingsMenu:
        return m_settingsMenu;
    case kPanelZoomMenu:
        return m_zoomMenu;
    case kPanelZoomMenuZoomed:
        return m_zoomMenuZoomed;
    case kPanelSpeed:
        return m_speedPanel;
    case kPanelVolume:
        return m_volumePanel;
    default:
        return nullptr;
    }
}

bool CMenuBar::IsOpen(int panelId) const
{
    const CSkinDropWindow* w = Panel(panelId);
    return w && w->isVisible();
}

void CMenuBar::HideDropPanels(int except)
{
    // Hides asked for here are not the menus' own (on losing activation).
    const bool wasHiding = m_hiding;
    m_hiding = true;
    for (int id : kDropPanels)
        if (id != except)
            if (CSkinDropWindow* w = Panel(id))
                w->hide();
    m_hiding = wasHiding;
}

QPoint CMenuBar::GetDropPanelAnchor(int panelId) const
{
    if (panelId == kPanelFileMenu)
        return m_window->mapToGlobal(m_fileMenuAnchor);
    if (panelId == kPanelSettingsMenu)
        return m_window->mapToGlobal(m_settingsMenuAnchor);
    const DropPanelPlace* place = PlaceOf(panelId);
    if (!place)
        return QPoint();
    const QRect box = m_controlBoxRect ? m_controlBoxRect() : QRect();
    if (m_windowMode && m_windowMode() == kModeExpanded && !box.isEmpty())
        return QPoint(box.left() + place->boxDx, box.top() + place->boxDy);
    const int dx = m_window->width() - kBaseWidth;
    return m_window->mapToGlobal(QPoint(dx + place->left, m_window->height() - place->topFromBottom));
}

void CMenuBar::OpenDropPanel(int panelId)
{
    if (!IsCreated())
        return;
    const QPoint at = GetDropPanelAnchor(panelId);
    switch (panelId) {
    case kPanelFileMenu:
    case kPanelSettingsMenu:
    case kPanelZoomMenu:
    case kPanelZoomMenuZoomed: {
        auto* menu = static_cast<CTDropBox*>(Panel(panelId));
        menu->ResetState();
        menu->ShowAt(at);
        break;
    }
    case kPanelSpeed: {
        const DropPanelPlace* place = PlaceOf(panelId);
        m_speedPanel->resize(place->width, place->height);
        m_speedPanel->RebuildPictures();
        m_speedPanel->ShowAt(at);
        break;
    }
    case kPanelVolume: {
        const DropPanelPlace* place = PlaceOf(panelId);
        m_volumePanel->resize(place->width, place->height);
        m_volumePanel->ShowAt(at);
        break;
    }
    default:
        return;
    }
    HideDropPanels(panelId);
}

void CMenuBar::ToggleMenu(int panelId)
{
    // The press on the menu's own button made the menu hide itself (it lost
    // activation) a moment before or after: that click closes the menu.
    const bool closedByThisClick = !IsOpen(panelId) && m_pressedAt.contains(panelId) &&
                                   m_hiddenAt.contains(panelId) &&
                                   qAbs(m_pressedAt.value(panelId) - m_hiddenAt.value(panelId)) <= kSamePressMs;
    m_pressedAt.remove(panelId);
    m_hiddenAt.remove(panelId);
    if (IsOpen(panelId) || closedByThisClick) {
        HideDropPanels(-1);
        return;
    }
    OpenDropPanel(panelId);
}

bool CMenuBar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Hide && !m_hiding) {
        if (watched == m_fileMenu)
            m_hiddenAt[kPanelFileMenu] = m_clock.elapsed();
        else if (watched == m_settingsMenu)
            m_hiddenAt[kPanelSettingsMenu] = m_clock.elapsed();
    } else if (event->type() == QEvent::MouseButtonPress) {
        if (watched == m_fileButton)
            m_pressedAt[kPanelFileMenu] = m_clock.elapsed();
        else if (watched == m_settingsButton)
            m_pressedAt[kPanelSettingsMenu] = m_clock.elapsed();
    }
    return QObject::eventFilter(watched, event);
}

void CMenuBar::SetPlayTypeItem(bool enabled, bool checked)
{
    if (!m_settingsMenu)
        return;
    m_settingsMenu->SetItemDisabled(kCmdPlayType, !enabled);
    m_settingsMenu->SetItemCheck(kCmdPlayType, checked);
}

void CMenuBar::SetSpeedUnit(int speedUnit)
{
    if (!m_unitMenu)
        return;
    m_unitMenu->SetItemCheck(kCmdUnitKmh, speedUnit == 0);
    m_unitMenu->SetItemCheck(kCmdUnitMph, speedUnit == 1);
}
