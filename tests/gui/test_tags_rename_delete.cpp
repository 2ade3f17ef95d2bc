#include "filetools/FileListBox.h"
#include "platform/NameRules.h"
#include "support/Id3v2Bytes.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <sys/mount.h>
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

namespace v2 = tb::test::id3v2;
using v2::Encoding;

// An ID3v2 tag of the version with its six texts in one encoding and zero padding; 2.2
// names its frames with three letters.
QByteArray tagV2(int version, Encoding encoding, std::string_view title, std::string_view artist,
                 std::string_view genre, std::size_t padding = 64) {
    const auto text = [&](const char* id, const char* oldId, std::string_view value) {
        return v2::textFrame(version, version == 2 ? oldId : id, encoding, {value});
    };
    const std::string frames =
        text("TIT2", "TT2", title) + text("TPE1", "TP1", artist) + text("TALB", "TAL", "Album") +
        text(version == 4 ? "TDRC" : "TYER", "TYE", "1976-05") +
        v2::commentFrame(version, encoding, "", "Poznámka") + text("TCON", "TCO", genre);
    return QByteArray::fromStdString(v2::tag(version, frames, 0, padding));
}

// Acts on the next box that opens, from within its own event loop.
template <typename Box> void whenShown(std::function<void(Box*)> act) {
    QTimer::singleShot(0, [act] {
        auto* box = qobject_cast<Box*>(QApplication::activeModalWidget());
        QVERIFY(box && box->isVisible());
        act(box);
    });
}

// What the program wrote, or nothing when it could not run or failed.
std::optional<QString> output(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    const bool ran = process.waitForFinished(20'000) &&
                     process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!ran)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// A small NTFS made on a loop device and mounted through ntfs-3g, as a stick from a
// Windows machine is; path() is empty where the tools or the rights are missing.
class NtfsStick {
public:
    NtfsStick() {
        const QString image = folder_.filePath("stick.img");
        QFile file(image);
        if (::geteuid() != 0 || !file.open(QIODevice::WriteOnly) || !file.resize(8 << 20))
            return;
        file.close();
        if (!output("mkntfs", {"-F", "-Q", "-q", image}))
            return;
        loop_ = output("losetup", {"-f", "--show", image}).value_or(QString());
        mountPoint_ = folder_.filePath("mount");
        mounted_ = !loop_.isEmpty() && QDir().mkpath(mountPoint_) &&
                   output("ntfs-3g", {loop_, mountPoint_}).has_value();
    }
    ~NtfsStick() {
        if (mounted_)
            ::umount2(QFile::encodeName(mountPoint_).constData(), 0);
        if (!loop_.isEmpty())
            output("losetup", {"-d", loop_});
    }
    QString path() const { return mounted_ ? mountPoint_ : QString(); }

private:
    QTemporaryDir folder_;
    QString loop_, mountPoint_;
    bool mounted_ = false;
};

} // namespace

class TestTagsRenameDelete : public QObject {
    Q_OBJECT

private slots:
    void panelShowsTagsAndRefusesBadFiles();
    void panelShowsId3v2WhereTheFileEndsInNoId3v1();
    void badId3v2TagsShowWhatCanBeRead();
    void panelShowsTextsAfterALargeCover();
    void renameProposesFromListPositionAndTag();
    void renameNeverReplacesNorCutsAFile();
    void renameFitsLongTagsAndRefusesLongNames();
    void boxRefusesANameLongerThanTheFileSystemHolds();
    void windowsNameRulesOfTheFileSystem();
    void proposalsOnAWindowsStickKeepToItsRules();
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
    ::alarm(5); // an open or read that blocks ends the test
    for (const char* name : {"folder.mp3", "pipe.mp3", "device.mp3"})
        form.guarded([&] { form.DrawTAG(name); });
    ::alarm(0);
    QCOMPARE(fx.dialogs.texts(), QStringList(3, "File access denied."));
}

