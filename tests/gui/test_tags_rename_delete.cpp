#include "filetools/DirectoryListBox.h"
#include "filetools/FileListBox.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#ifdef Q_OS_UNIX
#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#endif

using tb::Dialogs;
using tb::test::MainWindowFixture;

namespace {

// A 128-byte tag; texts are NUL-padded unless they bring their own padding.
QByteArray tag(const QByteArray& title, const QByteArray& artist = {}, int genre = 255,
               const QByteArray& comment = {}) {
    const auto field = [](const QByteArray& text, int size) {
        return text.leftJustified(size, '\0', true);
    };
    return "TAG" + field(title, 30) + field(artist, 30) + field("Arrival   ", 30) + "1976" +
           field(comment, 30) + char(genre);
}

const QByteArray audio(300, '\xFF');

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void clickRow(TForm1& form, int row, Qt::KeyboardModifiers modifiers = {}) {
    TFileListBox* files = form.FileListBox1;
    const QRect rect = files->visualRect(files->model()->index(row, 0));
    QTest::mouseClick(files->viewport(), Qt::LeftButton, modifiers, rect.center());
}

void selectRows(TForm1& form, std::initializer_list<int> rows) {
    TFileListBox* files = form.FileListBox1;
    files->clearSelection();
    for (int row : rows)
        files->selectionModel()->select(files->model()->index(row, 0), QItemSelectionModel::Select);
}

QStringList tagTexts(const TForm1& form) {
    QStringList texts;
    for (const QLabel* field : {form.TitleTag, form.ArtistTag, form.AlbumTag, form.YearTag,
                                form.CommentTag, form.GenreTag})
        texts.append(field->text());
    return texts;
}

const QStringList noTag(6);

} // namespace

class TestTagsRenameDelete : public QObject {
    Q_OBJECT

private slots:
    void titlesAndGenres_data();
    void titlesAndGenres();
    void panelShowsTheTagOfTheClickedFile();
    void failedReadsEndTheHandlerAtOnce();
    void renameProposesFromListPositionAndTag();
    void renameNeverReplacesAFile();
    void deleteAsksOnceForAllThenPerFile();

private:
    QTemporaryDir dir_;
};

void TestTagsRenameDelete::titlesAndGenres_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("genre");
    const QByteArray full(30, 'T');
    const QString sos("SOS");
    QTest::newRow("exactly a tag, full title")
        << tag(full, {}, 0) << QString(full) << QStringLiteral("Blues");
    QTest::newRow("blank-padded") << audio + tag("SOS" + QByteArray(27, ' '), {}, 17)
                                  << sos + QString(27, ' ') << QStringLiteral("Rock");
    QTest::newRow("NUL-padded") << audio + tag("SOS", {}, 147) << sos << QStringLiteral("Synthpop");
    QTest::newRow("starts with NUL")
        << audio + tag(QByteArray("\0SOS", 4), {}, 148) << QString() << QString();
    QTest::newRow("genre 255") << audio + tag("SOS", {}, 255) << sos << QString();
}

void TestTagsRenameDelete::titlesAndGenres() {
    QFETCH(QByteArray, content);
    QFETCH(QString, title);
    QFETCH(QString, genre);
    QTemporaryDir dir;
    writeFile(dir.filePath("song.mp3"), content);
    MainWindowFixture fx;
    TForm1& form = fx.show();
    fx.browse(dir.path());
    clickRow(form, 0);
    QCOMPARE(form.TitleTag->text(), title);
    QCOMPARE(form.GenreTag->text(), genre);
    QCOMPARE(form.YearTag->text(), QStringLiteral("1976"));
    QVERIFY(fx.dialogs.shown.isEmpty());
}

