#include "controls/KPanelDrawing.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace tb::panel;

// Bevel strokes as letters: H highlight, S shadow, '.' nothing.
std::vector<std::string> render(int w, int h, const std::vector<BevelStroke>& strokes) {
    std::vector<std::string> grid(h, std::string(w, '.'));
    for (const BevelStroke& s : strokes)
        for (int y = s.area.top; y < s.area.bottom; ++y)
            for (int x = s.area.left; x < s.area.right; ++x)
                grid[y][x] = s.highlight ? 'H' : 'S';
    return grid;
}

using Grid = std::vector<std::string>;

} // namespace

TEST(KPanelDrawing, MulDivRoundsHalvesAwayFromZero) {
    EXPECT_EQ(mulDiv(1, 1, 2), 1);
    EXPECT_EQ(mulDiv(-1, 1, 2), -1);
    EXPECT_EQ(mulDiv(1, -3, 2), -2);
    EXPECT_EQ(mulDiv(3, 1, -4), -1);
    EXPECT_EQ(mulDiv(1, 1, 4), 0);
    EXPECT_EQ(mulDiv(7, 5, 0), -1);
    EXPECT_EQ(mulDiv(2000000000, 2000000000, 2000000000), 2000000000); // no overflow
    EXPECT_EQ(mulDiv(128, 195, 256), 98);                              // 97.5
}

TEST(KPanelDrawing, NearestRoundsHalvesToEven) {
    EXPECT_EQ(nearest(0.5), 0);
    EXPECT_EQ(nearest(1.5), 2);
    EXPECT_EQ(nearest(2.5), 2);
    EXPECT_EQ(nearest(-0.5), 0);
    EXPECT_EQ(nearest(-1.5), -2);
    EXPECT_EQ(nearest(2.51), 3);
    EXPECT_EQ(nearest(-2.4), -2);
}

TEST(KPanelDrawing, StepColoursRunFromBeginToEnd) {
    const Rgb red{255, 0, 0}, black{0, 0, 0};
    EXPECT_EQ(stepColor(red, black, 0, 255), red);
    EXPECT_EQ(stepColor(red, black, 100, 255), (Rgb{155, 0, 0}));
    EXPECT_EQ(stepColor(red, black, 255, 255), black);
    EXPECT_EQ(stepColor({0, 128, 128}, {0, 128, 0}, 1, 2), (Rgb{0, 128, 64}));
}

TEST(KPanelDrawing, GradientAreas) {
    const Rgb b{0, 0, 0}, e{200, 0, 0};
    // Narrow panels leave some of the 256 stripes empty; together they tile the panel.
    const auto stripes = gradientFills(gsHorizontal, 100, 10, b, e);
    ASSERT_EQ(stripes.size(), 256u);
    EXPECT_EQ(stripes.front().area.left, 0);
    EXPECT_EQ(stripes.back().area.right, 100);
    for (std::size_t i = 1; i < stripes.size(); ++i)
        EXPECT_EQ(stripes[i].area.left, stripes[i - 1].area.right);

    EXPECT_TRUE(gradientFills(gsVerticalCenter, 10, 1, b, e).empty());
    EXPECT_TRUE(gradientFills(gsHorizontalCenter, 1, 10, b, e).empty());

    // The rectangle style's first rectangle already stands nearest(dx) in.
    const auto rects = gradientFills(gsRectangle, 600, 100, b, e);
    ASSERT_EQ(rects.size(), 256u);
    EXPECT_EQ(rects.front().area, (Rect{1, 0, 599, 100}));
    EXPECT_EQ(rects.back().color, e);

    // The first ellipse covers the corners in the starting colour; the last ones have
    // shrunk past the centre and stand inverted.
    const auto ellipses = gradientFills(gsElliptic, 310, 155, b, e);
    ASSERT_EQ(ellipses.size(), 156u);
    EXPECT_TRUE(ellipses.front().ellipse);
    EXPECT_EQ(ellipses.front().area, (Rect{-76, -38, 386, 193}));
    EXPECT_EQ(ellipses.front().color, b);
    EXPECT_EQ(ellipses.back().area, (Rect{156, 78, 154, 77}));
}

TEST(KPanelDrawing, BevelRingsHoldTheirCorners) {
    EXPECT_EQ(render(6, 5, bevelStrokes(6, 5, bvRaised, bvLowered, 1)), (Grid{"SSSSSH", //
                                                                              "SHHHSH", //
                                                                              "SH..SH", //
                                                                              "SHSSSH", //
                                                                              "SHHHHH"}));
    EXPECT_EQ(render(4, 4, bevelStrokes(4, 4, bvNone, bvSpace, 1))[0], "HHHS");
    // Wider than the panel: only the rings that fit, no inner bevel left.
    EXPECT_EQ(bevelStrokes(6, 5, bvLowered, bvLowered, 1000).size(), 12u);
    EXPECT_TRUE(bevelStrokes(6, 5, bvNone, bvNone, 3).empty());
}

TEST(KPanelDrawing, CaptionStandsInsideTheBevels) {
    EXPECT_EQ(captionLeft(taLeftJustify, 100, 20, bvLowered, bvLowered, 3), 6);
    EXPECT_EQ(captionLeft(taLeftJustify, 100, 20, bvLowered, bvNone, 3), 3);
    EXPECT_EQ(captionLeft(taRightJustify, 100, 20, bvNone, bvRaised, 2), 78);
    EXPECT_EQ(captionLeft(taCenter, 100, 21, bvLowered, bvLowered, 3), 39);
    EXPECT_EQ(captionTop(20, 13), 3);
}
