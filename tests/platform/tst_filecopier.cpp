// The file copier: whole copies with the source's times, a target name that
// only ever names a complete copy (disk full, a read-only or missing folder,
// a source cut short, a failed rename or sync, a cancel), the refusal to copy
// a file onto itself, and the background copy's reports.
#include "platform/FileCopier.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QByteArray Pattern(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = 2463534242u;
    for (qint64 i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        bytes[i] = char(x);
    }
    return bytes;
}

bool Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Sets a file's access and modification times to fixed values in the past.
void SetOldTimes(const QString& path)
{
    const struct timespec times[2] = {{1500000000, 123456789}, {1400000000, 987654321}};
    QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0);
}

struct stat Stat(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}
} // namespace

class TestFileCopier : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_case = 0;
    QString m_src;
    QString m_out;

    // Files in the target folder other than `keep`.
    QStringList Leftovers(const QStringList& keep = {}) const
    {
        QStringList names = QDir(m_out).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QString& k : keep)
            names.removeAll(k);
        return names;
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        ++m_case;
        m_src = m_dir.filePath(QStringLiteral("src%1").arg(m_case));
        m_out = m_dir.filePath(QStringLiteral("out%1").arg(m_case));
        QVERIFY(QDir().mkpath(m_src));
        QVERIFY(QDir().mkpath(m_out));
    }

    void copiesWholeFileWithItsTimes_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("kernel");
        QTest::addColumn<int>("buffer");
        for (bool kernel : {true, false}) {
            const char* k = kernel ? "kernel" : "read-write";
            QTest::addRow("empty %s", k) << qint64(0) << kernel << (1 << 20);
            QTest::addRow("one byte %s", k) << qint64(1) << kernel << (1 << 20);
            QTest::addRow("several chunks %s", k) << qint64(5 * 65536 + 3) << kernel << 65536;
            QTest::addRow("9 MiB, 4 MiB chunks %s", k) << qint64(9 << 20) + 17 << kernel << (4 << 20);
        }
    }
    void copiesWholeFileWithItsTimes()
    {
        QFETCH(qint64, size);
        QFETCH(bool, kernel);
        QFETCH(int, buffer);
        const QString source = m_src + QStringLiteral("/REC.AVI");
        const QByteArray bytes = Pattern(size);
        QVERIFY(Write(source, bytes));
        QVERIFY(::chmod(QFile::encodeName(source).constData(), 0640) == 0);
        SetOldTimes(source);
        const QString target = m_out + QStringLiteral("/copy.avi");
        CFileCopier copier;
        copier.SetKernelCopy(kernel);
        copier.SetBufferSize(size_t(buffer));
        qint64 lastDone = -1;
        int reports = 0;
        copier.SetProgress([&](qint64 done, qint64 total) {
            QVERIFY(done > lastDone);
            QCOMPARE(total, size);
            lastDone = done;
            ++reports;
        });
        const CCopyResult r = copier.Copy(source, target);
        QVERIFY2(r.Succeeded(), qPrintable(r.Reason()));
        QCOMPARE(r.bytes, size);
        // The times before anything reads the copy (reading may move its access time).
        const struct stat st = Stat(target);
        QCOMPARE(Read(target), bytes);
        QCOMPARE(Leftovers({QStringLiteral("copy.avi")}), QStringList());
        if (size > buffer)
            QVERIFY(reports >= 2);
        QCOMPARE(qint64(st.st_mtim.tv_sec), qint64(1400000000));
        QCOMPARE(qint64(st.st_mtim.tv_nsec), qint64(987654321));
        QCOMPARE(qint64(st.st_atim.tv_sec), qint64(1500000000));
        QCOMPARE(qint64(st.st_atim.tv_nsec), qint64(123456789));
        // Permissions of the source, less the process's mask (022 or stricter).
        QCOMPARE(st.st_mode & 0700, mode_t(0600));
        QCOMPARE(st.st_mode & 0007, mode_t(0));
    }

    void replacesAnExistingTarget()
    {
        const QString source = m_src + QStringLiteral("/REC.AVI");
        const QString target = m_out + QStringLiteral("/copy.avi");
        QVERIFY(Write(source, Pattern(300000)));
        QVERIFY(Write(target, QByteArray(1000000, 'o')));
        CFileCopier copier;
        QVERIFY(copier.Copy(source, target).Succeeded());
        QCOMPARE(Read(target), Pattern(300000));
        QCOMPARE(Leftovers({QStringLiteral("copy.avi")}), QStringList());
    }

    // Each failure: reported with its step and errno; no file under the
    // target's name (or the old target untouched); no temporary file left.
    void failureLeavesNoPartialTarget_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<qint64>("after");
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("kernel");
        QTest::addColumn<bool>("existing");
        const int write = int(ECopyStep::Write);
        QTest::newRow("disk full mid-way (kernel)") << write << qint64(1 << 20) << ENOSPC << true << false;
        QTest::newRow("disk full mid-way (read-write)") << write << qint64(1 << 20) << ENOSPC << false << false;
        QTest::newRow("disk full, old target kept") << write << qint64(1 << 20) << ENOSPC << false << true;
        QTest::newRow("read-only folder") << int(ECopyStep::CreateTemp) << qint64(0) << EROFS << true << false;
        QTest::newRow("no write permission, old target kept") << int(ECopyStep::CreateTemp) << qint64(0) << EACCES << true << true;
        QTest::newRow("card pulled while reading") << int(ECopyStep::Read) << qint64(512 << 10) << EIO << false << false;
        QTest::newRow("times cannot be set") << int(ECopyStep::SetTimes) << qint64(0) << EPERM << true << false;
        QTest::newRow("flush fails") << int(ECopyStep::Sync) << qint64(0) << EIO << true << true;
        QTest::newRow("rename fails") << int(ECopyStep::Rename) << qint64(0) << EXDEV << true << false;
    }
    void failureLeavesNoPartialTarget()
    {
        QFETCH(int, step);
        QFETCH(qint64, after);
        QFETCH(int, error);
        QFETCH(bool, kernel);
        QFETCH(bool, existing);
        const QString source = m_src + QStringLiteral("/REC.AVI");
        const QString target = m_out + QStringLiteral("/copy.avi");
        QVERIFY(Write(source, Pattern(3 << 20)));
        const QByteArray old(777, 'o');
        if (existing)
            QVERIFY(Write(target, old));
        CFileCopier copier;
        copier.SetKernelCopy(kernel);
        copier.SetBufferSize(256 << 10);
        copier.SetFaultHook([&](ECopyStep s, qint64 done) { return int(s) == step && done >= after ? error : 0; });
        const CCopyResult r = copier.Copy(source, target);
        QCOMPARE(r.status, CCopyResult::Status::Failed);
        QCOMPARE(int(r.step), step);
        QCOMPARE(r.error, error);
        QVERIFY(!r.Reason().isEmpty());
        if (existing) {
            QCOMPARE(Read(target), old);
            QCOMPARE(Leftovers({QStringLiteral("copy.avi")}), QStringList());
        } else {
            QVERIFY(!QFile::exists(target));
            QCOMPARE(Leftovers(), QStringList());
        }
        QCOMPARE(Read(source), Pattern(3 << 20)); // the source is never touched
    }

    void realFailures()
    {
        const QString source = m_src + QStringLiteral("/REC.AVI");
        QVERIFY(Write(source, Pattern(1000)));
        CFileCopier copier;
        // A folder that does not exist.
        CCopyResult r = copier.Copy(source, m_out + QStringLiteral("/missing/copy.avi"));
        QCOMPARE(r.status, CCopyResult::Status::Failed);
        QCOMPARE(r.step, ECopyStep::CreateTemp);
        QCOMPARE(r.error, ENOENT);
        // A source that is gone, and a folder as source.
        r = copier.Copy(m_src + QStringLiteral("/GONE.AVI"), m_out + QStringLiteral("/copy.avi"));
        QCOMPARE(r.step, ECopyStep::OpenSource);
        QCOMPARE(r.error, ENOENT);
        r = copier.Copy(m_src, m_out + QStringLiteral("/copy.avi"));
        QCOMPARE(r.step, ECopyStep::OpenSource);
        QCOMPARE(r.error, EISDIR);
        QCOMPARE(Leftovers(), QStringList());
    }

    // The source shrinks while it is copied (a card that goes away, a file
    // cut short): what was read is not a copy.
    void sourceCutShortIsAFailure_data()
    {
        QTest::addColumn<bool>("kernel");
        QTest::newRow("kernel") << true;
        QTest::newRow("read-write") << false;
    }
    void sourceCutShortIsAFailure()
    {
        QFETCH(bool, kernel);
        const QString source = m_src + QStringLiteral("/REC.AVI");
        const QString target = m_out + QStringLiteral("/copy.avi");
        QVERIFY(Write(source, Pattern(2 << 20)));
        CFileCopier copier;
        copier.SetKernelCopy(kernel);
        copier.SetBufferSize(256 << 10);
        copier.SetFaultHook([&](ECopyStep, qint64 done) {
            if (done >= (512 << 10))
                ::truncate(QFile::encodeName(source).constData(), 600 << 10);
            return 0;
        });
        const CCopyResult r = copier.Copy(source, target);
        QCOMPARE(r.status, CCopyResult::Status::Failed);
        QCOMPARE(r.step, ECopyStep::Read);
        QCOMPARE(r.error, EIO);
        QVERIFY(!QFile::exists(target));
        QCOMPARE(Leftovers(), QStringList());
    }

    void ontoItselfIsRefused_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("same path") << "same";
        QTest::newRow("path with ..") << "dotdot";
        QTest::newRow("symbolic link") << "symlink";
        QTest::newRow("hard link") << "hardlink";
    }
    void ontoItselfIsRefused()
    {
        QFETCH(QString, how);
        const QString source = m_src + QStringLiteral("/REC.AVI");
        const QByteArray bytes = Pattern(100000);
        QVERIFY(Write(source, bytes));
        QString target = source;
        if (how == QLatin1String("dotdot"))
            target = m_out + QStringLiteral("/../") + QFileInfo(m_src).fileName() + QStringLiteral("/REC.AVI");
        if (how == QLatin1String("symlink")) {
            target = m_out + QStringLiteral("/link.avi");
            QVERIFY(QFile::link(source, target));
        }
        if (how == QLatin1String("hardlink")) {
            target = m_out + QStringLiteral("/hard.avi");
            QVERIFY(::link(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) == 0);
        }
        QVERIFY(CFileCopier::IsSameFile(source, target));
        CFileCopier copier;
        bool touched = false;
        copier.SetFaultHook([&](ECopyStep s, qint64) {
            touched = touched || s != ECopyStep::OpenSource;
            return 0;
        });
        const CCopyResult r = copier.Copy(source, target);
        QCOMPARE(r.status, CCopyResult::Status::SameFile);
        QVERIFY(!touched);
        QCOMPARE(Read(source), bytes);
        QVERIFY(QDir(m_src).entryList(QDir::Files | QDir::Hidden).size() == 1);
    }

    void cancelRemovesTheTemporaryFile()
    {
        const QString source = m_src + QStringLiteral("/REC.AVI");
        const QString target = m_out + QStringLiteral("/copy.avi");
        QVERIFY(Write(source, Pattern(2 << 20)));
        CFileCopier copier;
        copier.SetBufferSize(128 << 10);
        bool sawTemp = false;
        copier.SetFaultHook([&](ECopyStep s, qint64 done) {
            if (s == ECopyStep::Write && done >= (1 << 20)) {
                sawTemp = Leftovers().size() == 1 && Leftovers().first().startsWith(QLatin1String(".copy.avi."));
                copier.Cancel();
            }
            return 0;
        });
        const CCopyResult r = copier.Copy(source, target);
        QCOMPARE(r.status, CCopyResult::Status::Cancelled);
        QVERIFY(sawTemp); // the bytes went to a hidden file, never to the target's name
        QVERIFY(r.bytes >= (1 << 20) && r.bytes < (2 << 20));
        QVERIFY(!QFile::exists(target));
        QCOMPARE(Leftovers(), QStringList());
        // A later copy is not cancelled by the earlier request.
        copier.SetFaultHook({});
        QVERIFY(copier.Copy(source, target).Succeeded());
    }

    void backgroundCopyReportsOnItsOwnerThread()
    {
        const QString source = m_src + QStringLiteral("/REC.AVI");
        const QString target = m_out + QStringLiteral("/copy.avi");
        QVERIFY(Write(source, Pattern(6 << 20)));
        CBackgroundCopy job;
        job.SetBufferSize(64 << 10);
        // Slow enough to see reports in between.
        job.SetFaultHook([](ECopyStep, qint64) {
            QThread::usleep(2000);
            return 0;
        });
        QSignalSpy progress(&job, &CBackgroundCopy::Progress);
        QSignalSpy finished(&job, &CBackgroundCopy::Finished);
        QVERIFY(job.Start(source, target));
        QVERIFY(job.IsRunning());
        QVERIFY(!job.Start(source, target)); // one at a time
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.size(), 1);
        QVERIFY(!job.IsRunning());
        QVERIFY(finished.first().first().value<CCopyResult>().Succeeded());
        QVERIFY(progress.size() >= 2);
        qint64 last = -1;
        for (const QList<QVariant>& p : std::as_const(progress)) {
            QVERIFY(p.at(0).toLongLong() > last);
            last = p.at(0).toLongLong();
        }
        QCOMPARE(last, qint64(6 << 20));
        QCOMPARE(Read(target), Pattern(6 << 20));
    }

    void backgroundCancelAndWait()
    {
        const QString source = m_src + QStringLiteral("/REC.AVI");
        const QString target = m_out + QStringLiteral("/copy.avi");
        QVERIFY(Write(source, Pattern(4 << 20)));
        CBackgroundCopy job;
        job.SetBufferSize(64 << 10);
        std::atomic<bool> started{false};
        job.SetFaultHook([&](ECopyStep, qint64) {
            started = true;
            QThread::usleep(2000);
            return 0;
        });
        QSignalSpy finished(&job, &CBackgroundCopy::Finished);
        QVERIFY(job.Start(source, target));
        QTRY_VERIFY(started.load());
        job.Cancel();
        job.Wait(); // reports at once, the queued report is dropped
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().value<CCopyResult>().status, CCopyResult::Status::Cancelled);
        QCoreApplication::processEvents();
        QTest::qWait(20);
        QCOMPARE(finished.size(), 1);
        QVERIFY(!QFile::exists(target));
        QCOMPARE(Leftovers(), QStringList());
        // Destroying a job mid-copy cancels and waits.
        {
            CBackgroundCopy doomed;
            doomed.SetBufferSize(64 << 10);
            doomed.SetFaultHook([](ECopyStep, qint64) {
                QThread::usleep(2000);
                return 0;
            });
            QVERIFY(doomed.Start(source, target));
        }
        QVERIFY(!QFile::exists(target));
        QCOMPARE(Leftovers(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestFileCopier)
#include "tst_filecopier.moc"
