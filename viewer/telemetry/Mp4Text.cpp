#include "telemetry/Mp4Text.h"

#include "telemetry/FfmpegLog.h"
#include "base/TraceLog.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
}

#include <QElapsedTimer>

#include <cstring>

namespace Telemetry {
namespace {

// Small I/O buffer for the header (the movie box); the text samples, which
// lie scattered between the video and audio data, are then read one by one
// without it (direct mode: each sample one read of its own bytes).
constexpr int kIoBufferSize = 4096;
constexpr int64_t kPageSize = 4096;
// Reading more than this many times the file's size (plus a fixed allowance
// for the header) means the demultiplexer is going round in circles.
constexpr int64_t kBudgetFactor = 4;
constexpr int64_t kBudgetAllowance = 16 * 1024 * 1024;

// An FFmpeg input over an IByteReader, closed on destruction.
class CMp4Input
{
public:
    CMp4Input(IByteReader& file, const CMp4ReadLimits& limits) : m_file(file), m_deadline(limits.maxMilliseconds)
    {
        m_budget = limits.maxBytes >= 0 ? limits.maxBytes
                                        : kBudgetAllowance + kBudgetFactor * std::max<int64_t>(0, file.Size());
        // A few small jumps through a large file: read-ahead around each
        // text sample would fetch megabytes nobody reads. What is needed is
        // announced (the movie box, the samples' pages) and fetched as such.
        m_file.WillReadRandomly();
        m_clock.start();
    }
    ~CMp4Input()
    {
        if (m_format)
            avformat_close_input(&m_format); // frees the context, not our pb
        if (m_io) {
            av_freep(&m_io->buffer);
            avio_context_free(&m_io);
        }
    }
    CMp4Input(const CMp4Input&) = delete;
    CMp4Input& operator=(const CMp4Input&) = delete;

    // Opens the input without a forced format and without options; reads
    // what the demultiplexer needs for its header. False when FFmpeg fails.
    bool Open(const QString& name)
    {
        RouteFfmpegLogToTrace();
        AnnounceMovieBox();
        auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferSize));
        if (!buffer)
            return false;
        m_io = avio_alloc_context(buffer, kIoBufferSize, 0, this, &CMp4Input::Read, nullptr, &CMp4Input::Seek);
        if (!m_io) {
            av_free(buffer);
            return false;
        }
        m_format = avformat_alloc_context();
        if (!m_format)
            return false;
        m_format->pb = m_io;
        m_format->flags |= AVFMT_FLAG_CUSTOM_IO;
        m_format->interrupt_callback.callback = &CMp4Input::Interrupted;
        m_format->interrupt_callback.opaque = this;
        const QByteArray url = name.toUtf8();
        // On failure avformat_open_input frees the context and nulls it.
        return avformat_open_input(&m_format, url.constData(), nullptr, nullptr) >= 0;
    }

    // The test of IsMp4Recording on the opened input.
    bool IsCameraMp4() const
    {
        if (!m_format || !m_format->iformat || !m_format->iformat->name
            || std::strncmp(m_format->iformat->name, "mov", 3) != 0)
            return false;
        for (unsigned i = 0; i < m_format->nb_streams; ++i) {
            const AVCodecParameters* par = m_format->streams[i]->codecpar;
            if (!par)
                return false;
            if (par->codec_type == AVMEDIA_TYPE_VIDEO && par->codec_id != AV_CODEC_ID_H264)
                return false;
        }
        return true;
    }

    // True once a read was refused for the byte budget or the deadline: what
    // was read up to then is not the whole file.
    bool LimitReached() const { return m_limitReached; }

