// The card's device record and the card-root search over arbitrary bytes:
// the input becomes "SETTING/setup.cfg" of a folder that stands for a card
// (named by $KESTRAV_CARD_ROOTS), which FindBlackBoxDrive then finds and
// reads. The record must always be 668 bytes with the model cut at its "(",
// and the settings program it names must stay on the card.

#include "FuzzTarget.h"

#include "catalogue/MemoryCard.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
struct CCard {
    QTemporaryDir dir;
    QString root;
    CCard()
    {
        FUZZ_CHECK(dir.isValid());
        root = dir.path() + QLatin1Char('/');
        FUZZ_CHECK(QDir(root).mkpath(QStringLiteral("SETTING")));
        qputenv("KESTRAV_CARD_ROOTS", QFile::encodeName(dir.path() + QStringLiteral("/missing:") + dir.path()));
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CCard card;
    {
        QFile setup(card.root + kSetupFileName);
        FUZZ_CHECK(setup.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(setup.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size))
                   == static_cast<qint64>(size));
    }
    const QByteArray record = ReadDeviceRecord(card.root);
    FUZZ_CHECK(record.size() == kDeviceRecordSize);
    FUZZ_CHECK(!DeviceModelName(record).contains(QLatin1Char('(')));
    for (int offset : {kDeviceModelOffset, kDeviceFirmwareOffset, kDeviceVersionOffset, kDeviceProgramOffset,
                       kDeviceInfoOffset, kDeviceRecordSize - 1, kDeviceRecordSize, -1})
        DeviceRecordText(record, offset);
    const QString program = SettingsProgramPath(card.root, record);
    FUZZ_CHECK(program.isEmpty() || program.startsWith(card.root));
    IsDualStreamModel(DeviceModelName(record));
    CardCategoryFolders(DeviceModelName(record));

    QString found;
    FUZZ_CHECK(FindBlackBoxDrive(found) == 1);
    FUZZ_CHECK(found == card.root && g_deviceRecord == record);
    return 0;
}
