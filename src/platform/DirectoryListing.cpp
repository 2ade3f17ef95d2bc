#include "platform/DirectoryListing.h"

#include <algorithm>
#include <limits>
#include <memory>

#if defined(__linux__)
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <linux/magic.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>
#include <unistd.h>
#elif defined(_WIN32)
#include <cwchar>
#include <windows.h>
#else
#include <filesystem>
#include <system_error>
#endif

namespace tb {

void DirectoryListing::add(std::string_view name, EntryKind kind, FileId id) {
    items_.push_back({names_.size(), name.size(), kind, id});
    names_.append(name);
}

#if defined(__linux__)

namespace {

FileId idOf(const struct stat& status) {
    return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

// What a look at an entry tells: its kind and, for a directory, its id with the mount it
// is reached through. Kernels before 5.8 give no mount; every mount is then 0.
struct Look {
    mode_t mode = 0;
    FileId id;
};

bool lookAt(int directoryFd, const char* name, int flags, Look& look) {
    struct statx status {};
    if (::statx(directoryFd, name, flags | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_INO | STATX_MNT_ID,
                &status) == 0) {
        look.mode = status.stx_mode;
        look.id = {
            static_cast<std::uint64_t>(::makedev(status.stx_dev_major, status.stx_dev_minor)),
            status.stx_ino, (status.stx_mask & STATX_MNT_ID) ? status.stx_mnt_id : 0};
        return true;
    }
    if (errno != ENOSYS)
        return false;
    struct stat fallback {};
    if (::fstatat(directoryFd, name, &fallback, flags) != 0)
        return false;
    look.mode = fallback.st_mode;
    look.id = idOf(fallback);
    return true;
}

bool sameNode(FileId a, FileId b) {
    return a.device == b.device && a.inode == b.inode;
}

// Closes the descriptor however the listing ends.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

// Large enough that most directories come in one call.
constexpr std::size_t ReadBufferBytes = 64 * 1024;

// File systems without subvolumes, whose directories therefore change device only
// where something is mounted, and whose d_ino is the node that stat reports.
bool isSingleDeviceFileSystem(const std::string& path) {
    struct statfs info {};
    if (::statfs(path.c_str(), &info) != 0)
        return false;
    switch (info.f_type) {
    case EXT4_SUPER_MAGIC: // ext2, ext3 and ext4
    case XFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
        return true;
    default:
        return false;
    }
}

// A mount point as /proc/self/mountinfo spells it: blanks, tabs, newlines and
// backslashes written as three octal digits after a backslash.
std::string unescapeMountPath(std::string_view text) {
    std::string path;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size()) {
            const std::string_view digits = text.substr(i + 1, 3);
            if (digits.find_first_not_of("01234567") == std::string_view::npos) {
                path.push_back(static_cast<char>((digits[0] - '0') * 64 + (digits[1] - '0') * 8 +
                                                 (digits[2] - '0')));
                i += 3;
                continue;
            }
        }
        path.push_back(text[i]);
    }
    return path;
}

// The mount points strictly below a directory (given with its trailing "/");
// false when the mount table cannot be read.
bool readMountPointsBelow(const std::string& directoryPath,
                          std::unordered_set<std::string>& mountPoints) {
    std::ifstream table("/proc/self/mountinfo");
    if (!table)
        return false;
    std::string line;
    while (std::getline(table, line)) {
        // Fields: mount id, parent id, major:minor, root, mount point, ...
        std::size_t begin = 0;
        for (int field = 0; field < 4 && begin != std::string::npos; ++field) {
            begin = line.find(' ', begin);
            if (begin != std::string::npos)
                ++begin;
        }
        if (begin == std::string::npos)
            continue;
        const std::size_t end = line.find(' ', begin);
        std::string mountPoint =
            unescapeMountPath(std::string_view(line).substr(begin, end - begin));
        if (mountPoint.size() > directoryPath.size() && mountPoint.starts_with(directoryPath))
            mountPoints.insert(std::move(mountPoint));
    }
    return true;
}

} // namespace

std::optional<FileId> SystemDirectoryLister::identify(const std::string& directoryPath) {
    Look start;
    if (!lookAt(AT_FDCWD, directoryPath.c_str(), 0, start) || !S_ISDIR(start.mode))
        return std::nullopt;
    startId_ = start.id;

    // The mount table names canonical paths, so it serves only a start that is one.
    mountPoints_.clear();
    knowMounts_ = false;
    const std::unique_ptr<char, decltype(&std::free)> canonical(
        ::realpath(directoryPath.c_str(), nullptr), &std::free);
    std::string expected = directoryPath;
    while (expected.size() > 1 && expected.back() == '/')
        expected.pop_back();
    if (canonical && expected == canonical.get() && isSingleDeviceFileSystem(directoryPath)) {
        const std::string below = expected == "/" ? expected : expected + '/';
        knowMounts_ = readMountPointsBelow(below, mountPoints_);
    }
    return startId_;
}

