// CMovaraDlg: pictures, background composition, painting and layout.
#include "mainwindow/MovaraDlg.h"

#include "catalogue/MemoryCard.h"
#include "skin/RStaticText.h"
#include "skin/SkinBlit.h"
#include "skin/SkinImage.h"
#include "base/TraceLog.h"

#include <QPainter>

#include <algorithm>

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

void CMovaraDlg::LoadImages()
{
    TraceLog(QStringLiteral("Kestrav---->LoadImages Start"));
    RebuildBackground();
    CSkinImage* images = CSkinImage::GetInstance();
    for (size_t i = 0; i < std::size(kBadges); ++i) {
        m_badgeSurfaces[i].Release();
        m_badgeSurfaces[i].Create(kBadges[i].width, kBadges[i].height);
        images->DrawImage(m_badgeSurfaces[i], Pic(kBadges[i].picture));
    }
    LoadBrandPicture();
    m_deviceIconSurface.Release();
    m_deviceIconSurface.Create(kDeviceIconWidth, kDeviceIconHeight);
    images->DrawImage(m_deviceIconSurface, Pic(kPicDeviceIcon));
    m_gripSurface.Release();
    m_gripSurface.Create(kGripSize, kGripSize);
    images->DrawImage(m_gripSurface, Pic(kPicGrip));
    TraceLog(QStringLiteral("Kestrav---->LoadImages End"));
}

// ---- Background composition -------------------------------------------------------------

void CMovaraDlg::RebuildBackground()
{
    const int W = width();
    const int H = height();
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

    DrawAreaFrames();

    m_titleBarSurface.Release();
    if (m_titleBarSurface.Create(W - kTitleBarWidthLess, kTitleBarHeight)) {
        images->DrawNinePatch(m_titleBarSurface, Pic(kPicTitleBar));
        Blend(bg, kTitleBarLeft, kTitleBarTop, m_titleBarSurface);
    }
    if (!m_titleBarRightSurface.IsCreated() && m_titleBarRightSurface.Create(kTitleBarRightWidth, kTitleBarHeight))
        images->DrawNinePatch(m_titleBarRightSurface, Pic(kPicTitleBarRight));
    const int x = W - kTitleBarRightFromRight;
    for (int y : {kTitleBarRightY1, rearShown == 1 ? kTitleBarRightY2Rear : kTitleBarRightY2Map, kTitleBarRightY3})
        Blend(bg, x, y, m_titleBarRightSurface);
}

