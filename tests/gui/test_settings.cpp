#include "app/Settings.h"
#include "app/Unit1.h"
#include "filetools/DirectoryListBox.h"
#include "filetools/FilterComboBox.h"
#include "support/LookAlikeFolders.h"
#include "support/MainWindowFixture.h"
#include "support/QtTests.h"

using tb::test::MainWindowFixture;

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void textFoldersAreStoredAsTheirText_data() {
        QTest::addColumn<QString>("folder");
        QTest::newRow("Czech letters") << QStringLiteral("/home/user/Hudba/Žlutý pes");
        QTest::newRow("percent and spaces") << QStringLiteral("/home/user/100% a %20");
    }

    // Settings written by earlier versions, and read by them, keep their form.
    void textFoldersAreStoredAsTheirText() {
        QFETCH(QString, folder);
        QCOMPARE(folderSetting(QFile::encodeName(folder)), folder);
        QCOMPARE(folderOfSetting(folder), QFile::encodeName(folder));
    }
    void lastFolderNotTextIsShownAgainAfterARestart_data() { tb::test::nonUtf8FolderRows(); }

    void lastFolderNotTextIsShownAgainAfterARestart() {
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

    // The first start lists MP3 files and searches for them alone; a choice lasts.
    void filterAndSearchKindAreKept() {
        MainWindowFixture first, second;
        TForm1& form = first.show();
        QVERIFY(form.FilterComboBox1->currentIndex() == 0 && form.HledatVse.at(0)->isChecked());
        form.FilterComboBox1->setCurrentIndex(1);
        form.HledatVse.at(1)->trigger();
        form.FormClose();
        second.settingsStore.values = first.settingsStore.values;
        QVERIFY(second.show().FilterComboBox1->currentIndex() == 1 &&
                second.form->HledatVse[1]->isChecked());
    }
};

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
