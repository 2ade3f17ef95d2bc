#include "playlist/formats/M3u8.h"
#include "support/PlaylistItems.h"

#include <gtest/gtest.h>

namespace {

using tb::PlaylistItem;
using Read = tb::test::ReadItem;

struct ReadCase {
    const char* name;
    std::string bytes;
    std::vector<Read> expected;
};

using tb::test::playlistItem;

class M3u8Read : public testing::TestWithParam<ReadCase> {};

TEST_P(M3u8Read, Entries) {
    EXPECT_EQ(tb::test::readItems(tb::readM3u8(GetParam().bytes)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    M3u8, M3u8Read,
    testing::Values(ReadCase{"HeaderInfoAndBareEntry",
                             "#EXTM3U\n#EXTINF:213,ABBA - SOS\n/m/sos.mp3\n/m/bare.mp3\n",
                             {{"/m/sos.mp3", "ABBA - SOS", 213000}, {"/m/bare.mp3", "", -1}}},
                    // No header, CR LF, lone CR, a byte-order mark, blank lines and comments.
                    ReadCase{"LineEndsBomAndComments",
                             "\xEF\xBB\xBF#EXTINF:1,a\r\n\r\n  \r\n#EXTGRP:x\r\na.mp3\rb.mp3",
                             {{"a.mp3", "a", 1000}, {"b.mp3", "", -1}}},
                    // The info belongs to the next entry only; a second #EXTINF replaces the first.
                    ReadCase{"InfoGoesToTheNextEntryOnly",
                             "#EXTINF:5,old\n#EXTINF:7,new\nx\ny\n#EXTINF:9,dangling\n",
                             {{"x", "new", 7000}, {"y", "", -1}}},
                    // Fractions, commas in quoted attributes, the longest length, unknown or absurd
                    // ones, an info holding commas, blanks kept in entries and infos.
                    ReadCase{"InfoForms",
                             "#EXTINF:2.5,a, b\n1\n#EXTINF:-1 tvg-name=\"x,y\",Radio\n2\n"
                             "#EXTINF:999999999999.4,\n3\n#EXTINF:99999999999999999999,Z\n4\n"
                             "#EXTINF:3, sp \n 5 \n#EXTINF:3.125,\n6\n#EXTINF:0.0579,\n7\n",
                             {{"1", "a, b", 2500},
                              {"2", "Radio", -1},
                              {"3", "", 999999999999400},
                              {"4", "Z", -1},
                              {" 5 ", " sp ", 3000},
                              {"6", "", 3125},
                              {"7", "", 57}}},
                    // Another writer's "./#x" names the file "#x", "././#y" the file "./#y";
                    // "./a" stays as it is.
                    ReadCase{"HashEntries",
                             "./#x\n./a\n#x\n././#y\n",
                             {{"#x", "", -1}, {"./a", "", -1}, {"./#y", "", -1}}},
                    ReadCase{"EmptyFile", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(M3u8, WritesHeaderInfoAndEntriesWithLf) {
    const std::vector<PlaylistItem> items{
        playlistItem("/m/sos.mp3", "", "SOS", "ABBA", 213499),
        playlistItem("rel/ž.mp3", "kept\r\ninfo", "", "", 1500),
        playlistItem("nothing known", "", "", "", -1),
        playlistItem(std::string("\xE8\0x", 3), "", "Jen název", "", -1),
        playlistItem("#1 Hit.mp3", "", "", "", -1),
        playlistItem("./#2.mp3", "", "", "", -1)};
    // An entry that would read as a comment goes out as the same file behind "./".
    const std::string expected = "#EXTM3U\n"
                                 "#EXTINF:213,ABBA - SOS\n/m/sos.mp3\n"
                                 "#EXTINF:2,kept  info\nrel/ž.mp3\n"
                                 "nothing known\n"
                                 "#EXTINF:-1,Jen název\n" +
                                 std::string("\xE8\0x\n", 4) + "./#1 Hit.mp3\n././#2.mp3\n";
    EXPECT_EQ(tb::writeM3u8(items), expected);
    EXPECT_EQ(tb::writeM3u8({}), "#EXTM3U\n");
}

TEST(M3u8, ExtendedM3uIsToldByItsFirstLine) {
    for (const char* bytes :
         {"#EXTM3U", "#EXTM3U\r\n/a.mp3", "\xEF\xBB\xBF#EXTM3U\n", "#EXTM3U url-tvg=\"x\"\n"})
        EXPECT_TRUE(tb::beginsExtendedM3u(bytes)) << bytes;
    for (const char* bytes : {"", "#EXTM3", "#EXTM3Ux\n", " #EXTM3U", "/a.mp3\n#EXTM3U\n",
                              "#EXTINF:1,a\n", "\xEF\xBB#EXTM3U"})
        EXPECT_FALSE(tb::beginsExtendedM3u(bytes)) << bytes;
}

TEST(M3u8, EntryWithALineBreakIsRefusedByNumber) {
    for (const char* broken : {"a\nb", "a\rb", "\n"}) {
        const std::vector<PlaylistItem> items{playlistItem("fine", "", "", "", -1),
                                              playlistItem(broken, "", "", "", -1)};
        try {
            tb::writeM3u8(items);
            ADD_FAILURE() << "written: " << broken;
        } catch (const tb::IoError& error) {
            EXPECT_NE(std::string(error.what()).find("Položka 2 "), std::string::npos);
        }
    }
}

} // namespace
