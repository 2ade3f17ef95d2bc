#include "filetools/FileListBox.h"

#include "filetools/CzechOrder.h"
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
#include <cstdint>
#include <future>
#include <numeric>
#include <optional>
#include <system_error>
#include <thread>
#include <type_traits>
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

// A mask as QDir would match it: a wildcard, regardless of case.
class Mask {
public:
    explicit Mask(const QString& wildcard) {
        // "*" and plain ASCII, as the filter box's masks are, only asks how the name ends:
        // a test many times quicker than the expression's.
        const QStringView rest = QStringView(wildcard).mid(1);
        if (wildcard.startsWith(QLatin1Char('*')) &&
            std::all_of(rest.begin(), rest.end(), [](QChar c) {
                return c.unicode() < 0x80 && !QStringView(u"*?[]\\").contains(c);
            }))
            ending_ = rest.toString();
        else
            expression_ =
                QRegularExpression(QRegularExpression::wildcardToRegularExpression(wildcard),
                                   QRegularExpression::CaseInsensitiveOption);
    }

    bool matches(const QString& name) const {
        return ending_ ? name.endsWith(*ending_, Qt::CaseInsensitive)
                       : expression_.match(name).hasMatch();
    }

private:
    std::optional<QString> ending_;
    QRegularExpression expression_;
};

std::vector<Mask> masksOf(const QString& maskString) {
    std::vector<Mask> masks;
    for (const std::string& mask : tb::parseMaskList(maskString.toStdString()))
        masks.emplace_back(QString::fromStdString(mask));
    return masks;
}

bool matchesAny(const std::vector<Mask>& masks, const QString& name) {
    return std::any_of(masks.cbegin(), masks.cend(),
                       [&](const Mask& mask) { return mask.matches(name); });
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
// Fewer names than this in each half are sorted on one thread: a second would cost
// more than it saves.
constexpr std::size_t NamesWorthAThread = 1000;

// The listed files among some of a folder's names, each with its sort key made once,
// and their order. Each part has its own collator and masks, so that two can be made at once.
struct SortedPart {
    // Apart from the names, so that sorting walks little memory.
    std::vector<QCollatorSortKey> keys;
    std::vector<QString> shown;
    std::vector<QByteArray> bytes;
    std::vector<std::uint32_t> order; // indices, first to last

    // Names the collation holds equal ("Track 2" and "Track 02", or an accent composed
    // and not) still keep one order from one reading to the next.
    static bool before(const SortedPart& one, std::uint32_t a, const SortedPart& other,
                       std::uint32_t b) {
        if (const int order = one.keys[a].compare(other.keys[b]); order != 0)
            return order < 0;
        return one.bytes[a] < other.bytes[b];
    }
};

SortedPart sortedPart(const std::vector<std::string>& names, std::size_t begin, std::size_t end,
                      const QString& maskString) {
    const tb::CzechOrder czech;
    const std::vector<Mask> masks = masksOf(maskString);
    SortedPart part;
    for (std::size_t i = begin; i < end; ++i) {
        const std::string& name = names[i];
        if (name.front() == '.')
            continue;
        QByteArray bytes = QByteArray::fromStdString(name);
        QString text = tb::fromUtf8OrWindows1250(bytes);
        if (!matchesAny(masks, text))
            continue;
        // Sorted as shown, control pictures included, so that the order is the one seen.
        part.shown.push_back(tb::withVisibleControls(std::move(text)));
        part.keys.push_back(czech.sortKey(part.shown.back()));
        part.bytes.push_back(std::move(bytes));
    }
    part.order.resize(part.keys.size());
    std::iota(part.order.begin(), part.order.end(), 0U);
    std::sort(part.order.begin(), part.order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return SortedPart::before(part, a, part, b);
    });
    return part;
}

// Moves the first `count` names of both parts, in order, into the first rows; or with
// fromBack the last `count` into the last rows. Two calls, one from each end, take
// different names and rows, so that they can run at once.
void merge(SortedPart& one, SortedPart& other, std::size_t count, bool fromBack, QString* shown,
           QByteArray* bytes) {
    const std::size_t total = one.order.size() + other.order.size();
    const auto at = [fromBack](const SortedPart& part, std::size_t taken) {
        return part.order[fromBack ? part.order.size() - 1 - taken : taken];
    };
    std::size_t i = 0; // names taken from `one`
    std::size_t j = 0; // and from `other`
    for (std::size_t k = 0; k < count; ++k) {
        bool fromOther = i == one.order.size();
        if (!fromOther && j < other.order.size())
            fromOther = SortedPart::before(other, at(other, j), one, at(one, i)) != fromBack;
        SortedPart& part = fromOther ? other : one;
        const std::uint32_t row = fromOther ? at(other, j++) : at(one, i++);
        const std::size_t to = fromBack ? total - 1 - k : k;
        shown[to] = std::move(part.shown[row]);
        bytes[to] = part.bytes[row]; // not moved: the other call may still compare it
    }
}

// The names the list shows for a folder's bytes and a mask string, in Czech order.
struct Listing {
    QStringList shown;
    QList<QByteArray> bytes;
};

// Runs the work on another thread when it is worth one and one can be had.
template <typename Work> auto onAnotherThread(bool worthIt, Work work) {
    if (worthIt && std::thread::hardware_concurrency() > 1) {
        try {
            return std::async(std::launch::async, std::move(work));
        } catch (const std::system_error&) { // none to be had: all on this one
        }
    }
    return std::future<std::invoke_result_t<Work>>();
}

Listing listing(const QByteArray& directory, const QString& maskString) {
    Listing listed;
    if (directory.isEmpty())
        return listed;
    // The folder's own bytes: a name that is not UTF-8 is listed too. Regular
    // files only, so FIFOs, sockets and devices stay out, and no hidden ones.
    const std::vector<std::string> names = tb::regularFileNames(directory.toStdString());

    // Making the keys takes most of the time: a large folder is halved between two
    // threads, each sorting its half, and then merged by both, one from each end.
    const std::size_t half = names.size() / 2;
    std::future<SortedPart> later = onAnotherThread(half >= NamesWorthAThread, [&] {
        return sortedPart(names, half, names.size(), maskString);
    });
    SortedPart first = sortedPart(names, 0, later.valid() ? half : names.size(), maskString);
    SortedPart second = later.valid() ? later.get() : SortedPart();

    const std::size_t total = first.order.size() + second.order.size();
    listed.shown.resize(static_cast<qsizetype>(total));
    listed.bytes.resize(static_cast<qsizetype>(total));
    QString* shown = listed.shown.data();
    QByteArray* bytes = listed.bytes.data();
    std::future<void> back = onAnotherThread(total / 2 >= NamesWorthAThread, [&] {
        merge(first, second, total - total / 2, true, shown, bytes);
    });
    merge(first, second, back.valid() ? total / 2 : total, false, shown, bytes);
    if (back.valid())
        back.get();
    return listed;
}
} // namespace

QList<QByteArray> TFileListBox::listedNames(const QByteArray& directory,
                                            const QString& maskString) {
    return listing(directory, maskString).bytes;
}

bool TFileListBox::matchesMask(const QByteArray& name) const {
    const QString text = tb::fromUtf8OrWindows1250(name);
    return matchesAny(masksOf(mask_), text);
}

void TFileListBox::Update() {
    Listing listed = listing(directory_, mask_);
    names_ = std::move(listed.bytes);
    model_->setStringList(listed.shown);
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
