// The splash window: version text, progress fill, its hundred steps ending
// with OK, and the keys and close requests it refuses.
#include "base/AppVersion.h"
#include "lang/Lang.h"
#include "platform/Platform.h"
#include "skin/SkinImage.h"
#include "windows/SplashDlg.h"
#include "support/TraceCapture.h"
#include "windows/WindowsIds.h"

#include <QGuiApplication>
#include <QResource>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

using namespace WindowsIds;

class TestWindows : public QObject
{
    Q_OBJECT

private:
    CRecordingPlatform m_platform;

private slots:
    void initTestCase()
    {
        const QString library = qEnvironmentVariable("KESTRAV_BIN_DIR") + QStringLiteral("/NvImageDll.rcc");
        QVERIFY2(QResource::registerResource(library), qPrintable(library));
        CPlatform::Install(&m_platform);
        QVERIFY(SelectLanguage(QStringLiteral("english")));
    }
    void cleanupTestCase()
    {
        CSkinImage::DestroyInstance();
        CPlatform::Install(nullptr);
    }

    void versionText_data();
    void versionText();
    void programVersionHasFourNumbers();
    void fillWidth_data();
    void fillWidth();
    void hundredStepsEndWithOk();
    void enterEscapeAndCloseDoNotEndIt();
    void picture();
};

void TestWindows::versionText_data()
{
    QTest::addColumn<QString>("fileVersion");
    QTest::addColumn<QString>("line");
    QTest::newRow("four pieces") << "1.2.3.2" << "Version  1.2.3.02";
    QTest::newRow("five pieces") << "1.2.3.4.5" << "Version  1.2.3.04";
    QTest::newRow("two pieces") << "1.2" << "Version  1.2.0.00";
    QTest::newRow("blanks") << " 7 . 8 .9 . 10 " << "Version  7.8.9.10";
    QTest::newRow("not numbers") << "a.5b.c.d" << "Version  0.5.0.00";
    QTest::newRow("unreadable") << "" << "Version  0.0.0.00";
}

void TestWindows::versionText()
{
    QFETCH(QString, fileVersion);
    QFETCH(QString, line);
    CSplashDlg splash;
    splash.SetTimerPeriod(60000);
    splash.SetVersionSource([fileVersion] { return fileVersion; });
    splash.Start();
    QCOMPARE(splash.VersionLine(), line);
    splash.OnSetStep(kSplashSteps); // ends it
}

void TestWindows::programVersionHasFourNumbers()
{
    // The build's version reads as a four-number file version, so the
    // window's version text is never the failure text.
    const QStringList parts = ProgramFileVersion().split(QLatin1Char('.'));
    QCOMPARE(parts.size(), 4);
    QVERIFY(ProgramFileVersion().startsWith(QString::fromLatin1(KESTRAV_VERSION)));
    QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d{2,}$"))
                .match(FormatFileVersion(ProgramFileVersion()))
                .hasMatch());
}

void TestWindows::fillWidth_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("width");
    // The single-precision 1.8 lies just below 1.8: the products truncate down.
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("1") << 1 << 1;
    QTest::newRow("5") << 5 << 8;
    QTest::newRow("10") << 10 << 17;
    QTest::newRow("50") << 50 << 89;
    QTest::newRow("100") << 100 << 179;
}

void TestWindows::fillWidth()
{
    QFETCH(int, step);
    QFETCH(int, width);
    QCOMPARE(CSplashDlg::FillWidth(step), width);
}

