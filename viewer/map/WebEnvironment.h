#pragma once

#include <QByteArray>

// What the embedded web engine needs from the process before it starts.
//
// PrepareWebEngineEnvironment() must be called at the top of main(), before
// the QApplication exists (the engine reads these once, when it starts):
//  - Qt::AA_ShareOpenGLContexts, which Qt WebEngine requires before the
//    application object is made;
//  - when running as root, QTWEBENGINE_DISABLE_SANDBOX=1: Chromium refuses
//    to start its sandbox as root, and without this the map page never loads;
//  - without a display (QT_QPA_PLATFORM offscreen or minimal, or neither
//    DISPLAY nor WAYLAND_DISPLAY set), "--disable-gpu" added to
//    QTWEBENGINE_CHROMIUM_FLAGS, so the engine renders in software instead
//    of failing to find a GPU.
// Values the user set already are kept (a flag already present is not added
// twice; an explicit QTWEBENGINE_DISABLE_SANDBOX is left alone). Each change
// is traced. Main thread; call once.
void PrepareWebEngineEnvironment();

// The decision alone, for the facts given (no side effects).
struct WebEngineEnvironment
{
    bool setDisableSandbox = false; // set QTWEBENGINE_DISABLE_SANDBOX=1
    bool setChromiumFlags = false;  // replace QTWEBENGINE_CHROMIUM_FLAGS by chromiumFlags
    QByteArray chromiumFlags;
};
WebEngineEnvironment DecideWebEngineEnvironment(bool runningAsRoot, bool headless, bool sandboxVariableSet,
                                                const QByteArray& chromiumFlags);

// True when the session has no display the engine could use (see above).
bool IsHeadlessSession();
