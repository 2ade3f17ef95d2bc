#include "platform/FileSystems.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

TEST(FileSystems, WindowsMountTypes) {
    for (const char* type : {"vfat", "exfat", "ntfs3", "fuseblk", "fuse.exfat", "fuseblk.ntfs-3g"})
        EXPECT_TRUE(tb::isWindowsMountType(type)) << type;
    for (const char* type : {"fuse", "fuse.sshfs", "ext4", "tmpfs", "", "vfat2"})
        EXPECT_FALSE(tb::isWindowsMountType(type)) << type;
}

// The type follows the "-" after a varying number of fields; mount points escape in octal.
TEST(FileSystems, MountTableLines) {
    const std::vector<tb::Mount> mounts =
        tb::parseMountInfo("22 1 0:21 / / rw shared:1 master:2 - overlay overlay rw\n"
                           "44 26 7:0 / /media/my\\040stick rw,relatime - fuseblk /dev/loop0 rw\n"
                           "45 26 259:1 / /media/a\\134b rw shared:7 - vfat /dev/sdb1 rw\n"
                           "47 26 8:2 / /cut rw -\n"
                           "1 2 7:3 / /x rw\n"
                           "broken line\n"
                           "46 26 8:1 / /last rw - ext4 /dev/sda1 rw");
    std::vector<std::tuple<unsigned, unsigned, std::string, std::string>> read;
    for (const tb::Mount& mount : mounts)
        read.emplace_back(mount.major, mount.minor, mount.mountPoint, mount.type);
    EXPECT_EQ(read, (decltype(read){{0, 21, "/", "overlay"},
                                    {7, 0, "/media/my stick", "fuseblk"},
                                    {259, 1, "/media/a\\b", "vfat"},
                                    {8, 2, "/cut", ""}, // the separator last: no type
                                    {7, 3, "/x", ""},   // no separator: no type
                                    {8, 1, "/last", "ext4"}}));
}

} // namespace
