#include "playlist/PlaylistView.h"

#include "platform/DroppedFiles.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistViewAccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <algorithm>

namespace {
constexpr int kTextMargin = 2;
// What a drag of the playlist's own entries carries: the entries are the selected ones.
const QString kOwnEntriesMime = QStringLiteral("application/x-trackbinder-playlist-selection");
} // namespace

TPlaylistView::TPlaylistView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->setSingleStep(1);
}

void TPlaylistView::setModel(PlaylistModel* model) {
    if (model_)
        disconnect(model_, nullptr, this, nullptr);
    model_ = model;
    if (model_) {
        connect(model_, &QAbstractItemModel::rowsInserted, this,
                [this](const QModelIndex&, int first, int last) { rowsAppended(first, last); });
        connect(model_, &QAbstractItemModel::modelReset, this, &TPlaylistView::modelWasReset);
        connect(model_, &QAbstractItemModel::dataChanged, viewport(),
                qOverload<>(&QWidget::update));
    }
    modelWasReset();
}

void TPlaylistView::setItemHeight(int pixels) {
    pixels = std::max(1, pixels);
    if (pixels == itemHeight_)
        return;
    itemHeight_ = pixels;
    updateScrollBar();
    viewport()->update();
}

int TPlaylistView::count() const {
    return model_ ? model_->rowCount() : 0;
}

bool TPlaylistView::isSelected(int row) const {
    return row >= 0 && row < static_cast<int>(selected_.size()) && selected_[row];
}

void TPlaylistView::setSelected(int row, bool selected) {
    if (row < 0 || row >= static_cast<int>(selected_.size()) || selected_[row] == selected)
        return;
    selected_[row] = selected;
    selectedCount_ += selected ? 1 : -1;
    viewport()->update(visualRect(row));
    announceSelection(selected ? QAccessible::SelectionAdd : QAccessible::SelectionRemove, row);
    emit selectionChanged();
}

void TPlaylistView::selectAll() {
    std::fill(selected_.begin(), selected_.end(), true);
    selectedCount_ = count();
    viewport()->update();
    announceSelection(QAccessible::SelectionWithin, -1);
    emit selectionChanged();
}

void TPlaylistView::clearSelection() {
    std::fill(selected_.begin(), selected_.end(), false);
    selectedCount_ = 0;
    viewport()->update();
    announceSelection(QAccessible::SelectionWithin, -1);
    emit selectionChanged();
}

void TPlaylistView::setSelectionFlags(std::vector<bool> flags) {
    flags.resize(static_cast<std::size_t>(count()));
    selected_ = std::move(flags);
    selectedCount_ = static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
    const auto first = std::find(selected_.begin(), selected_.end(), true);
    if (first != selected_.end()) {
        const auto row = static_cast<int>(first - selected_.begin());
        anchor_ = row;
        setCurrentRow(row);
        scrollTo(row);
    }
    viewport()->update();
    announceSelection(QAccessible::SelectionWithin, -1);
    emit selectionChanged();
}

void TPlaylistView::setCurrentRow(int row) {
    if (row < -1 || row >= count())
        row = -1;
    if (row == current_)
        return;
    const int old = current_;
    current_ = row;
    viewport()->update(visualRect(old));
    viewport()->update(visualRect(current_));
    announceCurrent();
}

// A reader follows the current entry while the list has the focus, as in Qt's item views.
void TPlaylistView::announceCurrent() {
    if (current_ < 0 || !hasFocus() || !playlistReaderListens())
        return;
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(current_);
    sendPlaylistNotice(&event);
}

// One row's change names that row; a change of many rows is one notice for the whole list,
// so that selecting a million entries does not send a million notices.
void TPlaylistView::announceSelection(QAccessible::Event type, int row) {
    if (!playlistReaderListens())
        return;
    QAccessibleEvent event(this, type);
    if (row >= 0)
        event.setChild(row);
    sendPlaylistNotice(&event);
}

int TPlaylistView::firstVisibleRow() const {
    return verticalScrollBar()->value();
}

int TPlaylistView::visibleRowCount() const {
    return std::max(1, viewport()->height() / itemHeight_);
}

int TPlaylistView::rowAt(int y) const {
    if (y < 0)
        return -1;
    const int row = firstVisibleRow() + y / itemHeight_;
    return row < count() ? row : -1;
}

QRect TPlaylistView::visualRect(int row) const {
    if (row < 0 || row >= count())
        return {};
    return QRect(0, (row - firstVisibleRow()) * itemHeight_, viewport()->width(), itemHeight_);
}

void TPlaylistView::scrollTo(int row) {
    if (row < 0 || row >= count())
        return;
    QScrollBar* bar = verticalScrollBar();
    if (row < bar->value())
        bar->setValue(row);
    else if (row >= bar->value() + visibleRowCount())
        bar->setValue(row - visibleRowCount() + 1);
}

