#include "playlist/M3u.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

Lines lines(std::string_view bytes) {
    Lines out;
    for (std::string_view line : tb::m3uLines(bytes))
        out.emplace_back(line);
    return out;
}

// The lines of a file read in pieces of this size, the parts of each joined.
Lines linesInPieces(std::string_view bytes, std::size_t pieceSize) {
    tb::M3uSplitter splitter;
    Lines out;
    std::string open;
    std::vector<std::string_view> pieceLines;
    for (std::size_t at = 0; at < bytes.size(); at += pieceSize) {
        pieceLines.clear();
        const std::string_view rest = splitter.split(bytes.substr(at, pieceSize), pieceLines);
        for (std::string_view line : pieceLines) {
            out.push_back(open + std::string(line));
            open.clear();
        }
        open += rest;
    }
    if (splitter.openLineCounts())
        out.push_back(open);
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

TEST(M3u, PiecesGiveTheLinesOfTheWholeFile) {
    // Line ends, Ctrl-Z and a CR LF cut between two pieces, at every piece size.
    for (std::string_view file :
         {"", "\x1A", "a\r", "a\r\n\r\n", "a\r\n\nb\n\rc", "ab\r\ncd\re\x1A f\r\n", "a\r\n\x1A",
          "a\r\r\n\n\r", "long line\r\n\r\nend"})
        for (std::size_t size = 1; size <= file.size() + 1; ++size)
            EXPECT_EQ(linesInPieces(file, size), lines(file)) << file << " in pieces of " << size;
}

} // namespace
