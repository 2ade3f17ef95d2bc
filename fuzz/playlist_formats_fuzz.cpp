// Reads arbitrary bytes as M3U8 and as PLS. Either reader returns entries or throws
// its format error; entries read from M3U8 write back into a file that reads as the
// same entries, and so do those of a PLS file that has no line breaks in them.
#include "playlist/formats/M3u8.h"
#include "playlist/formats/Pls.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

bool sameEntries(const std::vector<tb::PlaylistItem>& a, const std::vector<tb::PlaylistItem>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].text != b[i].text || tb::roundedSeconds(a[i]) != tb::roundedSeconds(b[i]))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::vector<tb::PlaylistItem> m3u8 = tb::readM3u8(input);
    check(sameEntries(tb::readM3u8(tb::writeM3u8(m3u8)), m3u8));
    try {
        const std::vector<tb::PlaylistItem> pls = tb::readPls(input);
        check(sameEntries(tb::readPls(tb::writePls(pls)), pls));
    } catch (const tb::PlaylistFormatError&) {
    }
    return 0;
}
