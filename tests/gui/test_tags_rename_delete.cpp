#include "filetools/FileListBox.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

using tb::test::contents;
using tb::test::MainWindowFixture;
using tb::test::writeFile;
using A = tb::Dialogs::Answer;

namespace {

// A 128-byte tag; texts are NUL-padded unless they bring their own padding.
QByteArray tag(const QByteArray& title, const QByteArray& artist = {}, int genre = 255,
               const QByteArray& comment = {}) {
    const auto field = [](const QByteArray& text) {
        return text.leftJustified(30, '\0', true);
    };
    return "TAG" + field(title) + field(artist) + field("Arrival   ") + "1976" + field(comment) +
           char(genre);
}

const QByteArray audio(300, '\xFF');

QStringList tagTexts(const TForm1& form) {
    return {form.TitleTag->text(), form.ArtistTag->text(),  form.AlbumTag->text(),
            form.YearTag->text(),  form.CommentTag->text(), form.GenreTag->text()};
}

const QStringList noTag(6);

} // namespace

class TestTagsRenameDelete : public QObject {
    Q_OBJECT

private slots:
    void panelShowsTagsAndRefusesBadFiles();
    void renameProposesFromListPositionAndTag();
    void renameNeverReplacesAFile();
    void moveToAFullDiskLeavesNoCutCopy();
    void deleteAsksOnceForAllThenPerFile();
    void namesInAnyEncodingAreReachedByTheirBytes();

private:
    // A new directory holding a.mp3, b.mp3, ... with these contents and a directory
    // named like a song, and a window browsing it.
    TForm1& browse(MainWindowFixture& fx, const QString& name, const QList<QByteArray>& files) {
        dirPath_ = dir_.filePath(name);
        QDir().mkpath(dirPath_ + "/folder.mp3");
        for (int i = 0; i < files.size(); ++i)
            writeFile(dirPath_ + '/' + QChar('a' + i) + ".mp3", files[i]);
        fx.show();
        fx.browse(dirPath_);
        return *fx.form;
    }
    QTemporaryDir dir_;
    QString dirPath_;
};

void TestTagsRenameDelete::panelShowsTagsAndRefusesBadFiles() {
    const QByteArray full(30, 'T'), blanks = "SOS" + QByteArray(27, ' ');
    const QStringList titles{full, blanks, "SOS", ""}, genres{"Blues", "", "Synthpop", ""};
    MainWindowFixture fx;
    // a.mp3 is a tag alone; e.mp3 holds Windows-1250 texts ("Bratříčku", "Žlutý pes") and
    // a track number after the comment's NUL; f.mp3's marker is in lower case.
    TForm1& form = browse(fx, "panel",
                          {tag(full, {}, 0), audio + tag(blanks), audio + tag("SOS", {}, 147),
                           audio + tag(QByteArray("\0SOS", 4), {}, 148),
                           audio + tag("Brat\xF8\xED\xE8ku", "\x8Elut\xFD pes", 17,
                                       QByteArray(28, 'c') + '\0' + '\x07'),
                           audio + "tag" + tag("SOS", "ABBA").mid(3), tag("SOS").left(127),
                           audio + tag("SOS")});
    for (int i = 0; i < 4; ++i) {
        fx.clickFile(i);
        QCOMPARE(form.TitleTag->text(), titles[i]);
        QCOMPARE(form.GenreTag->text(), genres[i]);
    }
    fx.clickFile(4);
    QCOMPARE(tagTexts(form), (QStringList{"Bratříčku", "Žlutý pes", "Arrival   ", "1976",
                                          QString(28, 'c'), "Rock"}));
    const QString current = form.currentFilePath();
    fx.clickFile(5);
    QCOMPARE(tagTexts(form), noTag);
    form.Timer1Timer();       // the enable timer ticks before the menu opens
    form.Vyberve1->trigger(); // select-all shows the first file's tag
    QCOMPARE(form.TitleTag->text(), titles[0]);

    // A failed read ends the click handler: the panel empties, the current file stays.
    fx.clickFile(4);
    fx.clickFile(6);
    QFile::remove(dirPath_ + "/h.mp3"); // gone between the listing and the click
    fx.clickFile(7);
    QCOMPARE(fx.dialogs.texts(), (QStringList{"Read beyond end of file.", "File not found."}));
    QCOMPARE(tagTexts(form), noTag);
    QCOMPARE(form.currentFilePath(), current);
    QCOMPARE(form.FileNameTag->text(), current);

    // Names no listing shows, read directly: none may block or be read.
    fx.dialogs.shown.clear();
    const QByteArray fifo = QFile::encodeName(dirPath_ + "/pipe.mp3");
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    QVERIFY(QFile::link("/dev/zero", dirPath_ + "/device.mp3"));
    std::promise<void> done;
    auto blocked = std::async(std::launch::async, [&] { // releases a read that blocks anyway
        const bool late =
            done.get_future().wait_for(std::chrono::seconds(3)) != std::future_status::ready;
        if (late)
            ::close(::open(fifo.constData(), O_WRONLY));
        return late;
    });
    for (const char* name : {"folder.mp3", "pipe.mp3", "device.mp3"})
        form.guarded([&] { form.DrawTAG(name); });
    done.set_value();
    QVERIFY(!blocked.get());
    QCOMPARE(fx.dialogs.texts(), QStringList(3, "File access denied."));
    if (::geteuid() != 0) { // root reads whatever the permissions say
        QFile::setPermissions(current, {});
        form.guarded([&] { form.DrawTAG("e.mp3"); });
        QCOMPARE(fx.dialogs.texts().last(), QStringLiteral("File access denied."));
    }
}

