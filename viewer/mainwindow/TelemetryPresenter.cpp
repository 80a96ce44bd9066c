#include "mainwindow/TelemetryPresenter.h"

#include "base/TraceLog.h"
#include "catalogue/MemoryCard.h"
#include "catalogue/RecordingAnalyzer.h"
#include "engine/ITransport.h"
#include "mainwindow/MainWindowIds.h"
#include "map/MapBridge.h"
#include "map/MapIds.h"
#include "skin/RImageNum.h"
#include "skin/RStaticText.h"
#include "skin/SkinSlider.h"
#include "skin/SkinText.h"
#include "windows/CarInfoViewer.h"
#include "windows/GPSViewer.h"

#include <QDate>
#include <QWidget>

#include <algorithm>
#include <mutex>

using namespace MainWnd;

namespace {

// A GPS sample's date and time in seconds on one scale (only differences
// are used). Month and day below 1 count as 1; fields beyond their range
// carry over into the next (31 February is 3 March, second 60 the next
// minute), as the calendar functions of C do. The stamps are the camera's
// UTC: no daylight-saving rule applies between two of them.
qint64 SampleSeconds(const CGPSData& s)
{
    const int month = s.month > 0 ? s.month : 1;
    const int day = s.day > 0 ? s.day : 1;
    const QDate date = QDate(2000 + s.year, 1, 1).addMonths(month - 1).addDays(day - 1);
    const qint64 days = date.isValid() ? date.toJulianDay() : 0;
    return days * 86400 + qint64(s.hour) * 3600 + qint64(s.minute) * 60 + qint64(s.second);
}

} // namespace

CTelemetryPresenter::CTelemetryPresenter() = default;
CTelemetryPresenter::~CTelemetryPresenter() = default;

void CTelemetryPresenter::Bind(const State& state)
{
    m_state = state;
}

void CTelemetryPresenter::SetDisplays(const Displays& d)
{
    m_accel[0] = d.accelX;
    m_accel[1] = d.accelY;
    m_accel[2] = d.accelZ;
    m_speedNumber = d.speedNumber;
    m_speedGauge = d.speedGauge;
    m_graph = d.graph;
    m_carInfo = d.carInfo;
    m_placeholder = d.mapPlaceholder;
    ApplyMapArea();
}

void CTelemetryPresenter::SetMap(IMapBridge* bridge, QWidget* view)
{
    m_bridge = bridge;
    m_mapView = view;
    ApplyMapArea();
}

bool CTelemetryPresenter::MapBusy() const
{
    return m_bridge && m_bridge->IsBusy();
}

long CTelemetryPresenter::Position() const
{
    return m_clock ? m_clock->GetPosition() : 0;
}

long CTelemetryPresenter::Duration() const
{
    return m_clock ? m_clock->GetDuration() : 0;
}

int CTelemetryPresenter::Exec(const QString& script)
{
    if (!m_bridge)
        return MapIds::kScriptNotSent;
    return m_bridge->ExecScript(script);
}

// ---- The vehicle-signal caption --------------------------------------------------------------

void CTelemetryPresenter::SetVehicleCaption(CRStaticText* caption, const QFont& font, const CSkinSurface* background)
{
    m_caption = caption;
    m_font = font;
    m_captionBackground = background;
    m_applied = false;
}

void CTelemetryPresenter::UpdateVehicleCaption(const QByteArray& deviceRecord, const CSkinSurface& background)
{
    const bool lit =
        !deviceRecord.isEmpty() && DeviceModelName(deviceRecord) == QLatin1String(kModelWithVehicleSignals);
    SetCaptionColor(lit ? kColorCaptionActive : kColorCaptionInactive, background);
}

