#include "controls/Lcd99Math.h"

#include "controls/Rounding.h"

#include <algorithm>
#include <cstdint>

namespace tb::lcd {

namespace {

// Lit segments per character, bit n-1 for segment n: 0-9, "-", ":", then A-Z.
constexpr std::array<std::uint8_t, 38> kShapes = [] {
    constexpr int rows[38][8] = {
        {1, 2, 3, 5, 6, 7},
        {3, 6},
        {1, 3, 4, 5, 7},
        {1, 3, 4, 6, 7},
        {2, 3, 4, 6},
        {1, 2, 4, 6, 7},
        {1, 2, 4, 5, 6, 7},
        {1, 3, 6},
        {1, 2, 3, 4, 5, 6, 7},
        {1, 2, 3, 4, 6, 7},
        {4},
        {8},
        {1, 2, 3, 4, 5, 6},
        {2, 4, 5, 6, 7},
        {1, 2, 5, 7},
        {3, 4, 5, 6, 7},
        {1, 2, 4, 5, 7},
        {1, 2, 4, 5},
        {1, 2, 4, 5, 6, 7},
        {2, 4, 5, 6},
        {3, 6},
        {3, 6, 7},
        {2, 3, 4, 5, 6},
        {2, 5, 7},
        {4, 5, 6},
        {4, 5, 6},
        {4, 5, 6, 7},
        {1, 2, 3, 4, 5},
        {1, 2, 3, 4, 6},
        {4, 5},
        {1, 2, 4, 6, 7},
        {2, 4, 5},
        {2, 3, 5, 6, 7},
        {2, 3, 5, 6, 7},
        {2, 3, 5, 6, 7},
        {2, 3, 4, 5, 6},
        {2, 3, 4, 6},
        {1, 3, 4, 5, 7},
    };
    std::array<std::uint8_t, 38> shapes{};
    for (int row = 0; row < 38; ++row)
        for (int segment : rows[row])
            if (segment > 0)
                shapes[row] |= static_cast<std::uint8_t>(1u << (segment - 1));
    return shapes;
}();

int shapeRow(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c == '-')
        return 10;
    if (c == ':')
        return 11;
    if (c >= 'A' && c <= 'Z')
        return 12 + (c - 'A');
    return -1;
}

bool showable(char c) {
    return shapeRow(c) >= 0 || c == ' ' || c == '.';
}

std::string padLeftAndCut(std::string text, int cells) {
    const auto wanted = static_cast<std::size_t>(std::max(cells, 0));
    if (text.size() < wanted)
        text.insert(0, wanted - text.size(), ' ');
    text.resize(wanted);
    return text;
}

} // namespace

std::string normaliseValue(std::string_view text) {
    std::string value(text);
    for (char& c : value) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (!showable(c))
            return {};
    }
    if (!value.empty() && value.back() == '.')
        value.pop_back();
    return value;
}

CellTexts splitValue(std::string_view text, int digitNum) {
    CellTexts split;
    bool pointPending = false;
    for (char c : text) {
        if (c != '.') {
            if (pointPending)
                pointPending = false; // the point already stands in this position
            else
                split.points += ' ';
            split.chars += c;
        } else {
            split.points += '.';
            if (pointPending)
                split.chars += ' '; // a point with no character of its own
            else
                pointPending = true;
        }
    }
    split.chars = padLeftAndCut(std::move(split.chars), digitNum);
    split.points = padLeftAndCut(std::move(split.points), digitNum);
    return split;
}

bool lights(char character, int segment) {
    const int row = shapeRow(character);
    return row >= 0 && segment >= 1 && segment <= kSteps && (kShapes[row] >> (segment - 1)) & 1u;
}

SegmentOrder segmentOrder(TLCDAnimation animation) {
    switch (animation) {
    case TLCDAnimation::anSpiral:
        return {8, 4, 2, 1, 3, 6, 7, 5};
    case TLCDAnimation::anUp:
        return {7, 6, 5, 8, 4, 3, 2, 1};
    case TLCDAnimation::anLeft:
        return {6, 3, 7, 8, 4, 1, 5, 2};
    case TLCDAnimation::anRight:
        return {2, 5, 1, 8, 4, 7, 3, 6};
    case TLCDAnimation::anNone:
    case TLCDAnimation::anDown:
    case TLCDAnimation::anRandom:
        break;
    }
    return {1, 2, 3, 8, 4, 5, 6, 7};
}

TLCDAnimation randomOrder(int draw) {
    constexpr std::array<TLCDAnimation, 5> kOrders = {TLCDAnimation::anSpiral, TLCDAnimation::anUp,
                                                      TLCDAnimation::anDown, TLCDAnimation::anLeft,
                                                      TLCDAnimation::anRight};
    return kOrders[static_cast<std::size_t>(std::clamp(draw, 0, 4))];
}

int stepSpacing(TLCDAnimation animation, int animationDelay) {
    return animation == TLCDAnimation::anNone ? 0 : std::max(animationDelay, 0) / 7;
}

