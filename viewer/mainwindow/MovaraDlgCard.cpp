// CMovaraDlg: the list's categories, the card state and the window's side
// of a card change (the card itself is the card controller's).
#include "mainwindow/MovaraDlg.h"

#include "mainwindow/CardController.h"
#include "mainwindow/ControlLayout.h"
#include "mainwindow/MenuBar.h"
#include "mainwindow/RecordingFiles.h"
#include "mainwindow/WindowModes.h"
#include "mainwindow/PlaybackCoordinator.h"
#include "mainwindow/WindowModes.h"
#include "engine/ITransport.h"
#include "catalogue/MemoryCard.h"
#include "skin/RButton.h"
#include "skin/RListCtrl.h"
#include "windows/VideoMainWnd.h"
#include "skin/SkinBalloonTip.h" // completes the balloon pointer of the skinned buttons
#include "base/TraceLog.h"

using namespace MainWnd;

// ---- Catalogue -------------------------------------------------------------------

int CMovaraDlg::InitMovieList(bool checkCard)
{
    if (checkCard && g_cardFound == 0) {
        SetCardState(false, false);
        return 0;
    }
    m_card->ScanCatalogue();
    FillMovieList();
    return 1;
}

// The category buttons and the list for a freshly scanned catalogue.
void CMovaraDlg::FillMovieList()
{
    const int n = UpdateListButtons();
    if (n >= 0) {
        SelectListCategory(n);
        listCategory = n;
    } else if (CRListCtrl* list = List()) {
        // Nothing on the card: the list shows its hint.
        list->DeleteAllItems();
        list->SetEmptyMode(true);
        currentCategoryMap = nullptr;
    }
}

const CCatalogue& CMovaraDlg::Catalogue() const
{
    return m_card->Catalogue();
}

CCatalogue& CMovaraDlg::Catalogue()
{
    return m_card->Catalogue();
}

int CMovaraDlg::UpdateListButtons()
{
    using namespace Catalogue;
    auto empty = [this](int c) { return Catalogue()[size_t(c)].empty(); };
    m_layout->EnableRange(kIdListNormal, kIdListParkShock, true);
    for (int id = kIdListNormal; id <= kIdListPosition; ++id)
        if (auto* b = qobject_cast<CRButton*>(Control(id)))
            b->SetCheck(false);
    const struct {
        int id;
        bool disable;
    } rules[] = {
        {kIdListRecNormal, empty(kContinuous)},
        {kIdListNorShock, empty(kContinuousImpact)},
        {kIdListNormal, empty(kContinuous) && empty(kContinuousImpact)},
        {kIdListParkMotion, empty(kParkingMotion)},
        {kIdListParkShock, empty(kParkingImpact)},
        {kIdListParking, empty(kParkingMotion) && empty(kParkingImpact)},
        {kIdListManual, empty(kManual)},
        {kIdListPosition, empty(kSearchResult)},
    };
    for (const auto& r : rules)
        if (r.disable)
            m_layout->EnableRange(r.id, r.id, false);

    for (int c : {kContinuous, kContinuousImpact, kParkingMotion, kParkingImpact, kManual, kSearchResult}) {
        if (empty(c))
            continue;
        ShowListGroup(ListGroupButton(c));
        return c;
    }
    return -1;
}

int CMovaraDlg::ListGroupButton(int category)
{
    using namespace Catalogue;
    switch (category) {
    case kContinuous:
    case kContinuousImpact:
        return kIdListNormal;
    case kParkingMotion:
    case kParkingImpact:
        return kIdListParking;
    case kManual:
        return kIdListManual;
    default:
        return kIdListPosition;
    }
}

// Selects one tab and shows its second row: the sub-categories of the
// continuous and parking tabs, the column titles for the others.
void CMovaraDlg::ShowListGroup(int tabId)
{
    for (int id = kIdListNormal; id <= kIdListPosition; ++id)
        if (auto* b = qobject_cast<CRButton*>(Control(id)))
            b->SetCheck(id == tabId);
    const bool normal = tabId == kIdListNormal;
    const bool parking = tabId == kIdListParking;
    auto show = [this](int id, bool shown) {
        if (QWidget* w = Control(id))
            w->setVisible(shown);
    };
    show(kIdListRecNormal, normal);
    show(kIdListNorShock, normal);
    show(kIdListParkMotion, parking);
    show(kIdListParkShock, parking);
    show(kIdListSizeTitle, !normal && !parking);
    show(kIdListNameTitle, !normal && !parking);
}

void CMovaraDlg::ChooseListCategory(int category)
{
    if (listCategory != category)
        SelectListCategory(category);
    listCategory = category;
}

