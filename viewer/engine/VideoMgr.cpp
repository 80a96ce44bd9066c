// CVideoMgr: the engine object, building and tearing down the graph, and the
// graph events. Transport is in VideoMgrTransport.cpp, picture geometry in
// VideoMgrGeometry.cpp.
#include "engine/VideoMgr.h"

#include "engine/Components.h"
#include "engine/GstSupport.h"
#include "engine/Mp4DualSource.h"
#include "telemetry/Mp4Text.h"
#include "platform/Platform.h"
#include "base/ThreadCheck.h"
#include "base/TraceLog.h"
#include "engine/VideoRenderer.h"

#include <QFileInfo>

#include <gst/gst.h>

using namespace Engine;

namespace {

GstBusSyncReply BusSyncHandler(GstBus* bus, GstMessage* message, gpointer self)
{
    return static_cast<GstBusSyncReply>(CVideoMgr::OnBusMessage(bus, message, self));
}

// The n-th source pad of `element` (counting from 0), or the last one when
// there are fewer; null when it has none. A held reference.
GstPad* NthOutputPin(GstElement* element, int n)
{
    GstPad* chosen = nullptr;
    int index = 0;
    GST_OBJECT_LOCK(element);
    for (GList* l = element->pads; l; l = l->next) {
        auto* pad = GST_PAD(l->data);
        if (GST_PAD_DIRECTION(pad) != GST_PAD_SRC)
            continue;
        chosen = pad;
        if (index++ == n)
            break;
    }
    if (chosen)
        gst_object_ref(chosen);
    GST_OBJECT_UNLOCK(element);
    return chosen;
}

GstPad* FirstInputPin(GstElement* element)
{
    GstPad* chosen = nullptr;
    GST_OBJECT_LOCK(element);
    for (GList* l = element->pads; l; l = l->next) {
        auto* pad = GST_PAD(l->data);
        if (GST_PAD_DIRECTION(pad) == GST_PAD_SINK) {
            chosen = GST_PAD(gst_object_ref(pad));
            break;
        }
    }
    GST_OBJECT_UNLOCK(element);
    return chosen;
}

HRESULT LinkResult(GstPadLinkReturn r)
{
    switch (r) {
    case GST_PAD_LINK_OK:
        return S_OK;
    case GST_PAD_LINK_NOFORMAT:
        return VFW_E_NO_ACCEPTABLE_TYPES;
    default:
        return VFW_E_CANNOT_CONNECT;
    }
}

bool SinkLinked(GstElement* element)
{
    if (!element)
        return false;
    GstPad* in = FirstInputPin(element);
    const bool linked = in && gst_pad_is_linked(in);
    if (in)
        gst_object_unref(in);
    return linked;
}

} // namespace

// ---------------------------------------------------------------------------
// construction

CVideoMgr::CVideoMgr(QObject* parent)
    : QObject(parent)
{
    GstSupport::EnsureInitialised();
}

CVideoMgr::~CVideoMgr()
{
    if (m_graph)
        Close();
    m_frontRenderer.reset();
    m_rearRenderer.reset();
}

void CVideoMgr::SetNotifyWindow(QObject* window)
{
    m_notifier.SetNotifyWindow(window);
}

void CVideoMgr::SetVideoTargets(const QSize& front, const QSize& rear)
{
    m_targetSize[kFrontTarget] = front;
    m_targetSize[kRearTarget] = rear;
}

void CVideoMgr::SetTargetSize(int target, const QSize& size)
{
    if (target >= 0 && target < kTargetCount)
        m_targetSize[target] = size;
}

QSize CVideoMgr::TargetSize(int target) const
{
    return target >= 0 && target < kTargetCount ? m_targetSize[target] : QSize();
}

CVideoRenderer* CVideoMgr::TargetRenderer(int target) const
{
    if (target < 0 || target >= kTargetCount)
        return nullptr;
    for (CVideoRenderer* r : {m_frontRenderer.get(), m_rearRenderer.get()})
        if (r && r->Target() == target)
            return r;
    return nullptr;
}

CVideoFrame CVideoMgr::LatestFrame(int target) const
{
    const CVideoRenderer* r = TargetRenderer(target);
    return r ? r->Published() : CVideoFrame{};
}

void CVideoMgr::OnRendererFrame(CVideoRenderer* renderer)
{
    m_notifier.PostFrameReady(renderer->Target());
}