void TPlaylistView::setDropFilter(std::function<bool(QObject*, const QMimeData*)> filter) {
    dropFilter_ = std::move(filter);
}

void TPlaylistView::setDropHandler(std::function<void(QObject*, const QMimeData*)> handler) {
    dropHandler_ = std::move(handler);
}

void TPlaylistView::rowsAppended(int first, int last) {
    selected_.insert(selected_.begin() + first, static_cast<std::size_t>(last - first + 1), false);
    if (current_ >= first)
        current_ += last - first + 1;
    if (anchor_ >= first)
        anchor_ += last - first + 1;
    updateScrollBar();
    viewport()->update();
}

void TPlaylistView::modelWasReset() {
    // A rebuilt list has nothing selected, like a freshly filled list box.
    selected_.assign(static_cast<std::size_t>(count()), false);
    selectedCount_ = 0;
    current_ = -1;
    anchor_ = -1;
    updateScrollBar();
    viewport()->update();
    emit selectionChanged();
}

void TPlaylistView::updateScrollBar() {
    QScrollBar* bar = verticalScrollBar();
    const int page = visibleRowCount();
    bar->setPageStep(page);
    bar->setRange(0, std::max(0, count() - page));
}

void TPlaylistView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBar();
}

void TPlaylistView::scrollContentsBy(int, int) {
    viewport()->update();
}

void TPlaylistView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QPalette& pal = palette();
    const int first = std::max(0, firstVisibleRow() + event->rect().top() / itemHeight_);
    const int last =
        std::min(count() - 1, firstVisibleRow() + event->rect().bottom() / itemHeight_);
    for (int row = first; row <= last; ++row) {
        const QRect rect = visualRect(row);
        const bool selected = selected_[row];
        if (selected)
            painter.fillRect(rect, pal.brush(QPalette::Highlight));
        painter.setPen(pal.color(selected ? QPalette::HighlightedText : QPalette::Text));
        const QString text = model_->displayText(model_->entry(static_cast<std::size_t>(row)));
        painter.drawText(rect.adjusted(kTextMargin, 0, 0, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        if (row == current_ && hasFocus()) {
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.rect = rect;
            option.backgroundColor = pal.color(selected ? QPalette::Highlight : QPalette::Base);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        }
    }
    if (dropRow_ >= 0) {
        const int y = (dropRow_ - firstVisibleRow()) * itemHeight_;
        painter.fillRect(QRect(0, std::max(0, y - 1), viewport()->width(), 2),
                         pal.brush(QPalette::Text));
    }
}

void TPlaylistView::selectRange(int from, int to, bool clearOthers) {
    if (clearOthers) {
        std::fill(selected_.begin(), selected_.end(), false);
        selectedCount_ = 0;
    }
    if (from > to)
        std::swap(from, to);
    from = std::max(from, 0);
    to = std::min(to, count() - 1);
    for (int row = from; row <= to; ++row) {
        selectedCount_ += selected_[row] ? 0 : 1;
        selected_[row] = true;
    }
    viewport()->update();
    if (from == to && clearOthers)
        announceSelection(QAccessible::Selection, from);
    else
        announceSelection(QAccessible::SelectionWithin, -1);
    emit selectionChanged();
}

void TPlaylistView::mousePressEvent(QMouseEvent* event) {
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    const int row = rowAt(event->position().toPoint().y());
    if (event->button() != Qt::LeftButton || row < 0) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods & Qt::ShiftModifier) {
        selectRange(anchor_ >= 0 ? anchor_ : row, row, !(mods & Qt::ControlModifier));
    } else if (mods & Qt::ControlModifier) {
        anchor_ = row;
        setSelected(row, !isSelected(row));
    } else if (isSelected(row)) {
        pressedOnSelection_ = true;
        pressPosition_ = event->position().toPoint();
    } else {
        anchor_ = row;
        selectRange(row, row, true);
    }
    setCurrentRow(row);
}

