#pragma once

#include "map/MapBridge.h"
#include "map/MapIds.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// A map bridge for tests: keeps every script text exactly as sent, in order,
// and answers with configured results. Header-only; link nothing but Qt Core.
//
// Every call is recorded, whatever it answers, so a test sees what the caller
// attempted. Results: ExecScript answers the result of the first prefix rule
// the script starts with, else the default result (0); while not ready it
// answers -1. ExecScriptGetValue answers the configured value ("" by
// default), or "" while not ready.
class CRecordingMapBridge : public IMapBridge
{
public:
    enum class CallKind { Exec, GetValue };
    struct Call {
        CallKind kind;
        QString script;
    };

    int ExecScript(const QString& code) override
    {
        m_calls.push_back({CallKind::Exec, code});
        if (!m_ready)
            return MapIds::kScriptNotSent;
        for (const auto& rule : m_prefixResults)
            if (code.startsWith(rule.first))
                return rule.second;
        return m_execResult;
    }

    QString ExecScriptGetValue(const QString& code) override
    {
        m_calls.push_back({CallKind::GetValue, code});
        return m_ready ? m_value : QString();
    }

    bool IsReady() const override { return m_ready; }
    bool IsBusy() const override { return m_busy; }

    // ---- Configuration ----
    void SetReady(bool ready) { m_ready = ready; }
    void SetBusy(bool busy) { m_busy = busy; }
    // Default answer of ExecScript while ready.
    void SetExecResult(int result) { m_execResult = result; }
    // Answer of ExecScript for scripts starting with `prefix` (first rule wins).
    void SetExecResultFor(const QString& prefix, int result) { m_prefixResults.emplace_back(prefix, result); }
    // Answer of ExecScriptGetValue while ready (e.g. an extent "w,n,e,s").
    void SetValue(const QString& value) { m_value = value; }

    // ---- What was sent ----
    const std::vector<Call>& Calls() const { return m_calls; }
    // The script texts of all calls, in order.
    QStringList Scripts() const
    {
        QStringList out;
        for (const Call& c : m_calls)
            out << c.script;
        return out;
    }
    // The script texts sent through ExecScript only.
    QStringList ExecScripts() const
    {
        QStringList out;
        for (const Call& c : m_calls)
            if (c.kind == CallKind::Exec)
                out << c.script;
        return out;
    }
    void ClearCalls() { m_calls.clear(); }

private:
    std::vector<Call> m_calls;
    std::vector<std::pair<QString, int>> m_prefixResults;
    QString m_value;
    int m_execResult = MapIds::kScriptSent;
    bool m_ready = true;
    bool m_busy = false;
};
