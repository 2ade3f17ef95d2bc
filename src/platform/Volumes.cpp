#include "platform/Volumes.h"

#include <QDir>
#include <QSet>
#include <QStorageInfo>
#include <algorithm>

namespace tb {

bool isUserVolume(const QString& fileSystemType, const QString& root) {
    static const QSet<QString> pseudo = {
        QStringLiteral("proc"),        QStringLiteral("sysfs"),
        QStringLiteral("devtmpfs"),    QStringLiteral("devpts"),
        QStringLiteral("cgroup"),      QStringLiteral("cgroup2"),
        QStringLiteral("securityfs"),  QStringLiteral("debugfs"),
        QStringLiteral("tracefs"),     QStringLiteral("pstore"),
        QStringLiteral("bpf"),         QStringLiteral("mqueue"),
        QStringLiteral("hugetlbfs"),   QStringLiteral("configfs"),
        QStringLiteral("fusectl"),     QStringLiteral("autofs"),
        QStringLiteral("binfmt_misc"), QStringLiteral("nsfs"),
        QStringLiteral("efivarfs"),    QStringLiteral("rpc_pipefs"),
        QStringLiteral("squashfs"),    QStringLiteral("fuse.gvfsd-fuse"),
        QStringLiteral("fuse.portal"), QStringLiteral("selinuxfs"),
        QStringLiteral("ramfs"),
    };
    if (pseudo.contains(fileSystemType))
        return false;
    // Kernel and runtime trees hold no music even when a real file system is mounted there.
    static const QStringList systemTrees = {QStringLiteral("/proc"), QStringLiteral("/sys"),
                                            QStringLiteral("/dev"),  QStringLiteral("/run"),
                                            QStringLiteral("/snap"), QStringLiteral("/boot/efi")};
    for (const QString& tree : systemTrees) {
        if (root == tree || root.startsWith(tree + QLatin1Char('/')))
            return false;
    }
    return true;
}

QList<Volume> SystemVolumes::mounted() {
    QList<Volume> volumes;
    devices_.clear();
    for (const QStorageInfo& info : QStorageInfo::mountedVolumes()) {
        const QString root = QDir::toNativeSeparators(info.rootPath());
        if (!info.isValid() ||
            !isUserVolume(QString::fromUtf8(info.fileSystemType()), info.rootPath()))
            continue;
        QString detail = info.name();
        if (detail.isEmpty())
            detail = QString::fromLocal8Bit(info.device());
        if (std::none_of(volumes.cbegin(), volumes.cend(),
                         [&](const Volume& v) { return v.root == root; })) {
            volumes.append({root, detail});
            devices_.insert(root, info.device());
        }
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const Volume& a, const Volume& b) { return a.root < b.root; });
    return volumes;
}

bool SystemVolumes::isReady(const QString& root) {
    const QStorageInfo info(root);
    if (!info.isValid() || !info.isReady() || info.bytesTotal() < 0)
        return false;
    // An unplugged stick leaves its folder behind, which then lies on the file
    // system above it: the volume is there only while its root is still a mount
    // of the same device.
    if (QDir::toNativeSeparators(info.rootPath()) != root)
        return false;
    const auto known = devices_.constFind(root);
    return known == devices_.cend() || *known == info.device();
}

} // namespace tb
