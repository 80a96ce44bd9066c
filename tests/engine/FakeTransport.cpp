#include "FakeTransport.h"

using namespace Engine;

namespace {
QString SizeText(const QSize& s)
{
    return QStringLiteral("%1x%2").arg(s.width()).arg(s.height());
}

// The picture the fake shows for a camera: a plain colour, small.
std::shared_ptr<const QImage> PlainPicture(int camera)
{
    auto image = std::make_shared<QImage>(camera == 0 ? QSize(32, 18) : QSize(24, 16), QImage::Format_RGB32);
    image->fill(camera == 0 ? Qt::darkCyan : Qt::darkMagenta);
    return image;
}
} // namespace

CFakeTransport::CFakeTransport() = default;
CFakeTransport::~CFakeTransport() = default;

void CFakeTransport::SetNotifyWindow(QObject* window)
{
    calls << QStringLiteral("SetNotifyWindow");
    m_notifier.SetNotifyWindow(window);
}

void CFakeTransport::SetVideoTargets(const QSize& front, const QSize& rear)
{
    calls << QStringLiteral("SetVideoTargets(%1,%2)").arg(SizeText(front), SizeText(rear));
    m_targetSize[kFrontTarget] = front;
    m_targetSize[kRearTarget] = rear;
}

void CFakeTransport::SetTargetSize(int target, const QSize& size)
{
    calls << QStringLiteral("SetTargetSize(%1,%2)").arg(target).arg(SizeText(size));
    if (target >= 0 && target < kTargetCount)
        m_targetSize[target] = size;
}

int CFakeTransport::CameraOf(int target) const
{
    if (!m_open || target < 0 || target >= kTargetCount)
        return -1;
    const int camera = (target == kFrontTarget) != m_swap ? FrontCamera : RearCamera;
    if (camera == RearCamera && m_rearDetached)
        return -1;
    return camera;
}

int CFakeTransport::TargetOf(int camera) const
{
    for (int t = 0; t < kTargetCount; ++t)
        if (CameraOf(t) == camera)
            return t;
    return kNoTarget;
}

bool CFakeTransport::OnMovieOpen(const QString& path, bool singlePlay)
{
    calls << QStringLiteral("OnMovieOpen(%1,%2)").arg(path).arg(singlePlay ? 1 : 0);
    if (m_open)
        DoClose();
    ++m_serial;
    if (!openSucceeds)
        return false;
    m_open = true;
    m_everOpened = true;
    m_path = path;
    m_single = singlePlay;
    m_tracks = openVideoTracks;
    m_duration = openDurationUnits;
    m_position = 0;
    m_rearDetached = false;
    m_events.clear();
    // The engine's initial values: volume re-applied, brightness 50, rate 1.0, zoom 1.0.
    m_brightness = kNeutralBrightness;
    m_rate = 1.0f;
    m_appliedRate = 1.0;
    m_zoom = 1.0f;
    m_frontRect = CViewRect::FromSize(m_targetSize[kFrontTarget]);
    m_destination[kFrontTarget] = m_frontRect.ToQRect();
    m_notifier.Post(kMsgViewSizeChanged);
    m_state = STATE_PAUSE;
    AutoFrames();
    m_notifier.PostFrameReady(kFrontTarget);
    m_notifier.PostFrameReady(kRearTarget);
    return true;
}

bool CFakeTransport::Close()
{
    calls << QStringLiteral("Close");
    return DoClose();
}

bool CFakeTransport::DoClose()
{
    m_state = STATE_STOP;
    if (!m_open)
        return false;
    m_open = false;
    m_tracks = 0;
    m_duration = 0;
    m_position = 0;
    m_appliedRate = 1.0;
    m_events.clear();
    for (Picture& p : m_picture) {
        p.image.reset();
        p.serial = 0;
        p.streamTimeNs = -1;
    }
    m_notifier.PostFrameReady(kFrontTarget);
    m_notifier.PostFrameReady(kRearTarget);
    return true;
}

void CFakeTransport::DetachRearRenderer()
{
    calls << QStringLiteral("DetachRearRenderer");
    m_rearDetached = true;
    m_notifier.PostFrameReady(kFrontTarget);
    m_notifier.PostFrameReady(kRearTarget);
}

HRESULT CFakeTransport::Play()
{
    calls << QStringLiteral("Play");
    if (m_open)
        m_state = STATE_PLAY;
    return S_OK;
}

HRESULT CFakeTransport::Pause()
{
    calls << QStringLiteral("Pause");
    if (m_open)
        m_state = STATE_PAUSE;
    return S_OK;
}

HRESULT CFakeTransport::Stop()
{
    calls << QStringLiteral("Stop");
    m_state = STATE_STOP;
    return m_open ? S_OK : S_FALSE;
}

long CFakeTransport::GetDuration() const
{
    return m_open ? long(m_duration / kUnitsPerSecond) : 0;
}

long CFakeTransport::GetPosition() const
{
    return m_open ? long(m_position / kUnitsPerSecond) : 0;
}

void CFakeTransport::SeekTo(int64_t units)
{
    ++m_serial;
    m_position = std::max<int64_t>(units, 0);
    AutoFrames();
}

void CFakeTransport::SetPosition(int percent)
{
    calls << QStringLiteral("SetPosition(%1)").arg(percent);
    if (m_open)
        SeekTo(VideoGeometry::PercentTarget(m_duration, percent));
}

void CFakeTransport::SeekForwards()
{
    calls << QStringLiteral("SeekForwards");
    if (!m_open || (m_state != STATE_PLAY && m_state != STATE_PAUSE))
        return;
    if (const std::optional<int64_t> target = VideoGeometry::SeekForwardsTarget(m_position, m_duration))
        SeekTo(*target);
}

