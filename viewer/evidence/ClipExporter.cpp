#include "evidence/ClipExporter.h"

#include "base/TraceLog.h"
#include "catalogue/RecordingAnalyzer.h"
#include "evidence/ClipAudio.h"
#include "evidence/ClipSpan.h"
#include "evidence/EvidenceIds.h"
#include "evidence/FfmpegSupport.h"
#include "evidence/OverlayRenderer.h"
#include "evidence/TelemetryMoment.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>

#include <fcntl.h>
#include <unistd.h>

using namespace Evidence;
using Layout = CClipOptions::Layout;

namespace {

// ---- Progress and cancel ------------------------------------------------------------

class CProgress
{
public:
    CProgress(const CClipExporter::ProgressFn& fn) : m_fn(fn) { m_timer.start(); }
    void Report(double fraction)
    {
        const int percent = std::clamp(int(fraction * 100.0), 0, 99);
        if (!m_fn || percent <= m_last || m_timer.elapsed() < EvidenceIds::kProgressMinIntervalMs)
            return;
        m_last = percent;
        m_timer.restart();
        m_fn(percent);
    }
    void Done()
    {
        if (m_fn)
            m_fn(100);
    }

private:
    const CClipExporter::ProgressFn& m_fn;
    QElapsedTimer m_timer;
    int m_last = -1;
};

bool Cancelled(const std::atomic_bool* cancel)
{
    return cancel && cancel->load(std::memory_order_relaxed);
}

// ---- The output file ------------------------------------------------------------------

// The MP4 being written, under a temporary name in the output folder until
// Commit() renames it into place; destroyed without a commit, it removes the
// temporary file.
class COutput
{
public:
    ~COutput() { Abort(); }

    bool Create(const QString& finalPath, QString* error)
    {
        m_final = finalPath;
        const QFileInfo info(finalPath);
        QDir dir = info.absoluteDir();
        if (!dir.exists() && !QDir().mkpath(dir.absolutePath())) {
            *error = QStringLiteral("cannot create the folder %1").arg(dir.absolutePath());
            return false;
        }
        // A name of our own beside the clip, created exclusively with the
        // usual permissions (the process's umask applies).
        for (int attempt = 0; attempt < 100 && m_temp.isEmpty(); ++attempt) {
            const QString name = dir.filePath(QStringLiteral(".%1.%2%3")
                                                  .arg(info.fileName())
                                                  .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))
                                                  .arg(QLatin1String(EvidenceIds::kTempSuffix)));
            const int fd = ::open(QFile::encodeName(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                ::close(fd);
                m_temp = name;
            } else if (errno != EEXIST) {
                *error = QStringLiteral("cannot write into %1 (%2)").arg(dir.absolutePath(), QString::fromLocal8Bit(std::strerror(errno)));
                return false;
            }
        }
        if (m_temp.isEmpty()) {
            *error = QStringLiteral("cannot write into %1").arg(dir.absolutePath());
            return false;
        }
        const int rc = avformat_alloc_output_context2(&m_oc, nullptr, "mp4", m_temp.toLocal8Bit().constData());
        if (rc < 0 || !m_oc) {
            *error = QStringLiteral("cannot start the MP4 (%1)").arg(AvError(rc));
            return false;
        }
        return true;
    }
    AVFormatContext* Ctx() const { return m_oc; }
    QString TempPath() const { return m_temp; }

    bool WriteHeader(QString* error)
    {
        int rc = avio_open(&m_oc->pb, m_temp.toLocal8Bit().constData(), AVIO_FLAG_WRITE);
        if (rc < 0) {
            *error = QStringLiteral("cannot write %1 (%2)").arg(m_temp, AvError(rc));
            return false;
        }
        AVDictionary* opts = nullptr;
        av_dict_set(&opts, "movflags", "+faststart", 0);
        rc = avformat_write_header(m_oc, &opts);
        av_dict_free(&opts);
        if (rc < 0) {
            *error = QStringLiteral("cannot write the clip's header (%1)").arg(AvError(rc));
            return false;
        }
        m_header = true;
        return true;
    }

    bool Write(AVPacket* pkt, QString* error)
    {
        const int rc = av_interleaved_write_frame(m_oc, pkt);
        if (rc < 0) {
            *error = QStringLiteral("cannot write the clip (%1)").arg(AvError(rc));
            return false;
        }
        return true;
    }

    bool Commit(QString* error)
    {
        int rc = av_write_trailer(m_oc);
        m_header = false;
        if (m_oc->pb)
            rc = std::min(rc, avio_closep(&m_oc->pb));
        if (rc < 0) {
            *error = QStringLiteral("cannot finish the clip (%1)").arg(AvError(rc));
            Abort();
            return false;
        }
        avformat_free_context(m_oc);
        m_oc = nullptr;
        // rename() replaces an existing file in one step.
        if (std::rename(QFile::encodeName(m_temp).constData(), QFile::encodeName(m_final).constData()) != 0) {
            *error = QStringLiteral("cannot rename the clip to %1").arg(m_final);
            Abort();
            return false;
        }
        m_temp.clear();
        return true;
    }

    void Abort()
    {
        if (m_oc) {
            if (m_oc->pb)
                avio_closep(&m_oc->pb);
            avformat_free_context(m_oc);
            m_oc = nullptr;
        }
        if (!m_temp.isEmpty()) {
            QFile::remove(m_temp);
            m_temp.clear();
        }
    }

private:
    AVFormatContext* m_oc = nullptr;
    QString m_temp;
    QString m_final;
    bool m_header = false;
};

// ---- Stream copy ---------------------------------------------------------------------

