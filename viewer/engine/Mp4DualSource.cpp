#include "engine/Mp4DualSource.h"

#include "engine/GstSupport.h"
#include "base/TraceLog.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <gst/gst.h>

#include <algorithm>
#include <cerrno>
#include <mutex>

struct CMp4DualSource::Reader
{
    GstElement* src = nullptr;
    GstElement* demux = nullptr;
    std::unique_ptr<CDemuxPads> pads;
};

namespace {
struct NameParts
{
    QString folder, prefix, ext;
    int numbers[6] = {};
    QChar channel;
};

bool ParseName(const QString& path, NameParts* parts)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    const int underscore = name.indexOf(QLatin1Char('_'));
    if (underscore < 0)
        return false;
    // "%4d_%02d_%02d_%02d_%02d_%02d_%c.%s" after the prefix's underscore.
    static const QRegularExpression pattern(QStringLiteral(
        "^\\s*([+-]?\\d{1,4})_\\s*([+-]?\\d{1,2})_\\s*([+-]?\\d{1,2})_\\s*([+-]?\\d{1,2})_\\s*([+-]?\\d{1,2})_"
        "\\s*([+-]?\\d{1,2})_(.)\\.(.+)$"));
    const QRegularExpressionMatch m = pattern.match(name.mid(underscore + 1));
    if (!m.hasMatch())
        return false;
    parts->folder = info.path();
    parts->prefix = name.left(underscore);
    for (int i = 0; i < 6; ++i)
        parts->numbers[i] = m.captured(i + 1).toInt();
    parts->channel = m.captured(7).at(0);
    parts->ext = m.captured(8);
    return true;
}
} // namespace

QString CMp4DualSource::PartnerPath(const QString& path)
{
    NameParts p;
    if (!ParseName(path, &p))
        return QString();
    const char other = p.channel == QLatin1Char('F') ? 'R' : 'F';
    const QString name = QString::asprintf("%s_%4d_%02d_%02d_%02d_%02d_%02d_%c.%s", qUtf8Printable(p.prefix),
                                           p.numbers[0], p.numbers[1], p.numbers[2], p.numbers[3], p.numbers[4],
                                           p.numbers[5], other, qUtf8Printable(p.ext));
    return p.folder + QLatin1Char('/') + name;
}

bool CMp4DualSource::IsFrontName(const QString& path)
{
    NameParts p;
    return ParseName(path, &p) && p.channel == QLatin1Char('F');
}

CMp4DualSource::CMp4DualSource() = default;

CMp4DualSource::~CMp4DualSource()
{
    // The engine has set the pipeline to NULL: no streaming thread runs.
    {
        std::lock_guard<std::mutex> lock(m_watchMutex);
        m_watching.clear();
    }
    if (m_front)
        m_front->pads.reset();
    if (m_rear)
        m_rear->pads.reset();
    if (m_bin)
        gst_object_unref(m_bin);
}

bool CMp4DualSource::Create(const char* graphName, QString* missing)
{
    GstSupport::EnsureInitialised();
    for (const char* factory : {"filesrc", "qtdemux"}) {
        GstElementFactory* f = gst_element_factory_find(factory);
        if (!f) {
            TraceLogF("CreateObject : LoadLibrary [%s] Failed.", factory);
            if (missing)
                *missing = QString::fromUtf8(factory);
            return false;
        }
        gst_object_unref(f);
    }
    m_bin = GST_ELEMENT(gst_object_ref_sink(gst_bin_new(graphName)));
    return true;
}

Engine::HRESULT CMp4DualSource::SetSingleStream(int single)
{
    m_single = single != 0;
    return Engine::S_OK;
}

std::unique_ptr<CMp4DualSource::Reader> CMp4DualSource::OpenReader(const QString& path, const char* role,
                                                                    const QDeadlineTimer& deadline,
                                                                    Engine::HRESULT* hr)
{
    // The file is opened when its source starts; find out now whether it can be.
    *hr = static_cast<Engine::HRESULT>(GstSupport::CheckReadableFile(path));
    if (Engine::Failed(*hr))
        return nullptr;
    auto reader = std::make_unique<Reader>();
    const QByteArray srcName = QByteArray(role) + " file";
    const QByteArray demuxName = QByteArray(role) + " demux";
    reader->src = gst_element_factory_make("filesrc", srcName.constData());
    reader->demux = gst_element_factory_make("qtdemux", demuxName.constData());
    if (!reader->src || !reader->demux) {
        *hr = Engine::E_FAIL;
        return nullptr;
    }
    g_object_set(reader->src, "location", QFile::encodeName(path).constData(), nullptr);
    gst_bin_add_many(GST_BIN(m_bin), reader->src, reader->demux, nullptr);
    gst_element_link(reader->src, reader->demux);
    reader->pads = std::make_unique<CDemuxPads>(reader->demux, reader->src);
    {
        std::lock_guard<std::mutex> lock(m_watchMutex);
        m_watching.append(reader->pads.get());
    }

    // Reading the headers happens on the way to PAUSED.
    gst_element_set_state(reader->demux, GST_STATE_PAUSED);
    gst_element_set_state(reader->src, GST_STATE_PAUSED);
    const int waitMs =
        deadline.isForever() ? Engine::kOpenDeadlineMs : int(std::max<qint64>(deadline.remainingTime(), 0));
    if (!reader->pads->WaitForPads(waitMs)) {
        *hr = reader->pads->Failed() ? Engine::VFW_E_INVALID_FILE_FORMAT : Engine::VFW_E_TIMEOUT;
        DropReader(reader);
        return nullptr;
    }
    *hr = Engine::S_OK;
    return reader;
}

