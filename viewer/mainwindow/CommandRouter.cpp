// The main window's command table.
#include "mainwindow/CommandRouter.h"

#include "mainwindow/MainWindowIds.h"
#include "mainwindow/MenuBar.h"
#include "mainwindow/MovaraDlg.h"
#include "mainwindow/PlaybackCoordinator.h"
#include "mainwindow/RecordingFiles.h"
#include "mainwindow/WindowModes.h"
#include "engine/ITransport.h"
#include "skin/RListCtrl.h"
#include "skin/TDropVol.h"
#include "windows/VideoMainWnd.h"
#include "base/TraceLog.h"

using namespace MainWnd;

namespace {
void Trace(const char* text)
{
    TraceLog(QString::fromLatin1(text));
}

// Commands that have an action of their own (the rest of the ranges only
// close the drop-down windows).
const int kActions[] = {
    kCmdClose, kCmdMinimise, kCmdMaximise, kCmdFile, kCmdSettings, kCmdFileOpen, kCmdFileSaveAs, kCmdFileExit,
    kCmdSettingsProgram, kCmdDeviceInfo, kCmdUnitKmh, kCmdUnitMph, kCmdPlayType, kCmdZoomOriginal, kCmdZoom05,
    kCmdZoom10, kCmdZoom15, kCmdZoom20, kCmdSpeedPanelReset, kCmdContextPlayPause, kCmdZoomIn, kCmdZoomOut,
    kCmdFullScreen, kCmdFullWindow, kCmdListPlayFocused, kCmdListDelete, kCmdListUp, kCmdListDown, kCmdListExportClip, kCmdContextExportClip, kIdPlay,
    kIdPause, kIdStop, kIdPrevious, kIdNext, kIdBack10, kIdForward10, kIdZoomMenu, kIdSpeedPanel, kIdSave,
    kIdVolume, kIdContinuousPlay, kIdPlayForce, kIdPlayList, kIdListNormal, kIdListParking, kIdListManual,
    kIdListPosition, kIdListRecNormal, kIdListNorShock, kIdListParkMotion, kIdListParkShock, kCmdFoldUp,
    kCmdFoldDown, kCmdExpand, kCmdSwap, kCmdMapSearch, kCmdFitArea, kCmdNavigationProduct, kCmdUnit,
};
} // namespace

CCommandRouter::CCommandRouter(CMovaraDlg& window)
    : m_window(window)
{
}

bool CCommandRouter::InCommandRanges(int id)
{
    for (const auto& r : kCommandRanges)
        if (id >= r[0] && id <= r[1])
            return true;
    return false;
}

QList<int> CCommandRouter::CommandsWithAction()
{
    return QList<int>(std::begin(kActions), std::end(kActions));
}

