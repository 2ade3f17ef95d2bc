#pragma once

#include "playlist/store/EntryStore.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace tb {

// An entry's text and side bytes as one number, for finding it again among others; equal
// numbers are only a hint, the bytes decide.
std::uint64_t entryHash(std::string_view text, std::string_view side);

// The rows of a kept playlist, each with the id its entry is kept under.
struct KeptRows {
    EntryStore entries;
    std::vector<std::uint32_t> ids; // per row
};

// How a new state of the playlist is made of the kept one.
struct RowMatch {
    std::vector<std::uint32_t> ids;     // per row of the new state
    std::vector<std::size_t> added;     // rows whose entries the kept state does not hold
    std::vector<std::uint32_t> removed; // ids of kept entries that the new state lost
};

// Finds each entry of `next` among the kept ones, so that a change costs what it brought:
// rows that share their bytes with the kept state (as copies of the playlist do, and so
// every reordering, undo and redo) are matched by address without reading them, the
// rest by their bytes. Equal entries are
// interchangeable, since only their bytes and order are kept. New entries take ids
// from `nextId` on.
RowMatch matchRows(const KeptRows& kept, const EntryStore& next, std::uint32_t& nextId);

} // namespace tb
