#include "platform/Collation.h"

#include <unicode/ucol.h>

#include <algorithm>
#include <stdexcept>

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

} // namespace tb
