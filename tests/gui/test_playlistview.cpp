#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"
#include "support/QtTests.h"

#include <QMouseEvent>

using tb::test::clickRow;

class TestPlaylistView : public QObject {
    Q_OBJECT

private slots:
    void viewSelectsLikeAListBox() {
        PlaylistModel model;
        for (const char* e : {"0", "1", "2", "3", "4", "5"})
            model.append(e);
        TPlaylistView view;
        view.setModel(&model);
        view.resize(200, 13 * 10 + 4);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        using Flags = std::vector<bool>;
        clickRow(view, 0); // the anchor on the first row, which is an anchor like any other
        clickRow(view, 3, Qt::ShiftModifier);
        clickRow(view, 5, Qt::ControlModifier);
        QCOMPARE(view.selectionFlags(), (Flags{1, 1, 1, 1, 0, 1}));
        clickRow(view, 1);
        clickRow(view, 4, Qt::ControlModifier); // moves the anchor
        clickRow(view, 5, Qt::ShiftModifier);
        QCOMPARE(view.selectionFlags(), (Flags{0, 0, 0, 0, 1, 1}));
        // Dragged with the button held, up to the first row and down past the last.
        const auto dragTo = [&](QPoint at) {
            QMouseEvent move(QEvent::MouseMove, at, view.viewport()->mapToGlobal(at), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(view.viewport(), &move);
        };
        clickRow(view, 3);
        dragTo(view.visualRect(0).center());
        QCOMPARE(view.selectionFlags(), (Flags{1, 1, 1, 1, 0, 0}));
        dragTo({5, view.viewport()->height() - 2});
        QCOMPARE(view.selectionFlags(), (Flags{0, 0, 0, 1, 1, 1}));
        QTest::keyClick(&view, Qt::Key_Home);
        QCOMPARE(view.selectionFlags(), (Flags{1, 0, 0, 0, 0, 0}));
        // Flags set at once, as a move leaves them, make the first selected entry current.
        view.setSelectionFlags({0, 0, 1, 1, 0, 0});
        QCOMPARE(view.currentRow(), 2);
        clickRow(view, 4, Qt::ShiftModifier);
        QCOMPARE(view.selectionFlags(), (Flags{0, 0, 1, 1, 1, 0}));
        QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);

        // Appending keeps the selection; a rebuilt list has none.
        model.append("6");
        QCOMPARE(view.selectionFlags(), (Flags{1, 1, 1, 1, 1, 1, 0}));
        model.removeFlagged({true});
        QCOMPARE(view.selectedCount(), 0);
        QCOMPARE(view.currentRow(), -1);

        // A page is the rows the view shows whole: ten here.
        for (int i = 0; i < 30; ++i)
            model.append("x");
        QTest::keyClick(&view, Qt::Key_Home);
        QTest::keyClick(&view, Qt::Key_PageDown);
        QCOMPARE(view.currentRow(), 9);
    }
};

QTEST_MAIN(TestPlaylistView)
#include "test_playlistview.moc"
