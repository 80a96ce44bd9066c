#pragma once

#include "engine/EngineIds.h"
#include "engine/VideoFrame.h"

#include <QSize>
#include <QString>

#include <cstdint>

class CTransportNotifier;
class QObject;

// The playback transport as the main window drives it: open and close a
// recording, run, pause, stop, position, skips, rate, volume, the front/rear
// swap, the front picture's zoom and pan, and the pictures for its two video
// targets. CVideoMgr implements it on GStreamer; tests use a deterministic
// stand-in (tests/engine/FakeTransport.h).
//
// Contract shared by every implementation:
// - Called from the GUI thread only.
// - States: STATE_STOP (construction, Stop, Close, end of recording, a failed
//   open), STATE_PAUSE (a successful open, Pause), STATE_PLAY (Play). Play
//   and Pause without a recording change nothing and return S_OK. A failed
//   open may leave a partly built recording behind, which shows nothing and
//   goes with the next open or Close; callers close it.
// - Positions and durations are whole seconds of stream time (truncated), 0
//   without a recording. Seeks in STATE_STOP by SeekForwards/SeekBackwards
//   do nothing.
// - Every open, seek and rate change takes the next serial (CurrentSerial);
//   the pictures it produces carry that serial, so a caller waits for a seek
//   by waiting for ShownFrameInfo(target).serial to reach it.
// - Messages reach the notify window through Notifier(): 0x406 posted when
//   graph events wait (the receiver calls HandleGraphEvent), 0x407 sent from
//   inside HandleGraphEvent when the recording ended (the recording is
//   already closed: STATE_STOP, no video tracks), 0x40E posted after every
//   SetVideoViewSize. FrameReady(target) tells a target's window to repaint.
class ITransport
{
public:
    virtual ~ITransport() = default;

    // --- wiring ----------------------------------------------------------
    // The notifier whose signals carry the messages and FrameReady; owned by
    // the transport, lives as long as it.
    virtual CTransportNotifier* Notifier() = 0;
    // The receiver of the messages and owner of message boxes; null stops the messages.
    virtual void SetNotifyWindow(QObject* window) = 0;
    // Client sizes of the two video targets (the windows that show the front
    // and rear target). Stored; the rectangles follow at the next ResetSize,
    // SetVideoViewSize or MoveVideoPosByPercent.
    virtual void SetVideoTargets(const QSize& front, const QSize& rear) = 0;
    virtual void SetTargetSize(int target, const QSize& size) = 0;

    // --- recording ---------------------------------------------------------
    // True when the recording is open with its first pictures (STATE_PAUSE).
    virtual bool OnMovieOpen(const QString& path, bool singlePlay) = 0;
    // False when nothing was open.
    virtual bool Close() = 0;
    virtual int GetVideoTrackCount() const = 0;
    // The rear camera's renderer feeds no target any more (until the next open).
    virtual void DetachRearRenderer() = 0;

    // --- transport -----------------------------------------------------------
    virtual Engine::HRESULT Play() = 0;
    virtual Engine::HRESULT Pause() = 0;
    virtual Engine::HRESULT Stop() = 0;
    virtual int GetState() const = 0;
    virtual long GetDuration() const = 0;
    virtual long GetPosition() const = 0;
    virtual void SetPosition(int percent) = 0;
    virtual void SeekForwards() = 0;
    virtual void SeekBackwards() = 0;
    virtual void SetVideoSpeed(float rate) = 0;
    virtual float GetVideoSpeed() const = 0;
    virtual void SetVolume(int level) = 0;
    virtual int GetVolume() const = 0;
    virtual void SetBrightness(int level) = 0;
    virtual int SetReverseMode(bool swap) = 0;
    virtual bool GetReverseMode() const = 0;
    virtual Engine::HRESULT HandleGraphEvent() = 0;

    // --- picture geometry ------------------------------------------------------
    virtual void ResetSize(bool keepAspect) = 0;
    virtual void SetVideoViewSize(float zoom) = 0;
    virtual float GetVideoViewSize() const = 0;
    virtual void MoveVideoPosByPercent(int panX, int panY) = 0;
    virtual void ReDrawVideo() = 0;

    // --- pictures ----------------------------------------------------------------
    // The picture published for `target` (Engine::kFrontTarget or
    // kRearTarget) with its destination rectangle, serial and stream time;
    // an empty frame when nothing feeds the target.
    virtual CVideoFrame LatestFrame(int target) const = 0;
    // The serial of the last open, seek or rate change issued (0 before any).
    virtual uint64_t CurrentSerial() const = 0;

    // Serial, stream time and count of the picture shown in `target`.
    CShownFrameInfo ShownFrameInfo(int target) const
    {
        const CVideoFrame f = LatestFrame(target);
        return CShownFrameInfo{f.serial, f.streamTimeNs, f.frameCount};
    }
};
