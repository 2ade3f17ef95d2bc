#include "filetools/DriveWalk.h"

#include <algorithm>
#include <deque>

namespace tb {

void DirectoryListing::add(std::string_view name, EntryKind kind, FileId id) {
    items_.push_back({names_.size(), name.size(), kind, id});
    names_.append(name);
}

namespace {
constexpr char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
} // namespace

bool hasMp3Extension(std::string_view name) {
    if (name.size() < 4)
        return false;
    const std::string_view last = name.substr(name.size() - 4);
    return last[0] == '.' && asciiUpper(last[1]) == 'M' && asciiUpper(last[2]) == 'P' &&
           last[3] == '3';
}

bool isSearchableDirectory(std::string_view name, EntryKind kind, FileId id, FileId start) {
    return kind == EntryKind::Directory && !name.empty() && name.front() != '.' &&
           id.device == start.device && id.mount == start.mount;
}

std::string directoryPathOf(std::string_view root, char separator) {
    std::string path(root);
    if (path.empty() || path.back() != separator)
        path.push_back(separator);
    return path;
}

namespace {

// One directory on the path from the start: its listing, how far the walk has
// come through it, and where its directory path ends.
struct Frame {
    DirectoryListing listing;
    std::size_t next = 0;
    std::size_t pathLength = 0;
    FileId id;
};

class Walk {
public:
    Walk(DirectoryLister& lister, WalkSink& sink, const WalkOptions& options)
        : lister_(lister), sink_(sink), options_(options) {}

    // However the walk ends, the lister lets go of what it holds open.
    ~Walk() {
        if (depth_ > 0)
            lister_.leave(0);
    }

    WalkEnd run(std::string_view startDirectory) {
        path_ = directoryPathOf(startDirectory, options_.separator);
        const std::optional<FileId> start = lister_.identify(path_);
        if (!start || !enter({}, *start))
            return WalkEnd::Completed;
        while (depth_ > 0) {
            if (stopRequested())
                return WalkEnd::Stopped;
            Frame& frame = frames_[depth_ - 1];
            if (frame.next == frame.listing.size()) {
                leave();
                continue;
            }
            const std::size_t index = frame.next++;
            const std::string_view name = frame.listing.name(index);
            const EntryKind kind = frame.listing.kind(index);
            const FileId id = frame.listing.id(index);
            if (isSearchableDirectory(name, kind, id, *start)) {
                if (!isOnPath(id)) {
                    path_.append(name);
                    path_.push_back(options_.separator);
                    if (!enter(name, id)) // not listable: passed over
                        path_.resize(frames_[depth_ - 1].pathLength);
                }
            } else if (hasMp3Extension(name)) {
                const std::size_t directoryLength = path_.size();
                path_.append(name);
                sink_.found(path_);
                path_.resize(directoryLength);
            }
        }
        return WalkEnd::Completed;
    }

private:
    bool stopRequested() const {
        return options_.stop && options_.stop->load(std::memory_order_relaxed);
    }

    // Lists the directory at path_, `name` in the current one, into the next frame.
    // The name lives in the current frame's listing, which stays in place: frames are
    // kept in a deque, which never moves them.
    bool enter(std::string_view name, FileId id) {
        if (frames_.size() == depth_)
            frames_.emplace_back();
        Frame& frame = frames_[depth_];
        frame.listing.clear();
        if (!lister_.listBelow(path_, depth_, name, id, frame.listing))
            return false;
        frame.next = 0;
        frame.pathLength = path_.size();
        frame.id = id;
        ++depth_;
        sink_.listed();
        return true;
    }

    void leave() {
        --depth_;
        lister_.leave(depth_);
        if (depth_ > 0)
            path_.resize(frames_[depth_ - 1].pathLength);
    }

    bool isOnPath(FileId id) const {
        if (id.inode == 0)
            return false;
        return std::any_of(frames_.begin(), frames_.begin() + static_cast<std::ptrdiff_t>(depth_),
                           [&](const Frame& frame) { return frame.id == id; });
    }

    DirectoryLister& lister_;
    WalkSink& sink_;
    const WalkOptions& options_;
    std::string path_;
    // Frames are kept after the walk leaves them, so that their buffers serve the
    // next directory at the same depth.
    std::deque<Frame> frames_;
    std::size_t depth_ = 0;
};

} // namespace

WalkEnd walkForMp3(DirectoryLister& lister, std::string_view startDirectory, WalkSink& sink,
                   const WalkOptions& options) {
    return Walk(lister, sink, options).run(startDirectory);
}

} // namespace tb