int CVideoMgr::OpenTimeLeftMs() const
{
    const qint64 left = m_openDeadline.remainingTime();
    if (left < 0) // no open running: a wait outside an open gets a whole budget
        return kOpenDeadlineMs;
    return int(left);
}

CVideoMgr::Kind CVideoMgr::RecordingKind(const QString& path)
{
    return Telemetry::IsMp4Recording(path) ? Kind::Mp4 : Kind::Avi;
}

void CVideoMgr::ReportError(const QString& text, HRESULT code, bool show)
{
    const QString message = QString::asprintf(ErrorText::kReportFormat, qUtf8Printable(text), unsigned(code));
    TraceLog(message);
    if (show)
        CPlatform::Instance().MessageBox(m_notifier.NotifyWindow(), message, QStringLiteral("Kestrav"),
                                         CPlatform::MB_OK | CPlatform::MB_ICONERROR);
}

// ---------------------------------------------------------------------------
// open

bool CVideoMgr::OnMovieOpen(const QString& path, bool singlePlay)
{
    TraceLog(QStringLiteral("Kestrav----->CVideoMgr::OnMovieOpen START"));
    TraceLog(QStringLiteral("Kestrav----->FilePath:"));
    TraceLog(path);
    // A graph left by an earlier open, even a half-built one, is closed first.
    if (m_source || m_graph)
        Close();
    // One deadline for every wait of this open; the open takes the next serial.
    m_openDeadline = QDeadlineTimer(kOpenDeadlineMs);
    const uint64_t serial = ++m_serial;
    struct DeadlineEnd {
        QDeadlineTimer& deadline;
        ~DeadlineEnd() { deadline = QDeadlineTimer(QDeadlineTimer::Forever); }
    } deadlineEnd{m_openDeadline};

    const Kind kind = RecordingKind(path);
    if (!CreateFilters(kind))
        return false;
    m_frontRenderer->BeginStream(serial);
    m_rearRenderer->BeginStream(serial);

    SetupVideoRendererSettings(false, false);

    if (kind == Kind::Mp4 && singlePlay) {
        if (!m_mp4Source) {
            const QString text = QString::asprintf(ErrorText::kDualInfoBeforeLoad, unsigned(E_NOINTERFACE));
            TraceLog(text);
            CPlatform::Instance().MessageBox(m_notifier.NotifyWindow(), text, QStringLiteral("Kestrav"),
                                             CPlatform::MB_OK);
            return false;
        }
        m_mp4Source->SetSingleStream(1);
    }

    if (!LoadMovieFile(path))
        return false;

    m_videoStreamCount = 0;
    m_noAudio = true;

    GstElement* streamFilter = nullptr;
    int audioPin = 1;
    int rearPin = 2;
    if (kind == Kind::Mp4) {
        int first = 0;
        int second = 0;
        m_mp4Source->GetStreamInfo(&first, &second);
        m_videoStreamCount = second != 0 ? 2 : 1;
        int16_t audioTracks = 0;
        m_mp4Source->GetAudioTrackCount(&audioTracks);
        if (audioTracks > 0)
            m_noAudio = false;
        audioPin = 1;
        rearPin = 2;
        streamFilter = m_source;
    } else {
        // Connecting the splitter makes it read the file's headers and offer
        // its streams; a splitter that offers none in time ends the open.
        if (!ConnectFilter(m_source, m_splitter, Link::kSourceToSplitter, 0))
            return false;
        m_videoStreamCount = CheckAviSplitter();
        rearPin = 1;
        audioPin = m_videoStreamCount > 1 ? 2 : 1;
        streamFilter = m_splitter;
    }

    if (!ConnectFilters(kind, m_videoStreamCount, streamFilter, audioPin, rearPin))
        return false;

    // Run the wired graph up to its first pictures. A graph that does not
    // get there (an error, or the open's deadline) is no open recording.
    HRESULT prerollFailure = S_OK;
    if (!StartGraph(&prerollFailure)) {
        ReportError(QString::fromUtf8(ErrorText::kPrerollFailed), prerollFailure, false);
        Close();
        return false;
    }

    SetVolume(m_volume);
    SetBrightness(kNeutralBrightness);
    SetVideoSpeed(1.0f);
    SetVideoViewSize(1.0f);
    TraceLog(QStringLiteral("CVideoMgr::OnMovieOpen Init Value(Vol/Bri/Speed)"));

    m_notifyRegistered = true;
    m_state = STATE_PAUSE;
    m_notifier.PostFrameReady(kFrontTarget);
    m_notifier.PostFrameReady(kRearTarget);

    if (m_swap) {
        TraceLog(QStringLiteral("Kestrav----->OpenVideo::SetReverseMode"));
        SetReverseMode(m_swap);
    }
    TraceLog(QStringLiteral("Kestrav----->CVideoMgr::OnMovieOpen End"));
    return true;
}

