#include "engine/VideoRenderer.h"

#include "engine/GstSupport.h"
#include "engine/VideoGeometry.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

namespace {

// Frames cross to Qt as 32-bit pixels in native order (QImage::Format_RGB32).
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr const char* kFrameCaps = "video/x-raw,format=BGRx";
#else
constexpr const char* kFrameCaps = "video/x-raw,format=xRGB";
#endif

struct MappedFrame
{
    GstVideoFrame frame;
};

void ReleaseMappedFrame(void* info)
{
    auto* mapped = static_cast<MappedFrame*>(info);
    gst_video_frame_unmap(&mapped->frame);
    delete mapped;
}

// Wraps the sample's buffer in an image without copying it; the buffer stays
// mapped (and referenced) until the last holder of the image lets it go.
std::shared_ptr<const QImage> ImageFromSample(GstSample* sample, int64_t* streamTime)
{
    GstCaps* caps = gst_sample_get_caps(sample);
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstVideoInfo info;
    if (!caps || !buffer || !gst_video_info_from_caps(&info, caps))
        return nullptr;
    auto* mapped = new MappedFrame;
    if (!gst_video_frame_map(&mapped->frame, &info, buffer, GST_MAP_READ)) {
        delete mapped;
        return nullptr;
    }
    const auto* data = static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&mapped->frame, 0));
    const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&mapped->frame, 0);
    auto image = std::make_shared<const QImage>(data, GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info),
                                                stride, QImage::Format_RGB32, ReleaseMappedFrame, mapped);
    *streamTime = -1;
    const GstSegment* segment = gst_sample_get_segment(sample);
    if (segment && GST_BUFFER_PTS_IS_VALID(buffer)) {
        const guint64 t = gst_segment_to_stream_time(segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
        if (t != GST_CLOCK_TIME_NONE)
            *streamTime = static_cast<int64_t>(t);
    }
    return image;
}

GstFlowReturn TakeSample(GstAppSink* sink, CVideoRenderer* renderer, bool preroll)
{
    GstSample* sample = preroll ? gst_app_sink_pull_preroll(sink) : gst_app_sink_pull_sample(sink);
    if (!sample)
        return GST_FLOW_OK;
    int64_t t = -1;
    std::shared_ptr<const QImage> image = ImageFromSample(sample, &t);
    gst_sample_unref(sample);
    if (image)
        renderer->PresentFrame(std::move(image), t);
    return GST_FLOW_OK;
}

GstFlowReturn OnNewSample(GstAppSink* sink, gpointer user)
{
    return TakeSample(sink, static_cast<CVideoRenderer*>(user), false);
}

GstFlowReturn OnNewPreroll(GstAppSink* sink, gpointer user)
{
    return TakeSample(sink, static_cast<CVideoRenderer*>(user), true);
}

} // namespace

CVideoRenderer::CVideoRenderer(const QString& graphName, QObject* parent)
    : QObject(parent)
    , m_graphName(graphName)
{
}

CVideoRenderer::~CVideoRenderer()
{
    if (m_window)
        m_window->removeEventFilter(this);
    if (m_element) {
        // The engine has taken the element out of every pipeline by now.
        gst_element_set_state(m_element, GST_STATE_NULL);
        gst_object_unref(m_element);
    }
}

bool CVideoRenderer::Create(QString* missing)
{
    if (m_element)
        return true;
    GstSupport::EnsureInitialised();
    GstElement* balance = GstSupport::MakeElement("videobalance", nullptr, missing);
    GstElement* convert = balance ? GstSupport::MakeElement("videoconvert", nullptr, missing) : nullptr;
    GstElement* sink = convert ? GstSupport::MakeElement("appsink", nullptr, missing) : nullptr;
    if (!sink) {
        for (GstElement* e : {balance, convert})
            if (e)
                gst_object_unref(gst_object_ref_sink(e));
        return false;
    }
    GstElement* bin = gst_bin_new(m_graphName.toUtf8().constData());
    gst_bin_add_many(GST_BIN(bin), balance, convert, sink, nullptr);
    gst_element_link_many(balance, convert, sink, nullptr);

    GstCaps* caps = gst_caps_from_string(kFrameCaps);
    g_object_set(sink, "caps", caps, "max-buffers", 1u, "drop", TRUE, "sync", TRUE, "qos", TRUE,
                 "enable-last-sample", FALSE, nullptr);
    gst_caps_unref(caps);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_preroll = OnNewPreroll;
    callbacks.new_sample = OnNewSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);

    GstPad* target = gst_element_get_static_pad(balance, "sink");
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", target));
    gst_object_unref(target);

    m_element = GST_ELEMENT(gst_object_ref_sink(bin));
    m_balance = balance;
    return true;
}

