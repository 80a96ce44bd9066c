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

bool SysfsRemovable(const QString& majorMinor)
{
    // /sys/dev/block/M:m is the partition or disk; the disk holds "removable".
    const QString dev = QStringLiteral("/sys/dev/block/") + majorMinor;
    const QString canonical = QFileInfo(dev).canonicalFilePath();
    if (canonical.isEmpty())
        return false;
    for (const QString& candidate : {canonical + QStringLiteral("/removable"), canonical + QStringLiteral("/../removable")}) {
        QFile f(candidate);
        if (f.open(QIODevice::ReadOnly))
            return f.read(2).trimmed() == "1";
    }
    return false;
}
} // namespace

QStringList RemovableMountPoints(const QByteArray& mountInfo, const std::function<bool(const QString&)>& isRemovable)
{
    QStringList roots;
    for (const QByteArray& line : mountInfo.split('\n')) {
        // id parent major:minor root mountpoint options ... - fstype source superopts
        const QList<QByteArray> f = line.split(' ');
        if (f.size() < 5)
            continue;
        const QString majorMinor = QString::fromLatin1(f[2]);
        if (majorMinor.startsWith(QLatin1String("0:")))
            continue; // virtual file systems
        if (isRemovable(majorMinor))
            roots << WithSlash(Unescape(f[4]));
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
        for (const QString& r : RemovableMountPoints(info.readAll(), SysfsRemovable))
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
