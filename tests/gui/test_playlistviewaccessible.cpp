// What screen readers see of the playlist: a list of its entries, and the notices of the
// current entry and the selection.
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"
#include "playlist/PlaylistViewAccessible.h"
#include "support/QtTests.h"

#include <QAccessible>

namespace {

// The playlist's notices, as (type, child) pairs.
QList<QPair<QAccessible::Event, int>> g_playlistNotices;
void recordPlaylistNotices(QAccessibleEvent* event) {
    g_playlistNotices.append({event->type(), event->child()});
}

} // namespace

class TestPlaylistViewAccessible : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installPlaylistAccessibleFactory(); }
    void cleanup() { setPlaylistNoticeSink(nullptr); }

    void playlistReadsAsAListOfItsEntries() {
        PlaylistModel model;
        TPlaylistView view;
        view.setModel(&model);
        view.resize(200, 60);
        for (const char* entry : {"a.mp3", "Příliš.mp3", "c.mp3", "d.mp3", "e.mp3", "f.mp3"})
            model.append(entry);
        view.show();
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&view);
        QCOMPARE(list->role(), QAccessible::List);
        QVERIFY(list->state().multiSelectable);
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
        model.clear();
        QCOMPARE(list->childCount(), 0);
        QVERIFY(!list->child(0));
        QVERIFY(!QAccessible::accessibleInterface(secondId));
        model.append("g.mp3"); // its interface goes with the list's
        QCOMPARE(list->child(0)->text(QAccessible::Name), QStringLiteral("g.mp3"));
    }

    void playlistTellsOfCurrentEntryAndSelection() {
        PlaylistModel model;
        TPlaylistView view;
        view.setModel(&model);
        for (const char* entry : {"a.mp3", "b.mp3", "c.mp3"})
            model.append(entry);
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
        view.selectAll();
        QTest::keyClick(&view, Qt::Key_Home); // one entry selected, the others not, and current
        QCOMPARE(g_playlistNotices, (QList<QPair<QAccessible::Event, int>>{{Focus, 1},
                                                                           {SelectionAdd, 2},
                                                                           {SelectionRemove, 2},
                                                                           {SelectionWithin, -1},
                                                                           {Selection, 0},
                                                                           {Focus, 0}}));

        // Without the focus the current entry is not announced.
        view.clearFocus();
        g_playlistNotices.clear();
        view.setCurrentRow(2);
        QVERIFY(g_playlistNotices.isEmpty());
    }
};

QTEST_MAIN(TestPlaylistViewAccessible)
#include "test_playlistviewaccessible.moc"
