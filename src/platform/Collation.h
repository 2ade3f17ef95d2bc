#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tb {

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

private:
    struct System;
    std::unique_ptr<System> system_;
};

} // namespace tb
