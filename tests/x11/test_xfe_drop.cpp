// A real file manager's drag onto the playlist, under a real X server with real pointer
// input from xdotool: xfe offers a plain drag only as a move.
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"
#include "support/MainWindowFixture.h"
#include "support/QtTests.h"
#include "support/WidgetPixels.h"
#include "support/Xdotool.h"

#include <QProcess>
#include <QRadioButton>
#include <QScreen>
#include <QStandardPaths>

using tb::test::pointerTo;
using tb::test::xdotool;
using tb::test::xdotoolOutput;

namespace {

// The id of xfe's main window, which its title names; empty until it is mapped.
QString xfeWindow() {
    return xdotoolOutput({"search", "--onlyvisible", "--name", "^Xfe "}).section('\n', 0, 0);
}

// Whether xfe's list shows names in the rows around this point of the screen: more
// than the list's one background colour.
bool namesDrawnAt(QPoint at) {
    const QImage strip = QGuiApplication::primaryScreen()
                             ->grabWindow(0, at.x() - 40, at.y() - 10, 100, 20)
                             .toImage();
    return tb::test::coloursIn(strip, strip.rect()).size() > 2;
}

// The last place where the widget was offered a drag.
struct DragMoves : QObject {
    explicit DragMoves(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::DragMove)
            last = static_cast<QDragMoveEvent*>(event)->position().toPoint();
        return false;
    }
    QPoint last;
};

} // namespace

class TestXfeDrop : public QObject {
    Q_OBJECT

private slots:
    void plainDragFromXfeAddsTheFile() {
        const QString xfe = QStandardPaths::findExecutable("xfe");
        if (xfe.isEmpty())
            QSKIP("xfe is not installed");
        QTemporaryDir scratch;
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
        QVERIFY(xdotool({"windowsize", window, "300", "600", "windowmove", window, "0", "0"}));

        tb::test::MainWindowFixture fx;
        fx.create().move(300, 0);
        TForm1& form = fx.show();
        form.RadioButton1->setChecked(true);                      // full paths
        QTRY_VERIFY_WITH_TIMEOUT(namesDrawnAt({60, 300}), 15000); // xfe lists the folder

        // Pressed on a row in the middle of xfe's list, moved over in steps past the drag
        // threshold, released on the playlist once it has been offered the drag there.
        QVERIFY(pointerTo({60, 300}));
        QVERIFY(xdotool({"mousedown", "1"}));
        const QPoint target = form.ListBox1->mapToGlobal(form.ListBox1->rect().center());
        DragMoves moves(form.ListBox1->viewport());
        for (int step = 1; step <= 12; ++step)
            QVERIFY(pointerTo(QPoint(60, 300) + (target - QPoint(60, 300)) * step / 12));
        // xfe takes only the latest of the moves it has been sent and offers the drag on the
        // move after it: the pointer stirs by a pixel until the playlist is offered it.
        int stir = 0;
        QTRY_VERIFY_WITH_TIMEOUT(pointerTo(target + QPoint(++stir % 2, 0)) && !moves.last.isNull(),
                                 10000);
        QVERIFY(xdotool({"mouseup", "1"}));

        QTRY_COMPARE_WITH_TIMEOUT(form.playlist()->count(), std::size_t{1}, 10000);
        const QString entry = fx.entries().constFirst();
        QCOMPARE(entry.section('/', 0, -2), music);
        QVERIFY(names.contains(entry.section('/', -1)));
        // xfe takes its events in order: once a key after the drop has taken it one folder
        // up, it has done whatever it does once the drop is answered.
        QVERIFY(xdotool({"windowfocus", window}));
        QVERIFY(xdotool({"key", "BackSpace"}));
        QTRY_VERIFY_WITH_TIMEOUT(
            xdotoolOutput({"getwindowname", window}).endsWith(" - " + scratch.path()), 10000);
        for (const QString& name : std::as_const(names))
            QVERIFY2(QFile::exists(music + '/' + name), qPrintable(name));
        QCOMPARE(fx.dialogs.unexpected, 0);
    }
};

QTEST_MAIN(TestXfeDrop)
#include "test_xfe_drop.moc"
