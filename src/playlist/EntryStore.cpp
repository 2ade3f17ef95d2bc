#include "playlist/EntryStore.h"

#include "playlist/Prefault.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <stdexcept>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tb {

namespace {

struct Memory {
    void* start = nullptr;
    std::size_t size = 0;
};

// Pieces from this size up are faulted in ahead of the writer by the helper thread
// (and only those: a piece let go of is taken back from the helper by its size); for
// the few smaller ones, asking would cost more than it saves.
constexpr std::size_t kPieceFaultedAhead = std::size_t{64} << 10;
// How far ahead of the writer a block is faulted in: a few milliseconds of the
// helper's work on a host that has taken the memory back, less than one of filling.
constexpr std::size_t kFaultAhead = std::size_t{2} << 20;

#if defined(__linux__)
constexpr std::size_t kHugePage = std::size_t{2} << 20;

// Large pieces that an emptied or shrunk playlist let go of. Memory given back to the
// system is, on a virtual machine, soon handed back to the host, and touching it
// again after an idle spell costs several times the copy that fills it; so pieces
// are kept, marked MADV_FREE: the system takes their pages when it runs short, and
// until then the next fill of about the same size finds them ready.
class SparePieces {
public:
    // A piece of at least `size` bytes and at most twice that, or none.
    Memory take(std::size_t size) {
        const std::lock_guard lock(mutex_);
        auto best = pieces_.end();
        for (auto piece = pieces_.begin(); piece != pieces_.end(); ++piece) {
            if (piece->size >= size && piece->size <= 2 * size &&
                (best == pieces_.end() || piece->size < best->size))
                best = piece;
        }
        if (best == pieces_.end())
            return {};
        const Memory taken = *best;
        held_ -= taken.size;
        pieces_.erase(best);
        return taken;
    }
    void keepOrFree(Memory piece) {
        {
            const std::lock_guard lock(mutex_);
            if (held_ + piece.size <= kMostHeld) {
                ::madvise(piece.start, piece.size, MADV_FREE);
                pieces_.push_back(piece);
                held_ += piece.size;
                return;
            }
        }
        std::free(piece.start);
    }

private:
    // Enough for the texts, paths and ends of a playlist of a million entries.
    static constexpr std::size_t kMostHeld = std::size_t{256} << 20;
    std::mutex mutex_;
    std::vector<Memory> pieces_;
    std::size_t held_ = 0;
};

SparePieces& spares() {
    // Never destroyed: a store may let go of its memory while the program ends.
    static SparePieces* const pieces = new SparePieces;
    return *pieces;
}
#endif

Memory allocateMemory(std::size_t bytes) {
    Memory memory;
#if defined(__linux__)
    // Megabytes filled at once, as by an open, take a few dozen page faults in huge
    // pages instead of thousands.
    if (bytes >= kHugePage) {
        const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        memory = spares().take(rounded);
        if (!memory.start) {
            memory = {std::aligned_alloc(kHugePage, rounded), rounded};
            if (memory.start)
                ::madvise(memory.start, rounded, MADV_HUGEPAGE); // a hint: no matter if refused
        }
    } else
#endif
    {
        memory = {std::malloc(bytes), bytes};
    }
    if (!memory.start)
        throw std::bad_alloc();
    return memory;
}

struct FreeMemory {
    std::size_t size;
    void operator()(void* start) const {
        if (size >= kPieceFaultedAhead)
            Prefaulter::shared().forget(start, size);
#if defined(__linux__)
        if (size >= kHugePage) {
            spares().keepOrFree({start, size});
            return;
        }
#endif
        std::free(start);
    }
};

} // namespace

template <typename Item> std::shared_ptr<Item[]> PackedBytes::allocate(std::size_t count) {
    const Memory memory = allocateMemory(count * sizeof(Item));
    return std::shared_ptr<Item[]>(static_cast<Item*>(memory.start), FreeMemory{memory.size});
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
            Ends grown = allocate<std::uint64_t>(whole);
            std::memcpy(grown.get(), held.ends.get(), held.capacity * sizeof(std::uint64_t));
            held = {std::move(grown), whole};
            continue;
        }
        const std::size_t ends = exact ? wanted : whole;
        endChunks_.push_back({allocate<std::uint64_t>(ends), ends});
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
    Block block{allocate<char>(capacity), capacity, partLength};
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
    keepAhead(bytes);
}

