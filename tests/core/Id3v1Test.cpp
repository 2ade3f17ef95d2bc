// Padding, the comment's track number, shown genres and the usual proposals are covered
// on real files by tests/gui/test_tags_rename_delete.cpp; these are the parser's own limits.
#include "filetools/Id3v1.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;
namespace id3v1 = tb::id3v1;

std::string makeTag(std::string_view title, std::string_view comment = "") {
    std::string tag(id3v1::TagSize, '\0');
    tag.replace(0, 3, "TAG");
    tag.replace(3, title.size(), title);
    tag.replace(93, 4, "19x7");
    tag.replace(97, comment.size(), comment);
    return tag;
}

TEST(Id3v1, OnlyTheLast128BytesCountAndKeepTheirOwnBytes) {
    const auto afterAudio =
        id3v1::parseTail("\xFF\xFBTAG frames"s + makeTag("\x8A\xED\xF8", std::string(30, 'c')));
    ASSERT_TRUE(afterAudio);
    EXPECT_EQ(afterAudio->title, "\x8A\xED\xF8");
    EXPECT_EQ(afterAudio->comment, std::string(30, 'c'));
    EXPECT_EQ(afterAudio->year, "19x7"); // never checked
    EXPECT_FALSE(id3v1::parseTail(makeTag("SOS") + "x"));
    EXPECT_FALSE(id3v1::parseTail(makeTag("SOS").substr(0, 127)));
    EXPECT_FALSE(id3v1::parseTail(""));
}

TEST(Id3v1, EveryCodeBelow148HasAName) {
    EXPECT_EQ(id3v1::genreName(79), "Hard Rock");
    EXPECT_EQ(id3v1::genreName(80), "Folk");
    for (int code = 0; code < 256; ++code) {
        const auto name = id3v1::genreName(static_cast<std::uint8_t>(code));
        EXPECT_EQ(name.empty(), code >= id3v1::GenreCount) << code;
    }
}

TEST(Id3v1, GenreTextsOfId3v2) {
    // Pairs of a text and the genre shown: codes bare or in parentheses go through the
    // same table; other texts stand.
    const char* const cases[] = {
        "(17)",  "Rock",  "17",    "Rock", "0",        "Blues",    "(147)",        "Synthpop",
        "148",   "",      "(255)", "",     "256",      "256",      "(RX)",         "Remix",
        "CR",    "Cover", "Rock",  "Rock", "(17)Rock", "(17)Rock", "()",           "()",
        "(abc)", "(abc)", "-1",    "-1",   "",         "",         "Alternativní", "Alternativní"};
    for (std::size_t i = 0; i < std::size(cases); i += 2)
        EXPECT_EQ(id3v1::genreOfText(cases[i]), cases[i + 1]) << cases[i];
}

TEST(Id3v1, RenameProposalTrimsTrailingBlanksAndMendsNames) {
    EXPECT_EQ(id3v1::renameProposal(9, " A B ", "   "), "10 -  A B - .mp3");
    EXPECT_EQ(id3v1::renameProposal(99, "A", "B"), "100 - A - B.mp3");
    // Only what the file system refuses in a name changes; UTF-8 letters stay whole.
    const std::string artist = "AC/DC: \"Žár\"", title = "Why?\t<*|\\>"s + '\0';
    EXPECT_EQ(id3v1::renameProposal(0, artist, title, id3v1::NameRule::Posix),
              "01 - AC_DC: \"Žár\" - Why?\t<*|\\>_.mp3");
    EXPECT_EQ(id3v1::renameProposal(0, artist, title, id3v1::NameRule::Windows),
              "01 - AC_DC_ _Žár_ - Why________.mp3");
}

} // namespace
