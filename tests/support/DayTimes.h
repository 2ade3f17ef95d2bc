#pragma once

#include "controls/DigitsMath.h"

namespace tb::test {

// 9 March 2024 at this time of day, in the days the counter counts.
inline double at(int hours, int minutes, int seconds) {
    return tb::digits::dayCount(2024, 3, 9, ((hours * 60 + minutes) * 60 + seconds) * 1000);
}

} // namespace tb::test
