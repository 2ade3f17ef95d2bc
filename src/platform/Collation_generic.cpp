#include "platform/Collation.h"

namespace tb {

// Where the system offers no collation: the order of the characters' code units, which
// keeps the order stable and the interface whole, though not Czech.
struct CzechCollation::System {};

CzechCollation::CzechCollation() = default;
CzechCollation::~CzechCollation() = default;

void CzechCollation::appendKey(std::u16string_view text, std::string& key) {
    // Three bytes a unit, each of 1 to 255, so that no key byte is zero.
    for (const char16_t unit : text) {
        key.push_back(static_cast<char>(1 + unit / (255 * 255)));
        key.push_back(static_cast<char>(1 + unit / 255 % 255));
        key.push_back(static_cast<char>(1 + unit % 255));
    }
}

AsciiCollation CzechCollation::asciiCollation() {
    return {}; // every text takes the system's keys
}

} // namespace tb