void TestTagsRenameDelete::panelShowsTheTagOfTheClickedFile() {
    const QString dir = dir_.filePath("panel");
    QDir().mkpath(dir);
    // Windows-1250: "Žlutý pes", "Bratříčku"; a track number after the comment's NUL.
    writeFile(dir + "/a.mp3", audio + tag("Brat\xF8\xED\xE8ku", "\x8Elut\xFD pes", 17,
                                          QByteArray(28, 'c') + '\0' + '\x07'));
    QByteArray lower = tag("SOS", "ABBA");
    lower.replace(0, 3, "tag");
    writeFile(dir + "/b.mp3", audio + lower);

    MainWindowFixture fx;
    TForm1& form = fx.show();
    fx.browse(dir);
    clickRow(form, 0);
    QCOMPARE(tagTexts(form), (QStringList{"Bratříčku", "Žlutý pes", "Arrival   ", "1976",
                                          QString(28, 'c'), "Rock"}));
    const QString a = form.DirectoryListBox1->Directory() + "/a.mp3";
    QCOMPARE(form.FileNameTag->text(), a);

    clickRow(form, 1);
    QCOMPARE(tagTexts(form), noTag);

    // Select-all shows the first file's tag.
    form.Vyberve1->trigger();
    QCOMPARE(form.TitleTag->text(), QStringLiteral("Bratříčku"));

    // With "CistTag" off a click only moves the current file.
    fx.settings.cistTag = "NE";
    clickRow(form, 0);
    QCOMPARE(tagTexts(form), noTag);
    QCOMPARE(form.currentFilePath(), a);
    QVERIFY(fx.dialogs.shown.isEmpty());
}

void TestTagsRenameDelete::failedReadsEndTheHandlerAtOnce() {
    const QString dir = dir_.filePath("failing");
    QDir().mkpath(dir);
    writeFile(dir + "/a.mp3", audio + tag("SOS"));
    writeFile(dir + "/b.mp3", tag("SOS").left(127));
    writeFile(dir + "/c.mp3", audio + tag("SOS"));
    MainWindowFixture fx;
    TForm1& form = fx.show();
    fx.browse(dir);
    clickRow(form, 0);
    const QString a = form.currentFilePath();

    clickRow(form, 1);
    QFile::remove(dir + "/c.mp3"); // gone between the listing and the click
    clickRow(form, 2);
    QCOMPARE(fx.dialogs.texts(), (QStringList{"Read beyond end of file.", "File not found."}));
    QCOMPARE(fx.dialogs.shown.first().title, QStringLiteral("Trackbinder"));
    QCOMPARE(tagTexts(form), noTag);
    QCOMPARE(form.currentFilePath(), a);
    QCOMPARE(form.FileNameTag->text(), a);

#ifdef Q_OS_UNIX
    // Names no listing shows, read directly: none may block or be read.
    fx.dialogs.shown.clear();
    QDir().mkpath(dir + "/folder.mp3");
    const QByteArray fifo = QFile::encodeName(dir + "/pipe.mp3");
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    QVERIFY(QFile::link("/dev/zero", dir + "/device.mp3"));
    // Should a read block on the FIFO anyway, a writer lets it go on so that the
    // time check below fails rather than the whole test hanging.
    std::promise<void> finished;
    std::thread watchdog([&fifo, done = finished.get_future()] {
        if (done.wait_for(std::chrono::seconds(5)) == std::future_status::timeout)
            ::close(::open(fifo.constData(), O_WRONLY));
    });
    QElapsedTimer clock;
    clock.start();
    for (const char* name : {"folder.mp3", "pipe.mp3", "device.mp3"})
        form.guarded([&] { form.DrawTAG(name); });
    const qint64 elapsed = clock.elapsed();
    finished.set_value();
    watchdog.join();
    QVERIFY2(elapsed < 1000, qPrintable(QString::number(elapsed)));
    QCOMPARE(fx.dialogs.texts(), QStringList(3, "File access denied."));
    if (::geteuid() != 0) { // root reads whatever the permissions say
        QFile::setPermissions(dir + "/a.mp3", {});
        form.guarded([&] { form.DrawTAG("a.mp3"); });
        QCOMPARE(fx.dialogs.texts().last(), QStringLiteral("File access denied."));
    }
#endif
}

