#include "controls/Digits.h"
#include "playlist/PlaylistKeeper.h"
#include "support/MainWindowFixture.h"
#include "support/QtTests.h"

#include <QAction>
#include <QFile>
#include <optional>

using tb::test::MainWindowFixture;

// The playlist through the real window: kept, brought back, switched off, refused.
class TestPlaylistKeeper : public QObject {
    Q_OBJECT

private slots:
    void init() { dir_.emplace(); }

    // Closed and started again, the window shows the playlist as it was, counter too.
    void comesBackAfterARestart() {
        const QList<QByteArray> entries{"C:\\HUDBA\\píseň.mp3", QByteArray("\xE8\x0D\x00x", 4), "b",
                                        "a"};
        QTemporaryDir crashed;
        {
            MainWindowFixture first;
            keptIn(first);
            for (const QByteArray& entry : entries)
                first.form->playlist()->append(entry.toStdString());
            first.form->playlist()->reorder({3, 2, 1, 0}, QStringLiteral("Seřadit"));
            QTRY_VERIFY(first.form->playlistKeeper().settled());
            // Settled means on disk: a copy of the files now is what a crash would leave.
            for (const QString& suffix :
                 {QString(), QStringLiteral("-wal")}) // the log, if any, holds the changes
                QFile::copy(store() + suffix, crashed.filePath("playlist.db" + suffix));
            first.form->playlist()->undo(); // kept at the window's end, if not before
        }
        MainWindowFixture afterCrash;
        keptIn(afterCrash, crashed.path());
        QCOMPARE(afterCrash.entryBytes(), (QList<QByteArray>{entries.rbegin(), entries.rend()}));
        MainWindowFixture again;
        keptIn(again);
        QCOMPARE(again.entryBytes(), entries);
        QCOMPARE(again.form->Digits1->Value(), int(entries.size()));
        QVERIFY(again.form->isEnabled() && !again.form->playlist()->canUndo());
    }

    // A second running copy neither reads nor writes the store, and says so once.
    void aSecondCopyKeepsNothing() {
        MainWindowFixture first;
        keptIn(first);
        first.form->playlist()->append("první");
        QTRY_VERIFY(first.form->playlistKeeper().settled());
        MainWindowFixture second;
        keptIn(second);
        second.show();
        second.form->playlist()->append("druhá");
        QCOMPARE(second.dialogs.shown.size(), 1);
        QVERIFY(second.dialogs.texts().first().contains("neuchová"));
        QCOMPARE(second.entryBytes(), QList<QByteArray>{"druhá"});
        first.form.reset();
        second.form.reset();
        MainWindowFixture third;
        keptIn(third);
        QCOMPARE(third.entryBytes(), QList<QByteArray>{"první"});
    }

    // Off deletes the store and keeps nothing; on again writes the playlist as it stands.
    void theSwitchDecides() {
        MainWindowFixture fx;
        keptIn(fx);
        fx.form->playlist()->append("a");
        QTRY_VERIFY(fx.form->playlistKeeper().settled());
        QVERIFY(QFile::exists(store()));
        fx.form->Pamatuj1->trigger();
        QTRY_VERIFY(!QFile::exists(store()));
        fx.form->playlist()->append("b");
        fx.form->FormClose();
        QCOMPARE(fx.settingsStore.read("PamatujPlaylist"), QStringLiteral("NE"));
        fx.form->Pamatuj1->trigger();
        QTRY_VERIFY(fx.form->playlistKeeper().settled());
        fx.form.reset();
        MainWindowFixture again;
        keptIn(again);
        QCOMPARE(again.entryBytes(), (QList<QByteArray>{"a", "b"}));
    }

    // A store that cannot be read is set aside under a name the user is told, once.
    void aDamagedStoreIsSetAside() {
        tb::test::writeFile(store(), QByteArray(3000, '\x17'));
        MainWindowFixture fx;
        keptIn(fx);
        QCOMPARE(fx.form->playlist()->count(), 0u);
        fx.show();
        QCOMPARE(fx.dialogs.shown.size(), 1);
        const QString aside = dir_->filePath("playlist-odlozeny-1.db");
        QVERIFY(fx.dialogs.texts().first().contains(aside));
        QCOMPARE(QFile(aside).size(), 3000);
    }

    // A store that cannot be written, even at first, is told of and written once it can be.
    void aFailedWriteIsTold() {
        MainWindowFixture fx;
        keptIn(fx);
        fx.show();
        tb::test::withFileSizeLimit(0, [&] {
            fx.form->playlist()->append("a");
            QTRY_COMPARE(fx.dialogs.shown.size(), 1);
        });
        QVERIFY(fx.dialogs.texts().value(0).startsWith("Playlist nelze uchovat"));
        QTRY_VERIFY_WITH_TIMEOUT(fx.form->playlistKeeper().settled(), 20'000); // the retry
    }

private:
    QString store() const { return dir_->filePath("playlist.db"); }
    // Keeps the window's playlist in this test's folder and waits for it to be read.
    void keptIn(MainWindowFixture& fx, const QString& folder = {}) {
        fx.create();
        fx.form->keepPlaylistIn(folder.isEmpty() ? dir_->path() : folder);
        QTRY_VERIFY(!fx.form->playlistKeeper().restoring());
    }

    std::optional<QTemporaryDir> dir_;
};

QTEST_MAIN(TestPlaylistKeeper)
#include "test_playlistkeeper.moc"
