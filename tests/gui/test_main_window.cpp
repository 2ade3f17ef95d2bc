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
    void missingLastDirAndDisplaysOff();
    void timerEnablesCommands();
    void itemLimit();
    void addingByDoubleClickEnterAndDrag();
    void prefixModesThroughTheWindow();
    void removeSelectedAndAll();
    void selectAllAndClick();
    void notReadyDriveIsRefused();
    void eachDriveRemembersADirectoryOnItself();
    void rightClickKeepsTheSelection();

private:
    QTemporaryDir dir_;
};

void TestMainWindow::firstRunDefaultsErrorBoxAndHelp() {
    MainWindowFixture fx;
    TForm1& form = fx.show();
    QCOMPARE(form.DirectoryListBox1->Directory(), tb::systemDriveRoot());
    QCOMPARE(fx.settings.rgPlay, tb::defaultPlayerCommand());
    for (const QString* sw :
         {&fx.settings.cistTag, &fx.settings.blikatka, &fx.settings.askRun, &fx.settings.delAfter})
        QCOMPARE(*sw, QStringLiteral("ANO"));
    QVERIFY(form.LCD991->isVisible() && form.Timer2->isActive());
    QCOMPARE(form.Timer2->interval(), 3000);
    QCOMPARE(form.LCD991->Value(), QStringLiteral("QRQWDRQWEDQW")); // until the first tick
    form.Timer2Timer();
    bool isNumber = false;
    const qint64 value = form.LCD991->Value().toLongLong(&isNumber);
    QVERIFY(isNumber && value >= 1 && value <= 1410065407);
    QVERIFY(QList<QColor>({Qt::red, Qt::blue}).contains(form.PG1->ToColor()));
    QVERIFY(QList<QColor>({QColor(0, 255, 0), Qt::yellow}).contains(form.PG1->FromColor()));

    form.guarded([] { throw tb::IoError::fromErrno(ENOENT); });
    QCOMPARE(fx.dialogs.texts(), QStringList{"File not found."});
    QCOMPARE(fx.dialogs.shown.first().title, QStringLiteral("Trackbinder"));
    QCOMPARE(fx.dialogs.shown.first().kind, Dialogs::Kind::Error);
    form.TransparentButton2Click(); // help: the page beside the program
    QCOMPARE(fx.launcher.documents, QStringList{tb::programDirectory() + "index.htm"});
}

void TestMainWindow::storedSettingsAndClose() {
    MainWindowFixture fx;
    const QString shown = tb::directoryText(dir_.path());
    fx.settingsStore.values = {{"LastDir", dir_.path()}, {"RgPlay", "/opt/my player/play"},
                               {"CistTag", "ano"},       {"Blikatka", "ANO"},
                               {"AskRun", "NE"},         {"DelAfter", "jo"}};
    TForm1& form = fx.show();
    QCOMPARE(form.DirectoryListBox1->Directory(), shown);

    fx.dialogs.answers = {Dialogs::Answer::No, Dialogs::Answer::Closed};
    form.BitBtn2->click();
    QVERIFY(form.isVisible() && fx.settingsStore.writeOrder.isEmpty());
    form.BitBtn2->click(); // the box's own close button ends the run
    QVERIFY(!form.isVisible());
    QCOMPARE(fx.dialogs.texts(), QStringList(2, "Opravdu chcete ukončit Trackbinder ?"));
    QCOMPARE(fx.dialogs.shown.first().kind, Dialogs::Kind::Confirmation);
    QStringList written;
    for (const QString& name : fx.settingsStore.writeOrder)
        written << name + '=' + fx.settingsStore.values.value(name);
    QCOMPARE(written, (QStringList{"LastDir=" + shown, "RgPlay=/opt/my player/play", "CistTag=NE",
                                   "AskRun=NE", "DelAfter=NE", "Blikatka=ANO"}));
}

void TestMainWindow::missingLastDirAndDisplaysOff() {
    MainWindowFixture fx;
    fx.settingsStore.values = {{"LastDir", dir_.filePath("gone")}, {"Blikatka", "NE"}};
    TForm1& form = fx.create();
    const QString start = form.DirectoryListBox1->Directory();
    fx.show();
    QCOMPARE(form.DirectoryListBox1->Directory(), start);
    // The displays stay off: the LCD hidden, the gauge shown and still.
    QVERIFY(!form.LCD991->isVisible() && form.PG1->isVisible() && !form.Timer2->isActive());
    fx.dialogs.answers = {Dialogs::Answer::Yes};
    form.close();
    QCOMPARE(fx.settingsStore.values.value("LastDir"), start);
    QCOMPARE(fx.settingsStore.values.value("Blikatka"), QStringLiteral("NE"));
}

