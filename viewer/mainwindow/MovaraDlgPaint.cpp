// CMovaraDlg: pictures, painting and layout (the background itself is the
// background composer's).
#include "mainwindow/MovaraDlg.h"

#include "catalogue/MemoryCard.h"
#include "skin/RStaticText.h"
#include "base/TraceLog.h"

#include <QPainter>

using namespace MainWnd;

// ---- Pictures ------------------------------------------------------------------------

void CMovaraDlg::LoadImages()
{
    TraceLog(QStringLiteral("Kestrav---->LoadImages Start"));
    RebuildBackground();
    m_composer->LoadPictures();
    m_composer->LoadBrandPicture(g_cardRoot, g_deviceRecord);
    TraceLog(QStringLiteral("Kestrav---->LoadImages End"));
}

void CMovaraDlg::RebuildBackground()
{
    m_composer->RebuildBackground(BackgroundScene());
}

const CSkinSurface& CMovaraDlg::WindowBackground() const
{
    return m_composer->WindowBackground();
}

const QPixmap& CMovaraDlg::CompositeBitmap() const
{
    return m_composer->CompositeBitmap();
}

CBackgroundComposer::Scene CMovaraDlg::BackgroundScene() const
{
    CBackgroundComposer::Scene scene;
    scene.size = size();
    scene.frontVideoArea = frontVideoArea;
    scene.rearVideoArea = rearVideoArea;
    scene.rearShown = rearShown == 1;
    scene.deviceRecord = g_deviceRecord;
    if (QWidget* product = Control(kIdNavigationProduct))
        scene.productButton = product->size();
    return scene;
}

// The vehicle-signal caption is lit only for a model that sends signals; it
// follows the model whenever the title area is painted.
void CMovaraDlg::UpdateVehicleCaption()
{
    auto* label = qobject_cast<CRStaticText*>(Control(kIdCarInfoCaption));
    if (!label)
        return;
    const bool lit = !g_deviceRecord.isEmpty() && DeviceModelName(g_deviceRecord) == QLatin1String("CMV550View");
    const QRgb caption = lit ? kColorCaptionActive : kColorCaptionInactive;
    if (label->property("captionColor").toUInt() == caption)
        return;
    label->setProperty("captionColor", caption);
    SkinTextStyle style;
    style.text = label->Text();
    style.normalColor = QColor::fromRgb(caption);
    style.disabledColor = style.normalColor;
    style.overColor = style.normalColor;
    style.pressColor = style.normalColor;
    style.fontHeight = 12;
    style.align = 0;
    label->SetImage(QString(), m_statusFont, &WindowBackground(), style);
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
        m_composer->SetDirty();
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
    const QPixmap& composite = m_composer->Compose(BackgroundScene());
    UpdateVehicleCaption();
    QPainter p(this);
    p.drawPixmap(0, 0, composite);
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
