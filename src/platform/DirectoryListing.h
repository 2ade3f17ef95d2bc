#pragma once

#include "platform/IoError.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// Directories as the drive walk sees them: one listing at a time, each entry with its
// kind, and directories with what tells them apart. DirectoryLister is the walk's view of
// a file system; SystemDirectoryLister the real one.
namespace tb {

// Which file system a directory lies on, which node it is there, and through which
// mount it is reached. An inode of 0 means the lister cannot tell nodes apart (then
// no loop check is possible, and none is needed: such listers report no links as
// directories); a mount of 0, that it cannot tell mounts apart.
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    // A bind mount shows a folder of the same file system again, with the same device:
    // only the mount tells it from the folder itself.
    std::uint64_t mount = 0;
    friend bool operator==(const FileId&, const FileId&) = default;
};

enum class EntryKind {
    Directory,    // a directory itself, not a link to one
    SymbolicLink, // never followed
    RegularFile,
    Other, // everything else (FIFOs, devices, sockets), or a file where the kind is unknown
};

// One directory's entries, names kept back to back in one buffer so that a
// listing of thousands of entries costs two allocations, reused between listings.
class DirectoryListing {
public:
    void clear() {
        names_.clear();
        items_.clear();
    }
    // Directories carry their FileId; other kinds need none.
    void add(std::string_view name, EntryKind kind, FileId id = {});

    std::size_t size() const { return items_.size(); }
    std::string_view name(std::size_t index) const {
        const Item& item = items_[index];
        return std::string_view(names_).substr(item.offset, item.length);
    }
    EntryKind kind(std::size_t index) const { return items_[index].kind; }
    FileId id(std::size_t index) const { return items_[index].id; }

private:
    struct Item {
        std::size_t offset;
        std::size_t length;
        EntryKind kind;
        FileId id;
    };
    std::string names_;
    std::vector<Item> items_;
};

// The file system as the walk sees it. Paths are byte strings that end in a separator.
class DirectoryLister {
public:
    virtual ~DirectoryLister() = default;
    // The start directory's identity; nothing when it is not a directory.
    virtual std::optional<FileId> identify(const std::string& directoryPath) = 0;
    // Fills `listing` with the directory's entries in the file system's order,
    // "." and ".." included where the file system returns them. False when the
    // directory cannot be listed at all; a listing that breaks off part-way keeps
    // the entries read so far and counts as listed.
    virtual bool list(const std::string& directoryPath, DirectoryListing& listing) = 0;

    // The walk's way down: lists the directory `name` of the directory listed last at
    // `depth` - 1 and not yet left; at depth 0 the start itself, `name` empty. `id` is
    // what that parent's listing said of it, `directoryPath` its whole path. A lister
    // that keeps its directories open can thus reach each one from its parent, at a
    // cost that does not grow with the depth; this one lists by the path.
    virtual bool listBelow(const std::string& directoryPath, std::size_t depth,
                           std::string_view name, FileId id, DirectoryListing& listing) {
        (void)depth;
        (void)name;
        (void)id;
        return list(directoryPath, listing);
    }
    // The walk is done with the directory listed at `depth` and with all below it.
    virtual void leave(std::size_t depth) { (void)depth; }
};

// A folder the walk cannot open for want of a file descriptor, even with all it held
// let go: the walk ends there rather than leave it out unsaid.
class FolderUnreachable : public IoError {
public:
    FolderUnreachable(int code, std::string folder)
        : IoError(code, ioErrorMessage(code)), folder_(std::move(folder)) {}
    // Its directory path, a separator at the end.
    const std::string& folder() const { return folder_; }

private:
    std::string folder_;
};

// The real file system for the drive walk. On Linux it reads directories with
// getdents64 and takes the entry kinds from d_type, so that files need no stat;
// on Windows FindFirstFileExW, names in the ANSI code page; elsewhere
// std::filesystem serves. One instance per walk and thread: it keeps
// its buffers and what it learnt about the start between listings.
class SystemDirectoryLister final : public DirectoryLister {
public:
    // How many descriptors a lister has open at most, alone and as one of the parallel
    // walk's three. Where fewer can be had, it does with fewer, down to one.
    static constexpr std::size_t MaxDescriptors = 34;
    static constexpr std::size_t ParallelDescriptors = 18;

    explicit SystemDirectoryLister(std::size_t maxDescriptors = MaxDescriptors);
    SystemDirectoryLister(const SystemDirectoryLister&) = delete;
    SystemDirectoryLister& operator=(const SystemDirectoryLister&) = delete;
    ~SystemDirectoryLister() override;

