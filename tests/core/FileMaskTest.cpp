#include "filetools/FileMask.h"

#include <gtest/gtest.h>

namespace {

// How the masks apply (case, "*.*" on names without a dot) is tested on real files in
// tests/gui/test_filelistbox.cpp.
TEST(FileMask, FilterEntriesKeepTheirLabels) {
    const auto entries =
        tb::parseFilter("MP3 soubory|*.MP3|MPEG Video |*.mpg; *.mpeg|Všechny soubory|*.*");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].label, "MPEG Video ");
    EXPECT_EQ(entries[2].masks, "*.*");
    EXPECT_EQ(tb::parseFilter("only a label").size(), 0u);
}

struct MaskList {
    const char* name;
    std::string_view text;
    std::vector<std::string> masks;
};

class MaskLists : public testing::TestWithParam<MaskList> {};

TEST_P(MaskLists, SplitAtSemicolonsWithoutBlanks) {
    EXPECT_EQ(tb::parseMaskList(GetParam().text), GetParam().masks);
}

INSTANTIATE_TEST_SUITE_P(
    FileMask, MaskLists,
    testing::Values(MaskList{"Plain", "*.mp3;*.mpg", {"*.mp3", "*.mpg"}},
                    MaskList{"SpacesAround", "  *.mpg ; *.mpeg  ", {"*.mpg", "*.mpeg"}},
                    MaskList{"TabsAround", "\t*.mp3\t;\t\t*.wav\t\t", {"*.mp3", "*.wav"}},
                    MaskList{"BlanksInside", "*. mp3", {"*. mp3"}},
                    MaskList{"EmptyMasksDropped", ";; \t;*.mp3;", {"*.mp3"}},
                    MaskList{"AllFiles", "*.*", {"*"}}, MaskList{"Empty", "", {}}),
    [](const testing::TestParamInfo<MaskList>& info) { return std::string(info.param.name); });

} // namespace
