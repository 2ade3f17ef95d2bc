#pragma once

#include "platform/DirectoryListing.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The whole-drive search's walk: depth-first over a directory tree, in the order
// in which the file system lists each directory, reporting every MP3 file as its
// directory path followed by its name. The file system is reached only through
// DirectoryLister, so that the walk runs as well on a tree in memory.
namespace tb {

// Receives what the walk finds, on the walk's calling thread.
class WalkSink {
public:
    virtual ~WalkSink() = default;
    // A match: directory path and name, valid only during the call.
    virtual void found(std::string_view entry) = 0;
    // After each directory has been listed, so that a sink can hand over on time
    // what it has gathered even while no matches come.
    virtual void listed() {}
};

// Matches kept for later, back to back in one buffer with where each ends: a batch
// of thousands costs a few allocations and none of its own per entry, and handing it
// over whole (by moving it) copies nothing.
class PathBatch {
public:
    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    std::string_view at(std::size_t index) const {
        const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
        return std::string_view(bytes_).substr(begin, ends_[index] - begin);
    }
    void append(std::string_view entry) {
        bytes_.append(entry);
        ends_.push_back(bytes_.size());
    }
    void clear() {
        bytes_.clear();
        ends_.clear();
    }

private:
    std::string bytes_;
    std::vector<std::size_t> ends_;
};

struct WalkOptions {
    char separator = '/';
    // Checked before every entry; once set, the walk returns at once.
    const std::atomic<bool>* stop = nullptr;
    // Reports every music file (hasMusicExtension) rather than MP3 files alone.
    bool allMusic = false;
};

enum class WalkEnd { Completed, Stopped };

// Whether a name ends in ".MP3" in any mix of case. Upper-casing by the user's
// locale and comparing the last four characters comes to exactly this byte test:
// the only characters that upper-case to '.', 'M', 'P' and '3' are those four and
// 'm' and 'p', each a single byte in every ASCII-compatible encoding a locale
// uses, and such bytes never stand inside a multibyte character that ends a name.
// A name shorter than four characters never matches.
bool hasMp3Extension(std::string_view name);

// Whether the walk descends into an entry: a real directory (not a link), not
// hidden (no leading "."; this also passes over "." and ".."), and on the start's
// file system and mount, so that other mounts below the start stay out.
bool isSearchableDirectory(std::string_view name, EntryKind kind, FileId id, FileId start);

// The directory path of a root: the root with one separator after it ("/" stays
// "/", "/media/usb" becomes "/media/usb/").
std::string directoryPathOf(std::string_view root, char separator);

// Walks the tree below `startDirectory` on the calling thread, depth-first: each entry
// in listing order, a searchable directory searched at once before the next entry, and
// every entry that is not a searchable directory tested as a file. A directory that
// cannot be listed is passed over silently; FolderUnreachable from the lister ends the
// walk. A directory already on the path from the start (a bind mount of an ancestor) is
// not entered again, so the walk always ends.
WalkEnd walkForMp3(DirectoryLister& lister, std::string_view startDirectory, WalkSink& sink,
                   const WalkOptions& options = {});

// Makes a lister for one thread of the walk; called once for each lister needed.
using DirectoryListerFactory = std::function<std::unique_ptr<DirectoryLister>()>;

// The same walk with the same matches in the same order, on two threads: the calling
// thread walks and reports as walkForMp3 does, while a helper takes folders the walk
// has listed but not yet reached (the last pending one at the shallowest level) and
// searches them into a buffer of its own, which the calling thread reports when the
// walk comes to that folder; while it waits there, it takes such folders itself. Each
// thread keeps its own listers. The sink is called only on the calling thread. The
// stop flag ends both threads promptly.
WalkEnd walkForMp3Parallel(const DirectoryListerFactory& makeLister,
                           std::string_view startDirectory, WalkSink& sink,
                           const WalkOptions& options = {});

// The whole-drive search's walk on the real file system, on two threads where the
// descriptors left allow it and on one where they are few. It takes no more of them
// than are left less a share kept for the rest of the program (a new thread's event
// loop, a file the window opens), so that they find it as they would without the
// search. Throws FolderUnreachable where not one descriptor can be had for a folder.
WalkEnd searchDriveForMp3(std::string_view startDirectory, WalkSink& sink,
                          const WalkOptions& options = {});

} // namespace tb
