#include "evidence/OverlayRenderer.h"

#include "evidence/EvidenceIds.h"
#include "windows/PanelIds.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QMutex>
#include <QPainter>
#include <QPainterPath>
#include <QResource>

#include <algorithm>
#include <cmath>

using namespace EvidenceIds;

namespace {
// Natural sizes of the signal pictures (turn signals, brake).
constexpr int kTurnW = 35;
constexpr int kBrakeW = 65;
constexpr int kSignalH = 45;
// The widest texts each block may have to hold, so that nothing moves from
// one second to the next.
const char* const kWidestTime = "0000-00-00 00:00:00 UTC";
const char* const kWidestPosition = "-00.00000, -000.00000";
const char* const kWidestSpeed = "888";
const char* const kWidestG = "X :-0.00  Y :-0.00  Z :-0.00";
const char* const kGLabel = "G-sensor (g)";

QFont BandFont(int pixels, bool bold)
{
    QFont font(QString::fromLatin1(kOverlayFontFace));
    font.setPixelSize(std::max(1, pixels));
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    return font;
}

int TextWidth(const QFont& font, const char* text)
{
    return QFontMetrics(font).horizontalAdvance(QString::fromLatin1(text));
}

// The alpha text renderer: the text drawn white on black in a box of its
// own, its coverage turned into a premultiplied picture of `color`; a
// shadow of the same coverage in black goes under it, `shadow` pixels down
// and right, so the text reads over any picture.
void DrawAlphaText(QPainter& target, const QRect& box, const QString& text, const QFont& font, QRgb color,
                   Qt::Alignment align, int shadow)
{
    if (text.isEmpty() || box.isEmpty())
        return;
    QImage mask(box.size(), QImage::Format_RGB32);
    mask.fill(Qt::black);
    {
        QPainter p(&mask);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(QPoint(0, 0), box.size()), int(align | Qt::TextSingleLine), text);
    }
    auto tinted = [&](QRgb c, int alphaScale) {
        QImage out(box.size(), QImage::Format_ARGB32_Premultiplied);
        const uint r = qRed(c), g = qGreen(c), b = qBlue(c);
        for (int y = 0; y < box.height(); ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
            auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < box.width(); ++x) {
                const uint cov = uint(qBlue(src[x])) * uint(alphaScale) / 255u;
                dst[x] = (cov << 24) | (((r * cov) >> 8) << 16) | (((g * cov) >> 8) << 8) | ((b * cov) >> 8);
            }
        }
        return out;
    };
    if (shadow > 0)
        target.drawImage(box.topLeft() + QPoint(shadow, shadow), tinted(kOverlayShadowColor, 200));
    target.drawImage(box.topLeft(), tinted(color, 255));
}

QMutex g_libraryMutex;
QString g_registeredLibrary; // the rcc file registered under kLibraryRoot
const char* const kLibraryRoot = "/kestrav-evidence-library";

const char* SignalPicture(int which, bool on)
{
    switch (which) {
    case 0:
        return on ? PanelIds::kLeftOnPicture : PanelIds::kLeftOffPicture;
    case 1:
        return on ? PanelIds::kBrakeOnPicture : PanelIds::kBrakeOffPicture;
    default:
        return on ? PanelIds::kRightOnPicture : PanelIds::kRightOffPicture;
    }
}
} // namespace

COverlayValues COverlayValues::From(const CTelemetryMoment& m, bool mph)
{
    COverlayValues v;
    v.time = m.TimeText();
    v.position = m.PositionText();
    v.speed = m.SpeedValue(mph);
    v.mph = mph;
    v.hasG = m.hasG;
    if (m.hasG) {
        v.gx = m.g.x;
        v.gy = m.g.y;
        v.gz = m.g.z;
    }
    v.hasSignals = m.hasSignals;
    if (m.hasSignals) {
        v.brake = m.carInfo.brake == PanelIds::kSignalOn;
        v.left = m.carInfo.left == PanelIds::kSignalOn;
        v.right = m.carInfo.right == PanelIds::kSignalOn;
    }
    return v;
}

