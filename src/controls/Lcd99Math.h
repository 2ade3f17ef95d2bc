#pragma once

#include "controls/DrawingRect.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

// The order in which a change redraws the segments of the LCD's cells.
enum class TLCDAnimation { anNone, anSpiral, anUp, anDown, anLeft, anRight, anRandom };

namespace tb::lcd {

// Segments of a cell: 1 top, 2 upper left, 3 upper right, 4 middle, 5 lower left,
// 6 lower right, 7 bottom, 8 colon. Number 0 stands for the decimal point before the cell.
constexpr int kSteps = 8;
constexpr int kDecimalPoint = 0;
using SegmentOrder = std::array<int, kSteps>;

// The text a cell row can show: letters upper-cased, one trailing point dropped, and
// empty as soon as one character has no cell shape.
std::string normaliseValue(std::string_view text);

// The characters of the cells and the points in the gaps before them, right-aligned to
// digitNum cells and cut to the first digitNum.
struct CellTexts {
    std::string chars;
    std::string points;
};
CellTexts splitValue(std::string_view text, int digitNum);

// Whether the character lights segment 1..8; a space, or a character without a shape, none.
bool lights(char character, int segment);

// The segment drawn at each of the eight steps. anNone draws downward; anRandom has no order
// of its own and is resolved first with randomOrder.
SegmentOrder segmentOrder(TLCDAnimation animation);
// The animation that anRandom becomes for a draw of 0..4.
TLCDAnimation randomOrder(int draw);
// Whether the steps of a change are paced, and their spacing in milliseconds.
int stepSpacing(TLCDAnimation animation, int animationDelay);

struct Point {
    int x;
    int y;
    friend bool operator==(const Point&, const Point&) = default;
};
using tb::Rect;
using Hexagon = std::array<Point, 6>;

// Sizes of the cells of a width x height display. Cells count from 1 at the left.
struct Geometry {
    Geometry(int width, int height, int digitNum, int digitSpacing, int gapX, int gapY,
             int segmentSize);

    int cellLeft(int cell) const;
    // Segments 1 to 7.
    Hexagon segment(int cell, int segment) const;
    // The colon's upper and lower dot, as the boxes of two ellipses.
    std::array<Rect, 2> colon(int cell) const;
    Rect decimalPoint(int cell) const;

    int digitNum;
    int digitSpacing;
    int gapX;
    int gapY;
    int segmentSize;
    int cellHeight;       // ch
    int cellWidth;        // cw
    int horizontalLength; // hl
    int verticalLength;   // vl
};

// One shape of a frame: a segment (or the decimal point, kDecimalPoint) of a cell, lit or not.
struct Draw {
    int cell;
    int segment;
    bool lit;
    friend bool operator==(const Draw&, const Draw&) = default;
};

// A change of the shown value. An empty target clears the area and draws every cell anew;
// otherwise the old value is drawn whole and only the cells that differ follow the order.
struct Change {
    std::string from;
    std::string to;
    SegmentOrder order;
};
// The shapes of the frame after `steps` of the change's eight steps, in drawing order
// (later shapes cover earlier ones). A settled display is the change from its value to itself
// after all eight.
std::vector<Draw> frameDraws(const Change& change, int steps, int digitNum);

} // namespace tb::lcd
