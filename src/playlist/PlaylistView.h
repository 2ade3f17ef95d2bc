#pragma once

#include <QAbstractScrollArea>
#include <QAccessible>
#include <functional>
#include <vector>

class PlaylistModel;
class QMimeData;

// The playlist list box: a view of uniform rows over PlaylistModel with several
// entries selectable at once (click, Ctrl toggles, Shift extends).
//
// It keeps its selection as one flag per row instead of in a QItemSelectionModel:
// Qt's selection holds two persistent indexes per selected range, which for a
// million entries with every second one selected costs about 80 MB and half a
// second, where the flags cost 125 kB.
class TPlaylistView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit TPlaylistView(QWidget* parent = nullptr);

    void setModel(PlaylistModel* model);
    PlaylistModel* model() const { return model_; }

    int ItemHeight() const { return itemHeight_; }
    void setItemHeight(int pixels);

    int count() const;
    bool isSelected(int row) const;
    void setSelected(int row, bool selected);
    void selectAll();
    void clearSelection();
    int selectedCount() const { return selectedCount_; }
    // One flag per row, true for the selected ones.
    const std::vector<bool>& selectionFlags() const { return selected_; }
    // Selects the flagged rows (one flag per row) after the entries moved; the first
    // becomes the current one and is shown.
    void setSelectionFlags(std::vector<bool> flags);
    // The row before which a drag of the selected entries would drop them (the row
    // count: at the end); -1 when none is dragged over the list.
    int dropRow() const { return dropRow_; }

    // The row with the focus rectangle, -1 when none.
    int currentRow() const { return current_; }
    void setCurrentRow(int row);

    int rowAt(int y) const;
    QRect visualRect(int row) const;
    int firstVisibleRow() const;
    void scrollTo(int row);

    // Decides whether a drag over the list may drop here; given the drag's source.
    void setDropFilter(std::function<bool(QObject* source, const QMimeData* data)> filter);
    // Runs for each drop that the filter let in, with the drag's source (null for a drag
    // from another program) and its data.
    void setDropHandler(std::function<void(QObject* source, const QMimeData* data)> handler);

signals:
    // Every key press, before the list's own navigation handles it.
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    void selectionChanged();
    // The selected entries were dragged and dropped before the entry at row (the row
    // count: at the end).
    void selectionDropped(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void rowsAppended(int first, int last);
    void modelWasReset();
    void updateScrollBar();
    int visibleRowCount() const;
    void selectRange(int from, int to, bool clearOthers);
    void moveCurrent(int row, Qt::KeyboardModifiers modifiers);
    // Accepts the drag or drop when the filter lets it in, else refuses it.
    void answerDrag(QDropEvent* event) const;
    // Whether the drag carries this list's own selected entries.
    bool isOwnDrag(const QDropEvent* event) const;
    // The row before which a drop at this height puts the dragged entries.
    int dropRowAt(int y) const;
    void setDropRow(int row);
    void dragSelection();
    // Tell a listening screen reader of the current entry and of selection changes.
    void announceCurrent();
    void announceSelection(QAccessible::Event type, int row);

    PlaylistModel* model_ = nullptr;
    std::vector<bool> selected_;
    int selectedCount_ = 0; // kept as the flags change: counting a million takes a while
    int current_ = -1;
    int anchor_ = -1;
    int itemHeight_ = 13;
    // A plain press on a selected entry may start a drag of the selection; where it
    // does not, the release selects that entry alone.
    bool pressedOnSelection_ = false;
    QPoint pressPosition_;
    int dropRow_ = -1;
    std::function<bool(QObject*, const QMimeData*)> dropFilter_;
    std::function<void(QObject*, const QMimeData*)> dropHandler_;
};
