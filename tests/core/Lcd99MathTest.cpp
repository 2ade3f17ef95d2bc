#include "controls/Lcd99Math.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace tb::lcd;

// What pictures of the widget (tests/gui/test_lcd99.cpp) cannot tell apart.
TEST(Lcd99Math, Pacing) {
    EXPECT_EQ(stepSpacing(TLCDAnimation::anNone, 250), 0); // the whole change in one paint
    EXPECT_EQ(stepSpacing(TLCDAnimation::anUp, -50), 0);
}

TEST(Lcd99Math, SegmentCornersRoundHalvesToEven) {
    // The main window's display: Round(2/4) and Round(-2/4) are both 0, so the slanted
    // corners stay on the border lines; Round(6/4) = 2 moves them two pixels in.
    const Geometry g(157, 25, 10, 5, 2, 2, 2);
    EXPECT_EQ(g.segment(1, 1)[0], (Point{8, 0}));
    EXPECT_EQ(g.segment(1, 7)[0], (Point{8, 24}));
    EXPECT_EQ(g.colon(1)[0], (Rect{10, 8, 11, 10}));
    EXPECT_EQ(g.colon(1)[1], (Rect{10, 14, 11, 16}));
    EXPECT_EQ(g.decimalPoint(2), (Rect{17, 21, 20, 24}));
    const Geometry thick(157, 60, 4, 5, 2, 2, 6);
    const int x = thick.cellLeft(1);
    EXPECT_EQ(thick.segment(1, 1)[0], (Point{x + 2, 2}));
    EXPECT_EQ(thick.segment(1, 7)[0], (Point{x + 2, thick.cellHeight - 2}));
    EXPECT_EQ(thick.segment(1, 3)[0], (Point{x + thick.cellWidth - 2, 2}));
    EXPECT_EQ(thick.colon(1)[0], (Rect{18, 13, 27, 21})); // a third of a segment each way
}

TEST(Lcd99Math, NoCellsIsNoDivisionByZero) {
    EXPECT_EQ(Geometry(100, 20, 0, 5, 2, 2, 2).cellWidth, 0);
    EXPECT_TRUE(splitValue("12", 0).chars.empty());
    EXPECT_TRUE(frameDraws({"", "12", segmentOrder(TLCDAnimation::anUp)}, 8, 0).empty());
}

TEST(Lcd99Math, FramesOfAChange) {
    // A settled display is one pass of the value, nothing after it.
    EXPECT_EQ(frameDraws({"18", "18", segmentOrder(TLCDAnimation::anUp)}, 8, 2).size(), 18u);

    // An emptied value: a blank area, then every cell in every step that has run.
    const std::vector<Draw> emptied =
        frameDraws({"18", "", segmentOrder(TLCDAnimation::anDown)}, 2, 2);
    EXPECT_EQ(emptied, (std::vector<Draw>{{1, kDecimalPoint, false},
                                          {2, kDecimalPoint, false},
                                          {1, 1, false},
                                          {2, 1, false},
                                          {1, 2, false},
                                          {2, 2, false}}));

    // A point that moves is redrawn even where the character stays.
    const std::vector<Draw> moved =
        frameDraws({"1.8", "18", segmentOrder(TLCDAnimation::anUp)}, 0, 2);
    EXPECT_EQ(moved.back(), (Draw{2, kDecimalPoint, false}));
}

// Whatever the animation, the eight steps draw each of the eight marks once.
TEST(Lcd99Math, EveryOrderDrawsEachMarkOnce) {
    for (const TLCDAnimation animation :
         {TLCDAnimation::anNone, TLCDAnimation::anSpiral, TLCDAnimation::anUp,
          TLCDAnimation::anDown, TLCDAnimation::anLeft, TLCDAnimation::anRight}) {
        SegmentOrder order = segmentOrder(animation);
        std::sort(order.begin(), order.end());
        EXPECT_EQ(order, (SegmentOrder{1, 2, 3, 4, 5, 6, 7, 8})) << static_cast<int>(animation);
    }
}
