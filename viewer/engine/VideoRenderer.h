#pragma once

#include "engine/EngineIds.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <atomic>
#include <memory>
#include <mutex>

class QPainter;

typedef struct _GstElement GstElement;

// The windowless video renderer: the last element of one picture's branch of
// the pipeline. Its element (a bin: videobalance ! videoconvert ! appsink)
// takes decoded frames on the streaming thread and keeps the latest one as an
// immutable shared image; the renderer paints it into the destination
// rectangle of its clipping window, letter-boxed or stretched.
//
// Painting: the renderer filters the paint events of its clipping window and
// draws the picture over whatever the window painted, so the window needs no
// knowledge of it. A new frame asks for a repaint by a queued call to the GUI
// thread; the streaming thread never touches a widget.
//
// The object lives on the GUI thread; only the frame hand-over (PresentFrame,
// CurrentFrame, FrameCount) is callable from any thread.
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

    // Null detaches the renderer from its window.
    void SetVideoClippingWindow(QWidget* window);
    QWidget* ClippingWindow() const { return m_window; }
    // The source is always the whole picture; `dst` is in the clipping
    // window's client coordinates and may reach beyond the window.
    void SetVideoPosition(const QRect& dst);
    QRect VideoPosition() const { return m_dst; }
    // Engine::VMR_ARMODE_LETTER_BOX or Engine::VMR_ARMODE_NONE.
    void SetAspectRatioMode(int mode);
    int AspectRatioMode() const { return m_aspectMode; }
    // Repaints the picture in `window` (the clipping window): asks the window
    // for a repaint when something changed since the last one. Inside the
    // window's own paint it does nothing: the picture is drawn as that paint ends.
    void RepaintVideo(QWidget* window);

    // 0..100, 50 leaves the picture unchanged.
    void SetBrightness(int level);

    // The latest picture (null before the first frame and after ClearFrame),
    // its stream time in nanoseconds (-1 when unknown) and the number of
    // frames presented since construction.
    std::shared_ptr<const QImage> CurrentFrame() const;
    int64_t CurrentFrameTime() const;
    uint64_t FrameCount() const { return m_frameCount.load(); }
    void ClearFrame();

    // Hands a picture over (the appsink does this on the streaming thread).
    void PresentFrame(std::shared_ptr<const QImage> frame, int64_t streamTimeNs);

    // Paints the current picture into the destination rectangle with `painter`
    // (letter-box bars black). Does nothing without a picture.
    void Paint(QPainter& painter) const;

signals:
    // A new picture arrived (emitted on the GUI thread, at most one per event-loop turn).
    void FrameArrived();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnFrameQueued();
    void MarkDirty();

    QString m_graphName;
    GstElement* m_element = nullptr;
    GstElement* m_balance = nullptr;
    QPointer<QWidget> m_window;
    QRect m_dst;
    int m_aspectMode = Engine::VMR_ARMODE_LETTER_BOX;
    bool m_inWindowPaint = false;
    bool m_dirty = true;

    mutable std::mutex m_frameMutex;
    std::shared_ptr<const QImage> m_frame;
    int64_t m_frameTime = -1;
    std::atomic<uint64_t> m_frameCount{0};
    std::atomic<bool> m_repaintQueued{false};
};
