// CVideoMgr: run, pause, stop, positions, skips, rate, volume, brightness and
// the front/rear exchange.
#include "engine/VideoMgr.h"

#include "base/TraceLog.h"
#include "engine/VideoRenderer.h"

#include <gst/gst.h>

#include <algorithm>

using namespace Engine;

HRESULT CVideoMgr::Play()
{
    if (!m_graph)
        return S_OK;
    gst_element_set_state(m_graph, GST_STATE_PLAYING);
    m_state = STATE_PLAY;
    TraceLog(QStringLiteral("CVideoMgr::Play"));
    return S_OK;
}

HRESULT CVideoMgr::Pause()
{
    if (!m_graph)
        return S_OK;
    gst_element_set_state(m_graph, GST_STATE_PAUSED);
    m_state = STATE_PAUSE;
    TraceLog(QStringLiteral("CVideoMgr::Pause"));
    return S_OK;
}

HRESULT CVideoMgr::Stop()
{
    TraceLog(QStringLiteral("CVideoMgr::Stopping"));
    m_state = STATE_STOP;
    if (!m_graph)
        return S_FALSE;
    // The graph stays built and keeps its position; it only stops running.
    // A graph that never started (a failed open) is left as it is.
    GstState current = GST_STATE_VOID_PENDING;
    GstState pending = GST_STATE_VOID_PENDING;
    gst_element_get_state(m_graph, &current, &pending, 0);
    GstStateChangeReturn r = GST_STATE_CHANGE_SUCCESS;
    if (current == GST_STATE_PLAYING || pending == GST_STATE_PLAYING)
        r = gst_element_set_state(m_graph, GST_STATE_PAUSED);
    TraceLog(QStringLiteral("CVideoMgr::Stopped"));
    return r == GST_STATE_CHANGE_FAILURE ? E_FAIL : S_OK;
}

int64_t CVideoMgr::GetDurationUnits() const
{
    gint64 ns = -1;
    if (!m_graph || !gst_element_query_duration(m_graph, GST_FORMAT_TIME, &ns) || ns < 0)
        return -1;
    return ns / 100;
}

int64_t CVideoMgr::GetPositionUnits() const
{
    if (!m_graph)
        return -1;
    // Until the first picture of the last seek shows, the pipeline answers
    // with where it was (or nothing): the position is the seek's target, as
    // it is for the caller from the moment it asked.
    if (m_seekTarget >= 0 && (!m_frontRenderer || m_frontRenderer->CurrentSerial() < m_seekSerial))
        return m_seekTarget;
    gint64 ns = -1;
    if (gst_element_query_position(m_graph, GST_FORMAT_TIME, &ns) && ns >= 0)
        return ns / 100;
    // No answer while the pipeline settles (just after a seek or a state
    // change): the front picture shown tells where playback is.
    const int64_t shown = m_frontRenderer ? m_frontRenderer->CurrentFrameTime() : -1;
    return shown >= 0 ? shown / 100 : -1;
}

long CVideoMgr::GetDuration() const
{
    const int64_t units = GetDurationUnits();
    return units < 0 ? 0 : long(units / kUnitsPerSecond);
}

long CVideoMgr::GetPosition() const
{
    const int64_t units = GetPositionUnits();
    return units < 0 ? 0 : long(units / kUnitsPerSecond);
}

bool CVideoMgr::SeekFlushing(int64_t units, double rate)
{
    // Flushing and accurate: the picture shown is the one at the target. The
    // seek takes the next serial; the renderers learn the seek's sequence
    // number first, since the flush may pass through them before the call returns.
    const uint64_t serial = ++m_serial;
    const auto flags = GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    GstEvent* seek = gst_event_new_seek(rate, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET,
                                        std::max<int64_t>(units, 0) * 100, GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE);
    const uint32_t seqnum = gst_event_get_seqnum(seek);
    for (CVideoRenderer* r : {m_frontRenderer.get(), m_rearRenderer.get()})
        if (r)
            r->ExpectFlush(seqnum, serial);
    const int64_t previousTarget = m_seekTarget;
    const uint64_t previousSerial = m_seekSerial;
    m_seekTarget = std::max<int64_t>(units, 0);
    m_seekSerial = serial;
    const bool sent = gst_element_send_event(m_graph, seek);
    if (!sent) {
        m_seekTarget = previousTarget;
        m_seekSerial = previousSerial;
    }
    return sent;
}

