// Files dropped from a file manager onto the playlist and the directory list, and the
// program's fit to Linux: where a first run starts, the text prefix, and a player or help
// page that gives up at once.
#include "controls/Digits.h"
#include "filetools/DirectoryListBox.h"
#include "filetools/DriveBox.h"
#include "filetools/FileListBox.h"
#include "platform/DroppedFiles.h"
#include "platform/Launcher.h"
#include "platform/Paths.h"
#include "platform/Windows1250.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"
#include "support/MainWindowFixture.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using tb::test::MainWindowFixture;

namespace {

// An address as a file manager writes it: the path's bytes percent-encoded.
QByteArray fileUrl(const QByteArray& pathBytes) {
    return "file://" + pathBytes.toPercentEncoding("/");
}

struct DropResult {
    bool accepted;
    Qt::DropAction action;
};

// Drags the addresses over the widget and drops them, as another program's drag arrives
// (no source in this program); a file manager proposes to move.
DropResult dropOnto(QWidget* target, const QList<QByteArray>& urls,
                    Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
    QMimeData data;
    data.setData("text/uri-list", urls.join("\r\n") + "\r\n");
    const QPoint at(target->width() / 2, target->height() / 2);
    QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setDropAction(Qt::MoveAction);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return {false, Qt::IgnoreAction};
    QDropEvent drop(QPointF(at), actions, &data, Qt::LeftButton, Qt::NoModifier);
    drop.setDropAction(Qt::MoveAction);
    QCoreApplication::sendEvent(target, &drop);
    return {drop.isAccepted(), drop.dropAction()};
}

QList<QByteArray> entriesOf(const TForm1& form) {
    QList<QByteArray> entries;
    for (std::size_t i = 0; i < form.playlist()->count(); ++i)
        entries.append(QByteArray(form.playlist()->entry(i).data(),
                                  qsizetype(form.playlist()->entry(i).size())));
    return entries;
}

// Folder names that are not UTF-8. Each is made beside a folder whose UTF-8 name reads
// the same and which holds another song, so that a step that loses the name's bytes
// ends in the wrong folder, or nowhere.
void nonUtf8FolderRows() {
    QTest::addColumn<QByteArray>("folder");
    QTest::newRow("Windows-1250") << QByteArray("P\xed"
                                                "se\xf2");
    QTest::newRow("bytes Windows-1250 leaves out") << QByteArray("Mix\x81\x98");
    QTest::newRow("UTF-8, then not") << QByteArray("\xc5\xbdlu\xc5\xa5 \xe9");
}

} // namespace

class TestOutsideDropsAndLinuxFit : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(dir_.isValid()); }
    // The temporary folder's own cleanup cannot reach a name that is not UTF-8.
    void cleanup() { std::filesystem::remove_all(pathOf("lib").toStdString()); }

    void filesAndFoldersDroppedOnThePlaylist();
    void folderDroppedOnTheDirectoryListAndDropsToTheItemLimit();
    void nonUtf8FolderListedEnteredAndAdded_data() { nonUtf8FolderRows(); }
    void nonUtf8FolderListedEnteredAndAdded();
    void nonUtf8FolderDropped_data() { nonUtf8FolderRows(); }
    void nonUtf8FolderDropped();
    void nonUtf8FolderSearched_data() { nonUtf8FolderRows(); }
    void nonUtf8FolderSearched();
    void firstRunStartsInTheMusicFolderElseHome();
    void playerOrHelpThatGivesUpIsReported();
    void systemLauncherWatchesTheStartedProgram();

private:
    QByteArray pathOf(const char* relative) const {
        return QFile::encodeName(dir_.path()) + '/' + relative;
    }

    // Makes lib/<folder>/inside.mp3 and lib/<its look-alike>/decoy.mp3; gives the folder's path.
    QByteArray makeFolderAndLookAlike(const QByteArray& folder) const {
        const QByteArray path = pathOf("lib/") + folder;
        const QByteArray lookAlike = pathOf("lib/") + tb::fromUtf8OrWindows1250(folder).toUtf8();
        for (const QByteArray& song : {path + "/inside.mp3", lookAlike + "/decoy.mp3"}) {
            std::filesystem::create_directories(song.left(song.lastIndexOf('/')).toStdString());
            std::ofstream(song.toStdString()).put('x');
        }
        return path;
    }

    QTemporaryDir dir_;
};

