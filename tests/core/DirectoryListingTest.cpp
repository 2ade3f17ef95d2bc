// The system's lister under the drive walk, in trees deeper than any path the system
// can open in one piece and with fewer descriptors than levels.
#if defined(__linux__)

#include "platform/DirectoryListing.h"

#include "filetools/DriveWalk.h"
#include "support/ScratchDirectory.h"
#include "support/WalkTrees.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <linux/magic.h>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/vfs.h>

// On one thread with fewer descriptors than the lister's bound (it lets go of held ones and
// tries again), and on two with three listers within 64: the same entries in the same order,
// full paths however long, and nothing left open.
TEST(DirectoryListing, AThousandLevelsWithFewDescriptors) {
    const ScratchDirectory scratch;
    constexpr int kLevels = 1000;
    const std::string levelName(40, 'd'); // the deepest paths run to 41 kB
    tb::test::makeChain(scratch.path(), kLevels, levelName);

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    const std::size_t leftBefore = tb::descriptorsLeft();
    const auto limitTo = [&](rlim_t descriptors) {
        rlimit lowered = saved;
        lowered.rlim_cur = descriptors;
        return ::setrlimit(RLIMIT_NOFILE, &lowered) == 0;
    };
    tb::test::WalkEntries alone, parallel;
    if (limitTo(saved.rlim_cur - leftBefore + 8)) {
        tb::SystemDirectoryLister lister;
        EXPECT_EQ(tb::walkForMp3(lister, scratch.path(), alone), tb::WalkEnd::Completed);
    }
    if (limitTo(64)) {
        const auto makeLister = [] {
            return std::make_unique<tb::SystemDirectoryLister>(
                tb::SystemDirectoryLister::ParallelDescriptors);
        };
        EXPECT_EQ(tb::walkForMp3Parallel(makeLister, scratch.path(), parallel),
                  tb::WalkEnd::Completed);
    }
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(tb::descriptorsLeft(), leftBefore); // none left open

    const auto countEnding = [&alone](std::string_view tail) {
        return std::ranges::count_if(alone.entries,
                                     [&](const auto& e) { return e.ends_with(tail); });
    };
    for (const char* tail : {"/f.mp3", "/side1/s.mp3", "/side2/s.mp3"})
        EXPECT_EQ(countEnding(tail), kLevels) << tail;
    std::string deepest = scratch.path() + '/';
    for (int level = 1; level < kLevels; ++level)
        deepest += levelName + '/';
    EXPECT_EQ(countEnding(deepest + "f.mp3"), 1);
    EXPECT_EQ(parallel.entries, alone.entries);
}

// With two descriptors, folders are left before their parents have been searched through:
// the walk finds its way back in, by the start's path where nothing is held.
TEST(DirectoryListing, TwoDescriptorsFindTheSameFiles) {
    const ScratchDirectory scratch;
    tb::test::makeTree(scratch.path() + "/tree", 3, 1, 4);
    tb::test::WalkEntries few, many;
    tb::SystemDirectoryLister two(2), usual;
    EXPECT_EQ(tb::walkForMp3(two, scratch.path() + "/tree", few), tb::WalkEnd::Completed);
    EXPECT_EQ(tb::walkForMp3(usual, scratch.path() + "/tree", many), tb::WalkEnd::Completed);
    EXPECT_EQ(few.entries, many.entries);
}

// A long folder on ext4 is read by two threads at once, each half of it (the file list's
// test of a large folder finds every name once).
TEST(DirectoryListing, LongFolderReadInHalves) {
    const ScratchDirectory scratch;
    for (int i = 0; i < 8000; ++i)
        tb::test::makeFile(scratch.path() + '/' + std::to_string(i) + ".mp3");
    struct statfs fileSystem {};
    if (::statfs(scratch.path().c_str(), &fileSystem) != 0 || fileSystem.f_type != EXT4_SUPER_MAGIC)
        GTEST_SKIP() << "not on ext4";
    ASSERT_TRUE(tb::SystemDirectoryLister::readableInHalves(scratch.path()));
    tb::DirectoryListing firstHalf;
    tb::SystemDirectoryLister().listHalf(scratch.path(), tb::SystemDirectoryLister::Half::First,
                                         firstHalf);
    EXPECT_NEAR(static_cast<double>(firstHalf.size()), 4000.0, 1000.0);
}

#endif
