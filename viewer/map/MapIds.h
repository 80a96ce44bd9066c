#pragma once

#include <QtGlobal>

// Fixed values of the map view: control id, page, script bridge limits,
// tile source defaults, engine profile.
namespace MapIds {

// The map browser's control id in the main window.
inline constexpr int kIdMapBrowser = 1500;

// The map page, in the program folder beside the viewer; Leaflet lies in
// the folder "leaflet" next to it.
inline constexpr const char* kMapPageFile = "mapView.htm";

// The page functions the viewer calls (the page's contract). Numbers in
// them are printed with six decimals and a '.' decimal point.
// The position marker at longitude, latitude: "MapMoveToAuto('%f','%f',-1)".
inline constexpr const char* kScriptMoveTo = "MapMoveToAuto('%f','%f',-1)";
// The empty map recentred.
inline constexpr const char* kScriptRecentre = "MapMoveToAuto('0','0',-1)";
// The track: %1 is the point list "lon,lat|lon,lat...".
inline constexpr const char* kScriptAddPolyLine = "addPolyLine('%1',\"red\",4,0.5)";
inline constexpr const char* kScriptRemovePolyLine = "removePolyLine()";
inline constexpr const char* kScriptRemovePoint = "removePoint()";
inline constexpr const char* kScriptGetExtent = "fnGetExtentWGS84()";

// Result of a script call that was not sent (no internet, empty code, page
// not ready or lost).
inline constexpr int kScriptNotSent = -1;
// Result of a script call handed to the page.
inline constexpr int kScriptSent = 0;

// How long ExecScriptGetValue waits for the page's answer.
inline constexpr int kGetValueTimeoutMs = 1000;

// How often the page is reloaded after its renderer process died, per
// navigation.
inline constexpr int kMaxPageReloads = 1;

// Query items the page reads its tile source from.
inline constexpr const char* kTileUrlQueryItem = "tileurl";
inline constexpr const char* kAttributionQueryItem = "attribution";

// The default tile source: OpenStreetMap's standard tiles. The service's
// policy asks for the attribution to be shown.
inline constexpr const char* kDefaultTileUrl = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
inline constexpr const char* kDefaultAttribution = "\xC2\xA9 OpenStreetMap contributors"; // UTF-8 "(c)"

// The web engine profile the map page runs in: persistent, with its HTTP
// disk cache (the tiles) in the user's cache folder,
// $XDG_CACHE_HOME/kestrav/map (normally ~/.cache/kestrav/map).
inline constexpr const char* kProfileName = "kestrav-map";
inline constexpr const char* kCacheFolderName = "kestrav/map";
inline constexpr qint64 kHttpCacheMaxBytes = 200LL * 1024 * 1024;
// User agent: this product token in front of the engine's own.
inline constexpr const char* kUserAgentProduct = "Kestrav/";

} // namespace MapIds
