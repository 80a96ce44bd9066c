#pragma once

#include "catalogue/CatalogueIds.h"
#include "telemetry/TextData.h"

#include <QString>

#include <array>
#include <map>

// One recording file of the catalogue; owns its telemetry by value.
struct RecordingEntry {
    QString path;
    quint64 fileSize = 0;
    CTextData textData;
    int32_t channelRole = Catalogue::kRoleNone;
    int32_t h264State = Catalogue::kH264Untested;
};

// Upper-case file name -> entry, in ordinal order of the names (the camera's
// time-stamped names sort by recording time).
using CategoryMap = std::map<QString, RecordingEntry>;

// The six category maps; index 5 holds the map-area search result.
using CCatalogue = std::array<CategoryMap, Catalogue::kCategoryCount>;

inline size_t CatalogueSize(const CCatalogue& c)
{
    size_t n = 0;
    for (const CategoryMap& m : c)
        n += m.size();
    return n;
}
