#include "map/WebEnvironment.h"

#include "base/TraceLog.h"

#include <QCoreApplication>
#include <QList>

#include <unistd.h>

namespace {
constexpr const char* kSandboxVariable = "QTWEBENGINE_DISABLE_SANDBOX";
constexpr const char* kFlagsVariable = "QTWEBENGINE_CHROMIUM_FLAGS";
constexpr const char* kDisableGpu = "--disable-gpu";
} // namespace

WebEngineEnvironment DecideWebEngineEnvironment(bool runningAsRoot, bool headless, bool sandboxVariableSet,
                                                const QByteArray& chromiumFlags)
{
    WebEngineEnvironment out;
    out.setDisableSandbox = runningAsRoot && !sandboxVariableSet;
    out.chromiumFlags = chromiumFlags;
    if (headless) {
        const QList<QByteArray> flags = chromiumFlags.simplified().split(' ');
        if (!flags.contains(QByteArray(kDisableGpu))) {
            out.chromiumFlags = chromiumFlags.trimmed();
            if (!out.chromiumFlags.isEmpty())
                out.chromiumFlags += ' ';
            out.chromiumFlags += kDisableGpu;
            out.setChromiumFlags = true;
        }
    }
    return out;
}

bool IsHeadlessSession()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM").trimmed().toLower();
    if (platform.startsWith("offscreen") || platform.startsWith("minimal"))
        return true;
    if (!platform.isEmpty())
        return false; // an explicit platform with a display of its own (xcb, wayland, vnc...)
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

void PrepareWebEngineEnvironment()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    const bool root = ::geteuid() == 0;
    const bool headless = IsHeadlessSession();
    const WebEngineEnvironment env = DecideWebEngineEnvironment(
        root, headless, qEnvironmentVariableIsSet(kSandboxVariable), qgetenv(kFlagsVariable));
    if (env.setDisableSandbox) {
        qputenv(kSandboxVariable, "1");
        TraceLog(QStringLiteral("Kestrav : running as root, web engine sandbox disabled (%1=1)")
                     .arg(QLatin1String(kSandboxVariable)));
    } else if (root) {
        TraceLog(QStringLiteral("Kestrav : running as root, %1 kept as set (%2)")
                     .arg(QLatin1String(kSandboxVariable), QString::fromLocal8Bit(qgetenv(kSandboxVariable))));
    }
    if (env.setChromiumFlags) {
        qputenv(kFlagsVariable, env.chromiumFlags);
        TraceLog(QStringLiteral("Kestrav : no display, web engine flags \"%1\"").arg(QString::fromLocal8Bit(env.chromiumFlags)));
    }
}