void TestTagsRenameDelete::panelShowsId3v2WhereTheFileEndsInNoId3v1() {
    const QString longTitle = QString("Dlouhý název ").repeated(20);
    MainWindowFixture fx;
    TForm1& form = browse(
        fx, "id3v2",
        {tagV2(3, Encoding::Utf16, "Bratříčku, zavírej vrátka", "Karel Kryl", "(17)") + audio,
         tagV2(4, Encoding::Utf8, "Žluťoučký kůň", "Příliš/Úpěl: \"ó\"", "Alternativní") + audio,
         tagV2(2, Encoding::Latin1, "SOS", "ABBA", "(RX)") + audio,
         tagV2(4, Encoding::Utf16Be, "Nová", "Nový", "Pop") + audio + tag("Verze 1", "ABBA", 17),
         tagV2(4, Encoding::Utf8, longTitle.toStdString(), "", "(4)Eurodisco")});
    // Where the file ends in an ID3v1 tag (the fourth), that tag is shown alone.
    const QList<QStringList> shown{
        {"Bratříčku, zavírej vrátka", "Karel Kryl", "Album", "1976", "Poznámka", "Rock"},
        {"Žluťoučký kůň", "Příliš/Úpěl: \"ó\"", "Album", "1976", "Poznámka", "Alternativní"},
        {"SOS", "ABBA", "Album", "1976", "Poznámka", "Remix"},
        {"Verze 1", "ABBA", "Arrival   ", "1976", "", "Rock"}};
    for (int file = 0; file < shown.size(); ++file) {
        fx.clickFile(file);
        QCOMPARE(tagTexts(form), shown[file]);
    }
    // A long text is kept whole, shown as far as it fits: the panel does not grow.
    const QRect field = form.TitleTag->geometry(), panel = form.GroupBox3->geometry();
    fx.clickFile(4);
    QCOMPARE(form.TitleTag->text(), longTitle);
    QCOMPARE(form.GenreTag->text(), QStringLiteral("Disco / Eurodisco"));
    QCoreApplication::processEvents();
    QCOMPARE(form.TitleTag->geometry(), field);
    QCOMPARE(form.GroupBox3->geometry(), panel);

    // The rename proposal takes the shown texts, with what no name may hold mended.
    fx.selectFiles({0, 1});
    fx.dialogs.inputs = {std::nullopt, std::nullopt};
    form.PrejmenClick();
    QCOMPARE(fx.dialogs.inputRequests.at(0).text,
             QStringLiteral("01 - Karel Kryl - Bratříčku, zavírej vrátka.mp3"));
    QCOMPARE(fx.dialogs.inputRequests.at(1).text,
             QStringLiteral("02 - Příliš_Úpěl: \"ó\" - Žluťoučký kůň.mp3"));
    QCOMPARE(fx.dialogs.unexpected, 0);
}

