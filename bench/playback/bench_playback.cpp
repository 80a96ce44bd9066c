// Playback benchmark: a generated dual-stream recording (1080p30 front,
// 720p30 rear, audio) through CVideoMgr, then through the whole viewer (the
// main window with its video windows, play list and controls, started on a
// card folder holding the recording), against the same file through a plain
// GStreamer pipeline with fake sinks (in-process), gst-launch-1.0 and FFmpeg
// (external processes) in the same run. Prints figures; judges nothing.
//
//   bench_playback [--seconds N] [--keep DIR] [--file PATH]
#include "engine/EngineIds.h"
#include "writers/MediaWriters.h"
#include "support/TestPictureReader.h"
#include "engine/TransportNotifier.h"
#include "engine/VideoFrame.h"
#include "engine/VideoMgr.h"
#include "engine/VideoRenderer.h"
#include "catalogue/MemoryCard.h"
#include "lang/Lang.h"
#include "mainwindow/MainWindowIds.h"
#include "mainwindow/MovaraDlg.h"
#include "platform/Platform.h"
#include "skin/RListCtrl.h"
#include "windows/VideoMainWnd.h"
#include "windows/VideoSubWnd.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPainter>
#include <QProcess>
#include <QResource>
#include <QTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWidget>

#include <gst/gst.h>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double CpuSecondsSelf()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

double CpuSecondsChildren()
{
    rusage ru{};
    getrusage(RUSAGE_CHILDREN, &ru);
    return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) + double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Row(const char* what, const char* ours, double a, const char* unit, const char* base = nullptr, double b = -1)
{
    if (base)
        std::printf("  %-44s %-8s %9.2f %-6s | %-22s %9.2f %s\n", what, ours, a, unit, base, b, unit);
    else
        std::printf("  %-44s %-8s %9.2f %s\n", what, ours, a, unit);
    std::fflush(stdout);
}

QString PlainPipeline(const QString& path, bool sync);
bool WaitAsyncDone(GstElement* pipeline, int timeoutMs);

// Time for a plain pipeline (same elements, fake sinks) to pre-roll.
double PlainOpenMs(const QString& path)
{
    QElapsedTimer t;
    t.start();
    GstElement* pipeline = gst_parse_launch(PlainPipeline(path, true).toUtf8().constData(), nullptr);
    gst_element_set_state(pipeline, GST_STATE_PAUSED);
    const bool ok = WaitAsyncDone(pipeline, 10000);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok ? ms : -1;
}

// --- the engine ------------------------------------------------------------

// A window showing one target of the engine, as the viewer's video windows
// do: repaint on FrameReady, paint the published picture.
class CTargetWindow : public QWidget
{
public:
    CTargetWindow(CVideoMgr& engine, int target)
        : m_engine(engine)
        , m_target(target)
    {
        QObject::connect(engine.Notifier(), &CTransportNotifier::FrameReady, this, [this](int t) {
            if (t == m_target)
                update();
        });
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::darkGray);
        PaintVideoFrame(p, m_engine.LatestFrame(m_target));
    }

private:
    CVideoMgr& m_engine;
    int m_target;
};

struct EngineFigures {
    double openMs = -1;
    double plainOpenMs = -1; // measured alternately with ours, under the same load
    double openCallMs = -1;
    double seekMs = -1;
    int seekMisses = 0;
    double cpuPerSecond1x = -1;
    double framesPerSecond1x = -1;
    double achieved4x = -1;
    double framesPerSecond4x = -1;
};