void CVideoRenderer::SetVideoClippingWindow(QWidget* window)
{
    if (m_window == window)
        return;
    if (m_window) {
        m_window->removeEventFilter(this);
        m_window->update();
    }
    m_window = window;
    MarkDirty();
    if (m_window) {
        m_window->installEventFilter(this);
        m_window->update();
    }
}

void CVideoRenderer::SetVideoPosition(const QRect& dst)
{
    if (m_dst != dst) {
        m_dst = dst;
        MarkDirty();
    }
}

void CVideoRenderer::SetAspectRatioMode(int mode)
{
    if (m_aspectMode != mode) {
        m_aspectMode = mode;
        MarkDirty();
    }
}

void CVideoRenderer::RepaintVideo(QWidget* window)
{
    if (!window || window != m_window || m_inWindowPaint || !m_dirty)
        return;
    window->update();
}

void CVideoRenderer::SetBrightness(int level)
{
    if (m_balance)
        g_object_set(m_balance, "brightness", (level - Engine::kNeutralBrightness) / 100.0, nullptr);
}

std::shared_ptr<const QImage> CVideoRenderer::CurrentFrame() const
{
    std::lock_guard<std::mutex> lock(m_frameMutex);
    return m_frame;
}

int64_t CVideoRenderer::CurrentFrameTime() const
{
    std::lock_guard<std::mutex> lock(m_frameMutex);
    return m_frameTime;
}

void CVideoRenderer::ClearFrame()
{
    std::shared_ptr<const QImage> old;
    {
        std::lock_guard<std::mutex> lock(m_frameMutex);
        old.swap(m_frame);
        m_frameTime = -1;
    }
    MarkDirty();
    if (m_window)
        m_window->update();
}

void CVideoRenderer::PresentFrame(std::shared_ptr<const QImage> frame, int64_t streamTimeNs)
{
    {
        std::lock_guard<std::mutex> lock(m_frameMutex);
        m_frame.swap(frame);
        m_frameTime = streamTimeNs;
    }
    m_frameCount.fetch_add(1);
    // One queued repaint at a time: frames that arrive meanwhile are covered by it.
    if (!m_repaintQueued.exchange(true))
        QMetaObject::invokeMethod(this, &CVideoRenderer::OnFrameQueued, Qt::QueuedConnection);
    // `frame` now holds the previous picture; it is released here, outside the lock.
}

void CVideoRenderer::OnFrameQueued()
{
    m_repaintQueued.store(false);
    MarkDirty();
    if (m_window) {
        const QRect area = m_dst.intersected(m_window->rect());
        if (!area.isEmpty())
            m_window->update(area);
    }
    emit FrameArrived();
}

void CVideoRenderer::MarkDirty()
{
    m_dirty = true;
}

void CVideoRenderer::Paint(QPainter& painter) const
{
    const std::shared_ptr<const QImage> frame = CurrentFrame();
    if (!frame || frame->isNull() || m_dst.isEmpty())
        return;
    QRect target = m_dst;
    if (m_aspectMode == Engine::VMR_ARMODE_LETTER_BOX) {
        target = VideoGeometry::LetterBox(frame->size(), m_dst);
        QRegion bars = QRegion(m_dst).subtracted(QRegion(target));
        for (const QRect& r : bars)
            painter.fillRect(r, Qt::black);
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(target, *frame);
}

bool CVideoRenderer::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Paint || watched != m_window.data())
        return QObject::eventFilter(watched, event);
    // Let the window paint first (its skin), then lay the picture over it.
    QWidget* window = m_window.data();
    m_inWindowPaint = true;
    static_cast<QObject*>(window)->event(event);
    m_inWindowPaint = false;
    if (m_window == window) {
        QPainter painter(window);
        Paint(painter);
        m_dirty = false;
    }
    return true;
}
