#include "windows/SplashWait.h"

#include <algorithm>

namespace tb {

namespace {
// Short enough that the splash closes within a few milliseconds of its time.
constexpr std::uint32_t kSliceMs = 10;
} // namespace

void waitForSplashTime(std::uint32_t shownAt, const std::function<std::uint32_t()>& tick,
                       const std::function<void(std::uint32_t milliseconds)>& sleep) {
    for (;;) {
        const std::uint32_t elapsed = tick() - shownAt;
        if (elapsed > kSplashMinimumMs)
            return;
        sleep(std::min(kSliceMs, kSplashMinimumMs + 1 - elapsed));
    }
}

} // namespace tb
