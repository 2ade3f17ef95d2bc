#include "playlist/EntryStore.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tb {

void* PackedBytes::allocate(std::size_t bytes) {
    void* memory = nullptr;
#if defined(__linux__)
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    // Megabytes filled at once, as by an open, take a few dozen page faults in huge
    // pages instead of thousands.
    if (bytes >= kHugePage) {
        const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        memory = std::aligned_alloc(kHugePage, rounded);
        if (memory)
            ::madvise(memory, rounded, MADV_HUGEPAGE); // only a hint: no matter if refused
    } else
#endif
    {
        memory = std::malloc(bytes);
    }
    if (!memory)
        throw std::bad_alloc();
    return memory;
}

void PackedBytes::makeEndRoom(std::size_t entries, bool exact) {
    if (entries == 0)
        return;
    const std::size_t total = count_ + entries;
    const EndPlace last = endPlaceOf(total - 1);
    if (last.chunk < endChunks_.size() && last.offset < endChunks_[last.chunk].capacity)
        return;
    // The chunks before the one that takes the next end are full already.
    for (std::size_t chunk = endPlaceOf(count_).chunk; chunk <= last.chunk; ++chunk) {
        const std::size_t whole = endsInChunk(chunk);
        const std::size_t wanted = std::min(whole, total - firstIndexOfChunk(chunk));
        if (chunk < endChunks_.size()) {
            EndChunk& held = endChunks_[chunk];
            if (held.capacity >= wanted)
                continue;
            Ends grown(static_cast<std::uint64_t*>(allocate(whole * sizeof(std::uint64_t))));
            std::memcpy(grown.get(), held.ends.get(), held.capacity * sizeof(std::uint64_t));
            held = {std::move(grown), whole};
            continue;
        }
        const std::size_t ends = exact ? wanted : whole;
        endChunks_.push_back(
            {Ends(static_cast<std::uint64_t*>(allocate(ends * sizeof(std::uint64_t)))), ends});
    }
}

void PackedBytes::makeRoom(std::size_t bytes) {
    if (!blocks_.empty() && roomLeft() >= bytes)
        return; // even empty entries need a block to name
    // A new block takes the unfinished entry with it: the one copy made is of bytes
    // that no entry holds yet. It doubles with the entry, so a long line read in
    // many pieces is copied a bounded number of times.
    const std::size_t partLength = blocks_.empty() ? 0 : blocks_.back().used - partBegin_;
    const std::size_t capacity = std::max({kBlockBytes, partLength + bytes, 2 * partLength});
    Block block{Bytes(static_cast<char*>(allocate(capacity))), capacity, partLength};
    if (partLength > 0)
        std::memcpy(block.bytes.get(), blocks_.back().bytes.get() + partBegin_, partLength);
    // A last block that no entry uses is replaced rather than kept empty.
    const bool lastUnused = !blocks_.empty() && partBegin_ == 0 &&
                            (count_ == 0 || blockOf(endAt(count_ - 1)) != blocks_.size() - 1);
    if (lastUnused) {
        blocks_.back() = std::move(block);
    } else {
        if (!blocks_.empty())
            blocks_.back().used = partBegin_;
        blocks_.push_back(std::move(block));
    }
    partBegin_ = 0;
}

void PackedBytes::reserveMore(std::size_t entries, std::size_t bytes) {
    makeEndRoom(entries, true);
    makeRoom(bytes);
}

void PackedBytes::appendPart(std::string_view part) {
    if (part.empty())
        return;
    makeRoom(part.size());
    Block& block = blocks_.back();
    std::memcpy(block.bytes.get() + block.used, part.data(), part.size());
    block.used += part.size();
}

void PackedBytes::discardPart() {
    if (!blocks_.empty())
        blocks_.back().used = partBegin_;
}

void PackedBytes::append(std::string_view entry) {
    makeEndRoom(1);
    makeRoom(entry.size());
    Block& block = blocks_.back();
    if (!entry.empty())
        std::memcpy(block.bytes.get() + block.used, entry.data(), entry.size());
    block.used += entry.size();
    partBegin_ = block.used;
    endAt(count_) = (static_cast<std::uint64_t>(blocks_.size() - 1) << kOffsetBits) | block.used;
    ++count_;
}

void PackedBytes::appendAll(const std::vector<std::string_view>& entries) {
    if (entries.empty())
        return; // an unfinished entry stays unfinished
    std::size_t bytes = 0;
    for (std::string_view entry : entries)
        bytes += entry.size();
    reserveMore(entries.size(), bytes);
    Block& block = blocks_.back();
    char* const base = block.bytes.get();
    const std::uint64_t blockTag = static_cast<std::uint64_t>(blocks_.size() - 1) << kOffsetBits;
    std::size_t used = block.used;
    for (std::string_view entry : entries) {
        if (!entry.empty())
            std::memcpy(base + used, entry.data(), entry.size());
        used += entry.size();
        endAt(count_++) = blockTag | used;
    }
    block.used = used;
    partBegin_ = used;
}

