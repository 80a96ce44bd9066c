#pragma once

#include "engine/EngineIds.h"
#include "engine/ITransport.h"
#include "engine/TransportNotifier.h"
#include "engine/VideoGeometry.h"

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>

// A deterministic stand-in for the playback engine, for tests of whoever
// drives an ITransport (the main window's playback coordination). No media,
// no threads, no clock: time moves only when the test moves it.
//
// It keeps the engine's contract (ITransport.h): states, whole-second
// positions, skip and per-cent targets, serials for every open, seek and
// rate change, the swap binding, rectangles for the targets, and its messages
// through Notifier() with the same timing (0x406 and 0x40E posted, 0x407 sent
// from inside HandleGraphEvent after the recording is closed; FrameReady
// queued per target).
//
// It records every operation the caller performs (getters excepted) in
// `calls`, in order, as text: "OnMovieOpen(<path>,<0|1>)", "Close", "Play",
// "Pause", "Stop", "SetPosition(<percent>)", "SeekForwards", "SeekBackwards",
// "SetVideoSpeed(<rate>)", "SetVolume(<level>)", "SetBrightness(<level>)",
// "SetReverseMode(<0|1>)", "HandleGraphEvent", "ResetSize(<0|1>)",
// "SetVideoViewSize(<zoom>)", "MoveVideoPosByPercent(<x>,<y>)",
// "ReDrawVideo", "DetachRearRenderer", "SetNotifyWindow",
// "SetVideoTargets(<w>x<h>,<w>x<h>)", "SetTargetSize(<target>,<w>x<h>)".
// Numbers print as QString::number prints them.
//
// GUI thread only.
class CFakeTransport : public ITransport
{
public:
    // The two cameras' pictures (the engine's front and rear renderers).
    enum Camera { FrontCamera = 0, RearCamera = 1 };

    CFakeTransport();
    ~CFakeTransport() override;

    // --- what the next OnMovieOpen finds -----------------------------------------
    bool openSucceeds = true;
    int openVideoTracks = 2;                               // 1 or 2
    int64_t openDurationUnits = 60 * Engine::kUnitsPerSecond; // 100 ns units
    // Publish a picture for each camera at every open, seek and rate change
    // (at once, with the new serial), as the engine does once its pipeline
    // has caught up. Off: pictures come only from EmitFrame.
    bool autoFrames = true;

    // --- what the test makes happen ----------------------------------------------
    // The recording reached its end: queues the completion and posts 0x406,
    // as the engine does when its pipeline reports end of stream.
    void EmitEndOfStream();
    // A graph error ends the recording the same way (0x406, then 0x407).
    void EmitGraphError();
    // A picture of `camera` at `streamTimeNs`, tagged with the current
    // serial; FrameReady is posted for the target it feeds. Ignored without
    // a recording.
    void EmitFrame(Camera camera, const QImage& picture, int64_t streamTimeNs);
    // Moves the playing position (100 ns units), as time passing would.
    void SetPositionUnits(int64_t units) { m_position = units; }
    int64_t PositionUnits() const { return m_position; }
    void SetDurationUnits(int64_t units) { m_duration = units; }
    int64_t DurationUnits() const { return m_duration; }
    // Puts the transport in a state directly (STATE_...), whatever it holds.
    void ForceState(int state) { m_state = state; }

    // --- what the caller did -------------------------------------------------------
    // SetVideoSpeed refuses rates <= 0 as the engine does: stored, not applied, no seek.
    QStringList calls;
    int CountOf(const QString& call) const { return int(calls.count(call)); }
    bool IsOpen() const { return m_open; }
    double AppliedRate() const { return m_appliedRate; }
    int Brightness() const { return m_brightness; }
    bool KeepAspect() const { return m_keepAspect; }
    QString OpenedPath() const { return m_path; }
    bool OpenedSingle() const { return m_single; }

    // --- ITransport ------------------------------------------------------------------
    CTransportNotifier* Notifier() override { return &m_notifier; }
    void SetNotifyWindow(QObject* window) override;
    void SetVideoTargets(const QSize& front, const QSize& rear) override;
    void SetTargetSize(int target, const QSize& size) override;
    bool OnMovieOpen(const QString& path, bool singlePlay) override;
    bool Close() override;
    int GetVideoTrackCount() const override { return m_tracks; }
    void DetachRearRenderer() override;
    Engine::HRESULT Play() override;
    Engine::HRESULT Pause() override;
    Engine::HRESULT Stop() override;
    int GetState() const override { return m_state; }
    long GetDuration() const override;
    long GetPosition() const override;
    void SetPosition(int percent) override;
    void SeekForwards() override;
    void SeekBackwards() override;
    void SetVideoSpeed(float rate) override;
    float GetVideoSpeed() const override { return m_rate; }
    void SetVolume(int level) override;
    int GetVolume() const override { return m_volume; }
    void SetBrightness(int level) override;
    int SetReverseMode(bool swap) override;
    bool GetReverseMode() const override { return m_swap; }
    Engine::HRESULT HandleGraphEvent() override;
    void ResetSize(bool keepAspect) override;
    void SetVideoViewSize(float zoom) override;
    float GetVideoViewSize() const override { return m_zoom; }
    void MoveVideoPosByPercent(int panX, int panY) override;
    void ReDrawVideo() override;
    CVideoFrame LatestFrame(int target) const override;
    uint64_t CurrentSerial() const override { return m_serial; }

private:
    struct Picture {
        std::shared_ptr<const QImage> image;
        uint64_t serial = 0;
        int64_t streamTimeNs = -1;
        uint64_t count = 0;
    };

    // The operations as the transport performs them itself (not recorded).
    bool DoClose();
    void DoResetSize(bool keepAspect);
    void DoSetVideoViewSize(float zoom);
    void SeekTo(int64_t units);
    void AutoFrames();
    // The camera feeding `target`, or -1.
    int CameraOf(int target) const;
    int TargetOf(int camera) const;

    CTransportNotifier m_notifier;
    QSize m_targetSize[Engine::kTargetCount];
    QRect m_destination[Engine::kTargetCount];
    Picture m_picture[2];
    bool m_rearDetached = false;

    bool m_open = false;
    bool m_everOpened = false;
    QString m_path;
    bool m_single = false;
    int m_tracks = 0;
    int m_state = STATE_STOP;
    int64_t m_duration = 0;
    int64_t m_position = 0;
    uint64_t m_serial = 0;
    float m_rate = 1.0f;
    double m_appliedRate = 1.0;
    int m_volume = 50;
    int m_brightness = Engine::kNeutralBrightness;
    bool m_swap = false;
    bool m_keepAspect = true;
    float m_zoom = 1.0f;
    CViewRect m_frontRect;
    CViewRect m_rearRect;
    QList<long> m_events; // graph events waiting for HandleGraphEvent
};
