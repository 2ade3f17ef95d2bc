#include "platform/IoError.h"
#include "filetools/FileMask.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

// "File not found", "File access denied" (EACCES, EISDIR) and "Read beyond end of file" reach
// the error box in the widget tests.
TEST(IoError, MessagesFromSystemErrors) {
    EXPECT_STREQ(tb::IoError::fromErrno(ENOTDIR).what(), "Invalid filename");
    EXPECT_STREQ(tb::IoError::fromErrno(EMFILE).what(), "Too many open files");
    EXPECT_STREQ(tb::IoError::fromErrno(ENOSPC).what(), "Disk full");
    EXPECT_STREQ(tb::IoError::fromErrno(EIO).what(), ("I/O error " + std::to_string(EIO)).c_str());
    EXPECT_EQ(tb::IoError::fromErrno(EIO).code(), EIO);
}

TEST(IoError, FullStopOnlyAfterCharactersAboveIt) {
    EXPECT_EQ(tb::errorBoxText("I/O error 5"), "I/O error 5.");
    EXPECT_EQ(tb::errorBoxText("Hotovo."), "Hotovo.");
    EXPECT_EQ(tb::errorBoxText("disk nepřístupný!"), "disk nepřístupný!");
    EXPECT_EQ(tb::errorBoxText("a-"), "a-");
    EXPECT_EQ(tb::errorBoxText("soubor č"), "soubor č."); // UTF-8 bytes lie above the full stop
    EXPECT_EQ(tb::errorBoxText(""), "");
}

// How the masks apply (blanks, case, "*.*") is tested on real files in
// tests/gui/test_filebrowser_widgets.cpp.
TEST(FileMask, FilterEntriesKeepTheirLabels) {
    const auto entries =
        tb::parseFilter("MP3 soubory|*.MP3|MPEG Video |*.mpg; *.mpeg|Všechny soubory|*.*");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].label, "MPEG Video ");
    EXPECT_EQ(entries[2].masks, "*.*");
    EXPECT_EQ(tb::parseFilter("only a label").size(), 0u);
}

} // namespace
