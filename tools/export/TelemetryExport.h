#pragma once

#include "telemetry/TextData.h"

#include <QString>
#include <QStringList>

namespace Export {

// GPX 1.1: one track of the valid fixes, with UTC time, decimal-degree
// position, and speed (m/s) and course in the Garmin track-point extension.
QByteArray ToGpx(const QString& name, const CTextData& data);

// KML 2.2: one placemark holding a gx:Track of the valid fixes (a <when>
// and a <gx:coord> each, longitude latitude 0), with the speed (km/h) and
// course of every fix in its ExtendedData arrays, so that mapping programs
// can replay the drive; the placemark's TimeSpan covers the track.
QByteArray ToKml(const QString& name, const CTextData& data);

// GeoJSON (RFC 7946): a FeatureCollection with one Feature for the track of
// the valid fixes - a LineString (a Point for a single fix, no feature for
// none) - whose properties carry the name, "coordTimes" (UTC, ISO 8601),
// "speeds_kmh" and "courses", one entry per coordinate.
QByteArray ToGeoJson(const QString& name, const CTextData& data);

// Raw samples as the viewer stores them: latitude/longitude in the NMEA
// degrees-and-minutes form, doubles in the shortest text that reads back
// exactly.
QByteArray GpsCsv(const CTextData& data);
QByteArray GSensorCsv(const CTextData& data);
QByteArray CarCsv(const CTextData& data);

// The recording's length in seconds from its container (FFmpeg), 0 when it
// cannot be read.
double MediaDurationSeconds(const QString& path);

// Among `recordings`, the rear files of front/rear MP4 pairs whose front file
// is listed too (they carry the same telemetry).
QStringList RearsWithListedFront(const QStringList& recordings);

// Shortest decimal text that reads back to exactly `v`.
QByteArray ShortestDouble(double v);

// The recordings named by `inputs`, each file once (by its canonical path),
// in input order: files as they are; a folder with a device record
// ("SETTING/setup.cfg") as a memory card, its category folders in scan order;
// any other folder recursively. Files of the same name in different folders
// are all listed. Inputs that do not exist go to `missing`.
QStringList CollectRecordings(const QStringList& inputs, QStringList& missing);

// Output base names for `recordings`, one per entry and all distinct
// (compared without regard to case, as the output folder may ignore it): the
// file name, or for a name met before the file name followed by "~" and its
// folder's name, then "~2", "~3"... until it is free.
QStringList OutputNames(const QStringList& recordings);

} // namespace Export
