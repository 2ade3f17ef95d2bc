#include "playlist/formats/M3u.h"
#include "support/M3uPieces.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;
using tb::M3uLineEnds;

// The lines of the file handed over in one piece.
Lines lines(std::string_view bytes, M3uLineEnds lineEnds = M3uLineEnds::CrOnly) {
    return tb::test::m3uLinesInPieces(bytes, bytes.size() + 1, lineEnds);
}

TEST(M3u, LineEnds) {
    // A CR ends a line with one LF after it; under the Windows rule a lone LF is a character.
    EXPECT_EQ(lines("a\r\nb\rc\r\n\r\nd"), (Lines{"a", "b", "c", "", "d"}));
    EXPECT_EQ(lines("a\r\n\nb\n\rc"), (Lines{"a", "\nb\n", "c"}));
    EXPECT_EQ(lines(std::string_view("a\0b\r\n", 5)), (Lines{std::string("a\0b", 3)}));
    // Elsewhere a lone LF ends a line too, also before a CR, and CR LF is still one end.
    EXPECT_EQ(lines("a\r\n\nb\n\rc", M3uLineEnds::CrOrLf), (Lines{"a", "", "b", "", "c"}));
    // Ends and a Ctrl-Z found wherever they lie in long lines.
    for (const std::size_t length : {15, 16, 17, 31, 48, 63, 64, 65, 127, 128}) {
        const std::string line(length, 'x');
        EXPECT_EQ(lines(line + "\r" + line + "\x1A\r" + line), (Lines{line, line})) << length;
    }
}

TEST(M3u, FileEnds) {
    // The first line is read before the first end test; a final line end adds nothing.
    EXPECT_EQ(lines(""), (Lines{""}));
    EXPECT_EQ(lines("a\r"), (Lines{"a"}));
    EXPECT_EQ(lines("a\r\n\r\n"), (Lines{"a", ""}));
    EXPECT_EQ(lines("a\n\n", M3uLineEnds::CrOrLf), (Lines{"a", ""}));
    EXPECT_EQ(lines("\na", M3uLineEnds::CrOrLf), (Lines{"", "a"})); // no CR came before it
    // Ctrl-Z ends the file, inside a line or at its start.
    EXPECT_EQ(lines("\x1A"), (Lines{""}));
    EXPECT_EQ(lines("a\r\n\032b\r\n"), (Lines{"a"}));
}

TEST(M3u, ByteOrderMarkAtTheStartOnlyIsDropped) {
    const std::string bom = "\xEF\xBB\xBF";
    for (M3uLineEnds rule : {M3uLineEnds::CrOnly, M3uLineEnds::CrOrLf}) {
        EXPECT_EQ(lines(bom + "a\r\n", rule), Lines{"a"});
        EXPECT_EQ(lines(bom, rule), Lines{""});
        EXPECT_EQ(lines(bom + bom + "a", rule), Lines{bom + "a"});
        EXPECT_EQ(lines("a\r\n" + bom + "b", rule), (Lines{"a", bom + "b"}));
        EXPECT_EQ(lines(bom.substr(0, 2) + "a", rule), Lines{bom.substr(0, 2) + "a"});
    }
}

TEST(M3u, EveryByteButTheLineEndsRoundTrips) {
    for (M3uLineEnds rule : {M3uLineEnds::CrOnly, M3uLineEnds::CrOrLf}) {
        Lines entries;
        std::string file;
        for (int byte = 0; byte < 256; ++byte) {
            const bool lineEnd = byte == '\r' || (byte == '\n' && rule == M3uLineEnds::CrOrLf);
            if (!lineEnd && byte != 0x1A)
                tb::appendM3uLine(file, entries.emplace_back(3, static_cast<char>(byte)));
        }
        EXPECT_EQ(lines(file, rule), entries);
    }
}

TEST(M3u, PiecesGiveTheLinesOfTheWholeFile) {
    // Line ends, Ctrl-Z, CR LF and byte-order marks cut anywhere: any piece size, as in one.
    for (M3uLineEnds rule : {M3uLineEnds::CrOnly, M3uLineEnds::CrOrLf})
        for (std::string_view file :
             {"", "\x1A", "a\r", "a\r\n\r\n", "a\r\n\nb\n\rc", "ab\r\ncd\re\x1A f\r\n", "a\r\n\x1A",
              "a\r\r\n\n\r", "long line\r\n\r\nend", "\n\n\r\n", "\xEF", "\xEF\xBB", "\xEF\xBB\xBF",
              "\xEF\xBB\xBF\n",
              "\xEF\xBB\xBF"
              "a\nb",
              "\xEF\xBBx\r\n", "\xEF\x1A", "\xEF\r", "a\xEF\xBB\xBF\xEF\xBB\xBF\r\n"})
            for (std::size_t size = 1; size <= file.size() + 1; ++size) {
                EXPECT_EQ(tb::test::m3uLinesInPieces(file, size, rule), lines(file, rule))
                    << file << " in pieces of " << size;
                // A file whose size reads as 0 is read a byte first.
                EXPECT_EQ(tb::test::m3uLinesInPieces(file, size, rule, 1), lines(file, rule));
            }
}

} // namespace
