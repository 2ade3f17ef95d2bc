#include "platform/IoError.h"

#include <cerrno>
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// The messages that reach the error box are checked there, in the widget tests.
TEST(IoError, MessagesFromSystemErrors) {
    EXPECT_STREQ(tb::IoError::fromErrno(ENOTDIR).what(), "Invalid filename");
    EXPECT_STREQ(tb::IoError::fromErrno(EMFILE).what(), "Too many open files");
}

#ifdef _WIN32
// The system's own values; the numbers overlap errno's (2, 4, 5), so they keep apart.
TEST(IoError, MessagesFromWindowsErrors) {
    const HANDLE missing = ::CreateFileW(L"C:\\tb-no-such-dir\\x.m3u", GENERIC_READ, 0, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_EQ(missing, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(tb::IoError::fromWindowsError(::GetLastError()).what(), "Invalid filename");
    EXPECT_STREQ(tb::IoError::fromWindowsError(ERROR_FILE_NOT_FOUND).what(), "File not found");
    EXPECT_STREQ(tb::IoError::fromWindowsError(ERROR_TOO_MANY_OPEN_FILES).what(),
                 "Too many open files");
    EXPECT_STREQ(tb::IoError::fromWindowsError(ERROR_ACCESS_DENIED).what(), "File access denied");
    EXPECT_STREQ(tb::IoError::fromWindowsError(ERROR_SHARING_VIOLATION).what(),
                 "File access denied");
    EXPECT_STREQ(tb::IoError::fromWindowsError(ERROR_DISK_FULL).what(), "Disk full");
    EXPECT_STREQ(tb::IoError::fromWindowsError(ERROR_CRC).what(), "I/O error 23");
    EXPECT_EQ(tb::IoError::fromWindowsError(ERROR_CRC).code(), 23);
}
#endif

TEST(IoError, FullStopOnlyAfterCharactersAboveIt) {
    EXPECT_EQ(tb::errorBoxText("Hotovo."), "Hotovo.");
    EXPECT_EQ(tb::errorBoxText("disk nepřístupný!"), "disk nepřístupný!");
    EXPECT_EQ(tb::errorBoxText("a-"), "a-");
    EXPECT_EQ(tb::errorBoxText("soubor č"), "soubor č."); // UTF-8 bytes lie above the full stop
    EXPECT_EQ(tb::errorBoxText(""), "");
}

} // namespace
