#include "platform/Launcher.h"
#include "support/QtTests.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

class TestLauncher : public QObject {
    Q_OBJECT

private slots:
    void commandLinesReachThePlayer() {
        // A player setting naming an existing file is the program as a whole, blanks and all.
        const auto split = [](const QString& line) {
            const tb::CommandLine parts = tb::splitCommandLine(
                line, [](const QString& path) { return path == "/opt/my player/play"; });
            return QStringList{parts.program} + parts.arguments;
        };
        QCOMPARE(split(R"(/opt/my player/play "/tmp/a b.m3u")"),
                 (QStringList{"/opt/my player/play", "/tmp/a b.m3u"}));
        QCOMPARE(split("/opt/my player/play"), QStringList{"/opt/my player/play"});
        QCOMPARE(split(""), QStringList{QString()});
        tb::SystemLauncher launcher;

        // Only the user's text is split: the playlist's path reaches the player whole, quotes
        // and all, after the player's own arguments.
        QTemporaryDir scratch;
        const QString player = scratch.filePath("my player"), record = scratch.filePath("argv");
        tb::test::writeFile(player, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.tmp\" && "
                                    "mv \"$0.tmp\" \"$(dirname \"$0\")/argv\"\n");
        QFile::setPermissions(player, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString playlist = scratch.filePath("a \"b\" c\\ d.m3u");
        // No player set, or a folder named as one, is no start.
        QVERIFY(!launcher.startCommand("", {playlist}) &&
                !launcher.startCommand(scratch.path(), {}));
        QVERIFY(launcher.startCommand('"' + player + "\" --title \"x y\"", {playlist}));
        QTRY_VERIFY(QFileInfo::exists(record));
        QCOMPARE(QString::fromUtf8(tb::test::contents(record)), "--title\nx y\n" + playlist + '\n');
    }

    void systemLauncherWatchesTheStartedProgram() {
        tb::SystemLauncher launcher;
        int failedFalse = 0, failedTrue = 0, failedLate = 0;
        QVERIFY(!launcher.startCommand("/no/such/player", {"/tmp/x.m3u"}, [&] { ++failedFalse; }));

        QVERIFY(launcher.startCommand("false", {}, [&] { ++failedFalse; }));
        QVERIFY(launcher.startCommand("true", {}, [&] { ++failedTrue; }));
        // A player that fails after a while: its sleep is what is watched, not a wait.
        QVERIFY(launcher.startCommand("sh -c \"sleep 0.3; exit 3\"", {}, [&] { ++failedLate; }));
        QCOMPARE(failedFalse, 0); // never from within the start: the window thread goes on
        QTRY_COMPARE(failedFalse, 1);
        QTRY_COMPARE(failedLate, 1); // by then "true" has long ended
        QCOMPARE(failedTrue, 0);
        QCOMPARE(failedFalse, 1);
    }
};

QTEST_MAIN(TestLauncher)
#include "test_launcher.moc"