void TestMainWindow::timerEnablesCommands() {
    MainWindowFixture fx;
    TForm1& form = fx.show();
    QTemporaryDir empty;
    fx.browse(empty.path());
    form.Timer1Timer();
    for (QPushButton* b : {form.Button1, form.Button7, form.Button3, form.Button2, form.Button4,
                           form.BitBtn1, form.PrejmenBt, form.SmazatBt})
        QVERIFY2(!b->isEnabled(), qPrintable(b->text()));
    for (QAction* a : {form.Pridat1, form.Prehraj1, form.Vyberve1, form.Prejmen, form.Smazat1})
        QVERIFY2(!a->isEnabled(), qPrintable(a->text()));

    tb::test::makeFiles(empty.path(), {"a.mp3"});
    form.FileListBox1->Update();
    QTRY_VERIFY_WITH_TIMEOUT(form.Button1->isEnabled(), 50); // within a few ticks
    QVERIFY(form.Button7->isEnabled() && form.Pridat1->isEnabled() && form.Prehraj1->isEnabled());
    QVERIFY(!form.Button3->isEnabled() && !form.BitBtn1->isEnabled());

    form.Button7->click(); // select all sets the current file
    form.Button1->click();
    form.Timer1Timer();
    for (QPushButton* b :
         {form.Button3, form.Button2, form.Button4, form.BitBtn1, form.PrejmenBt, form.SmazatBt})
        QVERIFY2(b->isEnabled(), qPrintable(b->text()));
    QVERIFY(form.Prejmen->isEnabled() && form.Smazat1->isEnabled());
}

void TestMainWindow::itemLimit() {
    MainWindowFixture fx;
    TForm1& form = fx.show();
    tb::test::makeFiles(dir_.filePath("limit"), {"a.mp3", "b.mp3", "c.mp3"});
    fx.browse(dir_.filePath("limit"));
    form.playlist()->appendAll(std::vector<std::string_view>(65534, "x.mp3"));
    form.Digits1->setValue(65534);
    form.Timer1Timer();
    QVERIFY(!form.StaticText1->isVisible());

    form.FileListBox1->selectAll();
    form.Button1->click();
    QCOMPARE(form.playlist()->count(), 65535u);
    QCOMPARE(QString::fromUtf8(form.playlist()->entry(65534)), QStringLiteral("limit/a.mp3"));
    QCOMPARE(fx.dialogs.texts(), QStringList(2, QStringLiteral("Další položky přidávat nelze!")));
    QCOMPARE(fx.dialogs.shown.first().kind, Dialogs::Kind::Error);
    QCOMPARE(form.Digits1->Value(), 65535);
    form.Timer1Timer();
    QVERIFY(form.StaticText1->isVisible());
}

void TestMainWindow::addingByDoubleClickEnterAndDrag() {
    MainWindowFixture fx;
    TForm1& form = fx.show();
    tb::test::makeFiles(dir_.filePath("add"), {"a.mp3", "b.mp3", "c.mp3", "d.txt"});
    fx.browse(dir_.filePath("add"));

    // Double-click and Enter add only the focused file, whatever else is selected.
    form.FileListBox1->setCurrentIndex(form.FileListBox1->model()->index(1, 0));
    form.FileListBox1->selectAll();
    form.FileListBox1DblClick();
    QCOMPARE(fx.entries(), QStringList{"add/b.mp3"});
    form.FileListBox1KeyPress(Qt::Key_Return);
    form.FileListBox1KeyPress(Qt::Key_A);
    QCOMPARE(fx.entries(), QStringList(2, "add/b.mp3"));

    // A drag from the file list may drop on the playlist; it adds every selected file.
    QVERIFY(form.ListBox1DragOver(form.FileListBox1));
    QVERIFY(!form.ListBox1DragOver(form.DirectoryListBox1));
    form.FileListBox1EndDrag(form.DirectoryListBox1);
    QCOMPARE(form.playlist()->count(), 2u);
    form.FileListBox1EndDrag(form.ListBox1->viewport());
    QCOMPARE(fx.entries().mid(2), (QStringList{"add/a.mp3", "add/b.mp3", "add/c.mp3"}));
    QCOMPARE(form.Digits1->Value(), 5);
}

