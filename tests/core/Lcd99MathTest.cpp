#include "controls/Lcd99Math.h"

#include <gtest/gtest.h>

using namespace tb::lcd;

namespace {

// The cells and points of a text as "chars|points".
std::string split(std::string_view text, int cells) {
    const CellTexts s = splitValue(text, cells);
    return s.chars + '|' + s.points;
}

} // namespace

TEST(Lcd99Math, Normalisation) {
    EXPECT_EQ(normaliseValue("abc"), "ABC");
    EXPECT_EQ(normaliseValue("1,5"), "");
    EXPECT_EQ(normaliseValue("12:30 -A"), "12:30 -A");
    EXPECT_EQ(normaliseValue("5."), "5");
    EXPECT_EQ(normaliseValue("5.."), "5."); // only one final point goes
    EXPECT_EQ(normaliseValue("."), "");
    EXPECT_EQ(normaliseValue("\xc5\xbe"), ""); // a UTF-8 letter has no cell shape
}

TEST(Lcd99Math, SplitValueRightAlignsAndCutsFromTheRight) {
    EXPECT_EQ(split("1.5", 2), "15| .");
    EXPECT_EQ(split("..5", 2), " 5|..");
    EXPECT_EQ(split("12.5", 4), " 125|   .");
    EXPECT_EQ(split("5.", 4), "   5|   .");
    EXPECT_EQ(split("1234567890AB", 10), "1234567890|          ");
    EXPECT_EQ(split("", 3), "   |   ");
    EXPECT_EQ(split("12", 0), "|");
}

TEST(Lcd99Math, Pacing) {
    EXPECT_EQ(stepSpacing(TLCDAnimation::anRandom, 250), 35);
    EXPECT_EQ(stepSpacing(TLCDAnimation::anNone, 250), 0);
    EXPECT_EQ(stepSpacing(TLCDAnimation::anUp, -50), 0);
    EXPECT_EQ(segmentOrder(TLCDAnimation::anNone), segmentOrder(TLCDAnimation::anDown));
}

TEST(Lcd99Math, MainWindowGeometry) {
    const Geometry g(157, 25, 10, 5, 2, 2, 2);
    EXPECT_EQ(g.cellHeight, 24);
    EXPECT_EQ(g.cellWidth, 9);
    EXPECT_EQ(g.horizontalLength, 5);
    EXPECT_EQ(g.verticalLength, 8);
    EXPECT_EQ(g.cellLeft(1), 6);
    EXPECT_EQ(g.cellLeft(10), 141);
    // Round(2/4) and Round(-2/4) are both 0: the slanted corner stays on the border line.
    EXPECT_EQ(g.segment(1, 1), (Hexagon{{{8, 0}, {9, 0}, {12, 0}, {13, 0}, {11, 2}, {10, 2}}}));
    EXPECT_EQ(g.segment(1, 7),
              (Hexagon{{{8, 24}, {9, 24}, {12, 24}, {13, 24}, {11, 22}, {10, 22}}}));
    EXPECT_EQ(g.segment(10, 3),
              (Hexagon{{{150, 2}, {150, 3}, {150, 9}, {150, 10}, {148, 8}, {148, 4}}}));
    EXPECT_EQ(g.colon(1)[0], (Rect{10, 8, 11, 10}));
    EXPECT_EQ(g.colon(1)[1], (Rect{10, 14, 11, 16}));
    EXPECT_EQ(g.decimalPoint(2), (Rect{17, 21, 20, 24}));
}

TEST(Lcd99Math, ThickSegmentsRoundHalvesToEven) {
    const Geometry g(157, 60, 4, 5, 2, 2, 6); // Round(6/4) = 2, Round(-6/4) = -2
    const int x = g.cellLeft(1);
    EXPECT_EQ(g.segment(1, 1)[0], (Point{x + 2, 2}));
    EXPECT_EQ(g.segment(1, 7)[0], (Point{x + 2, g.cellHeight - 2}));
    EXPECT_EQ(g.segment(1, 3)[0], (Point{x + g.cellWidth - 2, 2}));
}

TEST(Lcd99Math, NoCellsIsNoDivisionByZero) {
    const Geometry g(100, 20, 0, 5, 2, 2, 2);
    EXPECT_EQ(g.cellWidth, 0);
    EXPECT_TRUE(frameDraws({"", "12", segmentOrder(TLCDAnimation::anUp)}, 8, 0).empty());
}

TEST(Lcd99Math, FramesOfAChange) {
    const Change change{"17", "18", segmentOrder(TLCDAnimation::anUp)};
    // The old picture whole: two points, then eight segments of both cells.
    const std::vector<Draw> first = frameDraws(change, 1, 2);
    ASSERT_EQ(first.size(), 2u + 16u + 1u);
    EXPECT_EQ(first.front(), (Draw{1, kDecimalPoint, false}));
    EXPECT_EQ(first[2], (Draw{1, 1, false}));
    EXPECT_EQ(first[3], (Draw{2, 1, true})); // the old 7's top
    // Then only the changed cell, from the bottom up; equal points are not drawn again.
    EXPECT_EQ(first.back(), (Draw{2, 7, true}));
    const std::vector<Draw> last = frameDraws(change, 8, 2);
    ASSERT_EQ(last.size(), 18u + 8u);
    EXPECT_EQ(last.back(), (Draw{2, 1, true}));

    // A settled display is one pass of the value, nothing after it.
    EXPECT_EQ(frameDraws({"18", "18", segmentOrder(TLCDAnimation::anUp)}, 8, 2).size(), 18u);

    // An emptied value: a blank area, then every cell in every step that has run.
    const std::vector<Draw> emptied =
        frameDraws({"18", "", segmentOrder(TLCDAnimation::anDown)}, 2, 2);
    ASSERT_EQ(emptied.size(), 2u + 4u);
    for (const Draw& draw : emptied)
        EXPECT_FALSE(draw.lit);
    EXPECT_EQ(emptied[2], (Draw{1, 1, false}));
    EXPECT_EQ(emptied[5], (Draw{2, 2, false}));

    // A point that moves is redrawn even where the character stays.
    const std::vector<Draw> moved =
        frameDraws({"1.8", "18", segmentOrder(TLCDAnimation::anUp)}, 0, 2);
    EXPECT_EQ(moved.back(), (Draw{2, kDecimalPoint, false}));
}
