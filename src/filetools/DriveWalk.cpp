#include "filetools/DriveWalk.h"

#include "filetools/MusicFormats.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace tb {

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

// A folder taken away is opened by its whole path, which must stay openable in one
// piece; deeper folders are left to the walk that listed them.
constexpr std::size_t MaxTakenPathBytes = 3000;
// How long an idle thread sleeps before it looks for work again, should no wake-up come.
constexpr std::chrono::milliseconds IdleWait{1};

struct Task;

// What a folder searched apart found, in walk order: entries, then what was found in
// a folder taken away from it in turn, then entries again, and so on.
struct Piece {
    PathBatch entries;
    Task* taken = nullptr; // reported after `entries`
};

// A folder searched apart from the walk that listed it, by the thread that took it.
struct Task {
    std::string path; // its directory path, a separator at the end
    std::string name; // its name in its parent
    FileId id;
    std::vector<FileId> above; // the folders from the start to its parent: the loop check
    std::size_t depth = 0;     // its depth below the start
    std::deque<Piece> pieces;  // its thread's alone until `done`
    bool done = false;         // guarded by the shared mutex
};

// One folder on a walker's path.
struct Frame {
    DirectoryListing listing;
    std::size_t next = 0;
    std::size_t pathLength = 0;
    FileId id;
    std::string_view name; // in the parent's listing; the walker's first folder's own name
    // The listing's indices of the folders to enter, in order. The walker reaches them
    // from the front; another thread takes them from the back.
    std::vector<std::size_t> folders;
    std::size_t reached = 0;      // folders[0, reached) reached by the walker (guarded)
    std::size_t end = 0;          // folders[end, size) taken away (guarded)
    std::vector<Task*> takenAway; // by folder; set for folders[end, size) (guarded)
};

class Walker;

// Where a walker's matches go: straight to the sink, or into a task's pieces.
class Output {
public:
    virtual ~Output() = default;
    virtual void found(std::string_view entry) = 0;
    // A folder taken away comes next, in the walk's order.
    virtual void taken(Task& task) = 0;
    virtual void listed() {}
};

// What the threads share: the tasks, the walkers that can be taken from, the stop.
struct Shared {
    Shared(const WalkOptions& walkOptions, FileId startId) : options(walkOptions), start(startId) {}

    bool stopRequested() const {
        return failed.load(std::memory_order_relaxed) ||
               (options.stop && options.stop->load(std::memory_order_relaxed));
    }

    const WalkOptions& options;
    const FileId start;
    std::atomic<bool> failed{false};

    std::mutex mutex; // guards what follows, and the frames' shared fields
    std::condition_variable wake;
    std::deque<Task> tasks; // never moved: frames and pieces point at them
    std::vector<Walker*> walkers;
    std::size_t idle = 0;
    bool finished = false;
    std::exception_ptr failure;
};

// The depth-first walk of one folder's tree, the whole walk when it runs alone. Beside
// another thread, a folder that thread has taken is reported as taken instead of being
// searched.
class Walker {
public:
    Walker(Shared& shared, DirectoryLister& lister, Output& output, std::string basePath,
           const std::vector<FileId>& above, std::size_t baseDepth)
        : shared_(shared), lister_(lister), output_(output), basePath_(std::move(basePath)),
          above_(above), baseDepth_(baseDepth) {
        const std::lock_guard lock(shared_.mutex);
        shared_.walkers.push_back(this);
    }

    ~Walker() {
        {
            const std::lock_guard lock(shared_.mutex);
            std::erase(shared_.walkers, this);
        }
        if (depth_ > 0)
            lister_.leave(0);
    }

