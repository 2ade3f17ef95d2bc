// A real file manager's drag onto the playlist, under a real X server with real pointer
// input from xdotool: xfe offers a plain drag only as a move.
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"
#include "support/MainWindowFixture.h"
#include "support/Xdotool.h"

#include <QProcess>
#include <QRadioButton>
#include <QStandardPaths>
#include <QtTest>

using tb::test::pointerTo;
using tb::test::xdotool;

namespace {

// The id of xfe's main window, which its title names; empty until it is mapped.
QString xfeWindow() {
    QProcess search;
    search.start("xdotool", {"search", "--onlyvisible", "--name", "^Xfe "});
    search.waitForFinished(5000);
    return QString::fromLatin1(search.readAllStandardOutput()).section('\n', 0, 0).trimmed();
}

} // namespace

class TestXfeDrop : public QObject {
    Q_OBJECT

private slots:
    void plainDragFromXfeAddsTheFile() {
        const QString xfe = QStandardPaths::findExecutable("xfe");
        if (xfe.isEmpty())
            QSKIP("xfe is not installed");
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        // Enough songs to fill xfe's list, so that the pointer meets one wherever the rows lie.
        QStringList names;
        for (int i = 10; i < 50; ++i)
            names.append(QStringLiteral("song%1.mp3").arg(i));
        const QString music = scratch.filePath("music");
        tb::test::makeFiles(music, names);
        // Its own settings, without the warning box it shows to root.
        QVERIFY(QDir(scratch.path()).mkpath("config/xfe"));
        tb::test::writeFile(scratch.filePath("config/xfe/xferc"), "[OPTIONS]\nroot_warn=0\n");

        QProcess manager;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", scratch.path());
        environment.insert("XDG_CONFIG_HOME", scratch.filePath("config"));
        manager.setProcessEnvironment(environment);
        manager.start(xfe, {"-p", "1", music});
        const auto stop = qScopeGuard([&] {
            manager.kill();
            manager.waitForFinished(5000);
        });
        QTRY_VERIFY_WITH_TIMEOUT(!xfeWindow().isEmpty(), 15000);
        const QString window = xfeWindow();
        QVERIFY(xdotool({"windowsize", window, "300", "600"}));
        QVERIFY(xdotool({"windowmove", window, "0", "0"}));

        tb::test::MainWindowFixture fx;
        fx.create().move(300, 0);
        TForm1& form = fx.show();
        form.RadioButton1->setChecked(true); // full paths
        QTest::qWait(1500);                  // xfe lists the folder and draws

        // Pressed on a row in the middle of xfe's list, moved over in steps past the drag
        // threshold, released on the playlist.
        QVERIFY(pointerTo({60, 300}));
        QVERIFY(xdotool({"mousedown", "1"}));
        const QPoint target = form.ListBox1->mapToGlobal(form.ListBox1->rect().center());
        for (int step = 1; step <= 12; ++step) {
            QTest::qWait(40);
            QVERIFY(pointerTo(QPoint(60, 300) + (target - QPoint(60, 300)) * step / 12));
        }
        QTest::qWait(200);
        QVERIFY(xdotool({"mouseup", "1"}));

        QTRY_COMPARE_WITH_TIMEOUT(form.playlist()->count(), std::size_t{1}, 10000);
        const QString entry = fx.entries().constFirst();
        QCOMPARE(entry.section('/', 0, -2), music);
        QVERIFY(names.contains(entry.section('/', -1)));
        QTest::qWait(300); // whatever xfe does once the drop is answered
        for (const QString& name : std::as_const(names))
            QVERIFY2(QFile::exists(music + '/' + name), qPrintable(name));
        QCOMPARE(fx.dialogs.unexpected, 0);
    }
};

QTEST_MAIN(TestXfeDrop)
#include "test_xfe_drop.moc"