    std::optional<FileId> identify(const std::string& directoryPath) override;
    bool list(const std::string& directoryPath, DirectoryListing& listing) override;
    // Called with the listing so far after each read of a long directory, where the
    // system gives a directory in parts (Linux), so that its entries can be worked on
    // while the rest is read. The hook may clear what it has taken.
    void onEachRead(std::function<void(DirectoryListing&)> hook) { afterRead_ = std::move(hook); }
    // Whether the entry at the path, a link followed, is a regular file.
    static bool leadsToRegularFile(const std::string& path);

    // Whether two listers can read a long directory at once, each one half of it
    // (listHalf). Only where the system keeps a directory in an order of positions that
    // can be cut in two: ext4's indexed directories, in the order of their names' hashes.
    enum class Half { First, Second };
#if defined(__linux__)
    static bool readableInHalves(const std::string& directoryPath);
    bool listHalf(const std::string& directoryPath, Half half, DirectoryListing& listing);
#else
    static bool readableInHalves(const std::string&) {
        return false;
    }
    bool listHalf(const std::string& directoryPath, Half half, DirectoryListing& listing) {
        return half == Half::Second || list(directoryPath, listing);
    }
#endif
#if defined(__linux__)
    // Each directory is opened relative to its parent's descriptor, so that neither the
    // cost of an open nor the length of what it is given grows with the depth. Only the
    // deepest levels stay open, never more than the bound given; climbing out of them
    // reopens the parent as "..", checked to be the directory that was left. At depth 0
    // a `name` means a folder below the start, searched apart: opened by its path, but
    // never through a link. With a bound of one, every directory is opened by its path.
    // Where the system has no descriptor to give even after all held are let go, it
    // throws FolderUnreachable rather than leave the folder out unsaid.
    bool listBelow(const std::string& directoryPath, std::size_t depth, std::string_view name,
                   FileId id, DirectoryListing& listing) override;
    void leave(std::size_t depth) override;
#endif

private:
    bool isMountPoint(const std::string& directoryPath, std::string_view name);
#if defined(__linux__)
    // Reads entries up to the first at position `end` or past it.
    bool readEntries(int directoryFd, const std::string& directoryPath, DirectoryListing& listing,
                     std::uint64_t end = std::numeric_limits<std::uint64_t>::max());
    // The open directory at a level of the walk's path, opened anew from the deepest
    // one still held when it has been let go; -1 when it cannot be reached.
    int descriptorAt(std::size_t level, const std::string& directoryPath);
    // Opens a directory at or below an open one, first letting go of held ones (the
    // shallowest, never `keepLevel`) to stay within the bound, and again while the
    // system has no descriptor to give.
    int openFrom(int directoryFd, const char* name, int flags, std::size_t keepLevel);
    void hold(std::size_t level, int fd);
    bool releaseShallowest(std::size_t keepLevel);
    void closeFrom(std::size_t level);

    struct Level {
        int fd = -1; // -1 while not held
        FileId id;
        std::size_t pathLength = 0; // where its directory path ends
        // Folders in its listing not yet entered: while there are none, it needs no
        // descriptor any more.
        std::size_t directoriesLeft = 0;
    };
    // The directories on the walk's path, the start first.
    std::vector<Level> levels_;
    std::size_t held_ = 0;
    std::size_t maxOpen_;
    int startFlags_ = 0; // how the first level was opened, to open it again
    std::string name_;
#endif

    std::function<void(DirectoryListing&)> afterRead_;
    std::vector<char> buffer_;
    FileId startId_;
    // Whether directories may go without a stat: on the start's file system every
    // directory that is not a mount point lies on the start's device, and its
    // d_ino is its node and the start's its mount. Mount points below the start are
    // then all that need one.
    bool knowMounts_ = false;
    std::unordered_set<std::string> mountPoints_;
    std::string scratch_;
};

// How many more descriptors the process can open now; as many as it likes where the
// system sets no such limit.
std::size_t descriptorsLeft();

// The size the system gives a directory itself, which grows with the names it holds
// on the usual file systems (ext4, XFS, Btrfs, tmpfs); 0 where it is not known.
std::uint64_t directoryOwnSize(const std::string& directoryPath);

// The names of the regular files in a directory, links to regular files
// included, as raw bytes in the file system's order. Empty when the directory
// cannot be read.
std::vector<std::string> regularFileNames(const std::string& directoryPath);
// The same, handed over in batches as they are read, for work on the first while the
// rest is read; each batch may be moved from.
void regularFileNamesInBatches(const std::string& directoryPath,
                               const std::function<void(std::vector<std::string>&)>& take);

#ifdef _WIN32
// What the search makes of an entry from its attribute word. Only a plain directory
// (read-only and archive allowed) is entered: hidden and system directories stay
// out, and so do links and junctions (reparse points), which keeps the walk free of
// loops, as NTFS has no other way to reach a directory twice. Everything else,
// directories that stay out included, is tested as a file name.
EntryKind windowsEntryKind(unsigned long attributes);
#endif

} // namespace tb
