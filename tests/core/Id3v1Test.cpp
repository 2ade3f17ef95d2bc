// Padding, the comment's track number, shown genres and the usual proposals are covered
// on real files by tests/gui/test_tagpanel.cpp and test_renamedelete.cpp; these are the
// parser's own limits.
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

// A file may be a tag alone.
TEST(Id3v1, OnlyTheLast128BytesCountAndKeepTheirOwnBytes) {
    const auto afterAudio =
        id3v1::parseTail("\xFF\xFBTAG frames"s + makeTag("\x8A\xED\xF8", std::string(30, 'c')));
    ASSERT_TRUE(afterAudio);
    EXPECT_EQ(afterAudio->title, "\x8A\xED\xF8");
    EXPECT_EQ(afterAudio->comment, std::string(30, 'c'));
    EXPECT_EQ(afterAudio->year, "19x7"); // never checked
    EXPECT_TRUE(id3v1::parseTail(makeTag("SOS")));
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

// A name's bytes count, not its characters: a long ID3v2 artist or title is cut at a
// character's end so that the whole name with ".mp3" fits 255 bytes.
TEST(Id3v1, RenameProposalFitsItsBytes) {
    const auto fitted = [](const std::string& name, std::string_view artist,
                           std::string_view title) {
        EXPECT_LE(name.size(), id3v1::MaxNameBytes);
        EXPECT_TRUE(name.ends_with(".mp3")) << name;
        // Each part is a start of its text that ends where a character ends.
        const std::size_t artistEnd = name.find(" - ", 3);
        const std::string_view cutArtist = std::string_view(name).substr(5, artistEnd - 5);
        const std::string_view cutTitle =
            std::string_view(name).substr(artistEnd + 3, name.size() - artistEnd - 7);
        for (const auto& [cut, whole] :
             {std::pair(cutArtist, artist), std::pair(cutTitle, title)}) {
            EXPECT_TRUE(whole.starts_with(cut)) << name;
            if (cut.size() < whole.size()) {
                EXPECT_NE(static_cast<unsigned char>(whole[cut.size()]) & 0xC0, 0x80) << name;
            }
        }
        return std::pair(cutArtist.size(), cutTitle.size());
    };
    // 272 characters: the title gives up what the short artist leaves it.
    const std::string title(252, 't');
    EXPECT_EQ(
        fitted(id3v1::renameProposal(0, "Kapela s dlouhým", title), "Kapela s dlouhým", title),
        std::pair(std::size_t{17}, std::size_t{226}));
    // 209 characters with Czech letters, 291 bytes in UTF-8: the artist needs less than
    // half the room and stays whole.
    std::string artist, song;
    for (int i = 0; i < 4; ++i)
        artist += "Příliš žluťoučký kůň ";
    song = artist + "Příliš žluťoučký kůň Bratříčku";
    const std::string proposal = id3v1::renameProposal(41, artist, song);
    const auto [artistBytes, titleBytes] = fitted(proposal, artist, song);
    EXPECT_EQ(artistBytes, artist.size() - 1);
    EXPECT_GE(titleBytes, 123u);
    // ... but one byte a character in Windows-1250, where it fits whole.
    const auto oneByte = [](std::string_view) {
        return std::size_t{1};
    };
    EXPECT_EQ(id3v1::renameProposal(41, artist, song, id3v1::NameRule::Windows, oneByte),
              "42 - " + std::string(id3v1::withoutTrailingBlanks(artist)) + " - " +
                  std::string(id3v1::withoutTrailingBlanks(song)) + ".mp3");
    // A long proposal never loses its number nor its extension.
    EXPECT_EQ(id3v1::renameProposal(123456, std::string(300, 'a'), std::string(300, 'b')),
              "123457 - " + std::string(119, 'a') + " - " + std::string(120, 'b') + ".mp3");
}

} // namespace
