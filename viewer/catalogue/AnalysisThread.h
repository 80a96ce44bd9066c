#pragma once

#include "catalogue/RecordingEntry.h"

#include <QString>

#include <atomic>
#include <functional>
#include <thread>

class CAutoResetEvent;

// What the analysis thread tells its window. Called on the analysis thread:
// implementations post to the GUI thread and never touch widgets directly.
class IAnalysisProgress
{
public:
    virtual ~IAnalysisProgress() = default;
    virtual bool HasPercentText() const = 0;
    virtual bool HasMessageText() const = 0;
    virtual void SetPercentText(const QString& text) = 0;
    virtual void ShowPercentText(bool shown) = 0;
    virtual void SetMessageText(const QString& text) = 0;
    virtual void ShowMessageText(bool shown) = 0;
    virtual void StopTimer(int timerId) = 0;
    virtual void StartTimer(int timerId, int periodMs) = 0;
};

// Everything one analysis run works on. The catalogue is not locked: the
// window stops the run (analysisStop, then waits for the event) before it
// clears or rebuilds the maps; the run writes only the textData of the
// entry it is working on.
struct AnalysisRun {
    CCatalogue* catalogue = nullptr;
    std::atomic<int>* analysisStop = nullptr;
    CAutoResetEvent* fileParsingEvent = nullptr; // "EVENT_FILE_PARSING"
    IAnalysisProgress* progress = nullptr;
    // Looks up a text by key (the language table); the key itself when unset.
    std::function<QString(const char*)> langText;
    // Extraction; CRecordingAnalyzer::ExtractText when unset.
    std::function<void(const QString&, CTextData&)> extract;
};

// The thread body: extracts the telemetry of every entry not analysed yet,
// reports progress, signals the event and sets analysisStop to 1 at the end.
// The percent text is set when it changes ("0%" at the start, then at most
// once per percent), so a card of thousands of recordings posts about a
// hundred reports, not one per recording; the trace still has one line per
// entry.
void AnalysisThreadBody(const AnalysisRun& run);

// Runs AnalysisThreadBody on its own thread.
class CAnalysisThread
{
public:
    CAnalysisThread() = default;
    ~CAnalysisThread();
    CAnalysisThread(const CAnalysisThread&) = delete;
    CAnalysisThread& operator=(const CAnalysisThread&) = delete;

    // Sets analysisStop to 0 and starts a run (any previous run must be over).
    void Start(const AnalysisRun& run);
    // The stop protocol: when analysisStop is 0, set it to 1 and wait for the
    // event without a time limit (at most one extraction long).
    void Stop();
    bool IsRunning() const;

private:
    void Join();
    AnalysisRun m_run;
    std::thread m_thread;
    std::atomic<bool> m_finished{true};
};
