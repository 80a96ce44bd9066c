#pragma once

#include "base/PostQueue.h"
#include "catalogue/AnalysisThread.h"
#include "catalogue/RecordingEntry.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class CAutoResetEvent;
class CMountWatcher;
class CTextData;

// "EVENT_FILE_PARSING": created by the main window at start-up, signalled by
// the analysis thread when a run ends; lives as long as the main window.
// Without it no analysis run starts.
extern std::unique_ptr<CAutoResetEvent> g_fileParsingEvent;

// The memory card in use and what hangs off it: finding the card, the
// re-scan rule when the mount table changes, the catalogue (six category
// maps) built from the card, the mount-table watch, and the background
// analysis run over the catalogue with its stop protocol.
//
// Thread: lives on the GUI thread; every operation and every signal is on
// that thread. The analysis thread reports through this object, which
// re-emits each report on the GUI thread (queued, never waiting: the GUI
// thread may itself be waiting for the run to end); reports still queued
// when the controller is destroyed are dropped.
//
// Ownership: owns the catalogue, the analysis thread and the mount watcher.
// The card globals (g_cardRoot, g_deviceRecord, g_cardFound, g_cardSizeGB)
// are written only here, on the GUI thread.
//
// Card changes are reported in order, each signal delivered before the
// controller goes on (connect directly):
//   CardLeaving  - the catalogue is about to be emptied or rebuilt; users of
//                  its entries let go of them now (playback, the list);
//   CardRemoved  - the card in use is gone: catalogue and card globals empty;
//   CardInserted - a new card is in use and catalogued; its analysis starts
//                  right after the signal.
//
// Failures: a card that cannot be read counts as no card; the analysis
// leaves an entry without telemetry when its extraction fails.
class CCardController : public QObject, private IAnalysisProgress
{
    Q_OBJECT

public:
    // Telemetry extraction of the analysis runs; the analyser's when empty.
    using Extraction = std::function<void(const QString&, CTextData&)>;

    explicit CCardController(Extraction extract = {}, QObject* parent = nullptr);
    // Stops the analysis (waits for the run to end).
    ~CCardController() override;

    // ---- The card ------------------------------------------------------------------
    // Looks for the card among the card roots; true when one was found (the
    // card globals and CardRoot() are then set).
    bool FindCard();
    // Rebuilds the catalogue from the card in use. No analysis run may be going.
    void ScanCatalogue();
    // The re-scan rule: only the card in use is tracked until it goes; while
    // it is present other cards are ignored; once it has gone, a card that
    // is still there is taken up. Reports by the card signals.
    void Rescan();
    // Root of the card in use, ending in '/' (empty without a card).
    const QString& CardRoot() const { return m_cardRoot; }

    // ---- The mount-table watch -------------------------------------------------------
    // Starts watching the mount table (MediaChanged on every change); false
    // when the mount table cannot be watched.
    bool WatchMounts();
    void StopWatchingMounts();
    CMountWatcher* MountWatcher() const { return m_mountWatcher.get(); }
    // 1 while the watch is registered, else 0.
    unsigned ShellNotifyId() const { return m_mountWatcher ? 1u : 0u; }

    // ---- The catalogue ---------------------------------------------------------------
    CCatalogue& Catalogue() { return m_catalogue; }
    const CCatalogue& Catalogue() const { return m_catalogue; }

    // Runs `edit` (which adds to or erases from the catalogue's maps) while no
    // analysis run reads them: a run that may still be going is stopped first
    // (waiting for at most one extraction) and a new one started after the
    // edit, which goes on with the recordings still without telemetry.
    void EditCatalogue(const std::function<void()>& edit);

    // ---- The analysis ------------------------------------------------------------------
    // A new run over the catalogue (analysisStop becomes 0); nothing without
    // g_fileParsingEvent. Any previous run must be over.
    void StartAnalysis();
    // The stop rule: when a run may still be going, ask it to stop and wait
    // for "EVENT_FILE_PARSING" (at most one extraction long).
    void StopAnalysis();
    // Asks a run to stop without waiting for it.
    void RequestAnalysisStop();
    bool IsAnalysisRunning() const;
    // analysisStop: 0 while a run may go on, 1 when it ended or must stop.
    int AnalysisStop() const { return m_analysisStop.load(); }
    // Which progress texts the window shows (before a run starts); a run
    // reports only on those.
    void SetProgressTexts(bool hasMessage, bool hasPercent);

signals:
    void MediaChanged();
    void CardLeaving();
    void CardRemoved();
    void CardInserted();
    // The analysis run's reports, in the order it made them.
    void AnalysisMessageText(const QString& text);
    void AnalysisMessageShown(bool shown);
    void AnalysisPercentText(const QString& text);
    void AnalysisPercentShown(bool shown);
    void AnalysisTimerStart(int timerId, int periodMs);
    void AnalysisTimerStop(int timerId);

private:
    bool CardInUseIsPresent() const;
    void DropCard();
    void TakeCard();
    // Runs `report` on the GUI thread (queued).
    void Post(std::function<void()> report);

    // IAnalysisProgress: called on the analysis thread.
    bool HasPercentText() const override { return m_hasPercent.load(); }
    bool HasMessageText() const override { return m_hasMessage.load(); }
    void SetPercentText(const QString& text) override;
    void ShowPercentText(bool shown) override;
    void SetMessageText(const QString& text) override;
    void ShowMessageText(bool shown) override;
    void StopTimer(int timerId) override;
    void StartTimer(int timerId, int periodMs) override;

    Extraction m_extract;
    QString m_cardRoot;
    CCatalogue m_catalogue;
    std::atomic<int> m_analysisStop{1};
    std::atomic<bool> m_hasPercent{false};
    std::atomic<bool> m_hasMessage{false};
    std::unique_ptr<CMountWatcher> m_mountWatcher;
    CPostQueue m_reports; // the analysis run's reports, run on the GUI thread
    CAnalysisThread m_analysisThread; // last: stopped before the rest goes
};
