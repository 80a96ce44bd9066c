// CMovaraDlg: the memory card, the catalogue, the card state and the
// background analysis.
#include "mainwindow/MovaraDlg.h"

#include "mainwindow/AnalysisProgressPoster.h"
#include "base/AutoResetEvent.h"
#include "mainwindow/CatalogueView.h"
#include "lang/Lang.h"
#include "catalogue/MemoryCard.h"
#include "skin/RButton.h"
#include "platform/RemovableMedia.h"
#include "skin/SkinBalloonTip.h" // completes the balloon pointer of the skinned buttons
#include "skin/SkinImage.h"
#include "base/TraceLog.h"

#include <QFileInfo>

using namespace MainWnd;

namespace {
void EnableRange(const QMap<int, QWidget*>& controls, int first, int last, bool enable)
{
    for (int id = first; id <= last; ++id)
        if (QWidget* w = controls.value(id))
            w->setEnabled(enable);
}
} // namespace

// ---- Catalogue -------------------------------------------------------------------

int CMovaraDlg::InitMovieList(bool checkCard)
{
    if (checkCard && g_cardFound == 0) {
        SetCardState(false, false);
        return 0;
    }
    ScanCard(cardRoot, DeviceModelName(g_deviceRecord), m_catalogue);
    const int n = UpdateListButtons();
    if (n >= 0) {
        SelectListCategory(n);
        listCategory = n;
    }
    return 1;
}

int CMovaraDlg::UpdateListButtons()
{
    using namespace Catalogue;
    auto empty = [this](int c) { return m_catalogue[size_t(c)].empty(); };
    EnableRange(m_controls, kIdListNormal, kIdListParkShock, true);
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
            EnableRange(m_controls, r.id, r.id, false);

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
    auto empty = [this](int c) { return m_catalogue[size_t(c)].empty(); };
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
    // The playing mark and the pause on a category change join with playback.
}

void CMovaraDlg::SelectListCategory(int n)
{
    if (n < 0 || n >= Catalogue::kCategoryCount)
        return;
    if (m_catalogueView)
        m_catalogueView->DeleteAllItems();
    currentCategoryMap = &m_catalogue[size_t(n)];
    if (!m_catalogueView)
        return;
    for (const auto& [key, entry] : *currentCategoryMap)
        m_catalogueView->AddItem(key, 0, entry.path, entry.fileSize, entry.channelRole);
    m_catalogueView->Refresh();
    if (!currentCategoryMap->empty())
        m_catalogueView->SetFocusedByName(currentCategoryMap->begin()->first);
}

void CMovaraDlg::SetCardState(bool present, bool forceDual)
{
    if (!present) {
        if (m_catalogueView) {
            m_catalogueView->SetEmptyMode(true);
            m_catalogueView->DeleteAllItems();
        }
        StopPlaybackIfAny();
        for (int id = kIdListNormal; id <= kIdListPosition; ++id)
            if (auto* b = qobject_cast<CRButton*>(Control(id)))
                b->SetCheck(false);
        for (int id = kIdListRecNormal; id <= kIdListNameTitle; ++id)
            if (QWidget* w = Control(id))
                w->setVisible(id >= kIdListSizeTitle);
        EnableRange(m_controls, kIdListNormal, kIdListNameTitle, false);
        EnableRange(m_controls, kIdPlay, kIdContinuousPlay, false);
        EnableRange(m_controls, kIdFoldUp, kIdSwap, false);
        EnableRange(m_controls, kIdUnit, kIdUnit, false);
        EnableRange(m_controls, kIdSettings, kIdSettings, false);
        EnableRange(m_controls, kIdSpeedNumber, kIdSpeedNumber, false);
        ShowAnalysisTexts(false);
        playTypeLocked = 1;
        TraceLog(QStringLiteral("Kestrav----->NO SDCARD,,"));
        return;
    }
    if (m_catalogueView)
        m_catalogueView->SetEmptyMode(false);
    EnableRange(m_controls, kIdListSizeTitle, kIdListNameTitle, true);
    EnableRange(m_controls, kIdPlay, kIdContinuousPlay, true);
    EnableRange(m_controls, kIdFoldUp, kIdSwap, true);
    EnableRange(m_controls, kIdUnit, kIdUnit, true);
    EnableRange(m_controls, kIdSettings, kIdSettings, true);
    EnableRange(m_controls, kIdSpeedNumber, kIdSpeedNumber, true);
    if (continuousPlay == 1)
        if (auto* b = qobject_cast<CRButton*>(Control(kIdContinuousPlay)))
            b->SetCheck(true);
    EnableRange(m_controls, kIdZoomMenu, kIdSpeedPanel, false);
    const bool dual = g_deviceRecord.isEmpty() ? forceDual : IsDualStreamModel(DeviceModelName(g_deviceRecord));
    dualStreamMode = dual ? 1 : 0;
    playTypeLocked = dual ? 0 : 1;
    TraceLog(QStringLiteral("Kestrav----->SDCARD Insert"));
}

