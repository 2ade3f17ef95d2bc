#include "controls/Digits.h"
#include "filetools/DriveBox.h"
#include "platform/DirectoryListing.h"
#include "playlist/PlaylistModel.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <algorithm>

using tb::Dialogs;
using tb::test::MainWindowFixture;

namespace {

QStringList entries(const TForm1& form) {
    QStringList out;
    for (std::size_t i = 0; i < form.playlist()->count(); ++i)
        out.append(QString::fromUtf8(form.playlist()->entry(i)));
    return out;
}

// Names of a directory in the order in which the file system lists them.
QStringList listingOrder(const QString& directory) {
    tb::SystemDirectoryLister lister;
    tb::DirectoryListing listing;
    if (!lister.list(QFile::encodeName(directory + '/').toStdString(), listing))
        qFatal("cannot list %s", qPrintable(directory));
    QStringList names;
    for (std::size_t i = 0; i < listing.size(); ++i) {
        const QString name = QString::fromUtf8(listing.name(i));
        if (name != "." && name != "..")
            names.append(name);
    }
    return names;
}

// Counts how often a widget is shown.
class ShowCounter : public QObject {
public:
    int shows = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

// A window whose drive box holds `root` as a volume, chosen.
TForm1& showOnDrive(MainWindowFixture& fx, const QString& root) {
    fx.volumes.volumes = {{"/", QString()}, {root, "TEST"}};
    TForm1& form = fx.show();
    form.Disk->setDrive(root);
    return form;
}

QString question(const QString& drive) {
    return "Tato operace může trvat velice dlouho.\nOpravdu chcete prohledat celý disk " + drive +
           ": ?";
}

} // namespace

class TestDriveSearch : public QObject {
    Q_OBJECT

private slots:
    void findsMp3FilesInListingOrder();
    void passesOverHiddenDirectoriesLinksAndOtherNames();
    void anyAnswerButYesLeavesEverythingAlone();
    void startThroughALinkFindsTheSame();
    void closingDuringSearch();
};

void TestDriveSearch::findsMp3FilesInListingOrder() {
    QTemporaryDir dir;
    const QString root = dir.path();
    tb::test::makeFiles(root, {"SONG.mp3", "ROCK/A.MP3", "ROCK/b.Mp3", "notes.txt"});
    MainWindowFixture fx;
    TForm1& form = showOnDrive(fx, root);
    form.playlist()->append("earlier.mp3");
    form.Digits1->setValue(1);

    QStringList expected;
    for (const QString& name : listingOrder(root)) {
        if (name == "SONG.mp3")
            expected << root + "/SONG.mp3";
        else if (name == "ROCK")
            for (const QString& inner : listingOrder(root + "/ROCK"))
                expected << root + "/ROCK/" + inner;
    }

    fx.dialogs.answers = {Dialogs::Answer::Yes};
    form.Button8Click();
    QCOMPARE(fx.dialogs.texts(), QStringList{question(root)});
    QCOMPARE(fx.dialogs.shown.first().kind, Dialogs::Kind::Confirmation);
    // While it runs: the sign shows and no second search can start.
    QVERIFY(form.driveSearchRunning());
    QVERIFY(form.StaticText2->isVisible());
    QVERIFY(!form.Button8->isEnabled());
    QVERIFY(!form.AllMP3->isEnabled());
    form.Button8Click();
    QCOMPARE(fx.dialogs.shown.size(), 1);

    QTRY_VERIFY(!form.driveSearchRunning());
    QCOMPARE(entries(form), QStringList{"earlier.mp3"} + expected);
    QCOMPARE(form.Digits1->Value(), 1 + 3);
    QVERIFY(!form.StaticText2->isVisible());
    QVERIFY(form.Button8->isEnabled());
    QVERIFY(form.AllMP3->isEnabled());
}

void TestDriveSearch::passesOverHiddenDirectoriesLinksAndOtherNames() {
    QTemporaryDir dir;
    const QString root = dir.path();
    tb::test::makeFiles(root, {".MP3", "MP3", "mp3", "x.MP3.BAK", ".hidden/in-hidden.mp3",
                               "a/b/deep.mP3", "a/.mp3.txt"});
    // Links are never followed, so a loop ends; a link named like a song is a name like any other.
    QVERIFY(QFile::link(root, root + "/a/loop"));
    QVERIFY(QFile::link(root + "/a/b", root + "/up"));
    QVERIFY(QFile::link(root + "/a/b/deep.mP3", root + "/a/link.mp3"));
    MainWindowFixture fx;
    TForm1& form = showOnDrive(fx, root);

    fx.dialogs.answers = {Dialogs::Answer::Yes};
    form.Button8Click();
    QTRY_VERIFY(!form.driveSearchRunning());
    QStringList found = entries(form);
    found.sort();
    QCOMPARE(found, (QStringList{root + "/.MP3", root + "/a/b/deep.mP3", root + "/a/link.mp3"}));
    QCOMPARE(form.Digits1->Value(), 3);
}

void TestDriveSearch::anyAnswerButYesLeavesEverythingAlone() {
    QTemporaryDir dir;
    tb::test::makeFiles(dir.path(), {"a.mp3"});
    MainWindowFixture fx;
    TForm1& form = showOnDrive(fx, dir.path());
    form.playlist()->append("kept.mp3");
    form.Digits1->setValue(1);
    ShowCounter signShows;
    form.StaticText2->installEventFilter(&signShows);

    fx.dialogs.answers = {Dialogs::Answer::No, Dialogs::Answer::Closed};
    form.Button8Click();
    form.AllMP3->trigger(); // the playlist menu's item asks the same
    QCOMPARE(fx.dialogs.texts(), (QStringList{question(dir.path()), question(dir.path())}));
    QVERIFY(!form.driveSearchRunning());
    QTest::qWait(20);
    QCOMPARE(entries(form), QStringList{"kept.mp3"});
    QCOMPARE(form.Digits1->Value(), 1);
    QCOMPARE(signShows.shows, 0);
}

// A start reached through a link is not where the mount table names it, so the
// listing looks at every directory itself; it must find the same.
void TestDriveSearch::startThroughALinkFindsTheSame() {
    QTemporaryDir dir;
    const QString root = dir.filePath("tree");
    tb::test::makeFiles(root, {"a.mp3", "x/b.MP3", "x/.h/c.mp3", "x/y/d.Mp3", "e.txt"});
    QVERIFY(QFile::link(root, dir.filePath("alias")));
    QVERIFY(QFile::link(root + "/x", root + "/x/y/loop"));

    struct Collect : tb::WalkSink {
        QString prefix;
        QStringList names;
        void found(std::string_view entry) override {
            names << QString::fromUtf8(entry.data(), qsizetype(entry.size())).mid(prefix.size());
        }
    };
    QStringList results[2];
    const QString starts[2] = {root + '/', dir.filePath("alias") + '/'};
    for (int i = 0; i < 2; ++i) {
        tb::SystemDirectoryLister lister;
        Collect sink;
        sink.prefix = starts[i];
        tb::walkForMp3(lister, QFile::encodeName(starts[i]).toStdString(), sink);
        results[i] = sink.names;
    }
    QCOMPARE(results[1], results[0]);
    results[0].sort();
    QCOMPARE(results[0], (QStringList{"a.mp3", "x/b.MP3", "x/y/d.Mp3"}));
}

void TestDriveSearch::closingDuringSearch() {
    QTemporaryDir dir;
    const QString root = dir.path();
    QStringList files;
    for (int d = 0; d < 100; ++d)
        for (int f = 0; f < 20; ++f)
            files << QStringLiteral("dir%1/track%2.mp3").arg(d).arg(f);
    tb::test::makeFiles(root, files);
    MainWindowFixture fx;
    TForm1& form = showOnDrive(fx, root);
    const auto exitQuestion = QStringLiteral("Opravdu chcete ukončit Trackbinder ?");

    // No at the exit question: the search goes on to its end.
    fx.dialogs.answers = {Dialogs::Answer::Yes, Dialogs::Answer::No};
    form.Button8Click();
    QVERIFY(!form.close());
    QCOMPARE(fx.dialogs.texts().last(), exitQuestion);
    QVERIFY(form.driveSearchRunning());
    QTRY_VERIFY(!form.driveSearchRunning());
    QCOMPARE(form.playlist()->count(), std::size_t(2000));

    // Yes: the search stops at once, and nothing it found arrives afterwards.
    fx.dialogs.answers = {Dialogs::Answer::Yes, Dialogs::Answer::Yes};
    form.Button8Click();
    QVERIFY(form.driveSearchRunning());
    QVERIFY(form.close());
    QCOMPARE(fx.dialogs.texts().last(), exitQuestion);
    QVERIFY(!form.driveSearchRunning());
    QVERIFY(!form.StaticText2->isVisible());
    QTest::qWait(50);
    QCOMPARE(form.playlist()->count(), std::size_t(2000));
    QCOMPARE(form.Digits1->Value(), 2000);

    // A window destroyed mid-search takes its worker along.
    fx.dialogs.answers = {Dialogs::Answer::Yes};
    form.show();
    form.Button8Click();
    QVERIFY(form.driveSearchRunning());
    fx.form.reset();
    QTest::qWait(20);
}

QTEST_MAIN(TestDriveSearch)
#include "test_drive_search.moc"