void CFakeTransport::SeekBackwards()
{
    calls << QStringLiteral("SeekBackwards");
    if (!m_open || (m_state != STATE_PLAY && m_state != STATE_PAUSE))
        return;
    SeekTo(VideoGeometry::SeekBackwardsTarget(m_position));
}

void CFakeTransport::SetVideoSpeed(float rate)
{
    calls << QStringLiteral("SetVideoSpeed(%1)").arg(double(rate));
    m_rate = rate;
    if (m_open && rate > 0.0f && double(rate) != m_appliedRate) {
        m_appliedRate = rate;
        SeekTo(m_position);
    }
}

void CFakeTransport::SetVolume(int level)
{
    calls << QStringLiteral("SetVolume(%1)").arg(level);
    m_volume = level;
}

void CFakeTransport::SetBrightness(int level)
{
    calls << QStringLiteral("SetBrightness(%1)").arg(level);
    m_brightness = level;
}

int CFakeTransport::SetReverseMode(bool swap)
{
    calls << QStringLiteral("SetReverseMode(%1)").arg(swap ? 1 : 0);
    m_swap = swap;
    if (m_open) {
        m_rearDetached = false;
        DoResetSize(m_keepAspect);
    }
    return 0;
}

HRESULT CFakeTransport::HandleGraphEvent()
{
    calls << QStringLiteral("HandleGraphEvent");
    if (!m_open)
        return E_ABORT;
    while (m_open && !m_events.isEmpty()) {
        const long code = m_events.takeFirst();
        if (code == EC_COMPLETE || code == EC_ERRORABORT) {
            DoClose();
            m_notifier.Send(kMsgPlayComplete);
            break;
        }
    }
    return S_OK;
}

void CFakeTransport::ResetSize(bool keepAspect)
{
    calls << QStringLiteral("ResetSize(%1)").arg(keepAspect ? 1 : 0);
    DoResetSize(keepAspect);
}

void CFakeTransport::DoResetSize(bool keepAspect)
{
    if (m_zoom != 1.0f) {
        DoSetVideoViewSize(m_zoom);
        return;
    }
    m_keepAspect = keepAspect;
    m_frontRect = CViewRect::FromSize(m_targetSize[kFrontTarget]);
    m_rearRect = CViewRect::FromSize(m_targetSize[kRearTarget]);
    m_destination[kFrontTarget] = m_frontRect.ToQRect();
    m_destination[kRearTarget] = m_rearRect.ToQRect();
    m_notifier.PostFrameReady(kFrontTarget);
    m_notifier.PostFrameReady(kRearTarget);
}

void CFakeTransport::SetVideoViewSize(float zoom)
{
    calls << QStringLiteral("SetVideoViewSize(%1)").arg(double(zoom));
    DoSetVideoViewSize(zoom);
}

void CFakeTransport::DoSetVideoViewSize(float zoom)
{
    m_frontRect = VideoGeometry::ZoomedRect(m_targetSize[kFrontTarget], zoom);
    // As in the engine, the zoom is kept once the renderers exist (after the first open).
    if (m_everOpened) {
        m_destination[kFrontTarget] = m_frontRect.ToQRect();
        m_zoom = zoom;
        m_notifier.PostFrameReady(kFrontTarget);
    }
    m_notifier.Post(kMsgViewSizeChanged);
}

void CFakeTransport::MoveVideoPosByPercent(int panX, int panY)
{
    calls << QStringLiteral("MoveVideoPosByPercent(%1,%2)").arg(panX).arg(panY);
    if (!m_everOpened)
        return;
    m_destination[kFrontTarget] =
        VideoGeometry::PannedRect(m_frontRect, m_targetSize[kFrontTarget], panX, panY).ToQRect();
    m_notifier.PostFrameReady(kFrontTarget);
}

void CFakeTransport::ReDrawVideo()
{
    calls << QStringLiteral("ReDrawVideo");
}

CVideoFrame CFakeTransport::LatestFrame(int target) const
{
    const int camera = CameraOf(target);
    if (camera < 0)
        return CVideoFrame{};
    const Picture& p = m_picture[camera];
    CVideoFrame f;
    f.image = p.image;
    f.sourceSize = p.image ? p.image->size() : QSize();
    f.destination = m_destination[target];
    f.keepAspect = m_keepAspect;
    f.serial = p.image ? p.serial : 0;
    f.streamTimeNs = p.image ? p.streamTimeNs : -1;
    f.frameCount = p.count;
    return f;
}

void CFakeTransport::EmitEndOfStream()
{
    if (!m_open)
        return;
    m_events.append(EC_COMPLETE);
    m_notifier.Post(kMsgGraphNotify);
}

void CFakeTransport::EmitGraphError()
{
    if (!m_open)
        return;
    m_events.append(EC_ERRORABORT);
    m_notifier.Post(kMsgGraphNotify);
}

void CFakeTransport::EmitFrame(Camera camera, const QImage& picture, int64_t streamTimeNs)
{
    if (!m_open)
        return;
    Picture& p = m_picture[camera];
    p.image = std::make_shared<const QImage>(picture);
    p.serial = m_serial;
    p.streamTimeNs = streamTimeNs;
    ++p.count;
    m_notifier.PostFrameReady(TargetOf(camera));
}

void CFakeTransport::AutoFrames()
{
    if (!autoFrames || !m_open)
        return;
    const int64_t ns = m_position * 100;
    for (int camera = 0; camera < m_tracks && camera < 2; ++camera) {
        Picture& p = m_picture[camera];
        p.image = PlainPicture(camera);
        p.serial = m_serial;
        p.streamTimeNs = ns;
        ++p.count;
        m_notifier.PostFrameReady(TargetOf(camera));
    }
}
