#include "controls/Digits.h"
#include "filetools/FileListBox.h"
#include "support/MainWindowFixture.h"
#include "support/Mp3Bytes.h"
#include "support/QtTests.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using tb::Dialogs;
using tb::test::contents;
using tb::test::MainWindowFixture;
using tb::test::writeFile;

namespace {

using Entries = QList<QByteArray>;

void setEntries(TForm1& form, const Entries& list) {
    form.playlist()->clear();
    for (const QByteArray& entry : list)
        form.playlist()->append(entry.toStdString());
    form.Digits1->setValue(static_cast<int>(list.size()));
    form.Timer1Timer(); // enables the save button
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

TForm1& showWith(MainWindowFixture& fx, const char* delAfterAndAskRun) {
    fx.settingsStore.values = {{"Blikatka", "NE"},
                               {"DelAfter", delAfterAndAskRun},
                               {"AskRun", delAfterAndAskRun},
                               {"RgPlay", "/opt/my player/play"}};
    return fx.show();
}

namespace mp3 = tb::test::mp3;

// Three songs: tagged ID3v1, tagged ID3v2.4 and untagged, added from the file list.
TForm1& showThreeSongs(MainWindowFixture& fx, const QString& directory) {
    fx.settingsStore.values = {{"Blikatka", "NE"}, {"DelAfter", "NE"}, {"AskRun", "NE"}};
    TForm1& form = fx.showSongs(
        directory,
        {QByteArray::fromStdString(
             mp3::file(383, mp3::Tag::Id3v1, {"Brat\xe8\xedku", "Kryl", "Album"})),
         QByteArray::fromStdString(mp3::file(77, mp3::Tag::Id3v24, {"Léto", "Žlutý pes", "Dvě"})),
         QByteArray::fromStdString(mp3::file(1000))});
    form.RadioButton1->setChecked(true);
    form.Button7Click();
    form.Button1Click();
    return form;
}

} // namespace

class TestPlaylistFiles : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(dir_.emplace().isValid()); }

    void saveWritesEveryEntryWithCrLf() {
        MainWindowFixture fx;
        TForm1& form = showWith(fx, "NE");
        writeFile(path("out.m3u"), "an older and longer playlist\r\n");
        // Windows-1250, control bytes and an LF inside an entry stay as they are.
        setEntries(form, {"MP3\\a.mp3", "", "#EXTM3U x", "P\xf8\xedli\x9a\n.mp3", "\x01\x7f\xff"});
        form.RadioButton1->setChecked(true);
        fx.dialogs.fileNames = {path("out.m3u"), path("list.txt"), path("upper.M3u"), std::nullopt};
        form.Button4->click();
        const QByteArray written =
            "MP3\\a.mp3\r\n\r\n#EXTM3U x\r\nP\xf8\xedli\x9a\n.mp3\r\n\x01\x7f\xff\r\n";
        QCOMPARE(contents(path("out.m3u")), written);

        // Another ending is shown in a plain box and written all the same; case does not matter.
        form.SaveList->trigger();
        form.Button4Click();
        QCOMPARE(fx.dialogs.texts(), QStringList{path("list.txt")});
        QCOMPARE(fx.dialogs.shown.at(0).kind, Dialogs::Kind::Plain);
        QCOMPARE(contents(path("list.txt")), written);
        QCOMPARE(contents(path("upper.M3u")), written);

        // The dialog starts above the shown directory, proposing the last chosen path, or
        // the directory's name in "Pouze poslední adresář" mode.
        fx.showIn(path("DATA/MP3"), {});
        form.RadioButton3->setChecked(true);
        form.Button4Click();
        const auto& requests = fx.dialogs.fileRequests;
        QCOMPARE(requests.at(0).proposedName, QString());
        QCOMPARE(requests.at(1).proposedName, path("out.m3u"));
        QCOMPARE(requests.at(3).proposedName, QStringLiteral("MP3.m3u"));
        QCOMPARE(requests.at(3).directory,
                 form.DirectoryListBox1->Directory() + QDir::separator() + "..");
    }

    // A save or a play file cut short, as on a full disk, changes nothing: the earlier file
    // byte for byte, no temporary beside it, the playlist, and no question. A save that
    // succeeds empties the playlist before the question.
    void cutShortThenDelAfterAndAskRun() {
        MainWindowFixture fx;
        TForm1& form = showWith(fx, "ANO");
        writeFile(path("list.m3u"), "old.mp3\r\n");
        const Entries list(1500, QByteArray(45, 'x'));
        setEntries(form, list);
        fx.dialogs.fileNames = {path("list.m3u")};
        tb::test::withFileSizeLimit(4, [&] { form.Button4->click(); });
        QCOMPARE(fx.dialogs.texts(), QStringList{"Disk full."});
        QCOMPARE(contents(path("list.m3u")), QByteArray("old.mp3\r\n"));
        QCOMPARE(filesIn(dir_->path()), QStringList{"list.m3u"});
        QCOMPARE(fx.entryBytes(), list);

        fx.showIn(path("music"), {"a.mp3", "b.mp3"});
        fx.selectFiles({0, 1});
        const QStringList cached = filesIn(form.cacheFolderPath());
        fx.dialogs.shown.clear();
        tb::test::withFileSizeLimit(4, [&] { form.guarded([&] { form.BitBtn1Click(); }); });
        QCOMPARE(fx.dialogs.texts(), QStringList{"Disk full."});
        QCOMPARE(filesIn(form.cacheFolderPath()), cached);

        fx.dialogs.shown.clear();
        fx.dialogs.fileNames = {path("my list.m3u"), path("second.m3u")};
        setEntries(form, {"a.mp3", "b.mp3"});
        qsizetype boxesWhenEmptied = -1;
        connect(form.playlist(), &QAbstractItemModel::modelReset, this,
                [&] { boxesWhenEmptied = fx.dialogs.shown.size(); });
        fx.dialogs.answers = {Dialogs::Answer::Yes, Dialogs::Answer::No};
        form.Button4Click();
        QCOMPARE(fx.dialogs.texts(), QStringList{"Chcete spustit právě uložený playlist ?"});
        QVERIFY(boxesWhenEmptied == 0 && form.Digits1->Value() == 0);
        QCOMPARE(contents(path("my list.m3u")), QByteArray("a.mp3\r\nb.mp3\r\n"));
        QCOMPARE(fx.launcher.commandLines,
                 QStringList{"/opt/my player/play \"" +
                             QDir::toNativeSeparators(path("my list.m3u")) + "\""});

        // No starts nothing; the empty playlist saves as an empty file.
        form.Button4Click();
        QCOMPARE(fx.launcher.commandLines.size(), 1);
        QCOMPARE(contents(path("second.m3u")), QByteArray());
    }

    // Where no temporary file can be made beside it, a writable playlist is rewritten
    // in place.
    void saveInAFolderThatTakesNoNewFile() {
        const QString folder = path("locked");
        QVERIFY(QDir().mkdir(folder));
        writeFile(folder + "/list.m3u", "old.mp3\r\n");
        // Root writes whatever the permissions say, but not into an immutable folder.
        const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        const auto unlock = qScopeGuard([&] {
            flags = 0;
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
            ::close(fd);
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
        flags = FS_IMMUTABLE_FL;
        if (::geteuid() != 0)
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        else if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0)
            QSKIP("the file system takes no immutable flag");
        MainWindowFixture fx;
        TForm1& form = showWith(fx, "NE");
        setEntries(form, {"a.mp3", "b.mp3"});
        fx.dialogs.fileNames = {folder + "/list.m3u", folder + "/new.m3u"};
        form.Button4->click();
        QCOMPARE(contents(folder + "/list.m3u"), QByteArray("a.mp3\r\nb.mp3\r\n"));
        form.Button4->click();
        QCOMPARE(fx.dialogs.texts(), QStringList{"File access denied."});
        QCOMPARE(filesIn(folder), QStringList{"list.m3u"});
    }

    // A file of several pieces (of 256 KiB) is read and taken apart ahead of the window: a
    // line end split between two pieces, a line over three, lone LF and CR line ends, a
    // Ctrl-Z in the third piece or a last piece of one byte come out as when read whole.
    void openAppendsEveryLine() {
        MainWindowFixture fx;
        TForm1& form = showWith(fx, "NE");
        setEntries(form, {"first"});
        constexpr int kPiece = 256 * 1024;
        QByteArray file = "\xEF\xBB\xBFsong.mp3\r\n";
        const QByteArray filler(kPiece - file.size() - 1, 'a'); // its CR ends the piece
        const QByteArray longLine(kPiece + 1000, 'b');
        file += filler + "\r\n" + longLine + "\n\n";
        Entries expected{"first", "song.mp3", filler, longLine, ""};
        while (file.size() < 2 * kPiece + 5000)
            file += expected.emplace_back("x" + QByteArray::number(file.size())) + "\r";
        writeFile(path("pieces.m3u"), file + "last\x1A" + QByteArray(kPiece, '\n'));
        const QByteArray tail(3 * kPiece + 1 - file.size(), 'z'); // the end a piece of its own
        writeFile(path("whole.m3u"), file + tail);
        expected << "last";
        writeFile(path("empty.m3u"), "");
        fx.dialogs.fileNames = {path("pieces.m3u"), path("whole.m3u"),   path("empty.m3u"),
                                std::nullopt,       path("missing.m3u"), dir_->path()};
        form.BitBtn3->click();
        QCOMPARE(form.Digits1->Value(), expected.size());
        form.BitBtn3->click();
        expected += expected.mid(1, expected.size() - 2) << tail;
        QCOMPARE(fx.entryBytes(), expected);

        // An empty file adds one empty entry; cancelling, a missing file or a directory none.
        form.OpenList->trigger();
        for (int i = 0; i < 3; ++i)
            form.BitBtn3->click();
        expected.emplace_back();
        QCOMPARE(fx.entryBytes(), expected);
        QCOMPARE(fx.dialogs.texts(), (QStringList{"File not found.", "File access denied."}));
    }

    // Nothing that is not a regular file is read, nothing after a Ctrl-Z, and neither a
    // read error nor running out of memory shows a message of the library.
    void openReadsRegularFilesUpToCtrlZOnly() {
        MainWindowFixture fx;
        TForm1& form = showWith(fx, "NE");
        setEntries(form, {"first"});
        const QByteArray fifo = QFile::encodeName(path("pipe.m3u"));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        // A terabyte that holds its end early.
        writeFile(path("huge.m3u"), "a\r\nb\x1A c\r\n");
        QVERIFY(QFile::resize(path("huge.m3u"), qint64{1} << 40));
        fx.dialogs.fileNames = {QString::fromUtf8(fifo), QStringLiteral("/dev/zero"),
                                path("huge.m3u"), QStringLiteral("/proc/self/mem")};
        ::alarm(5); // an open or read that blocks ends the test
        for (int i = 0; i < 4; ++i)
            form.BitBtn3->click();
        ::alarm(0);
        QCOMPARE(fx.entryBytes(), (Entries{"first", "a", "b"}));
        QCOMPARE(fx.dialogs.texts(),
                 (QStringList{"File access denied.", "File access denied.", "I/O error 5."}));

        fx.dialogs.shown.clear();
        form.guarded([] { std::string().reserve(std::string().max_size() + 1); });
        QCOMPARE(fx.dialogs.texts(),
                 QStringList{"Operace je příliš rozsáhlá, nestačí na ni paměť."});
    }

    void playWritesTheSelectedPathsAndRemovesTheFileLater() {
        MainWindowFixture fx;
        TForm1& form = showWith(fx, "NE");
        fx.showIn(dir_->path(), {"a.mp3", "b.mp3", "c.mp3"});
        const QDir cache(form.cacheFolderPath());
        const QStringList cached = cache.entryList(QDir::Files);

        // Nothing selected: the file is made and removed again, and nothing starts.
        form.BitBtn1Click();
        QVERIFY(fx.launcher.commandLines.isEmpty());
        QCOMPARE(cache.entryList(QDir::Files), cached);

        form.RadioButton5->setChecked(true); // the prefix mode does not matter here
        fx.selectFiles({0, 2});
        form.BitBtn1Click();
        const QString playFile = fx.launcher.commandLines.value(0).section('"', 1, 1);
        QCOMPARE(QFileInfo(playFile).path(), cache.path());
        const QString shown = form.DirectoryListBox1->Directory();
        QCOMPARE(contents(playFile),
                 QFile::encodeName(shown + "/a.mp3\r\n" + shown + "/c.mp3\r\n"));

        // Left for the player to read, and removed a minute later.
        QTimer* removal = form.findChild<QTimer*>(playFile);
        QVERIFY(removal && removal->isActive());
        removal->start(0);
        QTRY_VERIFY(!QFile::exists(playFile));

        // A player that cannot start is named in a warning, and its file goes at once.
        fx.launcher.starts = false;
        form.BitBtn1Click();
        QCOMPARE(fx.dialogs.texts(),
                 QStringList{"Přehrávač \"/opt/my player/play\" nelze spustit."});
        QCOMPARE(cache.entryList(QDir::Files), cached);
        fx.launcher.starts = true;

        // One that started, then gave up: the same warning, late, and the play file goes at
        // once, its removal timer with it.
        form.BitBtn1Click();
        const QString givenUp = fx.launcher.commandLines.last().section('"', 1, 1);
        QVERIFY(QFile::exists(givenUp));
        QCOMPARE(fx.dialogs.shown.size(), 1);
        fx.launcher.failLastStart();
        QCOMPARE(fx.dialogs.texts(),
                 QStringList(2, "Přehrávač \"/opt/my player/play\" nelze spustit."));
        QCOMPARE(fx.dialogs.shown.last().kind, tb::Dialogs::Kind::Warning);
        QVERIFY(!QFile::exists(givenUp) && !form.findChild<QTimer*>(givenUp));

        // A help page that no viewer opens is reported too.
        form.TransparentButton2Click();
        fx.launcher.failLastStart();
        QVERIFY(fx.dialogs.shown.last().text.startsWith("Nápovědu \""));

        // A play file still waiting when the window goes is removed with it; its player
        // giving up afterwards finds nothing to do.
        form.BitBtn1Click();
        QVERIFY(QFile::exists(fx.launcher.commandLines.last().section('"', 1, 1)));
        fx.form.reset();
        QCOMPARE(cache.entryList(QDir::Files), cached);
        fx.launcher.failLastStart();
        QCOMPARE(fx.dialogs.shown.size(), 3);
    }

    void playInTheRootDoublesTheSeparator() {
        MainWindowFixture fx;
        TForm1& form = showWith(fx, "NE");
        fx.browse(QDir::rootPath());
        form.FileListBox1->setMask("*");
        if (form.FileListBox1->count() == 0)
            QSKIP("the root directory holds no plain file to play");
        fx.selectFiles({0});
        form.BitBtn1Click();
        const QString root = form.DirectoryListBox1->Directory();
        QCOMPARE(contents(fx.launcher.commandLines.value(0).section('"', 1, 1)),
                 QFile::encodeName(root + QDir::separator() + form.FileListBox1->fileName(0)) +
                     "\r\n");
    }

    void formatsThroughTheWindow_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("filter"); // the type chosen in the dialog
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QByteArray>("head");
        QTest::newRow("pls by type") << "list" << 2 << "list.pls" << QByteArray("[playlist]\n");
        QTest::newRow("xspf by extension over another type")
            << "list.XSPF" << 1 << "list.XSPF" << QByteArray("<?xml");
    }

    // The name's extension or else the dialog's type chooses the format; opened again, the
    // file appends the same entries, each knowing its file. The bytes are the writers' own.
    void formatsThroughTheWindow() {
        QFETCH(QString, typed);
        QFETCH(int, filter);
        QFETCH(QString, saved);
        QFETCH(QByteArray, head);
        MainWindowFixture fx;
        TForm1& form = showThreeSongs(fx, path("songs"));
        fx.dialogs.fileNames = {path(typed), path(saved)};
        fx.dialogs.saveFilterIndex = filter;
        form.Button4Click();
        QTRY_VERIFY(!form.findChild<QProgressDialog*>(QStringLiteral("saveProgress")));
        QCOMPARE(fx.dialogs.shown.size(), 0); // no word of another kind of name
        QVERIFY(contents(path(saved)).startsWith(head));
        form.BitBtn3Click();
        QCOMPARE(form.playlist()->count(), std::size_t{6});
        for (std::size_t i = 0; i < 3; ++i) {
            QCOMPARE(form.playlist()->entry(i + 3), form.playlist()->entry(i));
            QCOMPARE(form.playlist()->entryFile(i + 3), form.playlist()->entryFile(i));
        }
    }

    // The lines of an opened M3U know no file; saved beside it as M3U8, relative and absolute
    // ones find theirs and bring their titles and lengths, the others keep their text.
    void linesOfAnM3uFindTheirFilesWhenSaved() {
        MainWindowFixture fx;
        TForm1& form = showThreeSongs(fx, path("songs"));
        form.Button2Click();
        const QByteArray absolute = QFile::encodeName(path("songs/b.mp3"));
        writeFile(path("old.m3u"), "songs/a.mp3\r\n" + absolute + "\r\nsongs/gone.mp3\r\n");
        fx.dialogs.fileNames = {path("old.m3u"), path("new.m3u8")};
        form.BitBtn3Click();
        QCOMPARE(form.playlist()->entryFile(0), std::string_view());
        form.Button4Click();
        QTRY_VERIFY(!form.findChild<QProgressDialog*>(QStringLiteral("saveProgress")));
        QCOMPARE(contents(path("new.m3u8")), // 383 and 77 frames last 10.005 s and 2.011 s
                 "#EXTM3U\n#EXTINF:10,Kryl - Brat\xc4\x8d\xc3\xadku\nsongs/a.mp3\n"
                 "#EXTINF:2,\xc5\xbdlut\xc3\xbd pes - L\xc3\xa9to\n" +
                     absolute + "\n#EXTINF:-1,gone\nsongs/gone.mp3\n");
    }

private:
    QString path(const QString& name) const { return dir_->filePath(name); }
    std::optional<QTemporaryDir> dir_;
};

QTEST_MAIN(TestPlaylistFiles)
#include "test_playlistfiles.moc"
