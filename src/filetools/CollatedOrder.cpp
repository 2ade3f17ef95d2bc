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

// Keys for texts of printable ASCII alone, made without the collator and some ten times
// faster: each letter's rank (a number as the rank of numbers, its count of digits
// without leading zeros and those digits), then, where any letter is a capital, the
// case of each letter. Such keys order such texts as the collator's keys do (asciiCollation
// checks what that rests on) but cannot be compared with them. False, with nothing
// appended, for any other text.
bool appendAsciiKey(const AsciiCollation& ascii, std::u16string_view text, std::string& key) {
    const auto isDigit = [](char16_t c) {
        return c >= u'0' && c <= u'9';
    };
    const auto isCapital = [](char16_t c) {
        return c >= u'A' && c <= u'Z';
    };
    const std::size_t start = key.size();
    const std::size_t length = text.size();
    const char16_t* const units = text.data();
    // Written in place: a number takes at most three bytes a digit, any other character
    // one, and a letter one more for its case.
    key.resize(start + 4 * length + 1);
    char* out = key.data() + start;
    bool capitals = false;
    for (std::size_t i = 0; i < length;) {
        const char16_t c = units[i];
        if (c < u' ' || c > u'~') {
            key.resize(start);
            return false;
        }
        if (isDigit(c)) {
            std::size_t end = i + 1;
            while (end < length && isDigit(units[end]))
                ++end;
            while (i + 1 < end && units[i] == u'0')
                ++i;
            if (end - i > 254) { // the collator splits longer numbers
                key.resize(start);
                return false;
            }
            *out++ = static_cast<char>(ascii.rank[c - u' ']);
            *out++ = static_cast<char>(1 + (end - i));
            for (; i < end; ++i)
                *out++ = static_cast<char>(units[i]);
            continue;
        }
        capitals = capitals || isCapital(c);
        if ((c | 0x20) == u'c' && i + 1 < length && (units[i + 1] | 0x20) == u'h') {
            capitals = capitals || units[i + 1] == u'H';
            *out++ = static_cast<char>(ascii.chRank);
            i += 2;
        } else {
            *out++ = static_cast<char>(ascii.rank[c - u' ']);
            ++i;
        }
    }
    if (capitals) {
        // Texts with the same letters have them in the same places: their cases alone tell
        // them apart, lower case the lowest, which is left off the end.
        *out++ = '\x01';
        char* end = out;
        for (std::size_t i = 0; i < length; ++i) {
            const char16_t c = units[i];
            if ((c | 0x20) == u'c' && i + 1 < length && (units[i + 1] | 0x20) == u'h') {
                *out++ = static_cast<char>(2 + 2 * isCapital(c) + isCapital(units[i + 1]));
                ++i;
            } else if ((c | 0x20) >= u'a' && (c | 0x20) <= u'z') {
                *out++ = static_cast<char>(2 + isCapital(c));
            } else {
                continue;
            }
            if (out[-1] != 2)
                end = out;
        }
        out = end;
    }
    key.resize(static_cast<std::size_t>(out - key.data()));
    return true;
}

// What one thread needs to make keys.
struct Maker {
    const SortTexts& texts;
    bool twoTexts;
    const AsciiCollation* ascii; // the faster keys for this run's texts, if all are ASCII
    CzechCollation collation;
    std::u16string first;
    std::u16string second;

    // False where the keys of this run are the faster ones and a text is not ASCII.
    bool key(std::size_t index, std::string& key) {
        first.clear();
        second.clear();
        texts(index, first, second);
        key.clear();
        if (!appendKey(first, key))
            return false;
        if (twoTexts) {
            key.push_back('\0'); // below every key byte: a shorter first text comes first
            return appendKey(second, key);
        }
        return true;
    }

private:
    bool appendKey(std::u16string_view text, std::string& key) {
        if (ascii)
            return appendAsciiKey(*ascii, text, key);
        collation.appendKey(text, key);
        return true;
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
    Comparer(const Keys& keys, const SortTexts& texts, const CollatedOrderRun& run,
             const AsciiCollation* ascii)
        : keys_(keys), run_(run), maker_{texts, run.twoTexts, ascii, {}, {}, {}} {}

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

    // The faster keys are tried first; the first text they cannot take sends the whole run
    // to the collator's.
    AsciiCollation ascii = CzechCollation().asciiCollation();
    Keys keys;
    // Left unset: each part's thread writes its own records, so the page faults of their
    // fresh memory are taken on every core, not all on this one.
    const auto records = std::make_unique_for_overwrite<Record[]>(count);
    const std::size_t partSize = (count + parts - 1) / parts;
    const auto makeRecords = [&](const AsciiCollation* fast) {
        // Where the keys start to differ, from a sample spread over the items.
        constexpr std::size_t kSample = 64;
        Maker maker{texts, run.twoTexts, fast, {}, {}, {}};
        std::string key;
        const std::size_t step = std::max<std::size_t>(1, count / kSample);
        for (std::size_t index = 0; index < count; index += step) {
            if (!maker.key(index, key))
                return false;
            if (index == 0) {
                keys.reference = key;
                keys.depth = std::min<std::size_t>(key.size(), 0xFFFF);
            } else {
                keys.depth = std::min(keys.depth, commonLength(key, keys.reference));
            }
        }
        std::atomic<bool> failed{false};
        std::atomic<std::size_t> made{0};
        onThreads(run, parts, [&](std::size_t part) {
            Maker maker{texts, run.twoTexts, fast, {}, {}, {}};
            std::string key;
            const std::size_t end = std::min(count, (part + 1) * partSize);
            for (std::size_t index = part * partSize; index < end; ++index) {
                if (cancelled(run) || failed.load(std::memory_order_relaxed))
                    return;
                if (!maker.key(index, key)) {
                    failed = true;
                    return;
                }
                records[index] = keys.record(static_cast<std::uint32_t>(index), key);
                made.fetch_add(1, std::memory_order_relaxed);
                if (run.done)
                    run.done->fetch_add(1, std::memory_order_relaxed);
            }
        });
        if (failed && run.done)
            run.done->fetch_sub(made); // counted again by the next try
        return !failed;
    };
    if (!ascii.usable || !makeRecords(&ascii)) {
        ascii.usable = false;
        makeRecords(nullptr);
    }
    if (cancelled(run))
        return {};

    // Each part sorted on its own thread, then merged.
    std::vector<std::unique_ptr<Comparer>> comparers;
    for (std::size_t part = 0; part < parts; ++part)
        comparers.push_back(
            std::make_unique<Comparer>(keys, texts, run, ascii.usable ? &ascii : nullptr));
    onThreads(run, parts, [&](std::size_t part) {
        Record* const begin = records.get() + part * partSize;
        Record* const end = records.get() + std::min(count, (part + 1) * partSize);
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