void TestOutsideDropsAndLinuxFit::filesAndFoldersDroppedOnThePlaylist() {
    MainWindowFixture fx;
    TForm1& form = fx.show();
    // A name that is not UTF-8 (Windows-1250 "Píseň") must come through byte for byte.
    const QByteArray czech("P\xed"
                           "se\xf2.mp3");
    tb::test::makeFiles(dir_.path(),
                        {"rock/b.MP3", "rock/a.mp3", "rock/cover.jpg", "rock/.hidden.mp3",
                         "rock/live/x.mp3", "pop/one.mp3", "pop/notes.txt"});
    const QByteArray czechPath = pathOf("pop/") + czech;
    FILE* named = std::fopen(czechPath.constData(), "w"); // by its bytes
    QVERIFY(named && std::fclose(named) == 0);
    // The temporary folder's own cleanup cannot reach a name that is not UTF-8.
    const auto removeCzech = qScopeGuard([&] { ::unlink(czechPath.constData()); });
    ::mkfifo(pathOf("pop/pipe.mp3").constData(), 0600);
    form.RadioButton1->setChecked(true); // full paths show where each entry came from

    // In the order dropped: a file, a folder's matching files (not its subfolder's, not
    // hidden ones, in the file list's order), a file the mask refuses, a missing file, a
    // FIFO, a web address and a file of another host are left out.
    const DropResult result =
        dropOnto(form.ListBox1->viewport(),
                 {fileUrl(pathOf("pop/one.mp3")), fileUrl(pathOf("rock/")),
                  fileUrl(pathOf("pop/notes.txt")), fileUrl(pathOf("pop/gone.mp3")),
                  fileUrl(pathOf("pop/pipe.mp3")), "https://example.org/song.mp3",
                  "file://otherhost/srv/song.mp3", fileUrl(pathOf("pop/") + czech)});
    QVERIFY(result.accepted);
    QCOMPARE(result.action, Qt::CopyAction); // never a move: the files stay where they are
    const QByteArray pop = pathOf("pop/"), rock = pathOf("rock/");
    QCOMPARE(entriesOf(form),
             (QList<QByteArray>{pop + "one.mp3", rock + "a.mp3", rock + "b.MP3", pop + czech}));
    QTRY_COMPARE(form.Digits1->Value(), 4);

    // The prefix mode applies as to any add: the dropped file's own folder, not the shown one.
    form.RadioButton3->setChecked(true);
    dropOnto(form.ListBox1->viewport(), {fileUrl(pathOf("rock/a.mp3"))});
    QCOMPARE(fx.entries().last(), QStringLiteral("rock/a.mp3"));

    // Only web addresses: refused, nothing added.
    QVERIFY(!dropOnto(form.ListBox1->viewport(), {"https://example.org/a.mp3"}).accepted);
    QCOMPARE(form.playlist()->count(), std::size_t{5});

    // A file manager that offers a plain drag only as a move (xfe) is answered with its
    // move and the file is added; it stays where it is.
    const DropResult moved =
        dropOnto(form.ListBox1->viewport(), {fileUrl(pathOf("rock/a.mp3"))}, Qt::MoveAction);
    QVERIFY(moved.accepted);
    QCOMPARE(moved.action, Qt::MoveAction);
    QCOMPARE(form.playlist()->count(), std::size_t{6});
    QVERIFY(QFile::exists(QFile::decodeName(pathOf("rock/a.mp3"))));
    QCOMPARE(fx.dialogs.unexpected, 0);
}

void TestOutsideDropsAndLinuxFit::folderDroppedOnTheDirectoryListAndDropsToTheItemLimit() {
    MainWindowFixture fx;
    TForm1& form = fx.show();
    tb::test::makeFiles(dir_.path(), {"jazz/a.mp3", "blues/b.mp3"});
    const QString jazz = tb::directoryText(dir_.filePath("jazz"));
    QVERIFY(dropOnto(form.DirectoryListBox1->viewport(), {fileUrl(pathOf("jazz"))}).accepted);
    QCOMPARE(form.DirectoryListBox1->Directory(), jazz);
    QCOMPARE(form.FileListBox1->count(), 1); // the file list follows
    // A dropped file takes the list to its folder; a web address is refused.
    dropOnto(form.DirectoryListBox1->viewport(), {fileUrl(pathOf("blues/b.mp3"))});
    QCOMPARE(form.DirectoryListBox1->Directory(), tb::directoryText(dir_.filePath("blues")));
    QVERIFY(!dropOnto(form.DirectoryListBox1->viewport(), {"https://example.org/"}).accepted);
    QVERIFY(dropOnto(form.DirectoryListBox1->viewport(), {fileUrl(pathOf("jazz"))}, Qt::MoveAction)
                .accepted); // a move-only drag too
    QCOMPARE(form.DirectoryListBox1->Directory(), jazz);

    // On the playlist the first file fits; the next is refused with the one error box,
    // and the drop ends.
    tb::test::makeFiles(dir_.path(), {"many/1.mp3", "many/2.mp3", "many/3.mp3"});
    for (int i = 0; i < TForm1::ItemLimit - 1; ++i)
        form.playlist()->append("x");
    dropOnto(form.ListBox1->viewport(), {fileUrl(pathOf("many/"))});
    QCOMPARE(form.playlist()->count(), std::size_t{TForm1::ItemLimit});
    QCOMPARE(fx.dialogs.texts(), QStringList{"Další položky přidávat nelze!"});
}