bool CCommandRouter::OnCommand(int id)
{
    if (!InCommandRanges(id))
        return false;
    ITransport& transport = m_window.Transport();
    CMenuBar& menus = m_window.Menus();
    CWindowModes& modes = m_window.Modes();
    CRListCtrl* list = m_window.List();

    // The window buttons open and close the menus themselves; every other
    // command first closes what is open.
    if (id > kCmdSettings)
        menus.HideDropPanels(-1);

    switch (id) {
    // ---- Window buttons ------------------------------------------------------------------
    case kCmdClose:
        Trace("BTN CLICK : ID_BTN_CLOSE");
        if (transport.GetState() == STATE_PLAY)
            m_window.VideoSTOP();
        m_window.close();
        break;
    case kCmdMinimise:
        Trace("BTN CLICK : ID_BTN_MIN");
        m_window.showMinimized();
        break;
    case kCmdMaximise:
        Trace("BTN CLICK : ID_BTN_MAX");
        modes.ToggleMaximise();
        break;
    case kCmdFile:
        Trace("BTN CLICK : ID_BTN_FILE");
        menus.ToggleMenu(kPanelFileMenu);
        break;
    case kCmdSettings:
        Trace("BTN CLICK : ID_BTN_SETTING");
        menus.ToggleMenu(kPanelSettingsMenu);
        break;

    // ---- File and Settings menus -------------------------------------------------------------
    case kCmdFileOpen:
        Trace("BTN CLICK : ID_BTN_FILE_OPEN");
        m_window.OpenRecordingFile();
        break;
    case kCmdFileSaveAs:
        Trace("BTN CLICK : ID_BTN_FILE_OTHER_SAVE");
        m_window.SaveRecordingAs();
        break;
    case kCmdFileExit:
        Trace("BTN CLICK : ID_BTN_FILE_CLOSE");
        m_window.close();
        break;
    case kCmdSettingsProgram:
        m_window.Files().RunSettingsProgram();
        break;
    case kCmdDeviceInfo:
        Trace("BTN CLICK : ID_BOX_SETTING_VIEW");
        m_window.Files().ShowDeviceInformation();
        break;
    case kCmdUnitKmh:
        m_window.SetSpeedUnit(0);
        break;
    case kCmdUnitMph:
        m_window.SetSpeedUnit(1);
        break;
    case kCmdUnit:
        // The unit button switches to the other unit.
        OnCommand(m_window.speedUnit == 0 ? kCmdUnitMph : kCmdUnitKmh);
        break;
    case kCmdPlayType:
        // Traced, refused unless offered, and its check mark kept, by the
        // play-type toggle itself.
        m_window.Playback().TogglePlayType();
        break;

    // ---- Picture ------------------------------------------------------------------------------
    case kCmdZoomOriginal:
    case kCmdZoom05:
    case kCmdZoom10:
    case kCmdZoom15:
    case kCmdZoom20:
    case kCmdSpeedPanelReset:
    case kCmdSwap:
    case kCmdFitArea:
        PictureCommand(id);
        break;

    // ---- Context menus --------------------------------------------------------------------
    case kCmdContextPlayPause:
    case kCmdZoomIn:
    case kCmdZoomOut:
    case kCmdFullScreen:
    case kCmdFullWindow:
        ContextCommand(id);
        break;
    case kCmdListPlayFocused:
        if (list) {
            list->PlayFocused();
            list->setFocus();
        }
        break;
    case kCmdListDelete:
        m_window.DeleteFocusedRecording();
        if (list)
            list->setFocus();
        break;
    case kCmdListExportClip:
        Trace("BTN CLICK : ID_LIST_CONTEXT_EXPORT");
        m_window.Files().ExportClip(CRecordingFiles::ExportSource::Focused);
        break;
    case kCmdContextExportClip:
        Trace("BTN CLICK : ID_BOX_CONTEXT_EXPORT");
        if (CVideoMainWnd* front = m_window.FrontVideo())
            front->HideContextMenu();
        m_window.Files().ExportClip(CRecordingFiles::ExportSource::Playing);
        break;
    case kCmdHelp:
        break;
    case kCmdListUp:
        if (list)
            list->FocusPrev();
        break;
    case kCmdListDown:
        if (list)
            list->FocusNext();
        break;

    // ---- Play controls ------------------------------------------------------------------------
    case kIdPlay:
    case kIdPause:
    case kIdStop:
    case kIdPrevious:
    case kIdNext:
    case kIdBack10:
    case kIdForward10:
    case kIdContinuousPlay:
    case kIdPlayForce:
        m_window.OnControlBoxBtnClicked(id);
        break;
    case kIdZoomMenu:
        Trace("BTN CLICK : ID_BTN_SIZE ");
        menus.OpenDropPanel(transport.GetVideoViewSize() == 1.0f ? kPanelZoomMenu : kPanelZoomMenuZoomed);
        break;
    case kIdSpeedPanel:
        Trace("BTN CLICK : ID_BTN_SETTING ");
        menus.OpenDropPanel(kPanelSpeed);
        break;
    case kIdSave:
        Trace("BTN CLICK : ID_BTN_SAVE ");
        m_window.SaveRecordingAs();
        break;
    case kIdVolume:
        Trace("BTN CLICK : ID_BTN_VOLUME ");
        if (CTDropVol* volume = menus.VolumePanel())
            volume->SetVolume(transport.GetVolume());
        menus.OpenDropPanel(kPanelVolume);
        break;

    // ---- Play list categories ---------------------------------------------------------------
    case kIdPlayList:
    case kIdListNormal:
    case kIdListParking:
    case kIdListManual:
    case kIdListPosition:
    case kIdListRecNormal:
    case kIdListNorShock:
    case kIdListParkMotion:
    case kIdListParkShock:
        m_window.OnListCategoryCommand(id);
        break;

    // ---- Right column, window modes, map ------------------------------------------------------
    case kCmdFoldUp:
    case kCmdFoldDown:
        FoldCommand(id);
        break;
    case kCmdExpand:
        if (CVideoMainWnd* front = m_window.FrontVideo())
            front->HideContextMenu();
        modes.ToggleExpand(); // traces "BTN CLICK : ID_BTN_EXPAND" when it enters the mode
        if (transport.GetState() != STATE_STOP)
            m_window.ShowCurrentTime();
        m_window.UpdateFrontRearLabels();
        break;
    case kCmdMapSearch:
        modes.MapSearch(); // traces after its first check
        break;
    case kCmdNavigationProduct:
        Trace("BTN CLICK : ID_BTN_ORVIA");
        modes.OpenNavigationProduct();
        break;
    default:
        break; // within the ranges, without an action
    }
    return true;
}

