#pragma once

#include <cstdint>
#include <functional>

namespace tb {

// The splash screen stays up for more than this many milliseconds.
constexpr std::uint32_t kSplashMinimumMs = 3000;

// Whether the splash, shown at tick shownAt, has been up long enough at tick now.
// Both are 32-bit millisecond counts; the difference is taken unsigned, so a wrap
// of the count between the two readings does no harm.
constexpr bool splashHeldLongEnough(std::uint32_t shownAt, std::uint32_t now) {
    return static_cast<std::uint32_t>(now - shownAt) > kSplashMinimumMs;
}

// Sleeps in short slices until splashHeldLongEnough holds, reading the tick count
// before each slice; returns at once when it holds already. Sleeping rather than
// polling leaves the processor to others while the splash stands.
void waitForSplashTime(std::uint32_t shownAt, const std::function<std::uint32_t()>& tick,
                       const std::function<void(std::uint32_t milliseconds)>& sleep);

} // namespace tb