void TestOutsideDropsAndLinuxFit::nonUtf8FolderListedEnteredAndAdded() {
    QFETCH(QByteArray, folder);
    MainWindowFixture fx;
    TForm1& form = fx.show();
    const QByteArray path = makeFolderAndLookAlike(folder);
    const QString shown = tb::fromUtf8OrWindows1250(folder);

    // Both are listed under the same text; each row enters its own folder.
    QStringList reached;
    for (int row = 0; row < 2; ++row) {
        fx.browse(dir_.filePath("lib"));
        const QList<QListWidgetItem*> rows =
            form.DirectoryListBox1->findItems(shown, Qt::MatchExactly);
        QCOMPARE(rows.size(), 2);
        form.DirectoryListBox1->setCurrentItem(rows.at(row));
        QTest::keyClick(form.DirectoryListBox1, Qt::Key_Return);
        QCOMPARE(form.FileListBox1->count(), 1);
        reached.append(form.FileListBox1->fileName(0));
    }
    QCOMPARE(QSet<QString>(reached.cbegin(), reached.cend()),
             (QSet<QString>{"inside.mp3", "decoy.mp3"}));
    fx.browse(dir_.filePath("lib"));
    form.DirectoryListBox1->setCurrentItem(
        form.DirectoryListBox1->findItems(shown, Qt::MatchExactly)[reached.indexOf("inside.mp3")]);
    QTest::keyClick(form.DirectoryListBox1, Qt::Key_Return);
    QCOMPARE(form.FileListBox1->fileName(0), QStringLiteral("inside.mp3"));
    QCOMPARE(form.DirectoryListBox1->Directory(), dir_.filePath("lib/") + shown);

    // Its song goes in by the folder's bytes, whole or as the last folder alone.
    fx.selectFiles({0});
    form.RadioButton1->setChecked(true);
    form.Button1Click();
    form.RadioButton3->setChecked(true);
    form.Button1Click();
    QCOMPARE(entriesOf(form), (QList<QByteArray>{path + "/inside.mp3", folder + "/inside.mp3"}));

    // From a folder below it, its row on the path leads back up to it.
    std::filesystem::create_directory((path + "/deeper").toStdString());
    form.DirectoryListBox1->setDirectoryBytes(path + "/deeper");
    QCOMPARE(form.DirectoryListBox1->DirectoryBytes(), path + "/deeper");
    form.DirectoryListBox1->setCurrentItem(
        form.DirectoryListBox1->findItems(shown, Qt::MatchExactly).value(0));
    QTest::keyClick(form.DirectoryListBox1, Qt::Key_Return);
    QCOMPARE(form.DirectoryListBox1->DirectoryBytes(), path);
}

void TestOutsideDropsAndLinuxFit::nonUtf8FolderDropped() {
    QFETCH(QByteArray, folder);
    MainWindowFixture fx;
    TForm1& form = fx.show();
    const QByteArray path = makeFolderAndLookAlike(folder);
    form.RadioButton1->setChecked(true);

    // On the directory list, the folder or a file in it takes the list there.
    for (const QByteArray& dropped : {path, path + "/inside.mp3"}) {
        fx.browse(dir_.path());
        QVERIFY(dropOnto(form.DirectoryListBox1->viewport(), {fileUrl(dropped)}).accepted);
        QCOMPARE(form.FileListBox1->count(), 1);
        QCOMPARE(form.FileListBox1->fileName(0), QStringLiteral("inside.mp3"));
    }
    // On the playlist, the folder's song and the file itself.
    dropOnto(form.ListBox1->viewport(), {fileUrl(path), fileUrl(path + "/inside.mp3")});
    QCOMPARE(entriesOf(form), QList<QByteArray>(2, path + "/inside.mp3"));
}

