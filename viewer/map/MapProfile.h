#pragma once

#include <QString>

class QWebEngineProfile;

// The user's map cache folder: $XDG_CACHE_HOME/kestrav/map (normally
// ~/.cache/kestrav/map), independent of the application and organisation
// names the process sets.
QString MapCacheFolder();

// The web engine profile every map page runs in, created on the first call
// and owned by the application object (so it outlives the pages): persistent
// under the storage name "kestrav-map", its HTTP disk cache (the tiles, up to
// 200 MB) in MapCacheFolder()/cache and its storage in
// MapCacheFolder()/storage, no persistent cookies, and a user agent that
// starts with "Kestrav/<version>" so tile servers can tell who asks.
// GUI thread; needs the QApplication.
QWebEngineProfile* MapWebProfile();
