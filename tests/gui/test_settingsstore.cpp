#include "platform/SettingsStore.h"
#include "support/QtTests.h"

#include <QFileInfo>
#include <QTemporaryDir>

class TestSettingsStore : public QObject {
    Q_OBJECT

private slots:
    // Earlier runs' settings are found where they have always been kept.
    void settingsLiveInTheUsersConfigFolder() {
        QTemporaryDir configHome; // never the user's own settings, also outside ctest
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
        tb::QtSettingsStore().write("RgPlay", QStringLiteral("/opt/přehrávač/play"));
        QCOMPARE(tb::QtSettingsStore().read("RgPlay"),
                 std::optional<QString>(QStringLiteral("/opt/přehrávač/play")));
        QVERIFY(QFileInfo::exists(configHome.filePath("Brivola/Trackbinder.conf")));
    }
};

QTEST_MAIN(TestSettingsStore)
#include "test_settingsstore.moc"
