#pragma once

#include "engine/EngineIds.h"
#include "engine/ITransport.h"
#include "engine/TransportNotifier.h"
#include "engine/VideoGeometry.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QSize>
#include <QString>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>

class CDemuxPads;
class CMp4DualSource;
class CVideoRenderer;

typedef struct _GstElement GstElement;
typedef struct _GstMessage GstMessage;

// The playback engine: plays one recording at a time, AVI or MP4, with one or
// two video streams and optional audio, through a GStreamer pipeline whose
// elements carry the graph names the traces use. It holds no window: its two
// windowless renderers publish the front and rear cameras' pictures, each
// bound to a video target (front or rear window, following the swap flag),
// with the destination rectangle the engine computed from the target's size
// (SetVideoTargets / SetTargetSize), the zoom and the pan. Whoever shows a
// target pulls LatestFrame(target) and paints it (PaintVideoFrame) when
// Notifier() signals FrameReady(target). Its messages go through Notifier():
//   0x406 (posted)  graph events are waiting: call HandleGraphEvent;
//   0x407 (sent)    the recording ended; the graph is already closed;
//   0x40E (posted)  the front picture's zoom changed.
//
// One instance, owned by the main window and called only from the GUI thread.
// Streaming threads only hand frames to the renderers and events to the queue
// behind 0x406; nothing they do blocks the GUI thread. An open waits on the
// GUI thread at most Engine::kOpenDeadlineMs in all (busy cursor shown
// meanwhile through CPlatform); other waits are bounded too.
class CVideoMgr : public QObject, public ITransport
{
    Q_OBJECT
public:
    enum class Kind { Avi, Mp4 };

    explicit CVideoMgr(QObject* parent = nullptr);
    ~CVideoMgr() override;

    // --- wiring -----------------------------------------------------------
    CTransportNotifier* Notifier() override { return &m_notifier; }
    void SetNotifyWindow(QObject* window) override;
    void SetVideoTargets(const QSize& front, const QSize& rear) override;
    void SetTargetSize(int target, const QSize& size) override;
    QSize TargetSize(int target) const;

    // --- graph construction ---------------------------------------------
    // Builds and connects the pipeline for `path` and pre-rolls it (first
    // pictures published, state STATE_PAUSE). False on any failure; failures
    // are reported through ReportError, some with a message box. A pipeline
    // that does not reach its first pictures is closed again.
    bool OnMovieOpen(const QString& path, bool singlePlay) override;
    // False when there was no graph.
    bool Close() override;
    int GetVideoTrackCount() const override { return m_videoStreamCount; }
    void DetachRearRenderer() override;
    // Unless skipFront, the front camera's renderer, then the rear one's:
    // detached from every target, or bound to its own camera's target
    // (letter-boxed). The swap is applied on top by SetReverseMode.
    void SetupVideoRendererSettings(bool skipFront, bool detach);

    // --- transport --------------------------------------------------------
    Engine::HRESULT Play() override;
    Engine::HRESULT Pause() override;
    Engine::HRESULT Stop() override;
    int GetState() const override { return m_state; }
    // Whole seconds of stream time; 0 without a graph.
    long GetDuration() const override;
    long GetPosition() const override;
    void SetPosition(int percent) override;
    void SeekForwards() override;
    void SeekBackwards() override;
    void SetVideoSpeed(float rate) override;
    float GetVideoSpeed() const override { return m_rate; }
    void SetVolume(int level) override;
    int GetVolume() const override { return m_volume; }
    // 0..100; 50 leaves the pictures unchanged.
    void SetBrightness(int level) override;
    // Without a graph only the flag is stored (the next open applies it);
    // with one, the renderers are bound to the targets at once, whatever the state.
    int SetReverseMode(bool swap) override;
    bool GetReverseMode() const override { return m_swap; }
    Engine::HRESULT HandleGraphEvent() override;

    // --- picture geometry -------------------------------------------------
    void ResetSize(bool keepAspect) override;
    void SetVideoViewSize(float zoom) override;
    float GetVideoViewSize() const override { return m_zoom; }
    void MoveVideoPosByPercent(int panX, int panY) override;
    // Pictures are pulled by their windows on every paint, and FrameReady has
    // announced each change: there is nothing to push. Traced only, so a
    // window may ask for it after every paint without starting a loop.
    void ReDrawVideo() override;

    // --- pictures -----------------------------------------------------------
    CVideoFrame LatestFrame(int target) const override;
    uint64_t CurrentSerial() const override { return m_serial; }
    // The renderer feeding `target`, or null.
    CVideoRenderer* TargetRenderer(int target) const;

    // --- error reporting --------------------------------------------------
    // Traces "Error : <text> (0x<code>)" and shows it in a message box when `show`.
    void ReportError(const QString& text, Engine::HRESULT code, bool show);

