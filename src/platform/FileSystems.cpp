#include "platform/FileSystems.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace tb {

FileSystemKind fileSystemKindOfType(std::uint32_t statfsType) {
    // The numbers of linux/magic.h, which other systems lack.
    switch (statfsType) {
    case 0xEF53:     // ext2, ext3 and ext4
    case 0x58465342: // XFS
    case 0x01021994: // tmpfs
        return FileSystemKind::SingleDevice;
    case 0x4d44:     // FAT
    case 0x2011BAB0: // exFAT
    case 0x5346544e: // NTFS
        return FileSystemKind::Windows;
    case 0x65735546:
        return FileSystemKind::Fuse;
    default:
        return FileSystemKind::Unknown;
    }
}

bool isWindowsMountType(std::string_view mountType) {
    // A FUSE mount reads "fuseblk" or "fuse", with its driver after a dot where it says.
    static constexpr std::array<std::string_view, 9> windowsTypes{
        "vfat",    "msdos",      "exfat",      "ntfs",   "ntfs3",
        "ntfs-3g", "lowntfs-3g", "exfat-fuse", "fuseblk"};
    for (;;) {
        const std::size_t dot = mountType.find('.');
        if (std::find(windowsTypes.begin(), windowsTypes.end(), mountType.substr(0, dot)) !=
            windowsTypes.end())
            return true;
        if (dot == std::string_view::npos)
            return false;
        mountType.remove_prefix(dot + 1);
    }
}

namespace {

// Blanks, tabs, newlines and backslashes come as three octal digits after a backslash.
std::string unescapeMountField(std::string_view text) {
    std::string field;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size()) {
            const std::string_view digits = text.substr(i + 1, 3);
            if (digits.find_first_not_of("01234567") == std::string_view::npos) {
                field.push_back(static_cast<char>((digits[0] - '0') * 64 + (digits[1] - '0') * 8 +
                                                  (digits[2] - '0')));
                i += 3;
                continue;
            }
        }
        field.push_back(text[i]);
    }
    return field;
}

bool readDevice(std::string_view text, Mount& mount) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return false;
    const auto number = [](std::string_view digits, unsigned& value) {
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value);
        return error == std::errc() && end == digits.data() + digits.size();
    };
    return number(text.substr(0, colon), mount.major) &&
           number(text.substr(colon + 1), mount.minor);
}

} // namespace

std::vector<Mount> parseMountInfo(std::string_view text) {
    // "36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw": the device is the
    // third field, the mount point the fifth, the type the first after the "-" that ends
    // the optional fields.
    std::vector<Mount> mounts;
    std::vector<std::string_view> fields;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        fields.clear();
        while (!line.empty()) {
            const std::size_t blank = line.find(' ');
            fields.push_back(line.substr(0, blank));
            line.remove_prefix(blank == std::string_view::npos ? line.size() : blank + 1);
        }
        Mount mount;
        if (fields.size() < 5 || !readDevice(fields[2], mount))
            continue;
        const auto dash = std::find(fields.begin() + 5, fields.end(), "-");
        if (dash != fields.end() && dash + 1 != fields.end())
            mount.type = unescapeMountField(dash[1]);
        mount.mountPoint = unescapeMountField(fields[4]);
        mounts.push_back(std::move(mount));
    }
    return mounts;
}

} // namespace tb
