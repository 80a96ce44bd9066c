#pragma once

#include <QProcessEnvironment>
#include <QString>

// A locale whose decimal point is a comma (German), for tests that must prove
// number parsing ignores the user's locale. When the system has no such
// locale installed, it is compiled once with localedef into a per-user cache
// folder and found through LOCPATH.
//
// Usage: construct after the QCoreApplication (which applies the environment's
// locale), check IsActive() and fail the test with Reason() otherwise; the
// previous LC_NUMERIC comes back on destruction. One at a time, GUI thread.
class CCommaDecimalLocale
{
public:
    CCommaDecimalLocale();
    ~CCommaDecimalLocale();
    CCommaDecimalLocale(const CCommaDecimalLocale&) = delete;
    CCommaDecimalLocale& operator=(const CCommaDecimalLocale&) = delete;

    // True when LC_NUMERIC is now the comma locale and localeconv() says ",".
    bool IsActive() const { return m_active; }
    QString Reason() const { return m_reason; }

    // An environment that runs a child process under the comma locale
    // (LC_ALL and, when the locale was compiled here, LOCPATH).
    QProcessEnvironment ChildEnvironment() const;

private:
    void RestoreLocPath();

    bool m_active = false;
    QString m_reason;
    QString m_name;      // locale name as setlocale took it
    QString m_localPath; // LOCPATH used, or empty for the system's locales
    QByteArray m_previous;
    QByteArray m_previousLocPath; // LOCPATH before ours (null: unset)
};
