#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a path names and what kind of file system holds it, as the system tells.
namespace tb {

enum class FileKind {
    Missing, // nothing there, or nothing that can be reached
    Regular,
    Directory,
    Other, // FIFOs, devices, sockets
};
// What the path names, links followed.
FileKind fileKind(const std::string& path);
inline bool isRegularFile(const std::string& path) {
    return fileKind(path) == FileKind::Regular;
}

enum class FileSystemKind {
    Unknown,
    // ext2 to ext4, XFS and tmpfs: no subvolumes, so a directory changes device only
    // where something is mounted, and d_ino is the node that stat reports.
    SingleDevice,
    // FAT, exFAT and NTFS (both of Linux's NTFS drivers), which keep to Windows rules.
    Windows,
    // Any FUSE driver: the mount table tells which.
    Fuse,
};
// The kind for a statfs type number.
FileSystemKind fileSystemKindOfType(std::uint32_t statfsType);
// The kind of the file system holding the path; Unknown where it cannot be told.
FileSystemKind fileSystemKindOf(const std::string& path);

// Whether a type as the mount table names it is one of Windows' file systems: "vfat",
// "exfat", "ntfs3", "fuseblk" (which in practice is ntfs-3g or exfat-fuse on a disk),
// "fuse.exfat".
bool isWindowsMountType(std::string_view mountType);

struct Mount {
    unsigned major = 0;
    unsigned minor = 0;
    std::string mountPoint; // unescaped: the path's own bytes
    std::string type;
};
// The mounts that a text in the form of /proc/self/mountinfo lists.
std::vector<Mount> parseMountInfo(std::string_view text);
// The system's mount table; nothing where it cannot be read.
std::optional<std::vector<Mount>> mountTable();
// The device (major, minor) that holds the path.
std::optional<std::pair<unsigned, unsigned>> deviceOf(const std::string& path);

} // namespace tb
