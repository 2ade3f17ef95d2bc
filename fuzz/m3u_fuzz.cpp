// Reads arbitrary bytes as a playlist file, with the line ends of Windows and of
// elsewhere, and checks what the reader hands out: views into the input without line
// ends, which write back into a file that reads as the same lines, and the same
// lines from the splitter that takes the file in pieces.
#include "playlist/M3u.h"
#include "support/M3uLines.h"
#include "support/M3uPieces.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

void checkRule(std::string_view input, tb::M3uLineEnds lineEnds) {
    const std::vector<std::string_view> lines = tb::test::m3uLines(input, lineEnds);
    check(!lines.empty());
    std::string written;
    const char* ends = lineEnds == tb::M3uLineEnds::CrOnly ? "\r\x1A" : "\r\n\x1A";
    for (std::string_view line : lines) {
        check(line.data() >= input.data() &&
              line.data() + line.size() <= input.data() + input.size());
        check(line.find_first_of(ends) == std::string_view::npos);
        tb::appendM3uLine(written, line);
    }
    // A first line that starts with a byte-order mark would lose it when read again.
    check(lines.front().starts_with("\xEF\xBB\xBF") ||
          tb::test::m3uLines(written, lineEnds) == lines);

    // Read in pieces, whatever their size, the file has the same lines.
    const std::size_t pieceSize = input.empty() ? 1 : 1 + static_cast<unsigned char>(input[0]) % 7;
    check(tb::test::m3uLinesInPieces(input, pieceSize, lineEnds) ==
          std::vector<std::string>(lines.begin(), lines.end()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    checkRule(input, tb::M3uLineEnds::CrOnly);
    checkRule(input, tb::M3uLineEnds::CrOrLf);
    return 0;
}
