// The background analysis run: progress, the stop protocol, re-analysis.
#include "catalogue/AnalysisThread.h"
#include "base/AutoResetEvent.h"
#include "writers/MediaWriters.h"
#include "telemetry/Mp4Text.h"
#include "support/TraceCapture.h"

#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <mutex>
#include <thread>

namespace {
// Records what the run tells its window, in order.
class CProgressLog : public IAnalysisProgress
{
public:
    bool hasPercent = true;
    bool hasMessage = true;
    bool HasPercentText() const override { return hasPercent; }
    bool HasMessageText() const override { return hasMessage; }
    void SetPercentText(const QString& t) override { Add("percent " + t); }
    void ShowPercentText(bool s) override { Add(s ? "show percent" : "hide percent"); }
    void SetMessageText(const QString& t) override { Add("message " + t); }
    void ShowMessageText(bool s) override { Add(s ? "show message" : "hide message"); }
    void StopTimer(int id) override { Add(QStringLiteral("stop timer %1").arg(id)); }
    void StartTimer(int id, int ms) override { Add(QStringLiteral("start timer %1 %2").arg(id).arg(ms)); }
    QStringList Events() const
    {
        std::lock_guard<std::mutex> lock(m);
        return events;
    }

private:
    void Add(const QString& e)
    {
        std::lock_guard<std::mutex> lock(m);
        events << e;
    }
    mutable std::mutex m;
    QStringList events;
};

RecordingEntry Entry(const QString& path, bool analysed = false)
{
    RecordingEntry e;
    e.path = path;
    if (analysed)
        e.textData.gsensorList.emplace_back(1, 1, 1);
    return e;
}
} // namespace

class TestAnalysisThread : public QObject
{
    Q_OBJECT
private slots:
    void emptyCatalogueEndsAtOnce();
    void fullRun();
    void withoutProgressControls();
    void eachPercentReportedOnce();
    void stopDuringLongExtraction();
    void stopWhenFinishedDoesNotWait();
    void extractionErrorsDoNotStopTheRun();
    void cutReadsAndRetries();
};

void TestAnalysisThread::emptyCatalogueEndsAtOnce()
{
    CCatalogue catalogue;
    std::atomic<int> stop{0};
    CAutoResetEvent event;
    CProgressLog log;
    AnalysisRun run{&catalogue, &stop, &event, &log, {}, {}};
    CAnalysisThread thread;
    thread.Start(run);
    QVERIFY(event.Wait(5000));
    QTRY_COMPARE(stop.load(), 1);
    QCOMPARE(log.Events(), QStringList{"stop timer 104"});
}

void TestAnalysisThread::fullRun()
{
    CCatalogue catalogue;
    catalogue[0]["A"] = Entry("/a");
    catalogue[0]["B"] = Entry("/b", true); // already analysed: counted, not extracted
    catalogue[3]["C"] = Entry("/c");
    catalogue[5]["D"] = Entry("/nothing"); // yields no G-sensor sample: stays unanalysed
    std::atomic<int> stop{0};
    CAutoResetEvent event;
    CProgressLog log;
    QStringList extracted;
    AnalysisRun run{&catalogue, &stop, &event, &log,
                    [](const char* key) { return QStringLiteral("text:") + key; },
                    [&extracted](const QString& path, CTextData& data) {
                        extracted << path;
                        if (path != "/nothing")
                            data.gsensorList.emplace_back(7, 8, 9);
                    }};
    CTraceCapture trace;
    CAnalysisThread thread;
    thread.Start(run);
    QVERIFY(event.Wait(5000));
    QTRY_COMPARE(stop.load(), 1);
    thread.Stop(); // nothing to stop: returns at once

    QCOMPARE(extracted, (QStringList{"/a", "/c", "/nothing"}));
    QCOMPARE(catalogue[0]["A"].textData.gsensorList.size(), size_t(1));
    QCOMPARE(catalogue[0]["B"].textData.gsensorList.size(), size_t(1));
    QCOMPARE(log.Events(), (QStringList{"stop timer 104", "percent 0%", "show percent", "message text:IDS_STRING_K_088",
                                        "show message", "percent 25%", "percent 50%", "percent 75%", "percent 100%",
                                        "message text:IDS_STRING_K_089", "hide percent", "start timer 104 3000"}));
    QVERIFY(trace.Contains("Thread ExtractText Movie List 75 persent File Count (3)"));
    QVERIFY(trace.Contains("Extract Text from [/c]"));

    // The next run extracts only what is still unanalysed.
    extracted.clear();
    thread.Start(run);
    QVERIFY(event.Wait(5000));
    QTRY_COMPARE(stop.load(), 1);
    QCOMPARE(extracted, QStringList{"/nothing"});
}

