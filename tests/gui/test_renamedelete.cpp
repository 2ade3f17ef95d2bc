#include "filetools/FileListBox.h"
#include "support/MainWindowFixture.h"
#include "support/QtTests.h"
#include "support/TagFiles.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <fstream>
#include <sys/mount.h>
#include <unistd.h>

using namespace tb::test;
using A = tb::Dialogs::Answer;

class TestRenameDelete : public QObject {
    Q_OBJECT

private slots:
    void renameProposesFromListPositionAndTag() {
        MainWindowFixture fx;
        dirPath_ = dir_.filePath("proposals");
        TForm1& form = fx.showSongs(dirPath_, {"", "", audio + tag("Brat\xF8\xED\xE8ku", "Kryl  "),
                                               "", audio + audio, "",
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
    void renameNeverReplacesNorCutsAFile() {
        QTemporaryDir small,
            shm((QDir("/dev/shm").exists() ? "/dev/shm" : QDir::tempPath()) + "/tb-XXXXXX");
        const QByteArray smallPath = QFile::encodeName(small.path());
        const bool full = ::geteuid() == 0 &&
                          ::mount("tmpfs", smallPath.constData(), "tmpfs", 0, "size=16k") == 0;
        const auto unmount = qScopeGuard([&] {
            if (full)
                ::umount2(smallPath.constData(), MNT_DETACH);
        });
        const QString elsewhere = full ? small.path() : shm.path();
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
                                    contents(d + "folder.mp3/c.mp3"),
                                    contents(elsewhere + "/d.mp3"), contents(d + "e.mp3"),
                                    contents((full ? d : elsewhere + '/') + "f.mp3")}),
                 (QList<QByteArray>{"a", "b", "c", "d", "e", big}));
        const QStringList moved = full ? QStringList{"d.mp3"} : QStringList{"d.mp3", "f.mp3"};
        QCOMPARE(QDir(elsewhere).entryList(QDir::Files | QDir::Hidden), moved);
        QCOMPARE(form.FileListBox1->count(), full ? 4 : 3);
    }

    // The input box takes no more than a name holds; a typed name too long for any file
    // system is refused before the rename.
    void renameRefusesLongNames() {
        MainWindowFixture fx;
        dirPath_ = dir_.filePath("long");
        TForm1& form = fx.showSongs(dirPath_, {audio, audio});
        fx.settings.cistTag = false;
        const QString longest = QString(125, u'ž') + "x.mp3"; // 255 bytes: taken
        const QString tooLong = QString(126, u'ž') + ".mp3";  // 256 bytes
        fx.selectFiles({0, 1});
        fx.dialogs.inputs = {longest, tooLong};
        fx.dialogs.answers = {A::Ok};
        form.PrejmenClick();
        QCOMPARE(fx.dialogs.inputRequests.value(0).maxNameBytes, 255);
        QCOMPARE(fx.dialogs.texts(), QStringList{"Soubor \"b.mp3\" nebyl přejmenován: nové jméno "
                                                 "má 256 bajtů, smí mít nejvýše 255."});
        QCOMPARE(QDir(dirPath_).entryList(QDir::Files), (QStringList{"b.mp3", longest}));
        QCOMPARE(fx.dialogs.unexpected, 0);
    }

    void deleteAsksOnceForAllThenPerFile() {
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

    void namesInAnyEncodingAreReachedByTheirBytes() {
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
        QCOMPARE(form.FileListBox1->fileName(0), QStringLiteral("čš.mp3"));
        QCOMPARE(form.FileListBox1->fileName(1), QString::fromUtf8("two\u240Alines.mp3"));

        // Read, made current and shown; the path keeps the name's bytes.
        const QString shown = form.DirectoryListBox1->Directory() + '/';
        fx.clickFile(0);
        QCOMPARE(form.TitleTag->text(), QStringLiteral("SOS"));
        QCOMPARE(form.currentFilePath(), directory + cp1250);
        QCOMPARE(form.FileNameTag->text(), shown + "čš.mp3");
        fx.clickFile(1);
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

private:
    QTemporaryDir dir_;
    QString dirPath_;
};

QTEST_MAIN(TestRenameDelete)
#include "test_renamedelete.moc"
