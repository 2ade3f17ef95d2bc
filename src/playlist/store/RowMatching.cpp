#include "playlist/store/RowMatching.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace tb {

std::uint64_t entryHash(std::string_view text, std::string_view side) {
    const std::hash<std::string_view> hash;
    // The side's number is mixed in by an odd multiplier, so that text and side
    // swapped do not give the same value.
    return hash(text) ^ (hash(side) * 0x9E3779B97F4A7C15ULL + side.size());
}

namespace {

// The same view of the same live bytes: the same entry, without reading it.
bool sameBytes(std::string_view a, std::string_view b) {
    return a.size() == b.size() && (a.empty() || a.data() == b.data());
}

bool sameEntry(const EntryStore& a, std::size_t row, const EntryStore& b, std::size_t other) {
    return sameBytes(a.at(row), b.at(other)) && sameBytes(a.side(row), b.side(other));
}

bool equalEntry(const EntryStore& a, std::size_t row, const EntryStore& b, std::size_t other) {
    return a.at(row) == b.at(other) && a.side(row) == b.side(other);
}

} // namespace

namespace {
// Rows still to be matched, each with a key, sorted by it.
using Keyed = std::vector<std::pair<std::uint64_t, std::size_t>>;

std::uint64_t addressKey(const EntryStore& store, std::size_t row) {
    return reinterpret_cast<std::uintptr_t>(store.at(row).data());
}

// Matches each of `rows` of `next` to an unused kept row of the same key for which
// `same` holds; what stays unmatched is left in `rows`, and `used` marks the kept rows
// taken. Runs of equal keys keep where their first unused row may be, so that many equal
// entries are matched in linear time.
template <typename Key, typename Same>
void matchByKey(const Keyed& candidates, std::vector<bool>& used, std::vector<std::size_t>& rows,
                Key key, Same same, const std::function<void(std::size_t, std::size_t)>& take) {
    std::vector<std::size_t> firstFree(candidates.size());
    for (std::size_t i = 0; i < candidates.size(); ++i)
        firstFree[i] = i;
    std::vector<std::size_t> unmatched;
    for (const std::size_t row : rows) {
        const std::uint64_t wanted = key(row);
        const auto run = static_cast<std::size_t>(
            std::lower_bound(candidates.begin(), candidates.end(),
                             std::pair<std::uint64_t, std::size_t>(wanted, 0)) -
            candidates.begin());
        bool found = false;
        for (std::size_t i = run < candidates.size() ? firstFree[run] : run;
             i < candidates.size() && candidates[i].first == wanted; ++i) {
            if (used[i] || !same(candidates[i].second, row))
                continue;
            used[i] = true;
            if (i == firstFree[run])
                firstFree[run] = i + 1;
            take(row, candidates[i].second);
            found = true;
            break;
        }
        if (!found)
            unmatched.push_back(row);
    }
    rows = std::move(unmatched);
}
} // namespace

RowMatch matchRows(const KeptRows& kept, const EntryStore& next, std::uint32_t& nextId) {
    const EntryStore& old = kept.entries;
    const std::size_t oldCount = old.size();
    const std::size_t newCount = next.size();
    RowMatch match;
    match.ids.resize(newCount);
    std::vector<bool> keptTaken(oldCount, false);
    const std::function<void(std::size_t, std::size_t)> take = [&](std::size_t row,
                                                                   std::size_t keptRow) {
        match.ids[row] = kept.ids[keptRow];
        keptTaken[keptRow] = true;
    };

    std::size_t prefix = 0;
    while (prefix < oldCount && prefix < newCount && sameEntry(old, prefix, next, prefix)) {
        take(prefix, prefix);
        ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix < oldCount - prefix && suffix < newCount - prefix &&
           sameEntry(old, oldCount - 1 - suffix, next, newCount - 1 - suffix)) {
        take(newCount - 1 - suffix, oldCount - 1 - suffix);
        ++suffix;
    }
    std::vector<std::size_t> rows;
    rows.reserve(newCount - prefix - suffix);
    for (std::size_t row = prefix; row < newCount - suffix; ++row)
        rows.push_back(row);

    // The kept rows not yet taken, keyed one way and then another.
    const auto candidatesBy = [&](auto key) {
        Keyed candidates;
        for (std::size_t row = prefix; row < oldCount - suffix; ++row)
            if (!keptTaken[row])
                candidates.emplace_back(key(old, row), row);
        std::sort(candidates.begin(), candidates.end());
        return candidates;
    };
    if (!rows.empty()) {
        const Keyed byAddress = candidatesBy(addressKey);
        std::vector<bool> used(byAddress.size(), false);
        matchByKey(
            byAddress, used, rows, [&](std::size_t row) { return addressKey(next, row); },
            [&](std::size_t keptRow, std::size_t row) {
                return sameEntry(old, keptRow, next, row);
            },
            take);
    }
    if (!rows.empty()) {
        const auto contentKey = [](const EntryStore& store, std::size_t row) {
            return entryHash(store.at(row), store.side(row));
        };
        const Keyed byContent = candidatesBy(contentKey);
        std::vector<bool> used(byContent.size(), false);
        matchByKey(
            byContent, used, rows, [&](std::size_t row) { return contentKey(next, row); },
            [&](std::size_t keptRow, std::size_t row) {
                return equalEntry(old, keptRow, next, row);
            },
            take);
    }
    for (const std::size_t row : rows) {
        match.ids[row] = nextId++;
        match.added.push_back(row);
    }
    for (std::size_t row = prefix; row < oldCount - suffix; ++row)
        if (!keptTaken[row])
            match.removed.push_back(kept.ids[row]);
    return match;
}

} // namespace tb
