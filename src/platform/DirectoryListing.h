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
    std::optional<FileId> identify(const std::string& directoryPath) override;
    bool list(const std::string& directoryPath, DirectoryListing& listing) override;

private:
    bool isMountPoint(const std::string& directoryPath, std::string_view name);

    std::vector<char> buffer_;
    std::uint64_t startDevice_ = 0;
    // Whether directories may go without a stat: on the start's file system every
    // directory that is not a mount point lies on the start's device, and its
    // d_ino is its node. Mount points below the start are then all that need one.
    bool knowMounts_ = false;
    std::unordered_set<std::string> mountPoints_;
    std::string scratch_;
};

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
