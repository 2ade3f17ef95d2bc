#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>

// Off unless asked for (QT_LOGGING_RULES="trackbinder.datafiles.debug=true"): tells where the
// help page and the counter skins were found, for an installed copy that misses one.
Q_LOGGING_CATEGORY(lcDataFiles, "trackbinder.datafiles", QtWarningMsg)

namespace tb {

QString systemDriveRoot() {
#ifdef Q_OS_WIN
    QString drive = qEnvironmentVariable("SystemDrive", QStringLiteral("C:"));
    return drive + QLatin1Char('\\');
#else
    return QStringLiteral("/");
#endif
}

QString firstRunDirectory() {
#ifdef Q_OS_WIN
    return systemDriveRoot();
#else
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (!music.isEmpty() && QFileInfo(music).isDir())
        return directoryText(music);
    return directoryText(QDir::homePath());
#endif
}

QString defaultPrefixText() {
    return QStringLiteral("MP3") + QDir::separator();
}

QString defaultPlayerCommand() {
#ifdef Q_OS_WIN
    return QStringLiteral("explorer");
#else
    return QStringLiteral("xdg-open");
#endif
}

QString cacheFolder() {
    QString path = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (path.isEmpty())
        path = QDir::tempPath();
    QDir().mkpath(path);
    return directoryText(path);
}

QString programDirectory() {
    QString dir = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    if (!dir.endsWith(QDir::separator()))
        dir += QDir::separator();
    return dir;
}

QString findDataFile(const QString& name) {
    // The build tree keeps the data beside the program; an installed copy keeps it in
    // PREFIX/share/trackbinder, found relative to the program first so that any prefix works,
    // then through the desktop's data folders (XDG_DATA_HOME, XDG_DATA_DIRS).
    const QString programDir = QCoreApplication::applicationDirPath();
    QStringList candidates{programDir + QLatin1Char('/') + name};
#ifdef TRACKBINDER_DATA_FROM_PROGRAM
    candidates << programDir + QStringLiteral("/" TRACKBINDER_DATA_FROM_PROGRAM "/") + name;
#endif
    const QString installed = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                     QStringLiteral("trackbinder/") + name);
    if (!installed.isEmpty())
        candidates << installed;
    for (const QString& candidate : std::as_const(candidates)) {
        if (QFileInfo(candidate).isFile()) {
            const QString found = QDir::cleanPath(QFileInfo(candidate).absoluteFilePath());
            qCDebug(lcDataFiles).noquote() << name << "found at" << found;
            return QDir::toNativeSeparators(found);
        }
    }
    qCDebug(lcDataFiles).noquote() << name << "not found";
    return {};
}

QString directoryText(const QString& path) {
    return QDir::toNativeSeparators(QDir::cleanPath(QDir(path).absolutePath()));
}

} // namespace tb
