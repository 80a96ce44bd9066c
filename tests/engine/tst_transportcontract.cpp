// One contract, two transports: the deterministic stand-in the main window's
// tests drive, and the engine on a real recording. Each case runs over both.
#include "EngineFixture.h"
#include "FakeTransport.h"

#include "writers/MediaWriters.h"
#include "platform/Platform.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <functional>

using namespace Engine;

namespace {

// Receives the transport's messages as the main window does: 0x406 ->
// HandleGraphEvent; what the transport looks like when 0x407 arrives.
class CListener : public QObject
{
public:
    explicit CListener(ITransport& t)
        : m_t(t)
    {
        t.SetNotifyWindow(this);
        connect(t.Notifier(), &CTransportNotifier::NotifyMessage, this, [this](unsigned m, quintptr, qintptr) {
            messages.append(m);
            if (m == kMsgGraphNotify) {
                m_t.HandleGraphEvent();
            } else if (m == kMsgPlayComplete) {
                stateAtComplete = m_t.GetState();
                tracksAtComplete = m_t.GetVideoTrackCount();
            }
        });
    }
    int Count(unsigned m) const { return int(messages.count(m)); }

    QList<unsigned> messages;
    int stateAtComplete = -1;
    int tracksAtComplete = -1;

private:
    ITransport& m_t;
};

} // namespace

class TestTransportContract : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { m_platform.Clear(); }

    void statesAndPositions_data() { Rows(); }
    void statesAndPositions();
    void serialsAndPictures_data() { Rows(); }
    void serialsAndPictures();
    void geometryAndSwap_data() { Rows(); }
    void geometryAndSwap();
    void endOfRecording_data() { Rows(); }
    void endOfRecording();
    void failedOpen_data() { Rows(); }
    void failedOpen();
    void fakeRecordsAndEmits();

private:
    // A transport of the row's kind with a 12 s, two-camera recording ready
    // to open at Recording(); its targets are 640x360 and 320x180.
    std::unique_ptr<ITransport> Make();
    QString Recording() const { return m_dir.filePath("long.avi"); }
    static void Rows()
    {
        QTest::addColumn<bool>("fake");
        QTest::newRow("fake") << true;
        QTest::newRow("engine") << false;
    }

    QTemporaryDir m_dir;
    CRecordingPlatform m_platform;
};

void TestTransportContract::initTestCase()
{
    QVERIFY(m_dir.isValid());
    CPlatform::Install(&m_platform);
    AviOptions avi;
    avi.durationSec = 12.0;
    avi.size = QSize(160, 96);
    avi.secondVideo = true;
    avi.secondSize = QSize(96, 64);
    avi.audio = true;
    QString error;
    QVERIFY2(WriteTestAvi(Recording(), avi, &error), qPrintable(error));
}

std::unique_ptr<ITransport> TestTransportContract::Make()
{
    QFETCH(bool, fake);
    std::unique_ptr<ITransport> t;
    if (fake) {
        auto f = std::make_unique<CFakeTransport>();
        f->openDurationUnits = 12 * kUnitsPerSecond;
        f->openVideoTracks = 2;
        t = std::move(f);
    } else {
        t = std::make_unique<CVideoMgr>();
    }
    t->SetVideoTargets(QSize(640, 360), QSize(320, 180));
    return t;
}

