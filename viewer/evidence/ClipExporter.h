#pragma once

#include "telemetry/TextData.h"

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <optional>

// What to cut out of a recording, and how.
struct CClipOptions {
    enum class Layout {
        AsRecorded, // every picture as it is: stream copy of all video streams
        Front,      // the front picture only
        Rear,       // the rear picture only
        SideBySide, // front left, rear right, at the taller one's height (at most 1920 wide together)
        Pip,        // front with the rear as an inset at the top right
    };

    // The recording: an AVI (one or two video streams), or either file of a
    // front/rear MP4 pair (the partner is found by the camera's naming), or a
    // single MP4.
    QString recording;
    double fromSec = 0.0; // in the recording's own time
    double toSec = 0.0;
    Layout layout = Layout::AsRecorded;
    bool overlay = false;
    bool mph = false;
    // The clip goes to outputPath when set, else to outputDir joined with
    // ClipSpan::OutputName(). An existing file there is replaced only when the
    // clip is complete.
    QString outputDir;
    QString outputPath;
    // The image library for the overlay's signal pictures; empty: beside the
    // executable. Without it the signals are drawn as shapes.
    QString imageLibrary;
    // The recording's telemetry when the caller has it; otherwise it is
    // extracted (under the analysis lock) when the overlay needs it.
    std::optional<CTextData> telemetry;
    // Encoder settings of re-encoded clips.
    QByteArray x264Preset;
    int crf = -1; // < 0: the default
};

struct CClipResult {
    bool ok = false;
    bool cancelled = false;
    QString error;          // why it failed, for the user
    QString outputPath;     // the finished clip (only when ok)
    bool streamCopy = false;
    double actualFromSec = 0.0; // where the clip really starts (a key frame when copied)
    double actualToSec = 0.0;
    qint64 videoFrames = 0;     // frames of the (first) video stream written
    QSize size;                 // of the (first) video stream
    bool audio = false;
    bool libraryPictures = false; // the overlay used the image library's pictures
    QStringList notices;        // things the user should know (start moved to a key frame, span cut...)
};

// Cuts a span out of a recording into an MP4 that common players and phones
// play: H.264 (yuv420p, even size, level set for size and rate), AAC sound
// where the recording has sound, the moov box in front.
//
// Without overlay and without a composed layout the video is copied packet
// for packet, from the last key frame at or before the span's start (the
// real start is reported); sound in AAC is copied too, other sound is
// encoded to AAC; an MP4's text track comes along. Otherwise the pictures
// are decoded, composed, given the overlay and encoded with libx264 from the
// span's first frame on.
//
// The clip is written under a temporary name in the output folder and
// renamed when complete; on failure or cancel the temporary file is removed
// and an existing clip of the same name is left as it was.
//
// Thread: Run() works on the calling thread (a worker thread in the viewer)
// and touches no widget; `progress` is called on that thread with 0..100
// when the per cent changes (at most every 100 ms, and 100 at the end);
// `cancel` is polled between frames and packets.
class CClipExporter
{
public:
    using ProgressFn = std::function<void(int percent)>;

    CClipResult Run(const CClipOptions& options, const ProgressFn& progress = {},
                    const std::atomic_bool* cancel = nullptr);

    // The recording's pictures: the front file and stream, and the rear one
    // (empty path when there is none). For an MP4 pair the front is the F file.
    struct Sources {
        QString frontPath;
        int frontVideo = -1; // index among the file's video streams
        QString rearPath;
        int rearVideo = -1;
        bool Valid() const { return !frontPath.isEmpty(); }
        bool HasRear() const { return !rearPath.isEmpty(); }
    };
    static Sources FindSources(const QString& recording, QString* error = nullptr);
    // Where the pictures go in a re-encoded clip: the output size (even) and
    // the rectangles of the front and rear pictures (empty: not shown).
    struct Composition {
        QSize out;
        QRect front;
        QRect rear;
        bool frame = false; // a thin frame around the rear inset
    };
    static Composition ComposeLayout(CClipOptions::Layout layout, QSize front, QSize rear);
    // Whole seconds of the recording (its first video stream), as the player counts them; 0 when unreadable.
    static long DurationSeconds(const QString& path);
    // The layout's name ("front", "side-by-side"...), and back; AsRecorded has none.
    static QString LayoutName(CClipOptions::Layout layout);
    static bool ParseLayout(const QString& name, CClipOptions::Layout* layout);
};