void TestTagsRenameDelete::renameProposesFromListPositionAndTag() {
    MainWindowFixture fx;
    TForm1& form = browse(fx, "proposals",
                          {"", "", audio + tag("Brat\xF8\xED\xE8ku", "Kryl  "), "", audio + audio,
                           "", audio + tag("SOS", "ABBA" + QByteArray(26, ' '))});
    fx.clickFile(2);
    fx.selectFiles({2, 4, 6});
    form.Timer1Timer();
    QSignalSpy rereads(form.FileListBox1->model(), &QAbstractItemModel::modelReset);
    fx.dialogs.inputs = {std::nullopt, QString("renamed.mp3"), QString("07 - ABBA - SOS.mp3")};
    form.PrejmenBt->click();

    const auto& asked = fx.dialogs.inputRequests;
    QCOMPARE(asked.size(), 3);
    QCOMPARE(asked[0].caption, QStringLiteral("Změna jména souboru"));
    QCOMPARE(asked[0].prompt, QStringLiteral("Zadejte nové jméno souboru \"c.mp3\""));
    QCOMPARE(asked[0].maxLength, 255);
    QCOMPARE(asked[0].text, QStringLiteral("03 - Kryl - Bratříčku.mp3"));
    QCOMPARE(asked[1].text, QStringLiteral("05 -  - .mp3"));
    QCOMPARE(asked[2].text, QStringLiteral("07 - ABBA - SOS.mp3"));
    QCOMPARE(rereads.count(), 1);
    QCOMPARE(QDir(dirPath_).entryList(QDir::Files),
             (QStringList{"07 - ABBA - SOS.mp3", "a.mp3", "b.mp3", "c.mp3", "d.mp3", "f.mp3",
                          "renamed.mp3"}));
    QCOMPARE(form.currentFilePath(), form.DirectoryListBox1->Directory() + "/g.mp3");
    const QString artist = "ABBA" + QString(26, ' ');
    QCOMPARE(form.ArtistTag->text(), artist);

    // With "CistTag" off the proposal is the name, and the panel stays as it is.
    fx.settings.cistTag = "NE";
    fx.selectFiles({3});
    fx.dialogs.inputs = {std::nullopt};
    form.Timer1Timer(); // the enable timer ticks before the menu opens
    form.Prejmen->trigger();
    QCOMPARE(asked.last().text, QStringLiteral("c.mp3"));
    QCOMPARE(form.ArtistTag->text(), artist);

    // A tag that cannot be read ends the whole action: no question, no re-read.
    fx.settings.cistTag = "ANO";
    writeFile(dirPath_ + "/b.mp3", "short");
    fx.selectFiles({2, 3});
    fx.dialogs.inputRequests.clear();
    rereads.clear();
    form.Timer1Timer(); // the enable timer ticks before the menu opens
    form.Prejmen->trigger();
    QCOMPARE(fx.dialogs.texts(), QStringList{"Read beyond end of file."});
    QVERIFY(asked.isEmpty());
    QCOMPARE(rereads.count(), 0);
}

