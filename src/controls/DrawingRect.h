#pragma once

namespace tb {

// An area of pixels as (left, top, right, bottom); the right column and the bottom row lie
// outside, as the drawing calls take them.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Rect&) const = default;
};

} // namespace tb
