#include "playlist/store/EntryStore.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tb {

namespace {
// What came with an entry, after its path and a NUL: the length in milliseconds, then
// the info line, title, artist and album, each as its length and its bytes.
void appendNumber(std::string& out, std::uint64_t number) {
    char bytes[sizeof number];
    std::memcpy(bytes, &number, sizeof number);
    out.append(bytes, sizeof number);
}

std::uint64_t takeNumber(std::string_view& from) {
    std::uint64_t number = 0;
    std::memcpy(&number, from.data(), sizeof number);
    from.remove_prefix(sizeof number);
    return number;
}

std::string takeText(std::string_view& from) {
    const auto length = static_cast<std::size_t>(takeNumber(from));
    std::string text(from.substr(0, length));
    from.remove_prefix(length);
    return text;
}

bool carriesInfo(const PlaylistItem& item) {
    return item.milliseconds >= 0 || !item.info.empty() || !item.title.empty() ||
           !item.artist.empty() || !item.album.empty();
}

std::string_view withoutNul(std::string_view path) {
    return path.substr(0, path.find('\0'));
}

// The path, a NUL, the length and each text after its length.
constexpr std::size_t kNumbersInInfo = 5;
} // namespace

std::size_t EntryStore::sideBytes(const PlaylistItem& item) {
    const std::size_t file = withoutNul(item.file).size();
    if (!carriesInfo(item))
        return file;
    return file + 1 + kNumbersInInfo * sizeof(std::uint64_t) + item.info.size() +
           item.title.size() + item.artist.size() + item.album.size();
}

PlaylistItem EntryStore::item(std::size_t index) const {
    PlaylistItem item;
    item.text.assign(at(index));
    std::string_view side = sideAt(index);
    if (side == kFileIsText) {
        item.file = item.text;
        return item;
    }
    const std::size_t nul = side.find('\0');
    item.file.assign(side.substr(0, nul));
    if (nul == std::string_view::npos)
        return item;
    side.remove_prefix(nul + 1);
    item.milliseconds = static_cast<std::int64_t>(takeNumber(side));
    item.info = takeText(side);
    item.title = takeText(side);
    item.artist = takeText(side);
    item.album = takeText(side);
    return item;
}

void EntryStore::fillSidesUpTo(std::size_t entries) {
    if (sides_.size() < entries)
        sides_.appendEmpty(entries - sides_.size());
}

void EntryStore::append(std::string_view entry, std::string_view file) {
    file = withoutNul(file);
    if (file.empty()) {
        texts_.append(entry);
        return;
    }
    // Room for both first, so that running out of memory leaves the store as it was.
    sides_.reserveMore(texts_.size() + 1 - sides_.size(), file.size());
    texts_.append(entry);
    fillSidesUpTo(texts_.size() - 1);
    sides_.append(file);
}

void EntryStore::appendItem(const PlaylistItem& item) {
    if (!carriesInfo(item)) {
        append(item.text, item.file);
        return;
    }
    std::string side(withoutNul(item.file));
    side.reserve(sideBytes(item));
    side += '\0';
    appendNumber(side, static_cast<std::uint64_t>(item.milliseconds));
    for (const std::string* text : {&item.info, &item.title, &item.artist, &item.album}) {
        appendNumber(side, text->size());
        side += *text;
    }
    sides_.reserveMore(texts_.size() + 1 - sides_.size(), side.size());
    texts_.append(item.text);
    fillSidesUpTo(texts_.size() - 1);
    sides_.append(side);
}

namespace {
// Whether `side` holds what appendItem writes after a path and its NUL: five numbers,
// the last four each followed by that many bytes, and nothing after.
bool isInfo(std::string_view side) {
    if (side.size() < sizeof(std::uint64_t))
        return false;
    takeNumber(side);
    for (std::size_t text = 1; text < kNumbersInInfo; ++text) {
        if (side.size() < sizeof(std::uint64_t))
            return false;
        const std::uint64_t length = takeNumber(side);
        if (length > side.size())
            return false;
        side.remove_prefix(static_cast<std::size_t>(length));
    }
    return side.empty();
}
} // namespace

bool EntryStore::appendWithSide(std::string_view entry, std::string_view side) {
    if (side.empty()) {
        texts_.append(entry);
        return true;
    }
    const std::size_t nul = side.find('\0');
    if (side != kFileIsText && nul != std::string_view::npos && !isInfo(side.substr(nul + 1)))
        return false;
    sides_.reserveMore(texts_.size() + 1 - sides_.size(), side.size());
    texts_.append(entry);
    fillSidesUpTo(texts_.size() - 1);
    sides_.append(side);
    return true;
}

