#include "app/MovaraApp.h"

#include "base/TraceLog.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QResource>

namespace {
bool g_imageLibraryLoaded = false;
}

CMovaraApp::CMovaraApp(Hooks hooks)
    : m_hooks(std::move(hooks))
{
}

QString CMovaraApp::ImageLibraryPath()
{
    const QString forced = qEnvironmentVariable("KESTRAV_IMAGE_LIBRARY");
    if (!forced.isEmpty())
        return forced;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/NvImageDll.rcc");
}

bool CMovaraApp::LoadImageLibrary()
{
    if (g_imageLibraryLoaded)
        return true; // already loaded in this process; never unloaded
    const QString path = ImageLibraryPath();
    if (!QFileInfo(path).isFile())
        return false;
    g_imageLibraryLoaded = QResource::registerResource(path);
    return g_imageLibraryLoaded;
}

bool CMovaraApp::InitInstance()
{
    // 1. Single instance: a second viewer ends at once, showing nothing.
    if (!m_mutex.Acquire())
        return false;
    // 2. Common controls: nothing to initialise with Qt.
    // 3. 2-D graphics start-up: Qt needs none; keep a token so that
    //    shutdown releases exactly what start-up acquired.
    m_gdiplusToken = 1;
    // 4. Platform initialisation and control hosting: done by QApplication.
    // 5. Trace log: nothing to open.
    // 6. Application settings key.
    QCoreApplication::setOrganizationName(QStringLiteral("Norvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Kestrav"));
    // 7. The skin image library; without it the viewer ends silently.
    if (!LoadImageLibrary())
        return false;
    // 8. Language "korean" with English as the fallback; result ignored.
    if (m_hooks.selectLanguage)
        m_hooks.selectLanguage();
    // 9. The main window, run modally; its result is ignored.
    if (m_hooks.runMainWindow)
        m_hooks.runMainWindow();
    // 10. Skip the platform's message loop.
    return false;
}

int CMovaraApp::ExitInstance()
{
    m_mutex.Release();
    m_gdiplusToken = 0;
    return 0;
}
