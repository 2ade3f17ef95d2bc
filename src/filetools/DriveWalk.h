#pragma once

#include "platform/IoError.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The whole-drive search's walk: depth-first over a directory tree, in the order
// in which the file system lists each directory, reporting every MP3 file as its
// directory path followed by its name. The file system is reached only through
// DirectoryLister, so the walk itself needs nothing beyond the standard library.
namespace tb {

// Which file system a directory lies on, which node it is there, and through which
// mount it is reached. An inode of 0 means the lister cannot tell nodes apart (then
// no loop check is possible, and none is needed: such listers report no links as
// directories); a mount of 0, that it cannot tell mounts apart.
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    // A bind mount shows a folder of the same file system again, with the same device:
    // only the mount tells it from the folder itself.
    std::uint64_t mount = 0;
    friend bool operator==(const FileId&, const FileId&) = default;
};

enum class EntryKind {
    Directory,    // a directory itself, not a link to one
    SymbolicLink, // never followed
    RegularFile,
    Other, // everything else (FIFOs, devices, sockets), or a file where the kind is unknown
};

// One directory's entries, names kept back to back in one buffer so that a
// listing of thousands of entries costs two allocations, reused between listings.
class DirectoryListing {
public:
    void clear() {
        names_.clear();
        items_.clear();
    }
    // Directories carry their FileId; other kinds need none.
    void add(std::string_view name, EntryKind kind, FileId id = {});

    std::size_t size() const { return items_.size(); }
    std::string_view name(std::size_t index) const {
        const Item& item = items_[index];
        return std::string_view(names_).substr(item.offset, item.length);
    }
    EntryKind kind(std::size_t index) const { return items_[index].kind; }
    FileId id(std::size_t index) const { return items_[index].id; }

private:
    struct Item {
        std::size_t offset;
        std::size_t length;
        EntryKind kind;
        FileId id;
    };
    std::string names_;
    std::vector<Item> items_;
};

// The file system as the walk sees it. Paths are byte strings that end in a separator.
class DirectoryLister {
public:
    virtual ~DirectoryLister() = default;
    // The start directory's identity; nothing when it is not a directory.
    virtual std::optional<FileId> identify(const std::string& directoryPath) = 0;
    // Fills `listing` with the directory's entries in the file system's order,
    // "." and ".." included where the file system returns them. False when the
    // directory cannot be listed at all; a listing that breaks off part-way keeps
    // the entries read so far and counts as listed.
    virtual bool list(const std::string& directoryPath, DirectoryListing& listing) = 0;

    // The walk's way down: lists the directory `name` of the directory listed last at
    // `depth` - 1 and not yet left; at depth 0 the start itself, `name` empty. `id` is
    // what that parent's listing said of it, `directoryPath` its whole path. A lister
    // that keeps its directories open can thus reach each one from its parent, at a
    // cost that does not grow with the depth; this one lists by the path.
    virtual bool listBelow(const std::string& directoryPath, std::size_t depth,
                           std::string_view name, FileId id, DirectoryListing& listing) {
        (void)depth;
        (void)name;
        (void)id;
        return list(directoryPath, listing);
    }
    // The walk is done with the directory listed at `depth` and with all below it.
    virtual void leave(std::size_t depth) { (void)depth; }
};

// A folder the walk cannot open for want of a file descriptor, even with all it held
// let go: the walk ends there rather than leave it out unsaid.
class FolderUnreachable : public IoError {
public:
    FolderUnreachable(int code, std::string folder)
        : IoError(code, ioErrorMessage(code)), folder_(std::move(folder)) {}
    // Its directory path, a separator at the end.
    const std::string& folder() const { return folder_; }

private:
    std::string folder_;
};

// Receives what the walk finds, on the walk's thread.
class WalkSink {
public:
    virtual ~WalkSink() = default;
    // A match: directory path and name, valid only during the call.
    virtual void found(std::string_view entry) = 0;
    // After each directory has been listed, so that a sink can hand over on time
    // what it has gathered even while no matches come.
    virtual void listed() {}
};

struct WalkOptions {
    char separator = '/';
    // Checked before every entry; once set, the walk returns at once.
    const std::atomic<bool>* stop = nullptr;
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

// Walks the tree below `startDirectory` depth-first: each entry in listing order,
// a searchable directory searched at once before the next entry, and every entry
// that is not a searchable directory tested as a file. A directory that cannot be
// listed is passed over silently; FolderUnreachable from the lister ends the walk. A
// directory already on the path from the start (a bind mount of an ancestor) is not
// entered again, so the walk always ends.
WalkEnd walkForMp3(DirectoryLister& lister, std::string_view startDirectory, WalkSink& sink,
                   const WalkOptions& options = {});

} // namespace tb
