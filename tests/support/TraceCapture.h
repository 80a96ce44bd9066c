#pragma once

#include <QStringList>

#include <mutex>

// Enables the trace category and collects every trace line while alive
// (from any thread). One capture at a time.
class CTraceCapture
{
public:
    CTraceCapture();
    ~CTraceCapture();
    CTraceCapture(const CTraceCapture&) = delete;
    CTraceCapture& operator=(const CTraceCapture&) = delete;

    QStringList Lines() const;
    // Lines that start with `prefix`.
    QStringList LinesStartingWith(const QString& prefix) const;
    bool Contains(const QString& line) const { return Lines().contains(line); }
    void Clear();

    void Append(const QString& line);

private:
    mutable std::mutex m_mutex;
    QStringList m_lines;
};
