#include "support/MainWindowFixture.h"
#include "support/QtTests.h"

#include <QAction>
#include <QMenu>
#include <QProgressDialog>
#include <QTemporaryDir>

using tb::test::MainWindowFixture;

class TestSavedPaths : public QObject {
    Q_OBJECT

private slots:
    // Chosen in the playlist's menu, the mode names each file from the saved playlist's folder,
    // even in a plain M3U; it is stored at the end and comes back checked at the next start.
    void menuChoiceNamesFilesFromThePlaylistAndIsKept() {
        const QString songs = dir_.filePath("songs");
        {
            MainWindowFixture fx;
            fx.settingsStore.values = {
                {"Blikatka", "NE"}, {"CistTag", "NE"}, {"DelAfter", "NE"}, {"AskRun", "NE"}};
            TForm1& form = fx.showSongs(songs, {"not read"});
            form.Button7Click();
            form.Button1Click();
            QCOMPARE(form.playlist()->count(), std::size_t{1});
            const std::string entry(form.playlist()->entry(0));
            const QList<QAction*> modes = form.SavePaths->actions();
            QCOMPARE(form.POP2->actions().at(form.POP2->actions().indexOf(form.SaveList) + 1),
                     form.SavePaths->menuAction());
            QVERIFY(modes.at(0)->isChecked());
            modes.at(1)->trigger(); // "relativně k playlistu"
            QVERIFY(modes.at(1)->isChecked() && !modes.at(0)->isChecked());

            // Saved through a link to the folder: the path leads from where the folder is.
            QVERIFY(QDir(dir_.path()).mkpath("lists") && QDir(dir_.path()).mkpath("deep"));
            QVERIFY(QFile::link(dir_.filePath("lists"), dir_.filePath("deep/link")));
            fx.dialogs.fileNames = {dir_.filePath("deep/link/list.m3u")};
            form.Button4Click();
            QTRY_VERIFY(!form.findChild<QProgressDialog*>());
            QCOMPARE(tb::test::contents(dir_.filePath("lists/list.m3u")), "../songs/a.mp3\r\n");
            QCOMPARE(form.playlist()->entry(0), entry); // the playlist keeps its own text

            form.FormClose();
            QCOMPARE(fx.settingsStore.values.value("SavePaths"), "RELATIVNE");
        }
        MainWindowFixture fx;
        fx.settingsStore.values = {{"SavePaths", "UPLNE"}};
        QVERIFY(fx.show().SavePaths->actions().at(2)->isChecked());
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(TestSavedPaths)
#include "test_savedpaths.moc"