    // Searches the folder at the base path; false when stopped.
    bool run(std::string_view name, FileId id) {
        path_ = basePath_;
        if (!enter(name, id))
            return true;
        const char separator = shared_.options.separator;
        while (depth_ > 0) {
            if (shared_.stopRequested())
                return false;
            Frame& frame = frames_[depth_ - 1];
            if (frame.next == frame.listing.size()) {
                leave();
                continue;
            }
            const std::size_t index = frame.next++;
            const std::string_view entryName = frame.listing.name(index);
            const EntryKind kind = frame.listing.kind(index);
            const FileId entryId = frame.listing.id(index);
            if (isSearchableDirectory(entryName, kind, entryId, shared_.start)) {
                // Not among the folders to enter: already on the path.
                if (frame.reached == frame.folders.size() || frame.folders[frame.reached] != index)
                    continue;
                Task* away = nullptr;
                {
                    const std::lock_guard lock(shared_.mutex);
                    const std::size_t at = frame.reached++;
                    if (at >= frame.end)
                        away = frame.takenAway[at];
                }
                if (away) {
                    output_.taken(*away);
                    continue;
                }
                path_.append(entryName);
                path_.push_back(separator);
                if (!enter(entryName, entryId)) // not listable: passed over
                    path_.resize(frames_[depth_ - 1].pathLength);
            } else if (shared_.options.allMusic ? hasMusicExtension(entryName)
                                                : hasMp3Extension(entryName)) {
                const std::size_t directoryLength = path_.size();
                path_.append(entryName);
                output_.found(path_);
                path_.resize(directoryLength);
            }
        }
        return true;
    }

    // The shallowest level of this walker with a folder not yet reached, counted from
    // the start, if any is shallower than `depth`; the caller holds the shared mutex.
    bool hasShallowerThan(std::size_t depth, std::size_t& level) const {
        for (std::size_t at = 0; at < depth_ && baseDepth_ + at < depth; ++at) {
            const Frame& frame = frames_[at];
            if (frame.end <= frame.reached) // the walker is past the folders taken away
                continue;
            const std::string_view name = frame.listing.name(frame.folders[frame.end - 1]);
            if (frame.pathLength + name.size() + 1 > MaxTakenPathBytes)
                return false; // deeper levels have longer paths still
            level = at;
            return true;
        }
        return false;
    }
    std::size_t baseDepth() const { return baseDepth_; }

    // Takes the last folder not yet reached at that level; the caller holds the mutex.
    Task& take(std::size_t level) {
        Frame& frame = frames_[level];
        const std::size_t index = frame.folders[frame.end - 1];
        const std::string_view name = frame.listing.name(index);
        Task& task = shared_.tasks.emplace_back();
        task.path.reserve(frame.pathLength + name.size() + 1);
        task.path = basePath_;
        for (std::size_t below = 1; below <= level; ++below) {
            task.path.append(frames_[below].name);
            task.path.push_back(shared_.options.separator);
        }
        task.path.append(name);
        task.path.push_back(shared_.options.separator);
        task.name = name;
        task.id = frame.listing.id(index);
        task.above = above_;
        for (std::size_t on = 0; on <= level; ++on)
            task.above.push_back(frames_[on].id);
        task.depth = baseDepth_ + level + 1;
        --frame.end;
        frame.takenAway[frame.end] = &task;
        return task;
    }

private:
    bool enter(std::string_view name, FileId id) {
        if (frames_.size() == depth_) {
            const std::lock_guard lock(shared_.mutex); // others read the deque
            frames_.emplace_back();
        }
        Frame& frame = frames_[depth_]; // no other thread looks at it until it is counted
        frame.listing.clear();
        if (!lister_.listBelow(path_, depth_, name, id, frame.listing))
            return false;
        frame.next = 0;
        frame.pathLength = path_.size();
        frame.id = id;
        frame.name = name;
        frame.folders.clear();
        for (std::size_t i = 0; i < frame.listing.size(); ++i) {
            const FileId entryId = frame.listing.id(i);
            if (isSearchableDirectory(frame.listing.name(i), frame.listing.kind(i), entryId,
                                      shared_.start) &&
                !isOnPath(entryId))
                frame.folders.push_back(i);
        }
        frame.takenAway.assign(frame.folders.size(), nullptr);
        {
            const std::lock_guard lock(shared_.mutex);
            frame.reached = 0;
            frame.end = frame.folders.size();
            ++depth_;
            if (shared_.idle > 0 && frame.end > 0)
                shared_.wake.notify_all();
        }
        output_.listed();
        return true;
    }

    void leave() {
        {
            const std::lock_guard lock(shared_.mutex);
            --depth_;
        }
        lister_.leave(depth_);
        if (depth_ > 0)
            path_.resize(frames_[depth_ - 1].pathLength);
    }