void PackedBytes::appendEmpty(std::size_t entries) {
    if (entries == 0)
        return;
    reserveMore(entries, 0);
    const std::uint64_t end =
        (static_cast<std::uint64_t>(blocks_.size() - 1) << kOffsetBits) | partBegin_;
    for (std::size_t i = 0; i < entries; ++i)
        endAt(count_++) = end;
}

std::size_t PackedBytes::allocatedBytes() const {
    std::size_t bytes = 0;
    for (const Block& block : blocks_)
        bytes += block.capacity;
    for (const EndChunk& chunk : endChunks_)
        bytes += chunk.capacity * sizeof(std::uint64_t);
    return bytes;
}

PackedBytes PackedBytes::copy() const {
    PackedBytes copied;
    copied.blocks_.reserve(blocks_.size());
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
        const std::size_t used = i + 1 == blocks_.size() ? partBegin_ : blocks_[i].used;
        Block block{Bytes(static_cast<char*>(allocate(std::max<std::size_t>(used, 1)))),
                    std::max<std::size_t>(used, 1), used};
        if (used > 0)
            std::memcpy(block.bytes.get(), blocks_[i].bytes.get(), used);
        copied.blocks_.push_back(std::move(block));
    }
    copied.endChunks_.reserve(endChunks_.size());
    for (std::size_t chunk = 0; chunk < endChunks_.size(); ++chunk) {
        const std::size_t ends = std::min(endChunks_[chunk].capacity,
                                          count_ - std::min(count_, firstIndexOfChunk(chunk)));
        if (ends == 0)
            break;
        EndChunk copiedChunk{
            Ends(static_cast<std::uint64_t*>(allocate(ends * sizeof(std::uint64_t)))), ends};
        std::memcpy(copiedChunk.ends.get(), endChunks_[chunk].ends.get(),
                    ends * sizeof(std::uint64_t));
        copied.endChunks_.push_back(std::move(copiedChunk));
    }
    copied.count_ = count_;
    copied.partBegin_ = copied.blocks_.empty() ? 0 : copied.blocks_.back().used;
    return copied;
}

void PackedBytes::clear() {
    // Give the memory back: an emptied playlist of a million entries should not
    // keep its 50 MB.
    std::vector<Block>().swap(blocks_);
    std::vector<EndChunk>().swap(endChunks_);
    count_ = 0;
    partBegin_ = 0;
}

std::size_t PackedBytes::removeFlagged(const std::vector<bool>& remove) {
    discardPart();
    // Kept entries move towards the front, each into the first place where it fits
    // whole. That place never lies beyond the entry itself, so nothing is overwritten
    // before it has been read; the end table is rewritten behind the reading too, so
    // the old end of the entry before is carried along.
    std::size_t kept = 0;
    std::size_t writeBlock = 0;
    std::size_t writeAt = 0;
    std::uint64_t previousEnd = 0;
    for (std::size_t i = 0; i < count_; ++i) {
        const std::uint64_t end = endAt(i);
        const std::size_t block = blockOf(end);
        const std::uint64_t begin =
            i > 0 && blockOf(previousEnd) == block ? offsetOf(previousEnd) : 0;
        previousEnd = end;
        if (i < remove.size() && remove[i])
            continue;
        const auto length = static_cast<std::size_t>(offsetOf(end) - begin);
        while (writeAt + length > blocks_[writeBlock].capacity) { // stops at `block` at last
            blocks_[writeBlock].used = writeAt;
            ++writeBlock;
            writeAt = 0;
        }
        const char* source = blocks_[block].bytes.get() + begin;
        char* destination = blocks_[writeBlock].bytes.get() + writeAt;
        if (destination != source && length > 0)
            std::memmove(destination, source, length);
        writeAt += length;
        endAt(kept++) = (static_cast<std::uint64_t>(writeBlock) << kOffsetBits) | writeAt;
    }
    const std::size_t removed = count_ - kept;
    if (kept == 0) {
        clear();
        return removed;
    }
    count_ = kept;
    blocks_.resize(writeBlock + 1);
    blocks_.back().used = writeAt;
    partBegin_ = writeAt;
    endChunks_.resize(chunksFor(kept));
    return removed;
}

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
} // namespace

PlaylistItem EntryStore::item(std::size_t index) const {
    PlaylistItem item;
    item.text.assign(at(index));
    std::string_view side = sideAt(index);
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
    std::size_t fileBytes = 0;
    for (std::string_view file : files)
        fileBytes += file.size();
    const std::size_t first = texts_.size();
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
}

std::size_t EntryStore::removeFlagged(const std::vector<bool>& remove) {
    sides_.removeFlagged(remove);
    return texts_.removeFlagged(remove);
}

} // namespace tb
