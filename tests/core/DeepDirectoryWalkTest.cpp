// The drive walk on the real file system, in trees deeper than any path the system
// can open in one piece and with fewer descriptors than levels.
#if defined(__linux__)

#include "filetools/DriveWalk.h"
#include "filetools/DriveWalk.h"
#include "platform/DirectoryListing.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// A fresh directory below the temporary folder, removed with all it holds, however deep.
class ScratchDirectory {
public:
    ScratchDirectory() {
        std::string pattern = testing::TempDir() + "deepwalkXXXXXX";
        if (::mkdtemp(pattern.data()))
            path = pattern;
    }
    ~ScratchDirectory() {
        if (!path.empty()) // rm walks by descriptors: no path is too long for it
            (void)std::system(("rm -rf '" + path + "'").c_str());
    }
    std::string path;
};

void makeFile(int directoryFd, const char* name) {
    const int fd = ::openat(directoryFd, name, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0) << name;
    ::close(fd);
}

// `levels` directories, each in the one before; every level holds "f.mp3", and side
// folders made before and after the next level, each holding "s.mp3", so that in
// any listing order some folders are entered after the walk has climbed back up.
void makeChain(const std::string& root, int levels, const std::string& levelName) {
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    for (int level = 0; level < levels; ++level) {
        ASSERT_EQ(::mkdirat(fd, "side1", 0755), 0);
        makeFile(fd, "side1/s.mp3");
        if (level + 1 < levels) {
            ASSERT_EQ(::mkdirat(fd, levelName.c_str(), 0755), 0);
        }
        ASSERT_EQ(::mkdirat(fd, "side2", 0755), 0);
        makeFile(fd, "side2/s.mp3");
        makeFile(fd, "f.mp3");
        makeFile(fd, "f.txt");
        if (level + 1 < levels) {
            const int next = ::openat(fd, levelName.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::close(fd);
            ASSERT_GE(next, 0) << level;
            fd = next;
        }
    }
    ::close(fd);
}

int openDescriptors() {
    int count = 0;
    if (DIR* fds = ::opendir("/proc/self/fd")) {
        while (::readdir(fds))
            ++count;
        ::closedir(fds);
    }
    return count;
}

// Lowers the limit of open descriptors for the test and restores it after.
class DescriptorLimit {
public:
    explicit DescriptorLimit(rlim_t limit) {
        ::getrlimit(RLIMIT_NOFILE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = limit;
        ::setrlimit(RLIMIT_NOFILE, &lowered);
    }
    ~DescriptorLimit() { ::setrlimit(RLIMIT_NOFILE, &saved_); }

private:
    rlimit saved_{};
};

struct Collect final : tb::WalkSink {
    void found(std::string_view entry) override { entries.emplace_back(entry); }
    std::vector<std::string> entries;
};

std::size_t countEnding(const std::vector<std::string>& entries, std::string_view tail) {
    std::size_t count = 0;
    for (const std::string& entry : entries)
        count += entry.ends_with(tail) ? 1 : 0;
    return count;
}

} // namespace

TEST(DeepDirectoryWalk, FindsEveryFileOfAThousandLevelsWithinSixtyFourDescriptors) {
    ScratchDirectory scratch;
    ASSERT_FALSE(scratch.path.empty());
    constexpr int kLevels = 1000;
    const std::string levelName(40, 'd'); // the deepest paths run to 41 kB
    makeChain(scratch.path, kLevels, levelName);

    const int descriptorsBefore = openDescriptors();
    Collect sink;
    {
        const DescriptorLimit limit(64);
        tb::SystemDirectoryLister lister;
        EXPECT_EQ(tb::walkForMp3(lister, scratch.path, sink), tb::WalkEnd::Completed);
    }
    EXPECT_EQ(openDescriptors(), descriptorsBefore); // nothing left open

    ASSERT_EQ(sink.entries.size(), std::size_t{3 * kLevels});
    for (const char* tail : {"/f.mp3", "/side1/s.mp3", "/side2/s.mp3"})
        EXPECT_EQ(countEnding(sink.entries, tail), std::size_t{kLevels}) << tail;
    // Full paths, however long: the deepest level's file has every level in its path.
    std::string deepest = scratch.path + '/';
    for (int level = 1; level < kLevels; ++level)
        deepest += levelName + '/';
    EXPECT_EQ(countEnding(sink.entries, deepest + "f.mp3"), 1u);
    EXPECT_EQ(countEnding(sink.entries, deepest + "side2/s.mp3"), 1u);
}

// On two threads, three listers between them, the same entries in the same order.
TEST(DeepDirectoryWalk, ParallelWalkOfAThousandLevelsWithinSixtyFourDescriptors) {
    ScratchDirectory scratch;
    ASSERT_FALSE(scratch.path.empty());
    constexpr int kLevels = 1000;
    makeChain(scratch.path, kLevels, std::string(40, 'd'));

    Collect expected;
    {
        tb::SystemDirectoryLister lister;
        tb::walkForMp3(lister, scratch.path, expected);
    }
    ASSERT_EQ(expected.entries.size(), std::size_t{3 * kLevels});

    const int descriptorsBefore = openDescriptors();
    Collect parallel;
    {
        const DescriptorLimit limit(64);
        const auto makeLister = [] {
            return std::make_unique<tb::SystemDirectoryLister>(
                tb::SystemDirectoryLister::ParallelDescriptors);
        };
        EXPECT_EQ(tb::walkForMp3Parallel(makeLister, scratch.path, parallel),
                  tb::WalkEnd::Completed);
    }
    EXPECT_EQ(openDescriptors(), descriptorsBefore);
    EXPECT_EQ(parallel.entries, expected.entries);
}

// The search as the window runs it, within whatever descriptor limit the program has:
// every entry of the one-thread walk in the same order, while the rest of the program
// can still open what it needs (a thread's event loop takes one); or, with not one
// descriptor to be had, an error that names the folder. Each limit is tried in a child
// process, which reports by its exit status.
enum ChildEnd { SameEntries = 10, OtherEntries, Unreachable, Failed };

struct SearchProbe final : tb::WalkSink {
    void found(std::string_view entry) override {
        entries.emplace_back(entry);
        if (entries.size() % 64 == 0) { // as another thread of the program might
            const int fd = ::dup(0);
            if (fd < 0)
                ++refused;
            else
                ::close(fd);
        }
    }
    std::vector<std::string> entries;
    int refused = 0;
};

int searchUnderLimit(const std::string& root, const std::vector<std::string>& expected,
                     int extraOpen, rlim_t limit) {
    const pid_t child = ::fork();
    if (child == 0) {
        rlimit lowered{limit, limit};
        ::setrlimit(RLIMIT_NOFILE, &lowered);
        // The window's own files; with -1, all there are.
        for (int i = 0; i != extraOpen && ::dup(0) >= 0; ++i) {
        }
        int end = Failed;
        try {
            SearchProbe probe;
            tb::searchDriveForMp3(root, probe);
            end = probe.entries == expected && probe.refused == 0 ? SameEntries : OtherEntries;
        } catch (const tb::FolderUnreachable& error) {
            end = error.folder() == root + '/' ? Unreachable : Failed;
        } catch (...) {
        }
        ::_exit(end);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

TEST(DeepDirectoryWalk, SearchWithinAnyDescriptorLimit) {
    ScratchDirectory scratch;
    ASSERT_FALSE(scratch.path.empty());
    for (const char* chain : {"/a", "/b", "/c", "/d"}) {
        ASSERT_EQ(::mkdir((scratch.path + chain).c_str(), 0755), 0);
        makeChain(scratch.path + chain, 60, "level");
    }
    Collect expected;
    {
        tb::SystemDirectoryLister lister;
        tb::walkForMp3(lister, scratch.path, expected);
    }
    ASSERT_EQ(expected.entries.size(), std::size_t{4 * 3 * 60});

    const int open = openDescriptors() - 3; // less ".", ".." and the listing's own one
    for (const int extra : {0, 6})
        for (const rlim_t limit : {12, 16, 24, 32, 64}) {
#ifdef __SANITIZE_ADDRESS__ // none left free: the sanitizers' own checks of a throw need one
            if (limit <= static_cast<rlim_t>(open + extra + 3))
                continue;
#endif
            EXPECT_EQ(searchUnderLimit(scratch.path, expected.entries, extra, limit), SameEntries)
                << "limit " << limit << ", " << open + extra << " open before";
        }
#ifndef __SANITIZE_ADDRESS__ // the sanitizers' own checks of a throw need a descriptor
    EXPECT_EQ(searchUnderLimit(scratch.path, expected.entries, -1, 16), Unreachable);
#endif
}

// Reaching each folder from its parent, and climbing back by "..", must come to the
// same folders as opening each by its whole path, in the same order, within any bound.
TEST(DeepDirectoryWalk, SameEntriesAsOpeningEveryFolderByItsPath) {
    ScratchDirectory scratch;
    ASSERT_FALSE(scratch.path.empty());
    const int levels = 3 * static_cast<int>(tb::SystemDirectoryLister::MaxDescriptors);
    makeChain(scratch.path, levels, "level");

    // Only the path-based listing: the walk's way down is left at its default.
    struct ByPath final : tb::DirectoryLister {
        std::optional<tb::FileId> identify(const std::string& path) override {
            return system.identify(path);
        }
        bool list(const std::string& path, tb::DirectoryListing& listing) override {
            return system.list(path, listing);
        }
        tb::SystemDirectoryLister system;
    } byPath;
    Collect expected;
    tb::walkForMp3(byPath, scratch.path, expected);
    ASSERT_EQ(expected.entries.size(), std::size_t{3 * levels});

    // However few descriptors the lister may keep.
    for (const std::size_t bound : {std::size_t{1}, std::size_t{2}, std::size_t{3},
                                    tb::SystemDirectoryLister::MaxDescriptors}) {
        Collect relative;
        tb::SystemDirectoryLister lister(bound);
        tb::walkForMp3(lister, scratch.path, relative);
        EXPECT_EQ(relative.entries, expected.entries) << bound;
    }
}

#endif