bool CVideoMgr::AddFilter(GstElement* element, const char* graphName)
{
    if (gst_bin_add(GST_BIN(m_graph), element))
        return true;
    ReportError(QString::fromUtf8(graphName), VFW_E_DUPLICATE_NAME, true);
    return false;
}

bool CVideoMgr::CreateFilters(Kind kind)
{
    auto createFailed = [this](const char* displayName) {
        ReportError(QString::asprintf(ErrorText::kCreateFilter, displayName), E_FAIL, true);
        return false;
    };
    // Every element is owned by the engine (one reference) and by the graph.
    auto own = [](GstElement* e) { return e ? GST_ELEMENT(gst_object_ref_sink(e)) : nullptr; };

    // 1. the graph
    if (!m_graph) {
        m_graph = own(gst_pipeline_new(GraphName::kGraph));
        if (!m_graph)
            return createFailed(DisplayName::kGraph);
        GstBus* bus = gst_pipeline_get_bus(GST_PIPELINE(m_graph));
        gst_bus_set_sync_handler(bus, BusSyncHandler, this, nullptr);
        gst_object_unref(bus);
    }

    // 2. the source (and the splitter for AVI)
    if (kind == Kind::Mp4) {
        auto source = std::make_unique<CMp4DualSource>();
        if (!source->Create(GraphName::kMp4Source, nullptr))
            return createFailed(DisplayName::kMp4Source);
        m_source = GST_ELEMENT(gst_object_ref(source->Element()));
        m_mp4Source = std::move(source);
        {
            std::lock_guard<std::mutex> lock(m_gateMutex);
            m_gateMp4 = m_mp4Source.get();
        }
        if (!AddFilter(m_source, GraphName::kMp4Source))
            return false;
    } else {
        m_source = own(GstSupport::MakeElement("filesrc", GraphName::kFileSource));
        if (!m_source)
            return createFailed(DisplayName::kFileSource);
        if (!AddFilter(m_source, GraphName::kFileSource))
            return false;
        m_splitter = own(GstSupport::MakeElement("avidemux", GraphName::kAviSplitter));
        if (!m_splitter)
            return createFailed(DisplayName::kAviSplitter);
        if (!AddFilter(m_splitter, GraphName::kAviSplitter))
            return false;

        // 3. the audio wrapper
        m_audioWrapper = own(Components::CreateAudioWrapper(GraphName::kAudioWrapper, nullptr));
        if (!m_audioWrapper)
            return createFailed(DisplayName::kAudioWrapper);
        if (!AddFilter(m_audioWrapper, GraphName::kAudioWrapper))
            return false;
    }

    // 4. the audio renderer: the one element the open can go on without
    m_noAudioRenderer = false;
    m_volumeElement = nullptr;
    m_audioRenderer = own(Components::CreateAudioRenderer(GraphName::kAudioRenderer, nullptr, &m_volumeElement));
    if (!m_audioRenderer) {
        TraceLogF("Error : Fail Create DSoundRender(0x%x)", unsigned(E_FAIL));
        m_noAudioRenderer = true;
        m_volumeElement = nullptr;
    } else {
        TraceLog(QStringLiteral("PASS Create DSoundRender"));
        if (!AddFilter(m_audioRenderer, GraphName::kAudioRenderer))
            return false;
    }

    // 5. the decoders, rear then front
    m_rearDecoder = own(Components::CreateH264Decoder(GraphName::kDecoderSub, nullptr));
    if (!m_rearDecoder)
        return createFailed(DisplayName::kDecoderSub);
    if (!AddFilter(m_rearDecoder, GraphName::kDecoderSub))
        return false;
    m_frontDecoder = own(Components::CreateH264Decoder(GraphName::kDecoderMain, nullptr));
    if (!m_frontDecoder)
        return createFailed(DisplayName::kDecoderMain);
    if (!AddFilter(m_frontDecoder, GraphName::kDecoderMain))
        return false;

    // 6. the video renderers: made once, added to every graph
    if (!m_rearRenderer) {
        auto renderer = std::make_unique<CVideoRenderer>(QString::fromUtf8(GraphName::kRendererSub));
        if (!renderer->Create())
            return createFailed(DisplayName::kRendererSub);
        CVideoRenderer* r = renderer.get();
        connect(r, &CVideoRenderer::FrameArrived, this, [this, r] { OnRendererFrame(r); });
        m_rearRenderer = std::move(renderer);
    }
    if (!AddFilter(m_rearRenderer->Element(), GraphName::kRendererSub))
        return false;
    if (!m_frontRenderer) {
        auto renderer = std::make_unique<CVideoRenderer>(QString::fromUtf8(GraphName::kRendererMain));
        if (!renderer->Create())
            return createFailed(DisplayName::kRendererMain);
        CVideoRenderer* r = renderer.get();
        connect(r, &CVideoRenderer::FrameArrived, this, [this, r] { OnRendererFrame(r); });
        m_frontRenderer = std::move(renderer);
    }
    if (!AddFilter(m_frontRenderer->Element(), GraphName::kRendererMain))
        return false;
    return true;
}

