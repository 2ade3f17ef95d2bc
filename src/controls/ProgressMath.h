#pragma once

#include "controls/Rgb.h"

#include <cstdint>
#include <vector>

namespace tb::gauge {

using tb::Rgb;

// How many columns, from column 1, the bar of a width-pixel gauge fills at progress percent.
int barColumns(int progress, int width);
// The colour of bar column x, 1 to width - 2, blended byte by byte from `from` at the left
// to `to` at column width - 2, whatever the bar's length.
Rgb columnColor(int column, int width, Rgb from, Rgb to);

struct Offset {
    int x;
    int y;
    friend bool operator==(const Offset&, const Offset&) = default;
};
// Where a text box of the given size stands so that it is centred on the gauge.
Offset textPlace(int width, int height, int textWidth, int textHeight);

struct Look {
    Rgb back;
    Rgb border;
    Rgb from;
    Rgb to;
    int progress;
};
// The text's pixels that are drawn in full ink, row by row.
struct TextInk {
    int width = 0;
    int height = 0;
    std::vector<bool> ink;
};

// The whole gauge, width x height pixels row by row, packed 0xffRRGGBB like a 32-bit RGB
// image: the bordered box, the bar, and the text's inked pixels inverted.
std::vector<std::uint32_t> composeGauge(int width, int height, const Look& look,
                                        const TextInk& text);

} // namespace tb::gauge
