#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tb {

// Writes the text an item sorts by, as UTF-16, and for a sort by two texts the second,
// which orders items whose first texts are equal. Called from several threads at once.
using SortTexts =
    std::function<void(std::size_t index, std::u16string& first, std::u16string& second)>;

struct CollatedOrderRun {
    bool twoTexts = false;
    unsigned threads = 1;
    const std::atomic<bool>* cancelled = nullptr;
    std::atomic<std::size_t>* done = nullptr; // counts the items whose keys are made
    // Called first on each thread the order starts, to set it up (its priority).
    std::function<void()> threadStart;
    // Orders items whose texts collate equal; by index where not given.
    std::function<bool(std::uint32_t, std::uint32_t)> tieLess;
};

// The indices 0 to count - 1 in Czech order of their texts (see CzechCollation); empty
// when cancelled.
std::vector<std::uint32_t> collatedOrder(std::size_t count, const SortTexts& texts,
                                         const CollatedOrderRun& run);

} // namespace tb
