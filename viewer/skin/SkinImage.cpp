#include "skin/SkinImage.h"

#include "skin/PeResource.h"
#include "platform/Platform.h"
#include "skin/SkinBlit.h"
#include "skin/SkinConstants.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace {
CSkinImage* g_instance = nullptr;

// One decoded picture, alive for one operation. `raw` keeps the colours as
// stored (also under fully transparent pixels, which the marker scans read);
// `image` is the premultiplied copy that is drawn.
class CSkinPicture
{
public:
    bool Load(const QString& path)
    {
        Release();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray bytes = file.readAll();
        return Decode(bytes);
    }
    bool Decode(const QByteArray& bytes)
    {
        Release();
        if (bytes.isEmpty())
            return false;
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "png");
        reader.setAutoTransform(false);
        QImage decoded;
        if (!reader.read(&decoded) || decoded.isNull())
            return false;
        raw = decoded.convertToFormat(QImage::Format_ARGB32);
        image = raw.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (raw.isNull() || image.isNull()) {
            Release();
            return false;
        }
        return true;
    }
    void Release()
    {
        raw = QImage();
        image = QImage();
    }
    int Width() const { return raw.width(); }
    int Height() const { return raw.height(); }
    // True when red, green and blue are all 0 (alpha is not looked at).
    bool IsBlack(int x, int y) const { return (raw.pixel(x, y) & 0x00FFFFFFu) == 0; }
    bool IsWhite(int x, int y) const { return (raw.pixel(x, y) & 0x00FFFFFFu) == 0x00FFFFFFu; }

    QImage raw;
    QImage image;
};
} // namespace

CSkinImage* CSkinImage::GetInstance()
{
    if (!g_instance)
        g_instance = new CSkinImage();
    return g_instance;
}

void CSkinImage::DestroyInstance()
{
    delete g_instance;
    g_instance = nullptr;
}

void CSkinImage::ReportFailure(const char* format, const QString& name)
{
    CPlatform::Instance().MessageBox(nullptr, QString::fromLatin1(format).arg(name.toUpper()),
                                     QString::fromLatin1(SkinConst::kAppTitle), CPlatform::MB_OK);
}

void CSkinImage::DrawImage(CSkinSurface& target, const QString& name)
{
    if (!target.IsCreated())
        return;
    CSkinPicture picture;
    if (!picture.Load(m_root + name.toUpper())) {
        ReportFailure(SkinConst::kFailNormalImage, name);
        return;
    }
    SkinBlit::AlphaBlend(target.GetImage(), 0, 0, picture.Width(), picture.Height(), picture.image, 0, 0);
}

void CSkinImage::LoadImage(CSkinSurface& out, const QString& name)
{
    CSkinPicture picture;
    if (!picture.Load(m_root + name.toUpper()))
        return;
    out.Create(picture.Width(), picture.Height()); // kept as it is when it exists
    SkinBlit::AlphaBlend(out.GetImage(), 0, 0, picture.Width(), picture.Height(), picture.image, 0, 0);
}

void CSkinImage::GetImageSize(const QString& name, SkinRect* out)
{
    if (!out)
        return;
    CSkinPicture picture;
    if (!picture.Load(m_root + name.toUpper())) {
        *out = SkinRect{};
        return;
    }
    *out = SkinRect{0, 0, picture.Width(), picture.Height()};
}

void CSkinImage::DrawNinePatch(CSkinSurface& target, const QString& name, SkinRect* content)
{
    if (!target.IsCreated())
        return;
    m_xMarkers.clear();
    m_yMarkers.clear();
    m_xStretch.clear();
    m_yStretch.clear();
    CSkinPicture picture;
    if (!picture.Load(m_root + name.toUpper())) {
        ReportFailure(SkinConst::kFailNinePatchImage, name);
        return;
    }
    const int w = picture.Width();
    const int h = picture.Height();
    // Stretch markers, as positions in the picture without its first row and column.
    for (int x = 0; x < w; ++x)
        if (picture.IsBlack(x, 0))
            m_xMarkers.push_back(x - 1);
    for (int y = 0; y < h; ++y)
        if (picture.IsBlack(0, y))
            m_yMarkers.push_back(y - 1);

    // A: everything but the top row and the left column. A picture of one
    // row or column has nothing to stretch and draws nothing.
    CSkinSurface a, b, c;
    if (!a.Create(w - 1, h - 1))
        return;
    SkinBlit::Copy(a.GetImage(), 0, 0, w - 1, h - 1, picture.image, 1, 1);
    const int tw = target.GetWidth();
    const int th = target.GetHeight();
    // B and C keep one extra column and row for the right and bottom marker lines.
    if (!b.Create(tw + 1, h - 1) || !c.Create(tw + 1, th + 1))
        return;
    HorizontalPass(a.GetImage(), b.GetImage());
    VerticalPass(b.GetImage(), c.GetImage());
    if (content)
        *content = ContentRect(picture.raw);
    SkinBlit::Copy(target.GetImage(), 0, 0, tw, th, c.GetImage(), 0, 0);
}

