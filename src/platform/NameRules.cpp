#include "platform/NameRules.h"

#include "platform/FileSystems.h"

#include <QFile>
#include <algorithm>

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

bool hasWindowsNameRules([[maybe_unused]] const QByteArray& folder) {
#if defined(Q_OS_WIN)
    return true;
#else
    const std::string path = folder.toStdString();
    const FileSystemKind kind = fileSystemKindOf(path);
    if (kind != FileSystemKind::Fuse)
        return kind == FileSystemKind::Windows;
    // FUSE drivers all share one type; the mount table tells which driver serves the folder.
    const auto device = deviceOf(path);
    const auto mounts = mountTable();
    if (!device || !mounts)
        return false;
    for (const Mount& mount : *mounts) {
        if (mount.major == device->first && mount.minor == device->second && !mount.type.empty())
            return isWindowsMountType(mount.type);
    }
    return false;
#endif
}

} // namespace tb
