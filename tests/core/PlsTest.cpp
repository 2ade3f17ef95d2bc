#include "playlist/formats/Pls.h"
#include "support/PlaylistItems.h"

#include <gtest/gtest.h>

namespace {

using tb::PlaylistItem;

using tb::test::playlistItem;

TEST(Pls, WritesEachEntryWithTitleAndLength) {
    const std::vector<PlaylistItem> items{
        playlistItem("/m/sos.mp3", "", "SOS", "ABBA", 212600),
        playlistItem("rel/ž.mp3", "a\nb", "", "", -1),
        playlistItem("http://radio.example/stream", "", "", "", -1)};
    EXPECT_EQ(tb::writePls(items), "[playlist]\n"
                                   "File1=/m/sos.mp3\nTitle1=ABBA - SOS\nLength1=213\n"
                                   "File2=rel/ž.mp3\nTitle2=a b\nLength2=-1\n"
                                   "File3=http://radio.example/stream\nLength3=-1\n"
                                   "NumberOfEntries=3\nVersion=2\n");
    EXPECT_THROW(tb::writePls({playlistItem("a\r\nb", "", "", "", -1)}), tb::PlaylistFormatError);
}

TEST(Pls, ReadsKeysInAnyOrderAndCase) {
    const std::vector<PlaylistItem> items =
        tb::readPls("\xEF\xBB\xBF; comment\r\n[other]\r\nFile9=ignored\r\n[Playlist]\r\n"
                    "numberofentries=2\r\nTITLE2=Two\r\nfile2=b.mp3\r\nFile1=a.mp3\r\n"
                    "Length1= 5 \r\nX-Extra=1\r\nlength2=-1\r\nVersion=2");
    EXPECT_EQ(tb::test::readItems(items),
              (std::vector<tb::test::ReadItem>{{"a.mp3", "", 5000}, {"b.mp3", "Two", -1}}));
    // Without NumberOfEntries the File keys alone count.
    EXPECT_EQ(tb::readPls("[playlist]\nFile1=x\n").size(), 1u);
    EXPECT_TRUE(tb::readPls("[playlist]\nNumberOfEntries=0\n").empty());
}

struct BadCase {
    const char* name;
    std::string bytes;
    std::string message; // a part of the message
};

class PlsBad : public testing::TestWithParam<BadCase> {};

TEST_P(PlsBad, IsRefusedWithAMessage) {
    try {
        tb::readPls(GetParam().bytes);
        ADD_FAILURE() << "read";
    } catch (const tb::PlaylistFormatError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().message), std::string::npos)
            << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pls, PlsBad,
    testing::Values(
        BadCase{"NoSection", "File1=a\nNumberOfEntries=1\n", "chybí oddíl [playlist]"},
        BadCase{"Empty", "", "chybí oddíl [playlist]"},
        BadCase{"CountTooLow", "[playlist]\nFile1=a\nFile2=b\nNumberOfEntries=1\n",
                "řádek 4: NumberOfEntries uvádí 1 položek, klíčů File je 2"},
        BadCase{"HugeCount", "[playlist]\nFile1=a\nNumberOfEntries=4000000000\n", "4000000000"},
        BadCase{"CountTooLargeForANumber", "[playlist]\nNumberOfEntries=99999999999999999999999\n",
                "není číslo"},
        BadCase{"CountNotANumber", "[playlist]\nNumberOfEntries=two\n", "není číslo"},
        BadCase{"GapInFiles", "[playlist]\nFile1=a\nFile3=c\nNumberOfEntries=2\n",
                "chybí klíč File2"},
        BadCase{"TitleWithoutFile", "[playlist]\nFile1=a\nTitle2=b\n", "řádek 3: chybí klíč File2"},
        BadCase{"LengthOfTheOnlyEntryWithoutFile", "[playlist]\nLength1=3\n",
                "řádek 2: chybí klíč File1"},
        BadCase{"IndexNotANumber", "[playlist]\nFilex=a\n", "klíč „Filex“ nemá platné"},
        BadCase{"KeyOfTheShownLength", "[playlist]\nFile" + std::string(36, 'x') + "=a\n",
                "„File" + std::string(36, 'x') + "“"},
        BadCase{"IndexZero", "[playlist]\nFile0=a\n", "nemá platné pořadové číslo"},
        BadCase{"IndexHuge", "[playlist]\nFile184467440737095516160=a\n", "nemá platné"},
        BadCase{"DuplicateFile", "[playlist]\nFile1=a\nfile1=b\n", "řádek 3: klíč „file1“ je"},
        BadCase{"DuplicateCount", "[playlist]\nNumberOfEntries=0\nNumberOfEntries=0\n", "podruhé"},
        BadCase{"DuplicateVersion", "[playlist]\nVersion=2\nversion=2\n",
                "řádek 3: klíč Version je uveden podruhé"},
        BadCase{"LengthNotANumber", "[playlist]\nFile1=a\nLength1=3:20\n", "není celé číslo"},
        BadCase{"NoEquals", "[playlist]\nFile1\n", "řádek 2: chybí „=“"},
        BadCase{"LongLine", "[playlist]\nFile1=" + std::string(2 << 20, 'a') + "\n",
                "řádek 2: řádek je delší než 1 MB"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
