#include "platform/FileNames.h"

#include "platform/Windows1250.h"

#include <QFile>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tb {

QString withVisibleControls(QString text) {
    for (QChar& c : text) {
        const char16_t code = c.unicode();
        if (code < 0x20)
            c = QChar(char16_t(0x2400 + code)); // the Control Pictures block: U+240A for LF
        else if (code == 0x7F)
            c = QChar(char16_t(0x2421));
    }
    return text;
}

QString shownFileName(QByteArrayView name) {
    return withVisibleControls(fromUtf8OrWindows1250(name));
}

#ifdef Q_OS_LINUX

bool deleteFile(const QByteArray& path) {
    return ::unlink(path.constData()) == 0;
}

bool moveFile(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EINVAL || errno == ENOSYS) {
        // A file system without the no-replace rename: test, then rename.
        struct stat existing {};
        if (::lstat(to.constData(), &existing) == 0 || errno != ENOENT)
            return false;
        return ::rename(from.constData(), to.constData()) == 0;
    }
    if (errno != EXDEV)
        return false;
    // Another file system: QFile copies, for the names it can spell.
    const QString source = QFile::decodeName(from);
    const QString target = QFile::decodeName(to);
    if (QFile::encodeName(source) != from || QFile::encodeName(target) != to)
        return false;
    return QFile::rename(source, target);
}

#else

// Elsewhere names come in the system's 8-bit code page, which Qt decodes back.
bool deleteFile(const QByteArray& path) {
    return QFile::remove(QFile::decodeName(path));
}

bool moveFile(const QByteArray& from, const QByteArray& to) {
    return QFile::rename(QFile::decodeName(from), QFile::decodeName(to));
}

#endif

} // namespace tb