void TestTagsRenameDelete::renameProposesFromListPositionAndTag() {
    const QString dir = dir_.filePath("proposals");
    QDir().mkpath(dir);
    tb::test::makeFiles(dir, {"a.mp3", "b.mp3", "d.mp3", "f.mp3"});
    writeFile(dir + "/c.mp3", audio + tag("Brat\xF8\xED\xE8ku", "Kryl  "));
    writeFile(dir + "/e.mp3", audio + audio); // no tag
    writeFile(dir + "/g.mp3", audio + tag("SOS", "ABBA" + QByteArray(26, ' ')));
    MainWindowFixture fx;
    TForm1& form = fx.show();
    fx.browse(dir);
    clickRow(form, 2);
    clickRow(form, 4, Qt::ControlModifier);
    clickRow(form, 6, Qt::ControlModifier);
    form.Timer1Timer();
    QSignalSpy rereads(form.FileListBox1->model(), &QAbstractItemModel::modelReset);
    fx.dialogs.inputs = {std::nullopt, QString("renamed.mp3"), QString("07 - ABBA - SOS.mp3")};
    form.PrejmenBt->click();

    QCOMPARE(fx.dialogs.inputRequests.size(), 3);
    const auto& first = fx.dialogs.inputRequests.first();
    QCOMPARE(first.caption, QStringLiteral("Změna jména souboru"));
    QCOMPARE(first.prompt, QStringLiteral("Zadejte nové jméno souboru \"c.mp3\""));
    QCOMPARE(first.maxLength, 255);
    QCOMPARE(first.text, QStringLiteral("03 - Kryl - Bratříčku.mp3"));
    QCOMPARE(fx.dialogs.inputRequests.at(1).text, QStringLiteral("05 -  - .mp3"));
    QCOMPARE(fx.dialogs.inputRequests.at(2).text, QStringLiteral("07 - ABBA - SOS.mp3"));
    QCOMPARE(rereads.count(), 1);
    QCOMPARE(QDir(dir).entryList(QDir::Files),
             (QStringList{"07 - ABBA - SOS.mp3", "a.mp3", "b.mp3", "c.mp3", "d.mp3", "f.mp3",
                          "renamed.mp3"}));
    QCOMPARE(form.FileListBox1->count(), 7);
    QCOMPARE(form.currentFilePath(), form.DirectoryListBox1->Directory() + "/g.mp3");
    QCOMPARE(form.ArtistTag->text(), "ABBA" + QString(26, ' '));

    // With "CistTag" off the proposal is the name, and the panel stays as it is.
    fx.settings.cistTag = "NE";
    selectRows(form, {3});
    fx.dialogs.inputs = {std::nullopt};
    form.Prejmen->trigger();
    QCOMPARE(fx.dialogs.inputRequests.last().text, QStringLiteral("c.mp3"));
    QCOMPARE(form.ArtistTag->text(), "ABBA" + QString(26, ' '));
    QCOMPARE(form.currentFilePath(), form.DirectoryListBox1->Directory() + "/g.mp3");

    // A tag that cannot be read ends the whole action: no question, no re-read.
    fx.settings.cistTag = "ANO";
    writeFile(dir + "/b.mp3", "short");
    selectRows(form, {2, 3});
    fx.dialogs.inputRequests.clear();
    rereads.clear();
    fx.dialogs.answers = {Dialogs::Answer::Ok};
    form.Prejmen->trigger();
    QCOMPARE(fx.dialogs.texts(), QStringList{"Read beyond end of file."});
    QVERIFY(fx.dialogs.inputRequests.isEmpty());
    QCOMPARE(rereads.count(), 0);
    QCOMPARE(fx.dialogs.unexpected, 0);
}

void TestTagsRenameDelete::renameNeverReplacesAFile() {
    const QString dir = dir_.filePath("refusals");
    QDir().mkpath(dir + "/sub");
    for (const char* name : {"a", "b", "c", "d", "e"})
        writeFile(dir + "/" + name + ".mp3", name);
    // Another file system where there is one, to move across.
    QTemporaryDir elsewhere((QDir("/dev/shm").exists() ? "/dev/shm" : QDir::tempPath()) +
                            "/tb-XXXXXX");
    MainWindowFixture fx;
    TForm1& form = fx.show();
    fx.settings.cistTag = "NE";
    fx.browse(dir);
    form.FileListBox1->selectAll();
    fx.dialogs.inputs = {QString("b.mp3"), QString("b.mp3"), QString("sub/c.mp3"),
                         elsewhere.filePath("d.mp3"), QString("missing/e.mp3")};
    fx.dialogs.answers = {Dialogs::Answer::Ok, Dialogs::Answer::Ok, Dialogs::Answer::Ok};
    form.guarded([&] { form.PrejmenClick(); });

    QCOMPARE(fx.dialogs.texts(),
             (QStringList{"Při přejmenovávání \"a.mp3\" na \"b.mp3\" nastala chyba!",
                          "Při přejmenovávání \"b.mp3\" na \"b.mp3\" nastala chyba!",
                          "Při přejmenovávání \"e.mp3\" na \"missing/e.mp3\" nastala chyba!"}));
    QCOMPARE(fx.dialogs.shown.first().kind, Dialogs::Kind::Error);
    QCOMPARE(contentOf(dir + "/a.mp3"), QByteArray("a"));
    QCOMPARE(contentOf(dir + "/b.mp3"), QByteArray("b"));
    QCOMPARE(contentOf(dir + "/sub/c.mp3"), QByteArray("c"));
    QCOMPARE(contentOf(elsewhere.filePath("d.mp3")), QByteArray("d"));
    QCOMPARE(contentOf(dir + "/e.mp3"), QByteArray("e"));
    QCOMPARE(form.FileListBox1->count(), 3);
}

