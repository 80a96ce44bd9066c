#include "engine/GstSupport.h"

#include "engine/EngineIds.h"
#include "base/TraceLog.h"

#include <QFile>
#include <QFileInfo>

#include <gst/gst.h>

#include <chrono>

#include <sys/stat.h>

namespace GstSupport {

void EnsureInitialised()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (!gst_is_initialized())
            gst_init(nullptr, nullptr);
    });
}

namespace {
// The Debian package that brings a GStreamer element the engine uses.
const char* PackageOf(const char* factory)
{
    static const struct {
        const char* factory;
        const char* package;
    } table[] = {
        {"avdec_h264", "gstreamer1.0-libav"},      {"h264parse", "gstreamer1.0-plugins-bad"},
        {"avidemux", "gstreamer1.0-plugins-good"}, {"qtdemux", "gstreamer1.0-plugins-good"},
        {"autoaudiosink", "gstreamer1.0-plugins-good"},
    };
    for (const auto& row : table)
        if (qstrcmp(row.factory, factory) == 0)
            return row.package;
    return "gstreamer1.0-plugins-base";
}
} // namespace

GstElement* MakeElement(const char* factory, const char* name, QString* missing)
{
    EnsureInitialised();
    GstElement* element = gst_element_factory_make(factory, name);
    if (!element) {
        TraceLogF("CreateObject : LoadLibrary [%s] Failed.", factory);
        TraceLogF("CreateObject : the GStreamer element '%s' is not installed (package %s)", factory,
                  PackageOf(factory));
        if (missing)
            *missing = QString::fromUtf8(factory);
    }
    return element;
}

namespace {
QString PadMediaKind(GstPad* pad)
{
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (!caps)
        caps = gst_pad_query_caps(pad, nullptr);
    QString kind;
    if (caps && !gst_caps_is_empty(caps) && !gst_caps_is_any(caps)) {
        const GstStructure* s = gst_caps_get_structure(caps, 0);
        kind = QString::fromUtf8(gst_structure_get_name(s));
    }
    if (caps)
        gst_caps_unref(caps);
    if (kind.isEmpty()) {
        gchar* name = gst_pad_get_name(pad);
        kind = QString::fromUtf8(name);
        g_free(name);
    }
    return kind;
}
} // namespace

bool IsVideoPad(GstPad* pad)
{
    const QString kind = PadMediaKind(pad);
    return kind.startsWith(QLatin1String("video")) || kind.startsWith(QLatin1String("image/"));
}

bool IsAudioPad(GstPad* pad)
{
    return PadMediaKind(pad).startsWith(QLatin1String("audio"));
}

namespace {
const char* const kParkedKey = "kestrav-parked";
const char* const kWasSinkKey = "kestrav-was-sink";
} // namespace

void Park(GstElement* element)
{
    if (!element || IsParked(element))
        return;
    const bool wasSink = GST_OBJECT_FLAG_IS_SET(element, GST_ELEMENT_FLAG_SINK);
    g_object_set_data(G_OBJECT(element), kWasSinkKey, GINT_TO_POINTER(wasSink ? 1 : 0));
    g_object_set_data(G_OBJECT(element), kParkedKey, GINT_TO_POINTER(1));
    gst_element_set_locked_state(element, TRUE);
    gst_element_set_state(element, GST_STATE_NULL);
    GST_OBJECT_FLAG_UNSET(element, GST_ELEMENT_FLAG_SINK);
}

void Unpark(GstElement* element)
{
    if (!element || !IsParked(element))
        return;
    if (g_object_get_data(G_OBJECT(element), kWasSinkKey))
        GST_OBJECT_FLAG_SET(element, GST_ELEMENT_FLAG_SINK);
    g_object_set_data(G_OBJECT(element), kParkedKey, nullptr);
    gst_element_set_locked_state(element, FALSE);
}

bool IsParked(GstElement* element)
{
    return element && g_object_get_data(G_OBJECT(element), kParkedKey) != nullptr;
}