void TestTagsRenameDelete::renameNeverReplacesAFile() {
    // Another file system where there is one, to move across.
    QTemporaryDir elsewhere((QDir("/dev/shm").exists() ? "/dev/shm" : QDir::tempPath()) +
                            "/tb-XXXXXX");
    MainWindowFixture fx;
    TForm1& form = browse(fx, "refusals", {"a", "b", "c", "d", "e"});
    fx.settings.cistTag = "NE";
    form.FileListBox1->selectAll();
    fx.dialogs.inputs = {QString("b.mp3"), QString("b.mp3"), QString("folder.mp3/c.mp3"),
                         elsewhere.filePath("d.mp3"), QString("missing/e.mp3")};
    fx.dialogs.answers = {A::Ok, A::Ok, A::Ok};
    form.guarded([&] { form.PrejmenClick(); });

    const QString refused = "Při přejmenovávání \"%1\" na \"%2\" nastala chyba!";
    QCOMPARE(fx.dialogs.texts(),
             (QStringList{refused.arg("a.mp3", "b.mp3"), refused.arg("b.mp3", "b.mp3"),
                          refused.arg("e.mp3", "missing/e.mp3")}));
    QCOMPARE(fx.dialogs.shown.first().kind, tb::Dialogs::Kind::Error);
    const QString d = dirPath_ + '/';
    QCOMPARE((QList<QByteArray>{contents(d + "a.mp3"), contents(d + "b.mp3"),
                                contents(d + "folder.mp3/c.mp3"),
                                contents(elsewhere.filePath("d.mp3")), contents(d + "e.mp3")}),
             (QList<QByteArray>{"a", "b", "c", "d", "e"}));
    QCOMPARE(form.FileListBox1->count(), 3);
}

// As root, a move onto a small tmpfs: a copy that fails leaves nothing behind.
void TestTagsRenameDelete::moveToAFullDiskLeavesNoCutCopy() {
    tb::test::SmallDisk disk("16k");
    if (disk.path().isEmpty())
        QSKIP("needs root to mount a small tmpfs");
    MainWindowFixture fx;
    const QByteArray big(100'000, 'x');
    TForm1& form = browse(fx, "moves", {big, "small"});
    fx.settings.cistTag = "NE";
    form.FileListBox1->selectAll();
    fx.dialogs.inputs = {disk.path() + "/a.mp3", disk.path() + "/b.mp3"};
    form.guarded([&] { form.PrejmenClick(); });
    QCOMPARE(fx.dialogs.texts(), QStringList{"Při přejmenovávání \"a.mp3\" na \"" + disk.path() +
                                             "/a.mp3\" nastala chyba!"});
    QCOMPARE(contents(dirPath_ + "/a.mp3"), big);
    QCOMPARE(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"b.mp3"});
    QCOMPARE(contents(disk.path() + "/b.mp3"), QByteArray("small"));
    QVERIFY(!QFile::exists(dirPath_ + "/b.mp3"));
}

void TestTagsRenameDelete::deleteAsksOnceForAllThenPerFile() {
    MainWindowFixture fx;
    TForm1& form = browse(fx, "delete", {audio + tag("SOS"), "", "", "", ""});
    fx.clickFile(0);
    const QString a = form.currentFilePath();
    fx.selectFiles({0, 1});
    form.Timer1Timer();
    QSignalSpy rereads(form.FileListBox1->model(), &QAbstractItemModel::modelReset);
    const QString question = "Opravdu chcete z disku fyzicky odstranit soubor %1 ?";
    fx.dialogs.answers = {A::Yes, A::Yes, A::Yes};
    form.SmazatBt->click();
    QCOMPARE(fx.dialogs.texts(),
             (QStringList{"Opravdu chcete z disku fyzicky odstranit všechny označené soubory?",
                          question.arg("a.mp3"), question.arg("b.mp3")}));
    QCOMPARE(fx.dialogs.shown.at(0).kind, tb::Dialogs::Kind::Confirmation);
    QCOMPARE(fx.dialogs.shown.at(1).kind, tb::Dialogs::Kind::Warning);
    QCOMPARE(QDir(dirPath_).entryList(QDir::Files), (QStringList{"c.mp3", "d.mp3", "e.mp3"}));
    QCOMPARE(rereads.count(), 1);
    // The deleted file stays current, its tag shown.
    QCOMPARE(form.currentFilePath(), a);
    QCOMPARE(form.TitleTag->text(), QStringLiteral("SOS"));

    // No at the first question: nothing more is asked, the list is still re-read.
    fx.selectFiles({0, 1, 2});
    fx.dialogs.shown.clear();
    fx.dialogs.answers = {A::No};
    form.Timer1Timer(); // the enable timer ticks before the menu opens
    form.Smazat1->trigger();
    QCOMPARE(fx.dialogs.shown.size(), 1);
    QCOMPARE(rereads.count(), 2);

    // A failed deletion is reported and the loop goes on; No leaves a file.
    QFile::remove(dirPath_ + "/c.mp3");
    fx.selectFiles({0, 1, 2});
    fx.dialogs.shown.clear();
    fx.dialogs.answers = {A::Yes, A::Yes, A::Ok, A::No, A::Yes};
    form.Timer1Timer(); // the enable timer ticks before the menu opens
    form.Smazat1->trigger();
    QCOMPARE(fx.dialogs.texts().at(2), QStringLiteral("Při mazání \"c.mp3\" nastala chyba!"));
    QCOMPARE(fx.dialogs.shown.at(2).kind, tb::Dialogs::Kind::Error);
    QCOMPARE(QDir(dirPath_).entryList(QDir::Files), QStringList{"d.mp3"});
    QCOMPARE(fx.dialogs.unexpected, 0);
}