    // Whether a folder is the one being listed or lies above it.
    bool isOnPath(FileId id) const {
        if (id.inode == 0)
            return false;
        const auto same = [&](FileId on) {
            return on == id;
        };
        if (std::any_of(above_.begin(), above_.end(), same) || frames_[depth_].id == id)
            return true;
        return std::any_of(frames_.begin(), frames_.begin() + static_cast<std::ptrdiff_t>(depth_),
                           [&](const Frame& frame) { return frame.id == id; });
    }

    Shared& shared_;
    DirectoryLister& lister_;
    Output& output_;
    const std::string basePath_;
    const std::vector<FileId>& above_;
    const std::size_t baseDepth_;
    std::string path_;
    std::deque<Frame> frames_; // kept after they are left, for their buffers
    std::size_t depth_ = 0;    // written under the shared mutex
};

class TaskOutput final : public Output {
public:
    explicit TaskOutput(Task& task) : task_(task) { task_.pieces.emplace_back(); }
    void found(std::string_view entry) override { task_.pieces.back().entries.append(entry); }
    void taken(Task& task) override {
        task_.pieces.back().taken = &task;
        task_.pieces.emplace_back();
    }

private:
    Task& task_;
};

// Takes the shallowest folder any walker has not reached yet; the caller holds the mutex.
Task* takeFolder(Shared& shared) {
    Walker* from = nullptr;
    std::size_t depth = static_cast<std::size_t>(-1);
    std::size_t fromLevel = 0;
    for (Walker* walker : shared.walkers) {
        std::size_t level = 0;
        if (walker->hasShallowerThan(depth, level)) {
            from = walker;
            fromLevel = level;
            depth = walker->baseDepth() + level;
        }
    }
    return from ? &from->take(fromLevel) : nullptr;
}

// Searches a task's folder into its pieces; tells the waiting once it is done.
void runTask(Shared& shared, DirectoryLister& lister, Task& task) {
    {
        TaskOutput output(task);
        Walker walker(shared, lister, output, task.path, task.above, task.depth);
        walker.run(task.name, task.id);
    }
    const std::lock_guard lock(shared.mutex);
    task.done = true;
    shared.wake.notify_all();
}

// The calling thread's output: matches go to the sink, and a folder taken away is
// waited for, taking further folders meanwhile with `taskLister`, and then reported.
// A walk that runs alone has no task lister, as nothing is taken away from it.
class SinkOutput final : public Output {
public:
    SinkOutput(Shared& shared, WalkSink& sink, DirectoryLister* taskLister)
        : shared_(shared), sink_(sink), taskLister_(taskLister) {}

    void found(std::string_view entry) override { sink_.found(entry); }
    void listed() override { sink_.listed(); }
    void taken(Task& task) override {
        if (waitFor(task))
            report(task);
        else
            stopped_ = true; // its thread may still be writing it: left alone
    }
    bool stopped() const { return stopped_; }

private:
    // Whether the task is done; false once the walk is to stop.
    bool waitFor(Task& task) {
        std::unique_lock lock(shared_.mutex);
        for (;;) {
            if (task.done)
                return true;
            if (shared_.stopRequested())
                return false;
            if (Task* other = takeFolder(shared_)) {
                lock.unlock();
                runTask(shared_, *taskLister_, *other);
                sink_.listed();
                lock.lock();
                continue;
            }
            ++shared_.idle;
            shared_.wake.wait_for(lock, IdleWait);
            --shared_.idle;
            lock.unlock();
            sink_.listed(); // hands over on time what came before
            lock.lock();
        }
    }

    void report(Task& task) {
        for (Piece& piece : task.pieces) {
            for (std::size_t i = 0; i < piece.entries.size(); ++i) {
                if (shared_.stopRequested()) {
                    stopped_ = true;
                    return;
                }
                sink_.found(piece.entries.at(i));
            }
            piece.entries.clear();
            if (piece.taken)
                taken(*piece.taken);
        }
        task.pieces.clear();
    }

    Shared& shared_;
    WalkSink& sink_;
    DirectoryLister* taskLister_;
    bool stopped_ = false;
};

// The other thread: takes folders until the walk is over.
void help(Shared& shared, DirectoryLister& lister) {
    try {
        std::unique_lock lock(shared.mutex);
        while (!shared.finished && !shared.stopRequested()) {
            if (Task* task = takeFolder(shared)) {
                lock.unlock();
                runTask(shared, lister, *task);
                lock.lock();
                continue;
            }
            ++shared.idle;
            shared.wake.wait_for(lock, IdleWait);
            --shared.idle;
        }
    } catch (...) { // no descriptor, or no memory: the walk ends, the calling thread throws it
        const std::lock_guard lock(shared.mutex);
        if (!shared.failure)
            shared.failure = std::current_exception();
        shared.failed = true;
        shared.wake.notify_all();
    }
}

