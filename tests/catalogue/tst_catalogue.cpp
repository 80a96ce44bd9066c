// Folder scan, front/rear pairing, file analysis and the map-area search.
#include "writers/AviWriter.h"
#include "catalogue/RecordingAnalyzer.h"
#include "support/TraceCapture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
void WriteFile(const QString& path, const QByteArray& bytes = QByteArray("x"))
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray SmallAvi(const QList<QByteArray>& records)
{
    CAviWriter w;
    w.AddStream(CAviWriter::VideoStream("H264", 16, 16, 30, 1));
    w.AddStream(CAviWriter::TextStream());
    w.AddChunk("00dc", QByteArray(20, 'v'));
    for (const QByteArray& r : records)
        w.AddChunk("01tx", CAviWriter::TextPayload(r));
    return w.Build();
}

RecordingEntry WithFix(double lat, double lon)
{
    RecordingEntry e;
    CGPSData fix;
    fix.latitude = lat;
    fix.longitude = lon;
    e.textData.gpsList.push_back(CGPSData());
    e.textData.gpsList.push_back(fix);
    return e;
}
} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT
private slots:
    void partnerNames_data();
    void partnerNames();
    void pairing_data();
    void pairing();
    void scanSkipsWhatIsNoRecording();
    void sameNameInTwoSubfolders();
    void symlinkLoopsEnd();
    void missingFolderLeavesMapEmpty();
    void analysisFileOfVanishedFile();
    void analysisFileExtractsNow();
    void roleFixedWhenPresent();
    void searchByArea();
    void categoryOfFolder();
};

void TestCatalogue::partnerNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("partner");
    QTest::addColumn<bool>("front");
    QTest::newRow("front") << "REC_2014_05_21_13_45_30_F.MP4" << "REC_2014_05_21_13_45_30_R.MP4" << true;
    QTest::newRow("rear") << "REC_2014_05_21_13_45_30_R.MP4" << "REC_2014_05_21_13_45_30_F.MP4" << false;
    QTest::newRow("other letter is rear") << "EVT_2020_01_02_03_04_05_X.mp4" << "EVT_2020_01_02_03_04_05_F.mp4" << false;
    QTest::newRow("five numbers") << "REC_2014_05_21_13_45_F.MP4" << "" << false;
    QTest::newRow("no underscore") << "movie.mp4" << "" << false;
    QTest::newRow("no extension") << "REC_2014_05_21_13_45_30_F" << "" << false;
}

void TestCatalogue::partnerNames()
{
    QFETCH(QString, name);
    QFETCH(QString, partner);
    QFETCH(bool, front);
    bool isFront = !front;
    QCOMPARE(CRecordingAnalyzer::PartnerFileName(name, &isFront), partner);
    if (!partner.isEmpty())
        QCOMPARE(isFront, front);
}

void TestCatalogue::pairing_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QList<int>>("roles");
    QTest::newRow("mp4 pair") << QStringList{"REC_2014_05_21_13_45_30_F.MP4", "REC_2014_05_21_13_45_30_R.MP4"}
                              << QStringList{"REC_2014_05_21_13_45_30_F.MP4", "REC_2014_05_21_13_45_30_R.MP4"}
                              << QList<int>{1, 2};
    QTest::newRow("avi pair") << QStringList{"REC_2014_05_21_13_45_30_F.AVI", "REC_2014_05_21_13_45_30_R.AVI"}
                              << QStringList{"REC_2014_05_21_13_45_30_F.AVI", "REC_2014_05_21_13_45_30_R.AVI"}
                              << QList<int>{0, 0};
    QTest::newRow("front alone") << QStringList{"REC_2014_05_21_13_45_30_F.MP4"}
                                 << QStringList{"REC_2014_05_21_13_45_30_F.MP4"} << QList<int>{0};
    QTest::newRow("rear alone") << QStringList{"REC_2014_05_21_13_45_30_R.MP4"}
                                << QStringList{"REC_2014_05_21_13_45_30_R.MP4"} << QList<int>{0};
    QTest::newRow("five numbers") << QStringList{"REC_2014_05_21_13_45_F.MP4", "REC_2014_05_21_13_45_R.MP4"}
                                  << QStringList{"REC_2014_05_21_13_45_F.MP4", "REC_2014_05_21_13_45_R.MP4"}
                                  << QList<int>{0, 0};
    QTest::newRow("lower-case names, upper-case keys")
        << QStringList{"rec_2014_05_21_13_45_30_F.mp4", "rec_2014_05_21_13_45_30_R.mp4"}
        << QStringList{"REC_2014_05_21_13_45_30_F.MP4", "REC_2014_05_21_13_45_30_R.MP4"} << QList<int>{1, 2};
    QTest::newRow("two pairs sorted by time")
        << QStringList{"REC_2014_05_21_13_46_30_R.MP4", "REC_2014_05_21_13_45_30_F.MP4",
                       "REC_2014_05_21_13_46_30_F.MP4", "REC_2014_05_21_13_45_30_R.MP4"}
        << QStringList{"REC_2014_05_21_13_45_30_F.MP4", "REC_2014_05_21_13_45_30_R.MP4",
                       "REC_2014_05_21_13_46_30_F.MP4", "REC_2014_05_21_13_46_30_R.MP4"}
        << QList<int>{1, 2, 1, 2};
}

