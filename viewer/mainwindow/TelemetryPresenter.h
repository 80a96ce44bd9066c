#pragma once

#include <QByteArray>
#include <QFont>
#include <QPointer>
#include <QRgb>

class CRStaticText;
class CSkinSurface;

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

private:
    QPointer<CRStaticText> m_caption;
    QFont m_font;
    QRgb m_captionColor = 0;
    bool m_applied = false;
};
