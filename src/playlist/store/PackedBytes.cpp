#include "playlist/store/PackedBytes.h"

#include "platform/PageMemory.h"
#include "platform/Prefault.h"

#include <algorithm>
#include <cstring>

namespace tb {

namespace {

// Pieces from this size up are faulted in ahead of the writer by the helper thread
// (and only those: a piece let go of is taken back from the helper by its size); for
// the few smaller ones, asking would cost more than it saves.
constexpr std::size_t kPieceFaultedAhead = std::size_t{64} << 10;
// How far ahead of the writer a block is faulted in: a few milliseconds of the
// helper's work on a host that has taken the memory back, less than one of filling.
constexpr std::size_t kFaultAhead = std::size_t{2} << 20;

struct GiveBack {
    std::size_t size;
    void operator()(void* start) const {
        if (size >= kPieceFaultedAhead)
            Prefaulter::shared().forget(start, size);
        givePagesBack({start, size});
    }
};

} // namespace

template <typename Item> std::shared_ptr<Item[]> PackedBytes::allocate(std::size_t count) {
    const PagePiece piece = takePages(count * sizeof(Item));
    return std::shared_ptr<Item[]>(static_cast<Item*>(piece.start), GiveBack{piece.size});
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
    const std::size_t used = packAtEnd(entries);
    blocks_.back().used = used;
    partBegin_ = used;
    keepAhead();
}

std::size_t PackedBytes::packAtEnd(const std::vector<std::string_view>& entries) {
    char* const base = blocks_.back().bytes.get();
    const std::uint64_t blockTag = static_cast<std::uint64_t>(blocks_.size() - 1) << kOffsetBits;
    std::size_t used = blocks_.back().used;
    for (std::string_view entry : entries) {
        // Moved, not copied: lines read into the block itself lie at or after their place.
        if (entry.data() != base + used && !entry.empty())
            std::memmove(base + used, entry.data(), entry.size());
        used += entry.size();
        endAt(count_++) = blockTag | used;
    }
    return used;
}

char* PackedBytes::readRoom(std::size_t bytes) {
    makeRoom(bytes);
    keepAhead(bytes);
    return blocks_.back().bytes.get() + blocks_.back().used;
}

void PackedBytes::appendAllRead(const std::vector<std::string_view>& entries,
                                std::string_view open) {
    makeEndRoom(entries.size(), true);
    const std::size_t used = packAtEnd(entries);
    if (!entries.empty())
        partBegin_ = used;
    char* const end = blocks_.back().bytes.get() + used;
    if (open.data() != end && !open.empty())
        std::memmove(end, open.data(), open.size());
    blocks_.back().used = used + open.size();
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

std::size_t PackedBytes::bytesNotSharedWith(const PackedBytes& other) const {
    std::vector<const void*> shared;
    shared.reserve(other.blocks_.size() + other.endChunks_.size());
    for (const Block& block : other.blocks_)
        shared.push_back(block.bytes.get());
    for (const EndChunk& chunk : other.endChunks_)
        shared.push_back(chunk.ends.get());
    std::sort(shared.begin(), shared.end());
    const auto isShared = [&](const void* memory) {
        return std::binary_search(shared.begin(), shared.end(), memory);
    };
    // The lists of blocks and chunks are each store's own.
    std::size_t bytes =
        blocks_.capacity() * sizeof(Block) + endChunks_.capacity() * sizeof(EndChunk);
    for (const Block& block : blocks_)
        bytes += isShared(block.bytes.get()) ? 0 : block.capacity;
    for (const EndChunk& chunk : endChunks_)
        bytes += isShared(chunk.ends.get()) ? 0 : chunk.capacity * sizeof(std::uint64_t);
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

} // namespace tb
