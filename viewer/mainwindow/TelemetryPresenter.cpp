#include "mainwindow/TelemetryPresenter.h"

#include "catalogue/MemoryCard.h"
#include "mainwindow/MainWindowIds.h"
#include "skin/RStaticText.h"
#include "skin/SkinText.h"
#include "base/TraceLog.h"

using namespace MainWnd;

void CTelemetryPresenter::SetVehicleCaption(CRStaticText* caption, const QFont& font)
{
    m_caption = caption;
    m_font = font;
    m_applied = false;
}

void CTelemetryPresenter::UpdateVehicleCaption(const QByteArray& deviceRecord, const CSkinSurface& background)
{
    if (!m_caption)
        return;
    const bool lit =
        !deviceRecord.isEmpty() && DeviceModelName(deviceRecord) == QLatin1String(kModelWithVehicleSignals);
    const QRgb color = lit ? kColorCaptionActive : kColorCaptionInactive;
    if (m_applied && color == m_captionColor)
        return;
    m_applied = true;
    m_captionColor = color;
    SkinTextStyle style;
    style.text = m_caption->Text();
    style.normalColor = QColor::fromRgb(color);
    style.disabledColor = style.normalColor;
    style.overColor = style.normalColor;
    style.pressColor = style.normalColor;
    style.fontHeight = kCarInfoCaptionFontHeight;
    style.align = 0;
    m_caption->SetImage(QString(), m_font, &background, style);
}

// ---- What playback asks of the presentation (joins with the panels and the map) ----

void CTelemetryPresenter::ClearMapTrack()
{
    TraceLog(QStringLiteral("Kestrav : ClearMapTrack joins with the map page"));
}

void CTelemetryPresenter::ResetMapArea(bool recentre)
{
    TraceLogF("Kestrav : ResetMapArea(%d) joins with the map page", recentre ? 1 : 0);
}

void CTelemetryPresenter::DrawMapLine(const QString& title)
{
    TraceLogF("Kestrav : DrawMapLine(%s) joins with the map page", title.toLocal8Bit().constData());
}

void CTelemetryPresenter::DrawGraph(const CTextData*)
{
    TraceLog(QStringLiteral("Kestrav : the acceleration graph joins with its panel"));
}

void CTelemetryPresenter::ClearGraph()
{
    TraceLog(QStringLiteral("Kestrav : the acceleration graph joins with its panel (clear)"));
}

void CTelemetryPresenter::ShowVehicleSignals(bool dualStream, const CTextData*)
{
    TraceLogF("Kestrav : the vehicle-signal panel joins with its window (dual %d)", dualStream ? 1 : 0);
}

void CTelemetryPresenter::ClearVehicleSignals()
{
    TraceLog(QStringLiteral("Kestrav : the vehicle-signal panel joins with its window (clear)"));
}

int CTelemetryPresenter::SetGPSPosion()
{
    TraceLog(QStringLiteral("Kestrav : SetGPSPosion joins with the telemetry panels"));
    return 0;
}

void CTelemetryPresenter::SetCarInfoStatus()
{
    TraceLog(QStringLiteral("Kestrav : SetCarInfoStatus joins with the vehicle-signal panel"));
}

void CTelemetryPresenter::UpdateMapArea(MapOccasion occasion, int gpsResult)
{
    TraceLogF("Kestrav : map area update %d (%d) joins with the map page", int(occasion), gpsResult);
}
