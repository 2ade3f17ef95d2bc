#include "controls/Digits.h"
#include "playlist/PlaylistKeeper.h"
#include "support/MainWindowFixture.h"
#include "support/QtTests.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTextStream>
#include <algorithm>
#include <numeric>

using tb::test::MainWindowFixture;

QString stateOf(const PlaylistModel& playlist) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (std::size_t row = 0; row < playlist.count(); ++row) {
        for (const std::string_view part : {playlist.entry(row), playlist.entryFile(row)})
            hash.addData(QByteArray::number(qsizetype(part.size())) + ':' +
                         QByteArray(part.data(), qsizetype(part.size())));
    }
    return QString::fromLatin1(hash.result().toHex());
}

// The playlist through the real window: kept, brought back, switched off, refused.
class TestPlaylistKeeper : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        QDir(dir_.path()).removeRecursively();
        QDir().mkpath(dir_.path());
    }

    // Closed and started again, the window shows the playlist as it was, counter too.
    void comesBackAfterARestart() {
        const QList<QByteArray> entries{"C:\\HUDBA\\píseň.mp3", QByteArray("\xE8\x0D\x00x", 4), "b",
                                        "a"};
        {
            MainWindowFixture first;
            keptIn(first);
            for (const QByteArray& entry : entries)
                first.form->playlist()->append(entry.toStdString());
            first.form->playlist()->reorder({3, 2, 1, 0}, QStringLiteral("Seřadit"));
            QTRY_VERIFY(first.form->playlistKeeper().settled());
            first.form->playlist()->undo(); // kept at the window's end, if not before
        }
        MainWindowFixture again;
        keptIn(again);
        QCOMPARE(again.entryBytes(), entries);
        QCOMPARE(again.form->Digits1->Value(), int(entries.size()));
        QVERIFY(again.form->isEnabled());
        QVERIFY(!again.form->playlist()->canUndo());
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
        const QString aside = dir_.filePath("playlist-odlozeny-1.db");
        QVERIFY(fx.dialogs.texts().first().contains(aside));
        QCOMPARE(QFile(aside).size(), 3000);
    }

    // The program killed while it works comes back with a playlist it had kept or was
    // keeping: never a mixture, never one older than the last it had kept.
    void killedWhileItWorks() {
        for (int kill = 0; kill < 5; ++kill) {
            QProcess child;
            qputenv("TB_KEEPER_CHILD", QFile::encodeName(dir_.path()));
            child.start(QCoreApplication::applicationFilePath());
            const int keptBeforeKill = 1 + kill * 2;
            QByteArray said;
            QTRY_VERIFY_WITH_TIMEOUT(
                (said += child.readAllStandardOutput()).count("kept") >= keptBeforeKill, 60000);
            child.kill();
            QVERIFY(child.waitForFinished());
            said += child.readAllStandardOutput();
            // The last state kept, and every state made after it.
            QStringList possible;
            for (const QByteArray& line : said.split('\n')) {
                if (line.startsWith("kept "))
                    possible = {QString::fromLatin1(line.mid(5))};
                else if (line.startsWith("made "))
                    possible.append(QString::fromLatin1(line.mid(5)));
            }
            MainWindowFixture fx;
            keptIn(fx);
            QVERIFY(possible.contains(stateOf(*fx.form->playlist())));
        }
    }

private:
    QString store() const { return dir_.filePath("playlist.db"); }
    // Keeps the window's playlist in this test's folder and waits for it to be read.
    void keptIn(MainWindowFixture& fx) {
        fx.create();
        fx.form->keepPlaylistIn(dir_.path());
        QTRY_VERIFY(!fx.form->playlistKeeper().restoring());
    }

    QTemporaryDir dir_;
};

// The program at work on its playlist, killed by the test: random changes, each said
// when made, and the state said again when it is kept.
int keepChanging(const QString& folder) {
    MainWindowFixture fx;
    fx.create();
    PlaylistModel& playlist = *fx.form->playlist();
    QTextStream out(stdout);
    // Said before the keeping hears of the change, so that no state is kept unsaid.
    QObject::connect(&playlist, &PlaylistModel::historyChanged,
                     [&] { out << "made " << stateOf(playlist) << Qt::endl; });
    fx.form->keepPlaylistIn(folder);
    QRandomGenerator random(QRandomGenerator::global()->generate());
    for (;;) {
        while (!fx.form->playlistKeeper().settled())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        out << "kept " << stateOf(playlist) << Qt::endl;
        for (int changes = random.bounded(1, 4); changes > 0; --changes) {
            switch (playlist.count() == 0 ? 0 : random.bounded(4)) {
            case 0:
                for (int i = random.bounded(1, 300); i > 0; --i) {
                    const std::string text = "C:\\HUDBA\\" + std::to_string(random.generate());
                    playlist.append(text, "/hudba/" + text.substr(9));
                }
                break;
            case 1: {
                std::vector<bool> remove(playlist.count());
                std::generate(remove.begin(), remove.end(), [&] { return random.bounded(4) == 0; });
                playlist.removeFlagged(remove);
                break;
            }
            case 2: {
                std::vector<std::uint32_t> rows(playlist.count());
                std::iota(rows.begin(), rows.end(), 0u);
                std::shuffle(rows.begin(), rows.end(), random);
                playlist.reorder(rows, QStringLiteral("Zamíchat"));
                break;
            }
            default:
                playlist.undo();
            }
        }
    }
}

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("TB_KEEPER_CHILD"))
        return keepChanging(qEnvironmentVariable("TB_KEEPER_CHILD"));
    TestPlaylistKeeper test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_playlistkeeper.moc"
