#pragma once

#include "catalogue/RecordingEntry.h"
#include "skin/SkinRect.h"
#include "telemetry/TextData.h"

#include <QFont>
#include <QPointer>
#include <QRgb>
#include <QString>

#include <memory>

class CCarInfoViewer;
class CGPSViewer;
class CRImageNum;
class CRSliderCtrl;
class CRStaticText;
class CSkinSurface;
class IMapBridge;
class ITransport;
class QWidget;

// The main window's telemetry presentation: for the playing second it picks
// the samples of the recording's series and shows them - the acceleration
// values (statics 1158-1160) and the graph's position line (1161), the speed
// as a number (1157) and a gauge (1205), the vehicle signals (1166) and the
// vehicle's position on the map page (1500) - and it decides what the map
// area of the right column shows: the map, its placeholder picture (1308),
// or neither. It draws the recording's track when playback starts and
// clears the map when it stops.
//
// Series. The presentation works on its own copy of the playing
// recording's series (TakeSeries), taken under g_analysisLock: the analysis
// thread may replace a catalogue entry's series at any time (a recording
// without acceleration samples is extracted again), so nothing here reads a
// catalogue entry's series outside that lock.
//
// The window's shared state (mapPending, trackDrawn, rearShown, speedUnit,
// currentCategoryMap, the map area) stays the window's; the presentation
// reads and writes it through the pointers given to Bind.
//
// Numbers in map scripts are printed in the C locale ('.' as the decimal
// point) whatever the process's locale.
//
// Thread: GUI thread only. Ownership: the displays and the map view belong
// to the window (a display destroyed first is simply no longer updated); the
// map bridge must outlive the presenter or be replaced first (SetMap).
// Failure: none reported; a script the map does not take counts as "no
// position shown" (SetGPSPosion answers 0).
class CTelemetryPresenter
{
public:
    // The window's fields the presentation works on. All must be set.
    struct State {
        int* mapPending = nullptr;
        int* trackDrawn = nullptr;
        const int* rearShown = nullptr;
        const int* speedUnit = nullptr;
        CategoryMap* const* currentCategoryMap = nullptr;
        const SkinRect* mapArea = nullptr;
    };
    // The displays; any may be null (then it is not updated).
    struct Displays {
        CRStaticText* accelX = nullptr;
        CRStaticText* accelY = nullptr;
        CRStaticText* accelZ = nullptr;
        CRImageNum* speedNumber = nullptr;
        CRSliderCtrl* speedGauge = nullptr;
        CGPSViewer* graph = nullptr;
        CCarInfoViewer* carInfo = nullptr;
        QWidget* mapPlaceholder = nullptr;
    };

    CTelemetryPresenter();
    ~CTelemetryPresenter();

    void Bind(const State& state);
    void SetDisplays(const Displays& displays);
    // The playing position and duration (whole seconds) come from here.
    void SetClock(const ITransport* transport) { m_clock = transport; }
    // The map page: its script bridge and the widget placed in the map area
    // (the browser; null in tests that only record scripts). May be set late
    // (the browser is made after the window first shows): the map area's
    // current decision is applied to the view at once.
    void SetMap(IMapBridge* bridge, QWidget* view);
    IMapBridge* MapBridge() const { return m_bridge; }
    // True while the map bridge waits for the page (a nested event loop):
    // a periodic handler must then return at once.
    bool MapBusy() const;

    // ---- The vehicle-signal caption (1167) ---------------------------------------
    // The caption label and its font; `background` is the window background
    // the caption is drawn over (owned by the window).
    void SetVehicleCaption(CRStaticText* caption, const QFont& font, const CSkinSurface* background = nullptr);
    // The window picture was composed again: the caption takes the colour for
    // the card's device record (active only for the model that sends vehicle
    // signals; empty record: no card).
    void UpdateVehicleCaption(const QByteArray& deviceRecord, const CSkinSurface& background);
    // The caption's colour as last set.
    QRgb VehicleCaptionColor() const { return m_captionColor; }

    // The window background was composed again (new size, right column, title
    // area): the panels copy the part under them anew and show what they
    // showed before.
    void OnBackgroundRecomposed(const CSkinSurface& background);

    // ---- Playback's calls ------------------------------------------------------------
    // The series of the recording that starts (a copy is taken under
    // g_analysisLock); null when playback stops. Series() is that copy.
    void TakeSeries(const CTextData* series);
    const CTextData* Series() const { return m_series.get(); }

    // When the map area is updated: by the position timer, by a position
    // drag, after a control release, or after a video window repainted.
    enum class MapOccasion { Periodic, Seek, Release, Redraw };

