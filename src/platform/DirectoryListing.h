#pragma once

#include "filetools/DriveWalk.h"

#include <string>
#include <unordered_set>
#include <vector>

namespace tb {

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
    bool readEntries(int directoryFd, const std::string& directoryPath, DirectoryListing& listing);
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

// The whole-drive search's walk on the real file system, on two threads where the
// descriptors left allow it and on one where they are few. It takes no more of them
// than are left less a share kept for the rest of the program (a new thread's event
// loop, a file the window opens), so that they find it as they would without the
// search. Throws FolderUnreachable where not one descriptor can be had for a folder.
WalkEnd searchDriveForMp3(std::string_view startDirectory, WalkSink& sink,
                          const WalkOptions& options = {});

// The names of the regular files in a directory, links to regular files
// included, as raw bytes in the file system's order. Empty when the directory
// cannot be read.
std::vector<std::string> regularFileNames(const std::string& directoryPath);

#ifdef _WIN32
// What the search makes of an entry from its attribute word. Only a plain directory
// (read-only and archive allowed) is entered: hidden and system directories stay
// out, and so do links and junctions (reparse points), which keeps the walk free of
// loops, as NTFS has no other way to reach a directory twice. Everything else,
// directories that stay out included, is tested as a file name.
EntryKind windowsEntryKind(unsigned long attributes);
#endif

} // namespace tb