void TestAnalysisThread::withoutProgressControls()
{
    CCatalogue catalogue;
    catalogue[1]["A"] = Entry("/a");
    std::atomic<int> stop{0};
    CAutoResetEvent event;
    CProgressLog log;
    log.hasPercent = false;
    log.hasMessage = false;
    AnalysisRun run{&catalogue, &stop, &event, &log, {}, [](const QString&, CTextData& d) { d.gsensorList.emplace_back(); }};
    CAnalysisThread thread;
    thread.Start(run);
    QVERIFY(event.Wait(5000));
    QCOMPARE(log.Events(), (QStringList{"stop timer 104", "start timer 104 3000"}));
}

void TestAnalysisThread::eachPercentReportedOnce()
{
    // 250 entries: the percent text goes 0%, 1%, ... 100%, each once and in
    // order; the trace still has a line per entry.
    CCatalogue catalogue;
    for (int i = 0; i < 250; ++i)
        catalogue[i % 5][QStringLiteral("R%1").arg(i, 3, 10, QLatin1Char('0'))] = Entry(QStringLiteral("/r%1").arg(i));
    std::atomic<int> stop{0};
    CAutoResetEvent event;
    CProgressLog log;
    AnalysisRun run{&catalogue, &stop, &event, &log, {}, [](const QString&, CTextData& d) { d.gsensorList.emplace_back(); }};
    CTraceCapture trace;
    CAnalysisThread thread;
    thread.Start(run);
    QVERIFY(event.Wait(10000));
    QStringList percents;
    for (const QString& e : log.Events())
        if (e.startsWith(QLatin1String("percent ")))
            percents << e;
    QStringList expected;
    for (int p = 0; p <= 100; ++p)
        expected << QStringLiteral("percent %1%").arg(p);
    QCOMPARE(percents, expected);
    QCOMPARE(trace.LinesStartingWith(QStringLiteral("Thread ExtractText Movie List ")).size(), 250);
    QVERIFY(trace.Contains(QStringLiteral("Thread ExtractText Movie List 0 persent File Count (2)")));
    QVERIFY(trace.Contains(QStringLiteral("Thread ExtractText Movie List 100 persent File Count (250)")));
}

void TestAnalysisThread::stopDuringLongExtraction()
{
    CCatalogue catalogue;
    for (int i = 0; i < 6; ++i)
        catalogue[0][QString::number(i)] = Entry(QStringLiteral("/slow%1").arg(i));
    std::atomic<int> stop{0};
    CAutoResetEvent event;
    CProgressLog log;
    std::atomic<int> started{0};
    AnalysisRun run{&catalogue, &stop, &event, &log, {}, [&started](const QString&, CTextData& d) {
                        ++started;
                        std::this_thread::sleep_for(std::chrono::milliseconds(300));
                        d.gsensorList.emplace_back();
                    }};
    CAnalysisThread thread;
    thread.Start(run);
    QTRY_COMPARE_WITH_TIMEOUT(started.load(), 1, 5000);
    QVERIFY(thread.IsRunning());
    thread.Stop(); // waits for the extraction under way, no more
    QCOMPARE(started.load(), 1);
    QCOMPARE(stop.load(), 1);
    QVERIFY(!thread.IsRunning());
    QCOMPARE(catalogue[0]["0"].textData.gsensorList.size(), size_t(1)); // finished, kept
    QVERIFY(catalogue[0]["1"].textData.gsensorList.empty());
    const QStringList events = log.Events();
    QCOMPARE(events.mid(events.size() - 2), (QStringList{"hide percent", "hide message"}));
    QVERIFY(!events.contains("start timer 104 3000"));
}

void TestAnalysisThread::stopWhenFinishedDoesNotWait()
{
    CCatalogue catalogue;
    catalogue[0]["A"] = Entry("/a");
    std::atomic<int> stop{0};
    CAutoResetEvent event;
    AnalysisRun run{&catalogue, &stop, &event, nullptr, {}, [](const QString&, CTextData&) {}};
    CAnalysisThread thread;
    thread.Start(run);
    QTRY_COMPARE(stop.load(), 1);
    thread.Stop();
    QVERIFY(event.IsSignalled()); // nobody consumed it: the run ended by itself
}

