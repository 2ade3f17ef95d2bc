#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tb {

QString systemDriveRoot() {
#ifdef Q_OS_WIN
    QString drive = qEnvironmentVariable("SystemDrive", QStringLiteral("C:"));
    return drive + QLatin1Char('\\');
#else
    return QStringLiteral("/");
#endif
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
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(name);
    if (QFileInfo(beside).isFile())
        return beside;
    return QStandardPaths::locate(QStandardPaths::AppDataLocation, name);
}

QString directoryText(const QString& path) {
    return QDir::toNativeSeparators(QDir::cleanPath(QDir(path).absolutePath()));
}

} // namespace tb