EngineFigures MeasureEngine(const QString& path, double playSeconds)
{
    EngineFigures f;
    CVideoMgr engine;
    QWidget window;
    window.setWindowTitle(QStringLiteral("bench_playback"));
    auto* layout = new QHBoxLayout(&window);
    auto* front = new CTargetWindow(engine, Engine::kFrontTarget);
    auto* rear = new CTargetWindow(engine, Engine::kRearTarget);
    front->setMinimumSize(640, 360);
    rear->setMinimumSize(320, 180);
    layout->addWidget(front, 2);
    layout->addWidget(rear, 1);
    window.resize(990, 380);
    window.show(); // painting is part of the cost
    QTest::qWait(50);

    QObject notify;
    engine.SetNotifyWindow(&notify);
    engine.SetVideoTargets(front->size(), rear->size());
    QObject::connect(engine.Notifier(), &CTransportNotifier::NotifyMessage, &notify, [&](unsigned m, quintptr, qintptr) {
        if (m == Engine::kMsgGraphNotify)
            engine.HandleGraphEvent();
    });

    // Open to first pictures (both renderers), five times.
    std::vector<double> opens;
    std::vector<double> calls;
    std::vector<double> plainOpens;
    for (int i = 0; i < 7; ++i) {
        plainOpens.push_back(PlainOpenMs(path));
        engine.Close();
        QElapsedTimer t;
        t.start();
        if (!engine.OnMovieOpen(path, false)) {
            std::printf("  open failed\n");
            return f;
        }
        calls.push_back(double(t.nsecsElapsed()) / 1e6);
        engine.ResetSize(true);
        (void)QTest::qWaitFor([&] { return engine.FrontRenderer()->FrameCount() > 0 && engine.RearRenderer()->FrameCount() > 0; },
                        10000);
        opens.push_back(double(t.nsecsElapsed()) / 1e6);
        // Let the renderers' frame counts restart from a clean open next time.
        QTest::qWait(20);
    }
    f.openMs = Median(opens);
    f.openCallMs = Median(calls);
    f.plainOpenMs = Median(plainOpens);

    // Seek to a new picture, paused: until both pictures show the target frame.
    const int fps = 30;
    const int64_t duration = engine.GetDurationUnits();
    std::vector<double> seeks;
    for (int percent : {37, 81, 12, 64, 93, 5, 50, 27, 71, 44}) {
        const int64_t target = duration * percent / 100;
        const int expected = int(target * fps / Engine::kUnitsPerSecond);
        QElapsedTimer t;
        t.start();
        engine.SetPosition(percent);
        const bool ok = QTest::qWaitFor(
            [&] {
                auto a = engine.FrontRenderer()->CurrentFrame();
                auto b = engine.RearRenderer()->CurrentFrame();
                return a && b && DecodeFrameNumber(*a) == expected && DecodeFrameNumber(*b) == expected;
            },
            10000);
        if (ok)
            seeks.push_back(double(t.nsecsElapsed()) / 1e6);
        else
            ++f.seekMisses;
    }
    f.seekMs = Median(seeks);

    // 1x: CPU time per second of playback.
    engine.SetPosition(0);
    QTest::qWait(200);
    uint64_t frames0 = engine.FrontRenderer()->FrameCount() + engine.RearRenderer()->FrameCount();
    double cpu0 = CpuSecondsSelf();
    QElapsedTimer wall;
    int64_t pos0 = engine.GetPositionUnits();
    engine.Play();
    wall.start();
    QTest::qWait(int(playSeconds * 1000));
    double elapsed = double(wall.nsecsElapsed()) / 1e9;
    int64_t pos1 = engine.GetPositionUnits();
    f.cpuPerSecond1x = (CpuSecondsSelf() - cpu0) / (double(pos1 - pos0) / Engine::kUnitsPerSecond);
    f.framesPerSecond1x =
        double(engine.FrontRenderer()->FrameCount() + engine.RearRenderer()->FrameCount() - frames0) / elapsed;

    // 4x: achieved speed (stream seconds per wall second).
    engine.Pause();
    engine.SetPosition(0);
    QTest::qWait(200);
    engine.SetVideoSpeed(4.0f);
    QTest::qWait(200);
    pos0 = engine.GetPositionUnits();
    frames0 = engine.FrontRenderer()->FrameCount() + engine.RearRenderer()->FrameCount();
    engine.Play();
    wall.restart();
    const double window4x = std::min(playSeconds, (double(duration) / Engine::kUnitsPerSecond) / 4.0 - 0.5);
    QTest::qWait(int(window4x * 1000));
    elapsed = double(wall.nsecsElapsed()) / 1e9;
    pos1 = engine.GetPositionUnits();
    f.achieved4x = (double(pos1 - pos0) / Engine::kUnitsPerSecond) / elapsed;
    f.framesPerSecond4x =
        double(engine.FrontRenderer()->FrameCount() + engine.RearRenderer()->FrameCount() - frames0) / elapsed;
    engine.Close();
    return f;
}

