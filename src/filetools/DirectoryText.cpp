#include "filetools/DirectoryText.h"

namespace tb {

namespace {
bool rootHolds(std::string_view root, std::string_view text, char separator) {
    if (root.empty() || !text.starts_with(root))
        return false;
    if (text.size() == root.size() || root.back() == separator)
        return true;
    return text[root.size()] == separator;
}
} // namespace

std::string driveRootOf(std::string_view directoryText, const std::vector<std::string>& driveRoots,
                        char separator) {
    std::string_view best;
    for (const std::string& root : driveRoots) {
        if (root.size() > best.size() && rootHolds(root, directoryText, separator))
            best = root;
    }
    return std::string(best);
}

std::string withoutDriveRoot(std::string_view directoryText, std::string_view driveRoot,
                             char separator) {
    if (!rootHolds(driveRoot, directoryText, separator))
        return std::string(directoryText);
    std::string_view rest = directoryText.substr(driveRoot.size());
    while (!rest.empty() && rest.front() == separator)
        rest.remove_prefix(1);
    return std::string(rest);
}

std::string lastDirectory(std::string_view directoryText, char separator) {
    const std::size_t at = directoryText.rfind(separator);
    if (at == std::string_view::npos)
        return std::string(directoryText);
    return std::string(directoryText.substr(at + 1));
}

std::string joinPath(std::string_view directoryText, std::string_view name, char separator) {
    std::string path;
    path.reserve(directoryText.size() + 1 + name.size());
    path.append(directoryText);
    path += separator;
    path.append(name);
    return path;
}

} // namespace tb
