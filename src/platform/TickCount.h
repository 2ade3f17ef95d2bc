#pragma once

#include <cstdint>

namespace tb {

// Milliseconds from a monotonic clock; only differences between two readings mean anything.
std::uint64_t tickCount();

} // namespace tb
