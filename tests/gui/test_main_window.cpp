#include "controls/Digits.h"
#include "controls/Lcd99.h"
#include "controls/Progress.h"
#include "filetools/DriveBox.h"
#include "filetools/FileListBox.h"
#include "platform/IoError.h"
#include "platform/Paths.h"
#include "playlist/PlaylistView.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <cerrno>

using tb::Dialogs;
using tb::test::MainWindowFixture;

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void firstRunDefaultsErrorBoxAndHelp();
    void storedSettingsAndClose();
    void timerEnablesCommands();
    void itemLimit();
    void addingByDoubleClickEnterAndDrag();
    void prefixModesThroughTheWindow();
    void removeSelectedAndAll();
    void selectAllAndClick();
    void eachDriveRemembersADirectoryOnItself();
    void rightClickKeepsTheSelection();

private:
    // Shows the window browsing a new folder below dir_ that holds these files.
    TForm1& showIn(MainWindowFixture& fx, const QString& folder, const QStringList& files) {
        TForm1& form = fx.show();
        QDir().mkpath(dir_.filePath(folder));
        tb::test::makeFiles(dir_.filePath(folder), files);
        fx.browse(dir_.filePath(folder));
        return form;
    }

    QTemporaryDir dir_;
};

void TestMainWindow::firstRunDefaultsErrorBoxAndHelp() {
    MainWindowFixture fx;
    TForm1& form = fx.show();
    QCOMPARE(form.DirectoryListBox1->Directory(), tb::firstRunDirectory());
    QCOMPARE(fx.settings.rgPlay, tb::defaultPlayerCommand());
    QCOMPARE(fx.settings.cistTag + fx.settings.blikatka + fx.settings.askRun + fx.settings.delAfter,
             QStringLiteral("ANOANOANOANO"));
    QVERIFY(form.LCD991->isVisible() && form.Timer2->isActive());

    form.guarded([] { throw tb::IoError::fromErrno(ENOENT); });
    QCOMPARE(fx.dialogs.texts(), QStringList{"File not found."});
    QCOMPARE(fx.dialogs.shown.first().title, QStringLiteral("Trackbinder"));
    form.TransparentButton2Click(); // help: the page beside the program
    QCOMPARE(fx.launcher.documents, QStringList{tb::programDirectory() + "index.htm"});
}

void TestMainWindow::storedSettingsAndClose() {
    MainWindowFixture fx;
    const QString shown = tb::directoryText(dir_.path());
    fx.settingsStore.values = {{"LastDir", dir_.path()}, {"RgPlay", "/opt/my player/play"},
                               {"CistTag", "ano"},       {"Blikatka", "NE"},
                               {"AskRun", "NE"},         {"DelAfter", "jo"}};
    TForm1& form = fx.show();
    QCOMPARE(form.DirectoryListBox1->Directory(), shown);
    // The displays stay off: the LCD hidden, the gauge shown and still.
    QVERIFY(!form.LCD991->isVisible() && form.PG1->isVisible() && !form.Timer2->isActive());

    fx.dialogs.answers = {Dialogs::Answer::Closed}; // the box's own close button ends the run
    form.BitBtn2->click();
    QVERIFY(!form.isVisible());
    QCOMPARE(fx.dialogs.texts(), QStringList{"Opravdu chcete ukončit Trackbinder ?"});
    QCOMPARE(fx.dialogs.shown.first().kind, Dialogs::Kind::Confirmation);
    QStringList written;
    for (const QString& name : fx.settingsStore.writeOrder)
        written << name + '=' + fx.settingsStore.values.value(name);
    QCOMPARE(written, (QStringList{"LastDir=" + shown, "RgPlay=/opt/my player/play", "CistTag=NE",
                                   "AskRun=NE", "DelAfter=NE", "Blikatka=NE"}));
}

void TestMainWindow::timerEnablesCommands() {
    MainWindowFixture fx;
    TForm1& form = showIn(fx, "enable", {});
    // Three groups: files listed, entries in the playlist, a current file.
    const QList<QObject*> commands{form.Button1,  form.Button7,   form.Pridat1,  form.Prehraj1,
                                   form.Vyberve1, form.Button3,   form.Button2,  form.Button4,
                                   form.BitBtn1,  form.PrejmenBt, form.SmazatBt, form.Prejmen,
                                   form.Smazat1};
    const auto enabled = [&] {
        QString out;
        for (QObject* command : commands)
            out += command->property("enabled").toBool() ? '+' : '-';
        return out;
    };
    form.Timer1Timer();
    QCOMPARE(enabled(), QStringLiteral("-------------"));
    tb::test::makeFiles(dir_.filePath("enable"), {"a.mp3"});
    form.FileListBox1->Update();
    QTRY_VERIFY_WITH_TIMEOUT(form.Button1->isEnabled(), 50); // within a few ticks
    QCOMPARE(enabled(), QStringLiteral("+++++--------"));
    form.Button7->click(); // select all sets the current file
    form.Button1->click();
    form.Timer1Timer();
    QCOMPARE(enabled(), QStringLiteral("+++++++++++++"));
}

