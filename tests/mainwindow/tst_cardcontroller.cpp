// The card controller on its own, without a window: the re-scan rule and
// what its card signals may rely on, the mount-table watch, the analysis
// reports (in order, on the GUI thread, only for the texts the window has),
// the stop that does not wait, and the destruction that does.
#include "CardFixture.h"
#include "base/AutoResetEvent.h"
#include "catalogue/CatalogueIds.h"
#include "catalogue/MemoryCard.h"
#include "lang/Lang.h"
#include "mainwindow/CardController.h"
#include "mainwindow/MainWindowIds.h"
#include "platform/RemovableMedia.h"
#include "telemetry/TextData.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {
QString Root(const QString& dir)
{
    return QDir::cleanPath(dir) + QLatin1Char('/');
}

QString Text(const char* key)
{
    return LangText(QString::fromLatin1(key));
}

// What a listener saw at each card signal.
struct CardEvent {
    QString signal;
    size_t catalogueSize = 0;
    bool analysisRunning = false;
    QString cardRoot;
    QString model;
};

// Records the card signals with what the catalogue and the globals were then.
void RecordCardEvents(CCardController& card, QObject* context, QList<CardEvent>& events)
{
    auto record = [&card, &events](const char* name) {
        events.append({QString::fromLatin1(name), CatalogueSize(card.Catalogue()), card.IsAnalysisRunning(), g_cardRoot,
                        DeviceModelName(g_deviceRecord)});
    };
    QObject::connect(&card, &CCardController::CardLeaving, context, [record] { record("leaving"); });
    QObject::connect(&card, &CCardController::CardRemoved, context, [record] { record("removed"); });
    QObject::connect(&card, &CCardController::CardInserted, context, [record] { record("inserted"); });
}

QStringList Names(const QList<CardEvent>& events)
{
    QStringList names;
    for (const CardEvent& e : events)
        names << e.signal;
    return names;
}

// Records the analysis reports as text, and whether each came on the GUI thread.
struct ReportLog : QObject {
    QStringList reports;
    bool allOnGuiThread = true;

    void Listen(CCardController& card)
    {
        auto add = [this](const QString& r) {
            allOnGuiThread &= QThread::currentThread() == thread();
            reports << r;
        };
        connect(&card, &CCardController::AnalysisMessageText, this, [add](const QString& t) { add("message " + t); });
        connect(&card, &CCardController::AnalysisPercentText, this, [add](const QString& t) { add("percent " + t); });
        connect(&card, &CCardController::AnalysisMessageShown, this,
                [add](bool v) { add(v ? "message shown" : "message hidden"); });
        connect(&card, &CCardController::AnalysisPercentShown, this,
                [add](bool v) { add(v ? "percent shown" : "percent hidden"); });
        connect(&card, &CCardController::AnalysisTimerStart, this,
                [add](int id, int ms) { add(QStringLiteral("timer %1 start %2").arg(id).arg(ms)); });
        connect(&card, &CCardController::AnalysisTimerStop, this,
                [add](int id) { add(QStringLiteral("timer %1 stop").arg(id)); });
    }
};
} // namespace

class TestCardController : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_cardA;
    QString m_cardB;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(SelectLanguage(QStringLiteral("korean")));
    }
    void init()
    {
        g_deviceRecord = QByteArray();
        g_cardRoot.clear();
        g_cardFound = 0;
        g_cardSizeGB = 0.0f;
        g_fileParsingEvent = std::make_unique<CAutoResetEvent>();
        static int n = 0;
        ++n;
        m_cardA = m_dir.filePath(QStringLiteral("a%1").arg(n));
        m_cardB = m_dir.filePath(QStringLiteral("b%1").arg(n));
        QVERIFY(QDir().mkpath(m_cardA));
        QVERIFY(QDir().mkpath(m_cardB));
        qputenv("KESTRAV_CARD_ROOTS", (m_cardA + QLatin1Char(':') + m_cardB).toLocal8Bit());
    }
    void cleanupTestCase()
    {
        qunsetenv("KESTRAV_CARD_ROOTS");
        g_fileParsingEvent.reset();
    }

    void cardComesAndGoes();
    void analysisReports_data();
    void analysisReports();
    void destructionWaitsForTheRun();
};