void CMovaraDlg::OnListCategoryCommand(int id)
{
    using namespace Catalogue;
    HideDropPanels(-1);
    auto empty = [this](int c) { return Catalogue()[size_t(c)].empty(); };
    const int before = listCategory;
    switch (id) {
    case kIdPlayList:
        TraceLog(QStringLiteral("BTN CLICK : ID_BTN_LIST_MAIN"));
        break;
    case kIdListNormal:
        TraceLog(QStringLiteral("BTN CLICK : ID_BTN_LIST_NORMAL"));
        ShowListGroup(kIdListNormal);
        ChooseListCategory(!empty(kContinuous) ? kContinuous : kContinuousImpact);
        break;
    case kIdListParking:
        TraceLog(QStringLiteral("BTN CLICK : ID_BTN_LIST_PARKING"));
        ShowListGroup(kIdListParking);
        ChooseListCategory(!empty(kParkingMotion) ? kParkingMotion : kParkingImpact);
        break;
    case kIdListManual:
        TraceLog(QStringLiteral("BTN CLICK : ID_BTN_LIST_MANUAL"));
        ShowListGroup(kIdListManual);
        ChooseListCategory(kManual);
        break;
    case kIdListPosition:
        TraceLog(QStringLiteral("BTN CLICK : ID_BTN_LIST_POSITION"));
        ShowListGroup(kIdListPosition);
        ChooseListCategory(kSearchResult);
        break;
    case kIdListRecNormal:
        TraceLog(QStringLiteral("BTN CLICK : ID_BTN_LIST_RECNORMAL"));
        ChooseListCategory(kContinuous);
        break;
    case kIdListNorShock:
        TraceLog(QStringLiteral("BTN CLICK : ID_BTN_LIST_NORSHOCK"));
        ChooseListCategory(kContinuousImpact);
        break;
    case kIdListParkMotion:
        TraceLog(QStringLiteral("BTN CLICK : ID_BTN_LIST_PARKMOTION"));
        ChooseListCategory(kParkingMotion);
        break;
    case kIdListParkShock:
        TraceLog(QStringLiteral("BTN CLICK : ID_BTN_LIST_PARKSHOCK"));
        ChooseListCategory(kParkingImpact);
        break;
    default:
        break;
    }
    if (CRListCtrl* list = List())
        list->SetPlayingByName(currentTitle);
    if (listCategory != before && m_transport->GetState() == STATE_PLAY)
        VideoPause();
}

void CMovaraDlg::SelectListCategory(int n)
{
    if (n < 0 || n >= Catalogue::kCategoryCount)
        return;
    CRListCtrl* list = List();
    if (list)
        list->DeleteAllItems();
    currentCategoryMap = &Catalogue()[size_t(n)];
    if (!list)
        return;
    for (const auto& [key, entry] : *currentCategoryMap)
        list->AddItem(key, 0, entry.path, qint64(entry.fileSize), entry.channelRole);
    list->Refresh();
    // An empty category shows the list's hint instead of rows.
    list->SetEmptyMode(currentCategoryMap->empty());
    if (!currentCategoryMap->empty())
        list->SetFocusedByName(currentCategoryMap->begin()->first);
}