void TestOutsideDropsAndLinuxFit::nonUtf8FolderSearched() {
    QFETCH(QByteArray, folder);
    const QByteArray path = makeFolderAndLookAlike(folder);
    const QString lib = dir_.filePath("lib");
    MainWindowFixture fx;
    fx.volumes.volumes.append({lib, "TEST"});
    TForm1& form = fx.show();
    form.Disk->setDrive(lib);
    fx.dialogs.answers = {tb::Dialogs::Answer::Yes};
    form.Button8Click();
    QTRY_VERIFY(!form.driveSearchRunning());
    const QByteArray lookAlike = pathOf("lib/") + tb::fromUtf8OrWindows1250(folder).toUtf8();
    const QList<QByteArray> entries = entriesOf(form);
    QCOMPARE(QSet<QByteArray>(entries.cbegin(), entries.cend()),
             (QSet<QByteArray>{lookAlike + "/decoy.mp3", path + "/inside.mp3"}));
    QCOMPARE(entries.size(), 2);
}

void TestOutsideDropsAndLinuxFit::firstRunStartsInTheMusicFolderElseHome() {
    const QByteArray realHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(dir_.path()));
    const auto restore = qScopeGuard([&] { qputenv("HOME", realHome); });
    QCOMPARE(tb::firstRunDirectory(), tb::directoryText(dir_.path()));
    QVERIFY(QDir(dir_.path()).mkdir("Music"));
    QCOMPARE(tb::firstRunDirectory(), tb::directoryText(dir_.filePath("Music")));

    MainWindowFixture fx;
    TForm1& form = fx.show();
    QCOMPARE(form.DirectoryListBox1->Directory(), tb::directoryText(dir_.filePath("Music")));
    QCOMPARE(form.Edit1->text(), QStringLiteral("MP3/"));
}

void TestOutsideDropsAndLinuxFit::playerOrHelpThatGivesUpIsReported() {
    MainWindowFixture fx;
    fx.settingsStore.values = {{"RgPlay", "xdg-open"}, {"AskRun", "NE"}};
    TForm1& form = fx.show();
    tb::test::makeFiles(dir_.path(), {"a.mp3"});
    fx.browse(dir_.path());
    fx.selectFiles({0});

    // The player started, then gave up: the same warning as for one that cannot start,
    // and the play file goes at once, its removal timer with it.
    form.BitBtn1Click();
    const QString playFile = fx.launcher.commandLines.value(0).section('"', 1, 1);
    QVERIFY(QFile::exists(playFile));
    QVERIFY(fx.dialogs.shown.isEmpty());
    fx.launcher.failLastStart();
    QCOMPARE(fx.dialogs.texts(), QStringList{"Přehrávač \"xdg-open\" nelze spustit."});
    QCOMPARE(fx.dialogs.shown.first().kind, tb::Dialogs::Kind::Warning);
    QVERIFY(!QFile::exists(playFile));
    QVERIFY(!form.findChild<QTimer*>(playFile));

    // A help page that no viewer opens is reported too.
    form.TransparentButton2Click();
    fx.launcher.failLastStart();
    QCOMPARE(fx.dialogs.shown.size(), 2);
    QVERIFY(fx.dialogs.shown.last().text.startsWith("Nápovědu \""));

    // A window gone by the time the player gives up is left alone.
    form.BitBtn1Click();
    fx.form.reset();
    fx.launcher.failLastStart();
    QCOMPARE(fx.dialogs.shown.size(), 2);
}

void TestOutsideDropsAndLinuxFit::systemLauncherWatchesTheStartedProgram() {
    tb::SystemLauncher launcher;
    int failedFalse = 0, failedTrue = 0, failedLate = 0;
    QVERIFY(!launcher.startCommand("/no/such/player", {"/tmp/x.m3u"}, [&] { ++failedFalse; }));
    QCOMPARE(failedFalse, 0); // told at once by the return value instead

    QVERIFY(launcher.startCommand("false", {}, [&] { ++failedFalse; }));
    QVERIFY(launcher.startCommand("true", {}, [&] { ++failedTrue; }));
    QVERIFY(launcher.startCommand("sh -c \"sleep 0.3; exit 3\"", {}, [&] { ++failedLate; }));
    QCOMPARE(failedFalse, 0); // never from within the start: the window thread goes on
    QTRY_COMPARE(failedFalse, 1);
    QTRY_COMPARE(failedLate, 1);
    QTest::qWait(50);
    QCOMPARE(failedTrue, 0);
    QCOMPARE(failedFalse, 1);
}

QTEST_MAIN(TestOutsideDropsAndLinuxFit)
#include "test_outside_drops_and_linux_fit.moc"