// One input file of a copied clip and the streams taken from it.
struct CopyInput {
    CInputFile file;
    std::vector<int> videos;      // absolute stream indices
    int text = -1;                // the MP4's text track, when it comes along
    std::vector<AVStream*> outVideos;
    AVStream* outText = nullptr;
    std::vector<bool> started;    // per video: its first key frame was met
    std::vector<double> firstKey; // per video: that key frame's time
    std::deque<AVPacket*> queue;  // read ahead while looking for the key frames
    bool eof = false;
    bool done = false;
};

double PacketSeconds(const CInputFile& f, const AVPacket* p)
{
    const int64_t ts = p->pts != AV_NOPTS_VALUE ? p->pts : p->dts;
    return ts == AV_NOPTS_VALUE ? -1e300 : f.Seconds(ts, p->stream_index);
}

double DtsSeconds(const CInputFile& f, const AVPacket* p)
{
    const int64_t ts = p->dts != AV_NOPTS_VALUE ? p->dts : p->pts;
    return ts == AV_NOPTS_VALUE ? -1e300 : f.Seconds(ts, p->stream_index);
}

// ---- Composition ---------------------------------------------------------------------

int Even(double v)
{
    return std::max(2, int(std::lround(v)) & ~1);
}

} // namespace

CClipExporter::Composition CClipExporter::ComposeLayout(Layout layout, QSize f, QSize r)
{
    Composition c;
    switch (layout) {
    case Layout::AsRecorded:
    case Layout::Front:
        c.out = QSize(f.width() & ~1, f.height() & ~1);
        c.front = QRect(QPoint(0, 0), c.out);
        break;
    case Layout::Rear:
        c.out = QSize(r.width() & ~1, r.height() & ~1);
        c.rear = QRect(QPoint(0, 0), c.out);
        break;
    case Layout::SideBySide: {
        int h = Even(std::max(f.height(), r.height()));
        auto widths = [&](int height, int* wf, int* wr) {
            *wf = Even(double(f.width()) * height / f.height());
            *wr = Even(double(r.width()) * height / r.height());
        };
        int wf = 0, wr = 0;
        widths(h, &wf, &wr);
        if (wf + wr > EvidenceIds::kMaxComposedWidth) {
            h = Even(double(h) * EvidenceIds::kMaxComposedWidth / (wf + wr));
            widths(h, &wf, &wr);
            wr = std::min(wr, EvidenceIds::kMaxComposedWidth - wf);
        }
        c.out = QSize(wf + wr, h);
        c.front = QRect(0, 0, wf, h);
        c.rear = QRect(wf, 0, wr, h);
        break;
    }
    case Layout::Pip: {
        c.out = QSize(f.width() & ~1, f.height() & ~1);
        c.front = QRect(QPoint(0, 0), c.out);
        const int w = Even(c.out.width() * EvidenceIds::kPipInsetFraction);
        const int h = std::min(Even(double(w) * r.height() / r.width()), c.out.height() / 2 & ~1);
        const int margin = Even(c.out.width() * EvidenceIds::kPipMarginFraction);
        c.rear = QRect(c.out.width() - margin - w, margin, w, h);
        c.frame = true;
        break;
    }
    }
    return c;
}

