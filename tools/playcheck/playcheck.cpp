// Manual check of the playback engine: plays a recording with the front and
// rear pictures side by side, shows the frame number each picture carries
// (recordings from the test writers), and can save a screenshot of the window
// while it plays.
//
//   playcheck [FILE] [--single] [--at SECONDS] [--screenshot OUT.png] [--swap] [--zoom Z]
//   Without FILE a two-stream AVI (front and rear picture) is generated.
//   Under a display-less shell: xvfb-run -a playcheck --at 3 --screenshot /tmp/shot.png
#include "engine/EngineIds.h"
#include "writers/MediaWriters.h"
#include "support/TestPictureReader.h"
#include "engine/TransportNotifier.h"
#include "engine/VideoFrame.h"
#include "engine/VideoMgr.h"
#include "engine/VideoRenderer.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

namespace {
// A video window as the viewer's are meant to be: it paints a plain skin,
// then the picture the engine publishes for its target; it repaints when the
// engine announces a new picture and tells the engine its size.
class CSkinWindow : public QWidget
{
public:
    CSkinWindow(const QString& label, CVideoMgr& engine, int target)
        : m_label(label)
        , m_engine(engine)
        , m_target(target)
    {
        setMinimumSize(480, 270);
        QObject::connect(engine.Notifier(), &CTransportNotifier::FrameReady, this, [this](int t) {
            if (t == m_target)
                update();
        });
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(40, 52, 64));
        p.setPen(Qt::white);
        p.drawText(rect(), Qt::AlignCenter, m_label);
        PaintVideoFrame(p, m_engine.LatestFrame(m_target));
    }
    void resizeEvent(QResizeEvent*) override
    {
        m_engine.SetTargetSize(m_target, size());
        if (m_engine.GetState() != STATE_STOP)
            m_engine.ResetSize(true);
    }

private:
    QString m_label;
    CVideoMgr& m_engine;
    int m_target;
};

int FrameNumber(const CVideoRenderer* r)
{
    const auto frame = r ? r->CurrentFrame() : nullptr;
    return frame ? DecodeFrameNumber(*frame) : -1;
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser cl;
    cl.addHelpOption();
    cl.addPositionalArgument("file", "Recording to play (AVI, or an MP4 with or without its partner).");
    QCommandLineOption singleOpt("single", "Single play type (MP4: the file alone).");
    QCommandLineOption atOpt("at", "Seconds of playing before the screenshot.", "s", "3");
    QCommandLineOption shotOpt("screenshot", "Save the window to this PNG, then quit.", "png");
    QCommandLineOption swapOpt("swap", "Exchange the front and rear pictures.");
    QCommandLineOption zoomOpt("zoom", "Front picture zoom (0.5, 1.0, 1.5, 2.0).", "z", "1.0");
    cl.addOptions({singleOpt, atOpt, shotOpt, swapOpt, zoomOpt});
    cl.process(app);

    QTemporaryDir tmp;
    QString path = cl.positionalArguments().value(0);
    if (path.isEmpty()) {
        path = tmp.filePath("playcheck.avi");
        AviOptions o;
        o.durationSec = 10.0;
        o.size = QSize(640, 360);
        o.secondVideo = true;
        o.secondSize = QSize(480, 272);
        o.audio = true;
        QString error;
        if (!WriteTestAvi(path, o, &error)) {
            std::fprintf(stderr, "cannot write a recording: %s\n", qPrintable(error));
            return 1;
        }
    }

    CVideoMgr engine;
    QWidget window;
    window.setWindowTitle(QStringLiteral("playcheck - %1").arg(path));
    auto* column = new QVBoxLayout(&window);
    auto* row = new QHBoxLayout;
    auto* front = new CSkinWindow(QStringLiteral("front"), engine, Engine::kFrontTarget);
    auto* rear = new CSkinWindow(QStringLiteral("rear"), engine, Engine::kRearTarget);
    row->addWidget(front);
    row->addWidget(rear);
    column->addLayout(row);
    auto* status = new QLabel;
    column->addWidget(status);
    window.resize(1000, 330);
    window.show();

    QObject notify;
    engine.SetNotifyWindow(&notify);
    engine.SetVideoTargets(front->size(), rear->size());
    QObject::connect(engine.Notifier(), &CTransportNotifier::NotifyMessage, &notify, [&](unsigned m, quintptr, qintptr) {
        if (m == Engine::kMsgGraphNotify)
            engine.HandleGraphEvent();
        else if (m == Engine::kMsgPlayComplete)
            status->setText(status->text() + QStringLiteral("  [end of recording]"));
    });
    if (!engine.OnMovieOpen(path, cl.isSet(singleOpt))) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        return 1;
    }
    engine.ResetSize(true);
    if (cl.isSet(swapOpt))
        engine.SetReverseMode(true);
    engine.SetVideoViewSize(cl.value(zoomOpt).toFloat());
    engine.Play();

    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        status->setText(QStringLiteral("%1 / %2 s   streams %3   front frame %4   rear frame %5")
                            .arg(engine.GetPosition())
                            .arg(engine.GetDuration())
                            .arg(engine.GetVideoTrackCount())
                            .arg(FrameNumber(engine.FrontRenderer()))
                            .arg(FrameNumber(engine.RearRenderer())));
    });
    ticker.start(100);

    if (cl.isSet(shotOpt)) {
        const int ms = int(cl.value(atOpt).toDouble() * 1000);
        QTimer::singleShot(ms, [&] {
            const int f = FrameNumber(engine.FrontRenderer());
            const int r = FrameNumber(engine.RearRenderer());
            QPixmap shot = window.grab();
            if (QScreen* screen = window.screen()) {
                const QPixmap onScreen = screen->grabWindow(window.winId());
                if (!onScreen.isNull() && onScreen.size() == shot.size())
                    shot = onScreen;
            }
            const bool saved = shot.save(cl.value(shotOpt));
            std::printf("%s %s: front frame %d, rear frame %d, difference %d\n", saved ? "saved" : "NOT saved",
                        qPrintable(cl.value(shotOpt)), f, r, f - r);
            app.quit();
        });
    }
    return app.exec();
}
