#include "platform/NameRules.h"

#include <QFile>
#include <QList>
#include <algorithm>

#ifdef Q_OS_LINUX
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#endif

namespace tb {

qsizetype nameBytes(const QString& path) {
    qsizetype start = path.lastIndexOf(u'/') + 1;
#ifdef Q_OS_WIN
    start = std::max(start, path.lastIndexOf(u'\\') + 1);
#endif
    return QFile::encodeName(path.mid(start)).size();
}

std::size_t characterBytes(std::string_view utf8Character) {
#ifdef Q_OS_WIN
    const QString character =
        QString::fromUtf8(utf8Character.data(), qsizetype(utf8Character.size()));
    return std::size_t(QFile::encodeName(character).size());
#else
    return utf8Character.size(); // names are spelt in UTF-8 here
#endif
}

bool isWindowsFileSystemType(std::uint32_t statfsType) {
    constexpr std::uint32_t msdos = 0x4d44, exfat = 0x2011BAB0, ntfs = 0x5346544e;
    return statfsType == msdos || statfsType == exfat || statfsType == ntfs;
}

bool isWindowsMountType(QByteArrayView mountType) {
    // A FUSE mount reads "fuseblk" or "fuse", with its driver after a dot where it says.
    static const QList<QByteArrayView> windowsTypes{"vfat",       "msdos",      "exfat",
                                                    "ntfs",       "ntfs3",      "ntfs-3g",
                                                    "lowntfs-3g", "exfat-fuse", "fuseblk"};
    const QList<QByteArray> parts = mountType.toByteArray().split('.');
    return std::any_of(parts.begin(), parts.end(),
                       [](const QByteArray& part) { return windowsTypes.contains(part); });
}

QByteArray mountTypeOf(QByteArrayView mountInfo, unsigned major, unsigned minor) {
    // "36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw": the device is the
    // third field, the type the first after the "-" that ends the optional fields.
    const QByteArray device = QByteArray::number(major) + ':' + QByteArray::number(minor);
    for (const QByteArray& line : mountInfo.toByteArray().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 3 || fields[2] != device)
            continue;
        const qsizetype dash = fields.indexOf("-", 3);
        if (dash > 0 && dash + 1 < fields.size())
            return fields[dash + 1];
    }
    return {};
}

bool hasWindowsNameRules([[maybe_unused]] const QByteArray& folder) {
#if defined(Q_OS_WIN)
    return true;
#elif defined(Q_OS_LINUX)
    struct statfs volume {};
    if (::statfs(folder.constData(), &volume) != 0)
        return false;
    const auto type = static_cast<std::uint32_t>(volume.f_type);
    if (isWindowsFileSystemType(type))
        return true;
    constexpr std::uint32_t fuse = 0x65735546;
    struct stat status {};
    if (type != fuse || ::stat(folder.constData(), &status) != 0)
        return false;
    // FUSE drivers all share one type; the mount table tells which driver serves the folder.
    QFile mounts(QStringLiteral("/proc/self/mountinfo"));
    if (!mounts.open(QIODevice::ReadOnly))
        return false;
    return isWindowsMountType(
        mountTypeOf(mounts.readAll(), ::major(status.st_dev), ::minor(status.st_dev)));
#else
    return false;
#endif
}

} // namespace tb