    // --- inspection (tools, tests) ----------------------------------------
    static Kind RecordingKind(const QString& path);
    CViewRect FrontPictureRect() const { return m_frontRect; }
    CViewRect RearPictureRect() const { return m_rearRect; }
    bool GetKeepAspect() const { return m_keepAspect; }
    bool HasNoAudio() const { return m_noAudio; }
    bool HasNoAudioRenderer() const { return m_noAudioRenderer; }
    int GetBrightness() const { return m_brightness; }
    // The attenuation last applied to the audio (hundredths of a dB), or 1 when none was.
    int GetAppliedAttenuation() const { return m_appliedAttenuation; }
    // The rate the pipeline plays at (may differ from GetVideoSpeed after a refusal).
    double GetAppliedRate() const { return m_appliedRate; }
    // Positions in 100 ns units; -1 when unknown. From a seek until its first
    // picture shows, the position is the seek's target.
    int64_t GetPositionUnits() const;
    int64_t GetDurationUnits() const;
    // The front and rear cameras' renderers (made at the first open).
    CVideoRenderer* FrontRenderer() const { return m_frontRenderer.get(); }
    CVideoRenderer* RearRenderer() const { return m_rearRenderer.get(); }
    GstElement* Graph() const { return m_graph; }

    // The pipeline's bus hook (a GstBusSyncReply): called on whatever thread
    // posted the message; only queues events.
    static int OnBusMessage(void* bus, GstMessage* message, void* self);

private:
    struct GraphEvent {
        long code = 0;
        long param = 0;
        GstMessage* message = nullptr; // held reference, or null
    };

    bool CreateFilters(Kind kind);
    bool AddFilter(GstElement* element, const char* graphName);
    bool LoadMovieFile(const QString& path);
    int CheckAviSplitter();
    bool ConnectFilters(Kind kind, int count, GstElement* streamFilter, int audioPin, int rearPin);
    bool ConnectFilter(GstElement* from, GstElement* to, const char* label, int n);
    bool ExposeSplitterPins();
    void ParkUnconnected();
    bool StartGraph(Engine::HRESULT* failure);
    // Issues a flushing, accurate seek to `units` at `rate`, under the next
    // serial. False when the pipeline refused it.
    bool SeekFlushing(int64_t units, double rate);
    void SeekTo(int64_t units);
    // The renderers meant for the front and rear target by the swap flag.
    CVideoRenderer* FrontWindowRenderer() const;
    CVideoRenderer* RearWindowRenderer() const;
    // Binds the cameras' renderers to the targets by the swap flag.
    void BindRenderers();
    void OnRendererFrame(CVideoRenderer* renderer);
    // Milliseconds left of the running open's deadline (0 when spent).
    int OpenTimeLeftMs() const;
    void ReleaseElement(GstElement*& element);

    void QueueEvent(long code, long param, GstMessage* message);
    bool TakeEvent(GraphEvent* event);
    void ClearEvents();
    void OnEventsQueued();

    // Engine state.
    CViewRect m_frontRect;
    CViewRect m_rearRect;
    bool m_swap = false;
    bool m_keepAspect = true;
    bool m_noAudio = true;
    bool m_noAudioRenderer = false;
    int m_videoStreamCount = 0;
    GstElement* m_graph = nullptr;
    GstElement* m_source = nullptr;
    GstElement* m_splitter = nullptr;
    std::unique_ptr<CVideoRenderer> m_frontRenderer;
    std::unique_ptr<CVideoRenderer> m_rearRenderer;
    GstElement* m_audioWrapper = nullptr;
    GstElement* m_audioRenderer = nullptr;
    GstElement* m_frontDecoder = nullptr;
    GstElement* m_rearDecoder = nullptr;
    QSize m_targetSize[Engine::kTargetCount];
    CTransportNotifier m_notifier;
    int m_brightness = Engine::kNeutralBrightness;
    float m_rate = 1.0f;
    int m_volume = 50;
    float m_zoom = 1.0f;
    int m_state = STATE_STOP;

    // GStreamer-side companions of the fields above.
    std::unique_ptr<CMp4DualSource> m_mp4Source;
    std::unique_ptr<CDemuxPads> m_splitterPads;
    GstElement* m_volumeElement = nullptr;
    double m_appliedRate = 1.0;
    int m_appliedAttenuation = 1;
    bool m_notifyRegistered = false;
    // The serial of the last open, seek or rate change.
    uint64_t m_serial = 0;
    // The last seek's target (100 ns units) and serial: the position until
    // its first picture shows (-1: none).
    int64_t m_seekTarget = -1;
    uint64_t m_seekSerial = 0;
    // The deadline of the open in progress (every wait of one open draws on it).
    QDeadlineTimer m_openDeadline;

    // Graph events from the bus, taken by HandleGraphEvent; the gates that
    // bus errors are routed to while streams are being exposed.
    std::mutex m_eventMutex;
    std::deque<GraphEvent> m_events;
    bool m_eventPostQueued = false;
    std::mutex m_gateMutex;
    CDemuxPads* m_gateSplitter = nullptr;
    CMp4DualSource* m_gateMp4 = nullptr;
};