void EntryStore::appendAll(const std::vector<std::string_view>& entries,
                           const std::vector<std::string_view>& files) {
    if (files.empty()) {
        texts_.appendAll(entries);
        return;
    }
    if (files.size() != entries.size())
        throw std::invalid_argument("EntryStore::appendAll: one file per entry");
    if (entries.empty())
        return;
    const std::size_t first = texts_.size();
    if (&files == &entries) {
        const std::vector<std::string_view> sameAsText(entries.size(), kFileIsText);
        sides_.reserveMore(first + entries.size() - sides_.size(), entries.size());
        texts_.appendAll(entries);
        fillSidesUpTo(first);
        sides_.appendAll(sameAsText);
        return;
    }
    std::size_t fileBytes = 0;
    for (std::string_view file : files)
        fileBytes += file.size();
    sides_.reserveMore(first + entries.size() - sides_.size(), fileBytes);
    texts_.appendAll(entries);
    fillSidesUpTo(first);
    if (std::none_of(files.begin(), files.end(),
                     [](std::string_view file) { return file.find('\0') != file.npos; })) {
        sides_.appendAll(files);
        return;
    }
    std::vector<std::string_view> cut(files.size());
    std::transform(files.begin(), files.end(), cut.begin(), withoutNul);
    sides_.appendAll(cut);
}

void EntryStore::reserveMore(std::size_t entries, std::size_t bytes, std::size_t fileBytes) {
    texts_.reserveMore(entries, bytes);
    if (fileBytes > 0)
        sides_.reserveMore(texts_.size() + entries - sides_.size(), fileBytes);
}

void EntryStore::clear() {
    texts_.clear();
    sides_.clear();
    order_.reset();
}

std::size_t EntryStore::removeFlagged(const std::vector<bool>& remove) {
    if (!order_) {
        sides_.removeFlagged(remove);
        return texts_.removeFlagged(remove);
    }
    // Kept where they were appended, the entries would have to be renumbered in the
    // order as well: gathering them in row order costs about the same and leaves none.
    const std::size_t before = size();
    *this = withoutFlagged(remove);
    return before - size();
}

EntryStore EntryStore::withoutFlagged(const std::vector<bool>& leaveOut) const {
    const auto kept = [&](std::size_t row) {
        return row >= leaveOut.size() || !leaveOut[row];
    };
    std::size_t entries = 0;
    std::size_t bytes = 0;
    std::size_t sideBytes = 0;
    std::size_t entriesWithSides = 0; // up to the last kept entry that has a side
    for (std::size_t row = 0; row < size(); ++row) {
        if (!kept(row))
            continue;
        ++entries;
        bytes += at(row).size();
        const std::string_view side = sideAt(row);
        if (!side.empty()) {
            sideBytes += side.size();
            entriesWithSides = entries;
        }
    }
    EntryStore gathered;
    gathered.texts_.reserveMore(entries, bytes);
    gathered.sides_.reserveMore(entriesWithSides, sideBytes);
    for (std::size_t row = 0; row < size(); ++row) {
        if (!kept(row))
            continue;
        gathered.texts_.append(at(row));
        if (gathered.sides_.size() < entriesWithSides)
            gathered.sides_.append(sideAt(row));
    }
    return gathered;
}

void EntryStore::reorder(const std::vector<std::uint32_t>& rows) {
    if (rows.size() != size())
        throw std::invalid_argument("EntryStore::reorder: one row per entry");
    std::vector<bool> seen(rows.size());
    for (const std::uint32_t row : rows) {
        if (row >= rows.size() || seen[row])
            throw std::invalid_argument("EntryStore::reorder: each row once");
        seen[row] = true;
    }
    // The rows at the end that end up where they were appended need no place in the order.
    std::size_t ordered = rows.size();
    while (ordered > 0 && stored(rows[ordered - 1]) == ordered - 1)
        --ordered;
    if (ordered == 0) {
        order_.reset();
        return;
    }
    auto order = std::make_shared<std::vector<std::uint32_t>>(ordered);
    for (std::size_t row = 0; row < ordered; ++row)
        (*order)[row] = static_cast<std::uint32_t>(stored(rows[row]));
    order_ = std::move(order);
}

std::size_t EntryStore::bytesNotSharedWith(const EntryStore& other) const {
    return texts_.bytesNotSharedWith(other.texts_) + sides_.bytesNotSharedWith(other.sides_) +
           (order_ == other.order_ ? 0 : orderBytes());
}

} // namespace tb