void TestAnalysisThread::extractionErrorsDoNotStopTheRun()
{
    CCatalogue catalogue;
    catalogue[0]["A"] = Entry("/throws");
    catalogue[0]["B"] = Entry("/fine");
    std::atomic<int> stop{0};
    CAutoResetEvent event;
    CTraceCapture trace;
    AnalysisRun run{&catalogue, &stop, &event, nullptr, {}, [](const QString& path, CTextData& d) {
                        d.gsensorList.emplace_back(1, 2, 3);
                        if (path == "/throws")
                            throw std::runtime_error("bad file");
                    }};
    CAnalysisThread thread;
    thread.Start(run);
    QVERIFY(event.Wait(5000));
    QVERIFY(trace.Contains("ExtractText Execption has occured [/throws]"));
    QCOMPARE(catalogue[0]["A"].textData.gsensorList.size(), size_t(1)); // keeps what was decoded
    QCOMPARE(catalogue[0]["B"].textData.gsensorList.size(), size_t(1));
}

void TestAnalysisThread::cutReadsAndRetries()
{
    // Two real recordings: one with G-sensor samples and fixes, one with
    // fixes only (never counts as analysed, so every run extracts it again).
    QTemporaryDir dir;
    QList<QByteArray> full, gpsOnly;
    for (int s = 0; s < 3; ++s) {
        const QByteArray rmc = "GPRMC,0130" + QByteArray::number(10 + s) + ".000,A,3733.4512,N,12658.7,E,030.5,090.0,210514";
        full << Mp4TextPacket("gsensori,1,256,10,20,30") << Mp4TextPacket(rmc);
        gpsOnly << Mp4TextPacket(rmc);
    }
    Mp4Options o;
    o.durationSec = 3;
    o.size = QSize(160, 90);
    o.textTracks = {full};
    QVERIFY(WriteTestMp4(dir.filePath("REC_2024_01_01_10_00_00_F.MP4"), o));
    o.textTracks = {gpsOnly};
    QVERIFY(WriteTestMp4(dir.filePath("REC_2024_01_01_11_00_00_F.MP4"), o));

    CCatalogue catalogue;
    catalogue[0]["A"] = Entry(dir.filePath("REC_2024_01_01_10_00_00_F.MP4"));
    catalogue[0]["B"] = Entry(dir.filePath("REC_2024_01_01_11_00_00_F.MP4"));
    std::atomic<int> stop{0};
    CAutoResetEvent event;
    CTraceCapture trace;

    // First run: every read hits its byte budget after the header.
    std::atomic<int> incomplete{0};
    AnalysisRun run{&catalogue, &stop, &event, nullptr, {}, [&incomplete](const QString& path, CTextData& d) {
                        CFileByteReader probe(path);
                        if (!Telemetry::IsMp4Recording(probe, path))
                            return;
                        Telemetry::CMp4ReadLimits limits;
                        limits.maxBytes = probe.BytesRead() + 4096;
                        CFileByteReader file(path);
                        if (Telemetry::ExtractMp4Text(file, path, d, limits) == Telemetry::EMp4Extract::Incomplete)
                            ++incomplete;
                    }};
    CAnalysisThread thread;
    thread.Start(run);
    QVERIFY(event.Wait(30000));
    QCOMPARE(incomplete.load(), 2);
    QVERIFY(catalogue[0]["A"].textData.IsEmpty());
    QVERIFY(catalogue[0]["B"].textData.IsEmpty());
    QCOMPARE(trace.LinesStartingWith("ExtractText: MP4 read incomplete, telemetry left empty").size(), 2);

    // The next runs, with the analyser's own extraction, read them whole; a
    // series is replaced on a retry, never doubled.
    run.extract = {};
    for (int i = 0; i < 2; ++i) {
        thread.Start(run);
        QVERIFY(event.Wait(30000));
        QCOMPARE(catalogue[0]["A"].textData.gsensorList.size(), size_t(3));
        QCOMPARE(catalogue[0]["A"].textData.gpsList.size(), size_t(3));
        QVERIFY(catalogue[0]["B"].textData.gsensorList.empty());
        QCOMPARE(catalogue[0]["B"].textData.gpsList.size(), size_t(3));
    }
}

QTEST_GUILESS_MAIN(TestAnalysisThread)
#include "tst_analysisthread.moc"
