#include "controls/Digits.h"
#include "filetools/DriveBox.h"
#include "filetools/DriveWalk.h"
#include "platform/DirectoryListing.h"
#include "support/LookAlikeFolders.h"
#include "support/MainWindowFixture.h"
#include "support/QtTests.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <sys/resource.h>

using A = tb::Dialogs::Answer;
using tb::test::MainWindowFixture;

namespace {

// What the search itself finds, in its order.
struct Found : tb::WalkSink {
    void found(std::string_view entry) override { paths << QString::fromUtf8(entry); }
    QStringList paths;
};

// A window whose drive box holds "/" and the root as volumes, the root chosen.
TForm1& showOnDrive(MainWindowFixture& fx, const QString& root) {
    fx.volumes.volumes.append({root, "TEST"});
    fx.show().Disk->setDrive(root);
    return *fx.form;
}

} // namespace

class TestDriveSearch : public QObject {
    Q_OBJECT

private slots:
    void findsMp3FilesInListingOrderAfterYesOnly() {
        QTemporaryDir dir;
        const QString root = dir.path();
        tb::test::makeFiles(root, {"SONG.mp3", "ROCK/A.MP3", "ROCK/b.Mp3", "notes.txt", "c.FLAC"});
        MainWindowFixture fx;
        TForm1& form = showOnDrive(fx, root);
        form.playlist()->append("earlier.mp3");
        form.Digits1->setValue(1);

        // Any answer but Yes leaves everything alone; the playlist menu's item asks the same.
        fx.dialogs.answers = {A::No, A::Closed};
        form.Button8Click();
        form.AllMP3->trigger();
        const QString question =
            "Tato operace může trvat velice dlouho.\nOpravdu chcete prohledat celý disk " + root +
            ": ?";
        QCOMPARE(fx.dialogs.texts(), QStringList(2, question));
        QVERIFY(!form.driveSearchRunning() && !form.StaticText2->isVisible());
        QCOMPARE(fx.entries(), QStringList{"earlier.mp3"});

        // The three songs after what was there, in the order in which the search walks them.
        Found found;
        tb::searchDriveForMp3(QFile::encodeName(root).toStdString(), found);
        fx.dialogs.answers = {A::Yes};
        form.Button8Click();
        // While it runs: the sign shows and no second search can start.
        QVERIFY(form.driveSearchRunning() && form.StaticText2->isVisible());
        QVERIFY(!form.Button8->isEnabled() && !form.AllMP3->isEnabled());
        form.Button8Click();
        QCOMPARE(fx.dialogs.shown.size(), 3);

        QTRY_VERIFY(!form.driveSearchRunning());
        QCOMPARE(fx.entries(), QStringList{"earlier.mp3"} + found.paths);
        QCOMPARE(form.Digits1->Value(), 1 + 3);
        QVERIFY(!form.StaticText2->isVisible() && form.Button8->isEnabled() &&
                form.AllMP3->isEnabled());

        // Every music file where the menu says so: the FLAC file joins the songs.
        form.HledatVse.at(1)->trigger();
        fx.dialogs.answers = {A::Yes};
        form.Button8Click();
        QTRY_VERIFY(!form.driveSearchRunning());
        QCOMPARE(form.playlist()->count(), 1u + 3 + 4);
        QVERIFY(fx.entries().contains(root + "/c.FLAC"));
    }

    void closingDuringSearch() {
        QTemporaryDir dir;
        QStringList files;
        for (int i = 0; i < 2000; ++i)
            files << QStringLiteral("dir%1/track%2.mp3").arg(i / 20).arg(i % 20);
        tb::test::makeFiles(dir.path(), files);
        MainWindowFixture fx;
        TForm1& form = showOnDrive(fx, dir.path());

        // No at the exit question: the search goes on to its end.
        fx.dialogs.answers = {A::Yes, A::No};
        form.Button8Click();
        QVERIFY(!form.close() && form.driveSearchRunning());
        QTRY_VERIFY(!form.driveSearchRunning());
        QCOMPARE(form.playlist()->count(), 2000u);

        // Yes: the search stops at once, and nothing it found arrives afterwards.
        fx.dialogs.answers = {A::Yes, A::Yes};
        form.Button8Click();
        QVERIFY(form.driveSearchRunning() && form.close());
        QVERIFY(!form.driveSearchRunning() && !form.StaticText2->isVisible());
        QCoreApplication::sendPostedEvents(); // whatever the stopped worker had sent
        QCOMPARE(form.playlist()->count(), 2000u);

        // A window destroyed mid-search takes its worker along.
        const auto before = QDir(QStringLiteral("/proc/self/task")).count();
        fx.dialogs.answers = {A::Yes};
        form.show();
        form.Button8Click();
        QVERIFY(form.driveSearchRunning());
        fx.form.reset();
        QCOMPARE(QDir(QStringLiteral("/proc/self/task")).count(), before);
    }

    // With not one descriptor to be had the search cannot even open the start: it says so,
    // naming the folder, rather than find nothing in silence.
    void noDescriptorLeftIsSaid() {
#ifdef __SANITIZE_ADDRESS__
        QSKIP("the sanitizers' own checks of a throw need a descriptor");
#endif
        QTemporaryDir dir;
        tb::test::makeFiles(dir.path(), {"a/song.mp3"});
        MainWindowFixture fx;
        TForm1& form = showOnDrive(fx, dir.path());
        fx.dialogs.answers = {A::Yes, A::Ok};
        // Nothing painted meanwhile: the painter's threads, when they start, need descriptors too.
        form.hide();
        rlimit saved{};
        ::getrlimit(RLIMIT_NOFILE, &saved);
        rlimit lowered = saved;
        // Descriptors above the limit take no number below it: lowered until none is free.
        while (const std::size_t left = tb::descriptorsLeft()) {
            lowered.rlim_cur -= left;
            QCOMPARE(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
        }
        form.Button8Click();
        QTRY_VERIFY(!form.driveSearchRunning());
        ::setrlimit(RLIMIT_NOFILE, &saved);
        QCOMPARE(fx.dialogs.shown.size(), 2);
        QCOMPARE(fx.dialogs.shown[1].kind, tb::Dialogs::Kind::Error);
        QCOMPARE(fx.dialogs.shown[1].text,
                 "Složku " + dir.path() +
                     "/ nelze otevřít, protože je otevřeno příliš mnoho souborů.\n"
                     "Hledání skončilo, tato složka ani složky za ní prohledány nebyly.");
        QCOMPARE(form.playlist()->count(), 0u);
        QVERIFY(form.Button8->isEnabled());
    }
    void nonUtf8FolderSearched_data() {
        tb::test::nonUtf8FolderRows();
    }

    void nonUtf8FolderSearched() {
        QFETCH(QByteArray, folder);
        const tb::test::LookAlikeFolders folders;
        const QByteArray path = folders.make(folder);
        const QString lib = QFile::decodeName(folders.path());
        MainWindowFixture fx;
        TForm1& form = showOnDrive(fx, lib);
        fx.dialogs.answers = {tb::Dialogs::Answer::Yes};
        form.Button8Click();
        QTRY_VERIFY(!form.driveSearchRunning());
        const QByteArray lookAlike = folders.lookAlikeOf(folder);
        const QList<QByteArray> entries = fx.entryBytes();
        QCOMPARE(QSet<QByteArray>(entries.cbegin(), entries.cend()),
                 (QSet<QByteArray>{lookAlike + "/decoy.mp3", path + "/inside.mp3"}));
        QCOMPARE(entries.size(), 2);
    }
};

QTEST_MAIN(TestDriveSearch)
#include "test_drivesearch.moc"
