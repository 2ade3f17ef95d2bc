#include "controls/Digits.h"
#include "controls/Lcd99.h"
#include "controls/Progress.h"
#include "filetools/DirectoryListBox.h"
#include "filetools/DriveBox.h"
#include "filetools/FileListBox.h"
#include "platform/IoError.h"
#include "platform/Paths.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <cerrno>

using tb::Dialogs;
using tb::test::MainWindowFixture;

namespace {

QStringList entries(const TForm1& form) {
    QStringList out;
    for (std::size_t i = 0; i < form.playlist()->count(); ++i)
        out.append(QString::fromUtf8(form.playlist()->entry(i)));
    return out;
}

void fill(TForm1& form, int count) {
    std::vector<std::string_view> many(static_cast<std::size_t>(count), "x.mp3");
    form.playlist()->appendAll(many);
    form.Digits1->setValue(count);
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void firstRunUsesDefaults();
    void storedSettingsAndClose();
    void missingLastDirAndDisplaysOff();
    void timerEnablesCommands();
    void itemLimit();
    void addingByButtonDoubleClickEnterAndDrag();
    void prefixModesThroughTheWindow();
    void removeSelectedAndDelete();
    void removeAllAsksFirst();
    void selectAll();
    void notReadyDriveIsRefused();
    void clickMakesTheFocusedFileCurrent();
    void errorsReachTheErrorBoxAndHelpOpens();

private:
    QTemporaryDir dir_;
};

void TestMainWindow::firstRunUsesDefaults() {
    MainWindowFixture fx;
    TForm1& form = fx.show();
    QCOMPARE(form.DirectoryListBox1->Directory(), tb::systemDriveRoot());
    QCOMPARE(fx.settings.rgPlay, tb::defaultPlayerCommand());
    for (const QString* sw :
         {&fx.settings.cistTag, &fx.settings.blikatka, &fx.settings.askRun, &fx.settings.delAfter})
        QCOMPARE(*sw, QStringLiteral("ANO"));
    QVERIFY(form.LCD991->isVisible());
    QVERIFY(form.Timer2->isActive());
    QCOMPARE(form.Timer2->interval(), 3000);
    // The LCD keeps its first text until the first tick.
    QCOMPARE(form.LCD991->Value(), QStringLiteral("QRQWDRQWEDQW"));
    form.Timer2Timer();
    bool isNumber = false;
    const qint64 value = form.LCD991->Value().toLongLong(&isNumber);
    QVERIFY(isNumber && value >= 1 && value <= 1410065407);
    QVERIFY(QList<QColor>({Qt::red, Qt::blue}).contains(form.PG1->ToColor()));
    QVERIFY(QList<QColor>({QColor(0, 255, 0), Qt::yellow}).contains(form.PG1->FromColor()));
    QVERIFY(!form.cacheFolderPath().isEmpty() && QDir(form.cacheFolderPath()).exists());
}

void TestMainWindow::storedSettingsAndClose() {
    MainWindowFixture fx;
    fx.settingsStore.values = {{"LastDir", dir_.path()}, {"RgPlay", "/opt/my player/play"},
                               {"CistTag", "ano"},       {"Blikatka", "ANO"},
                               {"AskRun", "NE"},         {"DelAfter", "jo"}};
    TForm1& form = fx.show();
    QCOMPARE(form.DirectoryListBox1->Directory(), tb::directoryText(dir_.path()));
    QCOMPARE(fx.settings.rgPlay, QStringLiteral("/opt/my player/play"));
    QVERIFY(!AppSettings::isOn(fx.settings.cistTag));

    fx.dialogs.answers = {Dialogs::Answer::No};
    form.BitBtn2->click();
    QVERIFY(form.isVisible());
    QVERIFY(fx.settingsStore.writeOrder.isEmpty());
    fx.dialogs.answers = {Dialogs::Answer::Closed}; // the box's own close button ends the run
    form.BitBtn2->click();
    QVERIFY(!form.isVisible());
    QCOMPARE(fx.dialogs.texts(), QStringList(2, "Opravdu chcete ukončit Trackbinder ?"));
    QCOMPARE(fx.dialogs.shown.first().kind, Dialogs::Kind::Confirmation);
    QCOMPARE(fx.settingsStore.writeOrder,
             (QStringList{"LastDir", "RgPlay", "CistTag", "AskRun", "DelAfter", "Blikatka"}));
    QCOMPARE(fx.settingsStore.values.value("LastDir"), tb::directoryText(dir_.path()));
    QCOMPARE(fx.settingsStore.values.value("RgPlay"), QStringLiteral("/opt/my player/play"));
    QCOMPARE(fx.settingsStore.values.value("CistTag"), QStringLiteral("NE"));
    QCOMPARE(fx.settingsStore.values.value("AskRun"), QStringLiteral("NE"));
    QCOMPARE(fx.settingsStore.values.value("DelAfter"), QStringLiteral("NE"));
    QCOMPARE(fx.settingsStore.values.value("Blikatka"), QStringLiteral("ANO"));
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
    fill(form, 65534);
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

void TestMainWindow::addingByButtonDoubleClickEnterAndDrag() {
    MainWindowFixture fx;
    TForm1& form = fx.show();
    tb::test::makeFiles(dir_.filePath("add"), {"a.mp3", "b.mp3", "c.mp3", "d.txt"});
    fx.browse(dir_.filePath("add"));
    QCOMPARE(form.FileListBox1->count(), 3);
    TFileListBox* files = form.FileListBox1;

    // Double-click and Enter add only the focused file, whatever else is selected.
    files->setCurrentIndex(files->model()->index(1, 0));
    files->selectAll();
    form.FileListBox1DblClick();
    QCOMPARE(entries(form), QStringList{"add/b.mp3"});
    form.FileListBox1KeyPress(Qt::Key_Return);
    form.FileListBox1KeyPress(Qt::Key_A);
    QCOMPARE(entries(form), (QStringList{"add/b.mp3", "add/b.mp3"}));

    // A drag from the file list may drop on the playlist; it adds every selected file.
    QVERIFY(form.ListBox1DragOver(form.FileListBox1));
    QVERIFY(!form.ListBox1DragOver(form.DirectoryListBox1));
    form.FileListBox1EndDrag(form.DirectoryListBox1);
    QCOMPARE(form.playlist()->count(), 2u);
    form.FileListBox1EndDrag(form.ListBox1->viewport());
    QCOMPARE(entries(form).mid(2), (QStringList{"add/a.mp3", "add/b.mp3", "add/c.mp3"}));
    QCOMPARE(form.Digits1->Value(), 5);
}

void TestMainWindow::prefixModesThroughTheWindow() {
    MainWindowFixture fx;
    TForm1& form = fx.show();
    const QString music = dir_.filePath("Music");
    tb::test::makeFiles(music, {"song.mp3"});
    fx.browse(music);
    const QString shown = form.DirectoryListBox1->Directory();
    const QStringList expected = {shown + "/song.mp3", shown.mid(1) + "/song.mp3", "Music/song.mp3",
                                  "ABCsong.mp3", "song.mp3"};
    QRadioButton* radios[] = {form.RadioButton1, form.RadioButton2, form.RadioButton3,
                              form.RadioButton4, form.RadioButton5};
    form.Edit1->setText("ABC");
    for (QRadioButton* radio : radios) {
        radio->click();
        QCOMPARE(form.Edit1->isEnabled(), radio == form.RadioButton4);
        form.Pridat("song.mp3");
    }
    QCOMPARE(entries(form), expected);
}

void TestMainWindow::removeSelectedAndDelete() {
    MainWindowFixture fx;
    TForm1& form = fx.show();
    for (const char* e : {"0", "1", "2", "3", "4"})
        form.playlist()->append(e);
    form.Digits1->setValue(5);
    form.Timer1Timer();

    // Delete with nothing selected rebuilds the same list.
    QTest::keyClick(form.ListBox1, Qt::Key_Delete);
    QCOMPARE(entries(form), (QStringList{"0", "1", "2", "3", "4"}));
    QCOMPARE(form.Digits1->Value(), 5);

    for (int row : {0, 2, 3})
        form.ListBox1->setSelected(row, true);
    QTest::keyClick(form.ListBox1, Qt::Key_Delete);
    QCOMPARE(entries(form), (QStringList{"1", "4"}));
    QCOMPARE(form.Digits1->Value(), 2);
    QCOMPARE(form.ListBox1->selectedCount(), 0);
    QVERIFY(form.ListBox1->hasFocus() || !QApplication::focusWindow());

    form.ListBox1->setSelected(1, true);
    form.Odebrat1->trigger();
    QCOMPARE(entries(form), QStringList{"1"});
}

void TestMainWindow::removeAllAsksFirst() {
    MainWindowFixture fx;
    TForm1& form = fx.show();
    fill(form, 3);
    fx.dialogs.answers = {Dialogs::Answer::No, Dialogs::Answer::Closed, Dialogs::Answer::Yes};
    form.Button2Click();
    form.Button2Click();
    QCOMPARE(form.playlist()->count(), 3u);
    form.OdebratAll->trigger();
    QCOMPARE(form.playlist()->count(), 0u);
    QCOMPARE(form.Digits1->Value(), 0);
    QCOMPARE(fx.dialogs.texts().first(),
             QStringLiteral("Opravdu chcete odebrat všechny položky ?"));
}

void TestMainWindow::selectAll() {
    MainWindowFixture fx;
    TForm1& form = fx.show();
    fx.settings.cistTag = "NE"; // the files are empty: no tag to read
    QTemporaryDir empty;
    fx.browse(empty.path());
    form.Button7Click();
    QVERIFY(form.currentFilePath().isEmpty());
    QVERIFY(form.FileNameTag->text().isEmpty());

    tb::test::makeFiles(dir_.filePath("all"), {"b.mp3", "A.mp3"});
    fx.browse(dir_.filePath("all"));
    form.TitleTag->setText("old");
    form.Timer1Timer(); // the enable timer ticks before the menu opens
    form.Vyberve1->trigger();
    const QString first = form.DirectoryListBox1->Directory() + "/A.mp3";
    QCOMPARE(form.currentFilePath(), first);
    QCOMPARE(form.FileNameTag->text(), first);
    QCOMPARE(form.FileListBox1->selectedNames(), (QStringList{"A.mp3", "b.mp3"}));
    QCOMPARE(form.TitleTag->text(), QStringLiteral("old")); // tags are off: the panel stays
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

void TestMainWindow::clickMakesTheFocusedFileCurrent() {
    MainWindowFixture fx;
    TForm1& form = fx.show();
    fx.settings.cistTag = "NE";
    tb::test::makeFiles(dir_.filePath("click"), {"a.mp3", "b.mp3", "c.mp3"});
    fx.browse(dir_.filePath("click"));
    TFileListBox* files = form.FileListBox1;
    form.ArtistTag->setText("stale");
    const QRect second = files->visualRect(files->model()->index(1, 0));
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, second.center());
    const QString expected = form.DirectoryListBox1->Directory() + "/b.mp3";
    QCOMPARE(form.currentFilePath(), expected);
    QCOMPARE(form.FileNameTag->text(), expected);
    QVERIFY(form.ArtistTag->text().isEmpty());

    // Another directory keeps the current file.
    fx.browse(dir_.path());
    QCOMPARE(form.currentFilePath(), expected);
}

void TestMainWindow::errorsReachTheErrorBoxAndHelpOpens() {
    MainWindowFixture fx;
    TForm1& form = fx.create();
    form.guarded([] { throw tb::IoError::fromErrno(ENOENT); });
    QCOMPARE(fx.dialogs.shown.size(), 1);
    QCOMPARE(fx.dialogs.shown.first().title, QStringLiteral("Trackbinder"));
    QCOMPARE(fx.dialogs.shown.first().text, QStringLiteral("File not found."));
    QCOMPARE(fx.dialogs.shown.first().kind, Dialogs::Kind::Error);
    // The help button opens the page beside the program.
    form.TransparentButton2Click();
    QCOMPARE(fx.launcher.documents, QStringList{tb::programDirectory() + "index.htm"});
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