void CVideoMgr::SetupVideoRendererSettings(bool skipFront, bool detach)
{
    auto setup = [this, detach](CVideoRenderer* renderer, int target) {
        if (!renderer)
            return;
        // The target it leaves and the one it joins both repaint.
        m_notifier.PostFrameReady(renderer->Target());
        if (detach) {
            renderer->SetTarget(kNoTarget);
        } else {
            renderer->SetTarget(target);
            renderer->SetAspectRatioMode(VMR_ARMODE_LETTER_BOX);
            m_notifier.PostFrameReady(target);
        }
    };
    if (!skipFront)
        setup(m_frontRenderer.get(), kFrontTarget);
    setup(m_rearRenderer.get(), kRearTarget);
}

void CVideoMgr::DetachRearRenderer()
{
    SetupVideoRendererSettings(true, true);
}

bool CVideoMgr::LoadMovieFile(const QString& path)
{
    if (!m_source) {
        ReportError(QString::fromUtf8(ErrorText::kNoFileSource), 1, true);
        return false;
    }
    // Every element waits in READY; the source and splitter then run ahead
    // on their own to read the file's headers.
    ThreadCheck::Publish(this);
    gst_element_set_state(m_graph, GST_STATE_READY);
    HRESULT hr = S_OK;
    if (m_mp4Source) {
        CWaitCursorScope busy;
        hr = m_mp4Source->Load(path, m_openDeadline);
    } else {
        // The file source opens the file only when it starts: check it now.
        hr = static_cast<HRESULT>(GstSupport::CheckReadableFile(path));
        if (!Failed(hr))
            g_object_set(m_source, "location", QFile::encodeName(path).constData(), nullptr);
    }
    if (Failed(hr)) {
        ReportError(QString::fromUtf8(ErrorText::kLoadFailed), hr, true);
        return false;
    }
    TraceLog(QStringLiteral("PASS Load Movie File"));
    return true;
}

bool CVideoMgr::ExposeSplitterPins()
{
    if (!m_splitterPads) {
        m_splitterPads = std::make_unique<CDemuxPads>(m_splitter, m_source);
        std::lock_guard<std::mutex> lock(m_gateMutex);
        m_gateSplitter = m_splitterPads.get();
    }
    ThreadCheck::Publish(this); // the bus handler runs on the streaming threads
    gst_element_set_state(m_splitter, GST_STATE_PAUSED);
    gst_element_set_state(m_source, GST_STATE_PAUSED);
    CWaitCursorScope busy;
    return m_splitterPads->WaitForPads(OpenTimeLeftMs());
}

int CVideoMgr::CheckAviSplitter()
{
    int videoPins = 0;
    GST_OBJECT_LOCK(m_splitter);
    QList<GstPad*> pads;
    for (GList* l = m_splitter->pads; l; l = l->next)
        if (GST_PAD_DIRECTION(GST_PAD(l->data)) == GST_PAD_SRC)
            pads.append(GST_PAD(gst_object_ref(l->data)));
    GST_OBJECT_UNLOCK(m_splitter);
    for (GstPad* pad : pads) {
        if (GstSupport::IsVideoPad(pad))
            ++videoPins;
        else if (GstSupport::IsAudioPad(pad))
            m_noAudio = false; // other streams (the camera's text) are no audio
        gst_object_unref(pad);
    }
    return videoPins;
}