// Picture commands: traced always, acting only while a recording is open.
void CCommandRouter::PictureCommand(int id)
{
    ITransport& transport = m_window.Transport();
    struct ZoomStep {
        int id;
        const char* trace;
        float zoom;
    };
    static const ZoomStep zooms[] = {
        {kCmdZoomOriginal, "BTN CLICK : SCRSIZE_00", 1.0f}, {kCmdZoom05, "BTN CLICK : SCRSIZE_01", 0.5f},
        {kCmdZoom10, "BTN CLICK : SCRSIZE_02", 1.0f},       {kCmdZoom15, "BTN CLICK : SCRSIZE_03", 1.5f},
        {kCmdZoom20, "BTN CLICK : SCRSIZE_04", 2.0f},
    };
    for (const ZoomStep& z : zooms) {
        if (z.id != id)
            continue;
        Trace(z.trace);
        if (transport.GetState() != STATE_STOP)
            transport.SetVideoViewSize(z.zoom);
        return;
    }
    const bool open = transport.GetState() != STATE_STOP;
    switch (id) {
    case kCmdSpeedPanelReset:
        Trace("BTN CLICK : ID_BOX_SCRSETTING_INIT");
        if (open) {
            transport.SetBrightness(50);
            transport.SetVideoSpeed(1.0f);
        }
        break;
    case kCmdSwap:
        Trace("BTN CLICK : ID_BTN_CHANGE");
        if (open) {
            m_window.Modes().SetReverse(!transport.GetReverseMode());
            m_window.Modes().SwapTitles();
            if (CVideoMainWnd* front = m_window.FrontVideo(); front && front->IsFullScreen())
                front->SetCaptionTitle(m_window.currentTitle);
        }
        break;
    case kCmdFitArea:
        Trace("BTN CLICK : ID_BTN_FITAREA");
        if (open) {
            transport.SetVideoViewSize(1.0f);
            if (CVideoMainWnd* front = m_window.FrontVideo())
                front->ResetZoom();
        }
        break;
    default:
        break;
    }
}

// The front picture's context menu (and its keys): nothing, not even the
// trace, while the play list is in its empty mode (no card, no opened file).
void CCommandRouter::ContextCommand(int id)
{
    const CRListCtrl* list = m_window.List();
    if (!list || list->IsEmptyMode())
        return;
    ITransport& transport = m_window.Transport();
    CVideoMainWnd* front = m_window.FrontVideo();
    auto hideMenu = [front] {
        if (front)
            front->HideContextMenu();
    };
    switch (id) {
    case kCmdContextPlayPause:
        Trace("BTN CLICK : ID_BOX_CONTEXT_PLAY");
        hideMenu();
        if (transport.GetState() == STATE_PAUSE)
            m_window.VideoPlay(false);
        else
            m_window.VideoPause();
        break;
    case kCmdZoomIn:
    case kCmdZoomOut:
        Trace(id == kCmdZoomIn ? "BTN CLICK : ID_BOX_CONTEXT_BIG" : "BTN CLICK : ID_BOX_CONTEXT_SMALL");
        hideMenu();
        if (transport.GetState() != STATE_STOP)
            m_window.Modes().ZoomStep(id == kCmdZoomIn ? 1 : -1);
        break;
    case kCmdFullScreen:
        Trace("BTN CLICK : ID_BOX_CONTEXT_FULLSCR");
        hideMenu();
        m_window.Modes().ToggleExpand();
        m_window.ShowCurrentTime();
        m_window.UpdateFrontRearLabels();
        break;
    case kCmdFullWindow:
        Trace("BTN CLICK : ID_BOX_CONTEXT_FULLWIN");
        m_window.Modes().FullWindow();
        hideMenu();
        break;
    default:
        break;
    }
}

void CCommandRouter::FoldCommand(int id)
{
    if (id == kCmdFoldUp)
        Trace("BTN CLICK : ID_BTN_FOLUP");
    Trace("BTN CLICK : ID_BTN_FOLDN");
    m_window.Modes().ShowRearOrMap(m_window.rearShown == 0);
}

void CCommandRouter::OnAccelerator(int acceleratorId)
{
    switch (acceleratorId) {
    case kAccelOpen:
        OnCommand(kCmdFileOpen);
        break;
    case kAccelSaveAs:
        OnCommand(kCmdFileSaveAs);
        break;
    case kAccelExit:
        m_window.close();
        break;
    case kAccelPlayPause:
        OnCommand(m_window.Transport().GetState() == STATE_PLAY ? kCmdPause : kCmdPlay);
        break;
    case kAccelFullScreen:
        TraceLog(QStringLiteral("Kestrav : OnFullscr"));
        OnCommand(kCmdFullScreen);
        break;
    case kAccelFullWindow:
        TraceLog(QStringLiteral("Kestrav : OnFullwnd"));
        OnCommand(kCmdFullWindow);
        break;
    case kAccelDelete:
        OnCommand(kCmdListDelete);
        break;
    case kAccelHelp:
        OnCommand(kCmdHelp);
        break;
    case kAccelEnter:
        OnCommand(kCmdListPlayFocused);
        break;
    case kAccelUp:
        OnCommand(kCmdListUp);
        break;
    case kAccelDown:
        OnCommand(kCmdListDown);
        break;
    default:
        break; // Shift+Enter: no handler
    }
}
