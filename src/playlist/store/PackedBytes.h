#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace tb {

// Byte strings packed back to back in blocks that are filled and never moved, with
// an end offset per string in chunks of the same kind. Growing thus never copies
// what is held, so no append takes longer than the bytes it adds, however many are
// held; a million strings of forty bytes take about 48 MB. The chunks of ends grow
// from 128 kB to 2 MB: a few strings take little, and many few page faults.
class PackedBytes {
public:
    PackedBytes() = default;
    // What is moved from is empty.
    PackedBytes(PackedBytes&& other) noexcept { *this = std::move(other); }
    PackedBytes& operator=(PackedBytes&& other) noexcept {
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
    // Room for `bytes` to be read straight into, right after the unfinished entry's
    // parts; valid until the next change. A file is thus copied once, by its read,
    // and its lines are then only moved together in place by appendAllRead.
    char* readRoom(std::size_t bytes);
    // Appends entries whose bytes were read into readRoom, then `open` as the unfinished
    // entry's parts: each moves down behind the entry before it. Each lies in the room at
    // or after the bytes taken before it, or outside the store. What else was read is
    // dropped. Running out of memory leaves the store as it was.
    void appendAllRead(const std::vector<std::string_view>& entries, std::string_view open);
    // Appends this many empty entries.
    void appendEmpty(std::size_t entries);
    void clear();
    // The memory taken, in bytes: blocks and chunks of ends as allocated.
    std::size_t allocatedBytes() const;
    // The memory taken that `other` does not share: what keeping this one beside
    // it costs.
    std::size_t bytesNotSharedWith(const PackedBytes& other) const;
    // A copy of the entries that shares their memory: it costs no more than a few
    // pointers however many entries there are, so a save can take one on the window's
    // thread. Blocks and chunks are copied only when the entries they hold are
    // rewritten (by removeFlagged) while shared. Appending to either side never
    // touches what the other reads. An unfinished entry's parts are left out.
    PackedBytes copy() const;

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
    static std::size_t firstIndexOfChunk(std::size_t chunk) {
        if (chunk == 0)
            return 0;
        if (chunk < kGrowingChunks)
            return std::size_t{1} << (kFirstChunkBits + chunk - 1);
        return (chunk - (kGrowingChunks - 1)) << kLargestChunkBits;
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
        return endChunks_[place.chunk].ends[place.offset];
    }
    std::uint64_t& endAt(std::size_t index) {
        const EndPlace place = endPlaceOf(index);
        return endChunks_[place.chunk].ends[place.offset];
    }

    // Room for `bytes` more after the unfinished entry, in the last block.
    void makeRoom(std::size_t bytes);
    // Room for the ends of this many more entries; `exact` takes no more than that.
    void makeEndRoom(std::size_t entries, bool exact = false);
    // Writes the entries back to back after the last block's bytes, each end kept, with
    // room made beforehand; returns where they end.
    std::size_t packAtEnd(const std::vector<std::string_view>& entries);
    std::size_t roomLeft() const {
        return blocks_.empty() ? 0 : blocks_.back().capacity - blocks_.back().used;
    }
    // Has the helper thread fault in the memory the next appends write: the last
    // block a little beyond its use, and the chunks of the next ends. `coming` bytes
    // are announced by a reservation.
    void keepAhead(std::size_t coming = 0);

    using Bytes = std::shared_ptr<char[]>;
    using Ends = std::shared_ptr<std::uint64_t[]>;
    // Memory for `count` items that is filled soon after, by the megabyte; never null.
    template <typename Item> static std::shared_ptr<Item[]> allocate(std::size_t count);
    // Gives each block and chunk that a copy shares a copy of its own.
    void unshare();
    struct Block {
        Bytes bytes;
        std::size_t capacity = 0;
        std::size_t used = 0;         // entries, then the unfinished entry's parts
        std::size_t askedAheadTo = 0; // how far the helper was asked to fault it in
    };
    std::vector<Block> blocks_;
    // A chunk of ends that a reservation made holds only the ends it asked for, so
    // that a playlist of a known size takes no ends beyond its own; it grows to its
    // whole size, once, when more come.
    struct EndChunk {
        Ends ends;
        std::size_t capacity = 0;
        bool askedAhead = false;
    };
    std::vector<EndChunk> endChunks_;
    std::size_t count_ = 0;
    // Where the unfinished entry begins in the last block; equal to its `used` when
    // there is none.
    std::size_t partBegin_ = 0;
};

} // namespace tb
