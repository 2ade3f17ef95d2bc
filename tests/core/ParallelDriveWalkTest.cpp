// The two-thread drive walk against the one-thread walk on real trees: the same
// entries in the same order, whatever the tree's shape and however the threads meet.
#if defined(__linux__)

#include "filetools/DriveWalk.h"
#include "platform/DirectoryListing.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Names = std::vector<std::string>;

class ScratchDirectory {
public:
    ScratchDirectory() {
        std::string pattern = testing::TempDir() + "parallelwalkXXXXXX";
        if (::mkdtemp(pattern.data()))
            path = pattern;
    }
    ~ScratchDirectory() {
        if (!path.empty())
            (void)std::system(("chmod -R u+rwx '" + path + "'; rm -rf '" + path + "'").c_str());
    }
    std::string path;
};

void makeDirectory(const std::string& path) {
    ASSERT_EQ(::mkdir(path.c_str(), 0755), 0) << path;
}

void makeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0) << path;
    ::close(fd);
}

// A folder with `files` files, a third of them MP3s, and `folders` such folders in
// it, `levels` deep.
void makeTree(const std::string& path, int folders, int files, int levels) {
    makeDirectory(path);
    for (int i = 0; i < files; ++i)
        makeFile(path + "/t" + std::to_string(i) + (i % 3 == 0 ? ".mp3" : ".txt"));
    if (levels > 1)
        for (int i = 0; i < folders; ++i)
            makeTree(path + "/d" + std::to_string(i), folders, files, levels - 1);
}

// The system's lister, slowed down or refusing folders named "locked", so that the
// threads meet in many ways and some folders cannot be listed.
class TestLister final : public tb::DirectoryLister {
public:
    explicit TestLister(std::chrono::microseconds delay) : delay_(delay) {}
    std::optional<tb::FileId> identify(const std::string& path) override {
        return system_.identify(path);
    }
    bool list(const std::string& path, tb::DirectoryListing& listing) override {
        return system_.list(path, listing);
    }
    bool listBelow(const std::string& path, std::size_t depth, std::string_view name, tb::FileId id,
                   tb::DirectoryListing& listing) override {
        if (delay_.count() > 0)
            std::this_thread::sleep_for(delay_);
        if (name == "locked")
            return false;
        return system_.listBelow(path, depth, name, id, listing);
    }
    void leave(std::size_t depth) override { system_.leave(depth); }

private:
    std::chrono::microseconds delay_;
    tb::SystemDirectoryLister system_{tb::SystemDirectoryLister::ParallelDescriptors};
};

// Keeps what the walk finds; `stopAfter` entries in, it raises `stop` and waits a
// little, so that the other thread is well into its own folders.
struct Collect final : tb::WalkSink {
    void found(std::string_view entry) override {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        entries.emplace_back(entry);
        if (entries.size() == stopAfter) {
            stoppedAt = std::chrono::steady_clock::now();
            stop = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    Names entries;
    std::size_t stopAfter = 0;
    std::atomic<bool> stop{false};
    std::chrono::steady_clock::time_point stoppedAt;
    std::thread::id caller = std::this_thread::get_id();
};

Names sequentialWalk(const std::string& root) {
    TestLister lister(std::chrono::microseconds(0));
    Collect sink;
    EXPECT_EQ(tb::walkForMp3(lister, root, sink), tb::WalkEnd::Completed);
    return sink.entries;
}

Names parallelWalk(const std::string& root, std::chrono::microseconds delay) {
    Collect sink;
    const auto makeLister = [delay] {
        return std::make_unique<TestLister>(delay);
    };
    EXPECT_EQ(tb::walkForMp3Parallel(makeLister, root, sink), tb::WalkEnd::Completed);
    return sink.entries;
}

// Each shape is walked many times, without delay and with listings slowed down.
void expectSameAsSequential(const std::string& root, std::size_t expectedCount) {
    const Names expected = sequentialWalk(root);
    ASSERT_EQ(expected.size(), expectedCount);
    for (int run = 0; run < 12; ++run) {
        const std::chrono::microseconds delay(run % 3 == 0 ? 0 : 20 * run);
        EXPECT_EQ(parallelWalk(root, delay), expected) << "run " << run;
    }
}

class ParallelDriveWalk : public testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(scratch.path.empty()); }
    std::string at(const std::string& name) const { return scratch.path + '/' + name; }
    ScratchDirectory scratch;
};

} // namespace

