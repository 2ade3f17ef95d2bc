#include "platform/Collation.h"

#include <windows.h>

#ifndef SORT_DIGITSASNUMBERS
#define SORT_DIGITSASNUMBERS 0x00000008 // Windows 7; older headers do not name it
#endif

namespace tb {

struct CzechCollation::System {
    DWORD flags = LCMAP_SORTKEY | SORT_DIGITSASNUMBERS;
};

CzechCollation::CzechCollation() : system_(std::make_unique<System>()) {}
CzechCollation::~CzechCollation() = default;

void CzechCollation::appendKey(std::u16string_view text, std::string& key) {
    const auto* units = reinterpret_cast<LPCWSTR>(text.data());
    const int length = static_cast<int>(text.size());
    int room =
        LCMapStringEx(L"cs-CZ", system_->flags, units, length, nullptr, 0, nullptr, nullptr, 0);
    if (room == 0 && GetLastError() == ERROR_INVALID_FLAGS) {
        // A system without numbers by value still sorts by its letters.
        system_->flags = LCMAP_SORTKEY;
        room =
            LCMapStringEx(L"cs-CZ", system_->flags, units, length, nullptr, 0, nullptr, nullptr, 0);
    }
    if (room <= 0)
        return; // an empty text, which sorts first
    const std::size_t start = key.size();
    key.resize(start + static_cast<std::size_t>(room));
    const int made =
        LCMapStringEx(L"cs-CZ", system_->flags, units, length,
                      reinterpret_cast<LPWSTR>(key.data() + start), room, nullptr, nullptr, 0);
    // The key's own closing zero stays out.
    key.resize(start + static_cast<std::size_t>(made > 0 ? made - 1 : 0));
}

AsciiCollation CzechCollation::asciiCollation() {
    return {}; // every text takes the system's keys
}

} // namespace tb
