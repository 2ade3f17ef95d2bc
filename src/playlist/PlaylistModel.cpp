#include "playlist/PlaylistModel.h"

#include "platform/Windows1250.h"

#include <numeric>
#include <stdexcept>

PlaylistModel::PlaylistModel(QObject* parent)
    : QAbstractListModel(parent), utf8_(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless) {}

int PlaylistModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

QVariant PlaylistModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    return displayText(entries_.at(static_cast<std::size_t>(index.row())));
}

QString tb::entryText(std::string_view entry, QStringDecoder& utf8) {
    // A row shows a few hundred characters at most; decoding a 200 MB line whole
    // would stall the window and take gigabytes.
    constexpr std::size_t kShownBytes = 4096;
    if (entry.size() > kShownBytes) {
        std::size_t cut = kShownBytes;
        // Cut before a UTF-8 sequence, not inside it, so valid text stays valid.
        for (int back = 0; back < 3 && (static_cast<unsigned char>(entry[cut]) & 0xC0) == 0x80;
             ++back)
            --cut;
        entry = entry.substr(0, cut);
    }
    const QByteArrayView bytes(entry.data(), static_cast<qsizetype>(entry.size()));
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    utf8.resetState();
    return tb::fromWindows1250(bytes);
}

namespace {
std::size_t totalSize(const std::vector<std::string_view>& texts) {
    return std::accumulate(
        texts.begin(), texts.end(), std::size_t{0},
        [](std::size_t sum, std::string_view text) { return sum + text.size(); });
}
} // namespace

std::vector<tb::PlaylistItem> PlaylistModel::items() const {
    std::vector<tb::PlaylistItem> all;
    all.reserve(entries_.size());
    for (std::size_t row = 0; row < entries_.size(); ++row)
        all.push_back(entries_.item(row));
    return all;
}

namespace {
const QString kAddName = QStringLiteral("Přidat");
} // namespace

void PlaylistModel::beginStep(const QString& name) {
    if (stepDepth_++ > 0)
        return;
    stepName_ = name;
    stepBefore_ = entries_.copy();
    stepGeneration_ = generation_;
}

void PlaylistModel::endStep() {
    if (stepDepth_ == 0 || --stepDepth_ > 0)
        return;
    if (generation_ != stepGeneration_)
        history_.add(stepName_.toStdString(), std::move(stepBefore_), entries_);
    stepBefore_ = tb::EntryStore();
    emit historyChanged();
}

void PlaylistModel::replaceWith(tb::EntryStore& entries) {
    beginResetModel();
    std::swap(entries_, entries);
    changed();
    endResetModel();
}

void PlaylistModel::reorder(const std::vector<std::uint32_t>& rows, const QString& name) {
    tb::EntryStore reordered = entries_.copy();
    reordered.reorder(rows);
    replaceEntries(std::move(reordered), name);
}

void PlaylistModel::replaceEntries(tb::EntryStore entries, const QString& name) {
    const Step step(*this, name);
    replaceWith(entries);
}

void PlaylistModel::undo() {
    if (!canUndo())
        return;
    beginResetModel();
    history_.undo(entries_);
    changed();
    endResetModel();
    emit historyChanged();
}

void PlaylistModel::redo() {
    if (!canRedo())
        return;
    beginResetModel();
    history_.redo(entries_);
    changed();
    endResetModel();
    emit historyChanged();
}

void PlaylistModel::append(std::string_view entry, std::string_view file) {
    const Step step(*this, kAddName);
    const int row = rowCount();
    // Room is made before the row is announced, so that running out of memory
    // leaves the model as it was.
    entries_.reserveMore(1, entry.size(), file.size());
    beginInsertRows(QModelIndex(), row, row);
    entries_.append(entry, file);
    changed();
    endInsertRows();
}

void PlaylistModel::appendAll(const std::vector<std::string_view>& entries,
                              const std::vector<std::string_view>& files) {
    if (entries.empty())
        return;
    if (!files.empty() && files.size() != entries.size())
        throw std::invalid_argument("PlaylistModel::appendAll: one file per entry");
    const Step step(*this, kAddName);
    const int first = rowCount();
    // Entries that are their own files' paths keep one byte for it (see EntryStore).
    entries_.reserveMore(entries.size(), totalSize(entries),
                         &files == &entries ? entries.size() : totalSize(files));
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(entries.size()) - 1);
    entries_.appendAll(entries, files); // allocates nothing now: room is made
    changed();
    endInsertRows();
}

void PlaylistModel::appendAllRead(const std::vector<std::string_view>& entries,
                                  std::string_view open) {
    if (entries.empty()) {
        entries_.appendAllRead(entries, open);
        return;
    }
    const Step step(*this, kAddName);
    const int first = rowCount();
    entries_.reserveMore(entries.size(), 0); // running out of memory changes no row
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(entries.size()) - 1);
    entries_.appendAllRead(entries, open);
    changed();
    endInsertRows();
}

void PlaylistModel::appendItems(const std::vector<tb::PlaylistItem>& items) {
    if (items.empty())
        return;
    const Step step(*this, kAddName);
    const int first = rowCount();
    std::size_t bytes = 0;
    std::size_t sideBytes = 0;
    for (const tb::PlaylistItem& item : items) {
        bytes += item.text.size();
        sideBytes += tb::EntryStore::sideBytes(item); // the path and what came with it
    }
    entries_.reserveMore(items.size(), bytes, sideBytes);
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(items.size()) - 1);
    for (const tb::PlaylistItem& item : items)
        entries_.appendItem(item);
    changed();
    endInsertRows();
}

void PlaylistModel::removeFlagged(const std::vector<bool>& remove) {
    const Step step(*this, QStringLiteral("Odebrat"));
    beginResetModel();
    if (entries_.removeFlagged(remove) > 0)
        changed();
    endResetModel();
}

void PlaylistModel::clear() {
    const Step step(*this, QStringLiteral("Odebrat vše"));
    beginResetModel();
    if (!entries_.empty())
        changed();
    entries_.clear();
    endResetModel();
}