namespace {

// A colour as limited-range luma and chroma.
void ToYuv(QRgb rgb, bool bt709, uint8_t* y, uint8_t* u, uint8_t* v)
{
    const double kr = bt709 ? 0.2126 : 0.299, kb = bt709 ? 0.0722 : 0.114, kg = 1.0 - kr - kb;
    const double r = qRed(rgb), g = qGreen(rgb), b = qBlue(rgb);
    const double l = kr * r + kg * g + kb * b;
    *y = uint8_t(std::lround(16.0 + l * 219.0 / 255.0));
    *u = uint8_t(std::lround(128.0 + (b - l) / (2.0 * (1.0 - kb)) * 224.0 / 255.0));
    *v = uint8_t(std::lround(128.0 + (r - l) / (2.0 * (1.0 - kr)) * 224.0 / 255.0));
}

void FillRect(AVFrame* f, const QRect& r, uint8_t y, uint8_t u, uint8_t v)
{
    for (int row = r.top(); row <= r.bottom(); ++row)
        std::fill_n(f->data[0] + size_t(row) * size_t(f->linesize[0]) + r.left(), r.width(), y);
    for (int row = r.top() / 2; row <= r.bottom() / 2; ++row) {
        std::fill_n(f->data[1] + size_t(row) * size_t(f->linesize[1]) + r.left() / 2, (r.width() + 1) / 2, u);
        std::fill_n(f->data[2] + size_t(row) * size_t(f->linesize[2]) + r.left() / 2, (r.width() + 1) / 2, v);
    }
}

// ---- Decoding ------------------------------------------------------------------------

// One picture source of a re-encoded clip: its own handle of the file, one
// video stream, frames in presentation order.
class CVideoSource
{
public:
    bool Open(const QString& path, int nthVideo, QString* error)
    {
        if (!m_in.Open(path, error))
            return false;
        m_stream = m_in.StreamOf(AVMEDIA_TYPE_VIDEO, nthVideo);
        if (m_stream < 0) {
            *error = QStringLiteral("%1 has no picture").arg(path);
            return false;
        }
        m_in.KeepOnly({m_stream});
        const AVCodecParameters* par = m_in.Ctx()->streams[m_stream]->codecpar;
        const AVCodec* codec = avcodec_find_decoder(par->codec_id);
        if (!codec) {
            *error = QStringLiteral("no decoder for the picture of %1").arg(path);
            return false;
        }
        m_dec.reset(avcodec_alloc_context3(codec));
        avcodec_parameters_to_context(m_dec.get(), par);
        m_dec->pkt_timebase = m_in.Ctx()->streams[m_stream]->time_base;
        m_dec->thread_count = 2;
        const int rc = avcodec_open2(m_dec.get(), codec, nullptr);
        if (rc < 0) {
            *error = QStringLiteral("picture decoder: ") + AvError(rc);
            return false;
        }
        m_pkt = MakePacket();
        return true;
    }
    QSize Size() const { return QSize(m_dec->width, m_dec->height); }
    AVStream* Stream() const { return m_in.Ctx()->streams[m_stream]; }
    AVCodecContext* Decoder() const { return m_dec.get(); }
    double Duration() const { return m_in.DurationSeconds(); }
    double FrameSeconds() const
    {
        AVRational r = Stream()->avg_frame_rate;
        if (r.num <= 0 || r.den <= 0)
            r = Stream()->r_frame_rate;
        return (r.num > 0 && r.den > 0) ? double(r.den) / r.num : 1.0 / 30.0;
    }
    bool Seek(double seconds)
    {
        avcodec_flush_buffers(m_dec.get());
        m_eof = m_flushed = false;
        return m_in.SeekBefore(seconds, m_stream);
    }
    double Seconds(const AVFrame* f) const
    {
        const int64_t ts = f->best_effort_timestamp != AV_NOPTS_VALUE ? f->best_effort_timestamp : f->pts;
        return ts == AV_NOPTS_VALUE ? 0.0 : m_in.Seconds(ts, m_stream);
    }
    // The next picture into `out`; false at the end.
    bool Next(AVFrame* out)
    {
        for (;;) {
            const int rc = avcodec_receive_frame(m_dec.get(), out);
            if (rc >= 0)
                return true;
            if (rc == AVERROR_EOF)
                return false;
            if (rc != AVERROR(EAGAIN))
                return false;
            if (m_flushed)
                return false;
            if (m_eof) {
                avcodec_send_packet(m_dec.get(), nullptr);
                m_flushed = true;
                continue;
            }
            const int r = av_read_frame(m_in.Ctx(), m_pkt.get());
            if (r < 0) {
                m_eof = true;
                continue;
            }
            if (m_pkt->stream_index == m_stream)
                avcodec_send_packet(m_dec.get(), m_pkt.get()); // a damaged packet costs its picture only
            av_packet_unref(m_pkt.get());
        }
    }

private:
    CInputFile m_in;
    int m_stream = -1;
    CodecContextPtr m_dec;
    PacketPtr m_pkt;
    bool m_eof = false;
    bool m_flushed = false;
};

// Scales decoded pictures into a rectangle of the output picture.
class CScaler
{
public:
    ~CScaler() { sws_freeContext(m_sws); }
    void Draw(const AVFrame* src, AVFrame* dst, const QRect& r)
    {
        const auto fmt = AVPixelFormat(src->format);
        uint8_t* planes[4] = {dst->data[0] + size_t(r.top()) * size_t(dst->linesize[0]) + size_t(r.left()),
                              dst->data[1] + size_t(r.top() / 2) * size_t(dst->linesize[1]) + size_t(r.left() / 2),
                              dst->data[2] + size_t(r.top() / 2) * size_t(dst->linesize[2]) + size_t(r.left() / 2),
                              nullptr};
        const bool fullRange = src->color_range == AVCOL_RANGE_JPEG || fmt == AV_PIX_FMT_YUVJ420P;
        if (fmt == AV_PIX_FMT_YUV420P && !fullRange && src->width == r.width() && src->height == r.height()) {
            av_image_copy_plane(planes[0], dst->linesize[0], src->data[0], src->linesize[0], r.width(), r.height());
            av_image_copy_plane(planes[1], dst->linesize[1], src->data[1], src->linesize[1], r.width() / 2, r.height() / 2);
            av_image_copy_plane(planes[2], dst->linesize[2], src->data[2], src->linesize[2], r.width() / 2, r.height() / 2);
            return;
        }
        m_sws = sws_getCachedContext(m_sws, src->width, src->height, fmt, r.width(), r.height(), AV_PIX_FMT_YUV420P,
                                     SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!m_sws)
            return;
        if (fullRange) {
            int* inv = nullptr;
            int* table = nullptr;
            int srcRange = 0, dstRange = 0, brightness = 0, contrast = 0, saturation = 0;
            if (sws_getColorspaceDetails(m_sws, &inv, &srcRange, &table, &dstRange, &brightness, &contrast,
                                         &saturation) >= 0)
                sws_setColorspaceDetails(m_sws, inv, 1, table, 0, brightness, contrast, saturation);
        }
        const int strides[4] = {dst->linesize[0], dst->linesize[1], dst->linesize[2], 0};
        sws_scale(m_sws, src->data, src->linesize, 0, src->height, planes, strides);
    }

private:
    SwsContext* m_sws = nullptr;
};

// The lowest H.264 level whose frame size, macroblock rate and picture
// dimensions hold the clip; its bit-rate and buffer limits (High profile, kbit).
struct H264Level {
    int idc;
    int maxFs;
    int maxMbps;
    int maxBrKbps;
    int maxCpbKbit;
};
constexpr H264Level kLevels[] = {
    {30, 1620, 40500, 12500, 12500},       {31, 3600, 108000, 17500, 17500},
    {32, 5120, 216000, 25000, 25000},      {40, 8192, 245760, 25000, 31250},
    {41, 8192, 245760, 62500, 78125},      {42, 8704, 522240, 62500, 78125},
    {50, 22080, 589824, 168750, 168750},   {51, 36864, 983040, 300000, 300000},
    {52, 36864, 2073600, 300000, 300000},
};

H264Level ChooseLevel(QSize size, double fps)
{
    const int mbW = (size.width() + 15) / 16, mbH = (size.height() + 15) / 16;
    const int fs = mbW * mbH;
    for (const H264Level& l : kLevels) {
        const int maxDim = int(std::sqrt(8.0 * l.maxFs));
        if (fs <= l.maxFs && fs * fps <= l.maxMbps && mbW <= maxDim && mbH <= maxDim)
            return l;
    }
    return kLevels[std::size(kLevels) - 1];
}

struct TelemetryData {
    bool present = false;
    CTextData data;
    long dur = 0;
};

} // namespace

