#include "filetools/CollatedOrder.h"

#include "platform/Collation.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>
#include <thread>

namespace tb {

namespace {

// Each item's key is made once but kept only in part: 24 bytes from where the keys start
// to differ, as three integers, with the key's place against a reference key. A million
// whole keys would take more memory than the playlist itself; two items whose parts are
// alike have their keys made again, which names that share 24 key bytes past their common
// start seldom need.
constexpr std::size_t kWords = 3;
constexpr std::size_t kKept = kWords * 8;

struct Record {
    std::uint64_t words[kWords]; // key bytes from `depth`, big-endian, zero past the end
    std::uint32_t index;
    std::uint16_t depth; // the key agrees with the reference up to here
    std::uint16_t rest;  // key bytes from `depth`, at most 0xFFFF
};

// What one thread needs to make keys.
struct Maker {
    const SortTexts& texts;
    bool twoTexts;
    CzechCollation collation;
    std::u16string first;
    std::u16string second;

    void key(std::size_t index, std::string& key) {
        first.clear();
        second.clear();
        texts(index, first, second);
        key.clear();
        collation.appendKey(first, key);
        if (twoTexts) {
            key.push_back('\0'); // below every key byte: a shorter first text comes first
            collation.appendKey(second, key);
        }
    }
};

std::size_t commonLength(std::string_view a, std::string_view b) {
    const auto differ = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return static_cast<std::size_t>(differ.first - a.begin());
}

struct Keys {
    std::string reference;
    std::size_t depth = 0; // the keys of a sample agree with the reference up to here

    Record record(std::uint32_t index, std::string_view key) const {
        Record made{};
        const std::size_t from = std::min(depth, commonLength(key, reference));
        made.index = index;
        made.depth = static_cast<std::uint16_t>(from);
        made.rest = static_cast<std::uint16_t>(
            std::min<std::size_t>(key.size() - from, std::numeric_limits<std::uint16_t>::max()));
        for (std::size_t i = 0; i < kKept && from + i < key.size(); ++i)
            made.words[i / 8] |= std::uint64_t{static_cast<unsigned char>(key[from + i])}
                                 << (56 - 8 * (i % 8));
        return made;
    }
};

class Comparer {
public:
    Comparer(const Keys& keys, const SortTexts& texts, const CollatedOrderRun& run)
        : keys_(keys), run_(run), maker_{texts, run.twoTexts, {}, {}, {}} {}

    bool operator()(const Record& a, const Record& b) {
        if (a.depth != b.depth) {
            // The one that agrees longer with the reference has its byte where the other
            // parts from it.
            if (a.depth > b.depth)
                return byteAt(keys_.reference, b.depth) < (b.words[0] >> 56);
            return (a.words[0] >> 56) < byteAt(keys_.reference, a.depth);
        }
        for (std::size_t i = 0; i < kWords; ++i)
            if (a.words[i] != b.words[i])
                return a.words[i] < b.words[i];
        int order = 0;
        if (a.rest <= kKept && b.rest <= kKept) {
            order = a.rest - b.rest;
        } else {
            maker_.key(a.index, keyA_);
            maker_.key(b.index, keyB_);
            order = keyA_.compare(keyB_);
        }
        if (order != 0)
            return order < 0;
        return run_.tieLess ? run_.tieLess(a.index, b.index) : a.index < b.index;
    }

private:
    static std::uint64_t byteAt(const std::string& key, std::size_t at) {
        return static_cast<unsigned char>(key[at]);
    }

    const Keys& keys_;
    const CollatedOrderRun& run_;
    Maker maker_;
    std::string keyA_;
    std::string keyB_;
};

bool cancelled(const CollatedOrderRun& run) {
    return run.cancelled && run.cancelled->load(std::memory_order_relaxed);
}

// Runs work(part) for parts 0 to parts - 1, each on its own thread but the first.
template <typename Work>
void onThreads(const CollatedOrderRun& run, std::size_t parts, const Work& work) {
    std::vector<std::thread> helpers;
    for (std::size_t part = 1; part < parts; ++part)
        helpers.emplace_back([&run, &work, part] {
            if (run.threadStart)
                run.threadStart();
            work(part);
        });
    if (parts > 0)
        work(0);
    for (std::thread& helper : helpers)
        helper.join();
}

} // namespace

std::vector<std::uint32_t> collatedOrder(std::size_t count, const SortTexts& texts,
                                         const CollatedOrderRun& run) {
    // Fewer items than this in a part are not worth a thread of their own.
    constexpr std::size_t kItemsWorthAThread = 1000;
    const std::size_t parts =
        std::clamp<std::size_t>(count / kItemsWorthAThread, 1, std::max(1U, run.threads));

    // Where the keys start to differ, from a sample spread over the items.
    Keys keys;
    {
        constexpr std::size_t kSample = 64;
        Maker maker{texts, run.twoTexts, {}, {}, {}};
        std::string key;
        const std::size_t step = std::max<std::size_t>(1, count / kSample);
        for (std::size_t index = 0; index < count; index += step) {
            maker.key(index, key);
            if (index == 0) {
                keys.reference = key;
                keys.depth = std::min<std::size_t>(key.size(), 0xFFFF);
            } else {
                keys.depth = std::min(keys.depth, commonLength(key, keys.reference));
            }
        }
    }

    std::vector<Record> records(count);
    const std::size_t partSize = (count + parts - 1) / parts;
    onThreads(run, parts, [&](std::size_t part) {
        Maker maker{texts, run.twoTexts, {}, {}, {}};
        std::string key;
        const std::size_t end = std::min(count, (part + 1) * partSize);
        for (std::size_t index = part * partSize; index < end; ++index) {
            if (cancelled(run))
                return;
            maker.key(index, key);
            records[index] = keys.record(static_cast<std::uint32_t>(index), key);
            if (run.done)
                run.done->fetch_add(1, std::memory_order_relaxed);
        }
    });
    if (cancelled(run))
        return {};

    // Each part sorted on its own thread, then merged.
    std::vector<std::unique_ptr<Comparer>> comparers;
    for (std::size_t part = 0; part < parts; ++part)
        comparers.push_back(std::make_unique<Comparer>(keys, texts, run));
    onThreads(run, parts, [&](std::size_t part) {
        const auto begin = records.begin() + static_cast<std::ptrdiff_t>(part * partSize);
        const auto end =
            records.begin() + static_cast<std::ptrdiff_t>(std::min(count, (part + 1) * partSize));
        std::sort(begin, end,
                  [&](const Record& a, const Record& b) { return (*comparers[part])(a, b); });
    });
    std::vector<std::uint32_t> order;
    order.reserve(count);
    std::vector<std::size_t> next(parts);
    for (std::size_t part = 0; part < parts; ++part)
        next[part] = part * partSize;
    Comparer& comparer = *comparers[0];
    while (order.size() < count) {
        std::size_t best = parts;
        for (std::size_t part = 0; part < parts; ++part) {
            if (next[part] == std::min(count, (part + 1) * partSize))
                continue;
            if (best == parts || comparer(records[next[part]], records[next[best]]))
                best = part;
        }
        order.push_back(records[next[best]++].index);
    }
    return order;
}

} // namespace tb
