#include "filetools/FileListBox.h"

#include "filetools/CollatedOrder.h"
#include "filetools/FileMask.h"
#include "platform/DirectoryListing.h"
#include "platform/FileNames.h"
#include "platform/ThreadPriority.h"
#include "platform/Windows1250.h"

#include <QDrag>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStringListModel>
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

TFileListBox::TFileListBox(QWidget* parent)
    : QListView(parent), model_(new QStringListModel(this)) {
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
// The names the list shows for a folder's bytes and a mask string, in Czech order.
struct Listing {
    QStringList shown;
    QList<QByteArray> bytes;
};

// The listed files among some of a folder's names, appended to `part`. Each part has its
// own masks, so that two can be made at once.
void addListed(const std::vector<std::string>& names, const std::vector<Mask>& masks,
               const std::atomic<bool>* cancelled, Listing& part) {
    for (const std::string& name : names) {
        if (cancelled && cancelled->load(std::memory_order_relaxed))
            return;
        if (name.front() == '.')
            continue;
        QByteArray bytes = QByteArray::fromStdString(name);
        QString text = tb::fromUtf8OrWindows1250(bytes);
        if (!matchesAny(masks, text))
            continue;
        // Sorted as shown, control pictures included, so that the order is the one seen.
        part.shown.push_back(tb::withVisibleControls(std::move(text)));
        part.bytes.push_back(std::move(bytes));
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
    Listing decodeAll(const QString& maskString, const std::atomic<bool>* cancelled,
                      qsizetype room) {
        const std::vector<Mask> masks = masksOf(maskString);
        Listing part;
        part.shown.reserve(room);
        part.bytes.reserve(room);
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

Listing listing(const QByteArray& directory, const QString& maskString,
                const std::atomic<bool>* cancelled = nullptr, bool inBackground = false) {
    if (directory.isEmpty())
        return {};
    // The folder's own bytes: a name that is not UTF-8 is listed too. Regular files
    // only, so FIFOs, sockets and devices stay out, and no hidden ones. A folder of more
    // than one read is decoded on a second thread while it is read, and by both once
    // it is read.
    NameBatches batches;
    std::future<Listing> decoded;
    // Room for as many names as the folder's size can hold (no ext4 entry takes fewer
    // than 12 bytes), so that neither list is copied as it grows; room never written
    // takes no memory.
    const auto room = static_cast<qsizetype>(
        std::min<std::uint64_t>(tb::directoryOwnSize(directory.toStdString()) / 12, 1 << 20));
    const auto decodeElsewhere = [&] {
        if (inBackground)
            tb::lowerThisThreadsPriority();
        return batches.decodeAll(maskString, cancelled, room);
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
    Listing found = batches.decodeAll(maskString, cancelled, room);
    if (decoded.valid()) {
        Listing second = decoded.get();
        found.shown.append(std::move(second.shown));
        found.bytes.append(std::move(second.bytes));
    }

    tb::CollatedOrderRun run;
    run.threads = std::thread::hardware_concurrency();
    run.cancelled = cancelled;
    if (inBackground)
        run.threadStart = &tb::lowerThisThreadsPriority;
    // Names the collation holds equal ("Track 2" and "Track 02", or an accent composed
    // and not) still keep one order from one reading to the next.
    run.tieLess = [&found](std::uint32_t a, std::uint32_t b) {
        return found.bytes.at(a) < found.bytes.at(b);
    };
    std::vector<std::uint32_t> order = tb::collatedOrder(
        static_cast<std::size_t>(found.shown.size()),
        [&found](std::size_t index, std::u16string& text, std::u16string&) {
            const QString& shown = found.shown.at(static_cast<qsizetype>(index));
            text.assign(reinterpret_cast<const char16_t*>(shown.utf16()),
                        static_cast<std::size_t>(shown.size()));
        },
        run);
    if (order.size() != static_cast<std::size_t>(found.shown.size()))
        return {}; // cancelled
    // Moved into that order in place, each cycle of the order round once (a place done
    // is marked as its own): new lists would cost more in fresh memory than the moves.
    for (std::uint32_t first = 0; first < order.size(); ++first) {
        if (order[first] == first)
            continue;
        QString firstShown = std::move(found.shown[first]);
        QByteArray firstBytes = std::move(found.bytes[first]);
        std::uint32_t at = first;
        for (std::uint32_t from = order[at]; from != first; at = from, from = order[at]) {
            found.shown[at] = std::move(found.shown[from]);
            found.bytes[at] = std::move(found.bytes[from]);
            order[at] = at;
        }
        found.shown[at] = std::move(firstShown);
        found.bytes[at] = std::move(firstBytes);
        order[at] = at;
    }
    return found;
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

// A folder whose own size is below this holds some two thousand names or fewer, which
// are read, ordered and shown in a few milliseconds: the list has them at once.
constexpr std::uint64_t kListedAtOnceBytes = 64 * 1024;

void TFileListBox::Update() {
    if (const auto waiting = pending_.lock())
        *waiting = true; // what it reads is no longer wanted
    pending_.reset();
    joinListers(false);
    if (tb::directoryOwnSize(directory_.toStdString()) < kListedAtOnceBytes) {
        Listing listed = listing(directory_, mask_);
        showListing(std::move(listed.shown), std::move(listed.bytes));
        return;
    }
    Lister lister{
        {}, std::make_shared<std::atomic<bool>>(false), std::make_shared<std::atomic<bool>>(false)};
    try {
        lister.thread = std::thread([this, directory = directory_, mask = mask_,
                                     cancelled = lister.cancelled, done = lister.done] {
            // The window's thread comes first, however many cores the reading keeps busy.
            tb::lowerThisThreadsPriority();
            Listing listed;
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
                    showListing(std::move(listed.shown), std::move(listed.bytes));
                },
                Qt::QueuedConnection);
            *done = true;
        });
    } catch (const std::system_error&) { // no thread to be had: read here
        Listing listed = listing(directory_, mask_);
        showListing(std::move(listed.shown), std::move(listed.bytes));
        return;
    }
    pending_ = lister.cancelled;
    listers_.push_back(std::move(lister));
    // Nothing stays shown of the folder before: its names would be taken as this one's.
    showListing({}, {});
}

void TFileListBox::showListing(QStringList shown, QList<QByteArray> names) {
    names_ = std::move(names);
    model_->setStringList(shown);
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