void CVideoMgr::SeekTo(int64_t units)
{
    if (!m_graph)
        return;
    if (!SeekFlushing(units, m_appliedRate))
        TraceLogF("CVideoMgr::seek refused (%lld)", static_cast<long long>(units));
}

void CVideoMgr::SetPosition(int percent)
{
    const int64_t duration = GetDurationUnits();
    if (duration < 0)
        return;
    SeekTo(VideoGeometry::PercentTarget(duration, percent));
}

void CVideoMgr::SeekForwards()
{
    if (m_state != STATE_PLAY && m_state != STATE_PAUSE)
        return;
    const int64_t current = GetPositionUnits();
    const int64_t duration = GetDurationUnits();
    if (current < 0 || duration < 0)
        return;
    const std::optional<int64_t> target = VideoGeometry::SeekForwardsTarget(current, duration);
    if (!target)
        return;
    SeekTo(*target);
    TraceLog(QStringLiteral("CVideoMgr::SeekForwards"));
}

void CVideoMgr::SeekBackwards()
{
    if (m_state != STATE_PLAY && m_state != STATE_PAUSE)
        return;
    const int64_t current = GetPositionUnits();
    if (current < 0)
        return;
    SeekTo(VideoGeometry::SeekBackwardsTarget(current));
    TraceLog(QStringLiteral("CVideoMgr::SeekBackwards"));
}

void CVideoMgr::SetVideoSpeed(float rate)
{
    m_rate = rate;
    if (m_graph) {
        const double wanted = rate;
        if (wanted == m_appliedRate) {
            TraceLog(QStringLiteral("SetRate() S_OK"));
        } else if (wanted <= 0.0) {
            TraceLog(QStringLiteral("SetRate() E_INVALIDARG"));
            TraceLogF("CVideoMgr::get_Rate(%f)", m_appliedRate);
        } else {
            GstQuery* query = gst_query_new_seeking(GST_FORMAT_TIME);
            gboolean seekable = TRUE;
            if (gst_element_query(m_graph, query))
                gst_query_parse_seeking(query, nullptr, &seekable, nullptr, nullptr);
            gst_query_unref(query);
            if (!seekable) {
                TraceLog(QStringLiteral("SetRate() E_NOTIMPL"));
            } else {
                // A rate change is a flushing, accurate seek to where the
                // graph is, at the new rate (scaletempo keeps the pitch).
                const int64_t position = std::max<int64_t>(GetPositionUnits(), 0);
                if (SeekFlushing(position, wanted)) {
                    m_appliedRate = wanted;
                    TraceLog(QStringLiteral("SetRate() S_OK"));
                } else {
                    TraceLog(QStringLiteral("SetRate() E_INVALIDARG"));
                    TraceLogF("CVideoMgr::get_Rate(%f)", m_appliedRate);
                }
            }
        }
    }
    TraceLogF("CVideoMgr::SetVideoSpeed(%f)", double(rate));
}

void CVideoMgr::SetVolume(int level)
{
    m_volume = level;
    if (m_graph && m_volumeElement) {
        const int attenuation = VideoGeometry::VolumeToAttenuation(level);
        g_object_set(m_volumeElement, "volume", VideoGeometry::AttenuationToAmplitude(attenuation), nullptr);
        m_appliedAttenuation = attenuation;
    }
    TraceLogF("CVideoMgr::SetVolume(%d)", level);
}

void CVideoMgr::SetBrightness(int level)
{
    // Applied to both pictures; 50 leaves them as decoded.
    m_brightness = level;
    if (m_frontRenderer)
        m_frontRenderer->SetBrightness(level);
    if (m_rearRenderer)
        m_rearRenderer->SetBrightness(level);
}

int CVideoMgr::SetReverseMode(bool swap)
{
    TraceLog(QStringLiteral("Kestrav----->CVideoMgr::SetReverseMode START"));
    // Without a graph there is nothing to bind: the next open applies the
    // flag. With one (playing, paused or stopped) the binding follows the
    // flag at once, so that zoom and pan always act on the renderer that
    // feeds the front target.
    if (!m_graph) {
        m_swap = swap;
        TraceLog(QStringLiteral("Kestrav----->CVideoMgr::SetReverseMode Return::STATE_STOP"));
        return 0;
    }
    m_swap = swap;
    BindRenderers();
    ResetSize(m_keepAspect);
    TraceLog(QStringLiteral("Kestrav----->CVideoMgr::SetReverseMode END"));
    return 0;
}
