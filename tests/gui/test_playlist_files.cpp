#include "controls/Digits.h"
#include "filetools/DirectoryListBox.h"
#include "filetools/FileListBox.h"
#include "platform/Paths.h"
#include "playlist/PlaylistModel.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <sys/resource.h>

using tb::Dialogs;
using tb::test::MainWindowFixture;

namespace {

using Entries = std::vector<std::string>;

Entries entries(const TForm1& form) {
    Entries out;
    for (std::size_t i = 0; i < form.playlist()->count(); ++i)
        out.emplace_back(form.playlist()->entry(i));
    return out;
}

void setEntries(TForm1& form, const Entries& list) {
    form.playlist()->clear();
    for (const std::string& entry : list)
        form.playlist()->append(entry);
    form.Digits1->setValue(static_cast<int>(list.size()));
    form.Timer1Timer(); // enables the save button
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

TForm1& showWith(MainWindowFixture& fx, const char* delAfter, const char* askRun) {
    fx.settingsStore.values = {{"Blikatka", "NE"},
                               {"DelAfter", delAfter},
                               {"AskRun", askRun},
                               {"RgPlay", "/opt/my player/play"}};
    return fx.show();
}

// The path between the quotes of a player command line.
QString quotedPath(const QString& commandLine) {
    const qsizetype open = commandLine.indexOf(QLatin1Char('"'));
    return commandLine.mid(open + 1, commandLine.size() - open - 2);
}

} // namespace

class TestPlaylistFiles : public QObject {
    Q_OBJECT

private slots:
    void init();
    void saveWritesEveryEntryWithCrLf();
    void saveDialogProposals();
    void delAfterEmptiesBeforeAskRunStartsThePlayer();
    void failedWriteKeepsTheOldFileAndThePlaylist();
    void openAppendsEveryLine();
    void nonUtf8EntriesRoundTrip();
    void playWritesTheSelectedPathsAndRemovesTheFileLater();
    void playInTheRootDoublesTheSeparator();

private:
    QString path(const QString& name) const { return QDir(dir_->path()).filePath(name); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void TestPlaylistFiles::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void TestPlaylistFiles::saveWritesEveryEntryWithCrLf() {
    MainWindowFixture fx;
    TForm1& form = showWith(fx, "NE", "NE");
    writeFile(path("out.m3u"), "an older and longer playlist\r\n");
    setEntries(form, {"MP3\\a.mp3", "", "#EXTM3U x"});
    fx.dialogs.fileNames = {path("out.m3u"), path("list.txt"), path("upper.M3u")};
    form.Button4->click();
    QCOMPARE(contents(path("out.m3u")), QByteArray("MP3\\a.mp3\r\n\r\n#EXTM3U x\r\n"));
    QVERIFY(fx.dialogs.shown.isEmpty());
    QCOMPARE(entries(form).size(), 3u);

    // Another ending is shown in a plain box and written all the same; case does not matter.
    form.SaveList->trigger();
    form.Button4Click();
    QCOMPARE(fx.dialogs.shown.size(), 1);
    QCOMPARE(fx.dialogs.shown.at(0).kind, Dialogs::Kind::Plain);
    QCOMPARE(fx.dialogs.shown.at(0).title, QString());
    QCOMPARE(fx.dialogs.shown.at(0).text, path("list.txt"));
    QCOMPARE(contents(path("list.txt")), contents(path("out.m3u")));
    QCOMPARE(contents(path("upper.M3u")), contents(path("out.m3u")));
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files).size(), 3); // no scratch files
    QVERIFY(fx.launcher.commandLines.isEmpty());
}

void TestPlaylistFiles::saveDialogProposals() {
    MainWindowFixture fx;
    TForm1& form = showWith(fx, "NE", "NE");
    QVERIFY(QDir(dir_->path()).mkpath("DATA/MP3"));
    fx.browse(path("DATA/MP3"));
    setEntries(form, {"a"});
    fx.dialogs.fileNames = {std::nullopt, path("mine.m3u"), std::nullopt};
    for (QRadioButton* mode : {form.RadioButton1, form.RadioButton3, form.RadioButton1}) {
        mode->setChecked(true);
        form.Button4Click();
    }
    QCOMPARE(fx.dialogs.fileRequests.size(), 3);
    const Dialogs::FileRequest& first = fx.dialogs.fileRequests.at(0);
    QCOMPARE(first.title, QStringLiteral("Uložit PlayList"));
    QCOMPARE(first.filter, QStringLiteral("*.m3u (*.m3u)"));
    QCOMPARE(first.defaultSuffix, QStringLiteral("m3u"));
    QCOMPARE(first.directory, form.DirectoryListBox1->Directory() + QDir::separator() + "..");
    // Empty at first; the last directory's name in its mode; later the last chosen path.
    QCOMPARE(first.proposedName, QString());
    QCOMPARE(fx.dialogs.fileRequests.at(1).proposedName, QStringLiteral("MP3.m3u"));
    QCOMPARE(fx.dialogs.fileRequests.at(2).proposedName, path("mine.m3u"));
}

void TestPlaylistFiles::delAfterEmptiesBeforeAskRunStartsThePlayer() {
    MainWindowFixture fx;
    TForm1& form = showWith(fx, "ANO", "ANO");
    setEntries(form, {"a.mp3", "b.mp3"});
    qsizetype boxesWhenEmptied = -1;
    connect(form.playlist(), &QAbstractItemModel::modelReset, this,
            [&] { boxesWhenEmptied = fx.dialogs.shown.size(); });
    fx.dialogs.fileNames = {path("my list.m3u"), path("second.m3u")};
    fx.dialogs.answers = {Dialogs::Answer::Yes, Dialogs::Answer::No};
    form.Button4Click();
    QCOMPARE(fx.dialogs.texts(), QStringList{"Chcete spustit právě uložený playlist ?"});
    QCOMPARE(fx.dialogs.shown.at(0).kind, Dialogs::Kind::Confirmation);
    QCOMPARE(boxesWhenEmptied, 0);
    QCOMPARE(form.Digits1->Value(), 0);
    QCOMPARE(contents(path("my list.m3u")), QByteArray("a.mp3\r\nb.mp3\r\n"));
    QCOMPARE(fx.launcher.commandLines,
             QStringList{"/opt/my player/play \"" + QDir::toNativeSeparators(path("my list.m3u")) +
                         "\""});

    // No starts nothing; the empty playlist saves as an empty file.
    form.Button4Click();
    QCOMPARE(fx.launcher.commandLines.size(), 1);
    QCOMPARE(contents(path("second.m3u")), QByteArray());
}

void TestPlaylistFiles::failedWriteKeepsTheOldFileAndThePlaylist() {
    MainWindowFixture fx;
    TForm1& form = showWith(fx, "ANO", "ANO");
    const QByteArray old = "old.mp3\r\n";
    writeFile(path("list.m3u"), old);
    const Entries many(10'000, std::string(40, 'x'));
    setEntries(form, many);
    fx.dialogs.fileNames = {path("list.m3u")};
    // Files may grow no bigger than 64 KB for a moment, as on a nearly full disk; a
    // write beyond fails with EFBIG instead of raising a signal.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit nearlyFull = saved;
    nearlyFull.rlim_cur = 64 * 1024;
    std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(setrlimit(RLIMIT_FSIZE, &nearlyFull) == 0);
    form.Button4->click();
    setrlimit(RLIMIT_FSIZE, &saved);
    QCOMPARE(fx.dialogs.texts(), QStringList{"Disk full."});
    QCOMPARE(contents(path("list.m3u")), old);
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList{"list.m3u"});
    QCOMPARE(entries(form), many);
    QCOMPARE(form.Digits1->Value(), 10'000);
    QVERIFY(fx.launcher.commandLines.isEmpty());
}

void TestPlaylistFiles::openAppendsEveryLine() {
    MainWindowFixture fx;
    TForm1& form = showWith(fx, "NE", "NE");
    setEntries(form, {"first"});
    QByteArray file = "#EXTM3U\r\n";
    for (int i = 0; i < 70'000; ++i)
        file += "song" + QByteArray::number(i) + ".mp3\r\n";
    file += "unix\nlines\nend"; // no final line end
    writeFile(path("big.m3u"), file);
    writeFile(path("empty.m3u"), "");

    fx.dialogs.fileNames = {path("big.m3u"), path("empty.m3u"), std::nullopt, path("missing.m3u"),
                            dir_->path()};
    form.BitBtn3->click();
    Entries read = entries(form);
    QCOMPARE(read.size(), 70'003u);
    QVERIFY(read.at(0) == "first" && read.at(1) == "#EXTM3U" && read.at(70'001) == "song69999.mp3");
    QVERIFY(read.back() == "unix\nlines\nend");
    QCOMPARE(form.Digits1->Value(), 70'003);
    const Dialogs::FileRequest& request = fx.dialogs.fileRequests.at(0);
    QCOMPARE(request.title, QStringLiteral("Otevřit PlayList"));
    QCOMPARE(request.filter, QStringLiteral("*.m3u"));
    QCOMPARE(request.proposedName, QStringLiteral("*.m3u"));

    // An empty file adds one empty entry; cancelling, a missing file or a directory none.
    form.OpenList->trigger();
    for (int i = 0; i < 3; ++i)
        form.BitBtn3->click();
    read = entries(form);
    QCOMPARE(read.size(), 70'004u);
    QVERIFY(read.back().empty());
    QCOMPARE(fx.dialogs.texts(), (QStringList{"File not found.", "File access denied."}));
}

void TestPlaylistFiles::nonUtf8EntriesRoundTrip() {
    MainWindowFixture fx;
    TForm1& form = showWith(fx, "NE", "NE");
    // Windows-1250, UTF-8, control bytes, and an LF inside an entry.
    const Entries original{"MP3\\P\xf8\xedli\x9a \x9elu\x9dou\xe8k\xfd k\xf9\xf2.mp3",
                           "Příliš žluťoučký.mp3", "caf\xe9\n.mp3", "\x01\x7f\xff", ""};
    setEntries(form, original);
    fx.dialogs.fileNames = {path("a.m3u"), path("a.m3u"), path("b.m3u")};
    form.Button4Click();
    form.playlist()->clear();
    form.BitBtn3Click();
    QCOMPARE(entries(form), original);
    form.Button4Click();
    QCOMPARE(contents(path("b.m3u")), contents(path("a.m3u")));
    QCOMPARE(form.playlist()->displayText(form.playlist()->entry(0)),
             QStringLiteral("MP3\\Příliš žluťoučký kůň.mp3"));
}

void TestPlaylistFiles::playWritesTheSelectedPathsAndRemovesTheFileLater() {
    MainWindowFixture fx;
    TForm1& form = showWith(fx, "NE", "NE");
    tb::test::makeFiles(dir_->path(), {"a.mp3", "b.mp3", "c.mp3"});
    fx.browse(dir_->path());
    const QDir cache(form.cacheFolderPath());
    const QStringList cached = cache.entryList(QDir::Files);

    // Nothing selected: the file is made and removed again, and nothing starts.
    form.BitBtn1Click();
    QVERIFY(fx.launcher.commandLines.isEmpty());
    QCOMPARE(cache.entryList(QDir::Files), cached);

    form.RadioButton5->setChecked(true); // the prefix mode does not matter here
    for (int row : {0, 2})
        form.FileListBox1->selectionModel()->select(form.FileListBox1->model()->index(row, 0),
                                                    QItemSelectionModel::Select);
    form.BitBtn1Click();
    QCOMPARE(fx.launcher.commandLines.size(), 1);
    QVERIFY(fx.launcher.commandLines.at(0).startsWith("/opt/my player/play \""));
    const QString playFile = quotedPath(fx.launcher.commandLines.at(0));
    QCOMPARE(QFileInfo(playFile).absolutePath(), form.cacheFolderPath());
    const auto number =
        QRegularExpression("^([0-9]+)\\.m3u$").match(QFileInfo(playFile).fileName());
    QVERIFY(number.hasMatch() && number.captured(1).toInt() <= 999'998);
    const QString shown = form.DirectoryListBox1->Directory();
    QCOMPARE(contents(playFile), QFile::encodeName(shown + "/a.mp3\r\n" + shown + "/c.mp3\r\n"));

    // Left for the player to read, and removed a minute later.
    QTimer* removal = form.findChild<QTimer*>(playFile);
    QVERIFY(removal && removal->isActive());
    QCOMPARE(removal->interval(), 60'000);
    removal->start(0);
    QTRY_VERIFY(!QFile::exists(playFile));

    // A play file still waiting when the window goes is removed with it.
    form.BitBtn1Click();
    const QString second = quotedPath(fx.launcher.commandLines.at(1));
    QVERIFY(QFile::exists(second));
    fx.form.reset();
    QVERIFY(!QFile::exists(second));
    QCOMPARE(cache.entryList(QDir::Files), cached);
}

void TestPlaylistFiles::playInTheRootDoublesTheSeparator() {
    MainWindowFixture fx;
    TForm1& form = showWith(fx, "NE", "NE");
    fx.browse(QDir::rootPath());
    form.FileListBox1->setMask("*");
    if (form.FileListBox1->count() == 0)
        QSKIP("the root directory holds no plain file to play");
    form.FileListBox1->selectionModel()->select(form.FileListBox1->model()->index(0, 0),
                                                QItemSelectionModel::Select);
    form.BitBtn1Click();
    const QString root = form.DirectoryListBox1->Directory();
    QCOMPARE(root, tb::systemDriveRoot());
    QCOMPARE(contents(quotedPath(fx.launcher.commandLines.value(0))),
             QFile::encodeName(root + QDir::separator() + form.FileListBox1->fileName(0)) + "\r\n");
}

QTEST_MAIN(TestPlaylistFiles)
#include "test_playlist_files.moc"
