#include "platform/FileSystems.h"

#include <filesystem>
#include <system_error>

namespace tb {

FileKind fileKind(const std::string& path) {
    // Narrow names are in the ANSI code page, as std::filesystem reads them here.
    std::error_code error;
    const std::filesystem::file_status status =
        std::filesystem::status(std::filesystem::path(path), error);
    if (error || !std::filesystem::exists(status))
        return FileKind::Missing;
    if (std::filesystem::is_regular_file(status))
        return FileKind::Regular;
    return std::filesystem::is_directory(status) ? FileKind::Directory : FileKind::Other;
}

FileSystemKind fileSystemKindOf(const std::string&) {
    return FileSystemKind::Unknown; // names follow Windows rules everywhere here
}

std::optional<std::vector<Mount>> mountTable() {
    return std::nullopt;
}

std::optional<std::pair<unsigned, unsigned>> deviceOf(const std::string&) {
    return std::nullopt;
}

} // namespace tb