bool CVideoMgr::ConnectFilter(GstElement* from, GstElement* to, const char* label, int n)
{
    TraceLogF("{CVideoMgr::ConnectFilter} %s", label);
    auto fail = [&](const char* call, HRESULT hr) {
        if (call)
            ReportError(QString::fromUtf8(call), hr, false);
        ReportError(QString::asprintf(ErrorText::kConnectionFailed, label), hr, false);
        return false;
    };
    if (!from || !to)
        return fail(ErrorText::kDisconnectOut, E_POINTER);
    GstPad* out = NthOutputPin(from, n);
    if (!out)
        return fail(ErrorText::kDisconnectOut, VFW_E_NOT_CONNECTED);
    GstPad* in = FirstInputPin(to);
    if (!in) {
        gst_object_unref(out);
        return fail(ErrorText::kDisconnectIn, VFW_E_NOT_CONNECTED);
    }
    if (GstPad* peer = gst_pad_get_peer(out)) {
        gst_pad_unlink(out, peer);
        gst_object_unref(peer);
    }
    if (GstPad* peer = gst_pad_get_peer(in)) {
        gst_pad_unlink(peer, in);
        gst_object_unref(peer);
    }
    const HRESULT hr = LinkResult(gst_pad_link(out, in));
    gst_object_unref(out);
    gst_object_unref(in);
    if (Failed(hr))
        return fail(ErrorText::kConnect, hr);
    if (to == m_splitter && !ExposeSplitterPins()) {
        const bool failed = m_splitterPads && m_splitterPads->Failed();
        return fail(ErrorText::kConnect, failed ? VFW_E_INVALID_FILE_FORMAT : VFW_E_TIMEOUT);
    }
    return true;
}

bool CVideoMgr::ConnectFilters(Kind kind, int count, GstElement* streamFilter, int audioPin, int rearPin)
{
    const bool twoStreams = count == 2;
    TraceLog(twoStreams ? QStringLiteral("Kestrav----->VIDEO STREAM 2") : QStringLiteral("Kestrav----->VIDEO STREAM 1"));
    GstElement* frontRenderer = m_frontRenderer ? m_frontRenderer->Element() : nullptr;
    GstElement* rearRenderer = m_rearRenderer ? m_rearRenderer->Element() : nullptr;

    if (!ConnectFilter(streamFilter, m_frontDecoder, Link::kSplitterToDecoder, 0))
        return false;
    if (!ConnectFilter(m_frontDecoder, frontRenderer, Link::kDecoderToRenderer, 0))
        return false;
    if (twoStreams) {
        if (!ConnectFilter(streamFilter, m_rearDecoder, Link::kSplitterToDecoder2, rearPin))
            return false;
        if (!ConnectFilter(m_rearDecoder, rearRenderer, Link::kDecoder2ToRenderer2, 0))
            return false;
    }
    if (!m_noAudio && !m_noAudioRenderer) {
        if (kind == Kind::Mp4) {
            const char* label = twoStreams ? Link::kSplitterToWrapper : Link::kSourceToAudioRenderer;
            if (!ConnectFilter(streamFilter, m_audioRenderer, label, audioPin))
                return false;
        } else {
            if (!ConnectFilter(streamFilter, m_audioWrapper, Link::kSplitterToWrapper, audioPin))
                return false;
            if (!ConnectFilter(m_audioWrapper, m_audioRenderer, Link::kWrapperToRenderer, 0))
                return false;
        }
    }
    TraceLog(QStringLiteral("PASS Filter Connect"));
    ParkUnconnected();
    return true;
}

void CVideoMgr::ParkUnconnected()
{
    // Elements the topology leaves unconnected stay in the graph, parked.
    GstElement* elements[] = {m_rearDecoder, m_rearRenderer ? m_rearRenderer->Element() : nullptr, m_audioWrapper,
                              m_audioRenderer};
    for (GstElement* e : elements)
        if (e && !SinkLinked(e))
            GstSupport::Park(e);
}