// Tags cut short, pointing past the file's end, of 256 MB, or of noise: no box, the
// frames that could be read shown; a file shorter than 128 bytes fails as before.
void TestTagsRenameDelete::badId3v2TagsShowWhatCanBeRead() {
    const QByteArray whole = tagV2(4, Encoding::Utf8, "SOS", "ABBA", "Pop", 100'000);
    QByteArray huge = whole.left(whole.indexOf("TCON"));
    huge[6] = huge[7] = huge[8] = huge[9] = 0x7F;
    QByteArray noise = whole.left(10);
    for (int i = 0; i < 4000; ++i)
        noise += char((i * 7919) >> 3);
    const QByteArray cut = whole.left(whole.indexOf("TPE1") + 7) + QByteArray(300, '\0');
    MainWindowFixture fx;
    TForm1& form = browse(fx, "bad-id3v2", {whole.left(400), cut, huge, noise, whole.left(100)});
    QVERIFY(QFile::resize(dirPath_ + "/c.mp3", qint64{300} << 20));
    const QStringList all{"SOS", "ABBA", "Album", "1976", "Poznámka", "Pop"};
    const QList<QStringList> shown{all, {"SOS", "", "", "", "", ""}, all.mid(0, 5) << ""};
    for (int file = 0; file < shown.size(); ++file) {
        fx.clickFile(file);
        QCOMPARE(tagTexts(form), shown[file]);
    }
    fx.clickFile(3);
    QCOMPARE(fx.dialogs.shown.size(), 0);
    fx.clickFile(4);
    QCOMPARE(fx.dialogs.texts(), QStringList{"Read beyond end of file."});
    QCOMPARE(tagTexts(form), noTag);
}

void TestTagsRenameDelete::panelShowsTextsAfterALargeCover() {
    // Encoders that put the cover first: 1.5 MiB of picture before the texts.
    const std::string cover = v2::frame(3, "APIC", std::string(3 << 19, '\x42'));
    const std::string texts = v2::textFrame(3, "TIT2", Encoding::Utf16, {"Žluťoučký kůň"}) +
                              v2::textFrame(3, "TPE1", Encoding::Latin1, {"ABBA"});
    MainWindowFixture fx;
    TForm1& form =
        browse(fx, "cover", {QByteArray::fromStdString(v2::tag(3, cover + texts)) + audio});
    fx.clickFile(0);
    QCOMPARE(tagTexts(form), (QStringList{"Žluťoučký kůň", "ABBA", "", "", "", ""}));
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
    QCOMPARE(asked[0].prompt, QStringLiteral("Zadejte nové jméno souboru \"c.mp3\""));
    QCOMPARE((QStringList{asked[0].text, asked[1].text, asked[2].text}),
             (QStringList{"03 - Kryl - Bratříčku.mp3", "05 -  - .mp3", "07 - ABBA - SOS.mp3"}));
    QCOMPARE(rereads.count(), 1);
    QCOMPARE(QDir(dirPath_).entryList(QDir::Files),
             (QStringList{"07 - ABBA - SOS.mp3", "a.mp3", "b.mp3", "c.mp3", "d.mp3", "f.mp3",
                          "renamed.mp3"}));
    QCOMPARE(form.currentFilePath(), form.DirectoryListBox1->Directory() + "/g.mp3");
    const QString artist = form.ArtistTag->text();
    QCOMPARE(artist, "ABBA" + QString(26, ' '));

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
    form.guarded([&] { form.PrejmenClick(); });
    QCOMPARE(fx.dialogs.texts(), QStringList{"Read beyond end of file."});
    QVERIFY(asked.isEmpty() && rereads.isEmpty());
}

// Moves go to another file system: as root a small tmpfs, where a copy that fails must
// leave nothing behind, else /dev/shm where there is one.
void TestTagsRenameDelete::renameNeverReplacesNorCutsAFile() {
    tb::test::SmallDisk disk("16k");
    QTemporaryDir shm((QDir("/dev/shm").exists() ? "/dev/shm" : QDir::tempPath()) + "/tb-XXXXXX");
    const bool full = !disk.path().isEmpty();
    const QString elsewhere = full ? disk.path() : shm.path();
    const QByteArray big(100'000, 'x');
    MainWindowFixture fx;
    TForm1& form = browse(fx, "refusals", {"a", "b", "c", "d", "e", big});
    fx.settings.cistTag = "NE";
    form.FileListBox1->selectAll();
    fx.dialogs.inputs = {
        QString("b.mp3"),     QString("b.mp3"),         QString("folder.mp3/c.mp3"),
        elsewhere + "/d.mp3", QString("missing/e.mp3"), elsewhere + "/f.mp3"};
    fx.dialogs.answers = {A::Ok, A::Ok, A::Ok, A::Ok};
    form.guarded([&] { form.PrejmenClick(); });

    const QString refused = "Při přejmenovávání \"%1\" na \"%2\" nastala chyba!";
    QStringList texts{refused.arg("a.mp3", "b.mp3"), refused.arg("b.mp3", "b.mp3"),
                      refused.arg("e.mp3", "missing/e.mp3")};
    if (full)
        texts << refused.arg("f.mp3", elsewhere + "/f.mp3");
    QCOMPARE(fx.dialogs.texts(), texts);
    const QString d = dirPath_ + '/';
    QCOMPARE((QList<QByteArray>{contents(d + "a.mp3"), contents(d + "b.mp3"),
                                contents(d + "folder.mp3/c.mp3"), contents(elsewhere + "/d.mp3"),
                                contents(d + "e.mp3"),
                                contents((full ? d : elsewhere + '/') + "f.mp3")}),
             (QList<QByteArray>{"a", "b", "c", "d", "e", big}));
    const QStringList moved = full ? QStringList{"d.mp3"} : QStringList{"d.mp3", "f.mp3"};
    QCOMPARE(QDir(elsewhere).entryList(QDir::Files | QDir::Hidden), moved);
    QCOMPARE(form.FileListBox1->count(), full ? 4 : 3);
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
    QCOMPARE(QDir(dirPath_).entryList(QDir::Files), (QStringList{"c.mp3", "d.mp3", "e.mp3"}));
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
    form.Smazat1Click();
    QCOMPARE(fx.dialogs.texts().at(2), QStringLiteral("Při mazání \"c.mp3\" nastala chyba!"));
    QCOMPARE(QDir(dirPath_).entryList(QDir::Files), QStringList{"d.mp3"});
    QCOMPARE(fx.dialogs.unexpected, 0);
}

void TestTagsRenameDelete::namesInAnyEncodingAreReachedByTheirBytes() {
    // "čš.mp3" in Windows-1250, which is not UTF-8, and a name holding a line break.
    const QByteArray cp1250 = "\xE8\x9A.mp3", lineBreak = "two\nlines.mp3";
    MainWindowFixture fx;
    TForm1& form = browse(fx, "bytes", {});
    const QByteArray directory = QFile::encodeName(dirPath_) + '/';
    for (const QByteArray& name : {cp1250, lineBreak})
        std::ofstream((directory + name).toStdString(), std::ios::binary)
            << (audio + tag("SOS")).toStdString();
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
    QCOMPARE(fx.dialogs.unexpected, 0);
}

// 272 characters from an ID3v2 tag, or 209 with Czech letters (291 bytes): the proposal
// keeps ".mp3" within 255 bytes and the file stays an MP3; a typed name too long for any
// file system is refused before the rename.
void TestTagsRenameDelete::renameFitsLongTagsAndRefusesLongNames() {
    std::string czech;
    for (int i = 0; i < 4; ++i)
        czech += "Příliš žluťoučký kůň ";
    MainWindowFixture fx;
    TForm1& form = browse(
        fx, "long",
        {tagV2(4, Encoding::Utf8, std::string(237, 's'), "Kapela s dlouhým názvem", "Pop") + audio,
         tagV2(3, Encoding::Utf16, czech + czech + "Bratříčku", czech, "Pop") + audio, audio});
    fx.selectFiles({0, 1});
    fx.dialogs.inputs = {std::nullopt, std::nullopt};
    form.PrejmenClick();
    QStringList proposals;
    for (const auto& asked : fx.dialogs.inputRequests) {
        QCOMPARE(asked.maxNameBytes, 255);
        const QByteArray bytes = asked.text.toUtf8();
        QVERIFY2(bytes.size() <= 255 && bytes.size() >= 250 && bytes.endsWith(".mp3"), bytes);
        proposals << asked.text;
    }
    QVERIFY(proposals.at(0).startsWith("01 - Kapela s dlouhým názvem - sss"));
    QVERIFY(proposals.at(1).startsWith("02 - " + QString::fromStdString(czech).trimmed() +
                                       " - Příliš"));

    const QString tooLong = QString(126, u'ž') + ".mp3"; // 256 bytes
    fx.selectFiles({0, 1, 2});
    fx.dialogs.inputs = {proposals.at(0), proposals.at(1), tooLong};
    fx.dialogs.answers = {A::Ok};
    form.PrejmenClick();
    QCOMPARE(fx.dialogs.texts(), QStringList{"Soubor \"c.mp3\" nebyl přejmenován: nové jméno "
                                             "má 256 bajtů, smí mít nejvýše 255."});
    QCOMPARE(QDir(dirPath_).entryList(QDir::Files),
             (QStringList{proposals.at(0), proposals.at(1), "c.mp3"}));
    QCOMPARE(form.FileListBox1->count(), 3);
    QCOMPARE(fx.dialogs.unexpected, 0);
}

// The real box says why it will not take a name of 256 bytes and keeps it open with the
// text; 255 bytes, or a long path ending in a short name, it takes.
void TestTagsRenameDelete::boxRefusesANameLongerThanTheFileSystemHolds() {
    tb::QtDialogs dialogs;
    const QString tooLong = QString(126, u'ž') + ".mp3", fits = QString(125, u'ž') + "a.mp3";
    QString warning, keptText;
    bool stayedOpen = false;
    whenShown<QInputDialog>([&](QInputDialog* box) {
        box->setTextValue(tooLong);
        whenShown<QMessageBox>([&](QMessageBox* refusal) {
            warning = refusal->text();
            refusal->button(QMessageBox::Ok)->click();
        });
        box->accept();
        stayedOpen = box->isVisible();
        keptText = box->textValue();
        box->setTextValue(fits);
        box->accept();
    });
    QCOMPARE(dialogs.inputText(nullptr, "Změna jména souboru", "a.mp3", "a.mp3", 255), fits);
    QCOMPARE(warning,
             QStringLiteral("Jméno souboru je příliš dlouhé: má 256 bajtů, smí mít nejvýše 255. "
                            "Zkraťte je, prosím."));
    QVERIFY(stayedOpen);
    QCOMPARE(keptText, tooLong);

    const QString longPath = QString("/tmp/%1/").arg(QString(250, 'd')) + "a.mp3";
    whenShown<QInputDialog>([&](QInputDialog* box) { box->accept(); });
    QCOMPARE(dialogs.inputText(nullptr, "Změna jména souboru", "a.mp3", longPath, 255), longPath);
}

void TestTagsRenameDelete::windowsNameRulesOfTheFileSystem() {
    // FAT, exFAT and NTFS by their statfs types; ext4, tmpfs and FUSE as a whole are not.
    for (std::uint32_t type : {0x4d44u, 0x2011BAB0u, 0x5346544eu})
        QVERIFY(tb::isWindowsFileSystemType(type));
    for (std::uint32_t type : {0xEF53u, 0x01021994u, 0x65735546u, 0u})
        QVERIFY(!tb::isWindowsFileSystemType(type));
    for (const char* type : {"vfat", "exfat", "ntfs3", "fuseblk", "fuse.exfat", "fuseblk.ntfs-3g"})
        QVERIFY2(tb::isWindowsMountType(type), type);
    for (const char* type : {"fuse", "fuse.sshfs", "ext4", "tmpfs", ""})
        QVERIFY2(!tb::isWindowsMountType(type), type);

    // The mount table's type stands after the "-" that ends a varying number of fields.
    const QByteArray table = "22 1 0:21 / / rw shared:1 master:2 - overlay overlay rw\n"
                             "44 26 7:0 / /media/stick rw,relatime - fuseblk /dev/loop0 rw\n"
                             "45 26 7:1 / /media/card rw shared:7 - vfat /dev/sdb1 rw\n";
    QCOMPARE(tb::mountTypeOf(table, 7, 0), QByteArray("fuseblk"));
    QCOMPARE(tb::mountTypeOf(table, 7, 1), QByteArray("vfat"));
    QCOMPARE(tb::mountTypeOf(table, 0, 21), QByteArray("overlay"));
    QCOMPARE(tb::mountTypeOf(table, 7, 10), QByteArray());
    QCOMPARE(tb::mountTypeOf("1 2 7:0 / /x rw\n", 7, 0), QByteArray());

    QTemporaryDir here;
    QVERIFY(!tb::hasWindowsNameRules(QFile::encodeName(here.path())));
    QVERIFY(!tb::hasWindowsNameRules("/no/such/folder"));
}

// A tag's "AC/DC: "Live"" renamed on an NTFS stick: the proposal is one that Windows takes.
void TestTagsRenameDelete::proposalsOnAWindowsStickKeepToItsRules() {
    NtfsStick stick;
    if (stick.path().isEmpty())
        QSKIP("no NTFS could be mounted here (needs root, mkntfs, losetup and ntfs-3g)");
    QVERIFY(tb::hasWindowsNameRules(QFile::encodeName(stick.path())));
    MainWindowFixture fx;
    fx.show();
    writeFile(stick.path() + "/a.mp3", audio + tag("Why?*", "AC/DC: \"Live\""));
    fx.browse(stick.path());
    TForm1& form = *fx.form;
    fx.selectFiles({0});
    fx.dialogs.inputs = {QStringLiteral("01 - AC_DC_ _Live_ - Why__.mp3")};
    form.PrejmenClick();
    QCOMPARE(fx.dialogs.inputRequests.value(0).text,
             QStringLiteral("01 - AC_DC_ _Live_ - Why__.mp3"));
    QCOMPARE(QDir(stick.path()).entryList(QDir::Files),
             QStringList{"01 - AC_DC_ _Live_ - Why__.mp3"});
    QCOMPARE(fx.dialogs.unexpected, 0);
}

QTEST_MAIN(TestTagsRenameDelete)
#include "test_tags_rename_delete.moc"
