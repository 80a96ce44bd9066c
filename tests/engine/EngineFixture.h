#pragma once

// Shared pieces of the engine tests: an engine with its two video windows and
// a notify window that behaves as the main window does (0x406 ->
// HandleGraphEvent; 0x407 and 0x40E recorded), and picture helpers.

#include "engine/EngineIds.h"
#include "support/TestPictureReader.h"
#include "engine/VideoMgr.h"
#include "engine/VideoRenderer.h"

#include <QList>
#include <QTest>
#include <QWidget>

#include <memory>

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
    {
        front.resize(640, 360);
        rear.resize(320, 180);
        engine.SetNotifyWindow(this);
        engine.SetVideoWindows(&front, &rear);
        connect(&engine, &CVideoMgr::NotifyMessage, this, &CEngineHarness::OnMessage);
    }

    // The main window's order: notify window, windows, open, fit, (play).
    bool Open(const QString& path, bool singlePlay = false)
    {
        engine.SetNotifyWindow(this);
        engine.SetVideoWindows(&front, &rear);
        if (!engine.OnMovieOpen(path, singlePlay))
            return false;
        engine.ResetSize(true);
        return true;
    }

    int Count(unsigned message) const { return int(messages.count(message)); }

    // Waits (bounded) for the end-of-recording message.
    bool WaitComplete(int timeoutMs = 20000)
    {
        return QTest::qWaitFor([this] { return Count(Engine::kMsgPlayComplete) > 0; }, timeoutMs);
    }

    QWidget front;
    QWidget rear;
    CVideoMgr engine;
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

// Waits (bounded) until the renderer shows a picture whose number satisfies `ok`.
template <typename Pred>
bool WaitForFrame(const CVideoRenderer* renderer, Pred ok, int timeoutMs = 10000)
{
    return QTest::qWaitFor([&] { return ok(FrameNumberOf(renderer)); }, timeoutMs);
}

// Waits (bounded) until the renderer has presented more than `count` pictures.
inline bool WaitForNewFrames(const CVideoRenderer* renderer, uint64_t count, int timeoutMs = 10000)
{
    return QTest::qWaitFor([&] { return renderer->FrameCount() > count; }, timeoutMs);
}