bool COverlayValues::operator==(const COverlayValues& o) const
{
    return time == o.time && position == o.position && speed == o.speed && mph == o.mph && hasG == o.hasG
        && gx == o.gx && gy == o.gy && gz == o.gz && hasSignals == o.hasSignals && brake == o.brake
        && left == o.left && right == o.right;
}

COverlayRenderer::COverlayRenderer() = default;

QString COverlayRenderer::DefaultImageLibraryPath()
{
    const QDir here(QCoreApplication::applicationDirPath());
    const QString beside = here.filePath(QString::fromLatin1(kImageLibraryFile));
    if (QFile::exists(beside))
        return beside;
    // An installed command-line tool lives in bin/, the viewer's program
    // folder (with the image library) is beside it.
    const QString installed = QDir::cleanPath(here.filePath(QStringLiteral("../" KESTRAV_INSTALL_PRIVATEDIR "/"))
                                              + QLatin1Char('/') + QString::fromLatin1(kImageLibraryFile));
    return QFile::exists(installed) ? installed : beside;
}

bool COverlayRenderer::LoadImageLibrary(const QString& rccPath)
{
    m_pictures = false;
    QString root = QStringLiteral(":/PNG/");
    auto present = [](const QString& r) { return QFile::exists(r + QString::fromLatin1(PanelIds::kBrakeOnPicture).toUpper()); };
    QMutexLocker lock(&g_libraryMutex);
    // The library the viewer registered, unless ours is registered (a
    // library registered under another root answers there too).
    if (!g_registeredLibrary.isEmpty() || !present(root)) {
        if (g_registeredLibrary != rccPath) {
            if (!g_registeredLibrary.isEmpty())
                QResource::unregisterResource(g_registeredLibrary, QLatin1String(kLibraryRoot));
            g_registeredLibrary.clear();
            if (rccPath.isEmpty() || !QFile::exists(rccPath)
                || !QResource::registerResource(rccPath, QLatin1String(kLibraryRoot)))
                return false;
            g_registeredLibrary = rccPath;
        }
        root = QStringLiteral(":") + QLatin1String(kLibraryRoot) + QStringLiteral("/PNG/");
    }
    for (int which = 0; which < 3; ++which) {
        for (int on = 0; on < 2; ++on) {
            QImage img(root + QString::fromLatin1(SignalPicture(which, on != 0)).toUpper());
            if (img.isNull())
                return false;
            m_signal[which][on] = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        }
    }
    m_pictures = true;
    return true;
}

int COverlayRenderer::BandHeight(int frameHeight)
{
    int h = std::max(kOverlayMinHeight, int(std::lround(frameHeight * kOverlayHeightFraction)));
    h = std::min(h, frameHeight);
    return h & ~1;
}

