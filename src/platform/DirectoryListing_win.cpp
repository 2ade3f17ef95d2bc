#include "platform/DirectoryListing.h"

#include <cwchar>
#include <limits>
#include <windows.h>

namespace tb {

namespace {

// The program's byte strings are in the system's ANSI code page; this is the
// conversion that the ANSI file functions make, so a character the code page
// cannot hold becomes "?" exactly as in their listings.
void toAnsi(const wchar_t* wide, std::string& ansi) {
    ansi.clear();
    const int length = static_cast<int>(std::wcslen(wide));
    if (length == 0)
        return;
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return;
    ansi.resize(static_cast<std::size_t>(bytes));
    ::WideCharToMultiByte(CP_ACP, 0, wide, length, ansi.data(), bytes, nullptr, nullptr);
}

bool toWide(const std::string& ansi, std::wstring& wide) {
    wide.clear();
    if (ansi.empty())
        return true;
    const int length = static_cast<int>(ansi.size());
    const int units = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
    if (units <= 0)
        return false;
    wide.resize(static_cast<std::size_t>(units));
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), units);
    return true;
}

// Paths of MAX_PATH and beyond are reachable only in their literal \\?\ form, which
// takes no forward slashes and no relative parts; a drive path qualifies.
void allowLongPath(std::wstring& path) {
    if (path.size() + 1 < MAX_PATH || path.size() < 3 || path[1] != L':' || path[2] != L'\\')
        return;
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    path.insert(0, L"\\\\?\\");
}

} // namespace

EntryKind windowsEntryKind(unsigned long attributes) {
    // Only the directory bit with nothing beside it but read-only and archive.
    if ((attributes &
         ~static_cast<unsigned long>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE)) ==
        FILE_ATTRIBUTE_DIRECTORY)
        return EntryKind::Directory;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return EntryKind::SymbolicLink;
    return EntryKind::Other;
}

SystemDirectoryLister::SystemDirectoryLister(std::size_t maxDescriptors) {
    (void)maxDescriptors; // nothing is held open here
}

SystemDirectoryLister::~SystemDirectoryLister() = default;

// The drive is the unit of the search and reparse points are never entered, so
// the walk needs no ids: every directory gets the same one.
std::optional<FileId> SystemDirectoryLister::identify(const std::string& directoryPath) {
    std::wstring path;
    if (!toWide(directoryPath, path))
        return std::nullopt;
    allowLongPath(path);
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return FileId{};
}

bool SystemDirectoryLister::list(const std::string& directoryPath, DirectoryListing& listing) {
    std::wstring pattern;
    if (!toWide(directoryPath, pattern))
        return false;
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/')
        pattern.push_back(L'\\');
    pattern.append(L"*.*");
    allowLongPath(pattern);

    WIN32_FIND_DATAW entry;
    // The basic level leaves out the short names, which are never used here.
    HANDLE find = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND; // an empty root has not even "."
    do {
        toAnsi(entry.cFileName, scratch_);
        if (scratch_ == "." || scratch_ == "..")
            listing.add(scratch_, EntryKind::Directory);
        else
            listing.add(scratch_, windowsEntryKind(entry.dwFileAttributes));
    } while (::FindNextFileW(find, &entry)); // an error ends it as the end does: keep what came
    ::FindClose(find);
    return true;
}

bool SystemDirectoryLister::leadsToRegularFile(const std::string& path) {
    std::wstring name;
    if (!toWide(path, name))
        return false;
    allowLongPath(name);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
        return false;
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return true;
    // A link is opened, which follows it, to see what it leads to.
    const HANDLE handle = ::CreateFileW(
        name.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION target{};
    const bool regular = ::GetFileType(handle) == FILE_TYPE_DISK &&
                         ::GetFileInformationByHandle(handle, &target) &&
                         !(target.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    ::CloseHandle(handle);
    return regular;
}

std::size_t descriptorsLeft() {
    return std::numeric_limits<std::size_t>::max(); // handles have no such limit
}

std::uint64_t directoryOwnSize(const std::string&) {
    return 0; // NTFS gives a folder no size of its own
}

} // namespace tb
