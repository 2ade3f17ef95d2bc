#include "filetools/DriveBox.h"
#include "filetools/FileListBox.h"
#include "platform/Paths.h"
#include "support/MainWindowFixture.h"
#include "support/QtTests.h"

#include <QAction>
#include <QDir>
#include <QLabel>

using tb::test::MainWindowFixture;

class TestFileBrowser : public QObject {
    Q_OBJECT

private slots:
    void selectAllAndClick() {
        MainWindowFixture fx;
        TForm1& form = fx.showIn(dir_.filePath("none"), {});
        form.Button7Click();
        QVERIFY(form.currentFilePath().isEmpty() && form.FileNameTag->text().isEmpty());

        fx.showIn(dir_.filePath("all"), {"b.mp3", "A.mp3", "c.mp3"});
        const QString shown = form.DirectoryListBox1->Directory() + '/';
        // An empty file's tag cannot be read: Select All has made the file current before it
        // reads, a click reads first and leaves the current file as it was.
        fx.settings.cistTag = true;
        form.guarded([&] { form.Button7Click(); });
        fx.clickFile(1);
        QCOMPARE(form.currentFilePath(), shown + "A.mp3");
        QCOMPARE(fx.dialogs.texts(), QStringList(2, "Read beyond end of file."));

        fx.settings.cistTag = false;
        form.TitleTag->setText("old");
        form.Timer1Timer(); // the enable timer ticks before the menu opens
        form.Vyberve1->trigger();
        QCOMPARE(form.currentFilePath(), shown + "A.mp3");
        QCOMPARE(form.FileListBox1->selectedNames(), (QStringList{"A.mp3", "b.mp3", "c.mp3"}));
        QCOMPARE(form.TitleTag->text(), QStringLiteral("old")); // tags are off: the panel stays

        // A click makes the file current and empties the panel; another directory keeps it.
        fx.clickFile(1);
        QCOMPARE(form.FileNameTag->text(), shown + "b.mp3");
        QVERIFY(form.TitleTag->text().isEmpty());
        fx.browse(dir_.path());
        QCOMPARE(form.currentFilePath(), shown + "b.mp3");
    }

    void onlyAReadyDriveIsEntered() {
        // Started in a directory on V, with a LastDir on V that is gone; W is not ready.
        const QString v = dir_.filePath("v"), w = dir_.filePath("w");
        tb::test::makeFiles(v + "/start", {"x.mp3"});
        QDir().mkpath(w);
        MainWindowFixture fx;
        fx.volumes.volumes = {{"/", QString()}, {v, "V"}, {w, "W"}};
        fx.volumes.notReady = {w};
        fx.settingsStore.values = {{"LastDir", v + "/gone"}};
        const QString before = QDir::currentPath();
        QDir::setCurrent(v + "/start");
        fx.create();
        QDir::setCurrent(before);
        TForm1& form = fx.show();
        const QString start = tb::directoryText(v + "/start");
        QCOMPARE(form.DirectoryListBox1->Directory(), start);
        QCOMPARE(form.Disk->Drive(), v);

        // A drive that is not ready is refused and leaves both lists as they were.
        fx.selectFiles({0});
        form.Disk->setDrive(w);
        QCOMPARE(fx.dialogs.texts(), QStringList{"V mechanice není médium / disk nepřístupný!"});
        QCOMPARE(form.Disk->Drive() + form.DirectoryListBox1->Directory(), v + start);
        QCOMPARE(form.FileListBox1->selectedNames(), QStringList{"x.mp3"});

        // Once ready, W opens at its root.
        fx.volumes.notReady.clear();
        form.Disk->setDrive(w);
        QCOMPARE(form.DirectoryListBox1->Directory(), tb::directoryText(w));
        QCOMPARE(fx.dialogs.shown.size(), 1);
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(TestFileBrowser)
#include "test_filebrowser.moc"
