#include "windows/SplashWait.h"

#include <gtest/gtest.h>
#include <vector>

// The hold itself is checked on the splash window in tests/gui/test_unit4.cpp; here the wait
// sleeps in short slices and stops on the first tick past the hold.
TEST(SplashWait, SleepsInShortSlicesAndStopsOnTime) {
    std::uint32_t now = 500;
    std::vector<std::uint32_t> sleeps;
    tb::waitForSplashTime(
        500, [&] { return now; },
        [&](std::uint32_t ms) {
            sleeps.push_back(ms);
            now += ms;
        });
    for (std::uint32_t ms : sleeps) {
        EXPECT_GE(ms, 1u);
        EXPECT_LE(ms, 10u);
    }
}