void CMp4DualSource::DropReader(std::unique_ptr<Reader>& reader)
{
    if (!reader)
        return;
    gst_element_set_state(reader->src, GST_STATE_NULL);
    gst_element_set_state(reader->demux, GST_STATE_NULL);
    {
        std::lock_guard<std::mutex> lock(m_watchMutex);
        m_watching.removeAll(reader->pads.get());
    }
    reader->pads.reset();
    gst_bin_remove_many(GST_BIN(m_bin), reader->src, reader->demux, nullptr);
    reader.reset();
}

void CMp4DualSource::ExposePad(GstPad* target, const char* name)
{
    GstPad* ghost = gst_ghost_pad_new(name, target);
    gst_pad_set_active(ghost, TRUE);
    gst_element_add_pad(m_bin, ghost);
}

Engine::HRESULT CMp4DualSource::Load(const QString& path, const QDeadlineTimer& deadline)
{
    if (!m_bin)
        return Engine::E_FAIL;
    if (m_front)
        return Engine::E_FAIL; // one Load per open
    QString frontPath = path;
    QString rearPath;
    if (!m_single) {
        const QString partner = PartnerPath(path);
        if (!partner.isEmpty() && QFileInfo::exists(partner)) {
            if (IsFrontName(path)) {
                rearPath = partner;
            } else {
                frontPath = partner;
                rearPath = path;
            }
        }
    }

    Engine::HRESULT hr = Engine::S_OK;
    m_front = OpenReader(frontPath, "front", deadline, &hr);
    if (!m_front && !rearPath.isEmpty() && frontPath != path) {
        // The partner named as front vanished or is unreadable: play the file asked for alone.
        TraceLogF("CVideoMgr::MP4 partner unreadable [%s]", qUtf8Printable(frontPath));
        frontPath = path;
        rearPath.clear();
        m_front = OpenReader(frontPath, "front", deadline, &hr);
    }
    if (!m_front)
        return hr;
    m_frontPath = frontPath;
    if (!rearPath.isEmpty()) {
        Engine::HRESULT rearHr = Engine::S_OK;
        m_rear = OpenReader(rearPath, "rear", deadline, &rearHr);
        if (m_rear)
            m_rearPath = rearPath;
        else
            TraceLogF("CVideoMgr::MP4 partner unreadable [%s] (0x%x)", qUtf8Printable(rearPath), unsigned(rearHr));
    }

    GstPad* frontVideo = nullptr;
    GstPad* frontAudio = nullptr;
    GstPad* rearVideo = nullptr;
    m_audioTracks = 0;
    for (GstPad* pad : m_front->pads->Pads()) {
        if (GstSupport::IsVideoPad(pad) && !frontVideo)
            frontVideo = pad;
        else if (GstSupport::IsAudioPad(pad)) {
            ++m_audioTracks;
            if (!frontAudio)
                frontAudio = pad;
        }
    }
    if (m_rear) {
        for (GstPad* pad : m_rear->pads->Pads())
            if (GstSupport::IsVideoPad(pad) && !rearVideo)
                rearVideo = pad;
        if (!rearVideo) {
            DropReader(m_rear);
            m_rearPath.clear();
        }
    }
    m_frontVideo = frontVideo ? 1 : 0;
    m_rearVideo = rearVideo ? 1 : 0;
    if (frontVideo)
        ExposePad(frontVideo, "video_front");
    if (frontAudio)
        ExposePad(frontAudio, "audio");
    if (rearVideo)
        ExposePad(rearVideo, "video_rear");
    TraceLogF("CVideoMgr::MP4 source front[%s] rear[%s] audio(%d)", qUtf8Printable(m_frontPath),
              qUtf8Printable(m_rearPath), m_audioTracks);
    return Engine::S_OK;
}

Engine::HRESULT CMp4DualSource::GetStreamInfo(int* first, int* second) const
{
    if (!first || !second)
        return Engine::E_POINTER;
    *first = m_frontVideo;
    *second = m_rearVideo;
    return Engine::S_OK;
}

Engine::HRESULT CMp4DualSource::GetAudioTrackCount(int16_t* count) const
{
    if (!count)
        return Engine::E_POINTER;
    *count = static_cast<int16_t>(m_audioTracks);
    return Engine::S_OK;
}

void CMp4DualSource::ReleaseStreams()
{
    if (m_front)
        m_front->pads->Release();
    if (m_rear)
        m_rear->pads->Release();
}

void CMp4DualSource::NoteError(void* gstObject)
{
    std::lock_guard<std::mutex> lock(m_watchMutex);
    for (CDemuxPads* pads : m_watching)
        pads->NoteError(gstObject);
}