// ---- Public helpers ------------------------------------------------------------------

QString CClipExporter::LayoutName(Layout layout)
{
    switch (layout) {
    case Layout::Front:
        return QString::fromLatin1(EvidenceIds::kLayoutNames[0]);
    case Layout::Rear:
        return QString::fromLatin1(EvidenceIds::kLayoutNames[1]);
    case Layout::SideBySide:
        return QString::fromLatin1(EvidenceIds::kLayoutNames[2]);
    case Layout::Pip:
        return QString::fromLatin1(EvidenceIds::kLayoutNames[3]);
    case Layout::AsRecorded:
        break;
    }
    return QString();
}

bool CClipExporter::ParseLayout(const QString& name, Layout* layout)
{
    const Layout all[] = {Layout::Front, Layout::Rear, Layout::SideBySide, Layout::Pip};
    for (Layout l : all) {
        if (name.compare(LayoutName(l), Qt::CaseInsensitive) == 0) {
            *layout = l;
            return true;
        }
    }
    return false;
}

long CClipExporter::DurationSeconds(const QString& path)
{
    CInputFile in;
    if (!in.Open(path, nullptr))
        return 0;
    return long(in.DurationSeconds());
}

CClipExporter::Sources CClipExporter::FindSources(const QString& recording, QString* error)
{
    Sources s;
    const QFileInfo info(recording);
    if (!info.isFile()) {
        if (error)
            *error = QStringLiteral("%1: no such file").arg(recording);
        return s;
    }
    CInputFile in;
    QString why;
    if (!in.Open(info.absoluteFilePath(), &why)) {
        if (error)
            *error = why;
        return s;
    }
    if (in.StreamOf(AVMEDIA_TYPE_VIDEO, 0) < 0) {
        if (error)
            *error = QStringLiteral("%1 has no picture").arg(recording);
        return s;
    }
    const bool isAvi = info.suffix().compare(QLatin1String("avi"), Qt::CaseInsensitive) == 0;
    if (in.StreamOf(AVMEDIA_TYPE_VIDEO, 1) >= 0 || isAvi) {
        // One file: the first picture is the front, a second one the rear.
        s.frontPath = info.absoluteFilePath();
        s.frontVideo = 0;
        if (in.StreamOf(AVMEDIA_TYPE_VIDEO, 1) >= 0) {
            s.rearPath = s.frontPath;
            s.rearVideo = 1;
        }
        return s;
    }
    bool isFront = true;
    const QString partnerName = CRecordingAnalyzer::PartnerFileName(info.fileName(), &isFront);
    const QString partner = partnerName.isEmpty() ? QString() : info.dir().filePath(partnerName);
    const bool hasPartner = !partner.isEmpty() && QFileInfo(partner).isFile();
    s.frontPath = (isFront || !hasPartner) ? info.absoluteFilePath() : QFileInfo(partner).absoluteFilePath();
    s.frontVideo = 0;
    if (hasPartner) {
        s.rearPath = isFront ? QFileInfo(partner).absoluteFilePath() : info.absoluteFilePath();
        s.rearVideo = 0;
    }
    if (!isFront && !hasPartner) {
        // A rear file alone: its picture is the only one, taken as the front.
        s.frontPath = info.absoluteFilePath();
    }
    return s;
}

// ---- The run -------------------------------------------------------------------------

