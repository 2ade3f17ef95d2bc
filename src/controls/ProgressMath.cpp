#include "controls/ProgressMath.h"

#include "controls/Rounding.h"

#include <algorithm>

namespace tb::gauge {

namespace {

std::uint32_t packed(Rgb c) {
    return 0xff000000u | (std::uint32_t{c.red} << 16) | (std::uint32_t{c.green} << 8) | c.blue;
}

// 255 - byte for red, green and blue alike.
std::uint32_t invertedPacked(std::uint32_t pixel) {
    return pixel ^ 0x00ffffffu;
}

// to * f + from * (1 - f) with f = column / span.
std::uint8_t blend(int column, int span, std::uint8_t from, std::uint8_t to) {
    const long long weighted =
        static_cast<long long>(to) * column + static_cast<long long>(from) * (span - column);
    return static_cast<std::uint8_t>(std::clamp(roundHalfEven(weighted, span), 0, 255));
}

} // namespace

int barColumns(int progress, int width) {
    return roundHalfEven(static_cast<long long>(progress) * (width - 2), 100);
}

Rgb columnColor(int column, int width, Rgb from, Rgb to) {
    const int span = width - 2;
    if (span <= 0)
        return to;
    return {blend(column, span, from.red, to.red), blend(column, span, from.green, to.green),
            blend(column, span, from.blue, to.blue)};
}

Offset textPlace(int width, int height, int textWidth, int textHeight) {
    return {width / 2 - textWidth / 2, height / 2 - textHeight / 2};
}

std::vector<std::uint32_t> composeGauge(int width, int height, const Look& look,
                                        const TextInk& text) {
    if (width <= 0 || height <= 0)
        return {};
    const auto w = static_cast<std::size_t>(width);
    std::vector<std::uint32_t> pixels(w * static_cast<std::size_t>(height), packed(look.back));
    auto at = [&](int x, int y) -> std::uint32_t& {
        return pixels[static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x)];
    };
    for (int x = 0; x < width; ++x)
        at(x, 0) = at(x, height - 1) = packed(look.border);
    for (int y = 0; y < height; ++y)
        at(0, y) = at(width - 1, y) = packed(look.border);

    const int columns = std::min(barColumns(look.progress, width), width - 2);
    for (int x = 1; x <= columns; ++x) {
        const std::uint32_t colour = packed(columnColor(x, width, look.from, look.to));
        for (int y = 1; y <= height - 2; ++y)
            at(x, y) = colour;
    }

    if (text.width <= 0 || text.height <= 0 ||
        text.ink.size() !=
            static_cast<std::size_t>(text.width) * static_cast<std::size_t>(text.height))
        return pixels;
    const Offset place = textPlace(width, height, text.width, text.height);
    for (int y = 0; y < text.height; ++y) {
        const int gaugeY = place.y + y;
        if (gaugeY < 0 || gaugeY >= height)
            continue;
        for (int x = 0; x < text.width; ++x) {
            const int gaugeX = place.x + x;
            if (gaugeX >= 0 && gaugeX < width &&
                text.ink[static_cast<std::size_t>(y) * static_cast<std::size_t>(text.width) +
                         static_cast<std::size_t>(x)])
                at(gaugeX, gaugeY) = invertedPacked(at(gaugeX, gaugeY));
        }
    }
    return pixels;
}

} // namespace tb::gauge
