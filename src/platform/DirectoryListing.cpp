#include "platform/DirectoryListing.h"

#include <future>
#include <mutex>
#include <system_error>

namespace tb {

void DirectoryListing::add(std::string_view name, EntryKind kind, FileId id) {
    items_.push_back({names_.size(), name.size(), kind, id});
    names_.append(name);
}

void regularFileNamesInBatches(const std::string& directoryPath,
                               const std::function<void(std::vector<std::string>&)>& take) {
    const std::string prefix =
        directoryPath.empty() || directoryPath.back() == '/' ? directoryPath : directoryPath + '/';
    std::mutex handing; // one batch handed over at a time
    const auto read = [&](std::optional<SystemDirectoryLister::Half> half) {
        SystemDirectoryLister lister;
        std::vector<std::string> names;
        // Each read's entries cleared once handed over, so that a long folder's are never
        // all held at once: every page of fresh memory costs a page fault.
        const auto handOver = [&](DirectoryListing& listing) {
            names.clear();
            for (std::size_t at = 0; at < listing.size(); ++at) {
                // A link, or an entry of a kind the listing could not tell, needs a look.
                const EntryKind kind = listing.kind(at);
                if (kind == EntryKind::RegularFile ||
                    (kind != EntryKind::Directory && SystemDirectoryLister::leadsToRegularFile(
                                                         prefix + std::string(listing.name(at)))))
                    names.emplace_back(listing.name(at));
            }
            listing.clear();
            if (!names.empty()) {
                const std::lock_guard lock(handing);
                take(names);
            }
        };
        lister.onEachRead(handOver);
        DirectoryListing listing;
        if (half ? lister.listHalf(directoryPath, *half, listing)
                 : lister.list(directoryPath, listing))
            handOver(listing); // what the last read brought, or all where it came at once
    };
    // The system's reading of a long folder is most of the time it takes to list it.
    if (SystemDirectoryLister::readableInHalves(directoryPath)) {
        std::future<void> secondHalf;
        try {
            secondHalf = std::async(std::launch::async, read, SystemDirectoryLister::Half::Second);
        } catch (const std::system_error&) {
        } // no thread to be had: read whole
        if (secondHalf.valid()) {
            read(SystemDirectoryLister::Half::First);
            secondHalf.get();
            return;
        }
    }
    read(std::nullopt);
}

std::vector<std::string> regularFileNames(const std::string& directoryPath) {
    std::vector<std::string> all;
    regularFileNamesInBatches(directoryPath, [&all](std::vector<std::string>& names) {
        all.insert(all.end(), std::make_move_iterator(names.begin()),
                   std::make_move_iterator(names.end()));
    });
    return all;
}

} // namespace tb
