#pragma once

#include "playlist/PlaylistItem.h"
#include "playlist/store/PackedBytes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace tb {

// The playlist's entries as raw bytes, each with the path of the file it came from
// (bytes as well, empty where it is not known) and, for an entry read from a playlist
// of today's players, what that playlist said of it (title, artist, length). Paths
// and what came with an entry are kept beside the texts in a second store, that
// holds nothing for the entries at its end that have neither: a playlist without
// them takes no byte more, and one with paths its paths' bytes and one end each.
//
// A reordered store keeps its bytes where they are and holds the new order instead,
// four bytes an entry, for the rows it changed; entries appended later keep their
// places. Copies share the order as they share the bytes.
class EntryStore {
public:
    std::size_t size() const { return texts_.size(); }
    bool empty() const { return texts_.empty(); }

    std::string_view at(std::size_t index) const { return texts_.at(stored(index)); }
    // The path of the entry's file; empty where it is not known.
    std::string_view file(std::size_t index) const {
        const std::string_view side = sideAt(index);
        return side == kFileIsText ? at(index) : side.substr(0, side.find('\0'));
    }
    // Whether the entry came with a title, an artist or a length from a playlist.
    bool hasInfo(std::size_t index) const {
        const std::string_view side = sideAt(index);
        return side != kFileIsText && side.find('\0') != std::string_view::npos;
    }
    // The entry whole: its text, file and what came with it.
    PlaylistItem item(std::size_t index) const;
    // The bytes kept beside the entry (its path and what came with it) exactly as
    // appendWithSide takes them back: the playlist is kept between runs in this form.
    std::string_view side(std::size_t index) const { return sideAt(index); }
    // An entry with bytes that side() gave. False, and nothing appended, where they cannot
    // be such bytes, as when read from a damaged file.
    bool appendWithSide(std::string_view entry, std::string_view side);

    // A path holds no NUL byte: a name on disk cannot. The file may be empty.
    void append(std::string_view entry, std::string_view file = {});
    // An entry read from a playlist, with its file and what the playlist said of it.
    void appendItem(const PlaylistItem& item);
    // The bytes that appendItem keeps beside the item's text (its path, and what came
    // with it), as reserveMore takes them for a run of items.
    static std::size_t sideBytes(const PlaylistItem& item);
    // Appends many at once: room is made once, and then each entry costs its copy.
    // `files` is empty or holds one path per entry. It may be `entries` itself, for
    // entries that are their files' paths: those then take one byte more, not their
    // bytes again.
    void appendAll(const std::vector<std::string_view>& entries,
                   const std::vector<std::string_view>& files = {});
    // The start of an entry whose bytes come in parts: the next entry appended
    // begins with them. Until then they belong to no entry.
    void appendPart(std::string_view part) { texts_.appendPart(part); }
    void discardPart() { texts_.discardPart(); }
    // Entries read straight into the store, without files; see PackedBytes::readRoom.
    char* readRoom(std::size_t bytes) { return texts_.readRoom(bytes); }
    void appendAllRead(const std::vector<std::string_view>& entries, std::string_view open) {
        texts_.appendAllRead(entries, open);
    }
    // Makes room for this many more entries holding this many more bytes, so that
    // appending them allocates nothing and cannot fail; `fileBytes` for their paths.
    void reserveMore(std::size_t entries, std::size_t bytes, std::size_t fileBytes = 0);
    void clear();

    // Keeps the entries whose flag is false, in their order; `remove` has one flag
    // per entry. Returns how many were removed. An unfinished entry's parts go.
    std::size_t removeFlagged(const std::vector<bool>& remove);

    // The entries in row order but those flagged, in a store of their own: a removal
    // that copies only what it keeps, leaving this store as it was for a copy that
    // shares it.
    EntryStore withoutFlagged(const std::vector<bool>& leaveOut) const;

    // Puts the entries in a new order: row i gets the entry that was at rows[i].
    // `rows` holds each row of the store once; anything else is refused, and the
    // store stays as it was. No entry's bytes move.
    void reorder(const std::vector<std::uint32_t>& rows);
    // Whether the entries stand in another order than they were appended in.
    bool reordered() const { return order_ != nullptr; }

    // The memory taken, in bytes.
    std::size_t allocatedBytes() const {
        return texts_.allocatedBytes() + sides_.allocatedBytes() + orderBytes();
    }
    // The memory taken that `other` does not share: what keeping this store beside
    // it costs, as the undo history keeps earlier states of the playlist.
    std::size_t bytesNotSharedWith(const EntryStore& other) const;
    // A copy, as a save on another thread takes the playlist; see PackedBytes::copy.
    EntryStore copy() const {
        EntryStore copied;
        copied.texts_ = texts_.copy();
        copied.sides_ = sides_.copy();
        copied.order_ = order_;
        return copied;
    }

private:
    // Where the entry at this row is kept: rows past the reordered ones keep theirs.
    std::size_t stored(std::size_t row) const {
        return order_ && row < order_->size() ? (*order_)[row] : row;
    }
    std::size_t orderBytes() const {
        return order_ ? order_->capacity() * sizeof(std::uint32_t) : 0;
    }

    // The side of an entry whose file is its own text. No other side is one NUL alone:
    // what came with an entry brings its numbers after the NUL.
    static constexpr std::string_view kFileIsText{"\0", 1};

    std::string_view sideAt(std::size_t row) const {
        const std::size_t index = stored(row);
        return index < sides_.size() ? sides_.at(index) : std::string_view();
    }
    // Empty sides for the entries before `entries` that have none yet.
    void fillSidesUpTo(std::size_t entries);

    PackedBytes texts_;
    // For each entry from the first up to the last that has a file or info: its path,
    // then, where info came with it, a NUL and the info (see EntryStore.cpp).
    PackedBytes sides_;
    // For each of the first rows, where its entry is kept; null in append order. Never
    // changed once made, so copies share it.
    std::shared_ptr<const std::vector<std::uint32_t>> order_;
};

} // namespace tb