namespace {

struct RunContext {
    const CClipOptions& options;
    CClipExporter::Sources sources;
    CProgress progress;
    const std::atomic_bool* cancel;
    CClipResult result;
    double from = 0.0;
    double to = 0.0;
};

bool Fail(RunContext& rc, const QString& why)
{
    rc.result.ok = false;
    rc.result.error = why;
    return false;
}

bool CancelledRun(RunContext& rc)
{
    if (!Cancelled(rc.cancel))
        return false;
    rc.result.cancelled = true;
    rc.result.error = QStringLiteral("cancelled");
    return true;
}

bool RunCopy(RunContext& rc, COutput& out)
{
    const Layout layout = rc.options.layout;
    const auto& s = rc.sources;
    std::vector<std::unique_ptr<CopyInput>> inputs;
    QString error;
    auto addInput = [&](const QString& path, std::vector<int> nthVideos, bool withText) -> CopyInput* {
        for (auto& in : inputs) {
            if (in->file.Path() == path) {
                for (int n : nthVideos)
                    in->videos.push_back(in->file.StreamOf(AVMEDIA_TYPE_VIDEO, n));
                return in.get();
            }
        }
        auto in = std::make_unique<CopyInput>();
        if (!in->file.Open(path, &error))
            return nullptr;
        for (int n : nthVideos)
            in->videos.push_back(in->file.StreamOf(AVMEDIA_TYPE_VIDEO, n));
        if (withText) {
            const int t = in->file.StreamOf(AVMEDIA_TYPE_SUBTITLE);
            if (t >= 0 && in->file.Ctx()->streams[t]->codecpar->codec_id == AV_CODEC_ID_MOV_TEXT)
                in->text = t;
        }
        inputs.push_back(std::move(in));
        return inputs.back().get();
    };
    const bool front = layout != Layout::Rear;
    const bool rear = (layout == Layout::Rear || layout == Layout::AsRecorded) && s.HasRear();
    if (front && !addInput(s.frontPath, {s.frontVideo}, true))
        return Fail(rc, error);
    if (rear && !addInput(s.rearPath, {s.rearVideo}, layout == Layout::Rear))
        return Fail(rc, error);
    for (auto& in : inputs) {
        for (int v : in->videos)
            if (v < 0)
                return Fail(rc, QStringLiteral("%1 has no such picture").arg(in->file.Path()));
        in->started.assign(in->videos.size(), false);
        in->firstKey.assign(in->videos.size(), 0.0);
        AVFormatContext* ctx = in->file.Ctx();
        for (unsigned i = 0; i < ctx->nb_streams; ++i) {
            const bool kept = int(i) == in->text || std::find(in->videos.begin(), in->videos.end(), int(i)) != in->videos.end();
            ctx->streams[i]->discard = kept ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
        }
        in->file.SeekBefore(rc.from, in->videos.front());
    }

    // Read each input up to the first key frame of each of its pictures.
    double start = 1e300;
    for (auto& in : inputs) {
        const double readLimit = rc.from + 30.0; // a recording without key frames near the span
        for (;;) {
            const bool all = std::all_of(in->started.begin(), in->started.end(), [](bool b) { return b; });
            if (all)
                break;
            AVPacket* pkt = av_packet_alloc();
            if (av_read_frame(in->file.Ctx(), pkt) < 0) {
                av_packet_free(&pkt);
                in->eof = true;
                break;
            }
            const double t = PacketSeconds(in->file, pkt);
            const auto it = std::find(in->videos.begin(), in->videos.end(), pkt->stream_index);
            if (it != in->videos.end()) {
                const size_t k = size_t(it - in->videos.begin());
                if (!in->started[k]) {
                    if (!(pkt->flags & AV_PKT_FLAG_KEY)) {
                        av_packet_free(&pkt);
                        if (t > readLimit)
                            break;
                        continue;
                    }
                    in->started[k] = true;
                    in->firstKey[k] = t;
                }
            }
            in->queue.push_back(pkt);
        }
        for (size_t k = 0; k < in->videos.size(); ++k)
            if (in->started[k])
                start = std::min(start, in->firstKey[k]);
    }
    if (start > 1e299)
        return Fail(rc, QStringLiteral("no key frame found in the span"));
    if (start >= rc.to)
        return Fail(rc, QStringLiteral("the span holds no key frame to start from"));
    rc.result.streamCopy = true;
    rc.result.actualFromSec = start;
    rc.result.actualToSec = rc.to;

    // Output streams: the pictures in the order asked, then the sound, then the text.
    for (auto& in : inputs) {
        for (int v : in->videos) {
            AVStream* ist = in->file.Ctx()->streams[v];
            AVStream* ost = avformat_new_stream(out.Ctx(), nullptr);
            if (!ost)
                return Fail(rc, QStringLiteral("cannot add a picture stream"));
            avcodec_parameters_copy(ost->codecpar, ist->codecpar);
            ost->codecpar->codec_tag = 0;
            ost->time_base = ist->time_base;
            ost->avg_frame_rate = ist->avg_frame_rate;
            ost->r_frame_rate = ist->r_frame_rate;
            ost->sample_aspect_ratio = ist->sample_aspect_ratio;
            in->outVideos.push_back(ost);
        }
    }
    if (rc.result.size.isEmpty() && !inputs.empty() && !inputs[0]->outVideos.empty())
        rc.result.size = QSize(inputs[0]->outVideos[0]->codecpar->width, inputs[0]->outVideos[0]->codecpar->height);
    CClipAudio audio;
    const QString audioPath = layout == Layout::Rear ? s.rearPath : s.frontPath;
    QString audioError;
    bool withAudio = audio.Open(audioPath, start, rc.to, &audioError);
    if (withAudio && !audio.AddStream(out.Ctx(), &audioError))
        return Fail(rc, audioError);
    if (!withAudio && !audioError.isEmpty())
        rc.result.notices << QStringLiteral("sound left out: %1").arg(audioError);
    rc.result.audio = withAudio;
    for (auto& in : inputs) {
        if (in->text < 0)
            continue;
        AVStream* ist = in->file.Ctx()->streams[in->text];
        AVStream* ost = avformat_new_stream(out.Ctx(), nullptr);
        if (!ost)
            return Fail(rc, QStringLiteral("cannot add the text stream"));
        avcodec_parameters_copy(ost->codecpar, ist->codecpar);
        ost->codecpar->codec_tag = 0;
        ost->time_base = ist->time_base;
        ost->disposition = 0; // never shown unless the viewer asks for it
        in->outText = ost;
    }
    if (!out.WriteHeader(&error))
        return Fail(rc, error);

    // Merge the inputs by time, writing what lies in [start, to).
    auto next = [&](CopyInput& in) -> AVPacket* {
        if (!in.queue.empty())
            return in.queue.front();
        if (in.eof)
            return nullptr;
        AVPacket* pkt = av_packet_alloc();
        if (av_read_frame(in.file.Ctx(), pkt) < 0) {
            av_packet_free(&pkt);
            in.eof = true;
            return nullptr;
        }
        in.queue.push_back(pkt);
        return pkt;
    };
    const double span = std::max(1e-3, rc.to - start);
    for (;;) {
        if (CancelledRun(rc))
            return false;
        CopyInput* best = nullptr;
        double bestTime = 0.0;
        for (auto& in : inputs) {
            if (in->done)
                continue;
            AVPacket* p = next(*in);
            if (!p) {
                in->done = true;
                continue;
            }
            const double t = DtsSeconds(in->file, p);
            if (!best || t < bestTime) {
                best = in.get();
                bestTime = t;
            }
        }
        if (!best)
            break;
        AVPacket* pkt = best->queue.front();
        best->queue.pop_front();
        const double t = PacketSeconds(best->file, pkt);
        AVStream* ost = nullptr;
        const auto it = std::find(best->videos.begin(), best->videos.end(), pkt->stream_index);
        bool write = false;
        bool first = false;
        if (it != best->videos.end()) {
            const size_t k = size_t(it - best->videos.begin());
            ost = best->outVideos[k];
            write = best->started[k] && t >= best->firstKey[k] - 1e-9 && t < rc.to;
            first = k == 0 && best == inputs[0].get();
            if (t >= rc.to && DtsSeconds(best->file, pkt) >= rc.to) {
                // Past the span: this picture is finished; the input too when all its pictures are.
                best->started[k] = false;
                if (std::none_of(best->started.begin(), best->started.end(), [](bool b) { return b; }))
                    best->done = true;
            }
        } else if (pkt->stream_index == best->text) {
            ost = best->outText;
            write = t >= start - 1e-9 && t < rc.to;
        }
        if (write && ost) {
            if (withAudio && !audio.Pump(t, &error)) {
                av_packet_free(&pkt);
                return Fail(rc, error);
            }
            const AVRational itb = best->file.Ctx()->streams[pkt->stream_index]->time_base;
            const int64_t offset = best->file.Timestamp(start, pkt->stream_index);
            if (pkt->pts != AV_NOPTS_VALUE)
                pkt->pts -= offset;
            if (pkt->dts != AV_NOPTS_VALUE)
                pkt->dts -= offset;
            av_packet_rescale_ts(pkt, itb, ost->time_base);
            pkt->stream_index = ost->index;
            pkt->pos = -1;
            if (first)
                ++rc.result.videoFrames;
            if (!out.Write(pkt, &error)) {
                av_packet_free(&pkt);
                return Fail(rc, error);
            }
            rc.progress.Report((t - start) / span);
        }
        av_packet_free(&pkt);
    }
    for (auto& in : inputs)
        for (AVPacket* p : in->queue)
            av_packet_free(&p);
    if (withAudio && !audio.Finish(&error))
        return Fail(rc, error);
    return true;
}

bool RunEncode(RunContext& rc, COutput& out, Layout layout)
{
    const auto& s = rc.sources;
    QString error;
    const bool useFront = layout != Layout::Rear;
    const bool useRear = layout == Layout::Rear || layout == Layout::SideBySide || layout == Layout::Pip;
    CVideoSource front, rear;
    if (useFront && !front.Open(s.frontPath, s.frontVideo, &error))
        return Fail(rc, error);
    if (useRear && !rear.Open(s.rearPath, s.rearVideo, &error))
        return Fail(rc, error);
    CVideoSource& primary = useFront ? front : rear;
    CVideoSource* secondary = (useFront && useRear) ? &rear : nullptr;
    const CClipExporter::Composition comp = CClipExporter::ComposeLayout(layout, useFront ? front.Size() : QSize(), useRear ? rear.Size() : QSize());
    if (comp.out.width() < 2 || comp.out.height() < 2)
        return Fail(rc, QStringLiteral("the picture has no size"));

    // Telemetry for the overlay.
    TelemetryData tel;
    COverlayRenderer overlay;
    if (rc.options.overlay) {
        tel.present = true;
        if (rc.options.telemetry) {
            tel.data = *rc.options.telemetry;
        } else {
            std::lock_guard<std::recursive_mutex> lock(g_analysisLock);
            GetAnalyzer()->ExtractText(s.frontPath, tel.data);
        }
        tel.dur = CClipExporter::DurationSeconds(s.frontPath);
        const QString library = rc.options.imageLibrary.isEmpty() ? COverlayRenderer::DefaultImageLibraryPath()
                                                                  : rc.options.imageLibrary;
        rc.result.libraryPictures = overlay.LoadImageLibrary(library);
        if (!rc.result.libraryPictures)
            rc.result.notices << QStringLiteral("image library not found (%1): signals drawn as shapes").arg(library);
    }

    // The encoder.
    const AVCodec* x264 = avcodec_find_encoder_by_name("libx264");
    if (!x264)
        return Fail(rc, QStringLiteral("no H.264 encoder (libx264)"));
    const double frameSec = primary.FrameSeconds();
    const double fps = 1.0 / frameSec;
    CodecContextPtr enc(avcodec_alloc_context3(x264));
    enc->width = comp.out.width();
    enc->height = comp.out.height();
    enc->pix_fmt = AV_PIX_FMT_YUV420P;
    enc->time_base = primary.Stream()->time_base;
    AVRational rate = primary.Stream()->avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        rate = AVRational{int(std::lround(fps)), 1};
    enc->framerate = rate;
    enc->gop_size = std::max(1, int(std::lround(fps * EvidenceIds::kKeyFrameSeconds)));
    enc->sample_aspect_ratio = (layout == Layout::Front || layout == Layout::Rear || layout == Layout::AsRecorded)
        ? primary.Stream()->codecpar->sample_aspect_ratio
        : AVRational{1, 1};
    enc->thread_count = 0;
    const AVCodecContext* pdec = primary.Decoder();
    enc->color_range = AVCOL_RANGE_MPEG;
    enc->colorspace = pdec->colorspace;
    enc->color_primaries = pdec->color_primaries;
    enc->color_trc = pdec->color_trc;
    const H264Level level = ChooseLevel(comp.out, fps);
    enc->level = level.idc;
    enc->rc_max_rate = int64_t(level.maxBrKbps) * 1000;
    enc->rc_buffer_size = int(std::min<int64_t>(int64_t(level.maxCpbKbit) * 1000, INT32_MAX));
    if (out.Ctx()->oformat->flags & AVFMT_GLOBALHEADER)
        enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const QByteArray preset = rc.options.x264Preset.isEmpty() ? QByteArray(EvidenceIds::kX264Preset) : rc.options.x264Preset;
    const int crf = rc.options.crf >= 0 ? rc.options.crf : EvidenceIds::kX264Crf;
    av_opt_set(enc->priv_data, "preset", preset.constData(), 0);
    av_opt_set(enc->priv_data, "profile", "high", 0);
    av_opt_set_double(enc->priv_data, "crf", crf, 0);
    int r = avcodec_open2(enc.get(), x264, nullptr);
    if (r < 0)
        return Fail(rc, QStringLiteral("H.264 encoder: ") + AvError(r));
    AVStream* vst = avformat_new_stream(out.Ctx(), nullptr);
    if (!vst)
        return Fail(rc, QStringLiteral("cannot add the picture stream"));
    avcodec_parameters_from_context(vst->codecpar, enc.get());
    vst->time_base = enc->time_base;
    vst->avg_frame_rate = rate;
    rc.result.size = comp.out;

    // Seek the pictures to the span and find the first frame to keep.
    primary.Seek(rc.from);
    if (secondary)
        secondary->Seek(rc.from);
    FramePtr frame = MakeFrame();
    const double tolerance = frameSec / 2.0;
    double firstTime = -1.0;
    int64_t firstPts = 0;
    bool have = false;
    while (primary.Next(frame.get())) {
        const double t = primary.Seconds(frame.get());
        if (t >= rc.from - tolerance / 4) {
            firstTime = t;
            firstPts = frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
            if (firstPts == AV_NOPTS_VALUE)
                firstPts = 0;
            have = true;
            break;
        }
        av_frame_unref(frame.get());
        if (CancelledRun(rc))
            return false;
    }
    if (!have || firstTime >= rc.to)
        return Fail(rc, QStringLiteral("the span holds no picture"));
    rc.result.actualFromSec = firstTime;

    CClipAudio audio;
    QString audioError;
    const QString audioPath = layout == Layout::Rear ? s.rearPath : s.frontPath;
    const bool withAudio = audio.Open(audioPath, firstTime, rc.to, &audioError);
    if (withAudio && !audio.AddStream(out.Ctx(), &audioError))
        return Fail(rc, audioError);
    if (!withAudio && !audioError.isEmpty())
        rc.result.notices << QStringLiteral("sound left out: %1").arg(audioError);
    rc.result.audio = withAudio;
    if (!out.WriteHeader(&error))
        return Fail(rc, error);

    FramePtr picture = MakeFrame();
    picture->format = AV_PIX_FMT_YUV420P;
    picture->width = comp.out.width();
    picture->height = comp.out.height();
    if (av_frame_get_buffer(picture.get(), 0) < 0)
        return Fail(rc, QStringLiteral("out of memory"));
    const bool bt709 = comp.out.height() >= 720;
    uint8_t black[3];
    ToYuv(qRgb(0, 0, 0), bt709, &black[0], &black[1], &black[2]);
    FillRect(picture.get(), QRect(QPoint(0, 0), comp.out), black[0], black[1], black[2]);
    uint8_t frameColour[3];
    ToYuv(EvidenceIds::kPipFrameColor, bt709, &frameColour[0], &frameColour[1], &frameColour[2]);

    CScaler frontScaler, rearScaler;
    FramePtr held = MakeFrame(), ahead = MakeFrame();
    bool hasHeld = false, hasAhead = false, secondaryEnd = false;
    CYuvOverlay yuvOverlay;
    COverlayValues shown;
    bool overlayBuilt = false;
    long overlaySecond = -1;
    PacketPtr pkt = MakePacket();
    const double span = std::max(1e-3, rc.to - firstTime);
    auto drain = [&]() -> bool {
        for (;;) {
            const int e = avcodec_receive_packet(enc.get(), pkt.get());
            if (e == AVERROR(EAGAIN) || e == AVERROR_EOF)
                return true;
            if (e < 0)
                return Fail(rc, QStringLiteral("H.264 encoder: ") + AvError(e));
            av_packet_rescale_ts(pkt.get(), enc->time_base, vst->time_base);
            pkt->stream_index = vst->index;
            if (!out.Write(pkt.get(), &error))
                return Fail(rc, error);
            av_packet_unref(pkt.get());
        }
    };

    bool more = true;
    while (more) {
        if (CancelledRun(rc))
            return false;
        const double t = primary.Seconds(frame.get());
        if (t >= rc.to - 1e-9)
            break;
        if (av_frame_make_writable(picture.get()) < 0)
            return Fail(rc, QStringLiteral("out of memory"));
        // The secondary picture of this moment: the latest one not later than it.
        if (secondary) {
            while (!secondaryEnd) {
                if (!hasAhead) {
                    if (!secondary->Next(ahead.get())) {
                        secondaryEnd = true;
                        break;
                    }
                    hasAhead = true;
                }
                if (secondary->Seconds(ahead.get()) <= t + tolerance) {
                    av_frame_unref(held.get());
                    av_frame_move_ref(held.get(), ahead.get());
                    hasHeld = true;
                    hasAhead = false;
                    continue;
                }
                break;
            }
        }
        if (layout == Layout::Rear) {
            rearScaler.Draw(frame.get(), picture.get(), comp.rear);
        } else {
            frontScaler.Draw(frame.get(), picture.get(), comp.front);
            if (secondary) {
                const AVFrame* other = hasHeld ? held.get() : (hasAhead ? ahead.get() : nullptr);
                if (other) {
                    if (comp.frame) {
                        const int b = EvidenceIds::kPipFramePixels;
                        FillRect(picture.get(), comp.rear.adjusted(-b, -b, b, b), frameColour[0], frameColour[1],
                                 frameColour[2]);
                    }
                    rearScaler.Draw(other, picture.get(), comp.rear);
                } else {
                    FillRect(picture.get(), comp.rear, black[0], black[1], black[2]);
                }
            }
        }
        if (tel.present) {
            const long second = long(std::floor(t + 1e-6));
            if (second != overlaySecond) {
                overlaySecond = second;
                const COverlayValues values =
                    COverlayValues::From(CTelemetryMoment::At(tel.data, second, tel.dur), rc.options.mph);
                if (!overlayBuilt || !(values == shown)) {
                    shown = values;
                    yuvOverlay.Build(overlay.RenderBand(comp.out.width(), comp.out.height(), values), bt709);
                    overlayBuilt = true;
                }
            }
            yuvOverlay.Blend(picture->data[0], picture->linesize[0], picture->data[1], picture->linesize[1],
                             picture->data[2], picture->linesize[2], comp.out.height() - yuvOverlay.Height());
        }
        const int64_t srcPts = frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
        picture->pts = srcPts != AV_NOPTS_VALUE ? srcPts - firstPts : rc.result.videoFrames;
        picture->pict_type = AV_PICTURE_TYPE_NONE;
        if ((r = avcodec_send_frame(enc.get(), picture.get())) < 0)
            return Fail(rc, QStringLiteral("H.264 encoder: ") + AvError(r));
        ++rc.result.videoFrames;
        if (!drain())
            return false;
        if (withAudio && !audio.Pump(t, &error))
            return Fail(rc, error);
        rc.progress.Report((t - firstTime) / span);
        av_frame_unref(frame.get());
        more = primary.Next(frame.get());
    }
    avcodec_send_frame(enc.get(), nullptr);
    if (!drain())
        return false;
    if (withAudio && !audio.Finish(&error))
        return Fail(rc, error);
    rc.result.actualToSec = rc.to;
    return true;
}

} // namespace

