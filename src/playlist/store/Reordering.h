#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace tb {

// A new order of a list's rows: new row i shows the entry that was at rows[i], and
// `selected` says which of the new rows are selected.
struct Rearrangement {
    std::vector<std::uint32_t> rows;
    std::vector<bool> selected;
};

// `selected` has one flag per row. Each returns nothing where no entry would move.

// Each selected entry one place up, past the unselected neighbour above it; selected
// entries already at the top stay there.
std::optional<Rearrangement> movedUp(const std::vector<bool>& selected);
std::optional<Rearrangement> movedDown(const std::vector<bool>& selected);
// The selected entries, in their order, to the top or to the bottom.
std::optional<Rearrangement> movedToTop(const std::vector<bool>& selected);
std::optional<Rearrangement> movedToBottom(const std::vector<bool>& selected);
// The selected entries, in their order, where a drag dropped them: before the entry at
// `row`, or at the end where `row` is the row count.
std::optional<Rearrangement> movedBefore(const std::vector<bool>& selected, std::size_t row);

// The rows a sort, a reversal or a shuffle acts on: the selected ones where more than
// one is selected, else all, ascending.
std::vector<std::uint32_t> rowsToShape(const std::vector<bool>& selected);
// The order in which the rows to shape take the entries `shaped` (those rows in their
// new order), every other row keeping its entry.
std::vector<std::uint32_t> placedIn(std::size_t count, const std::vector<std::uint32_t>& places,
                                    const std::vector<std::uint32_t>& shaped);

std::vector<std::uint32_t> reversedRows(const std::vector<bool>& selected);
std::vector<std::uint32_t> shuffledRows(const std::vector<bool>& selected, std::uint64_t seed);
// The rows to shape sorted by less(rowA, rowB), keeping the order of equal ones.
template <typename Less>
std::vector<std::uint32_t> sortedRows(const std::vector<bool>& selected, Less less) {
    const std::vector<std::uint32_t> places = rowsToShape(selected);
    std::vector<std::uint32_t> sorted = places;
    std::stable_sort(sorted.begin(), sorted.end(), less);
    return placedIn(selected.size(), places, sorted);
}

// One flag per row, true for each row whose key an earlier row has already.
std::vector<bool> laterDuplicates(std::size_t count,
                                  const std::function<std::string_view(std::size_t)>& keyOf);

} // namespace tb
