#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QStringList>

#include <memory>

// Memory-card roots the viewer may look at, in order: the folders listed in
// $KESTRAV_CARD_ROOTS (colon-separated; for tests and the demo card), then
// the mount points CardMountPoints() picks from /proc/self/mountinfo and
// /sys. Each root ends in '/'. Which of them is the camera's card is decided
// by its "SETTING/setup.cfg" (FindBlackBoxDrive), which keeps stray disks out.
QStringList ListCardRoots();

// Mounted volumes of a mountinfo text that may hold a user's memory card, in
// mount-table order, each once:
//  - any volume mounted under /media/ or /run/media/ (where desktops mount
//    what the user plugs in, FUSE file systems included);
//  - a block device whose disk is marked removable
//    (<sysfsRoot>/dev/block/<major:minor> -> .../<disk>[/<partition>], with
//    "removable" reading 1 on the disk);
//  - an SD card in a built-in reader (mmcblk*), which the kernel never marks
//    removable: known by its sysfs name, or by the mount source /dev/mmcblk*.
// Virtual file systems (device 0:*) count only under the two media folders.
// Pure apart from reading below `sysfsRoot`, so tests can fake both.
QStringList CardMountPoints(const QByteArray& mountInfo, const QString& sysfsRoot);

// Total size of the file system holding `path`, in bytes (0 when unknown).
quint64 FileSystemTotalBytes(const QString& path);

// Signals when the mount table changes (a volume mounted or unmounted):
// the kernel marks /proc/self/mountinfo readable-with-priority on change.
// Lives on the GUI thread; `Changed` is emitted there.
class CMountWatcher : public QObject
{
    Q_OBJECT
public:
    explicit CMountWatcher(QObject* parent = nullptr);
    ~CMountWatcher() override;
    bool IsWatching() const { return m_notifier != nullptr; }

signals:
    void Changed();

private:
    void OnActivated();
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
