#include "platform/DirectoryListing.h"

#include <filesystem>
#include <limits>
#include <system_error>

namespace tb {

namespace fs = std::filesystem;

SystemDirectoryLister::SystemDirectoryLister(std::size_t maxDescriptors) {
    (void)maxDescriptors; // nothing is held open here
}

SystemDirectoryLister::~SystemDirectoryLister() = default;

// std::filesystem tells neither file systems nor nodes apart: every directory
// gets the same id, which keeps the walk on the start's drive letter anyway, and
// junctions and links are not directories here, so no loop can form.
std::optional<FileId> SystemDirectoryLister::identify(const std::string& directoryPath) {
    std::error_code error;
    if (!fs::is_directory(fs::path(directoryPath), error))
        return std::nullopt;
    return FileId{};
}

bool SystemDirectoryLister::list(const std::string& directoryPath, DirectoryListing& listing) {
    std::error_code error;
    fs::directory_iterator it(fs::path(directoryPath), error);
    if (error)
        return false;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            break;
        std::string name;
        try {
            name = it->path().filename().string(); // the system's 8-bit code page
        } catch (const std::exception&) {
            continue; // a name the code page cannot spell: no path to add it by
        }
        const fs::file_status status = it->symlink_status(error);
        if (error)
            listing.add(name, EntryKind::Other);
        else if (fs::is_symlink(status))
            listing.add(name, EntryKind::SymbolicLink);
        else if (fs::is_directory(status))
            listing.add(name, EntryKind::Directory, FileId{});
        else if (fs::is_regular_file(status))
            listing.add(name, EntryKind::RegularFile);
        else
            listing.add(name, EntryKind::Other);
    }
    return true;
}

bool SystemDirectoryLister::leadsToRegularFile(const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(fs::path(path), error);
}

std::size_t descriptorsLeft() {
    return std::numeric_limits<std::size_t>::max(); // the system sets no limit that is known here
}

std::uint64_t directoryOwnSize(const std::string&) {
    return 0; // the standard library gives a directory no size
}

} // namespace tb