    // Appends the packets of the first subtitle stream; returns their number.
    // A read cut short by the limits appends nothing and returns 0.
    int ReadTextPackets(QList<QByteArray>& packets)
    {
        if (!m_format)
            return 0;
        int text = -1;
        for (unsigned i = 0; i < m_format->nb_streams; ++i) {
            if (m_format->streams[i]->codecpar && m_format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE) {
                text = static_cast<int>(i);
                break;
            }
        }
        if (text < 0)
            return 0;
        // The demultiplexer then skips the other streams' data entirely.
        for (unsigned i = 0; i < m_format->nb_streams; ++i)
            m_format->streams[i]->discard = static_cast<int>(i) == text ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
        AnnounceSamples(m_format->streams[text]);
        // From here on every jump is a real seek and every sample one read
        // of its own bytes: otherwise a short jump ahead (text samples a few
        // pictures apart) is made by reading all the pages in between.
        m_io->direct = 1;

        AVPacket* packet = av_packet_alloc();
        if (!packet)
            return 0;
        QList<QByteArray> read;
        while (av_read_frame(m_format, packet) >= 0) {
            // A few packets of other streams may still come back.
            if (packet->stream_index == text)
                read.append(QByteArray(reinterpret_cast<const char*>(packet->data), packet->size));
            av_packet_unref(packet);
        }
        av_packet_free(&packet);
        if (m_limitReached)
            return 0;
        packets.append(read);
        return static_cast<int>(read.size());
    }

private:
    // The demultiplexer's first job is the movie box (moov), usually behind
    // the media data at the end of the file. Walks the top-level boxes to
    // find it and asks for it as a whole, so that it arrives in one fetch
    // rather than buffer by buffer. Any other layout ends the walk at once.
    void AnnounceMovieBox()
    {
        const int64_t size = m_file.Size();
        int64_t at = 0;
        for (int boxes = 0; boxes < 32 && at + 8 <= size; ++boxes) {
            char header[16];
            if (m_file.ReadAt(at, header, 16) < 8)
                return;
            int64_t boxSize = int64_t(ReadBe32(header));
            if (boxSize == 1 && at + 16 <= size)
                boxSize = int64_t(ReadBe64(header + 8));
            else if (boxSize == 0)
                boxSize = size - at;
            if (boxSize < 8)
                return;
            if (std::memcmp(header + 4, "moov", 4) == 0) {
                m_file.WillRead(at, std::min(boxSize, size - at));
                return;
            }
            if (boxSize > size - at)
                return;
            at += boxSize;
        }
    }

    // The header gave the text samples' places: ask for all of them at once,
    // so that the file fetches them in parallel rather than one seek at a
    // time. Each sample is then one read of its own bytes, which costs the
    // storage the pages it lies in.
    void AnnounceSamples(AVStream* stream)
    {
        const int count = avformat_index_get_entries_count(stream);
        int64_t from = -1;
        int64_t to = -1;
        for (int i = 0; i < count; ++i) {
            const AVIndexEntry* entry = avformat_index_get_entry(stream, i);
            if (!entry || entry->pos < 0)
                continue;
            // What the reads below cost: the sample up to the end of its last page.
            const int64_t last = entry->pos + std::max(entry->size, 1) - 1;
            const int64_t end = (last / kPageSize + 1) * kPageSize;
            if (from >= 0 && entry->pos >= from && entry->pos <= to) {
                to = std::max(to, end); // overlaps the range so far
                continue;
            }
            if (from >= 0)
                m_file.WillRead(from, to - from);
            from = entry->pos;
            to = end;
        }
        if (from >= 0)
            m_file.WillRead(from, to - from);
    }

    // What the reads cost so far, against the byte budget: the bytes read,
    // and a whole page for every read of a sample that takes less (what it
    // costs the storage), so a damaged index that sends the reader to
    // thousands of tiny samples meets the budget as one asking for pages.
    int64_t Charged() const { return m_file.BytesRead() - m_startBytes + m_pageCharge; }
    bool OverLimits() const { return m_clock.elapsed() > m_deadline || Charged() > m_budget; }

    static int Read(void* opaque, uint8_t* buf, int size)
    {
        auto* self = static_cast<CMp4Input*>(opaque);
        if (self->OverLimits()) {
            if (!self->m_limitReached)
                TraceLogF("ExtractText: MP4 read limit reached after %lld bytes",
                          static_cast<long long>(self->m_file.BytesRead() - self->m_startBytes));
            self->m_limitReached = true;
            return AVERROR_EXIT;
        }
        // While the header is parsed through the buffer: never across a page
        // boundary, so a buffer refill costs one page, not two (FFmpeg takes
        // short reads and asks again). Samples are read as asked.
        const bool samples = self->m_io && self->m_io->direct;
        const int64_t toPageEnd = kPageSize - self->m_position % kPageSize;
        const int64_t n = self->m_file.ReadAt(self->m_position, reinterpret_cast<char*>(buf),
                                              samples ? int64_t(size) : std::min<int64_t>(size, toPageEnd));
        if (n < 0)
            return AVERROR(EIO);
        if (n == 0)
            return AVERROR_EOF;
        if (samples && n < kPageSize)
            self->m_pageCharge += kPageSize - n;
        self->m_position += n;
        return static_cast<int>(n);
    }

