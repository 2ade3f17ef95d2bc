#include "platform/FileSystems.h"

#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#if defined(__linux__)
#include <sys/vfs.h>
#endif

namespace tb {

FileKind fileKind(const std::string& path) {
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0)
        return FileKind::Missing;
    if (S_ISREG(status.st_mode))
        return FileKind::Regular;
    return S_ISDIR(status.st_mode) ? FileKind::Directory : FileKind::Other;
}

FileSystemKind fileSystemKindOf([[maybe_unused]] const std::string& path) {
#if defined(__linux__)
    struct statfs info {};
    if (::statfs(path.c_str(), &info) != 0)
        return FileSystemKind::Unknown;
    return fileSystemKindOfType(static_cast<std::uint32_t>(info.f_type));
#else
    return FileSystemKind::Unknown; // statfs numbers its types in its own way elsewhere
#endif
}

std::optional<std::vector<Mount>> mountTable() {
    std::ifstream table("/proc/self/mountinfo", std::ios::binary);
    if (!table)
        return std::nullopt;
    const std::string text{std::istreambuf_iterator<char>(table), std::istreambuf_iterator<char>()};
    return parseMountInfo(text);
}

std::optional<std::pair<unsigned, unsigned>> deviceOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return std::pair{static_cast<unsigned>(major(status.st_dev)),
                     static_cast<unsigned>(minor(status.st_dev))};
}

} // namespace tb
