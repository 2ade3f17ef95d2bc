#include "platform/DirectoryListing.h"
#include "filetools/DriveWalk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include <windows.h>
#include <winioctl.h>

namespace {

std::string ansi(const std::wstring& wide) {
    const int length = static_cast<int>(wide.size());
    const int bytes =
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, text.data(), bytes, nullptr, nullptr);
    return text;
}

void removeTree(const std::wstring& directory) {
    WIN32_FIND_DATAW entry;
    const HANDLE find = ::FindFirstFileW((directory + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = directory + L"\\" + name;
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ::DeleteFileW(path.c_str());
            else if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                ::RemoveDirectoryW(path.c_str()); // the link itself, never what it names
            else
                removeTree(path);
        } while (::FindNextFileW(find, &entry));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(directory.c_str());
}

// A fresh directory under the system's temporary folder, removed with all it holds.
class TempTree : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1];
        ASSERT_GT(::GetTempPathW(MAX_PATH + 1, temp), 0u);
        root_ = std::wstring(temp) + L"tb-listing-" + std::to_wstring(::GetCurrentProcessId());
        removeTree(root_);
        ASSERT_TRUE(::CreateDirectoryW(root_.c_str(), nullptr));
    }
    void TearDown() override { removeTree(root_); }

    void makeDirectory(const std::wstring& relative) {
        ASSERT_TRUE(::CreateDirectoryW((root_ + L"\\" + relative).c_str(), nullptr));
    }
    void makeFile(const std::wstring& relative) {
        const HANDLE file = ::CreateFileW((root_ + L"\\" + relative).c_str(), GENERIC_WRITE, 0,
                                          nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        ::CloseHandle(file);
    }

    // The walk's entries, sorted, with the tree's own directory path cut off.
    std::vector<std::string> walk() {
        struct Sink : tb::WalkSink {
            void found(std::string_view entry) override { entries.emplace_back(entry); }
            std::vector<std::string> entries;
        } sink;
        tb::SystemDirectoryLister lister;
        tb::WalkOptions options;
        options.separator = '\\';
        const std::string start = ansi(root_) + '\\';
        EXPECT_EQ(tb::walkForMp3(lister, start, sink, options), tb::WalkEnd::Completed);
        for (std::string& entry : sink.entries) {
            EXPECT_EQ(entry.compare(0, start.size(), start), 0) << entry;
            entry.erase(0, start.size());
        }
        std::sort(sink.entries.begin(), sink.entries.end());
        return sink.entries;
    }

    std::wstring root_;
};

using WindowsDirectoryListing = TempTree;

// Names reach the playlist in the system's ANSI code page, Windows-1250 on a Czech system,
// never as UTF-8; what the code page cannot hold becomes "?", as in the ANSI listing.
TEST_F(WindowsDirectoryListing, NamesComeInTheAnsiCodePage) {
    makeDirectory(L"P\u00edsn\u011b");                                             // Písně
    makeFile(L"P\u00edsn\u011b\\\u017dlu\u0165ou\u010dk\u00fd k\u016f\u0148.mp3"); // Žluťoučký kůň
    makeFile(L"P\u00edsn\u011b\\\u010cten\u00ed.txt");
    makeFile(L"\u4e2d.mp3"); // a character no European code page has
    makeDirectory(L"Skryt\u00e9");
    makeFile(L"Skryt\u00e9\\uvnit\u0159.mp3");
    const std::wstring hiddenPath = root_ + L"\\Skryt\u00e9";
    ASSERT_TRUE(::SetFileAttributesW(hiddenPath.c_str(), FILE_ATTRIBUTE_HIDDEN));
    // Wine keeps the attribute in an extended attribute, which not every file system has.
    const bool hidden = ::GetFileAttributesW(hiddenPath.c_str()) & FILE_ATTRIBUTE_HIDDEN;

    std::vector<std::string> expected;
    if (::GetACP() == 1250) {
        expected = {"?.mp3", "P\xEDsn\xEC\\\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2.mp3"};
        if (!hidden)
            expected.push_back("Skryt\xE9\\uvnit\xF8.mp3");
    } else {
        // Another code page: at least the conversion is the system's, not UTF-8.
        expected = {"?.mp3",
                    ansi(L"P\u00edsn\u011b\\\u017dlu\u0165ou\u010dk\u00fd k\u016f\u0148.mp3")};
        if (!hidden)
            expected.push_back(ansi(L"Skryt\u00e9\\uvnit\u0159.mp3"));
        std::sort(expected.begin(), expected.end());
        std::printf("Czech names checked against code page %u only, not 1250\n", ::GetACP());
    }
    if (!hidden)
        std::printf("no hidden directories on this file system: that case was not checked\n");
    EXPECT_EQ(walk(), expected); // a hidden directory is not searched
}

