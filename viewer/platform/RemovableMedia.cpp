#include "platform/RemovableMedia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {
QString WithSlash(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

// mountinfo escapes blanks and a few others as \ooo.
QString Unescape(const QByteArray& field)
{
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int v = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(char(v));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return QString::fromLocal8Bit(out);
}

// The disk's sysfs folder for a block device number: the device folder when
// it is a whole disk, its parent when it is a partition. Empty when unknown.
QString SysfsDiskFolder(const QString& sysfsRoot, const QString& majorMinor)
{
    const QString canonical = QFileInfo(sysfsRoot + QStringLiteral("/dev/block/") + majorMinor).canonicalFilePath();
    if (canonical.isEmpty())
        return QString();
    if (QFileInfo::exists(canonical + QStringLiteral("/partition")))
        return QFileInfo(canonical).absolutePath();
    return canonical;
}

bool ReadsOne(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(2).trimmed() == "1";
}

bool IsUnderMediaFolder(const QString& mountPoint)
{
    for (const QLatin1String base : {QLatin1String("/media/"), QLatin1String("/run/media/")}) {
        if (mountPoint.startsWith(base) && mountPoint.size() > base.size())
            return true;
    }
    return false;
}

bool IsSdCardName(const QString& name)
{
    return name.startsWith(QLatin1String("mmcblk"));
}
} // namespace

QStringList CardMountPoints(const QByteArray& mountInfo, const QString& sysfsRoot)
{
    QStringList roots;
    for (const QByteArray& line : mountInfo.split('\n')) {
        // id parent major:minor root mountpoint options [optional...] - fstype source superopts
        const QList<QByteArray> f = line.split(' ');
        if (f.size() < 5)
            continue;
        const QString majorMinor = QString::fromLatin1(f[2]);
        const QString mountPoint = Unescape(f[4]);
        const qsizetype separator = f.indexOf(QByteArray("-"), 6);
        const QString source = separator > 0 && separator + 2 < f.size() ? Unescape(f[separator + 2]) : QString();

        bool candidate = IsUnderMediaFolder(QDir::cleanPath(mountPoint));
        if (!candidate && !majorMinor.startsWith(QLatin1String("0:"))) {
            const QString disk = SysfsDiskFolder(sysfsRoot, majorMinor);
            candidate = (!disk.isEmpty() && (ReadsOne(disk + QStringLiteral("/removable"))
                                             || IsSdCardName(QFileInfo(disk).fileName())))
                || (source.startsWith(QLatin1String("/dev/")) && IsSdCardName(source.mid(5)));
        }
        const QString root = WithSlash(mountPoint);
        if (candidate && !roots.contains(root))
            roots << root;
    }
    return roots;
}

QStringList ListCardRoots()
{
    QStringList roots;
    const QString forced = qEnvironmentVariable("KESTRAV_CARD_ROOTS");
    for (const QString& r : forced.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        roots << WithSlash(QDir::cleanPath(r));
    QFile info(QStringLiteral("/proc/self/mountinfo"));
    if (info.open(QIODevice::ReadOnly)) {
        for (const QString& r : CardMountPoints(info.readAll(), QStringLiteral("/sys")))
            if (!roots.contains(r))
                roots << r;
    }
    return roots;
}

quint64 FileSystemTotalBytes(const QString& path)
{
    struct statvfs st {};
    if (::statvfs(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return quint64(st.f_blocks) * quint64(st.f_frsize);
}

CMountWatcher::CMountWatcher(QObject* parent)
    : QObject(parent)
{
    m_fd = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Exception);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &CMountWatcher::OnActivated);
}

CMountWatcher::~CMountWatcher()
{
    m_notifier.reset();
    if (m_fd >= 0)
        ::close(m_fd);
}

void CMountWatcher::OnActivated()
{
    // Re-read to the end so the kernel re-arms the change notification.
    char buffer[4096];
    ::lseek(m_fd, 0, SEEK_SET);
    while (::read(m_fd, buffer, sizeof buffer) > 0) {
    }
    emit Changed();
}