bool SystemDirectoryLister::isMountPoint(const std::string& directoryPath, std::string_view name) {
    if (mountPoints_.empty())
        return false;
    scratch_.assign(directoryPath);
    scratch_.append(name);
    return mountPoints_.count(scratch_) > 0;
}

SystemDirectoryLister::SystemDirectoryLister(std::size_t maxDescriptors)
    : maxOpen_(std::max<std::size_t>(maxDescriptors, 1)) {}

SystemDirectoryLister::~SystemDirectoryLister() {
    closeFrom(0);
}

bool SystemDirectoryLister::list(const std::string& directoryPath, DirectoryListing& listing) {
    const Descriptor directory{::open(directoryPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (directory.fd < 0)
        return false;
    return readEntries(directory.fd, directoryPath, listing);
}

bool SystemDirectoryLister::readEntries(int directoryFd, const std::string& directoryPath,
                                        DirectoryListing& listing) {
    buffer_.resize(ReadBufferBytes);
    for (;;) {
        const ssize_t filled = ::getdents64(directoryFd, buffer_.data(), buffer_.size());
        if (filled < 0 && errno == EINTR)
            continue;
        if (filled <= 0) // the end, or a read error: keep what came so far
            return true;
        for (ssize_t at = 0; at < filled;) {
            const auto* record = reinterpret_cast<const struct dirent64*>(buffer_.data() + at);
            at += record->d_reclen;
            const char* name = record->d_name;
            const std::string_view nameView(name, std::strlen(name));
            if (nameView == "." || nameView == "..") {
                // The directory itself and its parent: never entered again, so no stat.
                listing.add(nameView, EntryKind::Directory);
                continue;
            }
            EntryKind kind = record->d_type == DT_LNK   ? EntryKind::SymbolicLink
                             : record->d_type == DT_REG ? EntryKind::RegularFile
                                                        : EntryKind::Other;
            FileId id;
            if (record->d_type == DT_DIR && knowMounts_ && !isMountPoint(directoryPath, nameView)) {
                kind = EntryKind::Directory;
                id = {startId_.device, static_cast<std::uint64_t>(record->d_ino), startId_.mount};
            } else if (record->d_type == DT_DIR || record->d_type == DT_UNKNOWN) {
                // Its file system, mount and node, or what it is at all, need a look.
                Look look;
                kind = EntryKind::Other; // gone or unreachable: nothing to search there
                if (lookAt(directoryFd, name, AT_SYMLINK_NOFOLLOW, look)) {
                    if (S_ISDIR(look.mode)) {
                        kind = EntryKind::Directory;
                        id = look.id;
                    } else if (S_ISLNK(look.mode)) {
                        kind = EntryKind::SymbolicLink;
                    } else if (S_ISREG(look.mode)) {
                        kind = EntryKind::RegularFile;
                    }
                }
            }
            listing.add(nameView, kind, id);
        }
    }
}

namespace {
constexpr int kDirectoryFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW;
constexpr std::size_t kNoLevel = static_cast<std::size_t>(-1);

bool outOfDescriptors(int error) {
    return error == EMFILE || error == ENFILE;
}
} // namespace

bool SystemDirectoryLister::listBelow(const std::string& directoryPath, std::size_t depth,
                                      std::string_view name, FileId id, DirectoryListing& listing) {
    closeFrom(depth); // what was left at this depth or below has been let go
    if (depth > 0 && depth <= levels_.size() && levels_[depth - 1].directoriesLeft > 0)
        --levels_[depth - 1].directoriesLeft;
    if (depth > levels_.size())
        return false;
    // The start is the one directory that may be reached through a link.
    const int byPathFlags = kDirectoryFlags & ~(depth == 0 && name.empty() ? O_NOFOLLOW : 0);
    int fd = -1;
    errno = 0;
    if (maxOpen_ == 1) {
        // One descriptor: every directory by its whole path, closed again after its listing.
        fd = ::open(directoryPath.c_str(), byPathFlags);
        if (fd < 0 && errno == ENAMETOOLONG)
            errno = EMFILE; // reachable only from a parent held open
    } else if (depth == 0) {
        startFlags_ = byPathFlags;
        fd = openFrom(AT_FDCWD, directoryPath.c_str(), byPathFlags, kNoLevel);
    } else {
        const int parent = descriptorAt(depth - 1, directoryPath);
        if (parent >= 0) {
            name_.assign(name);
            fd = openFrom(parent, name_.c_str(), kDirectoryFlags, depth - 1);
        }
    }
    if (fd < 0) {
        if (outOfDescriptors(errno))
            throw FolderUnreachable(errno, directoryPath);
        return false; // gone, refused or changed: passed over
    }
    levels_.resize(depth + 1);
    Level& level = levels_[depth];
    level.id = id;
    level.pathLength = directoryPath.size();
    bool listed = false;
    if (maxOpen_ == 1) {
        const Descriptor directory{fd};
        listed = readEntries(fd, directoryPath, listing);
    } else {
        hold(depth, fd);
        listed = readEntries(fd, directoryPath, listing);
    }
    level.directoriesLeft = 0;
    for (std::size_t i = 0; i < listing.size(); ++i) {
        const std::string_view entry = listing.name(i);
        if (listing.kind(i) == EntryKind::Directory && entry != "." && entry != "..")
            ++level.directoriesLeft;
    }
    return listed;
}

void SystemDirectoryLister::leave(std::size_t depth) {
    if (depth >= levels_.size())
        return;
    // Climbing above the levels held into a directory with more folders to enter: the
    // parent is this directory's "..", as long as it is still the directory the walk
    // came through.
    if (depth > 0 && levels_[depth - 1].fd < 0 && levels_[depth - 1].directoriesLeft > 0 &&
        levels_[depth].fd >= 0) {
        const int up = openFrom(levels_[depth].fd, "..", kDirectoryFlags, depth);
        if (up >= 0) {
            struct stat status {};
            if (::fstat(up, &status) == 0 && sameNode(idOf(status), levels_[depth - 1].id))
                hold(depth - 1, up);
            else
                ::close(up);
        }
    }
    closeFrom(depth);
}

int SystemDirectoryLister::descriptorAt(std::size_t level, const std::string& directoryPath) {
    if (levels_[level].fd >= 0)
        return levels_[level].fd;
    // Down from the deepest level still held, one name at a time, each name taken
    // from the directory path between the ends of two levels' paths; with none held,
    // from the first level, opened again by its path.
    std::size_t from = level;
    while (from > 0 && levels_[from].fd < 0)
        --from;
    if (levels_[0].fd < 0 && from == 0) {
        name_.assign(directoryPath, 0, levels_[0].pathLength);
        const int fd = openFrom(AT_FDCWD, name_.c_str(), startFlags_, kNoLevel);
        if (fd < 0)
            return -1;
        struct stat status {};
        if (::fstat(fd, &status) != 0 || !sameNode(idOf(status), levels_[0].id)) {
            ::close(fd);
            errno = ENOENT; // not the directory the walk came from
            return -1;
        }
        hold(0, fd);
    }
    for (std::size_t next = from + 1; next <= level; ++next) {
        const std::size_t begin = levels_[next - 1].pathLength;
        name_.assign(directoryPath, begin, levels_[next].pathLength - begin - 1);
        const int below = openFrom(levels_[next - 1].fd, name_.c_str(), kDirectoryFlags, next - 1);
        if (below < 0)
            return -1;
        hold(next, below);
    }
    return levels_[level].fd;
}

int SystemDirectoryLister::openFrom(int directoryFd, const char* name, int flags,
                                    std::size_t keepLevel) {
    for (;;) {
        if (held_ >= maxOpen_ && !releaseShallowest(keepLevel)) {
            errno = EMFILE; // cannot happen while the bound is two or more
            return -1;
        }
        const int fd = ::openat(directoryFd, name, flags);
        if (fd >= 0 || !outOfDescriptors(errno) || !releaseShallowest(keepLevel))
            return fd;
    }
}

void SystemDirectoryLister::hold(std::size_t level, int fd) {
    levels_[level].fd = fd;
    ++held_;
}

bool SystemDirectoryLister::releaseShallowest(std::size_t keepLevel) {
    // The first level last: it is the one way back in when nothing else is held.
    for (std::size_t at = 1; at <= levels_.size(); ++at) {
        const std::size_t level = at == levels_.size() ? 0 : at;
        if (level != keepLevel && levels_[level].fd >= 0) {
            ::close(levels_[level].fd);
            levels_[level].fd = -1;
            --held_;
            return true;
        }
    }
    return false;
}

void SystemDirectoryLister::closeFrom(std::size_t level) {
    for (std::size_t at = level; at < levels_.size(); ++at) {
        if (levels_[at].fd >= 0) {
            ::close(levels_[at].fd);
            --held_;
        }
    }
    if (level < levels_.size())
        levels_.resize(level);
}

#elif defined(_WIN32)

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

#else

namespace fs = std::filesystem;

SystemDirectoryLister::SystemDirectoryLister(std::size_t maxDescriptors) {
    (void)maxDescriptors; // nothing is held open here
}

SystemDirectoryLister::~SystemDirectoryLister() = default;

// std::filesystem tells neither file systems nor nodes apart: every directory
// gets the same id, which keeps the walk on the start's drive letter anyway, and
// junctions and links are not directories here, so no loop can form.
std::optional<FileId> SystemDirectoryLister::identify(const std::string& directoryPath) {
    std::error_code error;
    if (!fs::is_directory(fs::path(directoryPath), error))
        return std::nullopt;
    return FileId{};
}

bool SystemDirectoryLister::list(const std::string& directoryPath, DirectoryListing& listing) {
    std::error_code error;
    fs::directory_iterator it(fs::path(directoryPath), error);
    if (error)
        return false;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            break;
        std::string name;
        try {
            name = it->path().filename().string(); // the system's 8-bit code page
        } catch (const std::exception&) {
            continue; // a name the code page cannot spell: no path to add it by
        }
        const fs::file_status status = it->symlink_status(error);
        if (error)
            listing.add(name, EntryKind::Other);
        else if (fs::is_symlink(status))
            listing.add(name, EntryKind::SymbolicLink);
        else if (fs::is_directory(status))
            listing.add(name, EntryKind::Directory, FileId{});
        else if (fs::is_regular_file(status))
            listing.add(name, EntryKind::RegularFile);
        else
            listing.add(name, EntryKind::Other);
    }
    return true;
}

#endif

namespace {
// Where a link leads, if anywhere.
bool leadsToRegularFile(const std::string& path) {
#if defined(__linux__)
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
#elif defined(_WIN32)
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
#else
    std::error_code error;
    return fs::is_regular_file(fs::path(path), error);
#endif
}
} // namespace

std::size_t descriptorsLeft() {
#if defined(__linux__)
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::numeric_limits<std::size_t>::max();
    // Only numbers below the limit can be given out; one above it, opened before the
    // limit came down, takes none of them.
    const auto below =
        static_cast<std::size_t>(std::min<rlim_t>(limit.rlim_cur, std::numeric_limits<int>::max()));
    std::size_t inUse = 0;
    if (DIR* open = ::opendir("/proc/self/fd")) {
        const int own = ::dirfd(open);
        while (const dirent* entry = ::readdir(open)) {
            char* end = nullptr;
            const unsigned long fd = std::strtoul(entry->d_name, &end, 10);
            if (end != entry->d_name && *end == '\0' && fd < below &&
                fd != static_cast<unsigned long>(own))
                ++inUse;
        }
        ::closedir(open);
    } else if (outOfDescriptors(errno)) {
        return 0;
    } else { // no /proc: every number asked in turn
        for (std::size_t fd = 0; fd < std::min<std::size_t>(below, 1 << 16); ++fd)
            inUse += ::fcntl(static_cast<int>(fd), F_GETFD) != -1 ? 1 : 0;
    }
    return below > inUse ? below - inUse : 0;
#else
    return std::numeric_limits<std::size_t>::max(); // handles have no such limit
#endif
}

std::vector<std::string> regularFileNames(const std::string& directoryPath) {
    SystemDirectoryLister lister;
    DirectoryListing listing;
    std::vector<std::string> names;
    if (!lister.list(directoryPath, listing))
        return names;
    const std::string prefix =
        directoryPath.empty() || directoryPath.back() == '/' ? directoryPath : directoryPath + '/';
    names.reserve(listing.size());
    for (std::size_t i = 0; i < listing.size(); ++i) {
        // A link, or an entry of a kind the listing could not tell, needs a look.
        const EntryKind kind = listing.kind(i);
        if (kind == EntryKind::RegularFile ||
            (kind != EntryKind::Directory &&
             leadsToRegularFile(prefix + std::string(listing.name(i)))))
            names.emplace_back(listing.name(i));
    }
    return names;
}

} // namespace tb
