#pragma once

// The surroundings a main-window test program starts from and leaves behind:
// our picture library, the platform façade, the texts and a settings file of
// its own, and the card the last window saw.

#include "catalogue/MemoryCard.h"
#include "lang/Lang.h"
#include "platform/Platform.h"
#include "settings/Settings.h"
#include "skin/SkinImage.h"

#include <QResource>
#include <QTest>

// For initTestCase: registers the picture library found in KESTRAV_BIN_DIR,
// installs `platform` as the façade and selects `language`; given a folder,
// the settings file is read from (and saved to) a configuration folder of
// its own under it. A step that fails fails the calling test.
inline void StartWindowTests(CPlatform& platform, const QString& language, const QString& settingsFolder = QString())
{
    const QString library = qEnvironmentVariable("KESTRAV_BIN_DIR") + QStringLiteral("/NvImageDll.rcc");
    QVERIFY2(QResource::registerResource(library), qPrintable(library));
    CPlatform::Install(&platform);
    QVERIFY(SelectLanguage(language));
    if (settingsFolder.isEmpty())
        return;
    qputenv("XDG_CONFIG_HOME", (settingsFolder + QStringLiteral("/config")).toLocal8Bit());
    QVERIFY(SettingsLoad());
}

// For cleanupTestCase: no card roots, no picture library, no façade.
inline void FinishWindowTests()
{
    qunsetenv("KESTRAV_CARD_ROOTS");
    CSkinImage::DestroyInstance();
    CPlatform::Install(nullptr);
}

// Forgets the card (device record, root, presence, size) a window found, so
// the next window starts as on a machine that has seen none.
inline void ForgetCard()
{
    g_deviceRecord = QByteArray();
    g_cardRoot.clear();
    g_cardFound = 0;
    g_cardSizeGB = 0.0f;
}
