#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QStringList>

#include <functional>
#include <memory>

// Memory-card roots the viewer may look at, in order: the folders listed in
// $KESTRAV_CARD_ROOTS (colon-separated; for tests and the demo card), then
// the mount points of removable block devices from /proc/self/mountinfo
// (a device whose /sys/block/<disk>/removable reads 1). Each root ends in '/'.
QStringList ListCardRoots();

// Mount points of removable volumes in a mountinfo text; `isRemovable`
// answers for a device's major:minor number ("8:17"). Exposed for tests.
QStringList RemovableMountPoints(const QByteArray& mountInfo, const std::function<bool(const QString&)>& isRemovable);

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
