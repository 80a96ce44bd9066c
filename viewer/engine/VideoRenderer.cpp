#include "engine/VideoRenderer.h"

#include "engine/GstSupport.h"
#include "engine/VideoGeometry.h"

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

// Pending flushes kept at most; older announcements whose flush never came
// (a seek the pipeline refused) are dropped first.
constexpr size_t kMaxPendingFlushes = 16;

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

// Watches the renderer's input for the decoded size.
GstPadProbeReturn OnInputEvent(GstPad*, GstPadProbeInfo* info, gpointer user)
{
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (event && GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
        GstCaps* caps = nullptr;
        gst_event_parse_caps(event, &caps);
        GstVideoInfo video;
        if (caps && gst_video_info_from_caps(&video, caps))
            static_cast<CVideoRenderer*>(user)->OnInputSize(
                QSize(GST_VIDEO_INFO_WIDTH(&video), GST_VIDEO_INFO_HEIGHT(&video)));
    }
    return GST_PAD_PROBE_OK;
}

// Watches the events reaching the sink: a flush or a new segment that ends a
// seek announced with ExpectFlush switches the serial of later pictures.
GstPadProbeReturn OnSinkEvent(GstPad*, GstPadProbeInfo* info, gpointer user)
{
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (event && (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP || GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT))
        static_cast<CVideoRenderer*>(user)->OnFlushEvent(gst_event_get_seqnum(event));
    return GST_PAD_PROBE_OK;
}

} // namespace

CVideoRenderer::CVideoRenderer(const QString& graphName, QObject* parent)
    : QObject(parent)
    , m_graphName(graphName)
{
}

CVideoRenderer::~CVideoRenderer()
{
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
    GstElement* convert = balance ? GstSupport::MakeElement("videoconvertscale", nullptr, missing) : nullptr;
    GstElement* size = convert ? GstSupport::MakeElement("capsfilter", nullptr, missing) : nullptr;
    GstElement* sink = size ? GstSupport::MakeElement("appsink", nullptr, missing) : nullptr;
    if (!sink) {
        for (GstElement* e : {balance, convert, size})
            if (e)
                gst_object_unref(gst_object_ref_sink(e));
        return false;
    }
    GstElement* bin = gst_bin_new(m_graphName.toUtf8().constData());
    gst_bin_add_many(GST_BIN(bin), balance, convert, size, sink, nullptr);
    gst_element_link_many(balance, convert, size, sink, nullptr);
    // The scaled size is the painted size exactly: no bars added to keep proportions.
    g_object_set(convert, "add-borders", FALSE, nullptr);

    GstCaps* caps = gst_caps_from_string(kFrameCaps);
    g_object_set(sink, "caps", caps, "max-buffers", 1u, "drop", TRUE, "sync", TRUE, "qos", TRUE,
                 "enable-last-sample", FALSE, nullptr);
    gst_caps_unref(caps);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_preroll = OnNewPreroll;
    callbacks.new_sample = OnNewSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);

    GstPad* sinkPad = gst_element_get_static_pad(sink, "sink");
    gst_pad_add_probe(sinkPad, GstPadProbeType(GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM | GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                      OnSinkEvent, this, nullptr);
    gst_object_unref(sinkPad);

    GstPad* target = gst_element_get_static_pad(balance, "sink");
    gst_pad_add_probe(target, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, OnInputEvent, this, nullptr);
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", target));
    gst_object_unref(target);

    m_element = GST_ELEMENT(gst_object_ref_sink(bin));
    m_balance = balance;
    m_sizeFilter = size;
    UpdateScale();
    return true;
}

void CVideoRenderer::SetTarget(int target)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_target = target;
}

int CVideoRenderer::Target() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_target;
}

void CVideoRenderer::SetVideoPosition(const QRect& dst)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_dst = dst;
    }
    UpdateScale();
}

QRect CVideoRenderer::VideoPosition() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_dst;
}

void CVideoRenderer::SetAspectRatioMode(int mode)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_aspectMode = mode;
    }
    UpdateScale();
}

void CVideoRenderer::OnInputSize(QSize size)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_inputSize == size)
            return;
        m_inputSize = size;
    }
    if (!m_scaleQueued.exchange(true))
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_scaleQueued.store(false);
                UpdateScale();
            },
            Qt::QueuedConnection);
}