bool SetStateAndWait(GstElement* element, int state, int timeoutMs)
{
    const GstStateChangeReturn r = gst_element_set_state(element, static_cast<GstState>(state));
    if (r == GST_STATE_CHANGE_FAILURE)
        return false;
    if (r != GST_STATE_CHANGE_ASYNC)
        return true;
    GstState current = GST_STATE_VOID_PENDING;
    const GstStateChangeReturn w = gst_element_get_state(element, &current, nullptr,
                                                         static_cast<GstClockTime>(timeoutMs) * GST_MSECOND);
    return w == GST_STATE_CHANGE_SUCCESS || w == GST_STATE_CHANGE_NO_PREROLL;
}

long CheckReadableFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return Engine::E_FILE_NOT_FOUND;
    // Only regular files: opening a FIFO or a device node could block.
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return Engine::E_ACCESS_DENIED;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Engine::E_ACCESS_DENIED;
    return Engine::S_OK;
}

QString MessageText(void* gstMessage)
{
    auto* message = static_cast<GstMessage*>(gstMessage);
    GError* error = nullptr;
    gchar* debug = nullptr;
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR)
        gst_message_parse_error(message, &error, &debug);
    else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_WARNING)
        gst_message_parse_warning(message, &error, &debug);
    QString text = QString::fromUtf8(GST_OBJECT_NAME(GST_MESSAGE_SRC(message)));
    if (error)
        text += QStringLiteral(": ") + QString::fromUtf8(error->message);
    g_clear_error(&error);
    g_free(debug);
    return text;
}

} // namespace GstSupport

// ---------------------------------------------------------------------------

namespace {
GstPadProbeReturn HoldData(GstPad*, GstPadProbeInfo*, gpointer)
{
    return GST_PAD_PROBE_OK; // stays blocked until the probe is removed
}
} // namespace

CDemuxPads::CDemuxPads(GstElement* demux, GstElement* upstream)
    : m_demux(GST_ELEMENT(gst_object_ref(demux)))
    , m_upstream(upstream ? GST_ELEMENT(gst_object_ref(upstream)) : nullptr)
{
    m_padAddedId = g_signal_connect(demux, "pad-added", G_CALLBACK(&CDemuxPads::OnPadAdded), this);
    m_noMorePadsId = g_signal_connect(demux, "no-more-pads", G_CALLBACK(&CDemuxPads::OnNoMorePads), this);
}

CDemuxPads::~CDemuxPads()
{
    Release();
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const Entry& e : m_entries)
        gst_object_unref(e.pad);
    m_entries.clear();
    gst_object_unref(m_demux);
    if (m_upstream)
        gst_object_unref(m_upstream);
}

void CDemuxPads::OnPadAdded(GstElement*, GstPad* pad, void* self)
{
    auto* me = static_cast<CDemuxPads*>(self);
    std::lock_guard<std::mutex> lock(me->m_mutex);
    if (me->m_released)
        return;
    const gulong probe = gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BLOCK_DOWNSTREAM, HoldData, nullptr, nullptr);
    me->m_entries.append(Entry{GST_PAD(gst_object_ref(pad)), probe});
    me->m_changed.notify_all();
}

void CDemuxPads::OnNoMorePads(GstElement*, void* self)
{
    auto* me = static_cast<CDemuxPads*>(self);
    std::lock_guard<std::mutex> lock(me->m_mutex);
    me->m_complete = true;
    me->m_changed.notify_all();
}

bool CDemuxPads::WaitForPads(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_complete || m_failed; });
    return m_complete && !m_failed;
}

void CDemuxPads::NoteError(void* gstObject)
{
    auto* source = static_cast<GstObject*>(gstObject);
    const bool ours = source == GST_OBJECT(m_demux) || (m_upstream && source == GST_OBJECT(m_upstream))
        || gst_object_has_as_ancestor(source, GST_OBJECT(m_demux));
    if (!ours)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_failed = true;
    m_changed.notify_all();
}

bool CDemuxPads::Failed() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_failed;
}

QList<GstPad*> CDemuxPads::Pads() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    QList<GstPad*> pads;
    for (const Entry& e : m_entries)
        pads.append(e.pad);
    return pads;
}

void CDemuxPads::Release()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_released)
        return;
    m_released = true;
    g_signal_handler_disconnect(m_demux, m_padAddedId);
    g_signal_handler_disconnect(m_demux, m_noMorePadsId);
    for (Entry& e : m_entries) {
        if (e.probe) {
            gst_pad_remove_probe(e.pad, e.probe);
            e.probe = 0;
        }
    }
}
