#include "app/Settings.h"

#include "platform/Paths.h"
#include "platform/SettingsStore.h"

#include <QFile>

namespace {
const QString kFolderUrlScheme = QStringLiteral("file://");
}

const QString AppSettings::yes = QStringLiteral("ANO");
const QString AppSettings::no = QStringLiteral("NE");

QString readSetting(tb::SettingsStore& store, const QString& name, const QString& fallback) {
    return store.read(name).value_or(fallback);
}

tb::SavedPathMode savedPathModeOf(const QString& setting) {
    if (setting == savedPathSetting(tb::SavedPathMode::Relative))
        return tb::SavedPathMode::Relative;
    if (setting == savedPathSetting(tb::SavedPathMode::Absolute))
        return tb::SavedPathMode::Absolute;
    return tb::SavedPathMode::AsEntered;
}

QString savedPathSetting(tb::SavedPathMode mode) {
    switch (mode) {
    case tb::SavedPathMode::Relative:
        return QStringLiteral("RELATIVNE");
    case tb::SavedPathMode::Absolute:
        return QStringLiteral("UPLNE");
    case tb::SavedPathMode::AsEntered:
        break;
    }
    return QStringLiteral("JAKJSOU");
}

QString folderSetting(const QByteArray& folder) {
    const QString text = QFile::decodeName(folder);
    if (QFile::encodeName(text) == folder)
        return text;
    return kFolderUrlScheme + QString::fromLatin1(folder.toPercentEncoding("/"));
}

QByteArray folderOfSetting(const QString& setting) {
    if (setting.startsWith(kFolderUrlScheme))
        return QByteArray::fromPercentEncoding(setting.mid(kFolderUrlScheme.size()).toLatin1());
    return QFile::encodeName(setting);
}

void AppSettings::readSwitchesAndPlayer(tb::SettingsStore& store) {
    rgPlay = readSetting(store, QStringLiteral("RgPlay"), tb::defaultPlayerCommand());
    cistTag = readSetting(store, QStringLiteral("CistTag"), yes);
    blikatka = readSetting(store, QStringLiteral("Blikatka"), yes);
    askRun = readSetting(store, QStringLiteral("AskRun"), yes);
    delAfter = readSetting(store, QStringLiteral("DelAfter"), yes);
}

void AppSettings::writeAll(tb::SettingsStore& store, bool blikatkaOn) const {
    store.write(QStringLiteral("LastDir"), lastDir);
    store.write(QStringLiteral("RgPlay"), rgPlay);
    store.write(QStringLiteral("CistTag"), cistTag);
    store.write(QStringLiteral("AskRun"), askRun);
    store.write(QStringLiteral("DelAfter"), delAfter);
    store.write(QStringLiteral("Blikatka"), fromBool(blikatkaOn));
}