void TestTagsRenameDelete::deleteAsksOnceForAllThenPerFile() {
    const QString dir = dir_.filePath("delete");
    QDir().mkpath(dir);
    writeFile(dir + "/a.mp3", audio + tag("SOS"));
    tb::test::makeFiles(dir, {"b.mp3", "c.mp3", "d.mp3", "e.mp3"});
    MainWindowFixture fx;
    TForm1& form = fx.show();
    fx.browse(dir);
    fx.settings.cistTag = "NE"; // b.mp3 has no tag to read
    clickRow(form, 1);
    fx.settings.cistTag = "ANO";
    clickRow(form, 0, Qt::ControlModifier);
    const QString a = form.currentFilePath();
    form.Timer1Timer();
    QSignalSpy rereads(form.FileListBox1->model(), &QAbstractItemModel::modelReset);
    const QString question = "Opravdu chcete z disku fyzicky odstranit soubor %1 ?";
    fx.dialogs.answers = {Dialogs::Answer::Yes, Dialogs::Answer::Yes, Dialogs::Answer::Yes};
    form.SmazatBt->click();
    QCOMPARE(fx.dialogs.texts(),
             (QStringList{"Opravdu chcete z disku fyzicky odstranit všechny označené soubory?",
                          question.arg("a.mp3"), question.arg("b.mp3")}));
    QCOMPARE(fx.dialogs.shown.at(0).kind, Dialogs::Kind::Confirmation);
    QCOMPARE(fx.dialogs.shown.at(1).kind, Dialogs::Kind::Warning);
    QCOMPARE(QDir(dir).entryList(QDir::Files), (QStringList{"c.mp3", "d.mp3", "e.mp3"}));
    QCOMPARE(rereads.count(), 1);
    // The deleted file stays current, its tag shown.
    QCOMPARE(form.currentFilePath(), a);
    QCOMPARE(form.TitleTag->text(), QStringLiteral("SOS"));

    // No at the first question: nothing more is asked, the list is still re-read.
    selectRows(form, {0, 1, 2});
    fx.dialogs.shown.clear();
    fx.dialogs.answers = {Dialogs::Answer::No};
    form.Smazat1->trigger();
    QCOMPARE(fx.dialogs.shown.size(), 1);
    QCOMPARE(rereads.count(), 2);

    // A failed deletion is reported and the loop goes on; No leaves a file.
    QFile::remove(dir + "/c.mp3");
    selectRows(form, {0, 1, 2});
    fx.dialogs.shown.clear();
    fx.dialogs.answers = {Dialogs::Answer::Yes, Dialogs::Answer::Yes, Dialogs::Answer::Ok,
                          Dialogs::Answer::No, Dialogs::Answer::Yes};
    form.Smazat1->trigger();
    QCOMPARE(fx.dialogs.texts().at(2), QStringLiteral("Při mazání \"c.mp3\" nastala chyba!"));
    QCOMPARE(fx.dialogs.shown.at(2).kind, Dialogs::Kind::Error);
    QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList{"d.mp3"});
    QCOMPARE(fx.dialogs.unexpected, 0);
}

QTEST_MAIN(TestTagsRenameDelete)
#include "test_tags_rename_delete.moc"