void TestTransportContract::statesAndPositions()
{
    std::unique_ptr<ITransport> t = Make();
    CListener listener(*t);
    // Nothing open.
    QCOMPARE(t->GetState(), int(STATE_STOP));
    QCOMPARE(t->Play(), S_OK);
    QCOMPARE(t->GetState(), int(STATE_STOP));
    QCOMPARE(t->Pause(), S_OK);
    QCOMPARE(t->GetState(), int(STATE_STOP));
    QCOMPARE(t->GetDuration(), 0L);
    QCOMPARE(t->GetPosition(), 0L);
    QCOMPARE(t->HandleGraphEvent(), E_ABORT);
    QVERIFY(!t->Close());

    // open -> pause, play -> play, pause -> pause, stop -> stop.
    QVERIFY(t->OnMovieOpen(Recording(), false));
    QCOMPARE(t->GetState(), int(STATE_PAUSE));
    QCOMPARE(t->GetVideoTrackCount(), 2);
    QCOMPARE(t->GetDuration(), 12L);
    QCOMPARE(t->GetPosition(), 0L);
    QCOMPARE(t->Play(), S_OK);
    QCOMPARE(t->GetState(), int(STATE_PLAY));
    QCOMPARE(t->Pause(), S_OK);
    QCOMPARE(t->GetState(), int(STATE_PAUSE));

    // Positions in whole seconds, truncated: 83 % of 12 s is 9.96 s.
    t->SetPosition(83);
    QVERIFY(WaitForSerial(*t, kFrontTarget, t->CurrentSerial()));
    QCOMPARE(t->GetPosition(), 9L);
    // Ten seconds on from 9.96 s passes the end: 0.1 s before it.
    t->SeekForwards();
    QVERIFY(WaitForSerial(*t, kFrontTarget, t->CurrentSerial()));
    QCOMPARE(t->GetPosition(), 11L);
    t->SeekBackwards(); // 1.9 s
    QVERIFY(WaitForSerial(*t, kFrontTarget, t->CurrentSerial()));
    QCOMPARE(t->GetPosition(), 1L);

    QCOMPARE(t->Stop(), S_OK);
    QCOMPARE(t->GetState(), int(STATE_STOP));
    QCOMPARE(t->GetDuration(), 12L); // stopped, still open
    // Skips are ignored while stopped.
    const uint64_t serial = t->CurrentSerial();
    t->SeekForwards();
    t->SeekBackwards();
    QCOMPARE(t->CurrentSerial(), serial);
    QCOMPARE(t->GetPosition(), 1L);

    QVERIFY(t->Close());
    QCOMPARE(t->GetState(), int(STATE_STOP));
    QCOMPARE(t->GetVideoTrackCount(), 0);
    QCOMPARE(t->GetDuration(), 0L);
    QVERIFY(!t->Close());
    // Volume and rate: stored, the rate back to 1.0 at the next open.
    t->SetVolume(10);
    t->SetVideoSpeed(2.0f);
    QCOMPARE(t->GetVolume(), 10);
    QCOMPARE(t->GetVideoSpeed(), 2.0f);
    QVERIFY(t->OnMovieOpen(Recording(), false));
    QCOMPARE(t->GetVolume(), 10);
    QCOMPARE(t->GetVideoSpeed(), 1.0f);
}