void CMovaraDlg::DrawAreaFrames()
{
    if (!m_windowBackground.IsCreated())
        return;
    QImage& img = m_windowBackground.GetImage();
    const SkinRect& F = frontVideoArea;
    const SkinRect& R = rearVideoArea;
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

void CMovaraDlg::DrawTitleBadges(QImage& dc)
{
    const int W = width();
    const int H = height();
    Blend(dc, W - kGripSize, H - kGripSize, m_gripSurface);

    QRgb caption = kColorCaptionInactive;
    if (!g_deviceRecord.isEmpty()) {
        int bw = 0;
        int bh = 0;
        if (QWidget* nav = Control(kIdNavigationProduct)) {
            bw = nav->width();
            bh = nav->height();
        } else {
            SkinRect size;
            CSkinImage::GetInstance()->GetImageSize(QStringLiteral("bi_orvia.png"), &size);
            bw = size.Width();
            bh = size.Height();
        }
        const int bx = bw + kBadgeGapAfterButton;
        const int cy = kBadgeTop + bh / 2;
        int ix = bx + kDeviceIconGap;
        const QString model = DeviceModelName(g_deviceRecord);
        bool known = false;
        for (size_t i = 0; i < std::size(kBadges); ++i) {
            if (model != QLatin1String(kBadges[i].model))
                continue;
            known = true;
            Blend(dc, bx, cy - kBadges[i].height / 2, m_badgeSurfaces[i]);
            ix += kBadges[i].width;
            if (model == QLatin1String("CMV550View"))
                caption = kColorCaptionActive;
        }
        if (!known && m_brandSurface.IsCreated()) {
            Blend(dc, bx, cy - m_brandSurface.GetHeight() / 2, m_brandSurface);
            ix += m_brandSurface.GetWidth();
        }
        Blend(dc, ix, cy - kDeviceIconHeight / 2, m_deviceIconSurface);
    }

    // The vehicle-signal caption is lit only for a model that sends signals.
    if (auto* label = qobject_cast<CRStaticText*>(Control(kIdCarInfoCaption))) {
        if (label->property("captionColor").toUInt() != caption) {
            label->setProperty("captionColor", caption);
            SkinTextStyle style;
            style.text = label->Text();
            style.normalColor = QColor::fromRgb(caption);
            style.disabledColor = style.normalColor;
            style.overColor = style.normalColor;
            style.pressColor = style.normalColor;
            style.fontHeight = 12;
            style.align = 0;
            label->SetImage(QString(), m_statusFont, &m_windowBackground, style);
        }
    }
}

// ---- Painting ----------------------------------------------------------------------------

void CMovaraDlg::InvalidateArea(int kind)
{
    switch (kind) {
    case kAreaFrontVideo:
        update(frontVideoArea.ToQRect());
        break;
    case kAreaRearVideo:
        update(rearVideoArea.ToQRect());
        break;
    case kAreaMap:
        update(mapArea.ToQRect());
        break;
    case kAreaTitle:
        backgroundDirty = 1;
        update(titleArea.ToQRect());
        break;
    default:
        update();
        break;
    }
}

void CMovaraDlg::paintEvent(QPaintEvent*)
{
    if (isMinimized() || !initDone)
        return; // nothing is drawn before start-up has finished
    const int W = width();
    const int H = height();
    if (backgroundDirty && m_paintSurface.IsCreated())
        m_paintSurface.Release();
    if (!m_paintSurface.IsCreated())
        m_paintSurface.Create(W, H);
    if (backgroundDirty)
        m_compositeBitmap = QPixmap();
    if (m_compositeBitmap.isNull() && m_paintSurface.IsCreated()) {
        if (m_windowBackground.GetWidth() != W || m_windowBackground.GetHeight() != H || backgroundDirty)
            RebuildBackground();
        QImage& composite = m_paintSurface.GetImage();
        SkinBlit::Copy(composite, 0, 0, W, H, m_windowBackground.GetImage(), 0, 0);
        DrawTitleBadges(composite);
        m_compositeBitmap = QPixmap::fromImage(composite);
    }
    QPainter p(this);
    p.drawPixmap(0, 0, m_compositeBitmap);
    backgroundDirty = 0;
}

// ---- Layout ------------------------------------------------------------------------------

void CMovaraDlg::ArrangeControls()
{
    TraceLog(QStringLiteral("Kestrav---->ArrangeControls START"));
    const int dx = clientRect.Width() - previousClientRect.Width();
    const int dy = clientRect.Height() - previousClientRect.Height();
    auto shift = [this](int id, int mx, int my) {
        if (QWidget* w = Control(id))
            w->move(w->pos() + QPoint(mx, my));
    };
    auto range = [&](int first, int last, int mx, int my) {
        for (int id = first; id <= last; ++id)
            shift(id, mx, my);
    };
    range(kIdClose, kIdMaximise, dx, 0);
    range(kIdFoldUp, kIdMapSearch, dx, 0);
    range(kIdLabelRear, kIdSecondTitle, dx, 0);
    shift(kIdMapBrowser, dx, 0);
    range(1251, 1260, dx, 0);
    shift(kIdMapPlaceholder, dx, 0);
    range(kIdCurrentTime, kIdAccelZ, 0, dy);
    shift(kIdSpeedGauge, 0, dy);
    shift(kIdUnit, 0, dy);
    range(kIdPlay, kIdForward10, dx / 2, dy);
    shift(kIdAnalysisMessage, dx / 2, dy);
    shift(kIdAnalysisPercent, dx / 2, dy);
    range(kIdZoomMenu, kIdContinuousPlay, dx, dy);
    shift(kIdVersion, dx, dy);
    if (QWidget* list = Control(kIdPlayList)) {
        const QRect g = list->geometry();
        list->setGeometry(g.x() + dx, g.y(), g.width(), g.height() + dy);
    }
    if (QWidget* graph = Control(kIdGraphPanel)) {
        const QRect g = graph->geometry();
        graph->setGeometry(g.x(), g.y() + dy, g.width() + dx, g.height());
    }
    shift(kIdCarInfoCaption, dx, dy);
    shift(kIdCarInfoPanel, dx, dy);
    TraceLog(QStringLiteral("Kestrav---->ArrangeControls END"));
}

void CMovaraDlg::RelayoutVideo()
{
    const int dx = clientRect.Width() - previousClientRect.Width();
    const int dy = clientRect.Height() - previousClientRect.Height();
    frontVideoArea.right += dx;
    frontVideoArea.bottom += dy;
    rearVideoArea.left += dx;
    rearVideoArea.right += dx;
    // The video windows and the position slider follow these areas once
    // they exist.
}
