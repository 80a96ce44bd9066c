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
};

QTEST_MAIN(TestWindowModes)
#include "tst_windowmodes.moc"