TEST_F(ParallelDriveWalk, WideAndDeepTreesInTheSameOrder) {
    makeTree(at("wide"), 40, 3, 2);             // 40 folders of 3 files below 3 files
    makeTree(at("bushy"), 4, 3, 5);             // 341 folders, 4 levels below the top
    makeTree(at("chains"), 1, 4, 60);           // one chain of 60 folders
    makeTree(at("chains/d0/d0/side"), 2, 4, 5); // 31 folders on the side
    expectSameAsSequential(at("wide"), 41);
    expectSameAsSequential(at("bushy"), 341);
    expectSameAsSequential(at("chains"), 2 * (60 + 31));
}

// Where one subtree holds nearly everything, first or last, the threads share it.
TEST_F(ParallelDriveWalk, OneDominantSubtree) {
    for (const bool bigFirst : {true, false}) {
        const std::string root = at(bigFirst ? "big-first" : "big-last");
        makeDirectory(root);
        makeTree(root + (bigFirst ? "/a" : "/b"), 3, 3, 5); // 121 folders
        makeTree(root + (bigFirst ? "/b" : "/a"), 1, 3, 2);
        makeFile(root + "/z.mp3");
    }
    expectSameAsSequential(at("big-first"), 121 + 2 + 1);
    expectSameAsSequential(at("big-last"), 121 + 2 + 1);
}

// Empty folders, folders that cannot be listed, hidden folders, links to folders and
// files, and a link back up: all treated as the one-thread walk treats them.
TEST_F(ParallelDriveWalk, EmptyUnlistableHiddenAndLinkedFolders) {
    const std::string root = at("mixed");
    makeTree(root, 6, 3, 3);
    for (int i = 0; i < 20; ++i)
        makeDirectory(root + "/empty" + std::to_string(i));
    makeTree(root + "/locked", 3, 3, 2);
    makeTree(root + "/d2/locked", 3, 3, 2);
    makeTree(root + "/.hidden", 3, 3, 2);
    makeTree(root + "/closed", 3, 3, 2);
    ASSERT_EQ(::chmod((root + "/closed").c_str(), 0), 0); // still listable when run as root
    ASSERT_EQ(::symlink("d1", (root + "/d3/to-d1").c_str()), 0);
    ASSERT_EQ(::symlink("../t0.mp3", (root + "/d4/link.mp3").c_str()), 0);
    ASSERT_EQ(::symlink("..", (root + "/d5/up").c_str()), 0);
    const std::size_t closed = ::geteuid() == 0 ? 4 : 0;
    expectSameAsSequential(root, 43 + 1 + closed);
}

// A folder of the start's own file system mounted again below the start (a bind mount)
// is another mount: searched in its own place only, whether the lister reads the mount
// table (a start named as it is) or looks at every folder (a start through a link).
TEST_F(ParallelDriveWalk, BindMountsBelowTheStartStayOut) {
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
    expectSameAsSequential(root, 3);
    expectSameAsSequential(at("alias"), 3);
}

TEST_F(ParallelDriveWalk, NothingToWalk) {
    makeDirectory(at("empty"));
    expectSameAsSequential(at("empty"), 0);
    EXPECT_TRUE(parallelWalk(at("missing"), std::chrono::microseconds(0)).empty());
}

// Stopped part-way, the walk returns soon, having reported a beginning of the
// entries in order and nothing after the stop.
TEST_F(ParallelDriveWalk, StopsBothThreadsPromptly) {
    makeTree(at("big"), 8, 6, 4); // 585 folders, 1,170 MP3s
    const Names all = sequentialWalk(at("big"));
    ASSERT_EQ(all.size(), 1170u);
    for (std::size_t stopAfter : {std::size_t{1}, std::size_t{300}, std::size_t{1100}}) {
        Collect sink;
        sink.stopAfter = stopAfter;
        tb::WalkOptions options;
        options.stop = &sink.stop;
        // Slow listings: the rest of the tree would take a second more.
        const auto makeLister = [] {
            return std::make_unique<TestLister>(std::chrono::milliseconds(2));
        };
        EXPECT_EQ(tb::walkForMp3Parallel(makeLister, at("big"), sink, options),
                  tb::WalkEnd::Stopped);
        EXPECT_LT(std::chrono::steady_clock::now() - sink.stoppedAt,
                  std::chrono::milliseconds(300));
        ASSERT_EQ(sink.entries.size(), stopAfter);
        EXPECT_TRUE(std::equal(sink.entries.begin(), sink.entries.end(), all.begin()));
    }
}

#endif
