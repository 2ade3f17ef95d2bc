#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"
#include "playlist/PlaylistViewAccessible.h"
#include "support/QtTests.h"
#include "support/WidgetPixels.h"

#include <QAccessible>
#include <QScrollBar>

using tb::test::clickRow;
using tb::test::mouse;

namespace {

// The playlist's notices to screen readers, as (type, child) pairs.
QList<QPair<QAccessible::Event, int>> g_playlistNotices;
void recordPlaylistNotices(QAccessibleEvent* event) {
    g_playlistNotices.append({event->type(), event->child()});
}

} // namespace

class TestPlaylistView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installPlaylistAccessibleFactory(); }
    void cleanup() { setPlaylistNoticeSink(nullptr); }

    void viewSelectsLikeAListBox() {
        PlaylistModel model;
        model.appendAll({"0", "1", "2", "3", "4", "5"});
        TPlaylistView view;
        view.setModel(&model);
        view.resize(200, 13 * 10 + 2); // ten rows whole, none in part
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
        clickRow(view, 3);
        mouse(view.viewport(), QEvent::MouseMove, view.visualRect(0).center());
        QCOMPARE(view.selectionFlags(), (Flags{1, 1, 1, 1, 0, 0}));
        mouse(view.viewport(), QEvent::MouseMove, {5, view.viewport()->height() - 2});
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
        QVERIFY(view.selectedCount() == 0 && view.currentRow() == -1);

        // A page is the rows the view shows whole: ten here.
        for (int i = 0; i < 30; ++i)
            model.append("x");
        QTest::keyClick(&view, Qt::Key_Home);
        QTest::keyClick(&view, Qt::Key_PageDown);
        QCOMPARE(view.currentRow(), 9);
        QTest::keyClick(&view, Qt::Key_Down); // one past the last shown: scrolled by one
        QCOMPARE(view.firstVisibleRow(), 1);
        view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd); // a row
        QCOMPARE(view.firstVisibleRow(), 2);
        // Dragged below the list, the selection runs to the last row shown.
        clickRow(view, 2);
        mouse(view.viewport(), QEvent::MouseMove, {5, view.viewport()->height() + 40});
        QVERIFY(view.currentRow() == 11 && view.firstVisibleRow() == 2);
        QTest::keyClick(&view, Qt::Key_PageUp); // a page back: to the row shown first
        QCOMPARE(view.currentRow(), 2);
        QTest::keyClick(&view, Qt::Key_Up);
        QTest::keyClick(&view, Qt::Key_Space, Qt::ControlModifier); // the current row's flag
        QVERIFY(view.currentRow() == 1 && view.selectedCount() == 0);
    }

    // What screen readers see: a list of the entries; notices of the current one and the selection.
    void playlistReadsAsAListOfItsEntries() {
        PlaylistModel model;
        TPlaylistView view;
        view.setModel(&model);
        view.resize(200, 60);
        model.appendAll({"a.mp3", "Příliš.mp3", "c.mp3", "d.mp3", "e.mp3", "f.mp3"});
        view.show();
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&view);
        QCOMPARE(list->role(), QAccessible::List);
        QVERIFY(list->state().multiSelectable && list->state().extSelectable);
        QCOMPARE(list->childCount(), 6);

        view.setSelected(1, true);
        view.setCurrentRow(2);
        QAccessibleInterface* second = list->child(1);
        QVERIFY(second);
        QCOMPARE(second->role(), QAccessible::ListItem);
        QCOMPARE(second->text(QAccessible::Name), QStringLiteral("Příliš.mp3"));
        QCOMPARE(second->parent(), list);
        QCOMPARE(list->indexOfChild(second), 1);
        QVERIFY(second->state().selectable && second->state().selected && !second->state().focused);
        QVERIFY(!list->child(2)->state().selected && list->child(2)->state().focused);
        QCOMPARE(list->focusChild(), list->child(2));
        QVERIFY(list->child(5)->state().offscreen); // below the four rows shown
        const QPoint onSecond = view.viewport()->mapToGlobal(QPoint(5, 14));
        QCOMPARE(list->childAt(onSecond.x(), onSecond.y()), second);
        QVERIFY(!list->child(6));

        // One interface per row asked for, the same each time, gone with its row.
        QCOMPARE(list->child(1), second);
        const QAccessible::Id secondId = QAccessible::uniqueId(second);
        model.removeFlagged({false, true, true, true, true, true}); // a reader holding on to
        QVERIFY(!second->isValid() && second->text(QAccessible::Name).isEmpty()); // a gone row
        model.clear();
        QCOMPARE(list->childCount(), 0);
        QVERIFY(!list->child(0) && !QAccessible::accessibleInterface(secondId));
        model.append("g.mp3"); // its interface goes with the list's
        QCOMPARE(list->child(0)->text(QAccessible::Name), QStringLiteral("g.mp3"));
    }

    void playlistTellsOfCurrentEntryAndSelection() {
        PlaylistModel model;
        TPlaylistView view;
        view.setModel(&model);
        model.appendAll({"a.mp3", "b.mp3", "c.mp3"});
        view.show();
        view.setFocus();
        QVERIFY(QTest::qWaitFor([&] { return view.hasFocus(); }));

        using enum QAccessible::Event;
        g_playlistNotices.clear();
        setPlaylistNoticeSink(recordPlaylistNotices);
        view.setCurrentRow(1);
        view.setSelected(2, true);
        view.setSelected(2, true); // unchanged: no notice
        view.setSelected(2, false);
        QTest::keyClick(&view, Qt::Key_Home); // one entry selected, the others not
        QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier); // from there to the last
        QCOMPARE(g_playlistNotices, (QList<QPair<QAccessible::Event, int>>{{Focus, 1},
                                                                           {SelectionAdd, 2},
                                                                           {SelectionRemove, 2},
                                                                           {Selection, 0},
                                                                           {Focus, 0},
                                                                           {SelectionWithin, -1},
                                                                           {Focus, 2}}));

        // Without the focus the current entry is not announced.
        view.clearFocus();
        g_playlistNotices.clear();
        view.setCurrentRow(2);
        QVERIFY(g_playlistNotices.isEmpty());
    }
};

QTEST_MAIN(TestPlaylistView)
#include "test_playlistview.moc"
