#include "catalogue/AnalysisThread.h"

#include "base/AutoResetEvent.h"
#include "catalogue/RecordingAnalyzer.h"
#include "base/TraceLog.h"

void AnalysisThreadBody(const AnalysisRun& run)
{
    using namespace Catalogue;
    std::shared_ptr<CRecordingAnalyzer> analyzer = GetAnalyzer();
    IAnalysisProgress* progress = run.progress;
    auto langText = [&run](const char* key) { return run.langText ? run.langText(key) : QString::fromLatin1(key); };
    auto finish = [&run] {
        run.fileParsingEvent->Set();
        run.analysisStop->store(1);
    };

    if (progress)
        progress->StopTimer(kTimerHideAnalysisMessage);
    run.fileParsingEvent->Reset();

    const size_t total = CatalogueSize(*run.catalogue);
    if (total == 0) {
        analyzer.reset();
        finish();
        return;
    }
    const bool percentShown = progress && progress->HasPercentText();
    const bool messageShown = progress && progress->HasMessageText();
    if (percentShown) {
        progress->SetPercentText(QStringLiteral("%1%").arg(0));
        progress->ShowPercentText(true);
    }
    if (messageShown) {
        progress->SetMessageText(langText(kTextAnalysing));
        progress->ShowMessageText(true);
    }

    bool stopped = false;
    int done = 0;
    int shownPercent = 0;
    for (CategoryMap& map : *run.catalogue) {
        for (auto& [key, entry] : map) {
            if (run.analysisStop->load() != 0) {
                stopped = true;
                break;
            }
            if (entry.textData.gsensorList.empty()) {
                TraceLog(QStringLiteral(">"));
                std::lock_guard<std::recursive_mutex> lock(g_analysisLock);
                if (TraceEnabled())
                    TraceLogF("Extract Text from [%s]", entry.path.toLocal8Bit().constData());
                // Extraction appends: a fresh object replaces what an earlier
                // run left (e.g. GPS fixes of a recording without G-sensor
                // samples), so a retry never doubles a series.
                CTextData extracted;
                try {
                    if (run.extract)
                        run.extract(entry.path, extracted);
                    else
                        analyzer->ExtractText(entry.path, extracted);
                } catch (...) {
                    TraceLogF("ExtractText Execption has occured [%s]", entry.path.toLocal8Bit().constData());
                }
                // The entry keeps its samples for the session: no spare room.
                extracted.gsensorList.shrink_to_fit();
                extracted.gpsList.shrink_to_fit();
                extracted.carInfoList.shrink_to_fit();
                entry.textData = std::move(extracted);
                TraceLog(QStringLiteral("<"));
            }
            ++done;
            const int percent = int(double(done) / double(total) * 100.0);
            // The text changes a hundred times at most: setting it again to
            // what it shows would only cost the GUI thread a wake-up.
            if (percentShown && percent != shownPercent) {
                progress->SetPercentText(QStringLiteral("%1%").arg(percent));
                shownPercent = percent;
            }
            TraceLogF("Thread ExtractText Movie List %d persent File Count (%d)", percent, done);
        }
        if (stopped)
            break;
    }
    analyzer.reset();

    if (stopped) {
        if (percentShown)
            progress->ShowPercentText(false);
        if (messageShown)
            progress->ShowMessageText(false);
    } else {
        if (messageShown)
            progress->SetMessageText(langText(kTextAnalysed));
        if (percentShown)
            progress->ShowPercentText(false);
        if (progress)
            progress->StartTimer(kTimerHideAnalysisMessage, kHideAnalysisMessageMs);
    }
    finish();
}

CAnalysisThread::~CAnalysisThread()
{
    Stop();
}

void CAnalysisThread::Start(const AnalysisRun& run)
{
    Join();
    m_run = run;
    m_run.analysisStop->store(0);
    m_finished.store(false);
    m_thread = std::thread([this] {
        AnalysisThreadBody(m_run);
        m_finished.store(true);
    });
}

void CAnalysisThread::Stop()
{
    if (m_run.analysisStop && m_run.analysisStop->load() == 0) {
        m_run.analysisStop->store(1);
        // The event ends the wait; a run that has already returned (its
        // signal taken by someone else) must not leave us waiting forever.
        while (!m_run.fileParsingEvent->Wait(50)) {
            if (m_finished.load())
                break;
        }
    }
    Join();
}

bool CAnalysisThread::IsRunning() const
{
    return m_run.analysisStop && m_run.analysisStop->load() == 0;
}

void CAnalysisThread::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}
