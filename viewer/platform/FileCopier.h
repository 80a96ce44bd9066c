#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

// The steps of a copy, in the order they run; a failure names its step.
enum class ECopyStep { OpenSource, CreateTemp, Read, Write, SetTimes, Sync, Rename, Done };

// What a copy came to.
struct CCopyResult {
    enum class Status {
        Done,      // the target holds the whole copy under its name
        Cancelled, // stopped on request; nothing under the target's name changed
        SameFile,  // the target is the source itself (same file, or a link to it): refused
        Failed,    // see step and error; nothing under the target's name changed
    };
    Status status = Status::Done;
    ECopyStep step = ECopyStep::Done;
    int error = 0;    // errno of the failure (0 otherwise)
    qint64 bytes = 0; // bytes copied before the copy ended
    qint64 total = 0; // the source's size when the copy began

    bool Succeeded() const { return status == Status::Done; }
    // The system's text for `error` (empty without one).
    QString Reason() const;
};

// Copies one file into place so that the target's name only ever names a
// complete copy: the bytes go to a hidden temporary file beside the target
// (".NAME.XXXXXX.part"), which receives the source's access and modification
// times and permissions, is flushed to the disk, and only then is renamed
// over the target (an existing target is replaced in one step). On failure
// or cancellation the temporary file is removed and the target is left as it
// was. A target that is the source itself (same device and inode, which also
// covers hard and symbolic links to it) is refused before anything is written.
//
// The data moves with copy_file_range where the kernel offers it between the
// two files (falling back to read/write with a large buffer otherwise).
//
// Thread: Copy runs on the calling thread (a worker); Cancel may be called
// from any thread. One copier runs one copy at a time. Failures are results.
class CFileCopier
{
public:
    // The fault seam for tests: called before each step (before every
    // chunk for Read and Write, with the bytes copied so far); a non-zero
    // return makes that step fail with that errno.
    using FaultHook = std::function<int(ECopyStep step, qint64 done)>;
    // Called on the copying thread after every chunk.
    using ProgressFn = std::function<void(qint64 done, qint64 total)>;

    static constexpr size_t kDefaultBufferSize = size_t(4) << 20; // 4 MiB

    CFileCopier();
    ~CFileCopier();
    CFileCopier(const CFileCopier&) = delete;
    CFileCopier& operator=(const CFileCopier&) = delete;

    void SetBufferSize(size_t bytes);
    void SetFaultHook(FaultHook hook) { m_fault = std::move(hook); }
    void SetProgress(ProgressFn progress) { m_progress = std::move(progress); }
    // Whether the kernel copy is tried first (default true).
    void SetKernelCopy(bool on) { m_kernelCopy = on; }
    // Whether each chunk is handed to the disk as soon as it is written
    // (default true), rather than all of it at the final flush.
    void SetWriteBehind(bool on) { m_writeBehind = on; }

    CCopyResult Copy(const QString& source, const QString& target);
    // Asks the running copy (or, when none runs, the next one) to stop at
    // its next chunk; the request is spent when that copy returns.
    void Cancel() { m_cancel.store(true); }

    // True when both name the same existing file (same device and inode).
    static bool IsSameFile(const QString& a, const QString& b);

private:
    CCopyResult CopyOnce(const QString& source, const QString& target);
    int Fault(ECopyStep step, qint64 done) const { return m_fault ? m_fault(step, done) : 0; }

    size_t m_bufferSize = kDefaultBufferSize;
    std::unique_ptr<char[]> m_buffer;
    FaultHook m_fault;
    ProgressFn m_progress;
    bool m_kernelCopy = true;
    bool m_writeBehind = true;
    std::atomic<bool> m_cancel{false};
};

// One copy at a time on a thread of its own (at a lower priority than the
// GUI thread), reporting to the thread this
// object lives on (queued, never waiting): Progress at most every 50 ms and
// once at the end, then Finished. Destroying it cancels a running copy and
// waits for it (at most one chunk).
class CBackgroundCopy : public QObject
{
    Q_OBJECT

public:
    explicit CBackgroundCopy(QObject* parent = nullptr);
    ~CBackgroundCopy() override;

    // For the copies that start afterwards.
    void SetFaultHook(CFileCopier::FaultHook hook) { m_fault = std::move(hook); }
    void SetBufferSize(size_t bytes) { m_bufferSize = bytes; }

    // Starts copying; false (nothing started) while a copy is running.
    bool Start(const QString& source, const QString& target);
    void Cancel();
    // From Start until Finished has been emitted.
    bool IsRunning() const { return m_running; }
    // Waits for a running copy to end and emits its Finished now (the queued
    // report is then dropped).
    void Wait();

signals:
    void Progress(qint64 done, qint64 total);
    void Finished(const CCopyResult& result);

private:
    void Deliver(const CCopyResult& result, unsigned generation);

    std::thread m_thread;
    std::shared_ptr<CFileCopier> m_copier;
    CFileCopier::FaultHook m_fault;
    size_t m_bufferSize = CFileCopier::kDefaultBufferSize;
    bool m_running = false;
    unsigned m_generation = 0;
    std::shared_ptr<CCopyResult> m_result; // written by the thread before it ends
};
