#include "playlist/M3u.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

Lines lines(std::string_view bytes, bool cutShort = false) {
    Lines out;
    for (std::string_view line : cutShort ? tb::m3uCompleteLines(bytes) : tb::m3uLines(bytes))
        out.emplace_back(line);
    return out;
}

TEST(M3u, LineEnds) {
    // A CR ends a line and takes one LF after it along; a lone LF is a character.
    EXPECT_EQ(lines("a\r\nb\rc\r\n\r\nd"), (Lines{"a", "b", "c", "", "d"}));
    EXPECT_EQ(lines("a\r\n\nb\n\rc"), (Lines{"a", "\nb\n", "c"}));
    EXPECT_EQ(lines(std::string_view("a\0b\r\n", 5)), (Lines{std::string("a\0b", 3)}));
}

TEST(M3u, FileEnds) {
    // The first line is read before the first end test; a final line end adds nothing
    // (tests/gui/test_playlist_files.cpp opens LF-only lines and files with and without one).
    EXPECT_EQ(lines(""), (Lines{""}));
    EXPECT_EQ(lines("a\r"), (Lines{"a"}));
    EXPECT_EQ(lines("a\r\n\r\n"), (Lines{"a", ""}));
    // Ctrl-Z ends the file, inside a line or at its start.
    EXPECT_EQ(lines("\x1A"), (Lines{""}));
    EXPECT_EQ(lines("a\r\nb\032c\r\nd\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(lines("a\r\n\032b\r\n"), (Lines{"a"}));
}

TEST(M3u, EveryByteButTheLineEndsRoundTrips) {
    Lines entries;
    std::string file;
    for (int byte = 0; byte < 256; ++byte) {
        if (byte != '\r' && byte != 0x1A)
            tb::appendM3uLine(file, entries.emplace_back(3, static_cast<char>(byte)));
    }
    EXPECT_EQ(file.substr(0, 10), std::string("\0\0\0\r\n\1\1\1\r\n", 10));
    EXPECT_EQ(lines(file), entries);
}

TEST(M3u, ACutFileKeepsItsWholeLines) {
    EXPECT_EQ(lines("", true), Lines{});
    EXPECT_EQ(lines("a\r\nb\r\nc", true), (Lines{"a", "b"}));
    EXPECT_EQ(lines("a\r", true), (Lines{"a"}));
    // The file's end was read, so nothing of it is missing.
    EXPECT_EQ(lines("a\r\nb\x1A", true), (Lines{"a", "b"}));
}

} // namespace