void TestWindows::hundredStepsEndWithOk()
{
    CTraceCapture trace;
    CSplashDlg splash;
    splash.SetTimerPeriod(1);
    QSignalSpy finished(&splash, &QDialog::finished);
    splash.Start();
    QVERIFY(splash.isVisible());
    QVERIFY(splash.IsRunning());
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toInt(), 1); // IDOK
    QCOMPARE(splash.result(), int(QDialog::Accepted));
    QCOMPARE(splash.Step(), kSplashSteps);
    QVERIFY(!splash.IsRunning());
    QVERIFY(!splash.isVisible());
    QCOMPARE(trace.Lines().count(QStringLiteral("Kestrav----->Splash Step over 100")), 1);
    QCOMPARE(trace.Lines().count(QStringLiteral("Splash pos : <100>")), 1);
    QVERIFY(m_platform.CallsOf(QStringLiteral("MessageBox")).isEmpty()); // splash.png was found

    // exec() runs the same hundred steps modally and returns OK.
    CSplashDlg modal;
    modal.SetTimerPeriod(1);
    QCOMPARE(modal.exec(), 1);
    QCOMPARE(modal.Step(), kSplashSteps);
}

void TestWindows::enterEscapeAndCloseDoNotEndIt()
{
    CSplashDlg splash;
    splash.SetTimerPeriod(60000); // the test drives the steps
    QSignalSpy finished(&splash, &QDialog::finished);
    splash.Start();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
        QTest::keyClick(&splash, key);
    QVERIFY(!splash.close());
    QTest::qWait(20);
    QVERIFY(splash.isVisible());
    QVERIFY(splash.IsRunning());
    QCOMPARE(finished.size(), 0);

    splash.OnSetStep(99);
    QCOMPARE(finished.size(), 0);
    splash.OnSetStep(100);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toInt(), 1);
}

void TestWindows::picture()
{
    CSplashDlg splash;
    splash.SetTimerPeriod(60000);
    splash.Start();
    QCOMPARE(splash.size(), QSize(kSplashWidth, kSplashHeight));
    QCOMPARE(splash.windowTitle(), QStringLiteral("Kestrav"));
    QVERIFY(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(qAbs(splash.geometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(splash.geometry().center().y() - screen.center().y()) <= 1);

    const QColor fill = QColor::fromRgb(kSplashFillColor);
    const QColor track = QColor::fromRgb(kSplashTrackColor);
    const int y = kSplashTrackTop + 1;
    QImage empty = splash.grab().toImage();
    QCOMPARE(empty.pixelColor(kSplashTrackLeft, y), track);
    QCOMPARE(empty.pixelColor(kSplashTrackRight - 1, y), track);

    splash.OnSetStep(50); // 89 pixels
    QImage half = splash.grab().toImage();
    QCOMPARE(half.pixelColor(kSplashTrackLeft, y), fill);
    QCOMPARE(half.pixelColor(kSplashTrackLeft + 88, kSplashTrackTop), fill);
    QCOMPARE(half.pixelColor(kSplashTrackLeft + 88, kSplashTrackBottom - 1), fill);
    QCOMPARE(half.pixelColor(kSplashTrackLeft + 89, y), track);
    // Outside the track the picture is untouched by the fill.
    QCOMPARE(half.pixelColor(kSplashTrackLeft + 10, kSplashTrackTop - 1),
             empty.pixelColor(kSplashTrackLeft + 10, kSplashTrackTop - 1));
    QCOMPARE(half.pixelColor(kSplashTrackLeft + 10, kSplashTrackBottom),
             empty.pixelColor(kSplashTrackLeft + 10, kSplashTrackBottom));

    // The version line is drawn in its box: another version changes the
    // pixels there and nowhere else.
    CSplashDlg other;
    other.SetTimerPeriod(60000);
    other.SetVersionSource([] { return QStringLiteral("8.8.8.88"); });
    other.Start();
    other.OnSetStep(50);
    const QImage otherHalf = other.grab().toImage();
    QVERIFY(half.copy(kSplashVersionBox) != otherHalf.copy(kSplashVersionBox));
    QImage a = half;
    QImage b = otherHalf;
    const QRect box = kSplashVersionBox;
    for (QImage* img : {&a, &b})
        for (int yy = box.top(); yy <= box.bottom(); ++yy)
            for (int x = box.left(); x <= box.right(); ++x)
                img->setPixel(x, yy, 0);
    QCOMPARE(a, b);

    other.OnSetStep(kSplashSteps);
    splash.OnSetStep(kSplashSteps);
    QCOMPARE(splash.result(), 1);
}

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
