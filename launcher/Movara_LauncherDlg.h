#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The launcher's one pass: decide whether the viewer runs, clear what a
// previous update left beside the launcher and start the viewer.
//
// It is named after the hidden dialog that did this work; it never creates a
// widget, so nothing can ever appear on screen. Single thread, no files kept
// open, no waiting for the viewer.
class CMovara_LauncherDlg
{
public:
    // Starts a program detached with its arguments; the result is not examined.
    using Starter = std::function<void(const QString& program, const QStringList& arguments)>;
    // Tells whether the viewer is running.
    using Probe = std::function<bool()>;

    // `folder` is the launcher's own folder; a trailing '/' is added when missing.
    // Without a starter the program is started with QProcess::startDetached;
    // without a probe the viewer's instance lock is consulted.
    explicit CMovara_LauncherDlg(const QString& folder, Starter starter = {}, Probe probe = {});

    // What the viewer is started with: the recordings to open (absolute paths).
    void SetViewerArguments(const QStringList& arguments) { viewerArguments = arguments; }

    // Returns false when the viewer is already running (nothing else happens,
    // the arguments are dropped); otherwise removes "setup.exe" and
    // "__TempUpdate" from the folder (files only, failures ignored; nothing is
    // tried where the user may not write, as in an installed copy), starts
    // "Kestrav_Main" from it with the viewer arguments and returns true.
    bool OnInitDialog();

    const QString& AppFolder() const { return appFolder; }

private:
    QString appFolder;
    QStringList viewerArguments;
    Starter starter;
    Probe probe;
};
