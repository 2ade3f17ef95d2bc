#include "playlist/Prefix.h"
#include "filetools/DirectoryText.h"

#include <gtest/gtest.h>

using tb::PrefixMode;

namespace {

std::string entry(PrefixMode mode, std::string_view dir, std::string_view root, char sep,
                  std::string_view text = "MP3\\") {
    return tb::playlistEntry(mode, {dir, root, sep, text}, "song.mp3");
}

TEST(Prefix, FiveModesOnWindowsPaths) {
    EXPECT_EQ(entry(PrefixMode::FullPath, "C:\\DATA\\MP3", "C:\\", '\\'),
              "C:\\DATA\\MP3\\song.mp3");
    EXPECT_EQ(entry(PrefixMode::PathWithoutDrive, "C:\\DATA\\MP3", "C:\\", '\\'),
              "DATA\\MP3\\song.mp3");
    EXPECT_EQ(entry(PrefixMode::LastDirectory, "C:\\DATA\\MP3", "C:\\", '\\'), "MP3\\song.mp3");
    EXPECT_EQ(entry(PrefixMode::Text, "C:\\DATA\\MP3", "C:\\", '\\', "X\\"), "X\\song.mp3");
    EXPECT_EQ(entry(PrefixMode::Nothing, "C:\\DATA\\MP3", "C:\\", '\\'), "song.mp3");
}

TEST(Prefix, FiveModesOnLinuxPaths) {
    EXPECT_EQ(entry(PrefixMode::FullPath, "/home/user/Music", "/", '/'),
              "/home/user/Music/song.mp3");
    EXPECT_EQ(entry(PrefixMode::PathWithoutDrive, "/home/user/Music", "/", '/'),
              "home/user/Music/song.mp3");
    EXPECT_EQ(entry(PrefixMode::PathWithoutDrive, "/media/usb/ROCK", "/media/usb", '/'),
              "ROCK/song.mp3");
    EXPECT_EQ(entry(PrefixMode::LastDirectory, "/home/user/Music", "/", '/'), "Music/song.mp3");
    EXPECT_EQ(entry(PrefixMode::Nothing, "/home/user/Music", "/", '/'), "song.mp3");
}

TEST(Prefix, AtADrivesRootTheSeparatorDoublesOrStandsAlone) {
    EXPECT_EQ(entry(PrefixMode::FullPath, "C:\\", "C:\\", '\\'), "C:\\\\song.mp3");
    EXPECT_EQ(entry(PrefixMode::PathWithoutDrive, "C:\\", "C:\\", '\\'), "\\song.mp3");
    EXPECT_EQ(entry(PrefixMode::LastDirectory, "C:\\", "C:\\", '\\'), "\\song.mp3");
    EXPECT_EQ(entry(PrefixMode::FullPath, "/", "/", '/'), "//song.mp3");
    EXPECT_EQ(entry(PrefixMode::PathWithoutDrive, "/", "/", '/'), "/song.mp3");
    EXPECT_EQ(entry(PrefixMode::LastDirectory, "/", "/", '/'), "/song.mp3");
    EXPECT_EQ(entry(PrefixMode::PathWithoutDrive, "/media/usb", "/media/usb", '/'), "/song.mp3");
}

TEST(Prefix, TextIsTakenAsItStands) {
    EXPECT_EQ(entry(PrefixMode::Text, "/x", "/", '/', ""), "song.mp3");
    EXPECT_EQ(entry(PrefixMode::Text, "/x", "/", '/', "ABC"), "ABCsong.mp3");
    // Bytes that are not UTF-8 pass through untouched.
    EXPECT_EQ(entry(PrefixMode::Text, "/x", "/", '/', "\x9e\xed"), "\x9e\xedsong.mp3");
}

TEST(DirectoryText, DriveRootIsTheLongestMountThatHoldsThePath) {
    const std::vector<std::string> roots = {"/", "/media/usb", "/media/usb2", "/home"};
    EXPECT_EQ(tb::driveRootOf("/media/usb/ROCK", roots, '/'), "/media/usb");
    EXPECT_EQ(tb::driveRootOf("/media/usb2", roots, '/'), "/media/usb2");
    EXPECT_EQ(tb::driveRootOf("/media/usbstick", roots, '/'), "/");
    EXPECT_EQ(tb::driveRootOf("/homework", roots, '/'), "/");
    EXPECT_EQ(tb::driveRootOf("C:\\DATA", {"C:\\", "D:\\"}, '\\'), "C:\\");
    EXPECT_EQ(tb::driveRootOf("E:\\DATA", {"C:\\", "D:\\"}, '\\'), "");
}

TEST(DirectoryText, JoinAndLastDirectory) {
    EXPECT_EQ(tb::joinPath("C:\\", "song.mp3", '\\'), "C:\\\\song.mp3");
    EXPECT_EQ(tb::joinPath("/a", "b", '/'), "/a/b");
    EXPECT_EQ(tb::lastDirectory("C:\\DATA\\MP3", '\\'), "MP3");
    EXPECT_EQ(tb::withoutDriveRoot("/other/x", "/media/usb", '/'), "/other/x");
}

} // namespace
