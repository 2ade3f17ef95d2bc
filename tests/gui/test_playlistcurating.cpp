#include "controls/Digits.h"
#include "filetools/FileListBox.h"
#include "playlist/PlaylistCurating.h"
#include "playlist/PlaylistView.h"
#include "support/MainWindowFixture.h"
#include "support/QtTests.h"
#include "support/TagFiles.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>

using tb::Dialogs;
using tb::test::MainWindowFixture;

namespace {

// Everything the playlist holds of each entry: its bytes, its file and what came with it.
QList<QByteArray> state(const PlaylistModel& playlist) {
    QList<QByteArray> rows;
    for (std::size_t row = 0; row < playlist.count(); ++row) {
        const tb::PlaylistItem item = playlist.item(row);
        rows.append(QByteArray::fromStdString(item.text + '|' + item.file + '|' + item.title + '|' +
                                              item.artist + '|' +
                                              std::to_string(item.milliseconds)));
    }
    return rows;
}

void fill(TForm1& form, const QStringList& texts) {
    for (const QString& text : texts)
        form.playlist()->append(text.toStdString(), ("/music/" + text).toStdString());
}

} // namespace

class TestPlaylistCurating : public QObject {
    Q_OBJECT

private slots:
    // Alt+arrows move the selected entries a place, Alt+Home/End to the ends; Ctrl+Z takes
    // each move back, Ctrl+Shift+Z and Ctrl+Y make it again.
    void movesWithTheirKeysAndUndoes() {
        MainWindowFixture fx;
        TForm1& form = fx.show();
        fill(form, {"a", "b", "c", "d", "e"});
        const QList<QByteArray> filled = state(*form.playlist());
        form.ListBox1->setFocus();
        form.ListBox1->selectAll();
        QVERIFY(!form.Nahoru1->isEnabled()); // all selected: nothing changes places
        form.ListBox1->setSelectionFlags({0, 0, 1, 0, 0});
        QVERIFY(form.Nahoru1->isEnabled()); // one entry moves as well as many
        form.ListBox1->setSelectionFlags({0, 1, 0, 1});

        QTest::keyClick(form.ListBox1, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(fx.entries(), QStringList({"b", "a", "d", "c", "e"}));
        QTest::keyClick(form.ListBox1, Qt::Key_End, Qt::AltModifier);
        QCOMPARE(fx.entries(), QStringList({"a", "c", "e", "b", "d"}));
        QTest::keyClick(form.ListBox1, Qt::Key_Down, Qt::AltModifier); // nothing below: no step
        QTest::keyClick(form.ListBox1, Qt::Key_Home, Qt::AltModifier);
        QCOMPARE(fx.entries(), QStringList({"b", "d", "a", "c", "e"}));
        QTest::keyClick(form.ListBox1, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(fx.entries(), QStringList({"a", "b", "d", "c", "e"}));
        emit form.ListBox1->selectionDropped(5); // dragged below the last entry
        QCOMPARE(fx.entries(), QStringList({"a", "c", "e", "b", "d"}));
        QCOMPARE(form.ListBox1->selectionFlags(), (std::vector<bool>{0, 0, 0, 1, 1}));
        form.FileListBox1->setFocus(); // Alt+arrows there are the file list's own
        QTest::keyClick(form.FileListBox1, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(fx.entries(), QStringList({"a", "c", "e", "b", "d"}));

        form.POP2->popup({0, 0}); // the menu names what undo takes back
        QCOMPARE(form.Zpet1->text(), QStringLiteral("Zpět: Přesunout"));
        form.POP2->hide();
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(state(*form.playlist()), filled);
        QCOMPARE(form.Zpet1->text(), QStringLiteral("Zpět: Přidat"));
        QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(fx.entries(), QStringList({"b", "a", "d", "c", "e"}));
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(&form, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(fx.entries(), QStringList({"a", "c", "e", "b", "d"}));
        QVERIFY(!form.Znovu1->isEnabled());
    }

    // Czech order, numbers by value, texts equal under the collation in their order: the
    // collation's own rows are its test's.
    void sortsInCzechOrder() {
        MainWindowFixture fx;
        TForm1& form = fx.show();
        fill(form, {"Track 10", "chata", "Track 2", "hora", "čaj", "Track 02", "cibule", "Ábel"});
        form.SeraditPodle.at(0)->trigger();
        QCOMPARE(fx.entries(), QStringList({"Ábel", "cibule", "čaj", "hora", "chata", "Track 2",
                                            "Track 02", "Track 10"}));
    }

    // With more than one entry selected only they are sorted, in their places; the other
    // keys are the file's name, its folder then name, and its artist then title.
    void sortsBySelectionFileFolderAndTags() {
        MainWindowFixture fx;
        TForm1& form = fx.show();
        PlaylistModel& playlist = *form.playlist();
        playlist.append("3", "/b/Track 10.mp3");
        playlist.append("1", "/a/Track 2.mp3");
        playlist.append("2", "/c/Track 1.mp3");
        playlist.append("/b/Ábel.mp3"); // no file known: the text is the path
        form.SeraditPodle.at(1)->trigger();
        QCOMPARE(fx.entries(), QStringList({"/b/Ábel.mp3", "2", "1", "3"}));
        form.SeraditPodle.at(2)->trigger();
        QCOMPARE(fx.entries(), QStringList({"1", "/b/Ábel.mp3", "3", "2"}));

        form.playlistCurating().setTagReader([](const std::string& path, QString& artist,
                                                QString& title) {
            if (path == "/c/Track 1.mp3")
                return false; // unreadable: sorted by its name as the title
            artist = path == "/a/Track 2.mp3" ? QStringLiteral("Čechomor") : QStringLiteral("Cob");
            title = QString::fromStdString(path);
            return true;
        });
        form.SeraditPodle.at(3)->trigger();
        QCOMPARE(fx.entries(), QStringList({"/b/Ábel.mp3", "2", "3", "1"}));

        form.ListBox1->setSelectionFlags({0, 1, 0, 1});
        form.SeraditPodle.at(0)->trigger();
        QCOMPARE(fx.entries(), QStringList({"/b/Ábel.mp3", "1", "3", "2"}));
        QCOMPARE(form.ListBox1->selectionFlags(), (std::vector<bool>{0, 1, 0, 1}));
    }

    // Without a reader set in its place, the files' own tags give the artist and title.
    void sortsByTheFilesOwnTags() {
        QTemporaryDir dir;
        const QString a = dir.filePath("a.mp3"), b = dir.filePath("b.mp3");
        tb::test::writeFile(a, tb::test::audio + tb::test::tag("Píseň", "Zelenina"));
        tb::test::writeFile(b, tb::test::audio + tb::test::tag("Píseň", "Artyčok"));
        MainWindowFixture fx;
        TForm1& form = fx.show();
        form.playlist()->append("a", a.toStdString());
        form.playlist()->append("b", b.toStdString());
        QVERIFY(form.Obratit1->isEnabled() && form.Duplicity1->isEnabled()); // two suffice
        form.SeraditPodle.at(3)->trigger();
        QTRY_COMPARE(fx.entries(), QStringList({"b", "a"}));
    }

    void reversesShufflesAndGivesBackTheBytes() {
        MainWindowFixture fx;
        TForm1& form = fx.show();
        QStringList texts;
        for (int i = 0; i < 40; ++i)
            texts.append(QString::number(i));
        fill(form, texts);
        form.playlist()->appendItems({{"\xC8\xE1p.mp3", "", "Čáp", "Pták", "", 61'000, "/p.mp3"}});
        const QList<QByteArray> filled = state(*form.playlist());
        form.Obratit1->trigger();
        QCOMPARE(state(*form.playlist()).first(), filled.last());
        form.playlistCurating().setShuffleSeed(1);
        form.Zamichat1->trigger();
        QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(state(*form.playlist()), filled);
    }

    // Duplicates (the same file, or without one the same text) go but the first; a missing
    // file goes only when the user agrees, and an entry whose file is unknown is never missing.
    void removesDuplicatesAndMissingFiles() {
        QTemporaryDir dir;
        MainWindowFixture fx;
        TForm1& form = fx.showIn(dir.filePath("missing"), {"a.mp3", "b.mp3"});
        const std::string folder =
            QFile::encodeName(form.DirectoryListBox1->Directory()).toStdString();
        PlaylistModel& playlist = *form.playlist();
        playlist.append("a", folder + "/a.mp3");
        playlist.append("also a", folder + "/a.mp3");
        playlist.append("http://radio");
        playlist.append("gone", folder + "/gone.mp3");
        playlist.append("http://radio");
        playlist.append("b", folder + "/b.mp3");
        const QList<QByteArray> filled = state(playlist);

        form.Duplicity1->trigger();
        QCOMPARE(fx.entries(), QStringList({"a", "http://radio", "gone", "b"}));
        QCOMPARE(fx.dialogs.texts().last(), QStringLiteral("Odebrané duplicitní položky: 2"));
        QCOMPARE(form.Digits1->Value(), 4);

        fx.dialogs.answers = {Dialogs::Answer::No};
        form.Chybejici1->trigger();
        QVERIFY(fx.dialogs.texts().last().startsWith(QStringLiteral("Nenalezené soubory: 1.")));
        QCOMPARE(fx.entries().size(), 4);
        fx.dialogs.answers = {Dialogs::Answer::Yes};
        form.Chybejici1->trigger();
        QCOMPARE(fx.entries(), QStringList({"a", "http://radio", "b"}));
        form.Chybejici1->trigger();
        QCOMPARE(fx.dialogs.texts().last(),
                 QStringLiteral("Soubory všech položek jsou na svém místě."));

        QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(state(playlist), filled);
    }

    // Adding, removing, removing all and opening are each one step giving back what was there.
    void everyChangeIsOneStep() {
        QTemporaryDir dir;
        MainWindowFixture fx;
        TForm1& form = fx.showSongs(dir.filePath("steps"), {"x", "y", "z"});
        fx.selectFiles({0, 1, 2});
        form.Timer1Timer();    // enables the buttons as the window's timer does
        form.Button1->click(); // three files, one step
        QCOMPARE(form.playlist()->count(), 3u);
        const QList<QByteArray> added = state(*form.playlist());
        form.ListBox1->setSelectionFlags({0, 1});
        form.Timer1Timer();
        form.Button3->click();
        fx.dialogs.answers = {Dialogs::Answer::Yes};
        form.Button2->click();
        QCOMPARE(form.Zpet1->text(), QStringLiteral("Zpět: Odebrat vše"));
        QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(state(*form.playlist()), added);
        QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(form.playlist()->count(), 0u);
        QVERIFY(!form.Zpet1->isEnabled());
        QCOMPARE(form.Digits1->Value(), 0);
    }

    // On the worker a cancelled command leaves all as it was; one the playlist outran is redone.
    void workerCancelledOrOvertaken() {
        MainWindowFixture fx;
        TForm1& form = fx.show();
        fill(form, {"c", "a", "b"});
        form.playlistCurating().setWorkerThreshold(0);
        const QList<QByteArray> filled = state(*form.playlist());
        const QString undoBefore = form.Zpet1->text();

        form.playlistCurating().setTagReader([](const std::string&, QString&, QString&) {
            QThread::msleep(250); // a slow disk, not a wait: the box shows while tags are read
            return false;
        });
        QElapsedTimer sinceSorting;
        sinceSorting.start();
        form.SeraditPodle.at(3)->trigger();
        QVERIFY(form.playlistCurating().busy());
        QVERIFY(!form.Zpet1->isEnabled() && !form.Obratit1->isEnabled());
        QProgressDialog* progress = nullptr;
        QTRY_VERIFY(
            (progress = form.findChild<QProgressDialog*>(QStringLiteral("curatingProgress"))));
        QVERIFY(progress->isVisible());
        QCOMPARE(progress->labelText(), QStringLiteral("Čtu tagy souborů…"));
        const QPointer<QProgressBar> bar = progress->findChild<QProgressBar*>();
        QTRY_VERIFY(bar && (bar->text() == "33%" || bar->text() == "66%"));    // 1 or 2 of 3 read
        QVERIFY(sinceSorting.elapsed() >= PlaylistCurating::kProgressDelayMs); // not at once
        progress->findChild<QPushButton*>()->click();                          // "Zrušit"
        QTRY_VERIFY(!form.playlistCurating().busy());
        QCOMPARE(state(*form.playlist()), filled);
        QCOMPARE(form.Zpet1->text(), undoBefore);

        form.SeraditPodle.at(0)->trigger();
        form.playlist()->append("0"); // before the worker's result is taken in
        QTRY_VERIFY(!form.playlistCurating().busy());
        QCOMPARE(fx.entries(), QStringList({"0", "a", "b", "c"}));
        for (int step = 0; step < 100 && form.Zpet1->isEnabled(); ++step)
            form.Zpet1->trigger();
        QCOMPARE(form.playlist()->count(), 0u);
    }
};

QTEST_MAIN(TestPlaylistCurating)
#include "test_playlistcurating.moc"