void CSkinImage::HorizontalPass(const QImage& src, QImage& dst)
{
    const int l = src.width();
    const int d = dst.width();
    const int h = src.height();
    const int h2 = dst.height();
    switch (m_xMarkers.size()) {
    case 0:
        SkinBlit::Copy(dst, 0, 0, d, h2, src, 0, 0);
        break;
    case 1: {
        const int m = m_xMarkers[0];
        const int s = d - l + 1;
        SkinBlit::Copy(dst, 0, 0, m, h, src, 0, 0);
        SkinBlit::Stretch(dst, m, 0, s, h2, src, m, 0, 1, h);
        m_xStretch.push_back(s);
        SkinBlit::Copy(dst, m + s, 0, l - m, h, src, m + 1, 0);
        break;
    }
    case 2: {
        const int m0 = m_xMarkers[0];
        const int m1 = m_xMarkers[1];
        const int s = (d - l + 2) / 2;
        SkinBlit::Copy(dst, 0, 0, m0, h, src, 0, 0);
        SkinBlit::Stretch(dst, m0, 0, s, h2, src, m0, 0, 1, h);
        m_xStretch.push_back(s);
        SkinBlit::Copy(dst, m0 + s, 0, m1 - m0 - 1, h, src, m0 + 1, 0);
        SkinBlit::Stretch(dst, m1 + s - 1, 0, s, h2, src, m1, 0, 1, h);
        m_xStretch.push_back(s);
        // The right part starts with the second marker column once more.
        SkinBlit::Copy(dst, m1 + 2 * s - 1, 0, l - m1, h, src, m1, 0);
        break;
    }
    default:
        break; // at most two stretch markers per axis: nothing is drawn
    }
}

void CSkinImage::VerticalPass(const QImage& src, QImage& dst)
{
    const int l = src.height();
    const int d = dst.height();
    const int w = src.width();
    const int w2 = dst.width();
    if (m_yMarkers.empty() || l == d) {
        SkinBlit::Copy(dst, 0, 0, w2, d, src, 0, 0);
        return;
    }
    switch (m_yMarkers.size()) {
    case 1: {
        const int r = m_yMarkers[0];
        const int t = d - l + 1;
        SkinBlit::Copy(dst, 0, 0, w, r, src, 0, 0);
        SkinBlit::Stretch(dst, 0, r, w2, t, src, 0, r, w, 1);
        m_yStretch.push_back(t);
        SkinBlit::Copy(dst, 0, r + t, w, l - r, src, 0, r + 1);
        break;
    }
    case 2: {
        const int r0 = m_yMarkers[0];
        const int r1 = m_yMarkers[1];
        const int t = (d - l + 2) / 2;
        SkinBlit::Copy(dst, 0, 0, w, r0, src, 0, 0);
        SkinBlit::Stretch(dst, 0, r0, w2, t, src, 0, r0, w, 1);
        m_yStretch.push_back(t);
        SkinBlit::Copy(dst, 0, r0 + t, w, r1 - r0 - 1, src, 0, r0 + 1);
        SkinBlit::Stretch(dst, 0, r1 + t - 1, w2, t, src, 0, r1, w, 1);
        m_yStretch.push_back(t);
        SkinBlit::Copy(dst, 0, r1 + 2 * t - 1, w, l - r1, src, 0, r1 + 1);
        break;
    }
    default:
        break;
    }
}

