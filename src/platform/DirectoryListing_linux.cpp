#include "platform/DirectoryListing.h"

#include "platform/FileSystems.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <linux/fs.h>
#include <linux/magic.h>
#include <memory>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>
#include <thread>
#include <unistd.h>

namespace tb {

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

// The mount points strictly below a directory (given with its trailing "/");
// false when the mount table cannot be read.
bool readMountPointsBelow(const std::string& directoryPath,
                          std::unordered_set<std::string>& mountPoints) {
    const auto mounts = mountTable();
    if (!mounts)
        return false;
    for (const Mount& mount : *mounts) {
        if (mount.mountPoint.size() > directoryPath.size() &&
            mount.mountPoint.starts_with(directoryPath))
            mountPoints.insert(mount.mountPoint);
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
    if (canonical && expected == canonical.get() &&
        fileSystemKindOf(directoryPath) == FileSystemKind::SingleDevice) {
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

namespace {
// In an indexed ext4 directory, read by a 64-bit process, an entry's position is its
// name's hash: 31 bits of major hash above 32 of minor. The halves meet halfway.
constexpr std::uint64_t kHalfway = std::uint64_t{1} << 62;
// A directory this large holds some 4,000 names, which take 2 ms to read: worth a thread.
constexpr off_t kBytesWorthTwoReaders = 128 * 1024;
} // namespace

bool SystemDirectoryLister::readableInHalves(const std::string& directoryPath) {
    if (std::thread::hardware_concurrency() < 2)
        return false;
    const Descriptor directory{::open(directoryPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    struct statfs fileSystem {};
    struct stat status {};
    int flags = 0;
    return directory.fd >= 0 && ::fstatfs(directory.fd, &fileSystem) == 0 &&
           fileSystem.f_type == EXT4_SUPER_MAGIC && ::fstat(directory.fd, &status) == 0 &&
           status.st_size >= kBytesWorthTwoReaders &&
           ::ioctl(directory.fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_INDEX_FL) != 0;
}

bool SystemDirectoryLister::listHalf(const std::string& directoryPath, Half half,
                                     DirectoryListing& listing) {
    const Descriptor directory{::open(directoryPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (directory.fd < 0)
        return false;
    if (half == Half::First)
        return readEntries(directory.fd, directoryPath, listing, kHalfway);
    // Where positions are not such hashes (a 32-bit process, a directory not indexed),
    // they all lie below halfway: the first half is then the whole, and this one empty.
    if (::lseek(directory.fd, static_cast<off_t>(kHalfway), SEEK_SET) < 0)
        return true;
    return readEntries(directory.fd, directoryPath, listing);
}

bool SystemDirectoryLister::readEntries(int directoryFd, const std::string& directoryPath,
                                        DirectoryListing& listing, std::uint64_t end) {
    buffer_.resize(ReadBufferBytes);
    const bool bounded = end != std::numeric_limits<std::uint64_t>::max();
    std::uint64_t position = 0; // the next entry's, given as each entry's d_off
    for (;;) {
        const ssize_t filled = ::getdents64(directoryFd, buffer_.data(), buffer_.size());
        if (filled < 0 && errno == EINTR)
            continue;
        if (filled <= 0) // the end, or a read error: keep what came so far
            return true;
        for (ssize_t at = 0; at < filled;) {
            const auto* record = reinterpret_cast<const struct dirent64*>(buffer_.data() + at);
            if (bounded && position >= end)
                return true;
            position = static_cast<std::uint64_t>(record->d_off);
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
        if (afterRead_)
            afterRead_(listing);
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

bool SystemDirectoryLister::leadsToRegularFile(const std::string& path) {
    return isRegularFile(path);
}

std::size_t descriptorsLeft() {
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
}

std::uint64_t directoryOwnSize(const std::string& directoryPath) {
    struct stat status {};
    if (::stat(directoryPath.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
        return 0;
    return static_cast<std::uint64_t>(status.st_size);
}

} // namespace tb