    // removePolyLine(), removePoint(), MapMoveToAuto('0','0',-1).
    void ClearMapTrack();
    // Places the map or its placeholder for the playing state; with
    // `recentre` the marker is reset and the position shown anew.
    void ResetMapArea(bool recentre);
    // The track of the catalogue entry `title` (in currentCategoryMap) as one
    // polyline; trackDrawn says whether there was one to draw.
    void DrawMapLine(const QString& title);
    // The acceleration graph: the whole series at the start, cleared at stop.
    void DrawGraph(const CTextData* series);
    void ClearGraph();
    // The vehicle-signal caption and panel at the start of a recording: the
    // caption lit for a front/rear card and dim otherwise; the panel's
    // signals off until the first sample is shown.
    void ShowVehicleSignals(bool dualStream, const CTextData* series);
    void ClearVehicleSignals();
    // The playing second's values; 1 when a valid fix was shown and the map
    // took the position, 0 otherwise.
    int SetGPSPosion();
    // The playing second's vehicle signals.
    void SetCarInfoStatus();
    // The map area after `occasion`, from SetGPSPosion's result (0 for a
    // release or a redraw).
    void UpdateMapArea(MapOccasion occasion, int gpsResult);

    // The map page became ready (again): the playing recording's track is
    // drawn on it. The page was lost (its renderer ended): the map counts
    // as not shown and the placeholder takes its place.
    void OnMapPageReady();
    void OnMapPageLost();

    // ---- What the map area shows (for the window and tests) ---------------------------
    bool MapShown() const { return m_mapShown; }
    bool PlaceholderShown() const { return m_placeholderShown; }

    // ---- Pure rules ------------------------------------------------------------------
    // NMEA degrees-and-minutes to decimal degrees (integer part / 100 gives
    // the degrees, the rest are minutes), keeping the sign.
    static double ToDegrees(double nmea);
    // "X :%0.2f" for a negative value, "X : %0.2f" otherwise (C locale).
    static QString AxisText(char axis, int raw);
    // The speed number for `kmh` (truncated km/h) in `unit` (0 km/h, 1 mph).
    static int ShownSpeed(int kmh, int unit);
    // The gauge level 0..100 for `kmh` (full scale 200 km/h, any unit).
    static float GaugeLevel(int kmh);
    // The index of the GPS sample for second `pos` of `dur`, or -1 when the
    // position has no fix (samples stamped too early).
    static int ChooseGpsSample(const std::vector<CGPSData>& samples, long pos, long dur);
    // The acceleration sample index for second `pos` of `dur` (n > 0).
    static int ChooseIndex(size_t n, long pos, long dur);
    // The point list of a track ("lon,lat|lon,lat..."), empty without points.
    static QString TrackPoints(const std::vector<CGPSData>& samples);
    // "MapMoveToAuto('<lon>','<lat>',-1)" with six decimals.
    static QString MoveToScript(double lon, double lat);

private:
    int Exec(const QString& script);
    void PlaceMapArea(bool mapShown, bool placeholderShown);
    void ApplyMapArea();
    void SetCaptionColor(QRgb color, const CSkinSurface& background);
    void SetNoFix();
    long Position() const;
    long Duration() const;
    bool RearShown() const { return m_state.rearShown && *m_state.rearShown == 1; }
    int MapPending() const { return m_state.mapPending ? *m_state.mapPending : 0; }

    State m_state;
    QPointer<CRStaticText> m_accel[3];
    QPointer<CRImageNum> m_speedNumber;
    QPointer<CRSliderCtrl> m_speedGauge;
    QPointer<CGPSViewer> m_graph;
    QPointer<CCarInfoViewer> m_carInfo;
    QPointer<QWidget> m_placeholder;
    QPointer<QWidget> m_mapView;
    IMapBridge* m_bridge = nullptr;
    const ITransport* m_clock = nullptr;

    std::shared_ptr<const CTextData> m_series;
    QString m_trackText; // the point list drawn last (sent again to a page that reloads)

    // The map area's decision, kept for a map view that arrives late and for
    // skipping placements that change nothing.
    bool m_mapShown = false;
    bool m_placeholderShown = false;

    // What the panels showed, restored after a new background.
    int m_lineShown = -1;
    int m_signals[3] = {0, 0, 0}; // brake, left, right

    QPointer<CRStaticText> m_caption;
    const CSkinSurface* m_captionBackground = nullptr;
    QFont m_font;
    QRgb m_captionColor = 0;
    bool m_applied = false;
};
