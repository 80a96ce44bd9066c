#pragma once

// Shared pieces of the engine tests: a video window that shows a target the
// way the viewer's windows are meant to (repaint on FrameReady, pull the
// published picture, paint it over its own skin), an engine with its two
// windows and a notify object that behaves as the main window does (0x406 ->
// HandleGraphEvent; 0x407 and 0x40E recorded), and picture helpers.

#include "engine/EngineIds.h"
#include "support/TestPictureReader.h"
#include "engine/ITransport.h"
#include "engine/TransportNotifier.h"
#include "engine/VideoFrame.h"
#include "engine/VideoMgr.h"
#include "engine/VideoRenderer.h"

#include <QList>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include <memory>

// A window showing one video target: it paints its skin (the palette's
// window colour), then the target's published picture over it, and asks for
// a repaint whenever the transport announces a new picture for its target.
class CTargetWindow : public QWidget
{
public:
    CTargetWindow(ITransport& transport, int target)
        : m_transport(transport)
        , m_target(target)
    {
        QObject::connect(transport.Notifier(), &CTransportNotifier::FrameReady, this, [this](int t) {
            if (t == m_target) {
                ++readyCount;
                update();
            }
        });
    }

    int paints = 0;
    int readyCount = 0;
    // When set, every paint ends by asking the transport to redraw the video
    // (as the viewer's windows do after each paint).
    bool redrawAfterPaint = false;

protected:
    void paintEvent(QPaintEvent*) override
    {
        ++paints;
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        PaintVideoFrame(p, m_transport.LatestFrame(m_target));
        p.end();
        if (redrawAfterPaint)
            m_transport.ReDrawVideo();
    }

private:
    ITransport& m_transport;
    int m_target;
};

class CEngineHarness : public QObject
{
    Q_OBJECT
public:
    // What the engine looked like when 0x407 arrived.
    struct CompleteSnapshot {
        int state = -1;
        int tracks = -1;
        bool graph = true;
    };

    CEngineHarness()
        : front(engine, Engine::kFrontTarget)
        , rear(engine, Engine::kRearTarget)
    {
        front.resize(640, 360);
        rear.resize(320, 180);
        engine.SetNotifyWindow(this);
        engine.SetVideoTargets(front.size(), rear.size());
        connect(engine.Notifier(), &CTransportNotifier::NotifyMessage, this, &CEngineHarness::OnMessage);
    }

    // The main window's order: notify window, targets, open, fit, (play).
    bool Open(const QString& path, bool singlePlay = false)
    {
        engine.SetNotifyWindow(this);
        engine.SetVideoTargets(front.size(), rear.size());
        if (!engine.OnMovieOpen(path, singlePlay))
            return false;
        engine.ResetSize(true);
        return true;
    }

    // A window resized: the engine hears of its new client size.
    void Resize(CTargetWindow& window, const QSize& size)
    {
        window.resize(size);
        engine.SetTargetSize(&window == &front ? Engine::kFrontTarget : Engine::kRearTarget, size);
    }

    int Count(unsigned message) const { return int(messages.count(message)); }

    // Waits (bounded) for the end-of-recording message.
    bool WaitComplete(int timeoutMs = 20000)
    {
        return QTest::qWaitFor([this] { return Count(Engine::kMsgPlayComplete) > 0; }, timeoutMs);
    }

    CVideoMgr engine;
    CTargetWindow front;
    CTargetWindow rear;
    QList<unsigned> messages;
    QList<CompleteSnapshot> completes;
    int graphEventsHandled = 0;

private slots:
    void OnMessage(unsigned message, quintptr, qintptr)
    {
        messages.append(message);
        if (message == Engine::kMsgGraphNotify) {
            ++graphEventsHandled;
            engine.HandleGraphEvent();
        } else if (message == Engine::kMsgPlayComplete) {
            completes.append({engine.GetState(), engine.GetVideoTrackCount(), engine.Graph() != nullptr});
        }
    }
};

// The frame number shown by a renderer's latest picture; -1 without one.
inline int FrameNumberOf(const CVideoRenderer* renderer)
{
    if (!renderer)
        return -1;
    const std::shared_ptr<const QImage> frame = renderer->CurrentFrame();
    return frame ? DecodeFrameNumber(*frame) : -1;
}

// The frame number of the picture a target shows; -1 without one.
inline int FrameNumberAt(const ITransport& transport, int target)
{
    const CVideoFrame f = transport.LatestFrame(target);
    return f.HasPicture() ? DecodeFrameNumber(*f.image) : -1;
}

// Waits (bounded) until the renderer shows a picture whose number satisfies `ok`.
template <typename Pred>
bool WaitForFrame(const CVideoRenderer* renderer, Pred ok, int timeoutMs = 10000)
{
    return QTest::qWaitFor([&] { return ok(FrameNumberOf(renderer)); }, timeoutMs);
}

// Waits (bounded) until the renderer shows a picture of `serial` (the serial
// of an open, seek or rate change: its first picture has arrived).
inline bool WaitForSerial(const CVideoRenderer* renderer, uint64_t serial, int timeoutMs = 10000)
{
    return QTest::qWaitFor([&] { return renderer->CurrentSerial() == serial; }, timeoutMs);
}

// The same for whatever renderer feeds `target` of a transport.
inline bool WaitForSerial(const ITransport& transport, int target, uint64_t serial, int timeoutMs = 10000)
{
    return QTest::qWaitFor([&] { return transport.ShownFrameInfo(target).serial == serial; }, timeoutMs);
}
