#pragma once

#include "app/InstanceLock.h"

#include <QString>

#include <functional>

// The process's application object: enforces the single instance, prepares
// the services the windows need and runs the main window. Runs on the main
// thread; InitInstance() does the whole program, ExitInstance() releases
// only what start-up acquired and gives the exit code.
class CMovaraApp
{
public:
    struct Hooks {
        // Step 8: select the language table (the result is ignored).
        std::function<void()> selectLanguage;
        // Step 9: construct and run the main window; returns its result.
        std::function<int()> runMainWindow;
    };

    explicit CMovaraApp(Hooks hooks);

    bool InitInstance();
    int ExitInstance();

    // "NvImageDll.rcc" beside the executable, or $KESTRAV_IMAGE_LIBRARY.
    static QString ImageLibraryPath();
    // Registers the skin image library; true when its pictures are reachable.
    static bool LoadImageLibrary();

    bool HoldsInstanceLock() const { return m_mutex.IsHeld(); }
    bool GraphicsStarted() const { return m_gdiplusToken != 0; }

private:
    Hooks m_hooks;
    CInstanceLock m_mutex;
    // Stands for the 2-D graphics start-up token: Qt needs no start-up call,
    // but the order of acquire and release is kept.
    quintptr m_gdiplusToken = 0;
};
