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

RowMatch matchRows(const KeptRows& kept, const EntryStore& next, std::uint32_t& nextId) {
    const std::size_t oldCount = kept.entries.size();
    const std::size_t newCount = next.size();
    RowMatch match;
    match.ids.resize(newCount);
    match.hashes.resize(newCount);
    const auto take = [&](std::size_t row, std::size_t keptRow) {
        match.ids[row] = kept.ids[keptRow];
        match.hashes[row] = kept.hashes[keptRow];
    };

    std::size_t prefix = 0;
    while (prefix < oldCount && prefix < newCount &&
           sameEntry(kept.entries, prefix, next, prefix)) {
        take(prefix, prefix);
        ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix < oldCount - prefix && suffix < newCount - prefix &&
           sameEntry(kept.entries, oldCount - 1 - suffix, next, newCount - 1 - suffix)) {
        take(newCount - 1 - suffix, oldCount - 1 - suffix);
        ++suffix;
    }

    // The rest by their bytes: the kept rows sorted by hash, each taken once.
    std::vector<std::pair<std::uint64_t, std::size_t>> candidates;
    candidates.reserve(oldCount - prefix - suffix);
    for (std::size_t row = prefix; row < oldCount - suffix; ++row)
        candidates.emplace_back(kept.hashes[row], row);
    std::sort(candidates.begin(), candidates.end());
    std::vector<bool> used(candidates.size(), false);
    // Where the first unused candidate of a run of equal hashes may be, kept at the run's
    // first place, so that many equal entries are matched in linear time.
    std::vector<std::size_t> firstFree(candidates.size());
    for (std::size_t i = 0; i < candidates.size(); ++i)
        firstFree[i] = i;

    for (std::size_t row = prefix; row < newCount - suffix; ++row) {
        const std::uint64_t hash = entryHash(next.at(row), next.side(row));
        match.hashes[row] = hash;
        auto run = std::lower_bound(candidates.begin(), candidates.end(),
                                    std::pair<std::uint64_t, std::size_t>(hash, 0));
        const auto runStart = static_cast<std::size_t>(run - candidates.begin());
        bool found = false;
        for (std::size_t i = runStart < candidates.size() ? firstFree[runStart] : runStart;
             i < candidates.size() && candidates[i].first == hash; ++i) {
            if (used[i] || !equalEntry(kept.entries, candidates[i].second, next, row))
                continue;
            used[i] = true;
            if (i == firstFree[runStart])
                firstFree[runStart] = i + 1;
            take(row, candidates[i].second);
            match.hashes[row] = hash;
            found = true;
            break;
        }
        if (!found) {
            match.ids[row] = nextId++;
            match.added.push_back(row);
        }
    }
    for (std::size_t i = 0; i < candidates.size(); ++i)
        if (!used[i])
            match.removed.push_back(kept.ids[candidates[i].second]);
    return match;
}

} // namespace tb
