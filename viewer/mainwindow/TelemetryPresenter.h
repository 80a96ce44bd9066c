#pragma once

#include <QByteArray>
#include <QFont>
#include <QPointer>
#include <QRgb>

class CRStaticText;
class CSkinSurface;
class CTextData;
class QString;

// The main window's telemetry displays. So far: the caption of the
// vehicle-signal panel (control 1167), lit in its active colour for a card
// whose model sends vehicle signals and dim otherwise; the window has it
// follow the card's model whenever the title area is painted.
//
// Thread: GUI thread. Ownership: the displays belong to the window; a
// display destroyed first is simply no longer updated. Failure: none.
class CTelemetryPresenter
{
public:
    // The caption label and the font it is drawn in.
    void SetVehicleCaption(CRStaticText* caption, const QFont& font);

    // Gives the caption the colour for the card's device record (empty: no
    // card), redrawn over `background` (the window background) when it
    // changes.
    void UpdateVehicleCaption(const QByteArray& deviceRecord, const CSkinSurface& background);
    // The caption's colour as last set.
    QRgb VehicleCaptionColor() const { return m_captionColor; }

    // ---- What playback asks of the presentation ----------------------------------
    // The map page, the acceleration graph and the vehicle-signal panel join
    // with their own windows; until then each of these traces its call and
    // does nothing (SetGPSPosion answers 0: no fix shown).
    //
    // When the map area is updated: by the position timer, by a position
    // drag, or after a control release or a picture redraw.
    enum class MapOccasion { Periodic, Seek, Release };
    void ClearMapTrack();
    void ResetMapArea(bool recentre);
    void DrawMapLine(const QString& title);
    // The acceleration graph: the whole series at the start, cleared at stop.
    void DrawGraph(const CTextData* series);
    void ClearGraph();
    // The vehicle-signal caption and panel at the start of a recording: lit
    // and fed with the series for a front/rear card, dim otherwise.
    void ShowVehicleSignals(bool dualStream, const CTextData* series);
    void ClearVehicleSignals();
    // The playing second's values; 1 when a valid fix was shown on the map.
    int SetGPSPosion();
    void SetCarInfoStatus();
    void UpdateMapArea(MapOccasion occasion, int gpsResult);

private:
    QPointer<CRStaticText> m_caption;
    QFont m_font;
    QRgb m_captionColor = 0;
    bool m_applied = false;
};