CClipResult CClipExporter::Run(const CClipOptions& options, const ProgressFn& progress, const std::atomic_bool* cancel)
{
    RunContext rc{options, {}, CProgress(progress), cancel, {}, options.fromSec, options.toSec};
    QString error;
    rc.sources = FindSources(options.recording, &error);
    if (!rc.sources.Valid()) {
        rc.result.error = error;
        return rc.result;
    }
    Layout layout = options.layout;
    if (layout == Layout::AsRecorded && options.overlay)
        layout = rc.sources.HasRear() ? Layout::Pip : Layout::Front;
    if ((layout == Layout::Rear || layout == Layout::SideBySide || layout == Layout::Pip) && !rc.sources.HasRear()) {
        rc.result.error = QStringLiteral("the recording has no rear picture");
        return rc.result;
    }
    if (!(rc.from >= 0.0) || !(rc.to > rc.from)) {
        rc.result.error = QStringLiteral("the span must start before it ends");
        return rc.result;
    }
    // The span within the recording.
    {
        CInputFile probe;
        if (!probe.Open(rc.sources.frontPath, &error)) {
            rc.result.error = error;
            return rc.result;
        }
        const double duration = probe.DurationSeconds();
        if (duration > 0 && rc.from >= duration) {
            rc.result.error = QStringLiteral("the span starts at %1, after the recording's end (%2)")
                                  .arg(ClipSpan::FormatTime(rc.from), ClipSpan::FormatTime(duration));
            return rc.result;
        }
        if (duration > 0 && rc.to > duration) {
            rc.result.notices << QStringLiteral("the span ends at the recording's end, %1").arg(ClipSpan::FormatTime(duration));
            rc.to = duration;
        }
    }
    const QString finalPath = !options.outputPath.isEmpty()
        ? options.outputPath
        : QDir(options.outputDir.isEmpty() ? QStringLiteral(".") : options.outputDir)
              .filePath(ClipSpan::OutputName(options.recording, rc.from, rc.to));
    COutput out;
    if (!out.Create(finalPath, &error)) {
        rc.result.error = error;
        return rc.result;
    }
    TraceLogF("Kestrav : clip %s %.3f-%.3f layout %d overlay %d -> %s", qUtf8Printable(options.recording), rc.from,
              rc.to, int(layout), int(options.overlay), qUtf8Printable(finalPath));
    const bool copy = !options.overlay && (layout == Layout::AsRecorded || layout == Layout::Front || layout == Layout::Rear);
    const bool ok = copy ? RunCopy(rc, out) : RunEncode(rc, out, layout);
    if (!ok) {
        out.Abort();
        if (rc.result.error.isEmpty())
            rc.result.error = QStringLiteral("the clip could not be written");
        TraceLogF("Kestrav : clip failed: %s", qUtf8Printable(rc.result.error));
        return rc.result;
    }
    if (CancelledRun(rc)) {
        out.Abort();
        return rc.result;
    }
    if (!out.Commit(&error)) {
        rc.result.error = error;
        return rc.result;
    }
    if (copy && rc.result.actualFromSec < rc.from - 1e-6)
        rc.result.notices.prepend(QStringLiteral("copied from the key frame at %1 (asked: %2)")
                                      .arg(ClipSpan::FormatTime(rc.result.actualFromSec), ClipSpan::FormatTime(rc.from)));
    rc.result.ok = true;
    rc.result.outputPath = finalPath;
    rc.progress.Done();
    return rc.result;
}
