#include "mainwindow/BackgroundComposer.h"

#include "catalogue/MemoryCard.h"
#include "mainwindow/MainWindowIds.h"
#include "skin/SkinBlit.h"
#include "skin/SkinImage.h"

#include <QFileInfo>

#include <initializer_list>
#include <iterator>

using namespace MainWnd;

namespace {
QString Pic(const char* name)
{
    return QString::fromLatin1(name);
}

// Alpha-blends a whole surface at (x, y).
void Blend(QImage& dst, int x, int y, const CSkinSurface& src)
{
    if (src.IsCreated())
        SkinBlit::AlphaBlend(dst, x, y, src.GetWidth(), src.GetHeight(), src.GetImage(), 0, 0);
}

// One line of a pen-1 polyline: from `a` towards `b`, `a` included and `b`
// excluded. Lines here are horizontal or vertical; pixels outside are clipped.
void LineTo(QImage& img, QPoint a, QPoint b, QRgb color)
{
    const int dx = (b.x() > a.x()) - (b.x() < a.x());
    const int dy = (b.y() > a.y()) - (b.y() < a.y());
    QPoint p = a;
    while (p != b) {
        if (p.x() >= 0 && p.y() >= 0 && p.x() < img.width() && p.y() < img.height())
            img.setPixel(p, color);
        p += QPoint(dx, dy);
        if (dx != 0 && dy != 0)
            break; // diagonal lines are not used
    }
}

void PolyLine(QImage& img, std::initializer_list<QPoint> points, QRgb color)
{
    const QPoint* prev = nullptr;
    for (const QPoint& p : points) {
        if (prev)
            LineTo(img, *prev, p, color);
        prev = &p;
    }
}
} // namespace

// ---- Pictures ------------------------------------------------------------------------

void CBackgroundComposer::LoadPictures()
{
    CSkinImage* images = CSkinImage::GetInstance();
    for (size_t i = 0; i < std::size(kBadges); ++i) {
        m_badgeSurfaces[i].Release();
        m_badgeSurfaces[i].Create(kBadges[i].width, kBadges[i].height);
        images->DrawImage(m_badgeSurfaces[i], Pic(kBadges[i].picture));
    }
    m_deviceIconSurface.Release();
    m_deviceIconSurface.Create(kDeviceIconWidth, kDeviceIconHeight);
    images->DrawImage(m_deviceIconSurface, Pic(kPicDeviceIcon));
    m_gripSurface.Release();
    m_gripSurface.Create(kGripSize, kGripSize);
    images->DrawImage(m_gripSurface, Pic(kPicGrip));
}

void CBackgroundComposer::LoadBrandPicture(const QString& cardRoot, const QByteArray& deviceRecord)
{
    m_brandSurface.Release();
    if (deviceRecord.isEmpty())
        return;
    const QString program = SettingsProgramPath(cardRoot, deviceRecord);
    if (!program.isEmpty() && QFileInfo(program).isFile())
        CSkinImage::GetInstance()->LoadBrandImage(m_brandSurface, program);
}

void CBackgroundComposer::ReleaseBrandPicture()
{
    m_brandSurface.Release();
}

// ---- Window background -------------------------------------------------------------------

void CBackgroundComposer::RebuildBackground(const Scene& scene)
{
    ++m_backgroundSerial;
    const int W = scene.size.width();
    const int H = scene.size.height();
    CSkinImage* images = CSkinImage::GetInstance();

    CSkinSurface temp;
    temp.Create(W, H);
    images->DrawNinePatch(temp, Pic(kPicBackground));
    m_windowBackground.Release();
    if (!m_windowBackground.Create(W, H))
        return;
    QImage& bg = m_windowBackground.GetImage();
    bg.fill(QColor::fromRgb(kColorWhite));
    Blend(bg, 0, 0, temp);

    m_gpsPanelSurface.Release();
    if (m_gpsPanelSurface.Create(W - kGpsPanelWidthLess, kPanelHeight)) {
        images->DrawNinePatch(m_gpsPanelSurface, Pic(kPicGpsPanel));
        Blend(bg, kGpsPanelLeft, H - kPanelTopFromBottom, m_gpsPanelSurface);
    }
    m_carInfoPanelSurface.Release();
    if (m_carInfoPanelSurface.Create(W - kCarInfoPanelWidthLess, kPanelHeight)) {
        images->DrawNinePatch(m_carInfoPanelSurface, Pic(kPicCarInfoPanel));
        SkinBlit::AlphaBlend(bg, W - kCarInfoPanelLeftFromRight, H - kPanelTopFromBottom, kCarInfoPanelUsedWidth,
                             kPanelHeight, m_carInfoPanelSurface.GetImage(), 0, 0);
    }

    DrawAreaFrames(scene);

    m_titleBarSurface.Release();
    if (m_titleBarSurface.Create(W - kTitleBarWidthLess, kTitleBarHeight)) {
        images->DrawNinePatch(m_titleBarSurface, Pic(kPicTitleBar));
        Blend(bg, kTitleBarLeft, kTitleBarTop, m_titleBarSurface);
    }
    if (!m_titleBarRightSurface.IsCreated() && m_titleBarRightSurface.Create(kTitleBarRightWidth, kTitleBarHeight))
        images->DrawNinePatch(m_titleBarRightSurface, Pic(kPicTitleBarRight));
    const int x = W - kTitleBarRightFromRight;
    for (int y : {kTitleBarRightY1, scene.rearShown ? kTitleBarRightY2Rear : kTitleBarRightY2Map, kTitleBarRightY3})
        Blend(bg, x, y, m_titleBarRightSurface);
}