void TestMainWindow::prefixModesThroughTheWindow() {
    MainWindowFixture fx;
    TForm1& form = fx.show();
    const QString music = dir_.filePath("Music");
    tb::test::makeFiles(music, {"song.mp3"});
    fx.browse(music);
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

    // Delete with nothing selected rebuilds the same list.
    QTest::keyClick(form.ListBox1, Qt::Key_Delete);
    QCOMPARE(fx.entries(), (QStringList{"0", "1", "2", "3", "4"}));
    QCOMPARE(form.Digits1->Value(), 5);

    for (int row : {0, 2, 3})
        form.ListBox1->setSelected(row, true);
    QTest::keyClick(form.ListBox1, Qt::Key_Delete);
    QCOMPARE(fx.entries(), (QStringList{"1", "4"}));
    QCOMPARE(form.Digits1->Value(), 2);
    QCOMPARE(form.ListBox1->selectedCount(), 0);
    QVERIFY(form.ListBox1->hasFocus() || !QApplication::focusWindow());
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
    TForm1& form = fx.show();
    fx.settings.cistTag = "NE"; // the files are empty: no tag to read
    QTemporaryDir empty;
    fx.browse(empty.path());
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
    QCOMPARE(form.currentFilePath(), shown + "b.mp3");
    QCOMPARE(form.FileNameTag->text(), shown + "b.mp3");
    QVERIFY(form.TitleTag->text().isEmpty());
    fx.browse(dir_.path());
    QCOMPARE(form.currentFilePath(), shown + "b.mp3");
}

void TestMainWindow::notReadyDriveIsRefused() {
    MainWindowFixture fx;
    const QString other = dir_.filePath("usb");
    QDir().mkpath(other);
    tb::test::makeFiles(dir_.filePath("here"), {"x.mp3"});
    fx.volumes.volumes = {{"/", QString()}, {other, "USB"}};
    fx.volumes.notReady = {other};
    TForm1& form = fx.show();
    fx.browse(dir_.filePath("here"));
    const QString before = form.DirectoryListBox1->Directory();

    form.Disk->setDrive(other);
    QCOMPARE(fx.dialogs.texts(), QStringList{"V mechanice není médium / disk nepřístupný!"});
    QCOMPARE(fx.dialogs.shown.first().kind, Dialogs::Kind::Error);
    QCOMPARE(form.Disk->Drive(), QStringLiteral("/"));
    QCOMPARE(form.DirectoryListBox1->Directory(), before);
    QCOMPARE(form.FileListBox1->count(), 1);

    // Once ready, the directory list moves to that drive.
    fx.volumes.notReady.clear();
    form.Disk->setDrive(other);
    QCOMPARE(form.DirectoryListBox1->Directory(), tb::directoryText(other));
    QCOMPARE(form.FileListBox1->count(), 0);
    QCOMPARE(fx.dialogs.shown.size(), 1);
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

    // A drive that is not ready leaves both lists as they were, selection and all.
    fx.selectFiles({0});
    form.Disk->setDrive(w);
    QCOMPARE(form.Disk->Drive(), v);
    QCOMPARE(form.DirectoryListBox1->Directory(), start);
    QCOMPARE(form.FileListBox1->selectedNames(), QStringList{"x.mp3"});

    // "/" goes to its own root, not to V's directory, and V back to where it was.
    form.Disk->setDrive("/");
    QCOMPARE(form.DirectoryListBox1->Directory(), QStringLiteral("/"));
    QCOMPARE(form.Disk->Drive(), QStringLiteral("/"));
    form.Disk->setDrive(v);
    QCOMPARE(form.DirectoryListBox1->Directory(), start);
    QCOMPARE(fx.dialogs.texts(), QStringList{"V mechanice není médium / disk nepřístupný!"});
}

void TestMainWindow::rightClickKeepsTheSelection() {
    MainWindowFixture fx;
    TForm1& form = fx.show();
    fx.settings.cistTag = "NE";
    tb::test::makeFiles(dir_.filePath("right"), {"a.mp3", "b.mp3", "c.mp3", "d.mp3"});
    fx.browse(dir_.filePath("right"));
    // Pressed and released as the user does; the platform then asks for the menu.
    const auto rightClick = [](QWidget* viewport, const QPoint& at) {
        QTest::mousePress(viewport, Qt::RightButton, {}, at);
        QTest::mouseRelease(viewport, Qt::RightButton, {}, at);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &menu);
    };

    TFileListBox* files = form.FileListBox1;
    fx.clickFile(0);
    QTest::mouseClick(files->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      files->visualRect(files->model()->index(1, 0)).center());
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
