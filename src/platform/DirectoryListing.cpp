#include "platform/DirectoryListing.h"

namespace tb {

void DirectoryListing::add(std::string_view name, EntryKind kind, FileId id) {
    items_.push_back({names_.size(), name.size(), kind, id});
    names_.append(name);
}

std::vector<std::string> regularFileNames(const std::string& directoryPath) {
    SystemDirectoryLister lister;
    DirectoryListing listing;
    std::vector<std::string> names;
    if (!lister.list(directoryPath, listing))
        return names;
    const std::string prefix =
        directoryPath.empty() || directoryPath.back() == '/' ? directoryPath : directoryPath + '/';
    names.reserve(listing.size());
    for (std::size_t i = 0; i < listing.size(); ++i) {
        // A link, or an entry of a kind the listing could not tell, needs a look.
        const EntryKind kind = listing.kind(i);
        if (kind == EntryKind::RegularFile ||
            (kind != EntryKind::Directory &&
             SystemDirectoryLister::leadsToRegularFile(prefix + std::string(listing.name(i)))))
            names.emplace_back(listing.name(i));
    }
    return names;
}

} // namespace tb
