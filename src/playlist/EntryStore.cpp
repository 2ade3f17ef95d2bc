#include "playlist/EntryStore.h"

#include <algorithm>
#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tb {

void* EntryStore::allocate(std::size_t bytes) {
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

void EntryStore::makeEndRoom(std::size_t entries) {
    const std::size_t needed = chunksFor(count_ + entries);
    while (endChunks_.size() < needed) {
        const std::size_t ends = endsInChunk(endChunks_.size());
        endChunks_.emplace_back(
            static_cast<std::uint64_t*>(allocate(ends * sizeof(std::uint64_t))));
    }
}

void EntryStore::makeRoom(std::size_t bytes) {
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

void EntryStore::reserveMore(std::size_t entries, std::size_t bytes) {
    makeEndRoom(entries);
    makeRoom(bytes);
}

void EntryStore::appendPart(std::string_view part) {
    if (part.empty())
        return;
    makeRoom(part.size());
    Block& block = blocks_.back();
    std::memcpy(block.bytes.get() + block.used, part.data(), part.size());
    block.used += part.size();
}

void EntryStore::discardPart() {
    if (!blocks_.empty())
        blocks_.back().used = partBegin_;
}

void EntryStore::append(std::string_view entry) {
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

void EntryStore::appendAll(const std::vector<std::string_view>& entries) {
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

void EntryStore::clear() {
    // Give the memory back: an emptied playlist of a million entries should not
    // keep its 50 MB.
    std::vector<Block>().swap(blocks_);
    std::vector<Ends>().swap(endChunks_);
    count_ = 0;
    partBegin_ = 0;
}

std::size_t EntryStore::removeFlagged(const std::vector<bool>& remove) {
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

} // namespace tb