void TestMainWindow::itemLimit() {
    MainWindowFixture fx;
    TForm1& form = showIn(fx, "limit", {"a.mp3", "b.mp3", "c.mp3"});
    form.playlist()->appendAll(std::vector<std::string_view>(65534, "x.mp3"));
    form.Digits1->setValue(65534);
    form.Timer1Timer();
    QVERIFY(!form.StaticText1->isVisible());

    form.FileListBox1->selectAll();
    form.Button1->click();
    QCOMPARE(form.playlist()->count(), 65535u);
    QCOMPARE(QString::fromUtf8(form.playlist()->entry(65534)), QStringLiteral("limit/a.mp3"));
    QCOMPARE(fx.dialogs.texts(), QStringList(2, QStringLiteral("Další položky přidávat nelze!")));
    QCOMPARE(form.Digits1->Value(), 65535);
    form.Timer1Timer();
    QVERIFY(form.StaticText1->isVisible());
}

void TestMainWindow::addingByDoubleClickEnterAndDrag() {
    MainWindowFixture fx;
    TForm1& form = showIn(fx, "add", {"a.mp3", "b.mp3", "c.mp3", "d.txt"});
    // Double-click and Enter add only the focused file, whatever else is selected.
    form.FileListBox1->setCurrentIndex(form.FileListBox1->model()->index(1, 0));
    form.FileListBox1->selectAll();
    form.FileListBox1DblClick();
    form.FileListBox1KeyPress(Qt::Key_Return);
    form.FileListBox1KeyPress(Qt::Key_A);
    QCOMPARE(fx.entries(), QStringList(2, "add/b.mp3"));

    // A drag from the file list may drop on the playlist; it adds every selected file.
    QVERIFY(form.ListBox1DragOver(form.FileListBox1));
    QVERIFY(!form.ListBox1DragOver(form.DirectoryListBox1));
    form.FileListBox1EndDrag(form.DirectoryListBox1);
    form.FileListBox1EndDrag(form.ListBox1->viewport());
    QCOMPARE(fx.entries().mid(2), (QStringList{"add/a.mp3", "add/b.mp3", "add/c.mp3"}));
    QCOMPARE(form.Digits1->Value(), 5);
}

void TestMainWindow::prefixModesThroughTheWindow() {
    MainWindowFixture fx;
    TForm1& form = showIn(fx, "Music", {"song.mp3"});
    const QString shown = form.DirectoryListBox1->Directory();
    form.Edit1->setText("ABC");
    for (QRadioButton* radio : {form.RadioButton1, form.RadioButton2, form.RadioButton3,
                                form.RadioButton4, form.RadioButton5}) {
        radio->click();
        QCOMPARE(form.Edit1->isEnabled(), radio == form.RadioButton4);
        form.Pridat("song.mp3");
    }
    QCOMPARE(fx.entries(), (QStringList{shown + "/song.mp3", shown.mid(1) + "/song.mp3",
                                        "Music/song.mp3", "ABCsong.mp3", "song.mp3"}));
}

void TestMainWindow::removeSelectedAndAll() {
    MainWindowFixture fx;
    TForm1& form = fx.show();
    for (const char* e : {"0", "1", "2", "3", "4"})
        form.playlist()->append(e);
    form.Digits1->setValue(5);
    form.Timer1Timer();

    for (int row : {0, 2, 3})
        form.ListBox1->setSelected(row, true);
    QTest::keyClick(form.ListBox1, Qt::Key_Delete);
    QCOMPARE(fx.entries(), (QStringList{"1", "4"}));
    form.ListBox1->setSelected(1, true);
    form.Odebrat1->trigger();
    QCOMPARE(fx.entries(), QStringList{"1"});

    // Removing all asks; only Yes empties the list.
    fx.dialogs.answers = {Dialogs::Answer::No, Dialogs::Answer::Closed, Dialogs::Answer::Yes};
    form.Button2Click();
    form.Button2Click();
    QCOMPARE(form.playlist()->count(), 1u);
    form.OdebratAll->trigger();
    QCOMPARE(form.playlist()->count(), 0u);
    QCOMPARE(form.Digits1->Value(), 0);
    QCOMPARE(fx.dialogs.texts(), QStringList(3, "Opravdu chcete odebrat všechny položky ?"));
}