COverlayLayout COverlayRenderer::Layout(int frameWidth, int frameHeight)
{
    COverlayLayout l;
    const int h = BandHeight(frameHeight);
    l.size = QSize(frameWidth, h);
    const int pad = std::max(3, int(std::lround(h * 0.12)));
    const int inner = h - 2 * pad;
    const int usable = frameWidth - 2 * pad;
    double fit = 1.0;
    int small = 0, big = 0, wA = 0, wDigits = 0, wUnit = 0, wC = 0, minGap = 0;
    double sigScale = 1.0;
    for (int pass = 0; pass < 3; ++pass) {
        small = std::max(6, int(inner * 0.40 * fit));
        big = std::max(8, int(inner * 0.92 * fit));
        const QFont smallFont = BandFont(small, true);
        const QFont bigFont = BandFont(big, true);
        wA = std::max(TextWidth(smallFont, kWidestTime), TextWidth(smallFont, kWidestPosition));
        wDigits = TextWidth(bigFont, kWidestSpeed);
        wUnit = std::max(TextWidth(smallFont, kUnitKmh), TextWidth(smallFont, kUnitMph));
        wC = TextWidth(smallFont, kWidestG);
        sigScale = std::min(1.0, double(inner) / kSignalH) * fit;
        minGap = std::max(4, int(h * 0.3 * fit));
        const int wD = int((kTurnW * 2 + kBrakeW) * sigScale) + 2 * std::max(2, int(4 * sigScale));
        const int total = wA + wDigits + small / 3 + wUnit + wC + wD + 3 * minGap;
        if (total <= usable)
            break;
        fit *= double(usable) / total * 0.98;
    }
    l.smallPixels = small;
    l.bigPixels = big;
    const int sigGap = std::max(2, int(4 * sigScale));
    const int tw = int(kTurnW * sigScale), bw = int(kBrakeW * sigScale), sh = int(kSignalH * sigScale);
    const int wB = wDigits + small / 3 + wUnit;
    const int wD = tw * 2 + bw + 2 * sigGap;
    const int gap = std::max(minGap, (usable - (wA + wB + wC + wD)) / 3);
    const int rowH = inner / 2;
    int x = pad;
    l.timeRow = QRect(x, pad, wA, rowH);
    l.positionRow = QRect(x, pad + rowH, wA, inner - rowH);
    x += wA + gap;
    l.speedDigits = QRect(x, pad, wDigits, inner);
    l.speedUnit = QRect(x + wDigits + small / 3, pad, wUnit, inner);
    x += wB + gap;
    l.gRow = QRect(x, pad, wC, rowH);
    l.gLabelRow = QRect(x, pad + rowH, wC, inner - rowH);
    x += wC + gap;
    const int sy = (h - sh) / 2;
    l.leftSignal = QRect(x, sy, tw, sh);
    l.brakeSignal = QRect(x + tw + sigGap, sy, bw, sh);
    l.rightSignal = QRect(x + tw + sigGap + bw + sigGap, sy, tw, sh);
    return l;
}

void COverlayRenderer::DrawSignal(QPainter& p, const QRect& box, int which, bool on) const
{
    if (m_pictures) {
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        const QImage& img = m_signal[which][on ? 1 : 0];
        if (box.size() == img.size())
            p.drawImage(box.topLeft(), img);
        else
            p.drawImage(box, img);
        return;
    }
    // Drawn shapes in the pictures' colours: arrows for the turn signals, a
    // ringed exclamation mark for the brake.
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QColor off = QColor::fromRgba(kOverlaySignalOff);
    const double s = box.height() / double(kSignalH);
    p.translate(box.topLeft());
    if (which == 1) {
        const QColor c = on ? QColor::fromRgba(kOverlayBrakeOn) : off;
        const QPointF centre(box.width() / 2.0, box.height() / 2.0);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(c, 2.6 * s));
        p.drawEllipse(centre, 10.5 * s, 10.5 * s);
        p.setPen(QPen(c, 2.6 * s, Qt::SolidLine, Qt::RoundCap));
        const QRectF arc(centre.x() - 16 * s, centre.y() - 16 * s, 32 * s, 32 * s);
        p.drawArc(arc, 135 * 16, 90 * 16);
        p.drawArc(arc, -45 * 16, 90 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawRoundedRect(QRectF(centre.x() - 1.4 * s, centre.y() - 6.5 * s, 2.8 * s, 8.5 * s), 1.2 * s, 1.2 * s);
        p.drawEllipse(QPointF(centre.x(), centre.y() + 5.2 * s), 1.6 * s, 1.6 * s);
    } else {
        if (which == 2) {
            p.translate(box.width(), 0);
            p.scale(-1, 1);
        }
        const double cy = box.height() / 2.0;
        QPainterPath arrow;
        arrow.moveTo(4 * s, cy);
        arrow.lineTo(16 * s, cy - 11 * s);
        arrow.lineTo(16 * s, cy - 5 * s);
        arrow.lineTo(30 * s, cy - 5 * s);
        arrow.lineTo(30 * s, cy + 5 * s);
        arrow.lineTo(16 * s, cy + 5 * s);
        arrow.lineTo(16 * s, cy + 11 * s);
        arrow.closeSubpath();
        if (on) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor::fromRgba(kOverlayTurnOn));
        } else {
            p.setPen(QPen(off, 1.4 * s));
            p.setBrush(Qt::NoBrush);
        }
        p.drawPath(arrow);
    }
    p.restore();
}

