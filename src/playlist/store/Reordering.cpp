#include "playlist/store/Reordering.h"

#include <numeric>
#include <random>
#include <utility>

namespace tb {

namespace {
std::vector<std::uint32_t> identity(std::size_t count) {
    std::vector<std::uint32_t> rows(count);
    std::iota(rows.begin(), rows.end(), std::uint32_t{0});
    return rows;
}

std::optional<Rearrangement> unlessUnchanged(Rearrangement moved) {
    for (std::size_t row = 0; row < moved.rows.size(); ++row) {
        if (moved.rows[row] != row)
            return moved;
    }
    return std::nullopt;
}

// The unselected rows before `row`, the selected ones, and the unselected rest.
Rearrangement gatheredBefore(const std::vector<bool>& selected, std::size_t row) {
    Rearrangement moved;
    moved.rows.reserve(selected.size());
    for (std::size_t old = 0; old < row; ++old) {
        if (!selected[old])
            moved.rows.push_back(static_cast<std::uint32_t>(old));
    }
    const std::size_t firstMoved = moved.rows.size();
    for (std::size_t old = 0; old < selected.size(); ++old) {
        if (selected[old])
            moved.rows.push_back(static_cast<std::uint32_t>(old));
    }
    const std::size_t pastMoved = moved.rows.size();
    for (std::size_t old = row; old < selected.size(); ++old) {
        if (!selected[old])
            moved.rows.push_back(static_cast<std::uint32_t>(old));
    }
    moved.selected.assign(selected.size(), false);
    std::fill(moved.selected.begin() + static_cast<std::ptrdiff_t>(firstMoved),
              moved.selected.begin() + static_cast<std::ptrdiff_t>(pastMoved), true);
    return moved;
}
} // namespace

std::optional<Rearrangement> movedUp(const std::vector<bool>& selected) {
    Rearrangement moved{identity(selected.size()), selected};
    // A selected run swaps with the one unselected entry above it, one entry at a time.
    for (std::size_t row = 1; row < selected.size(); ++row) {
        if (moved.selected[row] && !moved.selected[row - 1]) {
            std::swap(moved.rows[row], moved.rows[row - 1]);
            moved.selected[row] = false;
            moved.selected[row - 1] = true;
        }
    }
    return unlessUnchanged(std::move(moved));
}

std::optional<Rearrangement> movedDown(const std::vector<bool>& selected) {
    Rearrangement moved{identity(selected.size()), selected};
    for (std::size_t row = selected.size(); row-- > 1;) {
        if (moved.selected[row - 1] && !moved.selected[row]) {
            std::swap(moved.rows[row], moved.rows[row - 1]);
            moved.selected[row - 1] = false;
            moved.selected[row] = true;
        }
    }
    return unlessUnchanged(std::move(moved));
}

std::optional<Rearrangement> movedToTop(const std::vector<bool>& selected) {
    return unlessUnchanged(gatheredBefore(selected, 0));
}

std::optional<Rearrangement> movedToBottom(const std::vector<bool>& selected) {
    return unlessUnchanged(gatheredBefore(selected, selected.size()));
}

std::optional<Rearrangement> movedBefore(const std::vector<bool>& selected, std::size_t row) {
    return unlessUnchanged(gatheredBefore(selected, std::min(row, selected.size())));
}

std::vector<std::uint32_t> rowsToShape(const std::vector<bool>& selected) {
    std::vector<std::uint32_t> rows;
    for (std::size_t row = 0; row < selected.size() && rows.size() < 2; ++row) {
        if (selected[row])
            rows.push_back(static_cast<std::uint32_t>(row));
    }
    if (rows.size() < 2)
        return identity(selected.size());
    rows.clear();
    for (std::size_t row = 0; row < selected.size(); ++row) {
        if (selected[row])
            rows.push_back(static_cast<std::uint32_t>(row));
    }
    return rows;
}

std::vector<std::uint32_t> placedIn(std::size_t count, const std::vector<std::uint32_t>& places,
                                    const std::vector<std::uint32_t>& shaped) {
    std::vector<std::uint32_t> rows = identity(count);
    for (std::size_t i = 0; i < places.size(); ++i)
        rows[places[i]] = shaped[i];
    return rows;
}

std::vector<std::uint32_t> reversedRows(const std::vector<bool>& selected) {
    const std::vector<std::uint32_t> places = rowsToShape(selected);
    return placedIn(selected.size(), places, {places.rbegin(), places.rend()});
}

std::vector<std::uint32_t> shuffledRows(const std::vector<bool>& selected, std::uint64_t seed) {
    const std::vector<std::uint32_t> places = rowsToShape(selected);
    std::vector<std::uint32_t> shuffled = places;
    std::mt19937_64 random(seed);
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    return placedIn(selected.size(), places, shuffled);
}

std::vector<bool> laterDuplicates(std::size_t count,
                                  const std::function<std::string_view(std::size_t)>& keyOf) {
    // Rows sorted by their keys' hashes bring equal keys together: for a million keys
    // that is several times quicker than a hash set, whose every insert misses the cache.
    std::vector<std::pair<std::size_t, std::uint32_t>> hashed(count);
    for (std::size_t row = 0; row < count; ++row)
        hashed[row] = {std::hash<std::string_view>{}(keyOf(row)), static_cast<std::uint32_t>(row)};
    std::sort(hashed.begin(), hashed.end());
    std::vector<bool> duplicate(count);
    std::vector<std::uint32_t> firsts; // the first row of each key met under one hash
    for (std::size_t begin = 0; begin < count;) {
        std::size_t end = begin + 1;
        while (end < count && hashed[end].first == hashed[begin].first)
            ++end;
        firsts.assign(1, hashed[begin].second);
        for (std::size_t i = begin + 1; i < end; ++i) { // ascending rows
            const std::uint32_t row = hashed[i].second;
            const std::string_view key = keyOf(row);
            const bool seen = std::any_of(firsts.begin(), firsts.end(),
                                          [&](std::uint32_t first) { return keyOf(first) == key; });
            duplicate[row] = seen;
            if (!seen)
                firsts.push_back(row);
        }
        begin = end;
    }
    return duplicate;
}

} // namespace tb
