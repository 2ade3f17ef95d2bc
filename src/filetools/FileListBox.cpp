#include "filetools/FileListBox.h"

#include "filetools/FileMask.h"
#include "platform/DirectoryListing.h"
#include "platform/FileNames.h"
#include "platform/Windows1250.h"

#include <QDrag>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QRegularExpression>
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

// A listed file: how it sorts, how it is shown, and its name's bytes.
struct Row {
    QString key;
    QString shown;
    QByteArray bytes;
};

// Sorts by name ignoring case, folding each name once rather than in every comparison:
// this halves the time QDir's own sorting takes for a large directory.
void sortIgnoringCase(std::vector<Row>& rows) {
    // Names that differ only in case keep one order from one reading to the next.
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        if (const int order = a.key.compare(b.key); order != 0)
            return order < 0;
        if (const int order = a.shown.compare(b.shown); order != 0)
            return order < 0;
        return a.bytes < b.bytes;
    });
}

// The masks as QDir would match them: wildcards, regardless of case.
QList<QRegularExpression> masksOf(const QString& maskString) {
    QList<QRegularExpression> masks;
    for (const std::string& mask : tb::parseMaskList(maskString.toStdString()))
        masks.append(QRegularExpression(
            QRegularExpression::wildcardToRegularExpression(QString::fromStdString(mask)),
            QRegularExpression::CaseInsensitiveOption));
    return masks;
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
    setDirectoryBytes(QFile::encodeName(directoryText));
}

void TFileListBox::setDirectoryBytes(const QByteArray& directoryText) {
    directory_ = directoryText;
    Update();
}

void TFileListBox::setMask(const QString& maskString) {
    mask_ = maskString;
    Update();
}

namespace {
// The rows the list shows for a folder's bytes and a mask string, sorted.
std::vector<Row> listedRows(const QByteArray& directory, const QString& maskString) {
    std::vector<Row> rows;
    if (directory.isEmpty())
        return rows;
    // The folder's own bytes: a name that is not UTF-8 is listed too. Regular
    // files only, so FIFOs, sockets and devices stay out, and no hidden ones.
    const QList<QRegularExpression> masks = masksOf(maskString);
    for (std::string& name : tb::regularFileNames(directory.toStdString())) {
        if (name.front() == '.')
            continue;
        QByteArray bytes = QByteArray::fromStdString(name);
        const QString text = tb::fromUtf8OrWindows1250(bytes);
        if (std::none_of(masks.cbegin(), masks.cend(), [&](const QRegularExpression& mask) {
                return mask.match(text).hasMatch();
            }))
            continue;
        rows.push_back({text.toCaseFolded(), tb::withVisibleControls(text), std::move(bytes)});
    }
    sortIgnoringCase(rows);
    return rows;
}
} // namespace

QList<QByteArray> TFileListBox::listedNames(const QByteArray& directory,
                                            const QString& maskString) {
    QList<QByteArray> names;
    for (Row& row : listedRows(directory, maskString))
        names.append(std::move(row.bytes));
    return names;
}

bool TFileListBox::matchesMask(const QByteArray& name) const {
    const QString text = tb::fromUtf8OrWindows1250(name);
    const QList<QRegularExpression> masks = masksOf(mask_);
    return std::any_of(masks.cbegin(), masks.cend(),
                       [&](const QRegularExpression& mask) { return mask.match(text).hasMatch(); });
}

void TFileListBox::Update() {
    std::vector<Row> rows = listedRows(directory_, mask_);
    QStringList shown;
    shown.reserve(static_cast<qsizetype>(rows.size()));
    names_.clear();
    names_.reserve(static_cast<qsizetype>(rows.size()));
    for (Row& row : rows) {
        shown.append(std::move(row.shown));
        names_.append(std::move(row.bytes));
    }
    model_->setStringList(shown);
}

int TFileListBox::count() const {
    return model_->rowCount();
}

QString TFileListBox::fileName(int row) const {
    return model_->index(row).data().toString();
}

QByteArray TFileListBox::fileNameBytes(int row) const {
    return row >= 0 && row < names_.size() ? names_.at(row) : QByteArray();
}

bool TFileListBox::isSelected(int row) const {
    const QModelIndex index = model_->index(row);
    return index.isValid() && selectionModel()->isSelected(index);
}

QList<int> TFileListBox::selectedRows() const {
    // Row ranges rather than a test per row, so that a large list stays quick.
    QList<std::pair<int, int>> ranges;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        ranges.append({range.top(), range.bottom()});
    std::sort(ranges.begin(), ranges.end());

    QList<int> rows;
    int next = 0; // the first row not taken yet, should ranges overlap
    for (const auto& [top, bottom] : ranges) {
        for (int row = std::max(top, next); row <= bottom && row < names_.size(); ++row)
            rows.append(row);
        next = std::max(next, bottom + 1);
    }
    return rows;
}

QStringList TFileListBox::selectedNames() const {
    const QStringList all = model_->stringList();
    QStringList names;
    for (int row : selectedRows())
        names.append(all.at(row));
    return names;
}

QList<QByteArray> TFileListBox::selectedNameBytes() const {
    QList<QByteArray> names;
    for (int row : selectedRows())
        names.append(names_.at(row));
    return names;
}

int TFileListBox::ItemIndex() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() : -1;
}

void TFileListBox::selectAll() {
    QListView::selectAll();
}

// The right button opens the popup menu over the selection as it stands: it
// neither selects nor counts as a click. So does any button but the left.
void TFileListBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
    if (indexAt(event->position().toPoint()).isValid())
        emit userClicked();
}

void TFileListBox::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() != Qt::NoButton && !(event->buttons() & Qt::LeftButton)) {
        event->accept();
        return;
    }
    QListView::mouseMoveEvent(event);
}

void TFileListBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QListView::mouseReleaseEvent(event);
}

void TFileListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
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

// Shift+click selects from the anchor, the row last clicked without Shift
// (Ctrl+click included), to the clicked row, and nothing else, as a list box
// does; Qt's own list would keep what was selected before the anchor too.
QItemSelectionModel::SelectionFlags TFileListBox::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const {
    if (event && event->type() == QEvent::MouseButtonPress) {
        const auto mods = static_cast<const QMouseEvent*>(event)->modifiers();
        if ((mods & Qt::ShiftModifier) && !(mods & Qt::ControlModifier))
            return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Current;
    }
    return QListView::selectionCommand(index, event);
}

void TFileListBox::startDrag(Qt::DropActions /*supportedActions*/) {
    const QList<QByteArray> names = selectedNameBytes();
    if (names.isEmpty())
        return;
    // Built from the bytes, percent-encoded, so that every name survives the trip.
    QByteArray directory = directory_;
    if (!directory.endsWith('/'))
        directory += '/';
    QList<QUrl> urls;
    urls.reserve(names.size());
    for (const QByteArray& name : names)
        urls.append(QUrl::fromEncoded("file://" + QUrl::toPercentEncoding(directory + name, "/")));

    auto* data = new QMimeData;
    data->setData(DragMimeType, names.join('\0'));
    data->setUrls(urls);

    // Qt deletes the drag itself once it is over, possibly within exec().
    QPointer<QDrag> drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
    emit dragEnded(drag ? drag->target() : nullptr);
}
