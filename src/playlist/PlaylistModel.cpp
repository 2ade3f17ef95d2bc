#include "playlist/PlaylistModel.h"

#include "platform/Windows1250.h"

#include <numeric>

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

QString PlaylistModel::displayText(std::string_view entry) const {
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
    QString text = utf8_.decode(bytes);
    if (!utf8_.hasError())
        return text;
    utf8_.resetState();
    return tb::fromWindows1250(bytes);
}

void PlaylistModel::append(std::string_view entry) {
    const int row = rowCount();
    // Room is made before the row is announced, so that running out of memory
    // leaves the model as it was.
    entries_.reserveMore(1, entry.size());
    beginInsertRows(QModelIndex(), row, row);
    entries_.append(entry);
    endInsertRows();
}

void PlaylistModel::appendAll(const std::vector<std::string_view>& entries) {
    if (entries.empty())
        return;
    const int first = rowCount();
    const std::size_t bytes =
        std::accumulate(entries.begin(), entries.end(), std::size_t{0},
                        [](std::size_t sum, std::string_view entry) { return sum + entry.size(); });
    entries_.reserveMore(entries.size(), bytes);
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(entries.size()) - 1);
    entries_.appendAll(entries); // allocates nothing now: room is made
    endInsertRows();
}

void PlaylistModel::removeFlagged(const std::vector<bool>& remove) {
    beginResetModel();
    entries_.removeFlagged(remove);
    endResetModel();
}

void PlaylistModel::clear() {
    beginResetModel();
    entries_.clear();
    endResetModel();
}
