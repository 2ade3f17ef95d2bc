#include "app/Settings.h"
#include "app/Unit1.h"
#include "filetools/DirectoryListBox.h"
#include "support/LookAlikeFolders.h"
#include "support/MainWindowFixture.h"

#include <QTest>

using tb::test::MainWindowFixture;

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void textFoldersAreStoredAsTheirText_data();
    void textFoldersAreStoredAsTheirText();
    void lastFolderNotTextIsShownAgainAfterARestart_data() { tb::test::nonUtf8FolderRows(); }
    void lastFolderNotTextIsShownAgainAfterARestart();
};

void TestSettings::textFoldersAreStoredAsTheirText_data() {
    QTest::addColumn<QString>("folder");
    QTest::newRow("plain") << QStringLiteral("/home/user/Music");
    QTest::newRow("Czech letters") << QStringLiteral("/home/user/Hudba/Žlutý pes");
    QTest::newRow("percent and spaces") << QStringLiteral("/home/user/100% a %20");
}

// Settings written by earlier versions, and read by them, keep their form.
void TestSettings::textFoldersAreStoredAsTheirText() {
    QFETCH(QString, folder);
    QCOMPARE(folderSetting(QFile::encodeName(folder)), folder);
    QCOMPARE(folderOfSetting(folder), QFile::encodeName(folder));
}

void TestSettings::lastFolderNotTextIsShownAgainAfterARestart() {
    QFETCH(QByteArray, folder);
    const tb::test::LookAlikeFolders scratch;
    const QByteArray path = scratch.make(folder);

    MainWindowFixture first;
    first.settingsStore.values = {{"Blikatka", "NE"}};
    TForm1& form = first.show();
    form.DirectoryListBox1->setDirectoryBytes(path);
    form.FormClose();
    const QString stored = first.settingsStore.values.value("LastDir");
    QVERIFY2(stored.startsWith("file:///"), qPrintable(stored));

    MainWindowFixture second;
    second.settingsStore.values = {{"Blikatka", "NE"}, {"LastDir", stored}};
    QCOMPARE(second.show().DirectoryListBox1->DirectoryBytes(), path);
}

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
