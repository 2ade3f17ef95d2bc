#pragma once

// The balloon hint's geometry: how the text is cut and placed, where the body and its tail
// lie and where the window goes. Integer division truncates, as the drawing relies on.

#include "controls/DrawingRect.h"
#include "controls/TextAlignment.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

struct BalloonPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const BalloonPoint&, const BalloonPoint&) = default;
};

struct BalloonSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const BalloonSize&, const BalloonSize&) = default;
};

// Every run of printable characters is a line; a run of control characters (below 32),
// however long, parts two lines, so blank lines vanish. Leading control characters give
// one empty first line, trailing ones nothing.
std::vector<std::u16string> hintLines(std::u16string_view text);

// The block of measured lines: the widest line by the sum of the heights.
BalloonSize textBlockSize(const std::vector<BalloonSize>& lines);

// Top-left corner of each line when a block of the given size is centred in the rectangle
// and every line is aligned within the block.
std::vector<BalloonPoint> placeTextLines(const Rect& rect, BalloonSize block,
                                         const std::vector<BalloonSize>& lines,
                                         TAlignment alignment);

// Everything an activation works out from the measured text, the icon and the pointer.
struct BalloonShape {
    BalloonSize text;                    // the text block, at least 30 wide
    BalloonSize inner;                   // W, H: text and icon side by side
    bool right = false;                  // the balloon opens to the right of the pointer
    bool below = false;                  // the balloon hangs below the pointer
    std::array<BalloonPoint, 12> body{}; // the bevelled rectangle, already moved when below
    std::array<BalloonPoint, 4> tail{};  // T1 to T4
    int tailInsert = 0;                  // body points before the tail in the outline
    std::array<BalloonPoint, 16> outline{};
    Rect bounds;   // the window on the screen
    Rect textRect; // in window coordinates
};

inline constexpr int kShadowOffset = 5;
inline constexpr int kMinimumTextWidth = 30;

BalloonShape balloonShape(BalloonSize textBlock, std::optional<BalloonSize> icon,
                          BalloonPoint pointer, int screenWidth);

// Where the icon goes and which part of the text rectangle is left for the text.
struct IconAndText {
    BalloonPoint icon;
    Rect text;
};
IconAndText placeIconAndText(const Rect& textRect, BalloonSize text, BalloonSize icon);

} // namespace tb
