#include "app/Settings.h"

#include "platform/Paths.h"
#include "platform/SettingsStore.h"

#include <QFile>

namespace {
const QString kFolderUrlScheme = QStringLiteral("file://");
const QString kYes = QStringLiteral("ANO");
const QString kNo = QStringLiteral("NE");
} // namespace

QString readSetting(tb::SettingsStore& store, const QString& name, const QString& fallback) {
    return store.read(name).value_or(fallback);
}

bool readSwitch(tb::SettingsStore& store, const QString& name) {
    return readSetting(store, name, kYes) == kYes;
}

void writeSwitch(tb::SettingsStore& store, const QString& name, bool on) {
    store.write(name, on ? kYes : kNo);
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
    cistTag = readSwitch(store, QStringLiteral("CistTag"));
    blikatka = readSwitch(store, QStringLiteral("Blikatka"));
    askRun = readSwitch(store, QStringLiteral("AskRun"));
    delAfter = readSwitch(store, QStringLiteral("DelAfter"));
}

void AppSettings::readChoices(tb::SettingsStore& store) {
    filtr = readSetting(store, QStringLiteral("Filtr"), {});
    hledatVse = readSetting(store, QStringLiteral("HledatVse"), {});
}

void AppSettings::writeChoices(tb::SettingsStore& store) const {
    if (!filtr.isEmpty())
        store.write(QStringLiteral("Filtr"), filtr);
    if (!hledatVse.isEmpty())
        writeSwitch(store, QStringLiteral("HledatVse"), searchesAllMusic());
}

void AppSettings::writeAll(tb::SettingsStore& store) const {
    store.write(QStringLiteral("LastDir"), lastDir);
    store.write(QStringLiteral("RgPlay"), rgPlay);
    writeSwitch(store, QStringLiteral("CistTag"), cistTag);
    writeSwitch(store, QStringLiteral("AskRun"), askRun);
    writeSwitch(store, QStringLiteral("DelAfter"), delAfter);
    writeSwitch(store, QStringLiteral("Blikatka"), blikatka);
}
