// CMovaraDlg: pictures, painting and layout (the background itself is the
// background composer's).
#include "mainwindow/MovaraDlg.h"

#include "catalogue/MemoryCard.h"
#include "mainwindow/ControlLayout.h"
#include "mainwindow/TelemetryPresenter.h"
#include "engine/ITransport.h"
#include "windows/VideoMainWnd.h"
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

QWidget* CMovaraDlg::Control(int id) const
{
    return m_layout->Control(id);
}

CRListCtrl* CMovaraDlg::List() const
{
    return m_layout->List();
}

CVideoMainWnd* CMovaraDlg::FrontVideo() const
{
    return m_layout->FrontVideo();
}

CVideoSubWnd* CMovaraDlg::RearVideo() const
{
    return m_layout->RearVideo();
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
    QPainter p(this);
    p.drawPixmap(0, 0, composite);
    p.end();
    // What follows a new background or picture redraws controls: it runs
    // after this paint. The map page starts loading once the window shows.
    if (m_composer->BackgroundSerial() != m_seenBackground || m_composer->CompositionSerial() != m_seenComposition)
        QMetaObject::invokeMethod(this, [this] { FollowComposition(); }, Qt::QueuedConnection);
    if (!m_mapNavigated)
        QMetaObject::invokeMethod(this, [this] { NavigateMap(); }, Qt::QueuedConnection);
}

void CMovaraDlg::FollowComposition()
{
    // The panels copy the new background; each composition of the picture
    // sets the vehicle-signal caption's colour for the card's model.
    if (m_composer->BackgroundSerial() != m_seenBackground) {
        m_seenBackground = m_composer->BackgroundSerial();
        m_presenter->OnBackgroundRecomposed(WindowBackground());
    }
    if (m_composer->CompositionSerial() != m_seenComposition) {
        m_seenComposition = m_composer->CompositionSerial();
        m_presenter->UpdateVehicleCaption(g_deviceRecord, WindowBackground());
    }
}

// ---- Layout ------------------------------------------------------------------------------

void CMovaraDlg::ArrangeControls()
{
    TraceLog(QStringLiteral("Kestrav---->ArrangeControls START"));
    m_layout->ArrangeControls(clientRect.Width() - previousClientRect.Width(),
                              clientRect.Height() - previousClientRect.Height());
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
    m_layout->PlaceVideo(frontVideoArea, rearVideoArea, clientRect.Height() - kPositionSliderTopFromBottom);
    if (CVideoMainWnd* front = FrontVideo())
        front->ShowZoomBars();
    m_transport->ResetSize(true);
}