// However the walk ends, the helper is told and joined before anything it uses goes.
class Helper {
public:
    Helper(Shared& shared, DirectoryLister& lister)
        : shared_(shared),
          thread_([shared = &shared, lister = &lister] { help(*shared, *lister); }) {}
    // Still running only where an exception leaves the walk (finish() has joined it
    // otherwise): its folder is cut short rather than searched for nothing.
    ~Helper() {
        if (thread_.joinable())
            shared_.failed = true;
        finish();
    }

    void finish() {
        if (!thread_.joinable())
            return;
        {
            const std::lock_guard lock(shared_.mutex);
            shared_.finished = true;
            shared_.wake.notify_all();
        }
        thread_.join();
    }

private:
    Shared& shared_;
    std::thread thread_;
};

// The walk of the whole tree from the start, on the calling thread; false when stopped.
bool walkFromStart(Shared& shared, DirectoryLister& lister, Output& output,
                   const std::string& startPath) {
    const std::vector<FileId> above;
    return Walker(shared, lister, output, startPath, above, 0).run({}, shared.start);
}

} // namespace

WalkEnd walkForMp3(DirectoryLister& lister, std::string_view startDirectory, WalkSink& sink,
                   const WalkOptions& options) {
    const std::string startPath = directoryPathOf(startDirectory, options.separator);
    const std::optional<FileId> start = lister.identify(startPath);
    if (!start)
        return WalkEnd::Completed;
    Shared shared(options, *start);
    SinkOutput output(shared, sink, nullptr);
    return walkFromStart(shared, lister, output, startPath) ? WalkEnd::Completed : WalkEnd::Stopped;
}

WalkEnd walkForMp3Parallel(const DirectoryListerFactory& makeLister,
                           std::string_view startDirectory, WalkSink& sink,
                           const WalkOptions& options) {
    const std::string startPath = directoryPathOf(startDirectory, options.separator);
    const std::unique_ptr<DirectoryLister> lister = makeLister();
    const std::optional<FileId> start = lister->identify(startPath);
    if (!start)
        return WalkEnd::Completed;
    // The start tells every lister which file system and mounts it lies on.
    const std::unique_ptr<DirectoryLister> taskLister = makeLister();
    const std::unique_ptr<DirectoryLister> helperLister = makeLister();
    if (!taskLister->identify(startPath) || !helperLister->identify(startPath))
        return walkForMp3(*lister, startDirectory, sink, options); // the start went away

    Shared shared(options, *start);
    SinkOutput output(shared, sink, taskLister.get());
    bool completed = false;
    {
        Helper helper(shared, *helperLister);
        completed = walkFromStart(shared, *lister, output, startPath);
        helper.finish();
    }
    if (shared.failure)
        std::rethrow_exception(shared.failure);
    return completed && !output.stopped() ? WalkEnd::Completed : WalkEnd::Stopped;
}

namespace {
// What the search leaves to the rest of the program, at most half of what is left.
constexpr std::size_t DescriptorsKept = 16;
// Below three listers of this many, one thread walks with them all.
constexpr std::size_t MinParallelDescriptors = 4;
} // namespace

WalkEnd searchDriveForMp3(std::string_view startDirectory, WalkSink& sink,
                          const WalkOptions& options) {
    const std::size_t left = descriptorsLeft();
    // With none left, the start's own open fails and says so.
    const std::size_t budget = std::max<std::size_t>(left - std::min(DescriptorsKept, left / 2), 1);
    if (budget >= 3 * MinParallelDescriptors) {
        // Three listers: the walk's, and one each for the folders either thread takes.
        const std::size_t each = std::min(SystemDirectoryLister::ParallelDescriptors, budget / 3);
        return walkForMp3Parallel([each] { return std::make_unique<SystemDirectoryLister>(each); },
                                  startDirectory, sink, options);
    }
    SystemDirectoryLister lister(std::min(SystemDirectoryLister::MaxDescriptors, budget));
    return walkForMp3(lister, startDirectory, sink, options);
}

} // namespace tb
