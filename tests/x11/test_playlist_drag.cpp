// Runs under a real X server with real pointer input from xdotool: a drag of the
// playlist's selected entries goes through the window system's drag and drop, which
// no synthetic event reaches.
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"
#include "support/QtTests.h"
#include "support/Xdotool.h"

using tb::test::pointerTo;
using tb::test::xdotool;

class TestPlaylistDrag : public QObject {
    Q_OBJECT

private slots:
    // Pressed on a selected entry and dragged, the selection goes where the drop line
    // shows; pressed and let go without a drag, that entry alone is selected.
    void selectedEntriesDragToTheDropLine() {
        PlaylistModel model;
        model.appendAll({"a", "b", "c", "d", "e"});
        TPlaylistView view;
        view.setModel(&model);
        view.setGeometry(100, 100, 200, 120);
        pointerTo({5, 5});
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QSignalSpy drops(&view, &TPlaylistView::selectionDropped);
        const int rowHeight = view.ItemHeight();
        const auto rowPoint = [&](int row, int within) {
            return view.viewport()->mapToGlobal(QPoint(40, row * rowHeight + within));
        };
        view.setSelected(2, true);
        view.setSelected(4, true);

        // One gesture, run by xdotool at a hand's pace while the drag's own event loop runs
        // here; released once the line stands where the pointer ended.
        QStringList gesture;
        const auto moveTo = [&](QPoint at) {
            gesture +=
                {"mousemove", QString::number(at.x()), QString::number(at.y()), "sleep", "0.05"};
        };
        moveTo(rowPoint(4, rowHeight / 2));
        gesture += {"mousedown", "1"};
        for (int y = rowHeight * 4; y > rowHeight; y -= 4)
            moveTo(view.viewport()->mapToGlobal(QPoint(40, y)));
        moveTo(rowPoint(1, 2)); // the upper half of b: before it
        QProcess drag;
        QTimer look; // the line, looked at while the drag runs
        connect(&look, &QTimer::timeout, [&] {
            if (drag.state() == QProcess::NotRunning && view.dropRow() == 1 && look.isActive()) {
                look.stop();
                QProcess::startDetached("xdotool", {"mouseup", "1"});
            }
        });
        look.start(20);
        drag.start("xdotool", gesture);
        QTRY_COMPARE_WITH_TIMEOUT(drops.count(), 1, 10000);
        // waitForFinished() says false for a process that has already ended.
        QVERIFY(drag.state() == QProcess::NotRunning || drag.waitForFinished());
        QCOMPARE(drops.first().first().toInt(), 1);
        QCOMPARE(view.dropRow(), -1);
        QCOMPARE(view.selectedCount(), 2); // the drop leaves the selection to the move

        QVERIFY(pointerTo(rowPoint(2, rowHeight / 2)));
        QVERIFY(xdotool({"click", "1"}));
        QTRY_COMPARE(view.selectedCount(), 1);
        QVERIFY(view.isSelected(2));
        QCOMPARE(drops.count(), 1);
    }
};

QTEST_MAIN(TestPlaylistDrag)
#include "test_playlist_drag.moc"
