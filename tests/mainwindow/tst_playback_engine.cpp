// End to end: the real main window and the real engine play a dual-stream
// recording from a card folder; both video windows paint pictures that
// advance, a seek by the position slider shows exactly the target frame in
// both, and stopping brings the skins back. Waits for frame serials and
// picture numbers, never for a fixed time.
#include "CardFixture.h"
#include "WindowTestEnvironment.h"
#include "catalogue/MemoryCard.h"
#include "engine/ITransport.h"
#include "engine/VideoMgr.h"
#include "lang/Lang.h"
#include "mainwindow/MainWindowIds.h"
#include "mainwindow/MovaraDlg.h"
#include "platform/Platform.h"
#include "skin/RListCtrl.h"
#include "skin/SkinImage.h"
#include "support/TestPictureReader.h"
#include "windows/VideoMainWnd.h"
#include "windows/VideoSubWnd.h"
#include "writers/MediaWriters.h"

#include <QDir>
#include <QLabel>
#include <QResource>
#include <QTemporaryDir>
#include <QTest>

using namespace MainWnd;

namespace {
constexpr int kFps = 30;

// The frame number the window painted last, or -1 (no picture, or none of
// the serial asked for).
int PaintedNumber(const CVideoWnd& w, uint64_t serial)
{
    const CVideoFrame& f = w.LastPaintedFrame();
    if (!f.HasPicture() || f.serial != serial)
        return -1;
    return DecodeFrameNumber(*f.image);
}
} // namespace

class TestPlaybackEngine : public QObject
{
    Q_OBJECT

private:
    CRecordingPlatform m_platform;
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        StartWindowTests(m_platform, QStringLiteral("english"));
    }
    void cleanupTestCase()
    {
        FinishWindowTests();
    }

    void dualStreamRecordingPlaysInBothWindows();
};

void TestPlaybackEngine::dualStreamRecordingPlaysInBothWindows()
{
    const QString root = m_dir.filePath(QStringLiteral("card"));
    QVERIFY(WriteCard(root, "ARX330", {}));
    const QString name = QStringLiteral("REC_2024_05_10_08_00_00_F.AVI");
    QVERIFY(QDir(root).mkpath(QStringLiteral("상시녹화")));
    AviOptions o;
    o.durationSec = 6.0;
    o.fps = kFps;
    o.size = QSize(320, 180);
    o.secondVideo = true;
    o.secondSize = QSize(320, 180);
    QString error;
    QVERIFY2(WriteTestAvi(QDir(root).filePath(QStringLiteral("상시녹화/") + name), o, &error), qPrintable(error));
    qputenv("KESTRAV_CARD_ROOTS", root.toLocal8Bit());

    CMovaraDlgOptions options;
    options.showSplash = false;
    options.probeConnectivity = [] { return false; };
    CMovaraDlg dlg(options);
    dlg.OnInitDialog();
    QTRY_VERIFY_WITH_TIMEOUT(!dlg.IsAnalysisRunning(), 20000);
    ITransport& engine = dlg.Transport();
    CVideoMainWnd& front = *dlg.FrontVideo();
    CVideoSubWnd& rear = *dlg.RearVideo();
    QCOMPARE(dlg.List()->GetItemCount(), 1);

    // A double click on the row plays it.
    QTest::mouseDClick(dlg.List(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 10));
    QCOMPARE(engine.GetState(), STATE_PLAY);
    QCOMPARE(engine.GetVideoTrackCount(), 2);
    QCOMPARE(dlg.currentTitle, name);
    QVERIFY(front.ShowsVideo() && rear.ShowsVideo());

    // Both windows paint pictures of this open, and they advance.
    const uint64_t opened = engine.CurrentSerial();
    QTRY_VERIFY_WITH_TIMEOUT(PaintedNumber(front, opened) >= 0 && PaintedNumber(rear, opened) >= 0, 10000);
    const int frontStart = PaintedNumber(front, opened);
    const int rearStart = PaintedNumber(rear, opened);
    QTRY_VERIFY_WITH_TIMEOUT(PaintedNumber(front, opened) >= frontStart + 15
                                 && PaintedNumber(rear, opened) >= rearStart + 15,
                             10000);
    // The slider and the time texts follow the playing second.
    QTRY_VERIFY_WITH_TIMEOUT(dlg.lastPosition >= 1, 10000);

    // Seek by the position slider to the middle: paused, both windows show
    // exactly the frame at 50 per cent.
    auto& mgr = static_cast<CVideoMgr&>(engine);
    const int64_t target = mgr.GetDurationUnits() * 50 / 100;
    const int expected = int(target * kFps / Engine::kUnitsPerSecond);
    dlg.OnWindowMessage(kMsgControlValue, kIdPositionSlider, 50);
    QCOMPARE(engine.GetState(), STATE_PAUSE);
    // The time reads the target at once, before the pictures have caught up.
    QCOMPARE(qobject_cast<QLabel*>(dlg.Control(kIdCurrentTime))->text(),
             QString::asprintf("00:00:%02d /", int(target / Engine::kUnitsPerSecond)));
    QVERIFY(dlg.seekPausedPlayback);
    const uint64_t seek = engine.CurrentSerial();
    QVERIFY(seek > opened);
    QTRY_COMPARE_WITH_TIMEOUT(PaintedNumber(front, seek), expected, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(PaintedNumber(rear, seek), expected, 10000);
    // The release resumes from there.
    dlg.OnWindowMessage(kMsgControlReleased, kIdPositionSlider, 0);
    QCOMPARE(engine.GetState(), STATE_PLAY);
    QTRY_VERIFY_WITH_TIMEOUT(PaintedNumber(front, seek) > expected + 5 && PaintedNumber(rear, seek) > expected + 5,
                             10000);

    // Stop: the recording closes and the skins come back.
    dlg.OnCommand(kIdStop);
    QCOMPARE(engine.GetState(), STATE_STOP);
    QTRY_VERIFY(!front.LastPaintedFrame().HasPicture() && !rear.LastPaintedFrame().HasPicture());
    QVERIFY(!front.ShowsVideo());
    QVERIFY(m_platform.CallsOf(QStringLiteral("MessageBox")).isEmpty());
}

QTEST_MAIN(TestPlaybackEngine)
#include "tst_playback_engine.moc"