// Mount-table changes drive the re-scan as the window connects them: a card
// is taken up, kept while present (another card is ignored), and on removal
// replaced by one still there. Each signal sees a consistent state.
void TestCardController::cardComesAndGoes()
{
    FakeExtraction fake;
    CCardController card(fake.Fn());
    QList<CardEvent> events;
    QObject context;
    RecordCardEvents(card, &context, events);
    QVERIFY(!card.FindCard());
    QVERIFY(card.CardRoot().isEmpty());
    QVERIFY(card.WatchMounts());
    QCOMPARE(card.ShellNotifyId(), 1u);
    QObject::connect(&card, &CCardController::MediaChanged, &card, &CCardController::Rescan);
    auto mountsChanged = [&card] { emit card.MountWatcher()->Changed(); };

    mountsChanged(); // nothing there yet
    QVERIFY(events.isEmpty());

    // Inserted: read, catalogued, analysed (the analysis starts after the signal).
    QVERIFY(WriteCard(m_cardA, "ARX330", ThreeRecordings()));
    mountsChanged();
    QCOMPARE(Names(events), (QStringList{"leaving", "inserted"}));
    const CardEvent inserted = events.last();
    QCOMPARE(inserted.catalogueSize, size_t(3));
    QVERIFY(!inserted.analysisRunning);
    QCOMPARE(inserted.cardRoot, Root(m_cardA));
    QCOMPARE(inserted.model, QStringLiteral("ARX330"));
    QCOMPARE(card.CardRoot(), Root(m_cardA));
    QTRY_COMPARE(fake.returned.load(), 3);
    QTRY_VERIFY(!card.IsAnalysisRunning());
    QCOMPARE(card.AnalysisStop(), 1);
    QVERIFY(g_fileParsingEvent->IsSignalled());
    for (const CategoryMap& m : card.Catalogue())
        for (const auto& [key, entry] : m)
            QCOMPARE(entry.textData.gsensorList.size(), size_t(1));

    // The same card again, or a second card while it is in use: nothing.
    mountsChanged();
    QVERIFY(WriteCard(m_cardB, "BT33", {QStringLiteral("수동녹화/REC_2024_06_01_10_00_00_F.AVI")}));
    mountsChanged();
    QCOMPARE(events.size(), 2);
    QCOMPARE(card.CardRoot(), Root(m_cardA));
    QCOMPARE(fake.entered.load(), 3);

    // The card in use goes while another is there: dropped, then the other.
    events.clear();
    QVERIFY(QDir(m_cardA).removeRecursively());
    mountsChanged();
    QCOMPARE(Names(events), (QStringList{"leaving", "removed", "leaving", "inserted"}));
    QCOMPARE(events[0].catalogueSize, size_t(3)); // still there for those who let go of it
    QCOMPARE(events[1].catalogueSize, size_t(0));
    QVERIFY(events[1].cardRoot.isEmpty());
    QVERIFY(events[1].model.isEmpty());
    QCOMPARE(events[3].cardRoot, Root(m_cardB));
    QCOMPARE(events[3].model, QStringLiteral("BT33"));
    QCOMPARE(card.Catalogue()[Catalogue::kManual].size(), size_t(1));
    QTRY_COMPARE(fake.returned.load(), 4);

    // The last card goes: everything about it is forgotten.
    events.clear();
    QVERIFY(QDir(m_cardB).removeRecursively());
    card.Rescan();
    QCOMPARE(Names(events), (QStringList{"leaving", "removed"}));
    QVERIFY(!events[1].analysisRunning);
    QCOMPARE(CatalogueSize(card.Catalogue()), size_t(0));
    QVERIFY(card.CardRoot().isEmpty());
    QVERIFY(g_cardRoot.isEmpty());
    QVERIFY(g_deviceRecord.isEmpty());
    QCOMPARE(g_cardSizeGB, 0.0f);

    card.StopWatchingMounts();
    QVERIFY(!card.MountWatcher());
    QCOMPARE(card.ShellNotifyId(), 0u);
}

