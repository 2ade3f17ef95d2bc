#include "platform/RealPaths.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#endif

namespace tb {

bool onSameVolume(const std::string& path, const std::string& otherPath) {
#ifdef _WIN32
    // The mount point of each path's volume: a drive's root, or a folder a volume is
    // mounted on.
    char root[MAX_PATH + 1];
    char otherRoot[MAX_PATH + 1];
    if (!GetVolumePathNameA(path.c_str(), root, sizeof root) ||
        !GetVolumePathNameA(otherPath.c_str(), otherRoot, sizeof otherRoot))
        return false;
    return lstrcmpiA(root, otherRoot) == 0;
#else
    struct stat info {};
    struct stat otherInfo {};
    if (stat(path.c_str(), &info) != 0 || stat(otherPath.c_str(), &otherInfo) != 0)
        return false;
    return info.st_dev == otherInfo.st_dev;
#endif
}

std::string realPath(const std::string& path) {
#ifdef _WIN32
    return path;
#else
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
#endif
}

} // namespace tb