Geometry::Geometry(int width, int height, int digitNum, int digitSpacing, int gapX, int gapY,
                   int segmentSize)
    : digitNum(digitNum), digitSpacing(digitSpacing), gapX(gapX), gapY(gapY),
      segmentSize(segmentSize), cellHeight(height - 1),
      // No cells, rather than a division by zero.
      cellWidth(digitNum < 1 ? 0 : ((width - 1) - digitNum * (digitSpacing + 1)) / digitNum),
      horizontalLength(cellWidth - 2 * gapX), verticalLength(cellHeight / 2 - 2 * gapY) {}

int Geometry::cellLeft(int cell) const {
    return (cell - 1) * cellWidth + cell * (digitSpacing + 1);
}

namespace {

// A horizontal segment on the cell's top or bottom border; t < 0 grows upward.
Hexagon outerHorizontal(int x, int y, int length, int t, int s) {
    const int m = y + roundHalfEven(t, 4);
    return {{{x, m},
             {x + s / 2, y},
             {x + length - s / 2, y},
             {x + length, m},
             {x + length - s, y + t},
             {x + s, y + t}}};
}

Hexagon middle(int x, int y, int length, int t, int s) {
    const int m = y + roundHalfEven(t, 2);
    return {{{x, m},
             {x + s, y},
             {x + length - s, y},
             {x + length, m},
             {x + length - s, y + t},
             {x + s, y + t}}};
}

// A vertical segment on the cell's left or right side; t < 0 grows leftward.
Hexagon vertical(int x, int y, int t, int length, int s) {
    const int m = x + roundHalfEven(t, 4);
    return {{{m, y},
             {x, y + s / 2},
             {x, y + length - s / 2},
             {m, y + length},
             {x + t, y + length - s},
             {x + t, y + s}}};
}

} // namespace

Hexagon Geometry::segment(int cell, int segment) const {
    const int x = cellLeft(cell);
    const int s = segmentSize;
    const int half = cellHeight / 2;
    switch (segment) {
    case 1:
        return outerHorizontal(x + gapX, 0, horizontalLength, s, s);
    case 2:
        return vertical(x, gapY, s, verticalLength, s);
    case 3:
        return vertical(x + cellWidth, gapY, -s, verticalLength, s);
    case 4:
        return middle(x + gapX, half - s / 2, horizontalLength, s, s);
    case 5:
        return vertical(x, half + gapY, s, verticalLength, s);
    case 6:
        return vertical(x + cellWidth, half + gapY, -s, verticalLength, s);
    default:
        return outerHorizontal(x + gapX, cellHeight, horizontalLength, -s, s);
    }
}

std::array<Rect, 2> Geometry::colon(int cell) const {
    const int dotWidth = horizontalLength / 3;
    const int dotHeight = verticalLength / 3;
    const int left = cellLeft(cell) + (cellWidth - dotWidth) / 2;
    const int upperTop = cellHeight / 2 - 2 * dotHeight;
    const int lowerTop = cellHeight / 2 + dotHeight;
    return {{{left, upperTop, left + dotWidth, upperTop + dotHeight},
             {left, lowerTop, left + dotWidth, lowerTop + dotHeight}}};
}

Rect Geometry::decimalPoint(int cell) const {
    const int left = (cell - 1) * (cellWidth + digitSpacing + 1) + 2;
    return {left, cellHeight - (digitSpacing - 2), left + digitSpacing - 2, cellHeight};
}

namespace {

// One drawing pass: the points first, then the eight steps, each over every cell that the
// pass redraws.
void drawPass(std::vector<Draw>& draws, const CellTexts& now, const CellTexts& before,
              const SegmentOrder& order, int steps, bool onlyChanged, int digitNum) {
    for (int cell = 1; cell <= digitNum; ++cell) {
        const char point = now.points[static_cast<std::size_t>(cell - 1)];
        if (!onlyChanged || point != before.points[static_cast<std::size_t>(cell - 1)])
            draws.push_back({cell, kDecimalPoint, point == '.'});
    }
    for (int step = 0; step < std::min(steps, kSteps); ++step) {
        const int segment = order[static_cast<std::size_t>(step)];
        for (int cell = 1; cell <= digitNum; ++cell) {
            const char c = now.chars[static_cast<std::size_t>(cell - 1)];
            if (!onlyChanged || c != before.chars[static_cast<std::size_t>(cell - 1)])
                draws.push_back({cell, segment, lights(c, segment)});
        }
    }
}

} // namespace

std::vector<Draw> frameDraws(const Change& change, int steps, int digitNum) {
    std::vector<Draw> draws;
    const CellTexts from = splitValue(change.from, digitNum);
    const CellTexts to = splitValue(change.to, digitNum);
    if (change.to.empty()) {
        drawPass(draws, to, from, change.order, steps, false, digitNum);
        return draws;
    }
    const CellTexts blank = splitValue({}, digitNum);
    draws.reserve(static_cast<std::size_t>(std::max(digitNum, 0)) * 2 * (kSteps + 1));
    drawPass(draws, from, blank, segmentOrder(TLCDAnimation::anDown), kSteps, false, digitNum);
    drawPass(draws, to, from, change.order, steps, true, digitNum);
    return draws;
}

} // namespace tb::lcd