QImage COverlayRenderer::RenderBand(int frameWidth, int frameHeight, const COverlayValues& v) const
{
    const COverlayLayout l = Layout(frameWidth, frameHeight);
    QImage band(l.size, QImage::Format_ARGB32_Premultiplied);
    band.fill(QColor::fromRgba(kOverlayBackground));
    QPainter p(&band);
    p.fillRect(QRect(0, 0, l.size.width(), std::max(1, l.size.height() / 40)), QColor::fromRgba(kOverlayRuleColor));
    const QFont small = BandFont(l.smallPixels, true);
    const QFont label = BandFont(std::max(6, l.smallPixels * 4 / 5), false);
    const QFont big = BandFont(l.bigPixels, true);
    const int shadowSmall = std::max(1, l.smallPixels / 14);
    const int shadowBig = std::max(1, l.bigPixels / 16);
    const auto left = Qt::AlignLeft | Qt::AlignVCenter;
    DrawAlphaText(p, l.timeRow, v.time.isEmpty() ? QStringLiteral("--") : v.time, small, kOverlayTextColor, left,
                  shadowSmall);
    DrawAlphaText(p, l.positionRow, v.position.isEmpty() ? QString::fromLatin1(kNoFixText) : v.position, small,
                  v.position.isEmpty() ? kOverlayLabelColor : kOverlayTextColor, left, shadowSmall);
    DrawAlphaText(p, l.speedDigits, v.speed >= 0 ? QString::number(v.speed) : QString::fromLatin1(kNoSpeedText), big,
                  kOverlaySpeedColor, Qt::AlignRight | Qt::AlignVCenter, shadowBig);
    // The unit sits on the digits' baseline.
    const QFontMetrics bigMetrics(big), smallMetrics(small);
    const int baseline = l.speedDigits.top() + (l.speedDigits.height() - bigMetrics.height()) / 2 + bigMetrics.ascent();
    const QRect unitBox(l.speedUnit.left(), baseline - smallMetrics.ascent(), l.speedUnit.width(), smallMetrics.height());
    DrawAlphaText(p, unitBox, QString::fromLatin1(v.mph ? kUnitMph : kUnitKmh), small, kOverlayLabelColor, left,
                  shadowSmall);
    const QString g = v.hasG ? CTelemetryMoment::GText('X', v.gx) + QStringLiteral("  ") + CTelemetryMoment::GText('Y', v.gy)
            + QStringLiteral("  ") + CTelemetryMoment::GText('Z', v.gz)
                             : QStringLiteral("X : --  Y : --  Z : --");
    DrawAlphaText(p, l.gRow, g, small, kOverlayTextColor, left, shadowSmall);
    DrawAlphaText(p, l.gLabelRow, QString::fromLatin1(kGLabel), label, kOverlayLabelColor, left, shadowSmall);
    DrawSignal(p, l.leftSignal, 0, v.hasSignals && v.left);
    DrawSignal(p, l.brakeSignal, 1, v.hasSignals && v.brake);
    DrawSignal(p, l.rightSignal, 2, v.hasSignals && v.right);
    return band;
}

// ---- Blending into the picture's planes ------------------------------------------

