#include "platform/SettingsStore.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestSettingsStore : public QObject {
    Q_OBJECT

private slots:
    void settingsStoreRoundTripsInTheUsersConfigFolder();
};

void TestSettingsStore::settingsStoreRoundTripsInTheUsersConfigFolder() {
    // Never the user's own settings, also outside ctest: a scratch folder before the first store.
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    tb::QtSettingsStore store;
    QVERIFY(!store.read("NoSuchValue").has_value());
    store.write("RgPlay", QStringLiteral("/opt/přehrávač/play"));
    store.write("Empty", QString());
    tb::QtSettingsStore again;
    QCOMPARE(again.read("RgPlay"), std::optional<QString>(QStringLiteral("/opt/přehrávač/play")));
    QCOMPARE(again.read("Empty"), std::optional<QString>(QString()));
    QVERIFY(QFileInfo::exists(configHome.filePath("Brivola/Trackbinder.conf")));
}

QTEST_MAIN(TestSettingsStore)
#include "test_settingsstore.moc"
