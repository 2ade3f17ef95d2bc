// Reads arbitrary bytes as a playlist file and checks what the reader hands out:
// views into the input without line ends, which write back into a file that
// reads as the same lines.
#include "playlist/M3u.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

void checkLines(std::string_view input, const std::vector<std::string_view>& lines) {
    std::string written;
    for (std::string_view line : lines) {
        check(line.data() >= input.data() &&
              line.data() + line.size() <= input.data() + input.size());
        check(line.find_first_of("\r\x1A") == std::string_view::npos);
        tb::appendM3uLine(written, line);
    }
    if (lines.empty())
        return;
    const std::vector<std::string_view> again = tb::m3uLines(written);
    check(again == lines);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string_view> lines = tb::m3uLines(input);
    check(!lines.empty());
    checkLines(input, lines);

    const std::vector<std::string_view> complete = tb::m3uCompleteLines(input);
    check(complete.size() <= lines.size());
    checkLines(input, complete);
    return 0;
}