SkinRect CSkinImage::ContentRect(const QImage& raw) const
{
    const int w = raw.width();
    const int h = raw.height();
    auto rgb = [&](int x, int y) { return raw.pixel(x, y) & 0x00FFFFFFu; };
    int top = -1, bottomEnd = -1, left = -1, rightEnd = -1;
    for (int y = 0; y < h; ++y) {
        const QRgb c = rgb(w - 1, y);
        if (c == 0) {
            if (top < 0)
                top = y;
        } else if (top > 0 && c == 0x00FFFFFFu) {
            bottomEnd = y - 1;
            break;
        }
    }
    for (int x = 0; x < w; ++x) {
        const QRgb c = rgb(x, h - 1);
        if (c == 0) {
            if (left < 0)
                left = x;
        } else if (left > 0 && c == 0x00FFFFFFu) {
            rightEnd = x - 1;
            break;
        }
    }
    int height = bottomEnd - top + 1;
    int width = rightEnd - left + 1;
    if (m_yMarkers.size() == m_yStretch.size())
        for (size_t i = 0; i < m_yMarkers.size(); ++i)
            if (top <= m_yMarkers[i] + 1 && m_yMarkers[i] + 1 <= bottomEnd)
                height += m_yStretch[i];
    if (m_xMarkers.size() == m_xStretch.size())
        for (size_t i = 0; i < m_xMarkers.size(); ++i)
            if (left <= m_xMarkers[i] + 1 && m_xMarkers[i] + 1 <= rightEnd)
                width += m_xStretch[i];
    return SkinRect{left, top, left + width, top + height};
}

void CSkinImage::LoadVerticalThreeSlice(const QString& name, CSkinSurface& top, CSkinSurface& middle,
                                        CSkinSurface& bottom)
{
    CSkinPicture picture;
    if (!picture.Load(m_root + name.toUpper()))
        return;
    const int w = picture.Width();
    const int h = picture.Height();
    int mark = 0;
    for (int y = 0; y < h; ++y) {
        if (picture.IsBlack(0, y)) {
            mark = y - 1;
            break;
        }
    }
    CSkinSurface q;
    if (!q.Create(w - 2, h - 2))
        return; // no content inside the border
    SkinBlit::Copy(q.GetImage(), 0, 0, w - 2, h - 2, picture.image, 1, 1);
    if (mark != 0) {
        top.Create(w, mark);
        SkinBlit::Copy(top.GetImage(), 0, 0, w, mark, q.GetImage(), 0, 0);
    }
    middle.Create(w, 1);
    SkinBlit::Copy(middle.GetImage(), 0, 0, w, 1, q.GetImage(), 0, mark);
    if (mark != (h - 2) - 1) {
        bottom.Create(w, h - mark - 1);
        SkinBlit::Copy(bottom.GetImage(), 0, 0, w, h - mark - 1, q.GetImage(), 0, mark + 1);
    }
}

void CSkinImage::LoadHorizontalThreeSlice(const QString& name, CSkinSurface& left, CSkinSurface& middle,
                                          CSkinSurface& right)
{
    CSkinPicture picture;
    if (!picture.Load(m_root + name.toUpper()))
        return;
    const int w = picture.Width();
    const int h = picture.Height();
    int mark = 0;
    for (int x = 0; x < w; ++x) {
        if (picture.IsBlack(x, 0)) {
            mark = x - 1;
            break;
        }
    }
    CSkinSurface q;
    if (!q.Create(w - 2, h - 2))
        return;
    SkinBlit::Copy(q.GetImage(), 0, 0, w - 2, h - 2, picture.image, 1, 1);
    if (mark != 0) {
        left.Create(mark, h);
        SkinBlit::Copy(left.GetImage(), 0, 0, mark, h, q.GetImage(), 0, 0);
    }
    middle.Create(1, h);
    SkinBlit::Copy(middle.GetImage(), 0, 0, 1, h, q.GetImage(), mark, 0);
    if (mark != (w - 2) - 1) {
        right.Create(w - mark - 1, h);
        SkinBlit::Copy(right.GetImage(), 0, 0, w - mark - 1, h, q.GetImage(), mark + 1, 0);
    }
}

void CSkinImage::LoadBrandImage(CSkinSurface& out, const QString& modulePath)
{
    CFileByteReader reader(modulePath);
    if (!reader.IsOpen())
        return;
    const auto bytes = ReadPeResource(reader, QString::fromLatin1(SkinConst::kBrandResourceType),
                                      QString::fromLatin1(SkinConst::kBrandResourceName));
    if (!bytes)
        return;
    CSkinPicture picture;
    if (!picture.Decode(*bytes))
        return;
    out.Create(picture.Width(), picture.Height());
    SkinBlit::AlphaBlend(out.GetImage(), 0, 0, picture.Width(), picture.Height(), picture.image, 0, 0);
}
