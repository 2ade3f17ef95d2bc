// Feeds arbitrary files of every music kind to the common tag reader, the input's first
// byte choosing the kind, and checks what it promises.
#ifdef TRACKBINDER_ID3V2
#include "filetools/CommonTags.h"
#endif

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
#ifdef TRACKBINDER_ID3V2
    if (size == 0)
        return 0;
    constexpr int kinds = static_cast<int>(tb::MusicKind::Musepack) + 1;
    const auto kind = static_cast<tb::MusicKind>(data[0] % kinds);
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto tags = tb::readCommonTagsFromBytes(bytes, kind, tb::AudioLength::Read);
    if (kind == tb::MusicKind::Other && tags)
        std::abort();
    if (tags && tags->year.find_first_not_of("0123456789") != std::string::npos)
        std::abort();
#else
    (void)data;
    (void)size;
#endif
    return 0;
}