void TestCardController::analysisReports_data()
{
    QTest::addColumn<bool>("hasTexts");
    QTest::addColumn<bool>("stop");
    QTest::addColumn<QStringList>("expected");
    using namespace Catalogue;
    const QString hide104 = QStringLiteral("timer %1 stop").arg(MainWnd::kTimerHideAnalysisMessage);
    const QString start104 =
        QStringLiteral("timer %1 start %2").arg(MainWnd::kTimerHideAnalysisMessage).arg(kHideAnalysisMessageMs);
    const QStringList begin = {hide104, "percent 0%", "percent shown", "message " + Text("IDS_STRING_K_088"),
                               "message shown"};
    QTest::newRow("complete") << true << false
                              << begin + QStringList{"percent 33%", "percent 66%", "percent 100%",
                                                     "message " + Text("IDS_STRING_K_089"), "percent hidden",
                                                     start104};
    QTest::newRow("stopped") << true << true
                             << begin + QStringList{"percent 33%", "percent hidden", "message hidden"};
    QTest::newRow("no texts") << false << false << QStringList{hide104, start104};
}

// The reports arrive on the GUI thread in the run's order, only for the
// texts the window has; asking the run to stop does not wait for it.
void TestCardController::analysisReports()
{
    QFETCH(bool, hasTexts);
    QFETCH(bool, stop);
    QFETCH(QStringList, expected);
    QVERIFY(WriteCard(m_cardA, "ARX330", ThreeRecordings()));
    FakeExtraction fake;
    fake.open = false;
    CCardController card(fake.Fn());
    ReportLog log;
    log.Listen(card);
    card.SetProgressTexts(hasTexts, hasTexts);
    QVERIFY(card.FindCard());
    card.ScanCatalogue();
    card.StartAnalysis();
    QVERIFY(card.IsAnalysisRunning());
    QTRY_COMPARE(fake.entered.load(), 1);
    if (stop) {
        card.RequestAnalysisStop();
        QCOMPARE(card.AnalysisStop(), 1);
        QCOMPARE(fake.returned.load(), 0); // still inside the extraction: nobody waited
    }
    fake.open = true;
    QTRY_VERIFY(g_fileParsingEvent->IsSignalled());
    QTRY_COMPARE(log.reports, expected);
    QVERIFY(log.allOnGuiThread);
    QCOMPARE(fake.entered.load(), stop ? 1 : 3);
}

// Destroying the controller while a run is inside an extraction waits for
// that extraction; reports still queued then are dropped.
void TestCardController::destructionWaitsForTheRun()
{
    QVERIFY(WriteCard(m_cardA, "ARX330", ThreeRecordings()));
    FakeExtraction fake;
    fake.open = false;
    auto card = std::make_unique<CCardController>(fake.Fn());
    ReportLog log;
    log.Listen(*card);
    card->SetProgressTexts(true, true);
    QVERIFY(card->FindCard());
    card->ScanCatalogue();
    card->StartAnalysis();
    QTRY_COMPARE(fake.entered.load(), 1);
    QTRY_VERIFY(!log.reports.isEmpty());
    const qsizetype before = log.reports.size();

    std::thread opener = OpenLater(fake, 200);
    card.reset();
    const int returnedAtDestruction = fake.returned.load();
    opener.join();
    QCOMPARE(returnedAtDestruction, 1);
    QCOMPARE(fake.entered.load(), 1);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCOMPARE(log.reports.size(), before);
}

QTEST_MAIN(TestCardController)
#include "tst_cardcontroller.moc"