void CVideoRenderer::UpdateScale()
{
    if (!m_sizeFilter)
        return;
    QSize input;
    QRect dst;
    int mode = Engine::VMR_ARMODE_LETTER_BOX;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        input = m_inputSize;
        dst = m_dst;
        mode = m_aspectMode;
    }
    // The painted size, but never more than decoded in either direction.
    QSize scaled;
    if (input.isValid() && !dst.isEmpty()) {
        const QSize painted = mode == Engine::VMR_ARMODE_LETTER_BOX ? VideoGeometry::LetterBox(input, dst).size()
                                                                    : dst.size();
        scaled = painted.boundedTo(input);
        if (scaled == input || scaled.isEmpty())
            scaled = QSize();
    }
    if (scaled == m_scaledSize)
        return;
    m_scaledSize = scaled;
    GstCaps* caps = scaled.isEmpty()
        ? gst_caps_new_empty_simple("video/x-raw")
        : gst_caps_new_simple("video/x-raw", "width", G_TYPE_INT, scaled.width(), "height", G_TYPE_INT,
                              scaled.height(), "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr);
    // The next picture is negotiated at the new size.
    g_object_set(m_sizeFilter, "caps", caps, nullptr);
    gst_caps_unref(caps);
}

int CVideoRenderer::AspectRatioMode() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_aspectMode;
}

void CVideoRenderer::SetBrightness(int level)
{
    if (m_balance)
        g_object_set(m_balance, "brightness", (level - Engine::kNeutralBrightness) / 100.0, nullptr);
}

void CVideoRenderer::BeginStream(uint64_t serial)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_streamSerial = serial;
    m_pendingFlushes.clear();
}

void CVideoRenderer::ExpectFlush(uint32_t seqnum, uint64_t serial)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_pendingFlushes.size() >= kMaxPendingFlushes)
        m_pendingFlushes.pop_front();
    m_pendingFlushes.push_back(PendingFlush{seqnum, serial});
}

uint64_t CVideoRenderer::StreamSerial() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_streamSerial;
}

void CVideoRenderer::OnFlushEvent(uint32_t seqnum)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_pendingFlushes.begin(); it != m_pendingFlushes.end(); ++it) {
        if (it->seqnum == seqnum) {
            m_streamSerial = it->serial;
            // Seeks announced before this one will not flush any more.
            m_pendingFlushes.erase(m_pendingFlushes.begin(), it + 1);
            return;
        }
    }
}

CVideoFrame CVideoRenderer::Published() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    CVideoFrame f;
    f.image = m_frame;
    f.sourceSize = m_frame ? (m_sourceSize.isValid() ? m_sourceSize : m_frame->size()) : QSize();
    f.destination = m_dst;
    f.keepAspect = m_aspectMode == Engine::VMR_ARMODE_LETTER_BOX;
    f.serial = m_frame ? m_frameSerial : 0;
    f.streamTimeNs = m_frame ? m_frameTime : -1;
    f.frameCount = m_frameCount.load();
    return f;
}

std::shared_ptr<const QImage> CVideoRenderer::CurrentFrame() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_frame;
}

int64_t CVideoRenderer::CurrentFrameTime() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_frame ? m_frameTime : -1;
}

uint64_t CVideoRenderer::CurrentSerial() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_frame ? m_frameSerial : 0;
}

void CVideoRenderer::ClearFrame()
{
    std::shared_ptr<const QImage> old;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        old.swap(m_frame);
        m_frameTime = -1;
        m_frameSerial = 0;
        m_sourceSize = QSize();
        m_inputSize = QSize();
    }
    // The next stream starts at its decoded size, whatever this one had.
    UpdateScale();
    // `old` is released here, outside the lock.
}

void CVideoRenderer::PresentFrame(std::shared_ptr<const QImage> frame, int64_t streamTimeNs, QSize sourceSize)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_frame.swap(frame);
        m_frameTime = streamTimeNs;
        m_frameSerial = m_streamSerial;
        m_sourceSize = sourceSize.isValid() ? sourceSize : m_inputSize;
        // Counted under the lock, so that a published frame and its count agree.
        m_frameCount.fetch_add(1);
    }
    // One queued notification at a time: frames that arrive meanwhile are covered by it.
    if (!m_arrivalQueued.exchange(true))
        QMetaObject::invokeMethod(this, &CVideoRenderer::OnFrameQueued, Qt::QueuedConnection);
    // `frame` now holds the previous picture; it is released here, outside the lock.
}

void CVideoRenderer::OnFrameQueued()
{
    m_arrivalQueued.store(false);
    emit FrameArrived();
}
