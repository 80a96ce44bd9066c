#pragma once

#include "engine/EngineIds.h"

#include <QDeadlineTimer>
#include <QList>
#include <QString>

#include <memory>
#include <mutex>

typedef struct _GstElement GstElement;
typedef struct _GstPad GstPad;
class CDemuxPads;

// The MP4 dual source: one element of the pipeline (a bin) that reads a
// recording and, when it has one, its partner from the other camera
// (REC_..._F.MP4 / REC_..._R.MP4 in the same folder), each through
// filesrc ! qtdemux, under the pipeline's one clock.
//
// Output pads, in this order: the front camera's video, the front file's
// audio (when it has any), the rear camera's video (when a partner is played).
// The front camera is the file whose channel letter is 'F'; a file without a
// partner, or any file in single-stream mode, is played alone as the front.
//
// Call order as the engine uses it: Create, SetSingleStream (optional), Load,
// GetStreamInfo / GetAudioTrackCount, link the pads, ReleaseStreams.
// GUI thread only, except NoteError.
class CMp4DualSource
{
public:
    CMp4DualSource();
    ~CMp4DualSource();
    CMp4DualSource(const CMp4DualSource&) = delete;
    CMp4DualSource& operator=(const CMp4DualSource&) = delete;

    // Builds the (still empty) element named `graphName`. False, with the
    // missing factory in `missing`, when a plug-in is not installed.
    bool Create(const char* graphName, QString* missing);
    GstElement* Element() const { return m_bin; }

    // Single-stream mode (1): only the loaded file is played. Before Load.
    Engine::HRESULT SetSingleStream(int single);
    // Opens the file (and its partner unless single), reads their headers and
    // exposes the output pads; the data waits until ReleaseStreams. All the
    // waiting (both files) ends by `deadline`. A partner that cannot be
    // opened or read in time is left out; a front file that cannot be is the
    // failure of Load (VFW_E_TIMEOUT when its time ran out).
    Engine::HRESULT Load(const QString& path, const QDeadlineTimer& deadline);
    // `second` is non-zero when a rear video stream is played; `first` is the
    // number of front video streams (0 or 1).
    Engine::HRESULT GetStreamInfo(int* first, int* second) const;
    // Audio streams of the front file.
    Engine::HRESULT GetAudioTrackCount(int16_t* count) const;
    // Lets the media flow into the linked pads (unlinked ones are ignored).
    void ReleaseStreams();
    // From the bus (any thread), for every error message.
    void NoteError(void* gstObject);

    QString FrontPath() const { return m_frontPath; }
    QString RearPath() const { return m_rearPath; }

    // The partner's path by the camera's naming (prefix, six date and time
    // numbers, channel letter, extension); empty when the name does not follow it.
    static QString PartnerPath(const QString& path);
    // True when the file name's channel letter is 'F'.
    static bool IsFrontName(const QString& path);

private:
    struct Reader;
    std::unique_ptr<Reader> OpenReader(const QString& path, const char* role, const QDeadlineTimer& deadline,
                                       Engine::HRESULT* hr);
    void DropReader(std::unique_ptr<Reader>& reader);
    void ExposePad(GstPad* target, const char* name);

    GstElement* m_bin = nullptr;
    bool m_single = false;
    std::unique_ptr<Reader> m_front;
    std::unique_ptr<Reader> m_rear;
    QString m_frontPath;
    QString m_rearPath;
    int m_frontVideo = 0;
    int m_rearVideo = 0;
    int m_audioTracks = 0;
    // The readers' pad gates that bus errors are routed to (any thread).
    std::mutex m_watchMutex;
    QList<CDemuxPads*> m_watching;
};
