// The image service: nine-patch stretching, three-slice cuts, plain drawing,
// load failures, and the brand picture read out of a Windows program file.
#include "base/ByteReader.h"
#include "skin/PeResource.h"
#include "PeWriter.h"
#include "platform/Platform.h"
#include "skin/SkinImage.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(SkinRect)

char* toString(const SkinRect& r)
{
    return QTest::toString(QStringLiteral("{%1, %2, %3, %4}").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom));
}

namespace {
const QRgb kClear = 0x00FFFFFFu; // transparent white: no marker, ends a content run
const QRgb kMark = 0xFF000000u;  // opaque black marker

// A colour that names a content cell, so that stretched output can be read back.
QRgb Cell(int x, int y) { return qRgba(20 + 20 * x, 30 + 20 * y, 200, 255); }

// A nine-patch picture: `cols` x `rows` content cells inside a one-pixel border
// carrying the given markers (positions in picture coordinates).
QImage NinePatch(int cols, int rows, const QList<int>& xMarks, const QList<int>& yMarks,
                 std::pair<int, int> contentRows = {-1, -1}, std::pair<int, int> contentCols = {-1, -1})
{
    QImage img(cols + 2, rows + 2, QImage::Format_ARGB32);
    img.fill(kClear);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x)
            img.setPixel(x + 1, y + 1, Cell(x, y));
    for (int x : xMarks)
        img.setPixel(x, 0, kMark);
    for (int y : yMarks)
        img.setPixel(0, y, kMark);
    for (int y = contentRows.first; y >= 0 && y <= contentRows.second; ++y)
        img.setPixel(cols + 1, y, kMark);
    for (int x = contentCols.first; x >= 0 && x <= contentCols.second; ++x)
        img.setPixel(x, rows + 1, kMark);
    return img;
}

// Reads row 0 (or column 0) of a stretched result back as letters: the content
// cell a = 0, b = 1, ... ; '.' for a transparent pixel and '?' for anything else.
QString ReadLine(const QImage& img, bool horizontal)
{
    QString out;
    const int n = horizontal ? img.width() : img.height();
    for (int i = 0; i < n; ++i) {
        const QRgb p = horizontal ? img.pixel(i, 0) : img.pixel(0, i);
        if (qAlpha(p) == 0) {
            out += QLatin1Char('.');
            continue;
        }
        QChar c = QLatin1Char('?');
        for (int k = 0; k < 26; ++k)
            if (p == (horizontal ? Cell(k, 0) : Cell(0, k)))
                c = QChar('a' + k);
        if (p == kMark)
            c = QLatin1Char('#');
        out += c;
    }
    return out;
}
} // namespace