void CMovaraDlg::SetCardState(bool present, bool forceDual)
{
    if (!present) {
        if (m_modes->WindowMode() == kModeExpanded)
            m_modes->ToggleExpand();
        if (CVideoMainWnd* front = FrontVideo()) {
            front->SetNoCardLook(true);
            front->SetContextMenuBlocked(true);
        }
        if (CRListCtrl* list = List()) {
            list->SetEmptyMode(true);
            list->DeleteAllItems();
        }
        StopPlaybackIfAny();
        for (int id = kIdListNormal; id <= kIdListPosition; ++id)
            if (auto* b = qobject_cast<CRButton*>(Control(id)))
                b->SetCheck(false);
        for (int id = kIdListRecNormal; id <= kIdListNameTitle; ++id)
            if (QWidget* w = Control(id))
                w->setVisible(id >= kIdListSizeTitle);
        m_layout->EnableRange(kIdListNormal, kIdListNameTitle, false);
        m_layout->EnableRange(kIdPlay, kIdContinuousPlay, false);
        m_layout->EnableRange(kIdFoldUp, kIdSwap, false);
        m_layout->EnableRange(kIdUnit, kIdUnit, false);
        m_layout->EnableRange(kIdSettings, kIdSettings, false);
        m_layout->EnableRange(kIdSpeedNumber, kIdSpeedNumber, false);
        ShowAnalysisTexts(false);
        // Without a card the entry is not offered; its mark still tells the play type.
        playTypeLocked = 1;
        m_menus->SetPlayTypeItem(false, singlePlay == 0);
        TraceLog(QStringLiteral("Kestrav----->NO SDCARD,,"));
        return;
    }
    if (CVideoMainWnd* front = FrontVideo()) {
        front->SetNoCardLook(false);
        front->SetContextMenuBlocked(false);
    }
    // The list leaves its empty mode unless the category it shows is empty.
    if (CRListCtrl* list = List())
        list->SetEmptyMode(!currentCategoryMap || currentCategoryMap->empty());
    m_layout->EnableRange(kIdListSizeTitle, kIdListNameTitle, true);
    m_layout->EnableRange(kIdPlay, kIdContinuousPlay, true);
    m_layout->EnableRange(kIdFoldUp, kIdSwap, true);
    m_layout->EnableRange(kIdUnit, kIdUnit, true);
    m_layout->EnableRange(kIdSettings, kIdSettings, true);
    m_layout->EnableRange(kIdSpeedNumber, kIdSpeedNumber, true);
    if (continuousPlay == 1)
        if (auto* b = qobject_cast<CRButton*>(Control(kIdContinuousPlay)))
            b->SetCheck(true);
    m_layout->EnableRange(kIdZoomMenu, kIdSpeedPanel, false);
    ApplyPlayTypeRule(g_deviceRecord.isEmpty() ? forceDual : IsDualStreamModel(DeviceModelName(g_deviceRecord)));
    TraceLog(QStringLiteral("Kestrav----->SDCARD Insert"));
}

// The play type is offered for front-and-rear recordings only.
void CMovaraDlg::ApplyPlayTypeRule(bool dual)
{
    dualStreamMode = dual ? 1 : 0;
    playTypeLocked = dual ? 0 : 1;
    UpdatePlayTypeItem();
}

void CMovaraDlg::UpdatePlayTypeItem()
{
    const bool offered = dualStreamMode == 1 && playTypeLocked == 0;
    m_menus->SetPlayTypeItem(offered, offered && singlePlay == 0);
}

// ---- Files (the file collaborator's) -------------------------------------------------------

void CMovaraDlg::OpenRecordingFile()
{
    m_files->OpenRecordingFile();
}

void CMovaraDlg::SaveRecordingAs()
{
    m_files->SaveRecordingAs();
}

void CMovaraDlg::DeleteFocusedRecording()
{
    m_files->DeleteFocusedRecording();
}

void CMovaraDlg::ShowAnalysisTexts(bool shown)
{
    for (int id : {kIdAnalysisMessage, kIdAnalysisPercent})
        if (QWidget* w = Control(id))
            w->setVisible(shown);
}

// ---- Card changes ---------------------------------------------------------------------

void CMovaraDlg::OnDeviceChange()
{
    TraceLog(QStringLiteral("Kestrav---->Recv WM_DEVICECHANGE"));
    m_card->Rescan();
    InvalidateArea(kAreaTitle);
}

void CMovaraDlg::OnMediaChanged()
{
    TraceLog(QStringLiteral("Kestrav---->Recv WM_USER_MEDIACHANGED"));
    m_card->Rescan();
    InvalidateArea(kAreaTitle);
}

// The catalogue is about to be emptied or rebuilt: nothing may play from it
// or list it any more.
void CMovaraDlg::OnCardLeaving()
{
    StopPlaybackIfAny();
    SetCardState(false, false);
}

void CMovaraDlg::OnCardInserted()
{
    FillMovieList();
    SetCardState(true, false);
    m_composer->LoadBrandPicture(g_cardRoot, g_deviceRecord);
    emit CardInserted();
}

void CMovaraDlg::OnCardRemoved()
{
    currentCategoryMap = nullptr;
    m_composer->ReleaseBrandPicture();
    emit CardRemoved();
}

void CMovaraDlg::StopPlaybackIfAny()
{
    if (m_transport && m_playback && m_transport->GetState() != STATE_STOP)
        VideoSTOP();
}

// ---- Analysis ------------------------------------------------------------------------------

bool CMovaraDlg::IsAnalysisRunning() const
{
    return m_card->IsAnalysisRunning();
}

CMountWatcher* CMovaraDlg::MountWatcher() const
{
    return m_card->MountWatcher();
}

void CMovaraDlg::OnStopAnalysis()
{
    m_card->RequestAnalysisStop();
    KillTimer(kTimerHideAnalysisMessage);
}

void CMovaraDlg::OnHideAnalysisMessageTimer()
{
    KillTimer(kTimerHideAnalysisMessage);
    ShowAnalysisTexts(false);
}