// --- the whole viewer ---------------------------------------------------------

struct ViewerFigures {
    double playToPicturesMs = -1;   // play command to both windows' first pictures painted
    double playCallMs = -1;         // of which the play command returns after
    double seekToPictureMs = -1;    // slider value to both windows' new pictures painted
    int seekMisses = 0;
    double cpuPerSecond1x = -1;
    double plainCpuPerSecond1x = -1; // taking turns with the viewer
    double cpuRatio1x = -1;          // median of the rounds' ratios
    double paintsPerSecond1x = -1;  // both windows
    double longestStall1xMs = -1;   // the GUI thread's longest gap between timer ticks
    double achieved4x = -1;
    double longestStall4xMs = -1;
};

// Watches the GUI thread: a 2 ms precise timer whose longest gap between two
// ticks is the longest time the thread was busy with something else.
class CStallWatch : public QObject
{
public:
    CStallWatch()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(2);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
    }
    void Start()
    {
        m_clock.start();
        m_last = 0;
        m_longest = 0;
        m_timer.start();
    }
    double LongestMs()
    {
        m_timer.stop();
        return double(m_longest) / 1e6;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

// Runs the event loop until `done` holds right after one of the video
// windows painted (or `timeoutMs` passed); the time it first held, in ms
// from `clock`'s start, or -1.
double UntilPainted(CMovaraDlg& dlg, const QElapsedTimer& clock, const std::function<bool()>& done, int timeoutMs)
{
    if (done())
        return double(clock.nsecsElapsed()) / 1e6;
    QEventLoop loop;
    double at = -1;
    auto check = [&](unsigned message, quintptr, qintptr) {
        if (message == MainWnd::kMsgPictureRedraw && at < 0 && done()) {
            at = double(clock.nsecsElapsed()) / 1e6;
            loop.quit();
        }
    };
    auto a = QObject::connect(dlg.FrontVideo(), &CVideoWnd::NotifyMessage, &loop, check);
    auto b = QObject::connect(dlg.RearVideo(), &CVideoWnd::NotifyMessage, &loop, check);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(a);
    QObject::disconnect(b);
    return at;
}

bool WriteBenchCard(const QString& root, const QString& recording, QString* name)
{
    QDir dir(root);
    if (!dir.mkpath(QStringLiteral("SETTING")) || !dir.mkpath(QStringLiteral("상시녹화")))
        return false;
    QByteArray record(kDeviceRecordSize, '\0');
    const QByteArray model("ARX330");
    record.replace(kDeviceModelOffset, model.size(), model);
    QFile cfg(dir.filePath(QStringLiteral("SETTING/setup.cfg")));
    if (!cfg.open(QIODevice::WriteOnly) || cfg.write(record) != record.size())
        return false;
    *name = QStringLiteral("REC_2024_05_10_08_00_00_F.AVI");
    const QString target = dir.filePath(QStringLiteral("상시녹화/") + *name);
    return QFileInfo::exists(target) || QFile::copy(recording, target);
}

// CPU seconds of this process per second of media while a plain pipeline
// plays `seconds` at 1x from the start.
double PlainCpuPerSecond(const QString& path, double seconds)
{
    GstElement* pipeline = gst_parse_launch(PlainPipeline(path, true).toUtf8().constData(), nullptr);
    gst_element_set_state(pipeline, GST_STATE_PAUSED);
    double result = -1;
    if (WaitAsyncDone(pipeline, 10000)) {
        gint64 p0 = 0, p1 = 0;
        gst_element_query_position(pipeline, GST_FORMAT_TIME, &p0);
        const double cpu0 = CpuSecondsSelf();
        gst_element_set_state(pipeline, GST_STATE_PLAYING);
        QTest::qWait(int(seconds * 1000));
        gst_element_query_position(pipeline, GST_FORMAT_TIME, &p1);
        result = (CpuSecondsSelf() - cpu0) / (double(p1 - p0) / 1e9);
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return result;
}

ViewerFigures MeasureViewer(const QString& path, const QString& cardRoot, double playSeconds)
{
    ViewerFigures f;
    QString name;
    if (!WriteBenchCard(cardRoot, path, &name)) {
        std::printf("  cannot write the card\n");
        return f;
    }
    qputenv("KESTRAV_CARD_ROOTS", QDir(cardRoot).absolutePath().toLocal8Bit());
    CMovaraDlgOptions options;
    options.showSplash = false;
    options.probeConnectivity = [] { return false; };
    CMovaraDlg dlg(options);
    dlg.OnInitDialog();
    if (!QTest::qWaitFor([&] { return !dlg.IsAnalysisRunning(); }, 60000)) {
        std::printf("  the analysis does not end\n");
        return f;
    }
    ITransport& engine = dlg.Transport();
    auto& mgr = static_cast<CVideoMgr&>(engine);
    CVideoMainWnd& front = *dlg.FrontVideo();
    CVideoSubWnd& rear = *dlg.RearVideo();
    CRListCtrl& list = *dlg.List();
    auto both = [&](uint64_t serial) {
        return front.LastPaintedFrame().HasPicture() && front.LastPaintedFrame().serial == serial
            && rear.LastPaintedFrame().HasPicture() && rear.LastPaintedFrame().serial == serial;
    };

    // Play command (a double click's forced play) to both pictures painted.
    std::vector<double> plays;
    std::vector<double> calls;
    for (int i = 0; i < 7; ++i) {
        dlg.VideoSTOP();
        QTest::qWait(50);
        list.SetFocusedByName(name);
        QElapsedTimer t;
        t.start();
        dlg.OnCommand(MainWnd::kIdPlayForce);
        calls.push_back(double(t.nsecsElapsed()) / 1e6);
        const uint64_t serial = engine.CurrentSerial();
        const double at = UntilPainted(dlg, t, [&] { return both(serial); }, 10000);
        if (at >= 0)
            plays.push_back(at);
    }
    f.playToPicturesMs = Median(plays);
    f.playCallMs = Median(calls);

    // Seek by the position slider while paused, to both new pictures painted.
    dlg.VideoPause();
    QTest::qWait(100);
    std::vector<double> seeks;
    for (int percent : {37, 81, 12, 64, 93, 5, 50, 27, 71, 44}) {
        QElapsedTimer t;
        t.start();
        dlg.OnWindowMessage(MainWnd::kMsgControlValue, MainWnd::kIdPositionSlider, percent);
        const uint64_t serial = engine.CurrentSerial();
        const double at = UntilPainted(dlg, t, [&] { return both(serial); }, 10000);
        if (at >= 0)
            seeks.push_back(at);
        else
            ++f.seekMisses;
        dlg.OnWindowMessage(MainWnd::kMsgControlReleased, MainWnd::kIdPositionSlider, 0);
    }
    f.seekToPictureMs = Median(seeks);

    // 1x: CPU of the whole process per second of media, the paints of both
    // windows, the GUI thread's longest stall. The machine may be shared: the
    // viewer and a plain pipeline in this process take turns, three rounds
    // each, and the medians are compared.
    std::vector<double> viewerCpu;
    std::vector<double> plainCpu;
    std::vector<double> ratios;
    std::vector<double> paintRates;
    std::vector<double> stalls;
    const double roundSeconds = std::max(3.0, playSeconds / 2);
    for (int round = 0; round < 3; ++round) {
        const double plain = PlainCpuPerSecond(path, roundSeconds);
        dlg.OnWindowMessage(MainWnd::kMsgControlValue, MainWnd::kIdPositionSlider, round * 20);
        dlg.OnWindowMessage(MainWnd::kMsgControlReleased, MainWnd::kIdPositionSlider, 0);
        dlg.VideoPause();
        QTest::qWait(300);
        CStallWatch stall;
        const quint64 paints0 = front.PaintCount() + rear.PaintCount();
        const int64_t pos0 = mgr.GetPositionUnits();
        const double cpu0 = CpuSecondsSelf();
        QElapsedTimer wall;
        wall.start();
        dlg.VideoPlay(false);
        stall.Start();
        QTest::qWait(int(roundSeconds * 1000));
        stalls.push_back(stall.LongestMs());
        const double elapsed = double(wall.nsecsElapsed()) / 1e9;
        const int64_t pos1 = mgr.GetPositionUnits();
        const double viewer = (CpuSecondsSelf() - cpu0) / (double(pos1 - pos0) / Engine::kUnitsPerSecond);
        paintRates.push_back(double(front.PaintCount() + rear.PaintCount() - paints0) / elapsed);
        viewerCpu.push_back(viewer);
        plainCpu.push_back(plain);
        ratios.push_back(viewer / plain);
        dlg.VideoPause();
    }
    f.cpuPerSecond1x = Median(viewerCpu);
    f.plainCpuPerSecond1x = Median(plainCpu);
    f.cpuRatio1x = Median(ratios);
    f.paintsPerSecond1x = Median(paintRates);
    f.longestStall1xMs = *std::max_element(stalls.begin(), stalls.end());
    // Whether the pictures are painted at the size they were scaled to (no
    // scaling in the paint).
    for (const CVideoWnd* w : {static_cast<const CVideoWnd*>(&front), static_cast<const CVideoWnd*>(&rear)}) {
        const CVideoFrame& frame = w->LastPaintedFrame();
        if (frame.HasPicture())
            std::printf("  %s window: picture %dx%d painted into %dx%d\n", w == &front ? "front" : "rear",
                        frame.image->width(), frame.image->height(), VideoPictureRect(frame).width(),
                        VideoPictureRect(frame).height());
    }
    dlg.VideoPlay(false);

    // 4x through the speed panel's value (index 6).
    dlg.OnWindowMessage(MainWnd::kMsgControlValue, MainWnd::kIdPositionSlider, 0);
    dlg.OnWindowMessage(MainWnd::kMsgControlReleased, MainWnd::kIdPositionSlider, 0);
    dlg.OnWindowMessage(MainWnd::kMsgControlValue, MainWnd::kCodeSpeed, 6);
    QTest::qWait(300);
    const int64_t duration = mgr.GetDurationUnits();
    const int64_t p0 = mgr.GetPositionUnits();
    QElapsedTimer wall;
    wall.start();
    CStallWatch stall;
    stall.Start();
    const double window4x = std::min(playSeconds, (double(duration - p0) / Engine::kUnitsPerSecond) / 4.0 - 0.5);
    QTest::qWait(int(window4x * 1000));
    f.longestStall4xMs = stall.LongestMs();
    f.achieved4x = (double(mgr.GetPositionUnits() - p0) / Engine::kUnitsPerSecond) / (double(wall.nsecsElapsed()) / 1e9);
    dlg.VideoSTOP();
    dlg.close();
    return f;
}

// --- a plain GStreamer pipeline in this process ----------------------------

QString PlainPipeline(const QString& path, bool sync)
{
    const QString s = sync ? QStringLiteral("true") : QStringLiteral("false");
    return QStringLiteral("filesrc location=\"%1\" ! avidemux name=d "
                          "d.video_0 ! queue ! h264parse ! avdec_h264 ! videoconvert ! video/x-raw,format=BGRx ! "
                          "fakesink name=v0 sync=%2 "
                          "d.video_1 ! queue ! h264parse ! avdec_h264 ! videoconvert ! video/x-raw,format=BGRx ! "
                          "fakesink name=v1 sync=%2 "
                          "d.audio_0 ! queue ! decodebin ! audioconvert ! audioresample ! fakesink sync=%2")
        .arg(path, s);
}

struct PlainFigures {
    double seekMs = -1;
    double cpuPerSecond1x = -1;
};

bool WaitAsyncDone(GstElement* pipeline, int timeoutMs)
{
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* m = gst_bus_timed_pop_filtered(bus, GstClockTime(timeoutMs) * GST_MSECOND,
                                               GstMessageType(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR));
    const bool ok = m && GST_MESSAGE_TYPE(m) == GST_MESSAGE_ASYNC_DONE;
    if (m)
        gst_message_unref(m);
    gst_object_unref(bus);
    return ok;
}

PlainFigures MeasurePlain(const QString& path, double playSeconds)
{
    PlainFigures f;
    GstElement* pipeline = gst_parse_launch(PlainPipeline(path, true).toUtf8().constData(), nullptr);
    gst_element_set_state(pipeline, GST_STATE_PAUSED);
    if (!WaitAsyncDone(pipeline, 10000))
        std::printf("  plain pipeline does not pre-roll\n");
    gint64 duration = 0;
    gst_element_query_duration(pipeline, GST_FORMAT_TIME, &duration);
    std::vector<double> seeks;
    for (int percent : {37, 81, 12, 64, 93, 5, 50, 27, 71, 44}) {
        QElapsedTimer t;
        t.start();
        gst_element_seek_simple(pipeline, GST_FORMAT_TIME, GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                duration * percent / 100);
        if (WaitAsyncDone(pipeline, 10000))
            seeks.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    f.seekMs = Median(seeks);
    gst_element_seek_simple(pipeline, GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH, 0);
    WaitAsyncDone(pipeline, 10000);
    const double cpu0 = CpuSecondsSelf();
    gint64 p0 = 0, p1 = 0;
    gst_element_query_position(pipeline, GST_FORMAT_TIME, &p0);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    QTest::qWait(int(playSeconds * 1000));
    gst_element_query_position(pipeline, GST_FORMAT_TIME, &p1);
    f.cpuPerSecond1x = (CpuSecondsSelf() - cpu0) / (double(p1 - p0) / 1e9);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return f;
}

// --- external tools ----------------------------------------------------------

// CPU seconds of the child per second of media, or -1.
double ExternalCpuPerMediaSecond(const QString& program, const QStringList& args, double mediaSeconds,
                                 double* wallSeconds)
{
    if (QStandardPaths::findExecutable(program).isEmpty())
        return -1;
    const double before = CpuSecondsChildren();
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(600000) || p.exitCode() != 0)
        return -1;
    if (wallSeconds)
        *wallSeconds = double(t.nsecsElapsed()) / 1e9;
    return (CpuSecondsChildren() - before) / mediaSeconds;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser cl;
    cl.addHelpOption();
    QCommandLineOption secondsOpt("seconds", "Length of the generated recording (s).", "N", "20");
    QCommandLineOption keepOpt("keep", "Write the recording into DIR and keep it.", "DIR");
    QCommandLineOption fileOpt("file", "Use this dual-stream AVI instead of generating one.", "PATH");
    cl.addOptions({secondsOpt, keepOpt, fileOpt});
    cl.process(app);
    gst_init(nullptr, nullptr);

    const double seconds = std::max(8.0, cl.value(secondsOpt).toDouble());
    QTemporaryDir tmp;
    QString dir = cl.isSet(keepOpt) ? cl.value(keepOpt) : tmp.path();
    QDir().mkpath(dir);
    QString path = cl.value(fileOpt);
    if (path.isEmpty()) {
        path = QDir(dir).filePath(QStringLiteral("bench_dual_1080p_720p.avi"));
        if (!QFileInfo::exists(path)) {
            AviOptions o;
            o.durationSec = seconds;
            o.fps = 30;
            o.size = QSize(1920, 1080);
            o.videoKbps = 8000;
            o.secondVideo = true;
            o.secondSize = QSize(1280, 720);
            o.secondVideoKbps = 4000;
            o.audio = true;
            QElapsedTimer t;
            t.start();
            QString error;
            if (!WriteTestAvi(path, o, &error)) {
                std::printf("cannot write the recording: %s\n", qPrintable(error));
                return 1;
            }
            std::printf("generated %s (%.1f MB) in %.1f s\n", qPrintable(path), QFileInfo(path).size() / 1e6,
                        double(t.elapsed()) / 1000.0);
        }
    }
    const double playSeconds = std::min(8.0, seconds / 2);
    std::printf("recording: %s, %.0f s, 1080p30 front + 720p30 rear + PCM audio; %d CPUs; QPA %s\n",
                qPrintable(QFileInfo(path).fileName()), seconds, QThread::idealThreadCount(),
                qPrintable(QGuiApplication::platformName()));

    const EngineFigures e = MeasureEngine(path, playSeconds);

    // The whole viewer needs its pictures, its texts, and a façade that never blocks.
    ViewerFigures v;
    CRecordingPlatform platform;
    CPlatform::Install(&platform);
    const QString library = QCoreApplication::applicationDirPath() + QStringLiteral("/NvImageDll.rcc");
    if (QResource::registerResource(library) && SelectLanguage(QStringLiteral("korean")))
        v = MeasureViewer(path, QDir(dir).filePath(QStringLiteral("card")), playSeconds);
    else
        std::printf("  no image library at %s: the viewer is not measured\n", qPrintable(library));
    CPlatform::Install(nullptr);

    const PlainFigures p = MeasurePlain(path, playSeconds);

    double ffWall = -1;
    const double ffCpu = ExternalCpuPerMediaSecond(
        QStringLiteral("ffmpeg"), {"-v", "error", "-nostdin", "-i", path, "-map", "0:v:0", "-map", "0:v:1", "-map", "0:a",
                                   "-f", "null", "-"},
        seconds, &ffWall);
    double glWall = -1;
    const double glCpu = ExternalCpuPerMediaSecond(
        QStringLiteral("gst-launch-1.0"), QProcess::splitCommand("-q " + PlainPipeline(path, false)), seconds, &glWall);

    std::printf("\nCVideoMgr (ours) vs baseline, same file, same run\n");
    Row("open to first pictures (median of 7)", "ours", e.openMs, "ms", "plain pipeline", e.plainOpenMs);
    Row("  of which OnMovieOpen returns after", "ours", e.openCallMs, "ms");
    Row("seek to new pictures, paused (median of 10)", "ours", e.seekMs, "ms", "plain pipeline", p.seekMs);
    if (e.seekMisses)
        std::printf("  (%d seeks did not show the expected frame within 10 s)\n", e.seekMisses);
    Row("CPU time per second of playback at 1x", "ours", e.cpuPerSecond1x * 1000, "ms", "plain pipeline",
        p.cpuPerSecond1x * 1000);
    Row("pictures presented per second at 1x (both)", "ours", e.framesPerSecond1x, "fps");
    Row("achieved speed at 4x", "ours", e.achieved4x, "x");
    Row("pictures presented per second at 4x (both)", "ours", e.framesPerSecond4x, "fps");
    std::printf("\nthe whole viewer (main window, video windows, list, controls) vs baseline, same file\n");
    Row("play command to both first pictures painted", "viewer", v.playToPicturesMs, "ms", "goal", 150);
    Row("  of which the play command returns after", "viewer", v.playCallMs, "ms");
    Row("slider seek to both new pictures painted", "viewer", v.seekToPictureMs, "ms", "goal", 120);
    if (v.seekMisses)
        std::printf("  (%d seeks did not paint their pictures within 10 s)\n", v.seekMisses);
    Row("CPU time per second of playback at 1x", "viewer", v.cpuPerSecond1x * 1000, "ms", "plain, taking turns",
        v.plainCpuPerSecond1x * 1000);
    std::printf("  %-44s %-8s %9.2f x the plain pipeline (median of 3 rounds; goal <= 1.10)\n", "", "viewer",
                v.cpuRatio1x);
    Row("pictures painted per second at 1x (both)", "viewer", v.paintsPerSecond1x, "fps");
    Row("GUI thread's longest stall at 1x", "viewer", v.longestStall1xMs, "ms");
    Row("achieved speed at 4x", "viewer", v.achieved4x, "x");
    Row("GUI thread's longest stall at 4x", "viewer", v.longestStall4xMs, "ms");

    std::printf("\ndecode-only baselines (as fast as possible, whole file):\n");
    if (ffCpu >= 0)
        std::printf("  %-44s %9.2f ms CPU per media second, %.2fx real time\n", "ffmpeg -i f -f null -", ffCpu * 1000,
                    seconds / ffWall);
    else
        std::printf("  ffmpeg not available\n");
    if (glCpu >= 0)
        std::printf("  %-44s %9.2f ms CPU per media second, %.2fx real time\n", "gst-launch-1.0 ... ! fakesink sync=false",
                    glCpu * 1000, seconds / glWall);
    else
        std::printf("  gst-launch-1.0 not available\n");
    return 0;
}
