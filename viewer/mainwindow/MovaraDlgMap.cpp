// CMovaraDlg: the map browser and the telemetry presentation's wiring.
#include "mainwindow/MovaraDlg.h"

#include "base/TraceLog.h"
#include "catalogue/MemoryCard.h"
#include "mainwindow/ControlLayout.h"
#include "mainwindow/TelemetryPresenter.h"
#include "map/MapIds.h"
#include "map/WebBrowser2Ex.h"
#include "settings/Settings.h"
#include "skin/RImageNum.h"
#include "skin/RStaticText.h"
#include "skin/SkinSlider.h"
#include "windows/CarInfoViewer.h"
#include "windows/GPSViewer.h"

using namespace MainWnd;

// Start-up step 15. The browser is a plain child window until its page is
// loaded: the web engine starts with the first navigation, which waits for
// the window's first paint (NavigateMap), so the engine's start never
// delays the window's appearance. Given an empty rectangle, it stays out of
// sight until the presentation places it in the map area.
void CMovaraDlg::CreateMap()
{
    m_mapBrowser = new CWebBrowser2Ex(this, g_internetOk != 0);
    m_mapBrowser->setGeometry(QRect(0, 0, 0, 0));
    m_mapBrowser->show();
    m_layout->AddControl(kIdMapBrowser, m_mapBrowser);
    connect(m_mapBrowser, &CWebBrowser2::PageReady, this, [this] { m_presenter->OnMapPageReady(); });
    connect(m_mapBrowser, &CWebBrowser2::PageLost, this, [this] { m_presenter->OnMapPageLost(); });
    m_presenter->SetMap(m_mapBrowser, m_mapBrowser);
}

// The page from the program folder, once; nothing without internet.
void CMovaraDlg::NavigateMap()
{
    if (m_mapNavigated || !m_mapBrowser)
        return;
    m_mapNavigated = true;
    if (g_internetOk == 0)
        return;
    m_mapBrowser->Navigate(programFolder + QString::fromLatin1(MapIds::kMapPageFile));
}

// The presentation's displays, once the controls exist. The speed unit
// starts as stored, like the unit button's picture.
void CMovaraDlg::ConnectPresenter()
{
    speedUnit = SettingsGetText(QStringLiteral("unit")) == QLatin1String("mph") ? 1 : 0;
    m_presenter->SetVehicleCaption(qobject_cast<CRStaticText*>(Control(kIdCarInfoCaption)), m_layout->StatusFont(),
                                   &WindowBackground());
    CTelemetryPresenter::Displays d;
    d.accelX = qobject_cast<CRStaticText*>(Control(kIdAccelX));
    d.accelY = qobject_cast<CRStaticText*>(Control(kIdAccelY));
    d.accelZ = qobject_cast<CRStaticText*>(Control(kIdAccelZ));
    d.speedNumber = qobject_cast<CRImageNum*>(Control(kIdSpeedNumber));
    d.speedGauge = qobject_cast<CRSliderCtrl*>(Control(kIdSpeedGauge));
    d.graph = qobject_cast<CGPSViewer*>(Control(kIdGraphPanel));
    d.carInfo = qobject_cast<CCarInfoViewer*>(Control(kIdCarInfoPanel));
    d.mapPlaceholder = Control(kIdMapPlaceholder);
    m_presenter->SetDisplays(d);
    m_presenter->OnBackgroundRecomposed(WindowBackground());
}
