#pragma once

// What the main window's tests share: a memory-card writer and a stand-in
// for the telemetry extraction that can be held at a gate.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <thread>

class CTextData;

// Writes a memory card into `root`: the device record "SETTING/setup.cfg"
// with `model` at its model offset (and, when given, the settings-program
// path at its program offset) and a small file for each of `files` (paths
// relative to the card, category folder first). The files are never parsed:
// the tests' extraction is a fake. Returns false when a file cannot be written.
bool WriteCard(const QString& root, const QByteArray& model, const QStringList& files,
               const QByteArray& programPath = QByteArray());

// Two continuous recordings and one parking impact.
QStringList ThreeRecordings();

// Stands for the telemetry extraction: counts, can be held at a gate, and
// tells whether it was entered before `splashEnded` was set. Each extraction
// leaves one G-sensor sample (1, 2, 3).
struct FakeExtraction {
    std::atomic<int> entered{0};
    std::atomic<int> returned{0};
    std::atomic<bool> open{true};
    std::atomic<bool> splashEnded{false};
    std::atomic<bool> enteredBeforeSplash{false};

    std::function<void(const QString&, CTextData&)> Fn();
};

// Opens the gate from another thread after `ms`, while the GUI thread waits.
std::thread OpenLater(FakeExtraction& fake, int ms);
