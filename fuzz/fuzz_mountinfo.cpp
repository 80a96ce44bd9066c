// The mount-table parser over arbitrary text, against a small fake /sys that
// knows a removable disk (8:16, partition 8:17), a fixed disk (8:0) and an
// SD card (179:0): every root it returns ends in '/' and comes once.

#include "FuzzTarget.h"

#include "platform/RemovableMedia.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
struct CFakeSys {
    QTemporaryDir dir;
    CFakeSys()
    {
        FUZZ_CHECK(dir.isValid());
        const QString sys = dir.path();
        auto disk = [&](const QString& name, const char* removable) {
            FUZZ_CHECK(QDir(sys).mkpath(QStringLiteral("devices/") + name));
            QFile f(sys + QStringLiteral("/devices/") + name + QStringLiteral("/removable"));
            FUZZ_CHECK(f.open(QIODevice::WriteOnly) && f.write(removable) > 0);
        };
        disk(QStringLiteral("sdb"), "1\n");
        disk(QStringLiteral("sda"), "0\n");
        disk(QStringLiteral("mmcblk0"), "0\n");
        FUZZ_CHECK(QDir(sys).mkpath(QStringLiteral("devices/sdb/sdb1")));
        QFile part(sys + QStringLiteral("/devices/sdb/sdb1/partition"));
        FUZZ_CHECK(part.open(QIODevice::WriteOnly) && part.write("1\n") > 0);
        FUZZ_CHECK(QDir(sys).mkpath(QStringLiteral("dev/block")));
        const QString block = sys + QStringLiteral("/dev/block/");
        FUZZ_CHECK(QFile::link(sys + QStringLiteral("/devices/sdb"), block + QStringLiteral("8:16")));
        FUZZ_CHECK(QFile::link(sys + QStringLiteral("/devices/sdb/sdb1"), block + QStringLiteral("8:17")));
        FUZZ_CHECK(QFile::link(sys + QStringLiteral("/devices/sda"), block + QStringLiteral("8:0")));
        FUZZ_CHECK(QFile::link(sys + QStringLiteral("/devices/mmcblk0"), block + QStringLiteral("179:0")));
        // A link that leads out of /sys, and one that loops.
        FUZZ_CHECK(QFile::link(QStringLiteral("/"), block + QStringLiteral("1:1")));
        FUZZ_CHECK(QFile::link(block + QStringLiteral("2:2"), block + QStringLiteral("2:2")));
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CFakeSys sys;
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList roots = CardMountPoints(text, sys.dir.path());
    FUZZ_CHECK(roots.size() <= text.count('\n') + 1);
    for (const QString& root : roots) {
        FUZZ_CHECK(root.endsWith(QLatin1Char('/')));
        FUZZ_CHECK(roots.count(root) == 1);
    }
    return 0;
}
