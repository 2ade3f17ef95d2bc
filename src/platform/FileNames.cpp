#include "platform/FileNames.h"

#include "platform/Windows1250.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <dirent.h>
#include <memory>
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

#ifdef Q_OS_LINUX

QString shownPath(const QByteArray& path) {
    QStringList parts;
    for (const QByteArray& part : path.split('/'))
        parts.append(fromUtf8OrWindows1250(part));
    return parts.join(QLatin1Char('/'));
}

bool isFolder(const QByteArray& path) {
    struct stat status {};
    return ::stat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

// By hand, as QDir spells every name in UTF-8 and would lose the others.
QList<QByteArray> subfolderNames(const QByteArray& directory) {
    QList<QByteArray> names;
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(directory.constData()), ::closedir);
    if (!folder)
        return names;
    const QByteArray prefix = directory.endsWith('/') ? directory : directory + '/';
    while (const dirent* entry = ::readdir(folder.get())) {
        if (entry->d_name[0] == '.')
            continue;
        const QByteArray name(entry->d_name);
        if (entry->d_type == DT_DIR ||
            ((entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) && isFolder(prefix + name)))
            names.append(name);
    }
    return names;
}

bool deleteFile(const QByteArray& path) {
    return ::unlink(path.constData()) == 0;
}

#else

// Elsewhere the program's byte names are in the ANSI code page, which Qt decodes back.
QString shownPath(const QByteArray& path) {
    return QFile::decodeName(path);
}

bool isFolder(const QByteArray& path) {
    return QFileInfo(QFile::decodeName(path)).isDir();
}

QList<QByteArray> subfolderNames(const QByteArray& directory) {
    QList<QByteArray> names;
    for (const QString& name :
         QDir(QFile::decodeName(directory)).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        names.append(QFile::encodeName(name));
    return names;
}

// Elsewhere Qt decodes the names back.
bool deleteFile(const QByteArray& path) {
    return QFile::remove(QFile::decodeName(path));
}

#endif

} // namespace tb
