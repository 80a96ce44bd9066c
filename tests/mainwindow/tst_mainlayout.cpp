// The main window's layout: every control's rectangle at the start size
// 965 x 711, after the window grew by (200, 150), and after it went back,
// against the rectangles and resize rules the window is drawn for.
#include "CardFixture.h"
#include "FakeTransport.h"
#include "WindowTestEnvironment.h"
#include "catalogue/MemoryCard.h"
#include "lang/Lang.h"
#include "mainwindow/MainWindowIds.h"
#include "mainwindow/MovaraDlg.h"
#include "platform/Platform.h"
#include "settings/Settings.h"
#include "skin/SkinImage.h"

#include <QMap>
#include <QResource>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using namespace MainWnd;

namespace {
// left, top, right, bottom (right and bottom exclusive) for a client W x H
// that started at 965 x 711.
QRect R(int l, int t, int r, int b)
{
    return QRect(l, t, r - l, b - t);
}

struct Row {
    int id;
    const char* name;
    std::function<QRect(int W, int H)> rect;
};

// dx: how much wider than at the start; half of it for the centred play controls.
int Dx(int W)
{
    return W - kBaseWidth;
}

const Row kRows[] = {
    // Caption buttons and the buttons over the right column.
    {1001, "close", [](int W, int) { return R(W - 45, 0, W - 16, 36); }},
    {1002, "minimise", [](int W, int) { return R(W - 103, 0, W - 74, 36); }},
    {1003, "maximise", [](int W, int) { return R(W - 74, 0, W - 45, 36); }},
    {1300, "fold up", [](int W, int) { return R(W - 317, 77, W - 290, 104); }},
    {1301, "fold down", [](int W, int) { return R(W - 317, 355, W - 290, 382); }},
    {1302, "expand", [](int W, int) { return R(W - 386, 77, W - 359, 104); }},
    {1303, "swap", [](int W, int) { return R(W - 356, 77, W - 329, 104); }},
    {1304, "map search", [](int W, int) { return QRect(W - 39, 114, 27, 27); }},
    // Play controls: centred under the front picture.
    {1103, "previous", [](int W, int H) { return R(90 + Dx(W) / 2, H - 201, 150 + Dx(W) / 2, H - 141); }},
    {1105, "back 10 s", [](int W, int H) { return R(161 + Dx(W) / 2, H - 201, 221 + Dx(W) / 2, H - 141); }},
    {1100, "play", [](int W, int H) { return R(232 + Dx(W) / 2, H - 214, 318 + Dx(W) / 2, H - 128); }},
    {1101, "pause", [](int W, int H) { return R(232 + Dx(W) / 2, H - 214, 318 + Dx(W) / 2, H - 128); }},
    {1102, "stop", [](int W, int H) { return R(329 + Dx(W) / 2, H - 214, 415 + Dx(W) / 2, H - 128); }},
    {1106, "forward 10 s", [](int W, int H) { return R(426 + Dx(W) / 2, H - 201, 486 + Dx(W) / 2, H - 141); }},
    {1104, "next", [](int W, int H) { return R(497 + Dx(W) / 2, H - 201, 557 + Dx(W) / 2, H - 141); }},
    // The small buttons at the right end of the front picture's bar.
    {1111, "continuous play", [](int W, int H) { return R(459 + Dx(W), H - 230, 495 + Dx(W), H - 206); }},
    {1107, "zoom menu", [](int W, int H) { return R(495 + Dx(W), H - 230, 531 + Dx(W), H - 206); }},
    {1108, "speed panel", [](int W, int H) { return R(531 + Dx(W), H - 230, 567 + Dx(W), H - 206); }},
    {1109, "save", [](int W, int H) { return R(567 + Dx(W), H - 230, 603 + Dx(W), H - 206); }},
    {1110, "volume", [](int W, int H) { return R(603 + Dx(W), H - 230, 639 + Dx(W), H - 206); }},
    // The list's categories.
    {1251, "list: continuous", [](int W, int) { return R(W - 323, 423, W - 242, 450); }},
    {1252, "list: parking", [](int W, int) { return R(W - 242, 423, W - 162, 450); }},
    {1253, "list: manual", [](int W, int) { return R(W - 162, 423, W - 81, 450); }},
    {1254, "list: location", [](int W, int) { return R(W - 82, 423, W, 450); }},
    {1255, "list: continuous normal", [](int W, int) { return R(W - 323, 450, W - 162, 470); }},
    {1256, "list: continuous event", [](int W, int) { return R(W - 162, 450, W, 470); }},
    {1257, "list: parking motion", [](int W, int) { return R(W - 323, 450, W - 162, 470); }},
    {1258, "list: parking event", [](int W, int) { return R(W - 162, 450, W, 470); }},
    {1259, "list: size title", [](int W, int) { return R(W - 99, 450, W, 470); }},
    {1260, "list: name title", [](int W, int) { return R(W - 323, 450, W - 99, 470); }},
    {1250, "play list", [](int W, int H) { return R(W - 323, 470, W - 1, H - 21); }},
    // The pictures and the sliders.
    {2000, "front video", [](int W, int H) { return R(2, 109, W - 323, H - 242); }},
    {2001, "rear video", [](int W, int) { return R(W - 322, 109, W - 2, 349); }},
    {1200, "position slider", [](int W, int H) { return R(0, H - 242, W - 322, H - 235); }},
    {1205, "speed gauge", [](int, int H) { return R(14, H - 42, 149, H - 34); }},
    // Texts.
    {1150, "label: front", [](int, int) { return R(7, 83, 68, 133); }},
    {1151, "label: rear", [](int W, int) { return R(W - 288, 83, W - 223, 133); }},
    {1152, "label: map", [](int W, int) { return R(W - 288, 360, W - 248, 375); }},
    {1153, "label: play list", [](int W, int) { return R(W - 315, 397, W - 115, 447); }},
    {1155, "current time", [](int, int H) { return R(13, H - 228, 75, H - 213); }},
    {1156, "duration", [](int, int H) { return R(77, H - 228, 142, H - 213); }},
    {1163, "version", [](int W, int H) { return R(W - 114, H - 16, W - 23, H); }},
    {1158, "acceleration X", [](int, int H) { return R(163, H - 109, 213, H - 96); }},
    {1159, "acceleration Y", [](int, int H) { return R(163, H - 81, 213, H - 68); }},
    {1160, "acceleration Z", [](int, int H) { return R(163, H - 53, 213, H - 40); }},
    {1164, "analysis message", [](int W, int H) { return R(300 + Dx(W) / 2, H - 16, 800 + Dx(W) / 2, H); }},
    {1162, "main title", [](int, int) { return R(76, 79, 283, 101); }},
    {1154, "second title", [](int W, int) { return R(W - 215, 79, W - 8, 101); }},
    {1157, "speed number", [](int, int H) { return R(27, H - 98, 99, H - 55); }},
    {1161, "acceleration graph", [](int W, int H) { return R(220, H - 115, 474 + Dx(W), H - 37); }},
    {1166, "vehicle-signal panel", [](int W, int H) { return R(487 + Dx(W), H - 89, 634 + Dx(W), H - 38); }},
    {1167, "vehicle-signal caption", [](int W, int H) { return R(495 + Dx(W), H - 115, 624 + Dx(W), H - 95); }},
    {1307, "unit", [](int, int H) { return R(104, H - 74, 143, H - 57); }},
};
} // namespace

