#include "mainwindow/CardController.h"

#include "base/AutoResetEvent.h"
#include "base/TraceLog.h"
#include "catalogue/MemoryCard.h"
#include "lang/Lang.h"
#include "platform/RemovableMedia.h"

#include <QFileInfo>
#include <QMetaObject>

std::unique_ptr<CAutoResetEvent> g_fileParsingEvent;

CCardController::CCardController(Extraction extract, QObject* parent)
    : QObject(parent)
    , m_extract(std::move(extract))
{
}

CCardController::~CCardController()
{
    // The run reads the catalogue and reports through this object.
    StopAnalysis();
}

// ---- The card --------------------------------------------------------------------------

bool CCardController::FindCard()
{
    return FindBlackBoxDrive(m_cardRoot) != 0;
}

void CCardController::ScanCatalogue()
{
    ScanCard(m_cardRoot, DeviceModelName(g_deviceRecord), m_catalogue);
}

bool CCardController::CardInUseIsPresent() const
{
    return ListCardRoots().contains(g_cardRoot) && QFileInfo(g_cardRoot + kSetupFileName).isFile();
}

void CCardController::Rescan()
{
    const bool hadCard = !g_cardRoot.isEmpty();
    if (hadCard) {
        if (CardInUseIsPresent())
            return;
        DropCard();
        TraceLog(QStringLiteral("Kestrav---->WM_DEVICECHANGE(SD OUT)"));
    }
    if (FindCard()) {
        TakeCard();
        TraceLog(QStringLiteral("Kestrav---->WM_DEVICECHANGE(SD IN)"));
    }
}

void CCardController::DropCard()
{
    emit CardLeaving();
    StopAnalysis();
    for (CategoryMap& m : m_catalogue)
        m.clear();
    g_cardRoot.clear();
    g_cardSizeGB = 0.0f;
    m_cardRoot.clear();
    g_deviceRecord = QByteArray();
    emit CardRemoved();
}

void CCardController::TakeCard()
{
    emit CardLeaving();
    // A run over the previous catalogue (files opened without a card) must
    // be over before the maps are rebuilt.
    StopAnalysis();
    ScanCatalogue();
    emit CardInserted();
    StartAnalysis();
}

// ---- The mount-table watch ------------------------------------------------------------------

bool CCardController::WatchMounts()
{
    auto watcher = std::make_unique<CMountWatcher>();
    if (!watcher->IsWatching())
        return false;
    connect(watcher.get(), &CMountWatcher::Changed, this, &CCardController::MediaChanged);
    m_mountWatcher = std::move(watcher);
    return true;
}

void CCardController::StopWatchingMounts()
{
    m_mountWatcher.reset();
}

void CCardController::EditCatalogue(const std::function<void()>& edit)
{
    const bool wasRunning = m_analysisStop.load() == 0;
    if (wasRunning) {
        TraceLog(QStringLiteral("Kestrav : the analysis pauses while the catalogue changes"));
        StopAnalysis();
    }
    edit();
    if (wasRunning)
        StartAnalysis();
}

// ---- The analysis --------------------------------------------------------------------------

void CCardController::StartAnalysis()
{
    if (!g_fileParsingEvent)
        return;
    AnalysisRun run;
    run.catalogue = &m_catalogue;
    run.analysisStop = &m_analysisStop;
    run.fileParsingEvent = g_fileParsingEvent.get();
    run.progress = this;
    run.langText = [](const char* key) { return LangText(QString::fromLatin1(key)); };
    run.extract = m_extract;
    m_analysisThread.Start(run); // sets analysisStop to 0
}

void CCardController::StopAnalysis()
{
    m_analysisThread.Stop();
}

void CCardController::RequestAnalysisStop()
{
    m_analysisStop.store(1);
}

bool CCardController::IsAnalysisRunning() const
{
    return m_analysisThread.IsRunning();
}

void CCardController::SetProgressTexts(bool hasMessage, bool hasPercent)
{
    m_hasMessage.store(hasMessage);
    m_hasPercent.store(hasPercent);
}

void CCardController::Post(std::function<void()> report)
{
    m_reports.Post(std::move(report));
}

void CCardController::SetPercentText(const QString& text)
{
    Post([this, text] { emit AnalysisPercentText(text); });
}

void CCardController::ShowPercentText(bool shown)
{
    Post([this, shown] { emit AnalysisPercentShown(shown); });
}

void CCardController::SetMessageText(const QString& text)
{
    Post([this, text] { emit AnalysisMessageText(text); });
}

void CCardController::ShowMessageText(bool shown)
{
    Post([this, shown] { emit AnalysisMessageShown(shown); });
}

void CCardController::StopTimer(int timerId)
{
    Post([this, timerId] { emit AnalysisTimerStop(timerId); });
}

void CCardController::StartTimer(int timerId, int periodMs)
{
    Post([this, timerId, periodMs] { emit AnalysisTimerStart(timerId, periodMs); });
}