void CBackgroundComposer::DrawAreaFrames(const Scene& scene)
{
    if (!m_windowBackground.IsCreated())
        return;
    QImage& img = m_windowBackground.GetImage();
    const SkinRect& F = scene.frontVideoArea;
    const SkinRect& R = scene.rearVideoArea;
    PolyLine(img,
             {{F.left - 2, F.top - 1},
              {F.left - 2, F.bottom},
              {F.right, F.bottom},
              {F.right, F.top - 1},
              {F.left - 1, F.top - 1},
              {F.left - 1, F.bottom}},
             kColorFrame);
    PolyLine(img, {{R.left - 1, R.top - 1}, {R.right, R.top - 1}, {R.right, R.bottom + 1}}, kColorFrame);
    PolyLine(img, {{R.right + 1, R.bottom + 1}, {R.right + 1, R.top + 49}}, kColorFrame);
}

// ---- Title area ------------------------------------------------------------------------------

void CBackgroundComposer::DrawTitleBadges(QImage& dc, const Scene& scene) const
{
    const int W = scene.size.width();
    const int H = scene.size.height();
    Blend(dc, W - kGripSize, H - kGripSize, m_gripSurface);
    if (scene.deviceRecord.isEmpty())
        return;

    QSize button = scene.productButton;
    if (button.isEmpty()) {
        SkinRect size;
        CSkinImage::GetInstance()->GetImageSize(QStringLiteral("bi_orvia.png"), &size);
        button = QSize(size.Width(), size.Height());
    }
    const int bx = button.width() + kBadgeGapAfterButton;
    const int cy = kBadgeTop + button.height() / 2;
    int ix = bx + kDeviceIconGap;
    const QString model = DeviceModelName(scene.deviceRecord);
    bool known = false;
    for (size_t i = 0; i < std::size(kBadges); ++i) {
        if (model != QLatin1String(kBadges[i].model))
            continue;
        known = true;
        Blend(dc, bx, cy - kBadges[i].height / 2, m_badgeSurfaces[i]);
        ix += kBadges[i].width;
    }
    if (!known && m_brandSurface.IsCreated()) {
        Blend(dc, bx, cy - m_brandSurface.GetHeight() / 2, m_brandSurface);
        ix += m_brandSurface.GetWidth();
    }
    Blend(dc, ix, cy - kDeviceIconHeight / 2, m_deviceIconSurface);
}

// ---- Composition -------------------------------------------------------------------------------

const QPixmap& CBackgroundComposer::Compose(const Scene& scene)
{
    const int W = scene.size.width();
    const int H = scene.size.height();
    if (!m_compositeBitmap.isNull() && m_compositeBitmap.size() != scene.size)
        m_dirty = true;
    if (m_dirty) {
        m_paintSurface.Release();
        m_compositeBitmap = QPixmap();
    }
    if (!m_paintSurface.IsCreated())
        m_paintSurface.Create(W, H);
    if (m_compositeBitmap.isNull() && m_paintSurface.IsCreated()) {
        if (m_windowBackground.GetWidth() != W || m_windowBackground.GetHeight() != H || m_dirty)
            RebuildBackground(scene);
        QImage& composite = m_paintSurface.GetImage();
        SkinBlit::Copy(composite, 0, 0, W, H, m_windowBackground.GetImage(), 0, 0);
        DrawTitleBadges(composite, scene);
        m_compositeBitmap = QPixmap::fromImage(composite);
        ++m_compositionSerial;
    }
    m_dirty = false;
    return m_compositeBitmap;
}

void CBackgroundComposer::Release()
{
    m_windowBackground.Release();
    m_gpsPanelSurface.Release();
    m_carInfoPanelSurface.Release();
    m_titleBarSurface.Release();
    m_titleBarRightSurface.Release();
    for (CSkinSurface& s : m_badgeSurfaces)
        s.Release();
    m_brandSurface.Release();
    m_deviceIconSurface.Release();
    m_gripSurface.Release();
    m_paintSurface.Release();
    m_compositeBitmap = QPixmap();
}
