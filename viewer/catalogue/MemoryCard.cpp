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

QByteArray ReadDeviceRecord(const QString& root)
{
    const QString setup = root + kSetupFileName;
    // Only a regular file: a device node or a pipe could block the read.
    if (!QFileInfo(setup).isFile())
        return QByteArray();
    QFile file(setup);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QByteArray record(kDeviceRecordSize, '\0');
    qint64 filled = 0;
    while (filled < kDeviceRecordSize) {
        const qint64 n = file.read(record.data() + filled, kDeviceRecordSize - filled);
        if (n < 0)
            return QByteArray();
        if (n == 0)
            break;
        filled += n;
    }
    // The model text ends at its first "(" (e.g. "ARX550(V2)" -> "ARX550").
    for (int i = kDeviceModelOffset; i < kDeviceRecordSize && record[i] != '\0'; ++i) {
        if (record[i] == '(') {
            record[i] = '\0';
            break;
        }
    }
    return record;
}

bool IsDualStreamModel(const QString& model)
{
    return model == Catalogue::kModelCmv550View || model == Catalogue::kModelDz55;
}

int FindBlackBoxDrive(QString& cardRoot)
{
    g_cardFound = 0;
    for (const QString& root : ListCardRoots()) {
        const QByteArray record = ReadDeviceRecord(root);
        if (record.isEmpty())
            continue;
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

QList<CCardFolder> CardCategoryFolders(const QString& model)
{
    using namespace Catalogue;
    QList<CCardFolder> folders{{kFolderContinuous, kContinuous}};
    if (model == kModelArx550)
        folders.append({kFolderAuxiliary, kContinuousImpact});
    folders.append({{kFolderContinuousImpact, kContinuousImpact},
                    {kFolderManual, kManual},
                    {kFolderParkingMotion, kParkingMotion},
                    {kFolderParkingImpact, kParkingImpact}});
    return folders;
}

void ScanCard(const QString& cardRoot, const QString& model, CCatalogue& catalogue)
{
    for (CategoryMap& m : catalogue)
        m.clear();
    const auto analyzer = GetAnalyzer();
    for (const CCardFolder& folder : CardCategoryFolders(model))
        analyzer->ScanFolder(cardRoot + folder.name, catalogue[size_t(folder.category)]);
}
