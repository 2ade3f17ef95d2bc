#include "platform/Collation.h"

#include <unicode/ucol.h>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <vector>

namespace tb {

namespace {
UCollator* czechCollator(bool normalized) {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open("cs_CZ", &status);
    // As QCollator sets it up, so that both give one order.
    ucol_setAttribute(collator, UCOL_NORMALIZATION_MODE, normalized ? UCOL_ON : UCOL_OFF, &status);
    ucol_setAttribute(collator, UCOL_STRENGTH, UCOL_DEFAULT_STRENGTH, &status);
    ucol_setAttribute(collator, UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
    ucol_setAttribute(collator, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    if (U_FAILURE(status)) {
        ucol_close(collator);
        throw std::runtime_error("Czech collation is not available");
    }
    return collator;
}
} // namespace

struct CzechCollation::System {
    UCollator* normalized = czechCollator(true);
    // Texts below U+0300 are already in the form the collator needs (each character starts
    // its own cluster), and skipping its check makes their keys almost twice as fast.
    UCollator* plain = czechCollator(false);
    ~System() {
        ucol_close(normalized);
        ucol_close(plain);
    }
};

CzechCollation::CzechCollation() : system_(std::make_unique<System>()) {}
CzechCollation::~CzechCollation() = default;

void CzechCollation::appendKey(std::u16string_view text, std::string& key) {
    const bool plain =
        std::all_of(text.begin(), text.end(), [](char16_t unit) { return unit < 0x300; });
    UCollator* collator = plain ? system_->plain : system_->normalized;
    const auto* units = reinterpret_cast<const UChar*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    const std::size_t start = key.size();
    // Room for most keys at once: some two bytes a character and the level marks.
    std::size_t room = 16 + 2 * text.size();
    for (;;) {
        key.resize(start + room);
        const int32_t made =
            ucol_getSortKey(collator, units, length, reinterpret_cast<uint8_t*>(key.data() + start),
                            static_cast<int32_t>(room));
        if (made > 0 && static_cast<std::size_t>(made) <= room) {
            key.resize(start + static_cast<std::size_t>(made) - 1); // without the closing zero
            return;
        }
        room = static_cast<std::size_t>(made);
    }
}

AsciiCollation CzechCollation::asciiCollation() {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UCollator, decltype(&ucol_close)> primary(czechCollator(false), &ucol_close);
    ucol_setAttribute(primary.get(), UCOL_STRENGTH, UCOL_PRIMARY, &status);
    if (U_FAILURE(status))
        return {};
    const auto compare = [](UCollator* collator, std::u16string_view a, std::u16string_view b) {
        return ucol_strcoll(
            collator, reinterpret_cast<const UChar*>(a.data()), static_cast<int32_t>(a.size()),
            reinterpret_cast<const UChar*>(b.data()), static_cast<int32_t>(b.size()));
    };
    const auto isDigit = [](char16_t c) {
        return c >= u'0' && c <= u'9';
    };
    const auto isLetter = [](char16_t c) {
        return (c | 0x20) >= u'a' && (c | 0x20) <= u'z';
    };

    // Every character but the digits, "ch", and "5" standing for all numbers.
    std::vector<std::u16string> items;
    for (char16_t c = u' '; c <= u'~'; ++c)
        if (!isDigit(c))
            items.push_back({c});
    items.push_back(u"ch");
    items.push_back(u"5");
    std::stable_sort(items.begin(), items.end(), [&](const auto& a, const auto& b) {
        return compare(primary.get(), a, b) == UCOL_LESS;
    });
    AsciiCollation ascii;
    std::map<std::uint8_t, int> itemsOfRank;
    int rank = 1; // above the byte that ends the letters of a key
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i == 0 || compare(primary.get(), items[i - 1], items[i]) != UCOL_EQUAL)
            ++rank;
        if (rank > 0xFF)
            return {};
        const auto weight = static_cast<std::uint8_t>(rank);
        ++itemsOfRank[weight];
        if (items[i] == u"ch")
            ascii.chRank = weight;
        else if (items[i] == u"5")
            for (char16_t digit = u'0'; digit <= u'9'; ++digit)
                ascii.rank[digit - u' '] = weight;
        else
            ascii.rank[items[i][0] - u' '] = weight;
    }

    // What the keys made from these ranks take for granted, checked against the collator:
    // two characters share a rank only as a letter's two cases, lower case first; "ch" is
    // one letter between "h" and "i" with its four cases in order; a number holds its
    // place whatever its value, and leading zeros make no difference.
    bool holds = compare(primary.get(), u"h", u"ch") == UCOL_LESS &&
                 compare(primary.get(), u"ch", u"i") == UCOL_LESS && itemsOfRank[ascii.chRank] == 1;
    const std::u16string_view chCases[] = {u"ch", u"cH", u"Ch", u"CH"};
    for (std::size_t i = 1; i < 4; ++i)
        holds = holds && compare(system_->plain, chCases[i - 1], chCases[i]) == UCOL_LESS &&
                compare(primary.get(), chCases[i - 1], chCases[i]) == UCOL_EQUAL;
    holds = holds && compare(system_->plain, u"a007", u"a7") == UCOL_EQUAL;
    for (const std::u16string& item : items)
        holds = holds && (item == u"5" || compare(primary.get(), item, u"0") ==
                                              compare(primary.get(), item, u"99999"));
    for (char16_t c = u'A'; c <= u'Z'; ++c) {
        const std::u16string upper{c};
        const std::u16string lower{static_cast<char16_t>(c | 0x20)};
        holds = holds && ascii.rank[c - u' '] == ascii.rank[lower[0] - u' '] &&
                compare(system_->plain, lower, upper) == UCOL_LESS;
    }
    for (char16_t c = u' '; c <= u'~'; ++c)
        if (!isDigit(c))
            holds = holds && itemsOfRank[ascii.rank[c - u' ']] == (isLetter(c) ? 2 : 1);
    ascii.usable = holds;
    return ascii;
}

} // namespace tb