void PackedBytes::keepAhead(std::size_t coming) {
    if (blocks_.empty())
        return;
    // As far ahead as the store has grown, or as is announced: a short playlist keeps
    // to the pages it uses.
    const std::size_t grown = blocks_.size() > 1 ? kFaultAhead : blocks_.back().used;
    const std::size_t ahead = std::clamp(std::max(grown, coming), kPieceFaultedAhead, kFaultAhead);
    Block& block = blocks_.back();
    if (block.capacity >= kPieceFaultedAhead && block.askedAheadTo < block.capacity &&
        block.used + ahead > block.askedAheadTo) {
        const std::size_t from = std::max(block.askedAheadTo, block.used);
        const std::size_t to = std::min(block.capacity, block.used + 2 * ahead);
        Prefaulter::shared().ask(block.bytes.get() + from, to - from);
        block.askedAheadTo = to;
    }
    // The chunk that takes the next end, and the one after it where one was reserved;
    // the first chunk is left to the writer, as a short playlist uses little of it.
    const std::size_t next = endPlaceOf(count_).chunk;
    for (std::size_t chunk = std::max<std::size_t>(next, 1);
         chunk < std::min(next + 2, endChunks_.size()); ++chunk) {
        EndChunk& ends = endChunks_[chunk];
        const std::size_t bytes = ends.capacity * sizeof(std::uint64_t);
        if (!ends.askedAhead && bytes >= kPieceFaultedAhead) {
            Prefaulter::shared().ask(ends.ends.get(), bytes);
            ends.askedAhead = true;
        }
    }
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
    keepAhead();
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
    keepAhead();
}

void PackedBytes::appendEmpty(std::size_t entries) {
    if (entries == 0)
        return;
    reserveMore(entries, 0);
    const std::uint64_t end =
        (static_cast<std::uint64_t>(blocks_.size() - 1) << kOffsetBits) | partBegin_;
    for (std::size_t i = 0; i < entries; ++i)
        endAt(count_++) = end;
    keepAhead();
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
    copied.blocks_ = blocks_;
    copied.endChunks_ = endChunks_;
    copied.count_ = count_;
    // The copy's room ends where its entries end, so that neither side ever writes
    // where the other reads: an append to the copy takes a block of its own.
    for (Block& block : copied.blocks_)
        block.capacity = block.used;
    if (!copied.blocks_.empty())
        copied.blocks_.back().capacity = copied.blocks_.back().used = partBegin_;
    copied.partBegin_ = partBegin_;
    for (std::size_t chunk = 0; chunk < copied.endChunks_.size(); ++chunk)
        copied.endChunks_[chunk].capacity = std::min(
            copied.endChunks_[chunk].capacity, count_ - std::min(count_, firstIndexOfChunk(chunk)));
    return copied;
}

void PackedBytes::unshare() {
    for (Block& block : blocks_) {
        if (block.bytes.use_count() > 1) {
            Bytes own = allocate<char>(std::max<std::size_t>(block.capacity, 1));
            std::memcpy(own.get(), block.bytes.get(), block.used);
            block.bytes = std::move(own);
            block.askedAheadTo = block.used;
        }
    }
    for (EndChunk& chunk : endChunks_) {
        if (chunk.ends.use_count() > 1) {
            Ends own = allocate<std::uint64_t>(std::max<std::size_t>(chunk.capacity, 1));
            std::memcpy(own.get(), chunk.ends.get(), chunk.capacity * sizeof(std::uint64_t));
            chunk.ends = std::move(own);
            chunk.askedAhead = true; // written whole already
        }
    }
}

void PackedBytes::clear() {
    // Give the memory back: an emptied playlist of a million entries should not
    // keep its 50 MB (its large pieces wait for the next fill, the system free to
    // take their pages).
    std::vector<Block>().swap(blocks_);
    std::vector<EndChunk>().swap(endChunks_);
    count_ = 0;
    partBegin_ = 0;
}

std::size_t PackedBytes::removeFlagged(const std::vector<bool>& remove) {
    discardPart();
    unshare(); // entries are moved where a copy may still read them
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
}

std::size_t EntryStore::removeFlagged(const std::vector<bool>& remove) {
    sides_.removeFlagged(remove);
    return texts_.removeFlagged(remove);
}

} // namespace tb
