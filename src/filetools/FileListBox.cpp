#include "filetools/FileListBox.h"

#include "filetools/CollatedOrder.h"
#include "filetools/FileMask.h"
#include "platform/DirectoryListing.h"
#include "platform/FileNames.h"
#include "platform/ThreadPriority.h"
#include "platform/Windows1250.h"

#include <QAbstractListModel>
#include <QDrag>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStyledItemDelegate>
#include <QUrl>
#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <future>
#include <mutex>
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
QString shownName(std::string_view bytes) {
    return tb::withVisibleControls(
        tb::fromUtf8OrWindows1250(QByteArrayView(bytes.data(), std::ssize(bytes))));
}
} // namespace

namespace tb {
// A folder's listed names, their bytes back to back in the order they were read, and
// the order the list shows them in: some 25 bytes a name, where a string and a byte
// array for each took 160. Fresh memory costs a page fault a page, more than decoding.
struct FolderNames {
    std::string bytes;
    std::vector<std::uint32_t> ends; // where each name's bytes end
    std::vector<std::uint32_t> rows; // the names in list order

    std::size_t size() const { return ends.size(); }
    std::string_view name(std::size_t index) const {
        const std::uint32_t begin = index == 0 ? 0 : ends[index - 1];
        return std::string_view(bytes).substr(begin, ends[index] - begin);
    }
    void add(std::string_view name) {
        bytes.append(name);
        ends.push_back(static_cast<std::uint32_t>(bytes.size()));
    }
    void append(const FolderNames& other) {
        const auto base = static_cast<std::uint32_t>(bytes.size());
        bytes.append(other.bytes);
        for (const std::uint32_t end : other.ends)
            ends.push_back(base + end);
    }
};

// The list's rows: a name is decoded when it is shown, not all of them at once.
class FolderNamesModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void setNames(FolderNames names) {
        beginResetModel();
        names_ = std::move(names);
        endResetModel();
    }
    std::string_view nameAt(int row) const {
        return names_.name(names_.rows[static_cast<std::size_t>(row)]);
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(names_.rows.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!checkIndex(index, CheckIndexOption::IndexIsValid) ||
            (role != Qt::DisplayRole && role != Qt::EditRole))
            return {};
        return shownName(nameAt(index.row()));
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        // As a list of strings has them, so that readers hear what they heard before.
        return QAbstractListModel::flags(index) | Qt::ItemIsDropEnabled |
               (index.isValid() ? Qt::ItemIsEditable | Qt::ItemIsDragEnabled : Qt::NoItemFlags);
    }

private:
    FolderNames names_;
};
} // namespace tb

using tb::FolderNames;
using tb::FolderNamesModel;

