#pragma once

#include <QList>
#include <QString>

#include <condition_variable>
#include <mutex>

typedef struct _GstElement GstElement;
typedef struct _GstPad GstPad;

// Small helpers over GStreamer shared by the engine's components.
namespace GstSupport {

// Initialises GStreamer once per process (any thread, idempotent).
void EnsureInitialised();

// Creates an element by factory name, named `name` (null: GStreamer's own
// name). On a missing plug-in: null, the factory name in `missing`, and a
// trace line naming what to install.
GstElement* MakeElement(const char* factory, const char* name, QString* missing = nullptr);

// True when `pad` carries video / audio (by its caps, else by its name).
bool IsVideoPad(GstPad* pad);
bool IsAudioPad(GstPad* pad);

// Keeps an element that stays unconnected inside a running pipeline out of
// the way: locked in the NULL state and not counted as a sink, so it neither
// holds up the pipeline's pre-roll nor its end of stream. Unpark undoes it.
void Park(GstElement* element);
void Unpark(GstElement* element);
bool IsParked(GstElement* element);

// Sets the state and waits for it, at most `timeoutMs`. True when reached.
bool SetStateAndWait(GstElement* element, int state, int timeoutMs);

// Whether `path` can be opened for reading as a file: S_OK, or the code of
// the reason (file not found, access denied).
long CheckReadableFile(const QString& path);

// Readable text of a GStreamer error or warning message's error.
QString MessageText(void* gstMessage);

} // namespace GstSupport

// Holds a demultiplexer's streams back until the graph is wired: each source
// pad the demultiplexer adds is blocked the moment it appears, so no data
// flows into unlinked pads; WaitForPads returns once the demultiplexer has
// announced all of them. Release lets the data flow.
class CDemuxPads
{
public:
    // `upstream` is the element that feeds the demultiplexer (its file source):
    // an error of either ends the wait.
    CDemuxPads(GstElement* demux, GstElement* upstream);
    ~CDemuxPads();
    CDemuxPads(const CDemuxPads&) = delete;
    CDemuxPads& operator=(const CDemuxPads&) = delete;

    // Waits (at most timeoutMs) until the demultiplexer announced its last
    // pad, or an error of the demultiplexer or its source was noted. True
    // when all pads are known.
    bool WaitForPads(int timeoutMs);
    // Called from the bus (any thread) for every error message: notes it when
    // it comes from the demultiplexer or its source.
    void NoteError(void* gstObject);
    bool Failed() const;
    // The pads announced so far, in the order they appeared (references held).
    QList<GstPad*> Pads() const;
    // Removes every block and stops watching the demultiplexer.
    void Release();
    GstElement* Demux() const { return m_demux; }

private:
    static void OnPadAdded(GstElement* demux, GstPad* pad, void* self);
    static void OnNoMorePads(GstElement* demux, void* self);

    struct Entry {
        GstPad* pad;
        unsigned long probe;
    };
    GstElement* m_demux = nullptr;
    GstElement* m_upstream = nullptr;
    unsigned long m_padAddedId = 0;
    unsigned long m_noMorePadsId = 0;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    QList<Entry> m_entries;
    bool m_complete = false;
    bool m_released = false;
    bool m_failed = false;
};