void TestMainWindow::selectAllAndClick() {
    MainWindowFixture fx;
    TForm1& form = showIn(fx, "none", {});
    fx.settings.cistTag = "NE"; // the files are empty: no tag to read
    form.Button7Click();
    QVERIFY(form.currentFilePath().isEmpty() && form.FileNameTag->text().isEmpty());

    tb::test::makeFiles(dir_.filePath("all"), {"b.mp3", "A.mp3", "c.mp3"});
    fx.browse(dir_.filePath("all"));
    const QString shown = form.DirectoryListBox1->Directory() + '/';
    form.TitleTag->setText("old");
    form.Timer1Timer(); // the enable timer ticks before the menu opens
    form.Vyberve1->trigger();
    QCOMPARE(form.currentFilePath(), shown + "A.mp3");
    QCOMPARE(form.FileNameTag->text(), shown + "A.mp3");
    QCOMPARE(form.FileNameTag->palette().color(QPalette::WindowText), QColor(0x808080));
    QCOMPARE(form.FileListBox1->selectedNames(), (QStringList{"A.mp3", "b.mp3", "c.mp3"}));
    QCOMPARE(form.TitleTag->text(), QStringLiteral("old")); // tags are off: the panel stays

    // A click makes the file current and empties the panel; another directory keeps it.
    fx.clickFile(1);
    QCOMPARE(form.FileNameTag->text(), shown + "b.mp3");
    QVERIFY(form.TitleTag->text().isEmpty());
    fx.browse(dir_.path());
    QCOMPARE(form.currentFilePath(), shown + "b.mp3");
}

void TestMainWindow::eachDriveRemembersADirectoryOnItself() {
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
    QCOMPARE(form.Disk->Drive(), v);
    QCOMPARE(form.DirectoryListBox1->Directory(), start);
    QCOMPARE(form.FileListBox1->selectedNames(), QStringList{"x.mp3"});

    // "/" goes to its own root, not to V's directory, and V back to where it was.
    form.Disk->setDrive("/");
    QCOMPARE(form.DirectoryListBox1->Directory(), QStringLiteral("/"));
    QCOMPARE(form.Disk->Drive(), QStringLiteral("/"));
    form.Disk->setDrive(v);
    QCOMPARE(form.DirectoryListBox1->Directory(), start);
    // Once ready, W opens at its root.
    fx.volumes.notReady.clear();
    form.Disk->setDrive(w);
    QCOMPARE(form.DirectoryListBox1->Directory(), tb::directoryText(w));
    QCOMPARE(form.FileListBox1->count(), 0);
    QCOMPARE(fx.dialogs.shown.size(), 1);
}

void TestMainWindow::rightClickKeepsTheSelection() {
    MainWindowFixture fx;
    TForm1& form = showIn(fx, "right", {"a.mp3", "b.mp3", "c.mp3", "d.mp3"});
    fx.settings.cistTag = "NE";
    // Pressed and released as the user does; the platform then asks for the menu.
    const auto rightClick = [](QWidget* viewport, const QPoint& at) {
        QTest::mousePress(viewport, Qt::RightButton, {}, at);
        QTest::mouseRelease(viewport, Qt::RightButton, {}, at);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &menu);
    };

    TFileListBox* files = form.FileListBox1;
    fx.clickFile(0);
    fx.clickFile(1, Qt::ControlModifier);
    const QByteArray current = form.currentFilePath();
    rightClick(files->viewport(), files->visualRect(files->model()->index(3, 0)).center());
    QCOMPARE(files->selectedNames(), (QStringList{"a.mp3", "b.mp3"}));
    QCOMPARE(form.currentFilePath(), current);
    QVERIFY(form.Pop1->isVisible());
    form.Pop1->hide();
    form.Timer1Timer();
    form.Pridat1->trigger();
    QCOMPARE(fx.entries(), (QStringList{"right/a.mp3", "right/b.mp3"}));

    for (const char* e : {"c", "d"})
        form.playlist()->append(e);
    form.ListBox1->setSelected(0, true);
    form.ListBox1->setSelected(2, true);
    rightClick(form.ListBox1->viewport(), form.ListBox1->visualRect(3).center());
    QCOMPARE(form.ListBox1->selectionFlags(), (std::vector<bool>{true, false, true, false}));
    QVERIFY(form.POP2->isVisible());
    form.POP2->hide();
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
