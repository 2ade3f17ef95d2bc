#include "app/Settings.h"

#include "platform/Paths.h"
#include "platform/SettingsStore.h"

const QString AppSettings::yes = QStringLiteral("ANO");
const QString AppSettings::no = QStringLiteral("NE");

QString readSetting(tb::SettingsStore& store, const QString& name, const QString& fallback) {
    return store.read(name).value_or(fallback);
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