bool CVideoMgr::StartGraph(HRESULT* failure)
{
    // The demultiplexers' streams are held back until everything downstream
    // is ready for data; then let them flow and wait for the first pictures.
    ThreadCheck::Publish(this);
    const GstStateChangeReturn r = gst_element_set_state(m_graph, GST_STATE_PAUSED);
    if (m_mp4Source)
        m_mp4Source->ReleaseStreams();
    if (m_splitterPads)
        m_splitterPads->Release();
    if (r == GST_STATE_CHANGE_FAILURE) {
        TraceLog(QStringLiteral("CVideoMgr::OnMovieOpen graph does not start"));
        *failure = E_FAIL;
        return false;
    }
    GstState state = GST_STATE_VOID_PENDING;
    GstStateChangeReturn w = GST_STATE_CHANGE_ASYNC;
    {
        CWaitCursorScope busy;
        w = gst_element_get_state(m_graph, &state, nullptr, GstClockTime(OpenTimeLeftMs()) * GST_MSECOND);
    }
    if (w != GST_STATE_CHANGE_SUCCESS && w != GST_STATE_CHANGE_NO_PREROLL) {
        TraceLogF("CVideoMgr::OnMovieOpen first picture not ready (%d)", int(w));
        *failure = w == GST_STATE_CHANGE_ASYNC ? VFW_E_TIMEOUT : E_FAIL;
        return false;
    }
    // Pre-rolled means the front picture is there (its sink hands it over
    // before the pipeline completes the change); a stream that ended before
    // any picture pre-rolls too, and shows nothing.
    if (!m_frontRenderer->CurrentFrame() || m_frontRenderer->CurrentSerial() != m_serial) {
        TraceLog(QStringLiteral("CVideoMgr::OnMovieOpen no picture"));
        *failure = E_FAIL;
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// close

void CVideoMgr::ReleaseElement(GstElement*& element)
{
    if (element) {
        gst_object_unref(element);
        element = nullptr;
    }
}

bool CVideoMgr::Close()
{
    TraceLog(QStringLiteral("Kestrav-----> CVideoMgr::Close START"));
    m_state = STATE_STOP;
    if (!m_graph)
        return false;
    m_notifyRegistered = false;

    Stop();
    // Stop every streaming thread before the graph is taken apart.
    gst_element_set_state(m_graph, GST_STATE_NULL);
    {
        std::lock_guard<std::mutex> lock(m_gateMutex);
        m_gateSplitter = nullptr;
        m_gateMp4 = nullptr;
    }

    GstElement* frontRenderer = m_frontRenderer ? m_frontRenderer->Element() : nullptr;
    GstElement* rearRenderer = m_rearRenderer ? m_rearRenderer->Element() : nullptr;
    for (GstElement* e : {m_frontDecoder, m_rearDecoder, m_splitter, m_source, m_audioWrapper, m_audioRenderer,
                          frontRenderer, rearRenderer}) {
        if (!e || GST_OBJECT_PARENT(e) != GST_OBJECT(m_graph))
            continue;
        GstSupport::Unpark(e);
        gst_element_set_state(e, GST_STATE_NULL);
        gst_bin_remove(GST_BIN(m_graph), e);
    }

    m_splitterPads.reset();
    m_volumeElement = nullptr;
    ReleaseElement(m_audioRenderer);
    ReleaseElement(m_audioWrapper);
    ReleaseElement(m_frontDecoder);
    ReleaseElement(m_rearDecoder);
    ReleaseElement(m_splitter);
    ReleaseElement(m_source);
    m_mp4Source.reset();

    TraceLog(QStringLiteral("Kestrav-----> CVideoMgr::OnClose End"));
    GstBus* bus = gst_pipeline_get_bus(GST_PIPELINE(m_graph));
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_bus_set_flushing(bus, TRUE);
    gst_object_unref(bus);
    ReleaseElement(m_graph);
    ClearEvents();
    m_videoStreamCount = 0;
    m_appliedRate = 1.0;

    // A closed recording leaves no picture behind for the next one.
    if (m_frontRenderer)
        m_frontRenderer->ClearFrame();
    if (m_rearRenderer)
        m_rearRenderer->ClearFrame();
    SetupVideoRendererSettings(false, true);
    return true;
}

// ---------------------------------------------------------------------------
// graph events

int CVideoMgr::OnBusMessage(void*, GstMessage* message, void* self)
{
    auto* me = static_cast<CVideoMgr*>(self);
    ThreadCheck::Receive(me);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
        me->QueueEvent(EC_COMPLETE, 0, nullptr);
        break;
    case GST_MESSAGE_ERROR: {
        {
            std::lock_guard<std::mutex> lock(me->m_gateMutex);
            if (me->m_gateSplitter)
                me->m_gateSplitter->NoteError(GST_MESSAGE_SRC(message));
            if (me->m_gateMp4)
                me->m_gateMp4->NoteError(GST_MESSAGE_SRC(message));
        }
        GError* error = nullptr;
        gst_message_parse_error(message, &error, nullptr);
        const long code = error ? error->code : 0;
        g_clear_error(&error);
        TraceLogF("CVideoMgr::graph error [%s]", qUtf8Printable(GstSupport::MessageText(message)));
        me->QueueEvent(EC_ERRORABORT, code, message);
        break;
    }
    case GST_MESSAGE_WARNING:
        // Warnings (no sound device, a damaged frame) are not errors.
        TraceLogF("CVideoMgr::graph warning [%s]", qUtf8Printable(GstSupport::MessageText(message)));
        break;
    case GST_MESSAGE_ASYNC_DONE:
        // The graph reached a paused state with its pictures (after an open or a seek).
        if (GST_MESSAGE_SRC(message) == GST_OBJECT(me->m_graph))
            me->QueueEvent(EC_PAUSED, 0, nullptr);
        break;
    default:
        break;
    }
    return GST_BUS_DROP;
}

void CVideoMgr::QueueEvent(long code, long param, GstMessage* message)
{
    bool post = false;
    {
        std::lock_guard<std::mutex> lock(m_eventMutex);
        m_events.push_back(GraphEvent{code, param, message ? gst_message_ref(message) : nullptr});
        post = !m_eventPostQueued;
        m_eventPostQueued = true;
    }
    // One posted notification covers every event queued until it is delivered.
    if (post)
        QMetaObject::invokeMethod(this, &CVideoMgr::OnEventsQueued, Qt::QueuedConnection);
}

void CVideoMgr::OnEventsQueued()
{
    {
        std::lock_guard<std::mutex> lock(m_eventMutex);
        m_eventPostQueued = false;
        if (m_events.empty())
            return;
    }
    if (m_notifyRegistered)
        m_notifier.Send(kMsgGraphNotify);
}

bool CVideoMgr::TakeEvent(GraphEvent* event)
{
    std::lock_guard<std::mutex> lock(m_eventMutex);
    if (m_events.empty())
        return false;
    *event = m_events.front();
    m_events.pop_front();
    return true;
}

void CVideoMgr::ClearEvents()
{
    std::deque<GraphEvent> dropped;
    {
        std::lock_guard<std::mutex> lock(m_eventMutex);
        dropped.swap(m_events);
    }
    for (GraphEvent& e : dropped)
        if (e.message)
            gst_message_unref(e.message);
}

HRESULT CVideoMgr::HandleGraphEvent()
{
    if (!m_graph)
        return E_ABORT;
    HRESULT hr = S_OK;
    GraphEvent event;
    while (m_graph && TakeEvent(&event)) {
        bool complete = false;
        switch (event.code) {
        case EC_COMPLETE:
            TraceLog(QStringLiteral("CVideoMgr::HandleGraphEvent EC_COMPLETE"));
            complete = true;
            break;
        case EC_PAUSED:
            TraceLog(QStringLiteral("CVideoMgr::HandleGraphEvent EC_PAUSED"));
            if (m_state == STATE_PLAY)
                ReDrawVideo();
            break;
        case EC_ERRORABORT: {
            TraceLogF("CVideoMgr::HandleGraphEvent %ld (0x%lx)", event.code, event.code);
            // An error of an element no longer in use (a partner file left
            // out at the open) ends nothing.
            GstObject* src = event.message ? GST_MESSAGE_SRC(event.message) : nullptr;
            if (src && !gst_object_has_as_ancestor(src, GST_OBJECT(m_graph)))
                break;
            if (src && GST_IS_ELEMENT(src) && GstSupport::IsParked(GST_ELEMENT(src)))
                break;
            // The graph has stopped streaming: the recording is over, as at its end.
            complete = true;
            break;
        }
        default:
            TraceLogF("CVideoMgr::HandleGraphEvent %ld (0x%lx)", event.code, event.code);
            break;
        }
        if (event.message)
            gst_message_unref(event.message);
        hr = S_OK;
        if (complete) {
            Close();
            m_notifier.Send(kMsgPlayComplete);
            break;
        }
    }
    return hr;
}
