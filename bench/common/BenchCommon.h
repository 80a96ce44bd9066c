#pragma once

// What the benchmarks share: order statistics, waiting in the event loop,
// and the memory of a process and its children from /proc.

#include <QByteArray>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QString>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace Bench {

// The middle value (the upper one of an even count); -1 for none.
inline double Median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The value below which the part `p` (0..1) of the values lies; -1 for none.
inline double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

// Runs the event loop until `done` or `timeoutMs`; returns `done()`.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start(1);
    loop.exec();
    return done();
}

// A "Name:   123 kB" field of a /proc file of `pid`, in kB (0 when unknown).
inline long ProcKb(long pid, const char* file, const QByteArray& field)
{
    QFile f(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(file)));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').first().toLong();
    return 0;
}

// Resident set (shared pages counted in every process) and proportional set
// size (shared pages split among their users) of `pid`, in kB.
inline long RssKb(long pid)
{
    return ProcKb(pid, "status", "VmRSS:");
}
inline long PssKb(long pid)
{
    return ProcKb(pid, "smaps_rollup", "Pss:");
}

// Every descendant of `root` with its command name, from /proc.
inline std::vector<std::pair<long, QString>> Descendants(long root)
{
    std::multimap<long, std::pair<long, QString>> byParent;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& e : entries) {
        bool ok = false;
        const long pid = e.toLong(&ok);
        if (!ok)
            continue;
        QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray stat = f.readAll();
        // pid (comm) state ppid ...: comm may hold blanks, so split after ')'.
        const int open = stat.indexOf('('), close = stat.lastIndexOf(')');
        if (open < 0 || close < 0)
            continue;
        const QList<QByteArray> rest = stat.mid(close + 2).split(' ');
        if (rest.size() < 2)
            continue;
        byParent.insert({rest[1].toLong(), {pid, QString::fromLocal8Bit(stat.mid(open + 1, close - open - 1))}});
    }
    std::vector<std::pair<long, QString>> out;
    std::vector<long> todo{root};
    while (!todo.empty()) {
        const long p = todo.back();
        todo.pop_back();
        auto range = byParent.equal_range(p);
        for (auto it = range.first; it != range.second; ++it) {
            out.push_back(it->second);
            todo.push_back(it->second.first);
        }
    }
    return out;
}

} // namespace Bench