    static int64_t Seek(void* opaque, int64_t offset, int whence)
    {
        auto* self = static_cast<CMp4Input*>(opaque);
        const int64_t size = self->m_file.Size();
        switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE:
            return size;
        case SEEK_SET:
            break;
        case SEEK_CUR:
            offset += self->m_position;
            break;
        case SEEK_END:
            offset += size;
            break;
        default:
            return AVERROR(EINVAL);
        }
        if (offset < 0)
            return AVERROR(EINVAL);
        self->m_position = offset;
        return offset;
    }

    static int Interrupted(void* opaque)
    {
        auto* self = static_cast<CMp4Input*>(opaque);
        if (!self->OverLimits())
            return 0;
        self->m_limitReached = true;
        return 1;
    }

    IByteReader& m_file;
    const int64_t m_startBytes = m_file.BytesRead();
    int64_t m_pageCharge = 0;
    int64_t m_position = 0;
    int64_t m_budget = 0;
    const qint64 m_deadline;
    bool m_limitReached = false;
    QElapsedTimer m_clock;
    AVIOContext* m_io = nullptr;
    AVFormatContext* m_format = nullptr;
};

bool IsAviName(const QString& path)
{
    return path.right(4).compare(QLatin1String(".avi"), Qt::CaseInsensitive) == 0;
}

} // namespace

bool IsMp4Recording(IByteReader& file, const QString& path, const CMp4ReadLimits& limits)
{
    if (IsAviName(path))
        return false;
    CMp4Input input(file, limits);
    return input.Open(path) && input.IsCameraMp4();
}

bool IsMp4Recording(const QString& path)
{
    if (IsAviName(path))
        return false;
    CFileByteReader file(path);
    return file.IsOpen() && IsMp4Recording(file, path);
}

int ReadTextPackets(IByteReader& file, QList<QByteArray>& packets, const CMp4ReadLimits& limits)
{
    CMp4Input input(file, limits);
    if (!input.Open(QString()))
        return 0;
    return input.ReadTextPackets(packets);
}

int ReadTextPackets(const QString& path, QList<QByteArray>& packets)
{
    CFileByteReader file(path);
    if (!file.IsOpen())
        return 0;
    CMp4Input input(file, {});
    if (!input.Open(path))
        return 0;
    return input.ReadTextPackets(packets);
}

void DecodeTextPackets(const QList<QByteArray>& packets, CTextData& textData)
{
    for (qsizetype n = 0; n < packets.size(); ++n) {
        const QByteArray& packet = packets[n];
        const qsizetype size = packet.size();
        if (size < kMinMp4TextPacket || size > kMaxMp4TextPacket) {
            TraceLogF("ExtractText: [%d] invalid chunk size = %d", static_cast<int>(n), static_cast<int>(size));
            continue;
        }
        // From byte 2 up to the first zero byte or the packet's end.
        textData.AddTextRecord(packet.constData() + 2, size - 2);
    }
}

EMp4Extract ExtractMp4Text(IByteReader& file, const QString& path, CTextData& textData, const CMp4ReadLimits& limits)
{
    if (IsAviName(path))
        return EMp4Extract::NotMp4;
    CMp4Input input(file, limits);
    const bool opened = input.Open(path);
    if (input.LimitReached()) {
        // Whether it is MP4 at all is unknown: no AVI walk either.
        TraceLogF("ExtractText: MP4 read incomplete, telemetry left empty [%s]", path.toLocal8Bit().constData());
        return EMp4Extract::Incomplete;
    }
    if (!opened || !input.IsCameraMp4())
        return EMp4Extract::NotMp4;
    QList<QByteArray> packets;
    input.ReadTextPackets(packets);
    if (input.LimitReached()) {
        TraceLogF("ExtractText: MP4 read incomplete, telemetry left empty [%s]", path.toLocal8Bit().constData());
        return EMp4Extract::Incomplete;
    }
    DecodeTextPackets(packets, textData);
    return EMp4Extract::Complete;
}

EMp4Extract ExtractMp4Text(const QString& path, CTextData& textData)
{
    if (IsAviName(path))
        return EMp4Extract::NotMp4;
    CFileByteReader file(path);
    return file.IsOpen() ? ExtractMp4Text(file, path, textData) : EMp4Extract::NotMp4;
}

} // namespace Telemetry
