#include "platform/TickCount.h"

#include <chrono>

namespace tb {

std::uint64_t tickCount() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace tb