void CMovaraDlg::ShowAnalysisTexts(bool shown)
{
    for (int id : {kIdAnalysisMessage, kIdAnalysisPercent})
        if (QWidget* w = Control(id))
            w->setVisible(shown);
}

// ---- Card re-scan -------------------------------------------------------------------

void CMovaraDlg::OnDeviceChange()
{
    TraceLog(QStringLiteral("Kestrav---->Recv WM_DEVICECHANGE"));
    RescanCard();
}

void CMovaraDlg::OnMediaChanged()
{
    TraceLog(QStringLiteral("Kestrav---->Recv WM_USER_MEDIACHANGED"));
    RescanCard();
}

bool CMovaraDlg::CardInUseIsPresent() const
{
    return ListCardRoots().contains(g_cardRoot) && QFileInfo(g_cardRoot + kSetupFileName).isFile();
}

// Only the card in use is tracked until it goes: while it is present, other
// cards are ignored (and do not replace its record or root); once it has
// gone, a card that is still there is taken up.
void CMovaraDlg::RescanCard()
{
    const bool hadCard = !g_cardRoot.isEmpty();
    if (hadCard) {
        if (!CardInUseIsPresent()) {
            OnCardRemoved();
            TraceLog(QStringLiteral("Kestrav---->WM_DEVICECHANGE(SD OUT)"));
            if (FindBlackBoxDrive(cardRoot)) {
                OnCardInserted();
                TraceLog(QStringLiteral("Kestrav---->WM_DEVICECHANGE(SD IN)"));
            }
        }
    } else if (FindBlackBoxDrive(cardRoot)) {
        OnCardInserted();
        TraceLog(QStringLiteral("Kestrav---->WM_DEVICECHANGE(SD IN)"));
    }
    InvalidateArea(kAreaTitle);
}

void CMovaraDlg::OnCardInserted()
{
    StopPlaybackIfAny();
    SetCardState(false, false);
    // A run over the previous catalogue (files opened without a card) must
    // be over before the maps are rebuilt.
    StopAnalysis();
    InitMovieList(false);
    SetCardState(true, false);
    LoadBrandPicture();
    StartAnalysis();
    emit CardInserted();
}

void CMovaraDlg::OnCardRemoved()
{
    SetCardState(false, false);
    StopAnalysis();
    for (CategoryMap& m : m_catalogue)
        m.clear();
    currentCategoryMap = nullptr;
    g_cardRoot.clear();
    g_cardSizeGB = 0.0f;
    cardRoot.clear();
    g_deviceRecord = QByteArray();
    m_brandSurface.Release();
    emit CardRemoved();
}

void CMovaraDlg::LoadBrandPicture()
{
    // The card's own badge: the brand picture of its settings program.
    m_brandSurface.Release();
    if (g_deviceRecord.isEmpty())
        return;
    const QString program = SettingsProgramPath(g_cardRoot, g_deviceRecord);
    if (!program.isEmpty() && QFileInfo(program).isFile())
        CSkinImage::GetInstance()->LoadBrandImage(m_brandSurface, program);
}

void CMovaraDlg::StopPlaybackIfAny()
{
    // Playback joins with the playback engine; nothing plays yet.
}

// ---- Analysis thread ---------------------------------------------------------------------

void CMovaraDlg::StartAnalysis()
{
    if (!g_fileParsingEvent)
        return;
    AnalysisRun run;
    run.catalogue = &m_catalogue;
    run.analysisStop = &analysisStop;
    run.fileParsingEvent = g_fileParsingEvent.get();
    run.progress = m_progress.get();
    run.langText = [](const char* key) { return LangText(QString::fromLatin1(key)); };
    run.extract = m_options.extract;
    m_analysisThread.Start(run); // sets analysisStop to 0
}

void CMovaraDlg::StopAnalysis()
{
    m_analysisThread.Stop();
}

bool CMovaraDlg::IsAnalysisRunning() const
{
    return m_analysisThread.IsRunning();
}

void CMovaraDlg::OnStopAnalysis()
{
    analysisStop.store(1);
    KillTimer(kTimerHideAnalysisMessage);
}

void CMovaraDlg::OnHideAnalysisMessageTimer()
{
    KillTimer(kTimerHideAnalysisMessage);
    ShowAnalysisTexts(false);
}
