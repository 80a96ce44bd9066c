#pragma once

#include "engine/EngineIds.h"
#include "engine/VideoFrame.h"

#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>

typedef struct _GstElement GstElement;

// The windowless video renderer: the last element of one camera's branch of
// the pipeline. Its element (a bin: videobalance ! videoconvertscale !
// capsfilter ! appsink) takes decoded frames on the streaming thread and
// publishes the latest one as an immutable shared image, together with the
// destination rectangle and aspect mode the engine gave it, the serial of the
// open or seek that produced it and its stream time (Published). It shows
// nothing itself: whoever shows its target pulls the published picture and
// paints it (PaintVideoFrame).
//
// Scaling: pictures are shrunk in the pipeline, in the same pass as the
// colour conversion, to the size they will be painted at (the letter-boxed
// or stretched destination, never larger than decoded), so that neither the
// conversion nor the painter handle full-size frames a small window does not
// need. The size follows every change of destination, aspect mode or decoded
// size; pictures already published keep their size until the next one, and
// sourceSize always gives the decoded proportions.
//
// Serials: BeginStream sets the serial of a new stream (an open). Before a
// flushing seek the engine announces the seek event's sequence number with
// ExpectFlush; when that seek's flush or new segment reaches the sink, later
// pictures carry the seek's serial. Pictures still on their way from before
// the flush keep the serial they were produced under.
//
// The object lives on the GUI thread. PresentFrame, Published and the frame
// accessors are callable from any thread; the rest from the GUI thread.
class CVideoRenderer : public QObject
{
    Q_OBJECT
public:
    // `graphName` names the element in the pipeline.
    explicit CVideoRenderer(const QString& graphName, QObject* parent = nullptr);
    ~CVideoRenderer() override;

    // Builds the element. False, with the missing element's factory name in
    // `missing`, when a plug-in is not installed.
    bool Create(QString* missing = nullptr);
    // The renderer's element (owned by the renderer, which keeps a reference
    // while the element moves in and out of pipelines). Null before Create.
    GstElement* Element() const { return m_element; }
    QString GraphName() const { return m_graphName; }

    // The video target this renderer feeds (Engine::kFrontTarget or
    // kRearTarget), or Engine::kNoTarget when detached.
    void SetTarget(int target);
    int Target() const;
    // The source is always the whole picture; `dst` is in the target's
    // client coordinates and may reach beyond the target.
    void SetVideoPosition(const QRect& dst);
    QRect VideoPosition() const;
    // Engine::VMR_ARMODE_LETTER_BOX or Engine::VMR_ARMODE_NONE.
    void SetAspectRatioMode(int mode);
    int AspectRatioMode() const;

    // 0..100, 50 leaves the picture unchanged.
    void SetBrightness(int level);

    // --- serials ------------------------------------------------------------
    // A new stream starts (the pipeline is not running): pictures from now on
    // carry `serial`; pending flushes are forgotten.
    void BeginStream(uint64_t serial);
    // A flushing seek whose events carry `seqnum` is about to be issued:
    // pictures after its flush carry `serial`. Call before issuing the seek.
    void ExpectFlush(uint32_t seqnum, uint64_t serial);
    // The serial the next picture will carry.
    uint64_t StreamSerial() const;

    // --- the published picture ------------------------------------------------
    // The latest picture with its geometry, serial and stream time.
    CVideoFrame Published() const;
    // Shortcuts into it: the image (null before the first frame and after
    // ClearFrame), its stream time (ns, -1 unknown), its serial, and the
    // number of pictures presented since construction.
    std::shared_ptr<const QImage> CurrentFrame() const;
    int64_t CurrentFrameTime() const;
    uint64_t CurrentSerial() const;
    uint64_t FrameCount() const { return m_frameCount.load(); }
    // Drops the picture and forgets the decoded size (the recording closed).
    void ClearFrame();

    // Hands a picture over (the appsink does this on the streaming thread).
    // `sourceSize` is the decoded size when the image was scaled on the way;
    // empty means the image's own size.
    void PresentFrame(std::shared_ptr<const QImage> frame, int64_t streamTimeNs, QSize sourceSize = QSize());

    // Called from the sink pad's event probe (streaming threads).
    void OnFlushEvent(uint32_t seqnum);
    // Called from the input pad's event probe when the decoded size is known (streaming threads).
    void OnInputSize(QSize size);

    // The size pictures are scaled to in the pipeline; empty when they are
    // passed on as decoded.
    QSize ScaledSize() const { return m_scaledSize; }

signals:
    // A new picture arrived (emitted on the GUI thread, at most one per
    // event-loop turn however many arrived).
    void FrameArrived();

private:
    void OnFrameQueued();
    // Recomputes the picture size the pipeline scales to (GUI thread).
    void UpdateScale();

    QString m_graphName;
    GstElement* m_element = nullptr;
    GstElement* m_balance = nullptr;
    GstElement* m_sizeFilter = nullptr;
    QSize m_scaledSize; // GUI thread
    std::atomic<bool> m_scaleQueued{false};

    struct PendingFlush {
        uint32_t seqnum;
        uint64_t serial;
    };

    mutable std::mutex m_mutex; // guards everything below except the atomics
    int m_target = Engine::kNoTarget;
    QRect m_dst;
    int m_aspectMode = Engine::VMR_ARMODE_LETTER_BOX;
    std::shared_ptr<const QImage> m_frame;
    QSize m_sourceSize;
    QSize m_inputSize; // decoded size from the input's caps
    int64_t m_frameTime = -1;
    uint64_t m_frameSerial = 0;
    uint64_t m_streamSerial = 0;
    std::deque<PendingFlush> m_pendingFlushes;

    std::atomic<uint64_t> m_frameCount{0};
    std::atomic<bool> m_arrivalQueued{false};
};
