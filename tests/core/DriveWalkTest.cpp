// The drive walk on a tree in memory and on real trees, on one thread and on two; and the
// search within any limit of open descriptors.
#include "filetools/DriveWalk.h"
#include "filetools/MusicFormats.h"
#include "support/WalkTrees.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

using tb::EntryKind;
using tb::FileId;

namespace {

// Plain files are {"name"}; directories come from FakeLister::dir.
struct Entry {
    std::string name;
    EntryKind kind = EntryKind::Other;
    FileId id{};
};

// A file system in memory: each directory path holds its entries in listing order.
class FakeLister final : public tb::DirectoryLister {
public:
    Entry dir(std::string name, FileId id = {}) {
        return {std::move(name), EntryKind::Directory,
                id == FileId{} ? FileId{1, nextInode_++} : id};
    }

    std::optional<FileId> identify(const std::string& path) override {
        return directories.count(path) ? std::optional(FileId{1, 1}) : std::nullopt;
    }
    bool list(const std::string& path, tb::DirectoryListing& listing) override {
        listed.push_back(path);
        const auto it = directories.find(path);
        if (it == directories.end())
            return false;
        for (const Entry& entry : it->second)
            listing.add(entry.name, entry.kind, entry.id);
        return true;
    }

    std::map<std::string, std::vector<Entry>> directories;
    std::vector<std::string> listed;

private:
    std::uint64_t nextInode_ = 2;
};

using Names = std::vector<std::string>;

// Keeps what the walk finds, on the thread that started it; `stopAfter` entries in, it
// raises `stop` and waits a little, so that another thread is well into its own folders.
struct Collect final : tb::test::WalkEntries {
    void found(std::string_view entry) override {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        WalkEntries::found(entry);
        if (entries.size() == stopAfter) {
            if (whenStopped)
                whenStopped();
            stop = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    std::size_t stopAfter = 0;
    std::atomic<bool> stop{false};
    std::function<void()> whenStopped;
    std::thread::id caller = std::this_thread::get_id();
};

Names walk(FakeLister& lister, std::string_view start, char separator = '/') {
    Collect sink;
    tb::WalkOptions options;
    options.separator = separator;
    EXPECT_EQ(tb::walkForMp3(lister, start, sink, options), tb::WalkEnd::Completed);
    return sink.entries;
}

} // namespace

TEST(DriveWalk, PathsDepthFirstInListingOrder) {
    FakeLister fs;
    fs.directories["c:\\"] = {{"SONG.mp3"}, fs.dir("ROCK"), {"z.MP3"}};
    fs.directories["c:\\ROCK\\"] = {{"b.Mp3"}, fs.dir("."), fs.dir(".."), {"A.MP3"}};
    // A subdirectory is searched at once, before the entries after it.
    EXPECT_EQ(walk(fs, "c:\\", '\\'),
              (Names{"c:\\SONG.mp3", "c:\\ROCK\\b.Mp3", "c:\\ROCK\\A.MP3", "c:\\z.MP3"}));

    // The start gets exactly one separator.
    fs.directories["/media/usb/"] = {{"b.mp3"}};
    EXPECT_EQ(walk(fs, "/media/usb"), Names{"/media/usb/b.mp3"});
}

TEST(DriveWalk, ExtensionTest) {
    // Latin-1 and UTF-8 names alike; only the last four bytes count.
    for (const char* name :
         {".MP3", "a.mP3", "p\xc3\xadse\xc5\x88.Mp3", "p\355se\362.mp3", "x.tar.mp3"})
        EXPECT_TRUE(tb::hasMp3Extension(name)) << name;
    for (const char* name :
         {"MP3", "mp3", "", ".mp", "SONG.MP3.BAK", "x_mp3", "x.mp3 ", "x.m\303\2513"})
        EXPECT_FALSE(tb::hasMp3Extension(name)) << name;
    for (const char* name : {".flac", "a.OGA", "b.Opus", "c.AIFF", "d.wv"})
        EXPECT_TRUE(tb::hasMusicExtension(name)) << name;
    for (const char* name : {"flac", "a.flac.bak", "b.mp4", "c.aiff2", "d.wav "})
        EXPECT_FALSE(tb::hasMusicExtension(name)) << name;
}

// Only plain visible directories on the start's mount ("usb" is another mount, "bound" a bind
// mount) are searched, none twice (again, root); every other entry is tested as a file, and
// a directory that cannot be listed is passed over silently.
TEST(DriveWalk, WhichEntriesAreSearched) {
    FakeLister fs;
    const FileId music{1, 50};
    fs.directories["/"] = {fs.dir(".hidden"),
                           {"link", EntryKind::SymbolicLink},
                           fs.dir("usb", FileId{7, 1}),
                           fs.dir("music", music),
                           {"song.mp3", EntryKind::SymbolicLink},
                           fs.dir(".old.mp3"),
                           fs.dir("d.mp3"),
                           fs.dir("gone"),
                           {"a.mp3"},
                           fs.dir("bound", FileId{1, 50, 9})};
    fs.directories["/music/"] = {
        {"a.mp3"}, fs.dir("again", music), fs.dir("root", {1, 1}), {"b.mp3"}};
    fs.directories["/d.mp3/"] = {};
    EXPECT_EQ(walk(fs, "/"),
              (Names{"/music/a.mp3", "/music/b.mp3", "/song.mp3", "/.old.mp3", "/a.mp3"}));
    EXPECT_EQ(fs.listed, (Names{"/", "/music/", "/d.mp3/", "/gone/"}));

    FakeLister missing;
    EXPECT_TRUE(walk(missing, "/nowhere").empty());
}

TEST(DriveWalk, StopsAtOnce) {
    FakeLister fs;
    fs.directories["/"] = {fs.dir("a"), {"z.mp3"}};
    fs.directories["/a/"] = {{"1.mp3"}, {"2.mp3"}, fs.dir("b")};
    fs.directories["/a/b/"] = {{"3.mp3"}};
    Collect sink;
    sink.stopAfter = 1;
    tb::WalkOptions options;
    options.stop = &sink.stop;
    EXPECT_EQ(tb::walkForMp3(fs, "/", sink, options), tb::WalkEnd::Stopped);
    EXPECT_EQ(sink.entries, Names{"/a/1.mp3"});
    EXPECT_EQ(fs.listed, (Names{"/", "/a/"}));
}

#if defined(__linux__)

#include "support/ScratchDirectory.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using tb::test::makeDirectory;
using tb::test::makeTree;

namespace {

// Every folder a walk lists, whichever thread lists it.
struct ListingLog {
    void add(const std::string& path) {
        const std::lock_guard lock(mutex);
        paths.push_back(path);
    }
    std::mutex mutex;
    Names paths;
};

// The system's lister, slowed down, refusing folders named "locked" and failing on those
// named "failing" (as when out of memory), so that the threads meet in many ways.
class TestLister final : public tb::DirectoryLister {
public:
    TestLister(std::chrono::microseconds delay, ListingLog& log) : delay_(delay), log_(log) {}
    std::optional<tb::FileId> identify(const std::string& path) override {
        return system_.identify(path);
    }
    bool list(const std::string& path, tb::DirectoryListing& listing) override {
        return system_.list(path, listing);
    }
    bool listBelow(const std::string& path, std::size_t depth, std::string_view name, tb::FileId id,
                   tb::DirectoryListing& listing) override {
        log_.add(path);
        if (delay_.count() > 0)
            std::this_thread::sleep_for(delay_);
        if (name == "locked")
            return false;
        if (name == "failing")
            throw std::bad_alloc();
        return system_.listBelow(path, depth, name, id, listing);
    }
    void leave(std::size_t depth) override { system_.leave(depth); }

private:
    std::chrono::microseconds delay_;
    ListingLog& log_;
    tb::SystemDirectoryLister system_{tb::SystemDirectoryLister::ParallelDescriptors};
};

// The entries found, and the folders listed (sorted), on one thread or on two.
std::pair<Names, Names> walkReal(const std::string& root, bool twoThreads,
                                 std::chrono::microseconds delay = {}) {
    ListingLog log;
    Collect sink;
    const auto makeLister = [delay, &log] {
        return std::make_unique<TestLister>(delay, log);
    };
    EXPECT_EQ(twoThreads ? tb::walkForMp3Parallel(makeLister, root, sink)
                         : tb::walkForMp3(*makeLister(), root, sink),
              tb::WalkEnd::Completed);
    std::ranges::sort(log.paths);
    return {sink.entries, log.paths};
}

// Each shape is walked many times, without delay and with listings slowed down: the
// same entries in the same order, and each folder listed once, by whichever thread.
void expectSameAsAlone(const std::string& root, std::size_t expectedCount) {
    const auto alone = walkReal(root, false);
    ASSERT_EQ(alone.first.size(), expectedCount);
    for (int run = 0; run < 12; ++run)
        EXPECT_EQ(walkReal(root, true, std::chrono::microseconds(run % 3 == 0 ? 0 : 20 * run)),
                  alone)
            << "run " << run;
}

class DriveWalkOnTwoThreads : public testing::Test {
protected:
    std::string at(const std::string& name) const { return scratch.path() + '/' + name; }
    const ScratchDirectory scratch;
};

} // namespace

TEST_F(DriveWalkOnTwoThreads, WideDeepAndLopsidedTreesInTheSameOrder) {
    makeTree(at("wide"), 40, 3, 2);             // 40 folders of 3 files below 3 files
    makeTree(at("bushy"), 4, 3, 5);             // 341 folders, 4 levels below the top
    makeTree(at("chains"), 1, 4, 60);           // one chain of 60 folders
    makeTree(at("chains/d0/d0/side"), 2, 4, 5); // 31 folders on the side
    expectSameAsAlone(at("wide"), 41);
    expectSameAsAlone(at("bushy"), 341);
    makeDirectory(at("bushy/d3/failing")); // a failure on either thread ends the walk with it
    for (int run = 0; run < 12; ++run)
        EXPECT_THROW(walkReal(at("bushy"), true, std::chrono::microseconds(20 * run)),
                     std::bad_alloc);
    expectSameAsAlone(at("chains"), 2 * (60 + 31));
    makeDirectory(at("empty"));
    expectSameAsAlone(at("empty"), 0);
    EXPECT_TRUE(walkReal(at("missing"), true).first.empty());

    // Where one subtree holds nearly everything, first or last, the threads share it.
    for (const bool bigFirst : {true, false}) {
        const std::string root = at(bigFirst ? "big-first" : "big-last");
        makeDirectory(root);
        makeTree(root + (bigFirst ? "/a" : "/b"), 3, 3, 5); // 121 folders
        makeTree(root + (bigFirst ? "/b" : "/a"), 1, 3, 2);
        tb::test::makeFile(root + "/z.mp3");
    }
    expectSameAsAlone(at("big-first"), 121 + 2 + 1);
    expectSameAsAlone(at("big-last"), 121 + 2 + 1);
}

// Empty folders, folders that cannot be listed, hidden folders, links to folders and
// files, and a link back up: all treated as the one-thread walk treats them.
TEST_F(DriveWalkOnTwoThreads, EmptyUnlistableHiddenAndLinkedFolders) {
    const std::string root = at("mixed");
    makeTree(root, 6, 3, 3);
    for (int i = 0; i < 20; ++i)
        makeDirectory(root + "/empty" + std::to_string(i));
    for (const char* below : {"/locked", "/d2/locked", "/.hidden", "/closed"})
        makeTree(root + below, 3, 3, 2);
    ASSERT_EQ(::chmod((root + "/closed").c_str(), 0), 0); // still listable when run as root
    ASSERT_EQ(::symlink("d1", (root + "/d3/to-d1").c_str()), 0);
    ASSERT_EQ(::symlink("../t0.mp3", (root + "/d4/link.mp3").c_str()), 0);
    ASSERT_EQ(::symlink("..", (root + "/d5/up").c_str()), 0);
    const std::size_t closed = ::geteuid() == 0 ? 4 : 0;
    expectSameAsAlone(root, 43 + 1 + closed);
}

// A bind mount below the start is searched in its own place only, whether the lister reads
// the mount table (a start named as it is) or looks at every folder (a start through a link).
TEST_F(DriveWalkOnTwoThreads, BindMountsBelowTheStartStayOut) {
    const std::string root = at("bound");
    makeTree(root, 2, 3, 2); // 3 MP3s: one in the root, one in each of d0 and d1
    makeDirectory(root + "/again");
    if (::mount((root + "/d0").c_str(), (root + "/again").c_str(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "no bind mounts here: " << std::strerror(errno);
    struct Unmount {
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
        std::string path;
    } unmount{root + "/again"};
    ASSERT_EQ(::symlink(root.c_str(), at("alias").c_str()), 0);
    expectSameAsAlone(root, 3);
    expectSameAsAlone(at("alias"), 3);
}

// Stopped part-way, the walk returns soon, with a beginning of the entries, nothing after.
class DriveWalkStopped : public testing::TestWithParam<std::size_t> {
protected:
    static void SetUpTestSuite() {
        tree_ = std::make_unique<ScratchDirectory>();
        makeTree(root(), 8, 6, 4); // 585 folders, 1,170 MP3s
        all_ = walkReal(root(), false).first;
    }
    static void TearDownTestSuite() { tree_.reset(); }
    static std::string root() { return tree_->path() + "/big"; }
    static inline std::unique_ptr<ScratchDirectory> tree_;
    static inline Names all_;
};

TEST_P(DriveWalkStopped, BothThreadsPromptly) {
    ASSERT_EQ(all_.size(), 1170u);
    Collect sink;
    sink.stopAfter = GetParam();
    tb::WalkOptions options;
    options.stop = &sink.stop;
    // Slow listings, so that the rest of the tree is far from listed at the stop.
    ListingLog log;
    std::size_t listedAtStop = 0;
    sink.whenStopped = [&] {
        const std::lock_guard lock(log.mutex);
        listedAtStop = log.paths.size();
    };
    const auto makeLister = [&log] {
        return std::make_unique<TestLister>(std::chrono::milliseconds(2), log);
    };
    EXPECT_EQ(tb::walkForMp3Parallel(makeLister, root(), sink, options), tb::WalkEnd::Stopped);
    EXPECT_LE(log.paths.size(), listedAtStop + 2); // at most the listing each thread was in
    ASSERT_EQ(sink.entries.size(), GetParam());
    EXPECT_TRUE(std::equal(sink.entries.begin(), sink.entries.end(), all_.begin()));
}

INSTANTIATE_TEST_SUITE_P(Entries, DriveWalkStopped,
                         testing::Values(std::size_t{1}, std::size_t{300}, std::size_t{1100}),
                         testing::PrintToStringParamName());

// The search as the window runs it, under any descriptor limit: the one-thread walk's entries,
// while the rest of the program can still open what it needs; in a child process per limit.
enum ChildEnd { SameEntries = 10, OtherEntries, Failed, Skipped };

struct SearchProbe final : tb::test::WalkEntries {
    void found(std::string_view entry) override {
        WalkEntries::found(entry);
        if (entries.size() % 64 == 0) { // as another thread of the program might
            const int fd = ::dup(2);
            if (fd < 0)
                ++refused;
            else
                ::close(fd);
        }
    }
    int refused = 0;
};

// `extraOpen` descriptors opened first, the window's own files.
int searchUnderLimit(const std::string& root, const Names& expected, int extraOpen, rlim_t limit) {
    const pid_t child = ::fork();
    if (child == 0) {
        rlimit lowered{limit, limit};
        ::setrlimit(RLIMIT_NOFILE, &lowered);
        if (extraOpen == 0)
            ::close(0); // no input either: the start may then get descriptor 0
        for (int i = 0; i != extraOpen && ::dup(2) >= 0; ++i) {
        }
#ifdef __SANITIZE_ADDRESS__ // the sanitizers' own checks of a throw need a descriptor
        if (tb::descriptorsLeft() <= 3)
            ::_exit(Skipped);
#endif
        int end = Failed;
        try {
            SearchProbe probe;
            tb::searchDriveForMp3(root, probe);
            end = probe.entries == expected && probe.refused == 0 ? SameEntries : OtherEntries;
        } catch (...) {
        }
        ::_exit(end);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

class DriveSearchWithinDescriptors : public testing::TestWithParam<std::tuple<int, rlim_t>> {
protected:
    static void SetUpTestSuite() {
        tree_ = std::make_unique<ScratchDirectory>();
        for (const char* chain : {"/a", "/b", "/c", "/d"}) {
            makeDirectory(tree_->path() + chain);
            tb::test::makeChain(tree_->path() + chain, 60, "level");
        }
        tb::SystemDirectoryLister lister;
        Collect sink;
        tb::walkForMp3(lister, tree_->path(), sink);
        expected_ = sink.entries;
    }
    static void TearDownTestSuite() { tree_.reset(); }
    static inline std::unique_ptr<ScratchDirectory> tree_;
    static inline Names expected_;
};

TEST_P(DriveSearchWithinDescriptors, SameEntriesAsTheOneThreadWalk) {
    ASSERT_EQ(expected_.size(), std::size_t{4 * 3 * 60});
    const auto [extraOpen, limit] = GetParam();
    const int end = searchUnderLimit(tree_->path(), expected_, extraOpen, limit);
    if (end == Skipped)
        GTEST_SKIP() << "no descriptor left free for the sanitizers";
    EXPECT_EQ(end, SameEntries);
}

INSTANTIATE_TEST_SUITE_P(Limits, DriveSearchWithinDescriptors,
                         testing::Combine(testing::Values(0, 6),
                                          testing::Values<rlim_t>(12, 16, 24, 32, 64)),
                         [](const auto& info) {
                             return "Extra" + std::to_string(std::get<0>(info.param)) + "Limit" +
                                    std::to_string(std::get<1>(info.param));
                         });

#endif