namespace {
// The listed files among some of a folder's names, added to `part`. Each part has its
// own masks, so that two can be made at once.
void addListed(const std::vector<std::string>& names, const std::vector<Mask>& masks,
               const std::atomic<bool>* cancelled, FolderNames& part) {
    for (const std::string& name : names) {
        if (cancelled && cancelled->load(std::memory_order_relaxed))
            return;
        if (name.front() == '.')
            continue;
        if (matchesAny(masks,
                       tb::fromUtf8OrWindows1250(QByteArrayView(name.data(), std::ssize(name)))))
            part.add(name);
    }
}

// A folder's names on their way from the thread that reads them to those that decode
// them, in batches of one read each: a long folder is decoded while it is still read.
class NameBatches {
public:
    void add(std::vector<std::string>& names) {
        {
            const std::lock_guard lock(mutex_);
            batches_.push_back(std::move(names));
        }
        arrived_.notify_one();
    }
    void end() {
        {
            const std::lock_guard lock(mutex_);
            ended_ = true;
        }
        arrived_.notify_all();
    }
    // Decodes batches as they come, until the reading has ended and none is left.
    FolderNames decodeAll(const QString& maskString, const std::atomic<bool>* cancelled,
                          std::uint64_t folderSize) {
        const std::vector<Mask> masks = masksOf(maskString);
        FolderNames part;
        // Room for all the names the folder's size can hold (no ext4 entry takes fewer
        // than 12 bytes, and each holds its name), so that nothing is copied as it grows;
        // room never written takes no memory. Up to a million names' worth or so.
        const std::uint64_t most = std::min<std::uint64_t>(folderSize, std::uint64_t{16} << 20);
        part.bytes.reserve(most);
        part.ends.reserve(most / 12);
        std::vector<std::string> names;
        for (;;) {
            {
                std::unique_lock lock(mutex_);
                arrived_.wait(lock, [this] { return ended_ || !batches_.empty(); });
                if (batches_.empty())
                    return part;
                names = std::move(batches_.front());
                batches_.pop_front();
            }
            addListed(names, masks, cancelled, part);
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::vector<std::string>> batches_;
    bool ended_ = false;
};

// The names the list shows for a folder's bytes and a mask string, in Czech order.
FolderNames listing(const QByteArray& directory, const QString& maskString,
                    const std::atomic<bool>* cancelled = nullptr, bool inBackground = false) {
    if (directory.isEmpty())
        return {};
    // The folder's own bytes: a name that is not UTF-8 is listed too. Regular files
    // only, so FIFOs, sockets and devices stay out, and no hidden ones. A folder of more
    // than one read is decoded on a second thread while it is read, and by both once
    // it is read.
    NameBatches batches;
    std::future<FolderNames> decoded;
    const std::uint64_t folderSize = tb::directoryOwnSize(directory.toStdString());
    const auto decodeElsewhere = [&] {
        if (inBackground)
            tb::lowerThisThreadsPriority();
        return batches.decodeAll(maskString, cancelled, folderSize);
    };
    std::size_t batchesRead = 0;
    {
        const auto ended = qScopeGuard([&batches] { batches.end(); });
        tb::regularFileNamesInBatches(
            directory.toStdString(), [&](std::vector<std::string>& names) {
                batches.add(names);
                if (++batchesRead == 2 && std::thread::hardware_concurrency() > 1) {
                    try {
                        decoded = std::async(std::launch::async, decodeElsewhere);
                    } catch (const std::system_error&) {
                    } // none to be had: all on this one
                }
            });
    }
    FolderNames found = batches.decodeAll(maskString, cancelled, folderSize);
    if (decoded.valid())
        found.append(decoded.get());

    tb::CollatedOrderRun run;
    run.threads = std::thread::hardware_concurrency();
    run.cancelled = cancelled;
    if (inBackground)
        run.threadStart = &tb::lowerThisThreadsPriority;
    // Names the collation holds equal ("Track 2" and "Track 02", or an accent composed
    // and not) still keep one order from one reading to the next.
    run.tieLess = [&found](std::uint32_t a, std::uint32_t b) {
        return found.name(a) < found.name(b);
    };
    // Sorted as shown, control pictures included, so that the order is the one seen.
    found.rows = tb::collatedOrder(
        found.size(),
        [&found](std::size_t index, std::u16string& text, std::u16string&) {
            const QString shown = shownName(found.name(index));
            text.assign(reinterpret_cast<const char16_t*>(shown.utf16()),
                        static_cast<std::size_t>(shown.size()));
        },
        run);
    if (found.rows.size() != found.size())
        return {}; // cancelled
    return found;
}
} // namespace

TFileListBox::TFileListBox(QWidget* parent)
    : QListView(parent), model_(new FolderNamesModel(this)) {
    setModel(model_);
    setItemDelegate(new FixedHeightDelegate(this));
    setUniformItemSizes(true);
    setLayoutMode(QListView::Batched);
    setBatchSize(1000);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { selectionTouched_ = true; });
}

QList<QByteArray> TFileListBox::listedNames(const QByteArray& directory,
                                            const QString& maskString) {
    const FolderNames names = listing(directory, maskString);
    QList<QByteArray> listed;
    listed.reserve(std::ssize(names.rows));
    for (const std::uint32_t index : names.rows)
        listed.append(QByteArray::fromStdString(std::string(names.name(index))));
    return listed;
}

bool TFileListBox::matchesMask(const QByteArray& name) const {
    const QString text = tb::fromUtf8OrWindows1250(name);
    return matchesAny(masksOf(mask_), text);
}

// A folder whose own size is below this holds some two thousand names or fewer, which
// are read, ordered and shown in a few milliseconds: the list has them at once.
constexpr std::uint64_t kListedAtOnceBytes = 64 * 1024;

void TFileListBox::Update() {
    if (const auto waiting = pending_.lock())
        *waiting = true; // what it reads is no longer wanted
    pending_.reset();
    joinListers(false);
    if (tb::directoryOwnSize(directory_.toStdString()) < kListedAtOnceBytes) {
        showListing(listing(directory_, mask_));
        return;
    }
    Lister lister{
        {}, std::make_shared<std::atomic<bool>>(false), std::make_shared<std::atomic<bool>>(false)};
    try {
        lister.thread = std::thread([this, directory = directory_, mask = mask_,
                                     cancelled = lister.cancelled, done = lister.done] {
            // The window's thread comes first, however many cores the reading keeps busy.
            tb::lowerThisThreadsPriority();
            FolderNames listed;
            try {
                listed = listing(directory, mask, cancelled.get(), true);
            } catch (const std::exception&) { // out of memory or threads: an empty list
            }
            QMetaObject::invokeMethod(
                this,
                [this, cancelled, listed = std::move(listed)]() mutable {
                    if (pending_.lock() != cancelled)
                        return;
                    pending_.reset();
                    showListing(std::move(listed));
                },
                Qt::QueuedConnection);
            *done = true;
        });
    } catch (const std::system_error&) { // no thread to be had: read here
        showListing(listing(directory_, mask_));
        return;
    }
    pending_ = lister.cancelled;
    listers_.push_back(std::move(lister));
    // Nothing stays shown of the folder before: its names would be taken as this one's.
    showListing({});
}

void TFileListBox::showListing(FolderNames names) {
    model_->setNames(std::move(names));
    if (!isListing())
        emit listed();
}

// Waits for the threads that are done, or for all of them, cancelled first.
void TFileListBox::joinListers(bool all) {
    for (Lister& lister : listers_) {
        if (all)
            *lister.cancelled = true;
        if (all || *lister.done)
            lister.thread.join();
    }
    std::erase_if(listers_, [](const Lister& lister) { return !lister.thread.joinable(); });
}

TFileListBox::~TFileListBox() {
    joinListers(true);
}

int TFileListBox::count() const {
    return model_->rowCount();
}

QString TFileListBox::fileName(int row) const {
    return model_->index(row).data().toString();
}

QByteArray TFileListBox::fileNameBytes(int row) const {
    if (row < 0 || row >= count())
        return {};
    const std::string_view name = model_->nameAt(row);
    return QByteArray(name.data(), std::ssize(name));
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
        for (int row = std::max(top, next); row <= bottom && row < count(); ++row)
            rows.append(row);
        next = std::max(next, bottom + 1);
    }
    return rows;
}

QStringList TFileListBox::selectedNames() const {
    QStringList names;
    for (int row : selectedRows())
        names.append(fileName(row));
    return names;
}

QList<QByteArray> TFileListBox::selectedNameBytes() const {
    QList<QByteArray> names;
    for (int row : selectedRows())
        names.append(fileNameBytes(row));
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
