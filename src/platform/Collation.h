#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tb {

// How texts of printable ASCII alone (' ' to '~') collate, for keys made without the
// system's collator: the primary rank of each character (a letter's two cases share one,
// every digit has the rank of numbers), and of the letter "ch". Case orders lower before
// upper, and "ch" < "cH" < "Ch" < "CH"; no other two characters collate as one.
struct AsciiCollation {
    bool usable = false; // false where the system cannot tell, or collates ASCII otherwise
    std::array<std::uint8_t, 95> rank{};
    std::uint8_t chRank = 0;
};

// Sort keys for texts in Czech order: "č" after "c", "ch" after "h", accents and case
// weighed after the letters, numbers by value ("2" before "10"). Two keys compare bytewise
// (memcmp, a shorter one first) as their texts collate. A key holds no zero byte. Each
// thread makes its keys with an object of its own.
class CzechCollation {
public:
    CzechCollation();
    ~CzechCollation();
    CzechCollation(const CzechCollation&) = delete;
    CzechCollation& operator=(const CzechCollation&) = delete;

    // Appends the key of `text` (UTF-16) to `key`.
    void appendKey(std::u16string_view text, std::string& key);

    AsciiCollation asciiCollation();

private:
    struct System;
    std::unique_ptr<System> system_;
};

} // namespace tb