class TestSkinImage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    CRecordingPlatform m_platform;
    CSkinImage* m_skin = nullptr;

    void Save(const QString& name, const QImage& img)
    {
        QVERIFY(img.save(m_dir.filePath(name.toUpper()), "PNG"));
    }
    void SaveBytes(const QString& name, const QByteArray& bytes)
    {
        QFile f(m_dir.filePath(name.toUpper()));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    static QImage Premultiplied(const QImage& img) { return img.convertToFormat(QImage::Format_ARGB32_Premultiplied); }
    QImage Stretch(const QString& name, int w, int h, SkinRect* content = nullptr)
    {
        CSkinSurface target;
        target.Create(w, h);
        m_skin->DrawNinePatch(target, name, content);
        return target.GetImage();
    }
    static QByteArray Png(const QImage& img)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        img.save(&buffer, "PNG");
        return bytes;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        CPlatform::Install(&m_platform);
        m_skin = CSkinImage::GetInstance();
        m_skin->SetLibraryRoot(m_dir.path() + QLatin1Char('/'));
    }
    void cleanupTestCase()
    {
        CSkinImage::DestroyInstance();
        CPlatform::Install(nullptr);
    }
    void init() { m_platform.Clear(); }

    void naturalSizeReproducesContent()
    {
        const QImage pic = NinePatch(4, 3, {2}, {2}, {1, 3}, {1, 4});
        Save("n1.9.png", pic);
        const QImage out = Stretch("n1.9.png", 4, 3);
        QCOMPARE(out, Premultiplied(pic.copy(1, 1, 4, 3)));
        QVERIFY(m_platform.Calls().isEmpty());
    }

    void oneMarkerStretchesOneColumn()
    {
        // Marker over content column 2; the target is 10 pixels wider than the content.
        Save("one.9.png", NinePatch(5, 1, {3}, {}, {1, 1}, {1, 5}));
        const QImage out = Stretch("one.9.png", 15, 1);
        QCOMPARE(ReadLine(out, true), QStringLiteral("ab") + QString(11, QLatin1Char('c')) + QStringLiteral("de"));
        QCOMPARE(m_skin->XMarkers(), std::vector<int>{2});
        QCOMPARE(m_skin->XStretch(), std::vector<int>{11});
        QVERIFY(m_skin->YStretch().empty());
    }

    void twoMarkers_data()
    {
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<int>("growth");
        QTest::addColumn<QString>("expected");
        // Content cells a..f, markers over b and e. Across, the right part
        // starts with the second marker column once more.
        QTest::newRow("across, odd growth") << true << 3 << "abbcdeeef";
        QTest::newRow("across, even growth") << true << 4 << "abbbcdeeee";
        // Down, rows after the second marker follow it directly; with an odd
        // growth the bottom marker line reaches the last row.
        QTest::newRow("down, odd growth") << false << 3 << "abbcdeef#";
        QTest::newRow("down, even growth") << false << 4 << "abbbcdeeef";
        QTest::newRow("across, no growth") << true << 0 << "abcdee";
    }
    void twoMarkers()
    {
        QFETCH(bool, horizontal);
        QFETCH(int, growth);
        QFETCH(QString, expected);
        const QImage pic = horizontal ? NinePatch(6, 1, {2, 5}, {}, {1, 1}, {1, 6})
                                      : NinePatch(1, 6, {}, {2, 5}, {1, 6}, {1, 1});
        Save("two.9.png", pic);
        const QImage out = horizontal ? Stretch("two.9.png", 6 + growth, 1) : Stretch("two.9.png", 1, 6 + growth);
        QCOMPARE(ReadLine(out, horizontal), expected);
        const int s = (growth + 2) / 2;
        QCOMPARE(horizontal ? m_skin->XStretch() : m_skin->YStretch(), (std::vector<int>{s, s}));
    }

    void noMarkerDropsFirstRowAndColumn()
    {
        QImage plain(5, 4, QImage::Format_ARGB32);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x)
                plain.setPixel(x, y, qRgba(100 + 10 * x, 50 + 10 * y, 60, 255));
        Save("plain.png", plain);
        const QImage out = Stretch("plain.png", 4, 3);
        QCOMPARE(out, Premultiplied(plain.copy(1, 1, 4, 3)));
        QVERIFY(m_skin->XMarkers().empty() && m_skin->YMarkers().empty());
    }

    void threeMarkersDrawNothingAcross()
    {
        Save("three.9.png", NinePatch(6, 2, {1, 3, 5}, {1}, {1, 2}, {1, 6}));
        CSkinSurface target;
        target.Create(9, 4);
        target.GetImage().fill(qRgba(255, 0, 0, 255));
        m_skin->DrawNinePatch(target, "three.9.png");
        // The target receives the untouched (transparent) intermediate picture.
        QImage expected(9, 4, QImage::Format_ARGB32_Premultiplied);
        expected.fill(Qt::transparent);
        QCOMPARE(target.GetImage(), expected);
        QVERIFY(m_skin->XStretch().empty());
        QCOMPARE(m_skin->XMarkers().size(), size_t(3));
    }

    void contentRectangle_data()
    {
        QTest::addColumn<int>("growX");
        QTest::addColumn<int>("growY");
        QTest::addColumn<QList<int>>("xMarks");
        QTest::addColumn<int>("contentTop");
        QTest::addColumn<SkinRect>("expected");
        // Content 6 x 5; content markers rows 2..4 (or from 0), columns 2..5.
        // At its natural height the picture is copied without a stretch, so
        // the stretch row adds nothing to the height.
        QTest::newRow("natural size") << 0 << 0 << QList<int>{3} << 2 << SkinRect{2, 2, 2 + 4 + 1, 2 + 3};
        QTest::newRow("grown") << 10 << 4 << QList<int>{3} << 2 << SkinRect{2, 2, 2 + 4 + 11, 2 + 3 + 5};
        // A stretch column outside the content markers adds nothing across.
        QTest::newRow("marker outside") << 10 << 0 << QList<int>{6} << 2 << SkinRect{2, 2, 6, 2 + 3};
        // A content run that starts in row 0 is never closed.
        QTest::newRow("run from row 0") << 0 << 0 << QList<int>{3} << 0 << SkinRect{2, 0, 2 + 4 + 1, 0};
    }
    void contentRectangle()
    {
        QFETCH(int, growX);
        QFETCH(int, growY);
        QFETCH(QList<int>, xMarks);
        QFETCH(int, contentTop);
        QFETCH(SkinRect, expected);
        Save("content.9.png", NinePatch(6, 5, xMarks, {3}, {contentTop, 4}, {2, 5}));
        SkinRect rect{99, 99, 99, 99};
        Stretch("content.9.png", 6 + growX, 5 + growY, &rect);
        QCOMPARE(rect, expected);
    }

    void contentRectangleIsOptional()
    {
        Save("content2.9.png", NinePatch(3, 3, {2}, {2}, {1, 2}, {1, 2}));
        const QImage out = Stretch("content2.9.png", 7, 7, nullptr);
        QCOMPARE(out.pixel(6, 6), Premultiplied(NinePatch(3, 3, {}, {})).pixel(3, 3));
    }

    void transparentBlackCountsAsMarker()
    {
        // Same picture with an opaque and a fully transparent black marker.
        QImage opaque = NinePatch(4, 1, {2}, {}, {1, 1}, {1, 4});
        QImage clear = opaque;
        clear.setPixel(2, 0, qRgba(0, 0, 0, 0));
        Save("opaque.9.png", opaque);
        Save("clear.9.png", clear);
        const QImage a = Stretch("opaque.9.png", 9, 1);
        QCOMPARE(m_skin->XMarkers(), std::vector<int>{1});
        const QImage b = Stretch("clear.9.png", 9, 1);
        QCOMPARE(m_skin->XMarkers(), std::vector<int>{1});
        QCOMPARE(a, b);
        QCOMPARE(ReadLine(b, true), QStringLiteral("abbbbbbcd"));
    }

    void tinyPicturesDoNotCrash_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::newRow("1x1") << 1 << 1;
        QTest::newRow("2x2") << 2 << 2;
        QTest::newRow("1x9") << 1 << 9;
    }
    void tinyPicturesDoNotCrash()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        QImage tiny(w, h, QImage::Format_ARGB32);
        tiny.fill(kMark);
        Save("tiny.9.png", tiny);
        CSkinSurface target;
        target.Create(20, 10);
        target.GetImage().fill(qRgba(1, 2, 3, 255));
        const QImage before = target.GetImage().copy();
        SkinRect rect;
        m_skin->DrawNinePatch(target, "tiny.9.png", &rect);
        if (w < 2 || h < 2)
            QCOMPARE(target.GetImage(), before);
        CSkinSurface top, mid, bottom;
        m_skin->LoadVerticalThreeSlice("tiny.9.png", top, mid, bottom);
        m_skin->LoadHorizontalThreeSlice("tiny.9.png", top, mid, bottom);
        QVERIFY(m_platform.Calls().isEmpty());
    }

    void loadFailures_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // null: no file at all
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("empty file") << QByteArray("");
        QTest::newRow("not a PNG") << QByteArray("GIF89a not really a picture");
        QTest::newRow("truncated PNG") << Png(NinePatch(8, 8, {3}, {3})).left(40);
    }
    void loadFailures()
    {
        QFETCH(QByteArray, bytes);
        QFile::remove(m_dir.filePath("BROKEN.9.PNG"));
        if (!bytes.isNull())
            SaveBytes("broken.9.png", bytes);
        CSkinSurface target;
        target.Create(6, 6);
        target.GetImage().fill(qRgba(9, 9, 9, 255));
        const QImage before = target.GetImage().copy();

        m_skin->DrawNinePatch(target, "broken.9.png");
        m_skin->DrawImage(target, "Broken.9.png");
        QCOMPARE(target.GetImage(), before);
        const auto calls = m_platform.CallsOf("MessageBox");
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls[0].text, QStringLiteral("Error : Fail to load nine patch image [BROKEN.9.PNG]\n"));
        QCOMPARE(calls[1].text, QStringLiteral("Error : Fail to load normal image [BROKEN.9.PNG]\n"));
        QCOMPARE(calls[0].caption, QStringLiteral("Kestrav"));
        QCOMPARE(calls[0].flags, unsigned(CPlatform::MB_OK));

        // The silent operations report nothing and leave their outputs alone.
        CSkinSurface out, top, mid, bottom;
        m_skin->LoadImage(out, "broken.9.png");
        m_skin->LoadVerticalThreeSlice("broken.9.png", top, mid, bottom);
        QVERIFY(!out.IsCreated() && !top.IsCreated() && !mid.IsCreated() && !bottom.IsCreated());
        SkinRect size{1, 2, 3, 4};
        m_skin->GetImageSize("broken.9.png", &size);
        QVERIFY(size.IsEmpty());
        QCOMPARE(m_platform.CallsOf("MessageBox").size(), 2);
    }

    void uncreatedTargetIsSkippedSilently()
    {
        CSkinSurface target;
        m_skin->DrawImage(target, "nothing-here.png");
        m_skin->DrawNinePatch(target, "nothing-here.9.png");
        QVERIFY(m_platform.Calls().isEmpty());
        m_skin->GetImageSize("nothing-here.png", nullptr); // no output: nothing happens
    }

    void namesMatchIgnoringCase()
    {
        QImage pic(3, 2, QImage::Format_ARGB32);
        pic.fill(qRgba(10, 200, 30, 255));
        Save("Case_Test.png", pic);
        SkinRect a, b;
        m_skin->GetImageSize("case_test.png", &a);
        m_skin->GetImageSize("CASE_TEST.PNG", &b);
        QCOMPARE(a, (SkinRect{0, 0, 3, 2}));
        QCOMPARE(b, a);
    }

    void drawImageCompositesAtNaturalSize()
    {
        QImage pic(2, 2, QImage::Format_ARGB32);
        pic.fill(qRgba(0, 0, 255, 128));
        pic.setPixel(1, 1, qRgba(0, 255, 0, 0));
        Save("half.png", pic);
        CSkinSurface target;
        target.Create(4, 4);
        target.GetImage().fill(qRgba(255, 0, 0, 255));
        m_skin->DrawImage(target, "half.png");
        const QRgb blended = target.GetImage().pixel(0, 0);
        QVERIFY(qAbs(qRed(blended) - 127) <= 1 && qAbs(qBlue(blended) - 128) <= 1 && qAlpha(blended) == 255);
        QCOMPARE(target.GetImage().pixel(1, 1), qRgba(255, 0, 0, 255)); // fully transparent pixel
        QCOMPARE(target.GetImage().pixel(2, 0), qRgba(255, 0, 0, 255)); // outside the picture

        CSkinSurface loaded;
        m_skin->LoadImage(loaded, "half.png");
        QCOMPARE(QSize(loaded.GetWidth(), loaded.GetHeight()), QSize(2, 2));
        CSkinSurface existing;
        existing.Create(5, 1);
        m_skin->LoadImage(existing, "half.png");
        QCOMPARE(existing.GetWidth(), 5); // an existing surface keeps its size
    }

    void threeSlice_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<int>("marker");    // in picture coordinates, -1: none
        QTest::addColumn<QSize>("first");   // empty: not created
        QTest::addColumn<int>("middleCell");
        QTest::addColumn<QSize>("last");
        // Content of 3 x 6 cells (or 6 x 3 across) inside the border.
        QTest::newRow("down, marker on row 3") << true << 3 << QSize(5, 2) << 2 << QSize(5, 5);
        QTest::newRow("down, no marker") << true << -1 << QSize() << 0 << QSize(5, 7);
        QTest::newRow("down, marker on first row") << true << 1 << QSize() << 0 << QSize(5, 7);
        QTest::newRow("down, marker on last row") << true << 6 << QSize(5, 5) << 5 << QSize();
        QTest::newRow("across, marker on column 4") << false << 4 << QSize(3, 5) << 3 << QSize(4, 5);
        QTest::newRow("across, no marker") << false << -1 << QSize() << 0 << QSize(7, 5);
    }
    void threeSlice()
    {
        QFETCH(bool, vertical);
        QFETCH(int, marker);
        QFETCH(QSize, first);
        QFETCH(int, middleCell);
        QFETCH(QSize, last);
        const QList<int> marks = marker < 0 ? QList<int>{} : QList<int>{marker};
        const QImage pic = vertical ? NinePatch(3, 6, {}, marks) : NinePatch(6, 3, marks, {});
        Save("slice.9.png", pic);
        CSkinSurface a, m, b;
        if (vertical)
            m_skin->LoadVerticalThreeSlice("slice.9.png", a, m, b);
        else
            m_skin->LoadHorizontalThreeSlice("slice.9.png", a, m, b);
        auto size = [](const CSkinSurface& s) { return s.IsCreated() ? QSize(s.GetWidth(), s.GetHeight()) : QSize(); };
        QCOMPARE(size(a), first);
        QCOMPARE(size(m), vertical ? QSize(5, 1) : QSize(1, 5));
        QCOMPARE(size(b), last);
        // The middle slice is the marked content row (column); its first cells
        // are content, the two extra ones stay transparent.
        const QImage& mid = m.GetImage();
        for (int i = 0; i < 3; ++i) {
            const QRgb expected = vertical ? Cell(i, middleCell) : Cell(middleCell, i);
            QCOMPARE(vertical ? mid.pixel(i, 0) : mid.pixel(0, i), expected);
        }
        QCOMPARE(qAlpha(vertical ? mid.pixel(4, 0) : mid.pixel(0, 4)), 0);
        if (a.IsCreated())
            QCOMPARE(a.GetImage().pixel(0, 0), Cell(0, 0));
        if (b.IsCreated())
            QCOMPARE(b.GetImage().pixel(0, 0), vertical ? Cell(0, middleCell + 1) : Cell(middleCell + 1, 0));
    }

    // ---- the brand picture inside a Windows program file ----

    void peReader_data()
    {
        QTest::addColumn<bool>("pe32Plus");
        QTest::newRow("PE32") << false;
        QTest::newRow("PE32+") << true;
    }
    void peReader()
    {
        QFETCH(bool, pe32Plus);
        CPeWriter writer;
        writer.SetPe32Plus(pe32Plus);
        writer.Add("ICON", "APP", QByteArray("icon bytes"));
        writer.Add("PNG", "OTHER", QByteArray("other"));
        writer.Add("PNG", "IDB_BI", QByteArray("brand bytes"));
        CMemoryByteReader reader(writer.Build());
        QCOMPARE(ReadPeResource(reader, "PNG", "IDB_BI"), std::optional<QByteArray>("brand bytes"));
        QCOMPARE(ReadPeResource(reader, "png", "idb_bi"), std::optional<QByteArray>("brand bytes"));
        QCOMPARE(ReadPeResource(reader, "PNG", "OTHER"), std::optional<QByteArray>("other"));
        QVERIFY(!ReadPeResource(reader, "PNG", "IDB_B"));
        QVERIFY(!ReadPeResource(reader, "BMP", "IDB_BI"));
        QVERIFY(!ReadPeResource(reader, "ICON", "IDB_BI"));
    }

    void peReaderRejectsDamage_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("not MZ") << "mz";
        QTest::newRow("PE header past the end") << "lfanew";
        QTest::newRow("resource table outside every section") << "rva";
        QTest::newRow("section data past the end") << "rawptr";
        QTest::newRow("type directory past the tree") << "typedir";
        QTest::newRow("name string past the tree") << "namestring";
        QTest::newRow("data past the section") << "datarva";
        QTest::newRow("data size past the end") << "datasize";
        QTest::newRow("empty resource") << "zerosize";
        QTest::newRow("name directory loops to the root") << "loop";
        QTest::newRow("type directory loops to itself") << "selfloop";
        QTest::newRow("no language entry") << "nolang";
    }
    void peReaderRejectsDamage()
    {
        QFETCH(QString, damage);
        CPeWriter writer;
        writer.Add("PNG", "IDB_BI", Png(NinePatch(4, 4, {}, {})));
        CPeWriter::Layout at;
        QByteArray image = writer.Build(&at);
        auto put32 = [&](int offset, uint32_t v) {
            for (int i = 0; i < 4; ++i)
                image[offset + i] = char((v >> (8 * i)) & 0xFF);
        };
        const int rel = at.rootDirectory - at.resourceSection; // 0: offsets in the tree are relative
        if (damage == "mz")
            image[0] = 'X';
        else if (damage == "lfanew")
            put32(0x3C, 0x7FFFFFF0u);
        else if (damage == "rva")
            put32(at.resourceDirectory, 0x90000);
        else if (damage == "rawptr")
            put32(at.sectionHeader + 20, 0x7FFFFF00u);
        else if (damage == "typedir")
            put32(at.typeEntry + 4, 0x80000000u | 0x7FFF0000u);
        else if (damage == "namestring")
            put32(at.nameEntry, 0x80000000u | 0x00FFFFF0u);
        else if (damage == "datarva")
            put32(at.dataEntry, 0x00500000u);
        else if (damage == "datasize")
            put32(at.dataEntry + 4, 0xFFFFFFF0u);
        else if (damage == "zerosize")
            put32(at.dataEntry + 4, 0);
        else if (damage == "loop")
            put32(at.nameEntry + 4, 0x80000000u | uint32_t(rel));
        else if (damage == "selfloop")
            put32(at.nameEntry + 4, 0x80000000u | uint32_t(at.nameEntry - 16 - at.resourceSection));
        else if (damage == "nolang")
            put32(at.languageEntry + 4, 0x80000000u | uint32_t(at.languageEntry - 16 - at.resourceSection));
        CMemoryByteReader reader(image);
        QVERIFY(!ReadPeResource(reader, "PNG", "IDB_BI"));
    }

    void peReaderSurvivesTruncationAndNoise()
    {
        CPeWriter writer;
        writer.Add("PNG", "IDB_BI", QByteArray(300, 'x'));
        CPeWriter::Layout at;
        const QByteArray image = writer.Build(&at);
        // Every cut short of the end of the data fails cleanly.
        for (int cut = 0; cut < at.data + 300; cut += 7) {
            CMemoryByteReader reader(image.left(cut));
            QVERIFY2(!ReadPeResource(reader, "PNG", "IDB_BI"), qPrintable(QString::number(cut)));
        }
        CMemoryByteReader whole(image.left(at.data + 300));
        QVERIFY(ReadPeResource(whole, "PNG", "IDB_BI"));
        // Random damage to the headers and the tree never crashes or reads astray.
        QRandomGenerator random(7);
        for (int round = 0; round < 2000; ++round) {
            QByteArray damaged = image;
            for (int k = 0; k < 4; ++k) {
                const int pos = random.bounded(at.data);
                damaged[pos] = char(random.bounded(256));
            }
            CMemoryByteReader reader(damaged);
            const auto result = ReadPeResource(reader, "PNG", "IDB_BI");
            if (result)
                QVERIFY(result->size() <= damaged.size());
        }
    }

    void brandImage()
    {
        QImage brand(12, 7, QImage::Format_ARGB32);
        brand.fill(qRgba(63, 168, 235, 255));
        CPeWriter writer;
        writer.Add("PNG", "IDB_BI", Png(brand));
        QFile file(m_dir.filePath("setup.exe"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(writer.Build());
        file.close();

        CSkinSurface out;
        m_skin->LoadBrandImage(out, file.fileName());
        QVERIFY(out.IsCreated());
        QCOMPARE(out.GetImage(), Premultiplied(brand));
        QVERIFY(m_platform.Calls().isEmpty());
    }

    void brandImageFailuresAreSilent_data()
    {
        QTest::addColumn<QByteArray>("resource"); // null: no IDB_BI resource at all
        QTest::addColumn<bool>("writeFile");
        QTest::newRow("no file") << QByteArray("x") << false;
        QTest::newRow("no resource") << QByteArray() << true;
        QTest::newRow("not a PNG") << QByteArray("BM not a png") << true;
    }
    void brandImageFailuresAreSilent()
    {
        QFETCH(QByteArray, resource);
        QFETCH(bool, writeFile);
        const QString path = m_dir.filePath("brand-missing.exe");
        QFile::remove(path);
        if (writeFile) {
            CPeWriter writer;
            writer.Add("PNG", resource.isNull() ? "SOMETHING" : "IDB_BI", resource.isNull() ? "abc" : resource);
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(writer.Build());
        }
        CSkinSurface out;
        m_skin->LoadBrandImage(out, path);
        QVERIFY(!out.IsCreated());
        QVERIFY(m_platform.Calls().isEmpty());
    }
};

QTEST_MAIN(TestSkinImage)
#include "tst_skinimage.moc"
