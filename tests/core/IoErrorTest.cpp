#include "platform/IoError.h"
#include "filetools/FileMask.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

TEST(IoError, MessagesFromSystemErrors) {
    EXPECT_STREQ(tb::IoError::fromErrno(ENOENT).what(), "File not found");
    EXPECT_STREQ(tb::IoError::fromErrno(ENOTDIR).what(), "Invalid filename");
    EXPECT_STREQ(tb::IoError::fromErrno(EMFILE).what(), "Too many open files");
    EXPECT_STREQ(tb::IoError::fromErrno(EACCES).what(), "File access denied");
    EXPECT_STREQ(tb::IoError::fromErrno(EISDIR).what(), "File access denied");
    EXPECT_STREQ(tb::IoError::fromErrno(ENOSPC).what(), "Disk full");
    EXPECT_STREQ(tb::IoError::endOfFile().what(), "Read beyond end of file");
    EXPECT_STREQ(tb::IoError::fromErrno(EIO).what(), ("I/O error " + std::to_string(EIO)).c_str());
    EXPECT_EQ(tb::IoError::fromErrno(EIO).code(), EIO);
}

TEST(IoError, FullStopOnlyAfterCharactersAboveIt) {
    EXPECT_EQ(tb::errorBoxText("File not found"), "File not found.");
    EXPECT_EQ(tb::errorBoxText("I/O error 5"), "I/O error 5.");
    EXPECT_EQ(tb::errorBoxText("Hotovo."), "Hotovo.");
    EXPECT_EQ(tb::errorBoxText("disk nepřístupný!"), "disk nepřístupný!");
    EXPECT_EQ(tb::errorBoxText("a-"), "a-");
    EXPECT_EQ(tb::errorBoxText("soubor č"), "soubor č."); // UTF-8 bytes lie above the full stop
    EXPECT_EQ(tb::errorBoxText(""), "");
}

TEST(FileMask, MasksLoseTheirBlanksAndStarDotStarMeansEverything) {
    EXPECT_EQ(tb::parseMaskList("*.mpg; *.mpeg; *.mpv; *.mp1; *.mp2"),
              (std::vector<std::string>{"*.mpg", "*.mpeg", "*.mpv", "*.mp1", "*.mp2"}));
    EXPECT_EQ(tb::parseMaskList("*.*"), (std::vector<std::string>{"*"}));
    EXPECT_EQ(tb::parseMaskList(" ;;*.MP3 ;"), (std::vector<std::string>{"*.MP3"}));
    const auto entries =
        tb::parseFilter("MP3 soubory|*.MP3|MPEG Video |*.mpg; *.mpeg|Všechny soubory|*.*");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].label, "MPEG Video ");
    EXPECT_EQ(entries[2].masks, "*.*");
    EXPECT_EQ(tb::parseFilter("only a label").size(), 0u);
}

} // namespace