void TestCatalogue::pairing()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, keys);
    QFETCH(QList<int>, roles);
    QTemporaryDir dir;
    for (const QString& f : files)
        WriteFile(dir.filePath(f));
    CategoryMap map;
    GetAnalyzer()->ScanFolder(dir.path(), map);
    QStringList gotKeys;
    QList<int> gotRoles;
    for (const auto& [key, entry] : map) {
        gotKeys << key;
        gotRoles << entry.channelRole;
        QCOMPARE(entry.fileSize, quint64(1));
        QVERIFY(entry.textData.IsEmpty()); // the scan extracts nothing
        QCOMPARE(entry.h264State, 0);
    }
    QCOMPARE(gotKeys, keys);
    QCOMPARE(gotRoles, roles);
}

void TestCatalogue::scanSkipsWhatIsNoRecording()
{
    QTemporaryDir dir;
    WriteFile(dir.filePath("REC_2014_05_21_13_45_30_F.MP4"), QByteArray()); // size 0
    WriteFile(dir.filePath("EMPTY.AVI"), QByteArray());
    WriteFile(dir.filePath("notes.txt"));
    WriteFile(dir.filePath("clip.avi.bak"));
    WriteFile(dir.filePath("mp4"));
    WriteFile(dir.filePath("sub/deeper/A.Avi"));
    WriteFile(dir.filePath("sub/B.mP4"));
    QDir().mkpath(dir.filePath("folder.avi")); // a folder named like a recording
    CategoryMap map;
    GetAnalyzer()->ScanFolder(dir.path(), map);
    QCOMPARE(map.size(), size_t(2));
    QVERIFY(map.count("A.AVI") && map.count("B.MP4"));
    QCOMPARE(map.at("A.AVI").path, dir.filePath("sub/deeper/A.Avi"));
}

void TestCatalogue::sameNameInTwoSubfolders()
{
    QTemporaryDir dir;
    WriteFile(dir.filePath("one/CLIP.AVI"), "first");
    WriteFile(dir.filePath("two/CLIP.AVI"), "second!");
    CategoryMap map;
    GetAnalyzer()->ScanFolder(dir.path(), map);
    QCOMPARE(map.size(), size_t(1));
    const RecordingEntry& e = map.at("CLIP.AVI");
    QVERIFY(e.path == dir.filePath("one/CLIP.AVI") || e.path == dir.filePath("two/CLIP.AVI"));
    QCOMPARE(e.fileSize, quint64(QFileInfo(e.path).size()));
}

void TestCatalogue::symlinkLoopsEnd()
{
    QTemporaryDir dir;
    WriteFile(dir.filePath("a/CLIP.AVI"));
    QVERIFY(QFile::link(dir.path(), dir.filePath("a/back")));        // loop to the top
    QVERIFY(QFile::link(dir.filePath("a"), dir.filePath("a/self"))); // loop to itself
    QVERIFY(QFile::link(dir.filePath("missing"), dir.filePath("a/dangling")));
    CategoryMap map;
    GetAnalyzer()->ScanFolder(dir.path(), map);
    QCOMPARE(map.size(), size_t(1));
}

void TestCatalogue::missingFolderLeavesMapEmpty()
{
    CategoryMap map;
    GetAnalyzer()->ScanFolder(QStringLiteral("/nonexistent/kestrav/folder"), map);
    QVERIFY(map.empty());
}

void TestCatalogue::analysisFileOfVanishedFile()
{
    QTemporaryDir dir;
    CTraceCapture trace;
    CategoryMap map;
    const QString path = dir.filePath("GONE.AVI");
    QCOMPARE(GetAnalyzer()->AnalysisFile(path, "GONE.AVI", map, 1, 0), 0);
    QVERIFY(map.empty());
    QVERIFY(trace.Contains(QStringLiteral("AnalysisFile: File Open Error cause (2) ") + path));
}

