#include "playlist/PlaylistViewAccessible.h"

#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"

#include <QWidget>

TPlaylistViewAccessible::TPlaylistViewAccessible(TPlaylistView* view)
    : QAccessibleWidget(view, QAccessible::List) {}

TPlaylistViewAccessible::~TPlaylistViewAccessible() {
    forgetRowsFrom(0);
}

const TPlaylistView* TPlaylistViewAccessible::view() const {
    return static_cast<const TPlaylistView*>(object());
}

void TPlaylistViewAccessible::forgetRowsFrom(int firstGone) const {
    for (auto it = childToId_.lower_bound(firstGone); it != childToId_.end();) {
        QAccessible::deleteAccessibleInterface(it->second);
        it = childToId_.erase(it);
    }
}

QAccessible::State TPlaylistViewAccessible::state() const {
    QAccessible::State st = QAccessibleWidget::state();
    // Click, Ctrl and Shift pick several entries, as in the file list.
    st.multiSelectable = true;
    st.extSelectable = true;
    return st;
}

int TPlaylistViewAccessible::childCount() const {
    return view()->count();
}

QAccessibleInterface* TPlaylistViewAccessible::child(int index) const {
    const int rows = view()->count();
    // The list shrank (cleared, or entries removed) since these rows were asked for.
    if (!childToId_.empty() && childToId_.rbegin()->first >= rows)
        forgetRowsFrom(rows);
    if (index < 0 || index >= rows)
        return nullptr;
    if (const auto found = childToId_.find(index); found != childToId_.end())
        return QAccessible::accessibleInterface(found->second);
    auto* entry = new TPlaylistEntryAccessible(const_cast<TPlaylistView*>(view()), index);
    childToId_.emplace(index, QAccessible::registerAccessibleInterface(entry));
    return entry;
}

int TPlaylistViewAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* entry = dynamic_cast<const TPlaylistEntryAccessible*>(child);
    if (!entry || entry->view() != view() || !entry->isValid())
        return -1;
    return entry->row();
}

QAccessibleInterface* TPlaylistViewAccessible::childAt(int x, int y) const {
    const QPoint local = view()->viewport()->mapFromGlobal(QPoint(x, y));
    if (!view()->viewport()->rect().contains(local))
        return nullptr;
    return child(view()->rowAt(local.y()));
}

QAccessibleInterface* TPlaylistViewAccessible::focusChild() const {
    return child(view()->currentRow());
}

TPlaylistEntryAccessible::TPlaylistEntryAccessible(TPlaylistView* view, int row)
    : view_(view), row_(row) {}

const TPlaylistView* TPlaylistEntryAccessible::view() const {
    return view_.data();
}

bool TPlaylistEntryAccessible::isValid() const {
    return view_ && row_ < view_->count();
}

QWindow* TPlaylistEntryAccessible::window() const {
    return view_ ? view_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* TPlaylistEntryAccessible::parent() const {
    return QAccessible::queryAccessibleInterface(view_.data());
}

QString TPlaylistEntryAccessible::text(QAccessible::Text t) const {
    if (t != QAccessible::Name || !isValid())
        return {};
    const PlaylistModel* model = view_->model();
    return model->displayText(model->entry(static_cast<std::size_t>(row_)));
}

QRect TPlaylistEntryAccessible::rect() const {
    if (!isValid())
        return {};
    const QRect local = view_->visualRect(row_);
    return QRect(view_->viewport()->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::State TPlaylistEntryAccessible::state() const {
    QAccessible::State st;
    if (!isValid()) {
        st.invalid = true;
        return st;
    }
    st.selectable = true;
    st.focusable = true;
    st.selected = view_->isSelected(row_);
    st.focused = row_ == view_->currentRow();
    if (!view_->viewport()->rect().intersects(view_->visualRect(row_)))
        st.offscreen = true;
    return st;
}

namespace {

QAccessible::UpdateHandler g_noticeSink = nullptr;

// Matched by type, so that a subclass of the view is read the same way.
QAccessibleInterface* playlistInterface(const QString&, QObject* object) {
    if (auto* view = qobject_cast<TPlaylistView*>(object))
        return new TPlaylistViewAccessible(view);
    return nullptr;
}

} // namespace

void installPlaylistAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(playlistInterface);
        return true;
    }();
    (void)installed;
}

bool playlistReaderListens() {
    return g_noticeSink || QAccessible::isActive();
}

void sendPlaylistNotice(QAccessibleEvent* event) {
    if (g_noticeSink)
        g_noticeSink(event);
    else
        QAccessible::updateAccessibility(event);
}

void setPlaylistNoticeSink(QAccessible::UpdateHandler sink) {
    g_noticeSink = sink;
}
