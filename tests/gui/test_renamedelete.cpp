#include "filetools/FileListBox.h"
#include "support/MainWindowFixture.h"
#include "support/TagFiles.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <fstream>
#include <sys/mount.h>
#include <unistd.h>

using tb::test::contents;
using tb::test::MainWindowFixture;
using tb::test::writeFile;
using A = tb::Dialogs::Answer;
using tb::test::audio;
using tb::test::tag;
using tb::test::tagV2;
using tb::test::id3v2::Encoding;

namespace {

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

class TestRenameDelete : public QObject {
    Q_OBJECT

private slots:
    void renameProposesFromListPositionAndTag();
    void renameNeverReplacesNorCutsAFile();
    void renameFitsLongTagsAndRefusesLongNames();
    void proposalsOnAWindowsStickKeepToItsRules();
    void deleteAsksOnceForAllThenPerFile();
    void namesInAnyEncodingAreReachedByTheirBytes();

private:
    QTemporaryDir dir_;
    QString dirPath_;
};

void TestRenameDelete::renameProposesFromListPositionAndTag() {
    MainWindowFixture fx;
    dirPath_ = dir_.filePath("proposals");
    TForm1& form = fx.showSongs(dirPath_, {"", "", audio + tag("Brat\xF8\xED\xE8ku", "Kryl  "), "",
                                           audio + audio, "",
                                           audio + tag("SOS", "ABBA" + QByteArray(26, ' '))});
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
    fx.settings.cistTag = false;
    fx.selectFiles({3});
    fx.dialogs.inputs = {std::nullopt};
    form.Timer1Timer(); // the enable timer ticks before the menu opens
    form.Prejmen->trigger();
    QCOMPARE(asked.last().text, QStringLiteral("c.mp3"));
    QCOMPARE(form.ArtistTag->text(), artist);

    // A tag that cannot be read ends the whole action: no question, no re-read.
    fx.settings.cistTag = true;
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
void TestRenameDelete::renameNeverReplacesNorCutsAFile() {
    tb::test::SmallDisk disk("16k");
    QTemporaryDir shm((QDir("/dev/shm").exists() ? "/dev/shm" : QDir::tempPath()) + "/tb-XXXXXX");
    const bool full = !disk.path().isEmpty();
    const QString elsewhere = full ? disk.path() : shm.path();
    const QByteArray big(100'000, 'x');
    MainWindowFixture fx;
    dirPath_ = dir_.filePath("refusals");
    TForm1& form = fx.showSongs(dirPath_, {"a", "b", "c", "d", "e", big});
    fx.settings.cistTag = false;
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

// 272 characters from an ID3v2 tag: the proposal keeps ".mp3" within 255 bytes (the
// cuts themselves are the rename rules' tests); a typed name too long for any file
// system is refused before the rename.
void TestRenameDelete::renameFitsLongTagsAndRefusesLongNames() {
    MainWindowFixture fx;
    dirPath_ = dir_.filePath("long");
    TForm1& form = fx.showSongs(
        dirPath_,
        {tagV2(4, Encoding::Utf8, std::string(237, 's'), "Kapela s dlouhým názvem", "Pop") + audio,
         audio, audio});
    fx.selectFiles({0});
    fx.dialogs.inputs = {std::nullopt};
    form.PrejmenClick();
    const auto& asked = fx.dialogs.inputRequests.value(0);
    QCOMPARE(asked.maxNameBytes, 255);
    const QByteArray bytes = asked.text.toUtf8();
    QVERIFY2(bytes.size() <= 255 && bytes.size() >= 250 && bytes.endsWith(".mp3"), bytes);
    QVERIFY(asked.text.startsWith("01 - Kapela s dlouhým názvem - sss"));

    const QString proposal = asked.text, tooLong = QString(126, u'ž') + ".mp3"; // 256 bytes
    fx.selectFiles({0, 1, 2});
    fx.dialogs.inputs = {proposal, std::nullopt, tooLong};
    fx.dialogs.answers = {A::Ok};
    form.PrejmenClick();
    QCOMPARE(fx.dialogs.texts(), QStringList{"Soubor \"c.mp3\" nebyl přejmenován: nové jméno "
                                             "má 256 bajtů, smí mít nejvýše 255."});
    QCOMPARE(QDir(dirPath_).entryList(QDir::Files), (QStringList{proposal, "b.mp3", "c.mp3"}));
    QCOMPARE(form.FileListBox1->count(), 3);
    QCOMPARE(fx.dialogs.unexpected, 0);
}

// A tag's "AC/DC: "Live"" renamed on an NTFS stick: the proposal is one that Windows takes.
void TestRenameDelete::proposalsOnAWindowsStickKeepToItsRules() {
    NtfsStick stick;
    if (stick.path().isEmpty())
        QSKIP("no NTFS could be mounted here (needs root, mkntfs, losetup and ntfs-3g)");
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

void TestRenameDelete::deleteAsksOnceForAllThenPerFile() {
    MainWindowFixture fx;
    dirPath_ = dir_.filePath("delete");
    TForm1& form = fx.showSongs(dirPath_, {audio + tag("SOS"), "", "", "", ""});
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

void TestRenameDelete::namesInAnyEncodingAreReachedByTheirBytes() {
    // "čš.mp3" in Windows-1250, which is not UTF-8, and a name holding a line break.
    const QByteArray cp1250 = "\xE8\x9A.mp3", lineBreak = "two\nlines.mp3";
    MainWindowFixture fx;
    dirPath_ = dir_.filePath("bytes");
    TForm1& form = fx.showSongs(dirPath_, {});
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

    // Moved, to another file system where there is one, and deleted by their bytes.
    QTemporaryDir elsewhere((QDir("/dev/shm").exists() ? "/dev/shm" : QDir::tempPath()) +
                            "/tb-XXXXXX");
    fx.settings.cistTag = false;
    fx.dialogs.inputs = {elsewhere.filePath("moved.mp3")};
    form.PrejmenClick();
    fx.selectFiles({0});
    fx.dialogs.answers = {A::Yes, A::Yes};
    form.Smazat1Click();
    QCOMPARE(QDir(dirPath_).entryList(QDir::Files), QStringList());
    QCOMPARE(contents(elsewhere.filePath("moved.mp3")), audio + tag("SOS"));
    QCOMPARE(fx.dialogs.unexpected, 0);
}

QTEST_MAIN(TestRenameDelete)
#include "test_renamedelete.moc"
