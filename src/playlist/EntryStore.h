#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace tb {

// The playlist's entries as raw bytes, packed back to back in blocks that are
// filled and never moved, with an end offset per entry in chunks of the same kind.
// Growing thus never copies what the store holds, so no append takes longer than
// the bytes it adds, however large the store; a million entries of forty bytes
// take about 48 MB. The chunks of ends grow from 128 kB to 2 MB: a short playlist
// takes little, and a long one few page faults.
class EntryStore {
public:
    EntryStore() = default;
    // A store moved from is empty.
    EntryStore(EntryStore&& other) noexcept { *this = std::move(other); }
    EntryStore& operator=(EntryStore&& other) noexcept {
        blocks_ = std::move(other.blocks_);
        endChunks_ = std::move(other.endChunks_);
        count_ = std::exchange(other.count_, 0);
        partBegin_ = std::exchange(other.partBegin_, 0);
        other.blocks_.clear();
        other.endChunks_.clear();
        return *this;
    }

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }

    std::string_view at(std::size_t index) const {
        const std::uint64_t end = endAt(index);
        const std::size_t block = blockOf(end);
        std::uint64_t begin = 0; // an entry that opens its block starts there
        if (index > 0) {
            const std::uint64_t previous = endAt(index - 1);
            if (blockOf(previous) == block)
                begin = offsetOf(previous);
        }
        return {blocks_[block].bytes.get() + begin,
                static_cast<std::size_t>(offsetOf(end) - begin)};
    }

    void append(std::string_view entry);
    // Appends many at once: room is made once, and then each entry costs its copy.
    void appendAll(const std::vector<std::string_view>& entries);
    // The start of an entry whose bytes come in parts: the next entry appended
    // begins with them. Until then they belong to no entry.
    void appendPart(std::string_view part);
    void discardPart();
    // Makes room for this many more entries holding this many more bytes, so that
    // appending them allocates nothing and cannot fail.
    void reserveMore(std::size_t entries, std::size_t bytes);
    void clear();

    // Keeps the entries whose flag is false, in their order; `remove` has one flag
    // per entry. Returns how many were removed. An unfinished entry's parts go.
    std::size_t removeFlagged(const std::vector<bool>& remove);

private:
    // An entry's end: its block's index above kOffsetBits, its end within the block below.
    static constexpr int kOffsetBits = 40;
    static constexpr std::uint64_t kOffsetMask = (std::uint64_t{1} << kOffsetBits) - 1;
    static constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
    // The first chunk of ends holds 2^14 entries, each further one as many as all
    // before it, up to 2^18, and from there on all hold 2^18.
    static constexpr int kFirstChunkBits = 14;
    static constexpr int kLargestChunkBits = 18;
    static constexpr std::size_t kGrowingChunks = kLargestChunkBits - kFirstChunkBits + 1;

    struct EndPlace {
        std::size_t chunk;
        std::size_t offset;
    };
    static EndPlace endPlaceOf(std::size_t index) {
        constexpr std::size_t firstChunk = std::size_t{1} << kFirstChunkBits;
        constexpr std::size_t largestChunk = std::size_t{1} << kLargestChunkBits;
        if (index < firstChunk)
            return {0, index};
        if (index < largestChunk) { // in [2^(width-1), 2^width): the chunk of that size
            const auto width = static_cast<std::size_t>(std::bit_width(index));
            return {width - kFirstChunkBits, index - (std::size_t{1} << (width - 1))};
        }
        return {kGrowingChunks - 1 + (index >> kLargestChunkBits), index & (largestChunk - 1)};
    }
    static std::size_t endsInChunk(std::size_t chunk) {
        return std::size_t{1} << (chunk == 0 ? kFirstChunkBits
                                             : std::min<std::size_t>(kFirstChunkBits - 1 + chunk,
                                                                     kLargestChunkBits));
    }
    // How many chunks hold this many ends.
    static std::size_t chunksFor(std::size_t entries) {
        return entries == 0 ? 0 : endPlaceOf(entries - 1).chunk + 1;
    }

    static std::size_t blockOf(std::uint64_t end) {
        return static_cast<std::size_t>(end >> kOffsetBits);
    }
    static std::uint64_t offsetOf(std::uint64_t end) { return end & kOffsetMask; }
    std::uint64_t endAt(std::size_t index) const {
        const EndPlace place = endPlaceOf(index);
        return endChunks_[place.chunk][place.offset];
    }
    std::uint64_t& endAt(std::size_t index) {
        const EndPlace place = endPlaceOf(index);
        return endChunks_[place.chunk][place.offset];
    }

    // Room for `bytes` more after the unfinished entry, in the last block.
    void makeRoom(std::size_t bytes);
    void makeEndRoom(std::size_t entries);
    std::size_t roomLeft() const {
        return blocks_.empty() ? 0 : blocks_.back().capacity - blocks_.back().used;
    }

    struct FreeMemory {
        void operator()(void* memory) const { std::free(memory); }
    };
    using Bytes = std::unique_ptr<char[], FreeMemory>;
    using Ends = std::unique_ptr<std::uint64_t[], FreeMemory>;
    // Memory that is filled soon after, by the megabyte; never null.
    static void* allocate(std::size_t bytes);
    struct Block {
        Bytes bytes;
        std::size_t capacity = 0;
        std::size_t used = 0; // entries, then the unfinished entry's parts
    };
    std::vector<Block> blocks_;
    std::vector<Ends> endChunks_;
    std::size_t count_ = 0;
    // Where the unfinished entry begins in the last block; equal to its `used` when
    // there is none.
    std::size_t partBegin_ = 0;
};

} // namespace tb