void TPlaylistView::mouseReleaseEvent(QMouseEvent* event) {
    if (pressedOnSelection_ && event->button() == Qt::LeftButton) {
        pressedOnSelection_ = false;
        const int row = rowAt(event->position().toPoint().y());
        if (row >= 0) {
            anchor_ = row;
            selectRange(row, row, true);
        }
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void TPlaylistView::dragSelection() {
    auto* data = new QMimeData;
    data->setData(kOwnEntriesMime, QByteArray());
    QDrag drag(this);
    drag.setMimeData(data);
    drag.exec(Qt::MoveAction);
    setDropRow(-1);
}

void TPlaylistView::mouseMoveEvent(QMouseEvent* event) {
    if (pressedOnSelection_) {
        if ((event->buttons() & Qt::LeftButton) &&
            (event->position().toPoint() - pressPosition_).manhattanLength() >=
                QApplication::startDragDistance()) {
            pressedOnSelection_ = false;
            dragSelection();
        }
        return;
    }
    // Dragging with the button held extends the selection from the anchor.
    if (!(event->buttons() & Qt::LeftButton) || anchor_ < 0 ||
        (event->modifiers() & Qt::ControlModifier))
        return;
    const int y = std::clamp(event->position().toPoint().y(), 0, viewport()->height() - 1);
    int row = rowAt(y);
    if (row < 0)
        row = count() - 1;
    if (row == current_)
        return;
    selectRange(anchor_, row, true);
    setCurrentRow(row);
    scrollTo(row);
}

void TPlaylistView::moveCurrent(int row, Qt::KeyboardModifiers modifiers) {
    if (count() == 0)
        return;
    row = std::clamp(row, 0, count() - 1);
    if (modifiers & Qt::ShiftModifier) {
        selectRange(anchor_ >= 0 ? anchor_ : row, row, !(modifiers & Qt::ControlModifier));
    } else if (!(modifiers & Qt::ControlModifier)) {
        anchor_ = row;
        selectRange(row, row, true);
    }
    setCurrentRow(row);
    scrollTo(row);
}

void TPlaylistView::keyPressEvent(QKeyEvent* event) {
    emit keyDown(event->key(), event->modifiers());
    const Qt::KeyboardModifiers mods = event->modifiers();
    const int page = visibleRowCount();
    switch (event->key()) {
    case Qt::Key_Up:
        moveCurrent(current_ < 0 ? 0 : current_ - 1, mods);
        break;
    case Qt::Key_Down:
        moveCurrent(current_ + 1, mods);
        break;
    case Qt::Key_PageUp:
        moveCurrent(current_ - page + 1, mods);
        break;
    case Qt::Key_PageDown:
        moveCurrent(current_ < 0 ? page - 1 : current_ + page - 1, mods);
        break;
    case Qt::Key_Home:
        moveCurrent(0, mods);
        break;
    case Qt::Key_End:
        moveCurrent(count() - 1, mods);
        break;
    case Qt::Key_Space:
        if ((mods & Qt::ControlModifier) && current_ >= 0) {
            anchor_ = current_;
            setSelected(current_, !isSelected(current_));
        }
        break;
    case Qt::Key_A:
        if (mods & Qt::ControlModifier) {
            selectAll();
            break;
        }
        [[fallthrough]];
    default:
        event->ignore();
        return;
    }
    event->accept();
}

bool TPlaylistView::isOwnDrag(const QDropEvent* event) const {
    return (event->source() == this || event->source() == viewport()) &&
           event->mimeData()->hasFormat(kOwnEntriesMime);
}

int TPlaylistView::dropRowAt(int y) const {
    const int row = rowAt(y);
    if (row < 0)
        return count();
    // The lower half of an entry drops after it.
    return y % itemHeight_ >= itemHeight_ / 2 ? row + 1 : row;
}

void TPlaylistView::setDropRow(int row) {
    if (row == dropRow_)
        return;
    dropRow_ = row;
    viewport()->update();
}

void TPlaylistView::answerDrag(QDropEvent* event) const {
    if (isOwnDrag(event)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
        return;
    }
    if (!dropFilter_ || !dropFilter_(event->source(), event->mimeData())) {
        event->ignore();
        return;
    }
    tb::acceptWithoutMove(event);
}

void TPlaylistView::dragEnterEvent(QDragEnterEvent* event) {
    answerDrag(event);
}

void TPlaylistView::dragMoveEvent(QDragMoveEvent* event) {
    answerDrag(event);
    if (isOwnDrag(event))
        setDropRow(dropRowAt(event->position().toPoint().y()));
}

void TPlaylistView::dragLeaveEvent(QDragLeaveEvent* event) {
    setDropRow(-1);
    QAbstractScrollArea::dragLeaveEvent(event);
}

// The file list adds its entries when its drag ends, learning where it was dropped; the
// window's drop handler takes drops from other programs.
void TPlaylistView::dropEvent(QDropEvent* event) {
    if (isOwnDrag(event)) {
        const int row = dropRowAt(event->position().toPoint().y());
        event->setDropAction(Qt::MoveAction);
        event->accept();
        setDropRow(-1);
        emit selectionDropped(row);
        return;
    }
    answerDrag(event);
    if (event->isAccepted() && dropHandler_)
        dropHandler_(event->source(), event->mimeData());
}

void TPlaylistView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update(visualRect(current_));
    announceCurrent();
}

void TPlaylistView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update(visualRect(current_));
}
