// The window modes' grip and drag rule on a plain window: where the press
// lands and the mode decide between moving, resizing and nothing.
#include "mainwindow/MainWindowIds.h"
#include "mainwindow/WindowModes.h"

#include <QMouseEvent>
#include <QTest>
#include <QWidget>

using namespace MainWnd;

namespace {
// A plain window that hands its mouse events to the rule, as the main window does.
class CModesWindow : public QWidget
{
public:
    CModesWindow()
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
        , modes(this)
    {
        setMouseTracking(true);
    }
    CWindowModes modes;

protected:
    void mousePressEvent(QMouseEvent* e) override { modes.MousePress(*e); }
    void mouseMoveEvent(QMouseEvent* e) override { modes.MouseMove(*e); }
    void mouseReleaseEvent(QMouseEvent* e) override { modes.MouseRelease(*e); }
};
} // namespace

class TestWindowModes : public QObject
{
    Q_OBJECT

private slots:
    void dragRule_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("inGrip");
        QTest::addColumn<QPoint>("drag");
        QTest::addColumn<QPoint>("moved");
        QTest::addColumn<QSize>("grown");
        const QPoint drag(30, 20);
        QTest::newRow("normal, body: moves") << kModeNormal << false << drag << drag << QSize(0, 0);
        QTest::newRow("maximised, body: stays") << kModeMaximised << false << drag << QPoint() << QSize(0, 0);
        QTest::newRow("expanded, body: stays") << kModeExpanded << false << drag << QPoint() << QSize(0, 0);
        QTest::newRow("normal, grip: resizes") << kModeNormal << true << drag << QPoint() << QSize(30, 20);
        QTest::newRow("maximised, grip: resizes") << kModeMaximised << true << drag << QPoint() << QSize(30, 20);
        QTest::newRow("expanded, grip: resizes") << kModeExpanded << true << drag << QPoint() << QSize(30, 20);
        QTest::newRow("grip inwards: not below the minimum") << kModeNormal << true << QPoint(-80, -50) << QPoint()
                                                             << QSize(-40, -25);
    }
    void dragRule()
    {
        QFETCH(int, mode);
        QFETCH(bool, inGrip);
        QFETCH(QPoint, drag);
        QFETCH(QPoint, moved);
        QFETCH(QSize, grown);
        CModesWindow window;
        window.setMinimumSize(360, 275);
        window.setGeometry(100, 100, 400, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.modes.SetWindowMode(mode);
        QCOMPARE(window.modes.WindowMode(), mode);
        const QPoint at = inGrip ? QPoint(400 - 5, 300 - 5) : QPoint(200, 150);
        QCOMPARE(window.modes.InGrip(at), inGrip);
        QTest::mouseMove(&window, at);
        QCOMPARE(window.cursor().shape(), inGrip ? Qt::SizeFDiagCursor : Qt::ArrowCursor);
        QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseMove(&window, at + drag);
        QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, at + drag);
        QCOMPARE(window.pos(), QPoint(100, 100) + moved);
        QCOMPARE(window.size(), QSize(400, 300) + grown);
        // After the release, moves with no button pressed change nothing.
        QTest::mouseMove(&window, at + drag + QPoint(10, 10));
        QCOMPARE(window.pos(), QPoint(100, 100) + moved);
        QCOMPARE(window.size(), QSize(400, 300) + grown);
    }

    // The monitor the expanded picture takes: the one the window overlaps
    // most, else the nearest to its centre.
    void nearestScreen_data()
    {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<int>("screen");
        QTest::newRow("inside the first") << QRect(100, 100, 965, 711) << 0;
        QTest::newRow("mostly on the second") << QRect(1500, 100, 965, 711) << 1;
        QTest::newRow("mostly on the first") << QRect(1000, 100, 965, 711) << 0;
        QTest::newRow("on the third, below") << QRect(200, 1300, 965, 711) << 2;
        QTest::newRow("off every screen, nearest the second") << QRect(4000, 200, 400, 300) << 1;
        QTest::newRow("off every screen, above the first") << QRect(300, -900, 400, 300) << 0;
    }
    void nearestScreen()
    {
        QFETCH(QRect, window);
        QFETCH(int, screen);
        // Two monitors side by side and a third below the first.
        const QList<QRect> screens = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024), QRect(0, 1080, 1920, 1080)};
        QCOMPARE(CWindowModes::NearestScreenIndex(window, screens), screen);
        QCOMPARE(CWindowModes::NearestScreenIndex(window, {}), -1);
    }

    // The map page's extent "west,north,east,south" in degrees becomes the
    // telemetry's degrees-and-minutes form.
    void mapExtent_data()
    {
        QTest::addColumn<QString>("extent");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QList<double>>("wnes");
        QTest::newRow("Seoul") << QStringLiteral("126.9,37.6,127.1,37.4") << true
                               << QList<double>{12654.0, 3736.0, 12706.0, 3724.0};
        QTest::newRow("blanks around fields") << QStringLiteral(" 126.5 , 37.25 ,127.75,  37 ") << true
                                              << QList<double>{12630.0, 3715.0, 12745.0, 3700.0};
        QTest::newRow("west of Greenwich, south") << QStringLiteral("-74.5,-33.25,-73.9,-34.75") << true
                                                  << QList<double>{-7430.0, -3315.0, -7354.0, -3445.0};
        QTest::newRow("extra fields ignored") << QStringLiteral("1,2,3,4,5") << true << QList<double>{100, 200, 300, 400};
        QTest::newRow("three fields") << QStringLiteral("126.9,37.6,127.1") << false << QList<double>{};
        QTest::newRow("empty field ends the list") << QStringLiteral("126.9,,37.6,127.1,37.4") << false
                                                   << QList<double>{};
        QTest::newRow("not a number") << QStringLiteral("126.9,north,127.1,37.4") << false << QList<double>{};
        QTest::newRow("empty") << QString() << false << QList<double>{};
        QTest::newRow("infinite") << QStringLiteral("inf,37.6,127.1,37.4") << false << QList<double>{};
    }
    void mapExtent()
    {
        QFETCH(QString, extent);
        QFETCH(bool, ok);
        QFETCH(QList<double>, wnes);
        double w = -1, n = -1, e = -1, s = -1;
        QCOMPARE(CWindowModes::ParseExtent(extent, &w, &n, &e, &s), ok);
        if (!ok)
            return;
        QVERIFY(qAbs(w - wnes[0]) < 1e-6);
        QVERIFY(qAbs(n - wnes[1]) < 1e-6);
        QVERIFY(qAbs(e - wnes[2]) < 1e-6);
        QVERIFY(qAbs(s - wnes[3]) < 1e-6);
    }

    // A window that is not the main window keeps only its mode and drag rule.
    void plainWindowIgnoresTheMainWindowActions()
    {
        CModesWindow window;
        window.modes.ToggleExpand();
        window.modes.ToggleMaximise();
        window.modes.ZoomStep(1);
        QCOMPARE(window.modes.WindowMode(), kModeNormal);
    }
};

QTEST_MAIN(TestWindowModes)
#include "tst_windowmodes.moc"
