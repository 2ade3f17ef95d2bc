#include "filetools/RenameRules.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;
namespace rename = tb::rename;

TEST(RenameRules, ProposalTrimsTrailingBlanksAndMendsNames) {
    EXPECT_EQ(rename::proposal(9, " A B ", "   "), "10 -  A B - .mp3");
    EXPECT_EQ(rename::proposal(99, "A", "B"), "100 - A - B.mp3");
    // A file keeps its own extension, as written.
    EXPECT_EQ(rename::extensionOf("a.b.FLAC"), ".FLAC");
    EXPECT_EQ(rename::extensionOf("noext"), ".mp3");
    // Only what the file system refuses in a name changes; UTF-8 letters stay whole.
    const std::string artist = "AC/DC: \"Žár\"", title = "Why?\t<*|\\>"s + '\0';
    EXPECT_EQ(rename::proposal(0, artist, title, rename::NameRule::Posix),
              "01 - AC_DC: \"Žár\" - Why?\t<*|\\>_.mp3");
    EXPECT_EQ(rename::proposal(0, artist, title, rename::NameRule::Windows),
              "01 - AC_DC_ _Žár_ - Why________.mp3");
}

// A name's bytes count, not its characters: a long ID3v2 artist or title is cut at a
// character's end so that the whole name with ".mp3" fits 255 bytes.
TEST(RenameRules, ProposalFitsItsBytes) {
    const auto fitted = [](const std::string& name, std::string_view artist,
                           std::string_view title) {
        EXPECT_LE(name.size(), rename::MaxNameBytes);
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
    EXPECT_EQ(fitted(rename::proposal(0, "Kapela s dlouhým", title), "Kapela s dlouhým", title),
              std::pair(std::size_t{17}, std::size_t{226}));
    // 209 characters with Czech letters, 291 bytes in UTF-8: the artist needs less than
    // half the room and stays whole.
    std::string artist, song;
    for (int i = 0; i < 4; ++i)
        artist += "Příliš žluťoučký kůň ";
    song = artist + "Příliš žluťoučký kůň Bratříčku";
    const std::string proposal = rename::proposal(41, artist, song);
    const auto [artistBytes, titleBytes] = fitted(proposal, artist, song);
    EXPECT_EQ(artistBytes, artist.size() - 1);
    EXPECT_GE(titleBytes, 123u);
    // ... but one byte a character in Windows-1250, where it fits whole.
    EXPECT_EQ(rename::proposal(41, artist, song, rename::NameRule::Windows,
                               [](std::string_view) { return std::size_t{1}; }),
              "42 - " + artist.substr(0, artist.size() - 1) + " - " + song + ".mp3");
    // A title of exactly half the room (243 bytes) stays whole; the artist takes the rest.
    EXPECT_EQ(rename::proposal(0, std::string(200, 'a'), std::string(121, 'b')),
              "01 - " + std::string(122, 'a') + " - " + std::string(121, 'b') + ".mp3");
    // A long proposal never loses its number nor its extension.
    EXPECT_EQ(rename::proposal(123456, std::string(300, 'a'), std::string(300, 'b')),
              "123457 - " + std::string(119, 'a') + " - " + std::string(120, 'b') + ".mp3");
}

} // namespace
