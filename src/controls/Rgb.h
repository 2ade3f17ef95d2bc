#pragma once

#include <cstdint>

namespace tb {

// A colour as the drawing code blends it, one byte per channel.
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

} // namespace tb