class TestMainLayout : public QObject
{
    Q_OBJECT

private:
    CRecordingPlatform m_platform;
    QTemporaryDir m_dir;
    std::unique_ptr<CFakeTransport> m_fake;
    std::unique_ptr<CMovaraDlg> m_dlg;
    // The rectangles seen at the start, grown and back at the start.
    QMap<int, QRect> m_start, m_grown, m_back;
    QSize m_startSize, m_grownSize;
    QStringList m_resizeCalls;

    QMap<int, QRect> Rects() const
    {
        QMap<int, QRect> out;
        for (const Row& row : kRows)
            if (QWidget* w = m_dlg->Control(row.id))
                out.insert(row.id, w->geometry());
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        StartWindowTests(m_platform, QStringLiteral("english"), m_dir.path());
        if (QTest::currentTestFailed())
            return;
        const QString root = m_dir.filePath(QStringLiteral("card"));
        QVERIFY(WriteCard(root, "ARX330", ThreeRecordings()));
        qputenv("KESTRAV_CARD_ROOTS", root.toLocal8Bit());

        m_fake = std::make_unique<CFakeTransport>();
        CMovaraDlgOptions o;
        o.showSplash = false;
        o.probeConnectivity = [] { return false; };
        o.extract = [](const QString&, CTextData&) {};
        o.transport = m_fake.get();
        m_dlg = std::make_unique<CMovaraDlg>(o);
        m_dlg->OnInitDialog();
        QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
        m_startSize = m_dlg->size();
        m_start = Rects();
        m_fake->calls.clear();
        m_dlg->resize(m_startSize + QSize(200, 150));
        m_grownSize = m_dlg->size();
        m_grown = Rects();
        m_resizeCalls = m_fake->calls;
        m_dlg->resize(m_startSize);
        m_back = Rects();
    }
    void cleanupTestCase()
    {
        m_dlg.reset();
        m_fake.reset();
        FinishWindowTests();
    }

    void sizes()
    {
        QCOMPARE(m_startSize, QSize(kBaseWidth, kBaseHeight));
        QCOMPARE(m_grownSize, QSize(kBaseWidth + 200, kBaseHeight + 150));
        // The picture keeps its aspect in the new size.
        QVERIFY(m_resizeCalls.contains(QStringLiteral("ResetSize(1)")));
    }

    void controlRectangles_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kRows)); ++i)
            QTest::newRow(kRows[i].name) << i;
    }
    void controlRectangles()
    {
        QFETCH(int, row);
        const Row& r = kRows[row];
        QVERIFY2(m_start.contains(r.id), "the control exists");
        QCOMPARE(m_start.value(r.id), r.rect(m_startSize.width(), m_startSize.height()));
        QCOMPARE(m_grown.value(r.id), r.rect(m_grownSize.width(), m_grownSize.height()));
        QCOMPARE(m_back.value(r.id), m_start.value(r.id));
    }
};

QTEST_MAIN(TestMainLayout)
#include "tst_mainlayout.moc"
