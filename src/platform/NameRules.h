#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <string_view>

// What the file system holding a folder allows in a name: how many bytes, and whether
// it keeps to Windows rules (FAT, exFAT and NTFS, also where a Linux system has them
// mounted: the cards and sticks music is copied to).
namespace tb {

// The bytes that the name at the end of path (the text after its last separator)
// takes in the file system's encoding: UTF-8 here, the ANSI code page on Windows.
qsizetype nameBytes(const QString& path);
// The same for one character given as its UTF-8 sequence.
std::size_t characterBytes(std::string_view utf8Character);

// Whether the folder lies on a file system that refuses \ : * ? " < > | and the control
// characters in a name. Always so on Windows; false where the folder cannot be reached.
bool hasWindowsNameRules(const QByteArray& folder);

// The steps of that answer on Linux, each open to a test without such a mount:
// a statfs type of FAT, exFAT or NTFS (both of Linux's NTFS drivers);
bool isWindowsFileSystemType(std::uint32_t statfsType);
// a type as the mount table names it: "vfat", "exfat", "ntfs3", "fuseblk" (which in
// practice is ntfs-3g or exfat-fuse on a disk), "fuse.exfat";
bool isWindowsMountType(QByteArrayView mountType);
// the type that the text of /proc/self/mountinfo gives the mount of the device
// major:minor; empty when it lists none.
QByteArray mountTypeOf(QByteArrayView mountInfo, unsigned major, unsigned minor);

} // namespace tb
