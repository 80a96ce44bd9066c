#pragma once

#include "engine/EngineIds.h"
#include "engine/VideoGeometry.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

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
// elements carry the graph names the traces use. It draws the front
// and rear pictures into two video windows through its windowless renderers,
// and tells its notify window what happens through NotifyMessage:
//   0x406 (posted)  graph events are waiting: call HandleGraphEvent;
//   0x407 (sent)    the recording ended; the graph is already closed;
//   0x40E (posted)  the front picture's zoom changed.
//
// One instance, owned by the main window and called only from the GUI thread.
// Streaming threads only hand frames to the renderers and events to the queue
// behind 0x406; nothing they do touches a widget or blocks the GUI thread.
// Every wait on the pipeline is bounded (Engine::k...TimeoutMs).
class CVideoMgr : public QObject
{
    Q_OBJECT
public:
    enum class Kind { Avi, Mp4 };

    explicit CVideoMgr(QObject* parent = nullptr);
    ~CVideoMgr() override;

    // --- graph construction ---------------------------------------------
    void SetVideoWindows(QWidget* front, QWidget* rear);
    void SetNotifyWindow(QObject* window);
    // Builds and connects the pipeline for `path` and pre-rolls it (first
    // pictures shown, state STATE_PAUSE). False on any failure; failures are
    // reported through ReportError, some with a message box.
    bool OnMovieOpen(const QString& path, bool singlePlay);
    // False when there was no graph.
    bool Close();
    int GetVideoTrackCount() const { return m_videoStreamCount; }
    void DetachRearRenderer();
    void SetupVideoRendererSettings(bool skipFront, bool detach);

    // --- transport --------------------------------------------------------
    Engine::HRESULT Play();
    Engine::HRESULT Pause();
    Engine::HRESULT Stop();
    int GetState() const { return m_state; }
    // Whole seconds of stream time; 0 without a graph.
    long GetDuration() const;
    long GetPosition() const;
    void SetPosition(int percent);
    void SeekForwards();
    void SeekBackwards();
    void SetVideoSpeed(float rate);
    float GetVideoSpeed() const { return m_rate; }
    void SetVolume(int level);
    int GetVolume() const { return m_volume; }
    // 0..100; 50 leaves the pictures unchanged.
    void SetBrightness(int level);
    int SetReverseMode(bool swap);
    bool GetReverseMode() const { return m_swap; }
    Engine::HRESULT HandleGraphEvent();

    // --- picture geometry -------------------------------------------------
    void ResetSize(bool keepAspect);
    void SetVideoViewSize(float zoom);
    float GetVideoViewSize() const { return m_zoom; }
    void MoveVideoPosByPercent(int panX, int panY);
    void ReDrawVideo();

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
    // Positions in 100 ns units; -1 when unknown.
    int64_t GetPositionUnits() const;
    int64_t GetDurationUnits() const;
    CVideoRenderer* FrontRenderer() const { return m_frontRenderer.get(); }
    CVideoRenderer* RearRenderer() const { return m_rearRenderer.get(); }
    GstElement* Graph() const { return m_graph; }
    QWidget* FrontWindow() const { return m_frontWindow; }
    QWidget* RearWindow() const { return m_rearWindow; }

    // The pipeline's bus hook (a GstBusSyncReply): called on whatever thread
    // posted the message; only queues events.
    static int OnBusMessage(void* bus, GstMessage* message, void* self);

signals:
    // A message to the notify window: its number (Engine::kMsg...) and parameters.
    // Only emitted while a notify window is set.
    void NotifyMessage(unsigned message, quintptr wParam, qintptr lParam);

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
    bool StartGraph();
    void SeekTo(int64_t units);
    CVideoRenderer* FrontWindowRenderer() const;
    CVideoRenderer* RearWindowRenderer() const;
    void PostMessage(unsigned message);
    void SendMessage(unsigned message);
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
    QPointer<QWidget> m_frontWindow;
    QPointer<QWidget> m_rearWindow;
    QPointer<QObject> m_notifyWindow;
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

    // Graph events from the bus, taken by HandleGraphEvent; the gates that
    // bus errors are routed to while streams are being exposed.
    std::mutex m_eventMutex;
    std::deque<GraphEvent> m_events;
    bool m_eventPostQueued = false;
    std::mutex m_gateMutex;
    CDemuxPads* m_gateSplitter = nullptr;
    CMp4DualSource* m_gateMp4 = nullptr;
};
