#include "controls/KPanelDrawing.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace tb::panel;

// Bevel strokes of a panel as letters, rows parted by '/': H highlight, S shadow.
std::string render(const std::vector<BevelStroke>& strokes, int width = 6, int height = 5) {
    std::string grid;
    for (int y = 0; y < height; ++y)
        grid += std::string(width, '.') + (y + 1 < height ? "/" : "");
    for (const BevelStroke& s : strokes)
        for (int y = s.area.top; y < s.area.bottom; ++y)
            for (int x = s.area.left; x < s.area.right; ++x)
                grid.at(y * (width + 1) + x) = s.highlight ? 'H' : 'S';
    return grid;
}

} // namespace

TEST(KPanelDrawing, Rounding) {
    // MulDiv: halves away from zero, whatever the signs, in 64 bits; -1 for a zero divisor.
    EXPECT_EQ(mulDiv(1, 1, 2), 1);
    EXPECT_EQ(mulDiv(-1, 1, 2), -1);
    EXPECT_EQ(mulDiv(3, 1, -4), -1);
    EXPECT_EQ(mulDiv(7, 5, 0), -1);
    EXPECT_EQ(mulDiv(2000000000, 2000000000, 2000000000), 2000000000);
    // Nearest: halves to even.
    EXPECT_EQ(nearest(0.5), 0);
    EXPECT_EQ(nearest(1.5), 2);
    EXPECT_EQ(nearest(-1.5), -2);
}

TEST(KPanelDrawing, GradientAreas) {
    const Rgb b{0, 0, 0}, e{200, 0, 0};
    EXPECT_EQ(stepColor({0, 128, 128}, {0, 128, 0}, 1, 2), (Rgb{0, 128, 64}));
    // 256 stripes across a narrower panel share its columns without gaps.
    EXPECT_EQ(gradientFills(gsHorizontal, 100, 10, b, e)[200].area, (Rect{78, 0, 79, 10}));
    // Both ways the last stripe reaches the far edge in the end colour.
    for (const TGradientStyle style : {gsHorizontal, gsVertical}) {
        const GradientFill last = gradientFills(style, 100, 100, b, e).back();
        EXPECT_EQ(std::pair(last.area.right, last.area.bottom), std::pair(100, 100)) << style;
        EXPECT_EQ(last.color.red, e.red) << style;
    }
    // Centred: from both edges in, to the end colour in the middle, stripe over stripe.
    for (const TGradientStyle style : {gsVerticalCenter, gsHorizontalCenter}) {
        const auto [from, to] = style == gsVerticalCenter ? std::pair(&Rect::top, &Rect::bottom)
                                                          : std::pair(&Rect::left, &Rect::right);
        std::vector<int> reds(10, -1);
        for (const GradientFill& fill : gradientFills(style, 10, 10, b, {250, 0, 0}))
            for (int at = fill.area.*from; at < fill.area.*to; ++at)
                reds.at(at) = fill.color.red;
        EXPECT_EQ(reds, (std::vector<int>{0, 50, 100, 150, 200, 250, 200, 150, 100, 50})) << style;
    }
    // The rectangle style's first rectangle already stands nearest(dx) in.
    EXPECT_EQ(gradientFills(gsRectangle, 600, 100, b, e).front().area, (Rect{1, 0, 599, 100}));
    // The first ellipse covers the corners.
    EXPECT_EQ(gradientFills(gsElliptic, 310, 155, b, e).front().area, (Rect{-76, -38, 386, 193}));
    EXPECT_TRUE(gradientFills(gsElliptic, 310, 155, b, e).front().ellipse);
}

TEST(KPanelDrawing, BevelRingsHoldTheirCorners) {
    EXPECT_EQ(render(bevelStrokes(6, 5, bvRaised, bvLowered, 1)),
              "SSSSSH/SHHHSH/SH..SH/SHSSSH/SHHHHH");
    EXPECT_EQ(render(bevelStrokes(6, 5, bvNone, bvSpace, 1)).substr(0, 6), "HHHHHS");
    // An odd width: the innermost ring is the middle column alone, in the second colour.
    EXPECT_EQ(render(bevelStrokes(5, 6, bvNone, bvRaised, 3), 5, 6),
              "HHHHS/HHHSS/HHSSS/HHSSS/HHSSS/HSSSS");
    // Wider than the panel: only the rings that fit, no inner bevel left.
    EXPECT_EQ(bevelStrokes(6, 5, bvLowered, bvLowered, 1000).size(), 12u);
    // A wide, low panel: the inner bevel finds no rows left, however wide the panel.
    EXPECT_EQ(bevelStrokes(20, 4, bvRaised, bvLowered, 2).size(), 8u);
}

TEST(KPanelDrawing, CaptionStandsInsideTheBevelsThatAreCut) {
    EXPECT_EQ(captionLeft(taLeftJustify, 100, 20, bvLowered, bvNone, 3), 3);
    EXPECT_EQ(captionLeft(taRightJustify, 100, 20, bvNone, bvRaised, 2), 78);
    EXPECT_EQ(captionLeft(taCenter, 100, 21, bvLowered, bvLowered, 3), 39);
}
