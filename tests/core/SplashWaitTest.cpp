#include "windows/SplashWait.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// A tick count that moves only when the wait sleeps, as a real one would meanwhile.
struct FakeClock {
    std::uint32_t now;
    std::vector<std::uint32_t> sleeps;

    std::uint32_t tick() const { return now; }
    void sleep(std::uint32_t ms) {
        sleeps.push_back(ms);
        now += ms;
    }
    void waitFrom(std::uint32_t shownAt) {
        tb::waitForSplashTime(
            shownAt, [this] { return tick(); }, [this](std::uint32_t ms) { sleep(ms); });
    }
};

TEST(SplashWait, HoldsForMoreThanThreeSeconds) {
    EXPECT_FALSE(tb::splashHeldLongEnough(1000, 4000)); // exactly 3000 is not enough
    EXPECT_TRUE(tb::splashHeldLongEnough(1000, 4001));
}

TEST(SplashWait, DifferenceIsUnsignedAcrossAWrapOfTheTickCount) {
    const std::uint32_t shownAt = 0xFFFFFF00u;             // 256 ms before the wrap
    EXPECT_FALSE(tb::splashHeldLongEnough(shownAt, 100));  // 356 ms later
    EXPECT_FALSE(tb::splashHeldLongEnough(shownAt, 2744)); // 3000 ms later
    EXPECT_TRUE(tb::splashHeldLongEnough(shownAt, 2745));

    FakeClock clock{shownAt, {}};
    clock.waitFrom(shownAt);
    EXPECT_EQ(clock.now, 2745u); // 3001 ms after the splash was shown
}

TEST(SplashWait, SleepsInShortSlicesAndStopsOnTime) {
    FakeClock clock{500, {}};
    clock.waitFrom(500);
    EXPECT_EQ(clock.now, 3501u); // the clock moves only by sleeping
    for (std::uint32_t ms : clock.sleeps) {
        EXPECT_GE(ms, 1u);
        EXPECT_LE(ms, 10u);
    }
}

TEST(SplashWait, SlowStartUpDoesNotWait) {
    FakeClock clock{10'000, {}};
    clock.waitFrom(5000);
    EXPECT_TRUE(clock.sleeps.empty());
}

} // namespace
