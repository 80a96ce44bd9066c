#pragma once

// A realistic dash-camera memory card for the demo and for tests: the
// device record "SETTING/setup.cfg", the five category folders, front/rear
// MP4 pairs and AVI recordings with one or two video streams, each with a
// moving test picture (clock = the recording's local time) and the camera's
// text track: a drive through central Seoul (Gwanghwamun, Seoul Station,
// Hangang-daero, Hangang Bridge, Olympic-daero towards Yeouido) with speeds
// from 0 to 120 km/h, a stretch of invalid ('V') fixes, ten G-sensor samples
// a second with one impact, and brake and turn signals. The same seed gives
// the same bytes.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

struct CDemoCardOptions {
    quint32 seed = 1;
    // Stored at offset 8 of the device record; the viewer cuts it at "(".
    QByteArray model = "CMV550View(V2)";
    // When > 0, no recording lasts longer than this (seconds): small cards for tests.
    double maxSeconds = 0.0;
};

// One recording file as written.
struct CDemoRecording {
    QString path;         // absolute
    QString category;     // the category folder's name
    bool avi = false;
    int videoStreams = 1; // in this file
    double seconds = 0.0;
    QDateTime start;      // local camera time of the first picture
    // MP4: the text records of the text track, in order (each stored as a
    // packet with the 2-byte length prefix). AVI: the text-chunk payloads in
    // index order (text records or 112-byte split records).
    QList<QByteArray> text;
};

struct CDemoCardManifest {
    QByteArray deviceRecord;
    QList<CDemoRecording> recordings;
    qint64 totalBytes = 0;
};

// Size of the device record file.
constexpr int kDemoDeviceRecordSize = 668;

// The five category folders, in category order (continuous, continuous
// impact, manual, parking motion, parking impact).
QStringList DemoCategoryFolders();

// The 668-byte device record: model at 8, firmware text at 40, version bytes
// at 224..227, settings-program path at 228, MICOM version text at 356.
QByteArray DemoDeviceRecord(const QByteArray& model);

// The card's recordings and texts without writing anything (totalBytes 0).
CDemoCardManifest PlanDemoCard(const QString& root, const CDemoCardOptions& options);

// Writes the card into `root` (created when missing; files of the same names
// are replaced). Returns false with a reason in `error` on failure.
bool WriteDemoCard(const QString& root, const CDemoCardOptions& options, CDemoCardManifest* manifest = nullptr,
                   QString* error = nullptr);