void CTelemetryPresenter::SetCaptionColor(QRgb color, const CSkinSurface& background)
{
    if (!m_caption)
        return;
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

void CTelemetryPresenter::OnBackgroundRecomposed(const CSkinSurface& background)
{
    if (m_graph) {
        m_graph->CaptureBackground(background);
        if (m_lineShown >= 0)
            m_graph->SetPositionLine(m_lineShown);
    }
    if (m_carInfo) {
        m_carInfo->CaptureBackground(background);
        if (m_signals[0] || m_signals[1] || m_signals[2])
            m_carInfo->SetStatus(m_signals[0], m_signals[1], m_signals[2]);
    }
}

// ---- Series ---------------------------------------------------------------------------------------

void CTelemetryPresenter::TakeSeries(const CTextData* series)
{
    if (!series) {
        m_series.reset();
        return;
    }
    std::shared_ptr<CTextData> copy;
    {
        std::lock_guard<std::recursive_mutex> lock(g_analysisLock);
        copy = std::make_shared<CTextData>(*series);
    }
    m_series = std::move(copy);
}

// ---- Pure rules --------------------------------------------------------------------------------

double CTelemetryPresenter::ToDegrees(double nmea)
{
    return CGPSData::ToDecimalDegrees(nmea);
}

QString CTelemetryPresenter::AxisText(char axis, int raw)
{
    const float v = float(raw) / 128.0f;
    // The minus sign takes the place of the blank.
    return v < 0.0f ? QString::asprintf("%c :%0.2f", axis, double(v)) : QString::asprintf("%c : %0.2f", axis, double(v));
}

int CTelemetryPresenter::ShownSpeed(int kmh, int unit)
{
    if (unit == 1)
        return int(kmh * kMilesPerKilometre + 0.5);
    return kmh;
}

float CTelemetryPresenter::GaugeLevel(int kmh)
{
    const double level = kmh / kGaugeFullScaleKmh * 100.0;
    return float(std::min(level, 100.0));
}

int CTelemetryPresenter::ChooseIndex(size_t n, long pos, long dur)
{
    if (n == 0 || dur <= 0)
        return 0;
    long long i = (long long)n * (long long)pos / (long long)dur;
    i = std::clamp<long long>(i, 0, (long long)n - 1);
    return int(i);
}

int CTelemetryPresenter::ChooseGpsSample(const std::vector<CGPSData>& samples, long pos, long dur)
{
    const long m = long(samples.size());
    if (m == 0)
        return -1;
    const int last = int(m - 1);
    if (m >= dur) {
        // One sample per second of video.
        if (pos >= m || pos == dur)
            return last;
        return int(std::max(0L, pos));
    }
    // Fewer samples than seconds: by the samples' own clock.
    if (pos == dur)
        return last;
    const qint64 target = SampleSeconds(samples.front()) + pos;
    for (long k = 0; k < m; ++k)
        if (SampleSeconds(samples[size_t(k)]) >= target)
            return int(k);
    return pos > m ? -1 : last;
}

QString CTelemetryPresenter::TrackPoints(const std::vector<CGPSData>& samples)
{
    QString text;
    bool any = false;
    double lastLat = 0.0;
    double lastLon = 0.0;
    for (const CGPSData& s : samples) {
        if (s.latitude == 0.0 || s.longitude == 0.0)
            continue;
        if (any && s.latitude == lastLat && s.longitude == lastLon)
            continue;
        if (!text.isEmpty())
            text += QLatin1Char('|');
        text += QString::asprintf("%f,%f", ToDegrees(s.longitude), ToDegrees(s.latitude));
        any = true;
        lastLat = s.latitude;
        lastLon = s.longitude;
    }
    return text;
}

QString CTelemetryPresenter::MoveToScript(double lon, double lat)
{
    return QString::asprintf(MapIds::kScriptMoveTo, lon, lat);
}

// ---- The playing second ------------------------------------------------------------------------

void CTelemetryPresenter::SetNoFix()
{
    if (m_speedNumber)
        m_speedNumber->SetValue(-1); // keeps what it shows
    if (m_speedGauge)
        m_speedGauge->SetValue(0.0f);
}

int CTelemetryPresenter::SetGPSPosion()
{
    TraceLog(QStringLiteral("SetGPSPosion START -------------------------------------->"));
    const long pos = Position();
    const long dur = Duration();
    const CTextData* series = m_series.get();
    if (!series || dur == 0)
        return 0;

    // Acceleration.
    const size_t n = series->gsensorList.size();
    if (n > 0) {
        const int i = ChooseIndex(n, pos, dur);
        const CGSensorData& g = series->gsensorList[size_t(i)];
        const int raw[3] = {g.x, g.y, g.z};
        for (int axis = 0; axis < 3; ++axis)
            if (m_accel[axis])
                m_accel[axis]->SetText(AxisText("XYZ"[axis], raw[axis]));
        TraceLogF("SetGSensor [%d,%d,%d] at %d / %d", g.x, g.y, g.z, i, int(n));
        const int line = int((long long)pos * 100 / dur);
        TraceLogF("SetCLine(%d) at Time %d Totla %d", line, int(pos), int(dur));
        m_lineShown = line;
        if (m_graph)
            m_graph->SetPositionLine(line);
    }

    // GPS.
    const std::vector<CGPSData>& gps = series->gpsList;
    if (gps.empty()) {
        SetNoFix();
        return 0;
    }
    const int m = int(gps.size());
    const int k = ChooseGpsSample(gps, pos, dur);
    if (k < 0) {
        SetNoFix();
        return 0;
    }
    const CGPSData& s = gps[size_t(k)];
    if (!s.valid) {
        TraceLogF("GPS NEMA is not Valid.[%d] at %d/%d", int(pos), k, m);
        if (m_speedNumber)
            m_speedNumber->SetValue(0);
        return 0;
    }
    if (MapPending() == 1) {
        *m_state.mapPending = 0;
        ResetMapArea(false);
    }
    const double lat = ToDegrees(s.latitude);
    const double lon = ToDegrees(s.longitude);

    const int kmh = int(s.speed);
    const int unit = m_state.speedUnit ? *m_state.speedUnit : 0;
    const int shown = ShownSpeed(kmh, unit);
    if (m_speedNumber)
        m_speedNumber->SetValue(shown);
    const float level = GaugeLevel(kmh);
    TraceLogF("Time %d / Totla %d  / GPS Time %02d:%02d:%02d", int(pos), int(dur), s.hour, s.minute, s.second);
    if (m_speedGauge)
        m_speedGauge->SetValue(level);
    if (unit == 1)
        TraceLogF("Speed  %d mph   %f level)", shown, double(level));
    else
        TraceLogF("Speed  %d km   %f level)", kmh, double(level));

    TraceLogF("GPS Map (Lng %f, Lat %f) at %d of %d", lon, lat, k, m);
    if (Exec(MoveToScript(lon, lat)) < 0)
        return 0;
    TraceLog(QStringLiteral("SetGPSPosion END <-------------------------------------"));
    return 1;
}

void CTelemetryPresenter::SetCarInfoStatus()
{
    TraceLog(QStringLiteral("SetCarInfoStatus ------------------------------------>"));
    const CTextData* series = m_series.get();
    if (!series)
        return;
    const size_t c = series->carInfoList.size();
    const long dur = Duration();
    if (c > 0 && dur > 0) {
        const CCarInfoData& s = series->carInfoList[size_t(ChooseIndex(c, Position(), dur))];
        m_signals[0] = s.brake;
        m_signals[1] = s.left;
        m_signals[2] = s.right;
        if (m_carInfo)
            m_carInfo->SetStatus(s.brake, s.left, s.right, s.active);
    }
    TraceLog(QStringLiteral("SetCarInfoStatus ------------------------------------>"));
}

// ---- The map -----------------------------------------------------------------------------------

void CTelemetryPresenter::ClearMapTrack()
{
    Exec(QString::fromLatin1(MapIds::kScriptRemovePolyLine));
    Exec(QString::fromLatin1(MapIds::kScriptRemovePoint));
    Exec(QString::fromLatin1(MapIds::kScriptRecentre));
    m_trackText.clear();
}

void CTelemetryPresenter::DrawMapLine(const QString& title)
{
    QString points;
    CategoryMap* map = m_state.currentCategoryMap ? *m_state.currentCategoryMap : nullptr;
    if (map) {
        // The analysis thread writes the entries' series under this lock.
        std::lock_guard<std::recursive_mutex> lock(g_analysisLock);
        const auto it = map->find(title);
        if (it != map->end())
            points = TrackPoints(it->second.textData.gpsList);
    }
    m_trackText = points;
    if (points.isEmpty()) {
        if (m_state.trackDrawn)
            *m_state.trackDrawn = 0;
        return;
    }
    Exec(QString::fromLatin1(MapIds::kScriptAddPolyLine).arg(points));
    if (m_state.trackDrawn)
        *m_state.trackDrawn = 1;
}

void CTelemetryPresenter::ResetMapArea(bool recentre)
{
    if (RearShown()) {
        PlaceMapArea(false, false);
    } else if (MapPending() == 1) {
        PlaceMapArea(false, true);
    } else if (recentre) {
        Exec(QString::fromLatin1(MapIds::kScriptRemovePoint));
        Exec(QString::fromLatin1(MapIds::kScriptRecentre));
        if (SetGPSPosion() == 1)
            PlaceMapArea(true, false);
    } else {
        PlaceMapArea(false, true);
    }
}

void CTelemetryPresenter::UpdateMapArea(MapOccasion occasion, int gpsResult)
{
    const bool rear = RearShown();
    switch (occasion) {
    case MapOccasion::Periodic:
        if (!rear)
            PlaceMapArea(gpsResult == 1, gpsResult != 1);
        break;
    case MapOccasion::Seek:
        if (rear)
            PlaceMapArea(false, false);
        else
            PlaceMapArea(gpsResult == 1, false);
        break;
    case MapOccasion::Release:
        PlaceMapArea(false, !rear);
        break;
    case MapOccasion::Redraw:
        // The video windows repaint for every new picture while a recording
        // is open; the map area follows the position then, not the paints.
        if (!m_clock || m_clock->GetState() == STATE_STOP)
            PlaceMapArea(false, !rear);
        break;
    }
}

void CTelemetryPresenter::PlaceMapArea(bool mapShown, bool placeholderShown)
{
    m_mapShown = mapShown;
    m_placeholderShown = placeholderShown;
    ApplyMapArea();
}

void CTelemetryPresenter::ApplyMapArea()
{
    const QRect area = m_state.mapArea ? m_state.mapArea->ToQRect() : QRect();
    auto place = [&area](QWidget* w, bool shown) {
        if (!w)
            return;
        if (shown) {
            if (w->geometry() != area)
                w->setGeometry(area);
            if (!w->isVisible())
                w->show();
        } else if (!w->geometry().isEmpty()) {
            w->setGeometry(QRect(0, 0, 0, 0));
        }
    };
    place(m_mapView, m_mapShown);
    place(m_placeholder, m_placeholderShown);
}

void CTelemetryPresenter::OnMapPageReady()
{
    if (!m_series)
        return;
    // A page that loads (or reloads) while a recording is open has missed
    // the track and the position: both are given to it now.
    if (!m_trackText.isEmpty())
        Exec(QString::fromLatin1(MapIds::kScriptAddPolyLine).arg(m_trackText));
    if (m_clock && m_clock->GetState() != STATE_STOP)
        UpdateMapArea(MapOccasion::Periodic, SetGPSPosion());
}

void CTelemetryPresenter::OnMapPageLost()
{
    TraceLog(QStringLiteral("Kestrav : map page lost, the placeholder stands in"));
    PlaceMapArea(false, !RearShown());
}

// ---- The graph and the vehicle signals ---------------------------------------------------------

void CTelemetryPresenter::DrawGraph(const CTextData* series)
{
    m_lineShown = -1;
    if (!m_graph)
        return;
    if (series)
        m_graph->DrawGraph(*series);
    else
        m_graph->ClearGraph();
}

void CTelemetryPresenter::ClearGraph()
{
    m_lineShown = -1;
    if (m_graph)
        m_graph->ClearGraph();
}

void CTelemetryPresenter::ShowVehicleSignals(bool dualStream, const CTextData*)
{
    if (m_captionBackground)
        SetCaptionColor(dualStream ? kColorCaptionActive : kColorCaptionInactive, *m_captionBackground);
    if (dualStream)
        ClearVehicleSignals();
}

void CTelemetryPresenter::ClearVehicleSignals()
{
    m_signals[0] = m_signals[1] = m_signals[2] = 0;
    if (m_carInfo)
        m_carInfo->SetStatus(0, 0, 0, 0);
}