// The file list's names: files, whatever their names, but no directories.
TEST_F(WindowsDirectoryListing, RegularFileNamesLeaveOutDirectories) {
    makeFile(L"\u017dlu\u0165ou\u010dk\u00fd.mp3"); // Žluťoučký
    makeFile(L"b.txt");
    makeDirectory(L"c.mp3");
    std::vector<std::string> names = tb::regularFileNames(ansi(root_));
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected = {ansi(L"\u017dlu\u0165ou\u010dk\u00fd.mp3"), "b.txt"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
}

// A directory link to its own parent and a junction to the root are listed but never
// entered, so the walk finds each file once and ends.
TEST_F(WindowsDirectoryListing, LinksAndJunctionsAreNotEntered) {
    makeDirectory(L"A");
    makeFile(L"A\\song.mp3");
    const std::wstring link = root_ + L"\\A\\up";
    bool linked = ::CreateSymbolicLinkW(link.c_str(), root_.c_str(),
                                        SYMBOLIC_LINK_FLAG_DIRECTORY |
                                            SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0;
    DWORD linkError = linked ? 0 : ::GetLastError();
    // Some systems report success and make nothing.
    const DWORD linkAttributes = ::GetFileAttributesW(link.c_str());
    if (linked && (linkAttributes == INVALID_FILE_ATTRIBUTES ||
                   !(linkAttributes & FILE_ATTRIBUTE_REPARSE_POINT))) {
        linked = false;
        linkError = ERROR_CALL_NOT_IMPLEMENTED;
    }

    // A junction: an empty directory that gets a mount-point reparse point.
    makeDirectory(L"A\\junction");
    bool junctioned = false;
    DWORD junctionError = 0;
    {
        const HANDLE directory = ::CreateFileW(
            (root_ + L"\\A\\junction").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
            FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        ASSERT_NE(directory, INVALID_HANDLE_VALUE);
        const std::wstring substitute = L"\\??\\" + root_;
        const std::wstring& print = root_;
        // REPARSE_DATA_BUFFER's mount-point form, which mingw's headers do not declare.
        const std::size_t pathBytes = (substitute.size() + 1 + print.size() + 1) * sizeof(wchar_t);
        std::vector<BYTE> buffer(8 + 8 + pathBytes);
        auto put16 = [&](std::size_t at, std::size_t value) {
            const WORD word = static_cast<WORD>(value);
            std::memcpy(buffer.data() + at, &word, sizeof word);
        };
        const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
        std::memcpy(buffer.data(), &tag, sizeof tag);
        put16(4, 8 + pathBytes);                              // ReparseDataLength
        put16(8, 0);                                          // SubstituteNameOffset
        put16(10, substitute.size() * sizeof(wchar_t));       // SubstituteNameLength
        put16(12, (substitute.size() + 1) * sizeof(wchar_t)); // PrintNameOffset
        put16(14, print.size() * sizeof(wchar_t));            // PrintNameLength
        std::memcpy(buffer.data() + 16, substitute.c_str(), (substitute.size() + 1) * 2);
        std::memcpy(buffer.data() + 16 + (substitute.size() + 1) * 2, print.c_str(),
                    (print.size() + 1) * 2);
        DWORD returned = 0;
        junctioned = ::DeviceIoControl(directory, FSCTL_SET_REPARSE_POINT, buffer.data(),
                                       static_cast<DWORD>(buffer.size()), nullptr, 0, &returned,
                                       nullptr) != 0;
        junctionError = junctioned ? 0 : ::GetLastError();
        ::CloseHandle(directory);
    }
    if (!linked && !junctioned)
        GTEST_SKIP() << "this system makes neither directory links (error " << linkError
                     << ") nor junctions (error " << junctionError << ")";
    std::printf("directory link: %s, junction: %s\n",
                linked ? "made" : ("error " + std::to_string(linkError)).c_str(),
                junctioned ? "made" : ("error " + std::to_string(junctionError)).c_str());

    tb::SystemDirectoryLister lister;
    tb::DirectoryListing listing;
    ASSERT_TRUE(lister.list(ansi(root_) + "\\A\\", listing));
    for (std::size_t i = 0; i < listing.size(); ++i) {
        const bool made =
            (listing.name(i) == "up" && linked) || (listing.name(i) == "junction" && junctioned);
        if (made) {
            EXPECT_EQ(listing.kind(i), tb::EntryKind::SymbolicLink) << listing.name(i);
        }
    }
    EXPECT_EQ(walk(), std::vector<std::string>{"A\\song.mp3"});
}

// Wine makes neither links nor junctions, so the attribute words alone show which entries
// are entered.
TEST(WindowsEntryKind, OnlyPlainDirectoriesAreEntered) {
    using tb::EntryKind;
    for (const DWORD plain : {0x10ul, 0x11ul, 0x30ul, 0x31ul})
        EXPECT_EQ(tb::windowsEntryKind(plain), EntryKind::Directory) << plain;
    EXPECT_EQ(tb::windowsEntryKind(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT),
              EntryKind::SymbolicLink);
    EXPECT_EQ(tb::windowsEntryKind(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT |
                                   FILE_ATTRIBUTE_ARCHIVE),
              EntryKind::SymbolicLink);
    EXPECT_EQ(tb::windowsEntryKind(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN),
              EntryKind::Other);
    EXPECT_EQ(tb::windowsEntryKind(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM),
              EntryKind::Other);
    EXPECT_EQ(tb::windowsEntryKind(FILE_ATTRIBUTE_ARCHIVE), EntryKind::Other);
    EXPECT_EQ(tb::windowsEntryKind(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT),
              EntryKind::Other); // a link to a file: its name is tested like any file's
}

} // namespace
