// Play list benchmark: a list of 10,000 recordings (and of 100, to show that
// painting does not grow with the item count): filling it, one refresh, one
// scroll step and one full repaint, in milliseconds; then 10,000 items added
// from another thread while the GUI thread keeps scrolling and painting the
// list, with the GUI thread's longest stall against the same loop without
// the adding thread. Prints figures only. Runs headless (offscreen) unless
// QT_QPA_PLATFORM says otherwise.
//
//   bench_playlist [COUNT]
#include "skin/RListCtrl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QResource>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

namespace {
constexpr int kListHeight = 220; // the main window's list: 11 rows
constexpr int kSteps = 200;      // scroll steps timed per figure

double Ms(qint64 ns)
{
    return double(ns) / 1e6;
}

QString Name(int i)
{
    return QString::asprintf("20240312_%06d_%c.AVI", 80000 + i / 2, i % 2 ? 'R' : 'F');
}

void AddItems(CRListCtrl* list, int first, int count)
{
    for (int i = first; i < first + count; ++i)
        list->AddItem(Name(i), 0, QString(), 58LL * 1048576 + i * 4096, i % 2 ? 2 : 1);
}

struct Figures {
    double fill = 0, refresh = 0, stepMean = 0, stepMax = 0, repaintMean = 0, repaintMax = 0, cachedRepaint = 0;
};

Figures Measure(int count)
{
    auto list = std::make_unique<CRListCtrl>(nullptr);
    list->resize(322, kListHeight);
    list->show();
    QCoreApplication::processEvents();
    Figures f;
    QElapsedTimer t;
    t.start();
    AddItems(list.get(), 0, count);
    f.fill = Ms(t.nsecsElapsed());
    t.restart();
    list->Refresh();
    f.refresh = Ms(t.nsecsElapsed());
    list->repaint();
    // Scroll steps (the arrows' and the wheel's unit) and the repaint after each.
    qint64 stepTotal = 0, stepMax = 0, paintTotal = 0, paintMax = 0;
    for (int i = 0; i < kSteps; ++i) {
        t.restart();
        // One row down; back to the top at the end.
        const int top = list->GetTopIndex();
        list->SetTopIndex(top + 1 > count - kListHeight / 20 ? 0 : top + 1);
        const qint64 step = t.nsecsElapsed();
        t.restart();
        list->repaint();
        const qint64 paint = t.nsecsElapsed();
        stepTotal += step;
        stepMax = std::max(stepMax, step);
        paintTotal += paint;
        paintMax = std::max(paintMax, paint);
    }
    f.stepMean = Ms(stepTotal) / kSteps;
    f.stepMax = Ms(stepMax);
    f.repaintMean = Ms(paintTotal) / kSteps;
    f.repaintMax = Ms(paintMax);
    // A repaint with nothing changed: the rows' pictures are only copied.
    qint64 cached = 0;
    for (int i = 0; i < kSteps; ++i) {
        t.restart();
        list->repaint();
        cached += t.nsecsElapsed();
    }
    f.cachedRepaint = Ms(cached) / kSteps;
    return f;
}

void Print(int count, const Figures& f)
{
    std::printf("%6d items: fill %8.3f ms  refresh %7.3f ms  scroll step %7.3f ms (max %7.3f)  "
                "full repaint %7.3f ms (max %7.3f)  unchanged repaint %7.3f ms\n",
                count, f.fill, f.refresh, f.stepMean, f.stepMax, f.repaintMean, f.repaintMax, f.cachedRepaint);
}

struct LoopFigures {
    qint64 longest = 0;       // longest iteration (the GUI thread's longest stall)
    qint64 longestLocked = 0; // longest time in the list's own calls (they take its lock)
    std::vector<qint64> iterations;
};

// The GUI thread scrolls and repaints the list until `stop` (and for at
// least `minimumIterations`).
void ScrollLoop(CRListCtrl* list, const std::atomic<bool>& stop, int minimumIterations, LoopFigures& f)
{
    QElapsedTimer t, locked;
    int n = 0;
    while (!stop || n < minimumIterations) {
        t.restart();
        locked.restart();
        const int count = list->GetItemCount();
        list->Refresh(); // shows what the other thread added so far
        list->SetTopIndex(count > 0 ? (n * 7) % count : 0);
        f.longestLocked = std::max(f.longestLocked, locked.nsecsElapsed());
        list->repaint();
        QCoreApplication::processEvents();
        const qint64 ns = t.nsecsElapsed();
        f.longest = std::max(f.longest, ns);
        f.iterations.push_back(ns);
        ++n;
    }
}

double Median(std::vector<qint64> v)
{
    if (v.empty())
        return 0;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return Ms(v[v.size() / 2]);
}

void MeasureConcurrentAdds(int count)
{
    constexpr int kRounds = 5;
    LoopFigures with, without;
    qint64 addNs = 0;
    for (int round = 0; round < kRounds; ++round) {
        auto list = std::make_unique<CRListCtrl>(nullptr);
        list->resize(322, kListHeight);
        list->show();
        AddItems(list.get(), 0, 1000);
        list->Refresh();
        QCoreApplication::processEvents();

        std::atomic<bool> done{false};
        qint64 roundNs = 0;
        const size_t before = with.iterations.size();
        std::thread adder([&] {
            QElapsedTimer t;
            t.start();
            AddItems(list.get(), 1000, count);
            roundNs = t.nsecsElapsed();
            done = true;
        });
        ScrollLoop(list.get(), done, 0, with);
        adder.join();
        addNs += roundNs;
        list->Refresh();
        if (list->GetItemCount() != 1000 + count)
            std::printf("  item count %d, expected %d\n", list->GetItemCount(), 1000 + count);
        // Baseline: the same loop on the same list for as many iterations, nobody adding.
        const std::atomic<bool> stop{true};
        ScrollLoop(list.get(), stop, int(with.iterations.size() - before), without);
    }
    std::printf("%d items added from another thread (%d rounds, %.3f ms each on average) while the GUI thread "
                "scrolled and repainted the list:\n",
                count, kRounds, Ms(addNs) / kRounds);
    std::printf("  with the adding thread:    longest GUI-thread stall %7.3f ms, longest in the list's calls %7.3f ms, "
                "median iteration %6.3f ms (%zu iterations)\n",
                Ms(with.longest), Ms(with.longestLocked), Median(with.iterations), with.iterations.size());
    std::printf("  without (same iterations): longest GUI-thread stall %7.3f ms, longest in the list's calls %7.3f ms, "
                "median iteration %6.3f ms\n",
                Ms(without.longest), Ms(without.longestLocked), Median(without.iterations));
}
} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 10000;
    const QString library = QCoreApplication::applicationDirPath() + QStringLiteral("/NvImageDll.rcc");
    if (!QResource::registerResource(library)) {
        std::fprintf(stderr, "cannot open the image library %s\n", qPrintable(library));
        return 1;
    }
    std::printf("play list benchmark: a list of 322 x %d (%d rows), times in ms\n", kListHeight, kListHeight / 20);
    Print(count, Measure(count));
    Print(100, Measure(100));
    MeasureConcurrentAdds(count);
    return 0;
}
