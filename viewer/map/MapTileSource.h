#pragma once

#include <QString>
#include <QUrl>

// Where the map page takes its tiles from, and how the page learns it.
struct CMapTileSource
{
    QString url;         // Leaflet URL template, e.g. https://host/{z}/{x}/{y}.png
    QString attribution; // plain text the page always shows
};

// OpenStreetMap's standard tiles with their attribution.
CMapTileSource DefaultMapTileSource();

// The settings file's "maptileurl" and "mapattribution" (section "install");
// a key that is missing or empty, or a settings file that is not loaded,
// gives the default for that key. GUI thread (reads g_settings).
CMapTileSource MapTileSourceFromSettings();

// The URL to load for the page at `location`: a local file path (absolute,
// or already a file: URL) becomes a file URL carrying the tile source as
// the query items "tileurl" and "attribution". A location that is not a
// local file, or that carries a query of its own, is returned unchanged
// (as QUrl::fromUserInput reads it).
QUrl MapPageUrl(const QString& location, const CMapTileSource& source);

// "<program folder>/mapView.htm".
QString MapPagePath();