void TestCatalogue::analysisFileExtractsNow()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("REC_2014_05_21_13_45_30_F.AVI");
    WriteFile(path, SmallAvi({"gsensor,1,2,3", "GPRMC,101010,A,3733.0,N,12658.0,E,10,0,010124", "CAR,1,0,0"}));
    CTraceCapture trace;
    CategoryMap map;
    QCOMPARE(GetAnalyzer()->AnalysisFile(path, QFileInfo(path).fileName(), map, 1, 0), 1);
    const RecordingEntry& e = map.at("REC_2014_05_21_13_45_30_F.AVI");
    QCOMPARE(e.textData.gsensorList.size(), size_t(1));
    QCOMPARE(e.textData.gpsList.size(), size_t(1));
    QCOMPARE(e.textData.carInfoList.size(), size_t(1));
    QVERIFY(trace.Contains(QStringLiteral("AnalysisFile: >>> ExtractText Start  [") + path + "]"));
    QVERIFY(trace.Contains(QStringLiteral("AnalysisFile: <<< ExtractText Completed [") + path + "]"));

    // A second analysis of the same name changes nothing and still answers 1.
    map.at("REC_2014_05_21_13_45_30_F.AVI").h264State = 1;
    QCOMPARE(GetAnalyzer()->AnalysisFile(path, QFileInfo(path).fileName(), map, 1, 0), 1);
    QCOMPARE(map.at("REC_2014_05_21_13_45_30_F.AVI").h264State, 1);
    QCOMPARE(map.at("REC_2014_05_21_13_45_30_F.AVI").textData.gsensorList.size(), size_t(1));
}

void TestCatalogue::roleFixedWhenPresent()
{
    // A present entry without a partner takes the role it is expected to have.
    QTemporaryDir dir;
    const QString path = dir.filePath("REC_2014_05_21_13_45_30_R.MP4");
    WriteFile(path);
    CategoryMap map;
    QCOMPARE(GetAnalyzer()->AnalysisFile(path, QFileInfo(path).fileName(), map, 0, 0), 1);
    QCOMPARE(map.begin()->second.channelRole, 0);
    QCOMPARE(GetAnalyzer()->AnalysisFile(path, QFileInfo(path).fileName(), map, 0, 2), 1);
    QCOMPARE(map.begin()->second.channelRole, 2);
}

void TestCatalogue::searchByArea()
{
    CategoryMap source;
    source["A"] = WithFix(3730.0, 12700.0);  // inside
    source["B"] = WithFix(3700.0, 12700.0);  // on the latitude border
    source["C"] = WithFix(3730.0, 12600.0);  // on the longitude border
    source["D"] = WithFix(-3730.0, 12700.0); // outside
    source["E"] = RecordingEntry();          // no fixes
    RecordingEntry twice = WithFix(3731.0, 12701.0);
    CGPSData again;
    again.latitude = 3732.0;
    again.longitude = 12702.0;
    twice.textData.gpsList.push_back(again);
    source["F"] = twice;
    CategoryMap result;
    result["F"] = RecordingEntry(); // an existing key keeps its entry
    QStringList names;
    GetAnalyzer()->SearchByArea(3700.0, 3800.0, 12600.0, 12800.0, source, result, names);
    QCOMPARE(names, (QStringList{"A", "F"}));
    QCOMPARE(result.size(), size_t(2));
    QCOMPARE(result.at("A").textData.gpsList.size(), size_t(2));
    QVERIFY(result.at("F").textData.gpsList.empty());
}

void TestCatalogue::categoryOfFolder()
{
    using namespace Catalogue;
    QCOMPARE(CategoryOfFolder(QStringLiteral("상시녹화")), 0);
    QCOMPARE(CategoryOfFolder(QStringLiteral("상시충격")), 1);
    QCOMPARE(CategoryOfFolder(QStringLiteral("수동녹화")), 2);
    QCOMPARE(CategoryOfFolder(QStringLiteral("주차모션")), 3);
    QCOMPARE(CategoryOfFolder(QStringLiteral("주차충격")), 4);
    QCOMPARE(CategoryOfFolder(QStringLiteral("보조저장")), 0);
    QCOMPARE(CategoryOfFolder(QStringLiteral("Downloads")), 0);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