void CYuvOverlay::Build(const QImage& bandIn, bool bt709)
{
    const QImage band = bandIn.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    m_w = band.width() & ~1;
    m_h = band.height() & ~1;
    // Luma and chroma weights (limited range, 8-bit), applied to premultiplied
    // components; the offsets are premultiplied by alpha too.
    const double kr = bt709 ? 0.2126 : 0.299, kb = bt709 ? 0.0722 : 0.114, kg = 1.0 - kr - kb;
    const double ys = 219.0 / 255.0, cs = 224.0 / 255.0;
    m_y.assign(size_t(m_w) * size_t(m_h), 0);
    m_yKeep.assign(m_y.size(), 255);
    const int cw = m_w / 2, ch = m_h / 2;
    m_u.assign(size_t(cw) * size_t(ch), 0);
    m_v.assign(m_u.size(), 0);
    m_cKeep.assign(m_u.size(), 255);
    std::vector<double> accU(m_u.size(), 0.0), accV(m_u.size(), 0.0), accA(m_u.size(), 0.0);
    for (int y = 0; y < m_h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(band.constScanLine(y));
        for (int x = 0; x < m_w; ++x) {
            const QRgb px = line[x];
            const double a = qAlpha(px), r = qRed(px), g = qGreen(px), b = qBlue(px);
            const double luma = kr * r + kg * g + kb * b; // premultiplied, 0..255
            const size_t i = size_t(y) * size_t(m_w) + size_t(x);
            m_y[i] = uint16_t(std::lround((16.0 * a / 255.0 + luma * ys) * 256.0));
            m_yKeep[i] = uint16_t(255 - int(a));
            const size_t c = size_t(y / 2) * size_t(cw) + size_t(x / 2);
            accU[c] += 128.0 * a / 255.0 + (b - luma) / (2.0 * (1.0 - kb)) * cs;
            accV[c] += 128.0 * a / 255.0 + (r - luma) / (2.0 * (1.0 - kr)) * cs;
            accA[c] += a;
        }
    }
    for (size_t c = 0; c < m_u.size(); ++c) {
        m_u[c] = uint16_t(std::lround(std::max(0.0, accU[c] / 4.0) * 256.0));
        m_v[c] = uint16_t(std::lround(std::max(0.0, accV[c] / 4.0) * 256.0));
        m_cKeep[c] = uint16_t(255 - int(std::lround(accA[c] / 4.0)));
    }
}

void CYuvOverlay::Blend(uint8_t* y, int yStride, uint8_t* u, int uStride, uint8_t* v, int vStride, int top) const
{
    // out = in * keep / 255 + premultiplied (values kept in 1/256 steps).
    auto mix = [](uint8_t in, uint16_t keep, uint16_t add) {
        const int value = (int(in) * int(keep) * 256 / 255 + int(add) + 128) >> 8;
        return uint8_t(std::clamp(value, 0, 255));
    };
    for (int row = 0; row < m_h; ++row) {
        uint8_t* dst = y + size_t(top + row) * size_t(yStride);
        const uint16_t* add = m_y.data() + size_t(row) * size_t(m_w);
        const uint16_t* keep = m_yKeep.data() + size_t(row) * size_t(m_w);
        for (int x = 0; x < m_w; ++x)
            dst[x] = mix(dst[x], keep[x], add[x]);
    }
    const int cw = m_w / 2;
    for (int row = 0; row < m_h / 2; ++row) {
        uint8_t* du = u + size_t(top / 2 + row) * size_t(uStride);
        uint8_t* dv = v + size_t(top / 2 + row) * size_t(vStride);
        const size_t base = size_t(row) * size_t(cw);
        for (int x = 0; x < cw; ++x) {
            du[x] = mix(du[x], m_cKeep[base + size_t(x)], m_u[base + size_t(x)]);
            dv[x] = mix(dv[x], m_cKeep[base + size_t(x)], m_v[base + size_t(x)]);
        }
    }
}
