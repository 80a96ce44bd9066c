#include "writers/AviWriter.h"

#include <QFile>
#include <QSaveFile>

void AppendLe16(QByteArray& out, uint16_t v)
{
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

void AppendLe32(QByteArray& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

void PutLe32(QByteArray& out, qsizetype at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = char((v >> (8 * i)) & 0xFF);
}

namespace {
QByteArray FourCC(const QByteArray& code)
{
    QByteArray c = code.left(4);
    while (c.size() < 4)
        c.append('\0');
    return c;
}

void AppendChunk(QByteArray& out, const QByteArray& id, const QByteArray& body)
{
    out.append(FourCC(id));
    AppendLe32(out, uint32_t(body.size()));
    out.append(body);
    if (body.size() % 2)
        out.append('\0');
}

QByteArray List(const QByteArray& type, const QByteArray& content)
{
    QByteArray out("LIST");
    AppendLe32(out, uint32_t(content.size() + 4));
    out.append(FourCC(type));
    out.append(content);
    return out;
}
} // namespace

int CAviWriter::AddStream(const Stream& stream)
{
    m_streams.append(stream);
    return int(m_streams.size() - 1);
}

void CAviWriter::AddChunk(const Chunk& chunk)
{
    m_chunks.append(chunk);
}

void CAviWriter::AddChunk(const QByteArray& id, const QByteArray& payload)
{
    Chunk c;
    c.id = id;
    c.payload = payload;
    m_chunks.append(c);
}

CAviWriter::Stream CAviWriter::VideoStream(const QByteArray& handler, int width, int height, int fps, int frames)
{
    Stream s;
    s.type = "vids";
    s.handler = handler;
    s.scale = 1;
    s.rate = uint32_t(fps);
    s.length = uint32_t(frames);
    s.width = int16_t(width);
    s.height = int16_t(height);
    s.suggestedBufferSize = uint32_t(width * height);
    // BITMAPINFOHEADER
    QByteArray f;
    AppendLe32(f, 40);
    AppendLe32(f, uint32_t(width));
    AppendLe32(f, uint32_t(height));
    AppendLe16(f, 1);
    AppendLe16(f, 24);
    f.append(FourCC(handler));
    AppendLe32(f, uint32_t(width * height * 3));
    AppendLe32(f, 0);
    AppendLe32(f, 0);
    AppendLe32(f, 0);
    AppendLe32(f, 0);
    s.format = f;
    return s;
}

CAviWriter::Stream CAviWriter::AudioStreamPcm(int sampleRate, int channels)
{
    Stream s;
    s.type = "auds";
    s.handler = QByteArray(4, '\0');
    s.scale = 1;
    s.rate = uint32_t(sampleRate);
    s.sampleSize = uint32_t(2 * channels);
    // WAVEFORMATEX, 16-bit PCM
    QByteArray f;
    AppendLe16(f, 1);
    AppendLe16(f, uint16_t(channels));
    AppendLe32(f, uint32_t(sampleRate));
    AppendLe32(f, uint32_t(sampleRate * channels * 2));
    AppendLe16(f, uint16_t(channels * 2));
    AppendLe16(f, 16);
    AppendLe16(f, 0);
    s.format = f;
    return s;
}

CAviWriter::Stream CAviWriter::TextStream()
{
    Stream s;
    s.type = "txts";
    s.handler = QByteArray(4, '\0');
    s.scale = 1;
    s.rate = 1;
    s.format = QByteArray(4, '\0');
    return s;
}

QByteArray CAviWriter::ChunkId(int stream, const char* suffix)
{
    QByteArray id = QByteArray::number(stream).rightJustified(2, '0');
    id.append(suffix);
    return id;
}

QByteArray CAviWriter::TextPayload(const QByteArray& record, int padTo)
{
    QByteArray p = record;
    if (padTo > p.size())
        p.append(QByteArray(padTo - p.size(), '\0'));
    return p;
}

QByteArray CAviWriter::SplitPayload(const QByteArray& rmc, const QByteArray& gsensor)
{
    QByteArray p(112, '\0');
    p.replace(0, qMin<qsizetype>(rmc.size(), 90), rmc.left(90));
    p.replace(92, qMin<qsizetype>(gsensor.size(), 20), gsensor.left(20));
    return p;
}

QByteArray CAviWriter::Build() const
{
    // Header list.
    QByteArray avih;
    AppendLe32(avih, microSecPerFrame);
    AppendLe32(avih, 0);          // max bytes per second
    AppendLe32(avih, 0);          // padding granularity
    AppendLe32(avih, 0x10);       // flags: has index
    AppendLe32(avih, totalFrames);
    AppendLe32(avih, 0);          // initial frames
    AppendLe32(avih, uint32_t(m_streams.size()));
    AppendLe32(avih, 0);          // suggested buffer size
    AppendLe32(avih, width);
    AppendLe32(avih, height);
    avih.append(QByteArray(16, '\0'));

    QByteArray hdrl;
    AppendChunk(hdrl, "avih", avih);
    for (const Stream& s : m_streams) {
        QByteArray strh;
        strh.append(FourCC(s.type));
        strh.append(FourCC(s.handler));
        AppendLe32(strh, 0); // flags
        AppendLe16(strh, 0); // priority
        AppendLe16(strh, 0); // language
        AppendLe32(strh, 0); // initial frames
        AppendLe32(strh, s.scale);
        AppendLe32(strh, s.rate);
        AppendLe32(strh, 0); // start
        AppendLe32(strh, s.length);
        AppendLe32(strh, s.suggestedBufferSize);
        AppendLe32(strh, 0xFFFFFFFFu); // quality
        AppendLe32(strh, s.sampleSize);
        AppendLe16(strh, 0);
        AppendLe16(strh, 0);
        AppendLe16(strh, uint16_t(s.width));
        AppendLe16(strh, uint16_t(s.height));
        QByteArray strl;
        AppendChunk(strl, "strh", strh);
        AppendChunk(strl, "strf", s.format);
        hdrl.append(List("strl", strl));
    }

    // Media list: offsets are relative to the 'movi' type field.
    QByteArray movi;
    QList<QByteArray> entries;
    for (const Chunk& c : m_chunks) {
        const uint32_t offset = uint32_t(movi.size() + 4);
        QByteArray idx1;
        movi.append(FourCC(c.id));
        AppendLe32(movi, c.declaredSize >= 0 ? uint32_t(c.declaredSize) : uint32_t(c.payload.size()));
        movi.append(c.payload);
        if (c.payload.size() % 2)
            movi.append('\0');
        if (c.inIndex) {
            idx1.append(FourCC(c.id));
            AppendLe32(idx1, c.keyFrame ? 0x10 : 0);
            AppendLe32(idx1, c.indexOffsetOverride >= 0 ? uint32_t(c.indexOffsetOverride) : offset);
            AppendLe32(idx1, uint32_t(c.payload.size()));
        }
        entries.append(idx1);
    }
    QByteArray idx1;
    if (indexOrder.isEmpty()) {
        for (const QByteArray& e : entries)
            idx1.append(e);
    } else {
        for (int n : indexOrder)
            idx1.append(entries.value(n));
    }

    QByteArray body("AVI ");
    body.append(List("hdrl", hdrl));
    if (junkBetweenLists)
        AppendChunk(body, "JUNK", QByteArray(16, '\0'));
    body.append(List("movi", movi));
    if (writeIndex)
        AppendChunk(body, "idx1", idx1);

    QByteArray file("RIFF");
    AppendLe32(file, uint32_t(body.size()));
    file.append(body);
    return file;
}

bool CAviWriter::WriteTo(const QString& path) const
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = Build();
    if (f.write(bytes) != bytes.size())
        return false;
    return f.commit();
}
