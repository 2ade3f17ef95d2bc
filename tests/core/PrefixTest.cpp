#include "playlist/Prefix.h"
#include "filetools/DirectoryText.h"

#include <gtest/gtest.h>

namespace {

using Entries = std::vector<std::string>;

// The entries for song.mp3 in the five modes, in the order of the radio buttons; the text is "X".
Entries fiveModes(std::string_view dir, std::string_view root, char separator) {
    Entries out;
    for (tb::PrefixMode mode :
         {tb::PrefixMode::FullPath, tb::PrefixMode::PathWithoutDrive, tb::PrefixMode::LastDirectory,
          tb::PrefixMode::Text, tb::PrefixMode::Nothing})
        out.push_back(tb::playlistEntry(mode, {dir, root, separator, "X"}, "song.mp3"));
    return out;
}

// Linux paths away from a root go through the window in tests/gui/test_playlistediting.cpp.
TEST(Prefix, FiveModesInBothPathStyles) {
    EXPECT_EQ(fiveModes("C:\\DATA\\MP3", "C:\\", '\\'),
              (Entries{"C:\\DATA\\MP3\\song.mp3", "DATA\\MP3\\song.mp3", "MP3\\song.mp3",
                       "Xsong.mp3", "song.mp3"}));
    EXPECT_EQ(fiveModes("/media/usb/ROCK", "/media/usb", '/')[1], "ROCK/song.mp3");
}

TEST(Prefix, AtADrivesRootTheSeparatorDoublesOrStandsAlone) {
    EXPECT_EQ(fiveModes("C:\\", "C:\\", '\\'),
              (Entries{"C:\\\\song.mp3", "\\song.mp3", "\\song.mp3", "Xsong.mp3", "song.mp3"}));
    EXPECT_EQ(fiveModes("/", "/", '/'),
              (Entries{"//song.mp3", "/song.mp3", "/song.mp3", "Xsong.mp3", "song.mp3"}));
    EXPECT_EQ(fiveModes("/media/usb", "/media/usb", '/')[1], "/song.mp3");
}

TEST(Prefix, TextIsTakenAsItStands) {
    const auto withText = [](std::string_view text) {
        return tb::playlistEntry(tb::PrefixMode::Text, {"/x", "/", '/', text}, "song.mp3");
    };
    EXPECT_EQ(withText(""), "song.mp3");
    EXPECT_EQ(withText("\x9e\xed"), "\x9e\xedsong.mp3"); // bytes that are not UTF-8 pass through
}

TEST(DirectoryText, DriveRootIsTheLongestMountThatHoldsThePath) {
    const std::vector<std::string> roots = {"/", "/media/usb", "/media/usb2", "/home"};
    EXPECT_EQ(tb::driveRootOf("/media/usb/ROCK", roots, '/'), "/media/usb");
    EXPECT_EQ(tb::driveRootOf("/media/usb2", roots, '/'), "/media/usb2");
    EXPECT_EQ(tb::driveRootOf("/media/usbstick", roots, '/'), "/");
    EXPECT_EQ(tb::driveRootOf("C:\\DATA", {"C:\\", "D:\\"}, '\\'), "C:\\");
    EXPECT_EQ(tb::driveRootOf("E:\\DATA", {"C:\\", "D:\\"}, '\\'), "");
    EXPECT_EQ(tb::withoutDriveRoot("/other/x", "/media/usb", '/'), "/other/x");
}

} // namespace
