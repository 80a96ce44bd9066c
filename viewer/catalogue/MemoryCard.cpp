#include "catalogue/MemoryCard.h"

#include "catalogue/RecordingAnalyzer.h"
#include "platform/RemovableMedia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>

QByteArray g_deviceRecord;
int g_cardFound = 0;
float g_cardSizeGB = 0.0f;
QString g_cardRoot;

QString DeviceRecordText(const QByteArray& record, int offset)
{
    if (offset < 0 || offset >= record.size())
        return QString();
    const char* start = record.constData() + offset;
    const void* zero = std::memchr(start, 0, size_t(record.size() - offset));
    const qsizetype n = zero ? static_cast<const char*>(zero) - start : record.size() - offset;
    return QString::fromLocal8Bit(start, n);
}

int FindBlackBoxDrive(QString& cardRoot)
{
    g_cardFound = 0;
    for (const QString& root : ListCardRoots()) {
        const QString setup = root + kSetupFileName;
        if (!QFileInfo(setup).isFile())
            continue;
        QFile file(setup);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QByteArray record(kDeviceRecordSize, '\0');
        const QByteArray head = file.read(kDeviceRecordSize);
        std::memcpy(record.data(), head.constData(), size_t(head.size()));
        // The model text ends at its first "(" (e.g. "ARX550(V2)" -> "ARX550").
        for (int i = kDeviceModelOffset; i < kDeviceRecordSize && record[i] != '\0'; ++i) {
            if (record[i] == '(') {
                record[i] = '\0';
                break;
            }
        }
        g_deviceRecord = record;
        cardRoot = root;
        g_cardRoot = cardRoot;
        const quint64 megabytes = FileSystemTotalBytes(root) / 1048576u;
        if (megabytes > 1000)
            g_cardSizeGB = float(double(megabytes) / 1024.0);
        g_cardFound = 1;
        return 1;
    }
    return 0;
}

QString SettingsProgramPath(const QString& cardRoot, const QByteArray& record)
{
    QString relative = DeviceRecordText(record, kDeviceProgramOffset);
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (relative.isEmpty() || cardRoot.isEmpty())
        return QString();
    // Absolute paths, drive letters and any step upwards leave the card.
    if (relative.startsWith(QLatin1Char('/')) || (relative.size() > 1 && relative[1] == QLatin1Char(':')))
        return QString();
    if (relative.split(QLatin1Char('/')).contains(QStringLiteral("..")))
        return QString();
    const QString root = QDir::cleanPath(cardRoot);
    const QString joined = QDir::cleanPath(root + QLatin1Char('/') + relative);
    if (!joined.startsWith(root + QLatin1Char('/')))
        return QString();
    // A symbolic link on the card must not lead off it either.
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    const QString canonical = QFileInfo(joined).canonicalFilePath();
    if (!canonical.isEmpty() && !canonicalRoot.isEmpty() && !canonical.startsWith(canonicalRoot + QLatin1Char('/')))
        return QString();
    return joined;
}

void ScanCard(const QString& cardRoot, const QString& model, CCatalogue& catalogue)
{
    using namespace Catalogue;
    for (CategoryMap& m : catalogue)
        m.clear();
    const auto analyzer = GetAnalyzer();
    analyzer->ScanFolder(cardRoot + kFolderContinuous, catalogue[kContinuous]);
    if (model == kModelArx550)
        analyzer->ScanFolder(cardRoot + kFolderAuxiliary, catalogue[kContinuousImpact]);
    analyzer->ScanFolder(cardRoot + kFolderContinuousImpact, catalogue[kContinuousImpact]);
    analyzer->ScanFolder(cardRoot + kFolderManual, catalogue[kManual]);
    analyzer->ScanFolder(cardRoot + kFolderParkingMotion, catalogue[kParkingMotion]);
    analyzer->ScanFolder(cardRoot + kFolderParkingImpact, catalogue[kParkingImpact]);
}
