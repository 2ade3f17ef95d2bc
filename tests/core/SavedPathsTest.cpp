#include "playlist/formats/SavedPaths.h"

#include <gtest/gtest.h>

namespace {

using tb::PathStyle;
using tb::SavedPathMode;

struct Row {
    const char* name;
    SavedPathMode mode;
    PathStyle style;
    const char* file;   // the entry's file; empty where it knows none
    const char* folder; // the playlist's folder
    bool sameVolume;
    const char* saved;
};

// Every entry's text is "song": whatever is saved in its place came from the file.
const Row kRows[] = {
    {"Beside", SavedPathMode::Relative, PathStyle::Posix, "/m/list/a.mp3", "/m/list", true,
     "a.mp3"},
    {"Below", SavedPathMode::Relative, PathStyle::Posix, "/m/list/cd 1/a.mp3", "/m/list", true,
     "cd 1/a.mp3"},
    {"StepSharingABeginning", SavedPathMode::Relative, PathStyle::Posix, "/m/listing/a.mp3",
     "/m/list", true, "../listing/a.mp3"},
    {"UntidyPathsAreWorkedOut", SavedPathMode::Relative, PathStyle::Posix, "/m//list/./x/../a.mp3",
     "/m/./list", true, "a.mp3"},
    {"OtherVolumeStaysFull", SavedPathMode::Relative, PathStyle::Posix, "/media/usb/a.mp3",
     "/home/u", false, "/media/usb/a.mp3"},
    {"BackslashIsPartOfALinuxName", SavedPathMode::Relative, PathStyle::Posix, "/m/list/a\\b.mp3",
     "/m/list", true, "a\\b.mp3"},
    {"WindowsAboveInAnyCase", SavedPathMode::Relative, PathStyle::Windows, "C:\\Music\\Rock\\a.mp3",
     "c:/music/Lists", true, "..\\Rock\\a.mp3"},
    {"WindowsAtADrivesRoot", SavedPathMode::Relative, PathStyle::Windows, "C:\\\\a.mp3", "C:\\",
     true, "a.mp3"},
    {"NoLetter", SavedPathMode::Relative, PathStyle::Windows, "\\M\\a", "\\L", true, "..\\M\\a"},
    {"WindowsOtherDriveStaysFull", SavedPathMode::Relative, PathStyle::Windows, "D:\\a.mp3",
     "C:\\Lists", true, "D:\\a.mp3"},
    {"WindowsShareNeverClimbedOutOf", SavedPathMode::Relative, PathStyle::Windows,
     "\\\\nas\\music\\a.mp3", "\\\\nas\\lists", true, "\\\\nas\\music\\a.mp3"},
    {"WindowsWithinAShare", SavedPathMode::Relative, PathStyle::Windows, "//nas/music/a.mp3",
     "\\\\NAS\\Music\\lists", true, "..\\a.mp3"},
    {"FullIsTidied", SavedPathMode::Absolute, PathStyle::Posix, "/m/list/../rock/a.mp3", "/m/list",
     true, "/m/rock/a.mp3"},
    {"AsEnteredKeepsTheText", SavedPathMode::AsEntered, PathStyle::Posix, "/m/list/a.mp3",
     "/m/list", true, "song"},
    {"WithoutAFileTheTextStays", SavedPathMode::Relative, PathStyle::Posix, "", "/m/list", true,
     "song"},
};

class SavedPaths : public testing::TestWithParam<Row> {};

TEST_P(SavedPaths, EntryIsSavedAs) {
    const Row& row = GetParam();
    const tb::SameVolume sameVolume = [&](const std::string&, const std::string&) {
        return row.sameVolume;
    };
    EXPECT_EQ(tb::savedEntryText("song", row.file, row.folder, row.mode, sameVolume, row.style),
              row.saved);
}

INSTANTIATE_TEST_SUITE_P(Table, SavedPaths, testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
