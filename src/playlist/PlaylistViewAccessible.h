#pragma once

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <map>

class TPlaylistView;

// What a screen reader sees of the playlist: a list whose children are its entries, each a
// list item named by its shown text, selectable, selected as in the view, and focused when
// it is the current row.
//
// An entry's interface is made only when a reader asks for that row, and kept (Qt's cache
// owns it by its id, which a reader keeps using) until the row is gone or the list is
// destroyed; rows nobody asked for cost nothing.
class TPlaylistViewAccessible : public QAccessibleWidget {
public:
    explicit TPlaylistViewAccessible(TPlaylistView* view);
    ~TPlaylistViewAccessible() override;

    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

private:
    const TPlaylistView* view() const;
    // Lets go of the interfaces of rows that no longer exist.
    void forgetRowsFrom(int firstGone) const;

    mutable std::map<int, QAccessible::Id> childToId_;
};

// One entry of the playlist, by its row. Reads the view each time, so it stays right while
// the row stays.
class TPlaylistEntryAccessible : public QAccessibleInterface {
public:
    TPlaylistEntryAccessible(TPlaylistView* view, int row);

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {} // read, never edited
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;

    const TPlaylistView* view() const;
    int row() const { return row_; }

private:
    QPointer<TPlaylistView> view_;
    int row_;
};

// Registers, once, the factory that gives the playlist its interface. Called at start, with
// the controls' factory.
void installPlaylistAccessibleFactory();

// Whether the playlist's notices would reach anyone: a listening screen reader, or a test's
// receiver. The view builds none while nobody listens.
bool playlistReaderListens();
// Passes a notice on to Qt's accessibility, or to the receiver a test put in.
void sendPlaylistNotice(QAccessibleEvent* event);
// A test's receiver of the playlist's notices; null gives them back to Qt.
void setPlaylistNoticeSink(QAccessible::UpdateHandler sink);
