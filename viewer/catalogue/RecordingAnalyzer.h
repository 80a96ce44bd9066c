#pragma once

#include "catalogue/RecordingEntry.h"

#include <QStringList>

#include <memory>
#include <mutex>

// Held around every telemetry extraction in the process.
extern std::recursive_mutex g_analysisLock;

// The stateless recording analyser. One process-wide instance is created on
// first use (GetAnalyzer) and may be released and made again at any time.
class CRecordingAnalyzer
{
public:
    // Adds every recording under `folder` (recursively, without extracting
    // telemetry) to `map`. Symbolic links that lead back into folders already
    // visited are not followed.
    void ScanFolder(const QString& folder, CategoryMap& map) const;

    // Every recording file under `folder` in the order ScanFolder meets them
    // (a folder's files in the file system's order, then its subfolders):
    // names ending in ".avi" or ".mp4" (any case), not empty. Unlike a map,
    // the list keeps files of the same name in different subfolders.
    QStringList ListRecordingFiles(const QString& folder) const;

    // Examines one file: adds it (and, for MP4, its front/rear partner) to
    // `map`, extracting its telemetry when `extractNow`. 1 when the file
    // exists (added or already present), 0 when it cannot be examined.
    int AnalysisFile(const QString& path, const QString& fileName, CategoryMap& map, int extractNow,
                     int expectedRole) const;

    void ExtractText(const QString& path, CTextData& textData) const;
    bool IsMp4Recording(const QString& path) const;
    int CheckH264(const QString& path) const;

    // Copies into `resultMap` the entries of `sourceMap` with a GPS fix
    // strictly inside the rectangle (NMEA degrees-and-minutes bounds) and
    // appends their keys to `resultNames`.
    void SearchByArea(double latMin, double latMax, double lonMin, double lonMax, const CategoryMap& sourceMap,
                      CategoryMap& resultMap, QStringList& resultNames) const;

    // A short, bounded connect to the map's tile host.
    bool IsInternetConnected() const;

    // The camera's names: PREFIX_yyyy_mm_dd_hh_mm_ss_C.ext. Returns the
    // partner's file name (other channel letter) or an empty text when the
    // name does not follow the pattern; `isFront` tells the channel.
    static QString PartnerFileName(const QString& fileName, bool* isFront = nullptr);

private:
    void ListInto(const QString& folder, QStringList& files, QStringList& visited, int depth) const;
};

std::shared_ptr<CRecordingAnalyzer> GetAnalyzer();