void TestTagsRenameDelete::namesInAnyEncodingAreReachedByTheirBytes() {
    // "čš.mp3" in Windows-1250, which is not UTF-8, and a name holding a line break.
    const QByteArray cp1250 = "\xE8\x9A.mp3", lineBreak = "two\nlines.mp3";
    MainWindowFixture fx;
    TForm1& form = browse(fx, "bytes", {});
    const QByteArray directory = QFile::encodeName(dirPath_) + '/';
    for (const QByteArray& name : {cp1250, lineBreak}) {
        const int fd = ::open(directory + name, O_WRONLY | O_CREAT | O_EXCL, 0600);
        const QByteArray bytes = audio + tag("SOS");
        QVERIFY(fd >= 0 && ::write(fd, bytes.constData(), bytes.size()) == bytes.size());
        ::close(fd);
    }
    form.FileListBox1->Update();
    QCOMPARE(form.FileListBox1->count(), 2);
    QCOMPARE(form.FileListBox1->fileName(0), QString::fromUtf8("two\u240Alines.mp3"));
    QCOMPARE(form.FileListBox1->fileName(1), QStringLiteral("čš.mp3"));

    // Read, made current and shown; the path keeps the name's bytes.
    const QString shown = form.DirectoryListBox1->Directory() + '/';
    fx.clickFile(1);
    QCOMPARE(form.TitleTag->text(), QStringLiteral("SOS"));
    QCOMPARE(form.currentFilePath(), directory + cp1250);
    QCOMPARE(form.FileNameTag->text(), shown + "čš.mp3");
    fx.clickFile(0);
    QCOMPARE(form.FileNameTag->text(), shown + QString::fromUtf8("two\u240Alines.mp3"));

    // Added and played by their bytes.
    form.RadioButton5->setChecked(true);
    fx.selectFiles({1});
    form.Button1Click();
    QCOMPARE(form.playlist()->entry(0), std::string_view(cp1250));
    form.BitBtn1Click();
    QCOMPARE(contents(fx.launcher.commandLines.value(0).section('"', 1, 1)),
             directory + cp1250 + "\r\n");

    // Moved, to another file system where there is one, and deleted by their bytes.
    QTemporaryDir elsewhere((QDir("/dev/shm").exists() ? "/dev/shm" : QDir::tempPath()) +
                            "/tb-XXXXXX");
    fx.settings.cistTag = "NE";
    fx.dialogs.inputs = {elsewhere.filePath("moved.mp3")};
    form.PrejmenClick();
    fx.selectFiles({0});
    fx.dialogs.answers = {A::Yes, A::Yes};
    form.Smazat1Click();
    QCOMPARE(QDir(dirPath_).entryList(QDir::Files), QStringList());
    QCOMPARE(contents(elsewhere.filePath("moved.mp3")), audio + tag("SOS"));
    QCOMPARE(fx.dialogs.inputRequests.value(0).prompt,
             QStringLiteral("Zadejte nové jméno souboru \"čš.mp3\""));
    QCOMPARE(
        fx.dialogs.texts().value(1),
        QString::fromUtf8("Opravdu chcete z disku fyzicky odstranit soubor two\u240Alines.mp3 ?"));
    QCOMPARE(fx.dialogs.unexpected, 0);
}

QTEST_MAIN(TestTagsRenameDelete)
#include "test_tags_rename_delete.moc"
