// Reads arbitrary bytes as a playlist file, with the line ends of Windows and of
// elsewhere, and checks what the splitter hands out: lines without line ends, which
// write back into a file that reads as the same lines, and the same lines whatever
// the size of the pieces the file comes in.
#include "playlist/formats/M3u.h"
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
    const std::vector<std::string> lines =
        tb::test::m3uLinesInPieces(input, input.size() + 1, lineEnds);
    check(!lines.empty());
    std::string written;
    const char* ends = lineEnds == tb::M3uLineEnds::CrOnly ? "\r\x1A" : "\r\n\x1A";
    for (const std::string& line : lines) {
        check(line.find_first_of(ends) == std::string::npos);
        tb::appendM3uLine(written, line);
    }
    // A first line that starts with a byte-order mark would lose it when read again.
    check(lines.front().starts_with("\xEF\xBB\xBF") ||
          tb::test::m3uLinesInPieces(written, written.size() + 1, lineEnds) == lines);

    const std::size_t pieceSize = input.empty() ? 1 : 1 + static_cast<unsigned char>(input[0]) % 7;
    const std::size_t firstSize =
        input.size() < 2 ? 0 : 1 + static_cast<unsigned char>(input[1]) % 5;
    check(tb::test::m3uLinesInPieces(input, pieceSize, lineEnds, firstSize) == lines);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    checkRule(input, tb::M3uLineEnds::CrOnly);
    checkRule(input, tb::M3uLineEnds::CrOrLf);
    return 0;
}
