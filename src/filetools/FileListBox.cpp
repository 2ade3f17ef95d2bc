#include "filetools/FileListBox.h"

#include "filetools/FileMask.h"

#include <QDir>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QStringListModel>
#include <QStyledItemDelegate>
#include <QUrl>
#include <algorithm>
#include <vector>

const QString TFileListBox::DragMimeType = QStringLiteral("application/x-trackbinder-files");

namespace {
constexpr int RowHeight = 16;

class FixedHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), RowHeight};
    }
};

// Sorts by name ignoring case, folding each name once rather than in every comparison:
// this halves the time QDir's own sorting takes for a large directory.
QStringList sortedIgnoringCase(const QStringList& names) {
    std::vector<std::pair<QString, qsizetype>> keys;
    keys.reserve(names.size());
    for (qsizetype i = 0; i < names.size(); ++i)
        keys.emplace_back(names.at(i).toCaseFolded(), i);
    // Names that differ only in case keep one order from one reading to the next.
    std::sort(keys.begin(), keys.end(), [&names](const auto& a, const auto& b) {
        if (const int order = a.first.compare(b.first); order != 0)
            return order < 0;
        return names.at(a.second) < names.at(b.second);
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const auto& key : keys)
        sorted.append(names.at(key.second));
    return sorted;
}

QStringList nameFiltersOf(const QString& maskString) {
    QStringList filters;
    for (const std::string& mask : tb::parseMaskList(maskString.toStdString()))
        filters.append(QString::fromStdString(mask));
    return filters;
}
} // namespace

TFileListBox::TFileListBox(QWidget* parent)
    : QListView(parent), model_(new QStringListModel(this)) {
    setModel(model_);
    setItemDelegate(new FixedHeightDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { selectionTouched_ = true; });
}

void TFileListBox::setDirectory(const QString& directoryText) {
    directory_ = directoryText;
    Update();
}

void TFileListBox::setMask(const QString& maskString) {
    mask_ = maskString;
    Update();
}

void TFileListBox::Update() {
    QStringList names;
    if (!directory_.isEmpty()) {
        // Files only and neither hidden nor system ones: FIFOs, sockets and devices stay out.
        // Without QDir::CaseSensitive the masks match regardless of case.
        const QDir directory(directory_, QString(), QDir::Unsorted, QDir::Files);
        names = sortedIgnoringCase(directory.entryList(nameFiltersOf(mask_)));
    }
    model_->setStringList(names);
}

int TFileListBox::count() const {
    return model_->rowCount();
}

QString TFileListBox::fileName(int row) const {
    return model_->index(row).data().toString();
}

bool TFileListBox::isSelected(int row) const {
    const QModelIndex index = model_->index(row);
    return index.isValid() && selectionModel()->isSelected(index);
}

QStringList TFileListBox::selectedNames() const {
    // Row ranges rather than a test per row, so that a large list stays quick.
    QList<std::pair<int, int>> ranges;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        ranges.append({range.top(), range.bottom()});
    std::sort(ranges.begin(), ranges.end());

    const QStringList all = model_->stringList();
    QStringList names;
    int next = 0; // the first row not taken yet, should ranges overlap
    for (const auto& [top, bottom] : ranges) {
        for (int row = std::max(top, next); row <= bottom && row < all.size(); ++row)
            names.append(all.at(row));
        next = std::max(next, bottom + 1);
    }
    return names;
}

int TFileListBox::ItemIndex() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() : -1;
}

void TFileListBox::selectAll() {
    QListView::selectAll();
}

void TFileListBox::mousePressEvent(QMouseEvent* event) {
    QListView::mousePressEvent(event);
    if (indexAt(event->position().toPoint()).isValid())
        emit userClicked();
}

void TFileListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QListView::mouseDoubleClickEvent(event);
    if (indexAt(event->position().toPoint()).isValid())
        emit userDoubleClicked();
}

void TFileListBox::keyPressEvent(QKeyEvent* event) {
    emit keyPressed(event->key());
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // keyPressed() is the whole answer to Enter; the base would add activated().
        event->accept();
        return;
    }
    const QPersistentModelIndex before = currentIndex();
    selectionTouched_ = false;
    QListView::keyPressEvent(event);
    if (selectionTouched_ || QModelIndex(before) != currentIndex())
        emit userClicked();
}

void TFileListBox::startDrag(Qt::DropActions /*supportedActions*/) {
    const QStringList names = selectedNames();
    if (names.isEmpty())
        return;
    const QDir directory(directory_);
    QList<QUrl> urls;
    urls.reserve(names.size());
    for (const QString& name : names)
        urls.append(QUrl::fromLocalFile(directory.filePath(name)));

    auto* data = new QMimeData;
    data->setData(DragMimeType, names.join(QLatin1Char('\n')).toUtf8());
    data->setUrls(urls);

    // Qt deletes the drag itself once it is over, possibly within exec().
    QPointer<QDrag> drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
    emit dragEnded(drag ? drag->target() : nullptr);
}