void TestTransportContract::serialsAndPictures()
{
    std::unique_ptr<ITransport> t = Make();
    CListener listener(*t);
    QSignalSpy ready(t->Notifier(), &CTransportNotifier::FrameReady);
    QCOMPARE(t->CurrentSerial(), uint64_t(0));
    QVERIFY(!t->LatestFrame(kFrontTarget).HasPicture());

    // An open takes a serial; its first pictures are there when it returns.
    QVERIFY(t->OnMovieOpen(Recording(), false));
    const uint64_t opened = t->CurrentSerial();
    QVERIFY(opened > 0);
    for (int target : {kFrontTarget, kRearTarget}) {
        const CShownFrameInfo info = t->ShownFrameInfo(target);
        QCOMPARE(info.serial, opened);
        QCOMPARE(info.streamTimeNs, int64_t(0));
        QVERIFY(info.frameCount > 0);
        QVERIFY(t->LatestFrame(target).HasPicture());
    }
    // ...and both targets hear of them, later.
    QCOMPARE(ready.count(), 0);
    QTRY_VERIFY(ready.contains(QVariantList{kFrontTarget}) && ready.contains(QVariantList{kRearTarget}));

    // Every seek and rate change takes the next serial; its picture carries it.
    t->SetPosition(50);
    QCOMPARE(t->CurrentSerial(), opened + 1);
    QVERIFY(WaitForSerial(*t, kFrontTarget, opened + 1));
    QVERIFY(WaitForSerial(*t, kRearTarget, opened + 1));
    QCOMPARE(t->ShownFrameInfo(kFrontTarget).streamTimeNs, int64_t(6'000'000'000));
    t->SetVideoSpeed(2.0f);
    QCOMPARE(t->CurrentSerial(), opened + 2);
    QVERIFY(WaitForSerial(*t, kFrontTarget, opened + 2));
    // The same rate again, or a refused one, seeks nothing.
    t->SetVideoSpeed(2.0f);
    t->SetVideoSpeed(-1.0f);
    QCOMPARE(t->CurrentSerial(), opened + 2);
    QCOMPARE(t->GetVideoSpeed(), -1.0f);
    // A new open takes the next one.
    QVERIFY(t->OnMovieOpen(Recording(), false));
    QCOMPARE(t->CurrentSerial(), opened + 3);
    QCOMPARE(t->ShownFrameInfo(kFrontTarget).serial, opened + 3);
    // Closed: no picture in either target.
    QVERIFY(t->Close());
    QVERIFY(!t->LatestFrame(kFrontTarget).HasPicture());
    QVERIFY(!t->LatestFrame(kRearTarget).HasPicture());
}

void TestTransportContract::geometryAndSwap()
{
    std::unique_ptr<ITransport> t = Make();
    CListener listener(*t);
    QVERIFY(t->OnMovieOpen(Recording(), false));
    t->ResetSize(true);
    QCOMPARE(t->LatestFrame(kFrontTarget).destination, QRect(0, 0, 640, 360));
    QCOMPARE(t->LatestFrame(kRearTarget).destination, QRect(0, 0, 320, 180));
    QVERIFY(t->LatestFrame(kFrontTarget).keepAspect);

    // Zoom: the front target only; 0x40E posted, not sent (the open posted one too).
    QTRY_COMPARE(listener.Count(kMsgViewSizeChanged), 1);
    listener.messages.clear();
    t->SetVideoViewSize(0.5f);
    QCOMPARE(t->GetVideoViewSize(), 0.5f);
    QCOMPARE(t->LatestFrame(kFrontTarget).destination, QRect(160, 90, 320, 180));
    QCOMPARE(t->LatestFrame(kRearTarget).destination, QRect(0, 0, 320, 180));
    QCOMPARE(listener.Count(kMsgViewSizeChanged), 0);
    QTRY_COMPARE(listener.Count(kMsgViewSizeChanged), 1);
    t->SetVideoViewSize(2.0f);
    t->MoveVideoPosByPercent(-50, 50);
    QCOMPARE(t->LatestFrame(kFrontTarget).destination, QRect(-320, -180, 1280, 720));
    // ResetSize while zoomed keeps the zoom.
    t->ResetSize(false);
    QCOMPARE(t->LatestFrame(kFrontTarget).destination, QRect(0, 0, 1280, 720));
    QVERIFY(t->LatestFrame(kFrontTarget).keepAspect);
    t->SetVideoViewSize(1.0f);
    t->ResetSize(false);
    QVERIFY(!t->LatestFrame(kFrontTarget).keepAspect);

    // Swap: the pictures change targets, whatever the state.
    const QSize frontCamera = t->LatestFrame(kFrontTarget).sourceSize;
    const QSize rearCamera = t->LatestFrame(kRearTarget).sourceSize;
    QVERIFY(frontCamera != rearCamera);
    QCOMPARE(t->Stop(), S_OK);
    QCOMPARE(t->SetReverseMode(true), 0);
    QVERIFY(t->GetReverseMode());
    QCOMPARE(t->LatestFrame(kFrontTarget).sourceSize, rearCamera);
    QCOMPARE(t->LatestFrame(kRearTarget).sourceSize, frontCamera);
    QCOMPARE(t->LatestFrame(kFrontTarget).destination, QRect(0, 0, 640, 360));
    // The rear camera detached: the rear target shows nothing.
    QCOMPARE(t->SetReverseMode(false), 0);
    t->DetachRearRenderer();
    QVERIFY(t->LatestFrame(kFrontTarget).HasPicture());
    QVERIFY(!t->LatestFrame(kRearTarget).HasPicture());
    // Without a recording the flag is only stored; the next open applies it.
    QVERIFY(t->Close());
    QCOMPARE(t->SetReverseMode(true), 0);
    QVERIFY(t->OnMovieOpen(Recording(), false));
    QCOMPARE(t->LatestFrame(kFrontTarget).sourceSize, rearCamera);
}

void TestTransportContract::endOfRecording()
{
    QFETCH(bool, fake);
    std::unique_ptr<ITransport> t = Make();
    CListener listener(*t);
    QVERIFY(t->OnMovieOpen(Recording(), false));
    QCOMPARE(t->Play(), S_OK);
    if (fake) {
        static_cast<CFakeTransport*>(t.get())->EmitEndOfStream();
    } else {
        t->SetPosition(99); // the last tenth of a second
    }
    QTRY_COMPARE_WITH_TIMEOUT(listener.Count(kMsgPlayComplete), 1, 20000);
    // 0x406 came first; 0x407 found the recording already closed.
    QVERIFY(listener.messages.indexOf(kMsgGraphNotify) < listener.messages.indexOf(kMsgPlayComplete));
    QCOMPARE(listener.stateAtComplete, int(STATE_STOP));
    QCOMPARE(listener.tracksAtComplete, 0);
    QCOMPARE(t->HandleGraphEvent(), E_ABORT);
    QVERIFY(!t->Close());
}

void TestTransportContract::failedOpen()
{
    QFETCH(bool, fake);
    std::unique_ptr<ITransport> t = Make();
    CListener listener(*t);
    QString path = m_dir.filePath("missing.avi");
    if (fake)
        static_cast<CFakeTransport*>(t.get())->openSucceeds = false;
    QVERIFY(!t->OnMovieOpen(path, false));
    QCOMPARE(t->GetState(), int(STATE_STOP));
    QVERIFY(!t->LatestFrame(kFrontTarget).HasPicture());
    QVERIFY(!t->LatestFrame(kRearTarget).HasPicture());
    QCOMPARE(t->GetDuration(), 0L);
    // What a failed open left behind goes with Close; then nothing plays.
    t->Close();
    QCOMPARE(t->Play(), S_OK);
    QCOMPARE(t->GetState(), int(STATE_STOP));
    QVERIFY(!t->Close());
}

void TestTransportContract::fakeRecordsAndEmits()
{
    // What only the stand-in offers: the record of calls, pictures and
    // events on demand.
    CFakeTransport t;
    CListener listener(t);
    t.calls.clear();
    t.autoFrames = false;
    t.openVideoTracks = 2;
    t.SetVideoTargets(QSize(64, 36), QSize(32, 18));
    QVERIFY(t.OnMovieOpen("/card/REC_F.MP4", true));
    t.ResetSize(true);
    t.SetVideoSpeed(2.0f);
    t.SetReverseMode(true);
    t.GetPosition(); // getters are not recorded
    QCOMPARE(t.calls, QStringList({"SetVideoTargets(64x36,32x18)", "OnMovieOpen(/card/REC_F.MP4,1)", "ResetSize(1)",
                                   "SetVideoSpeed(2)", "SetReverseMode(1)"}));
    QCOMPARE(t.OpenedPath(), QString("/card/REC_F.MP4"));
    QVERIFY(t.OpenedSingle());

    // Without automatic pictures, a target shows what the test hands over,
    // under the serial current then; swapped, the rear camera feeds the front target.
    QVERIFY(!t.LatestFrame(kFrontTarget).HasPicture());
    QImage rear(8, 8, QImage::Format_RGB32);
    rear.fill(Qt::red);
    QSignalSpy ready(t.Notifier(), &CTransportNotifier::FrameReady);
    t.EmitFrame(CFakeTransport::RearCamera, rear, 1'000'000'000);
    QTRY_VERIFY(ready.contains(QVariantList{kFrontTarget}));
    const CVideoFrame f = t.LatestFrame(kFrontTarget);
    QCOMPARE(f.image->pixel(0, 0), QColor(Qt::red).rgb());
    QCOMPARE(f.serial, t.CurrentSerial());
    QCOMPARE(f.streamTimeNs, int64_t(1'000'000'000));
    QCOMPARE(f.destination, QRect(0, 0, 64, 36));
    QVERIFY(!t.LatestFrame(kRearTarget).HasPicture());

    // Time moves when the test moves it.
    t.Play();
    t.SetPositionUnits(37 * kUnitsPerSecond + 9'000'000);
    QCOMPARE(t.GetPosition(), 37L);
    t.ForceState(STATE_PAUSE);
    QCOMPARE(t.GetState(), int(STATE_PAUSE));

    // A graph error ends the recording as the end of stream does.
    t.EmitGraphError();
    QCOMPARE(listener.Count(kMsgGraphNotify), 0); // posted
    QTRY_COMPARE(listener.Count(kMsgPlayComplete), 1);
    QCOMPARE(listener.stateAtComplete, int(STATE_STOP));
    QCOMPARE(listener.tracksAtComplete, 0);
    QCOMPARE(t.CountOf("HandleGraphEvent"), 1);
    QCOMPARE(t.CountOf("Close"), 0); // the transport closed itself
    QVERIFY(!t.IsOpen());
}

QTEST_MAIN(TestTransportContract)
#include "tst_transportcontract.moc"
