#include "controls/ProgressMath.h"

#include <gtest/gtest.h>

using namespace tb::gauge;

// The gauge's look is in test_looks' pictures; here the halves, inverse text and odd sizes.
TEST(ProgressMath, HalvesRound) {
    EXPECT_EQ(barColumns(10, 7), 0); // 0.5 goes to the even 0
    EXPECT_EQ(barColumns(30, 7), 2); // 1.5 goes to 2
    // Text boxes centre with truncated halves, reaching past the top when taller.
    EXPECT_EQ(textPlace(121, 12, 31, 15), (Offset{45, -1}));
    EXPECT_EQ(textPlace(10, 10, 30, 3), (Offset{-10, 4}));
}

TEST(ProgressMath, GradientRunsFromTheFirstColourToTheSecond) {
    const Rgb black{0, 0, 0}, white{255, 255, 255};
    EXPECT_EQ(columnColor(0, 12, black, white), black);
    EXPECT_EQ(columnColor(5, 12, black, white), (Rgb{128, 128, 128})); // half way, to even
    EXPECT_EQ(columnColor(10, 12, black, white), white);
}

TEST(ProgressMath, TextInksOnlyItsInkedPixels) {
    // 6 x 4, half filled, a 3 x 1 text box at (2, 2) whose middle pixel is ink.
    const Rgb white{255, 255, 255}, black{0, 0, 0}, lime{0, 255, 0}, red{255, 0, 0};
    const std::vector<std::uint32_t> pixels =
        composeGauge(6, 4, Look{white, black, lime, red, 50}, TextInk{3, 1, {false, true, false}});
    ASSERT_EQ(pixels.size(), 24u);
    EXPECT_EQ(pixels[2 * 6 + 3], 0xff000000u);       // ink over white
    EXPECT_EQ(pixels[2 * 6 + 2], pixels[1 * 6 + 2]); // a blank pixel of the box leaves the bar
    // A full bar reaches the right border in the second colour.
    EXPECT_EQ(composeGauge(6, 4, Look{white, black, lime, red, 100}, {})[1 * 6 + 4], 0xffff0000u);
    // A text larger than the gauge both ways is cut at all four edges.
    const auto big =
        composeGauge(6, 4, Look{white, black, lime, red, 0}, TextInk{10, 8, std::vector(80, true)});
    ASSERT_EQ(big.size(), 24u);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(big[y * 6 + x], x % 5 == 0 || y % 3 == 0 ? 0xffffffffu : 0xff000000u)
                << x << "," << y;
}

TEST(ProgressMath, DegenerateSizesDrawNoBar) {
    const Look look{{255, 255, 255}, {0, 0, 0}, {0, 255, 0}, {255, 0, 0}, 100};
    for (int width : {0, 1, 2})
        EXPECT_EQ(composeGauge(width, 5, look, {}).size(), static_cast<std::size_t>(width) * 5);
    EXPECT_TRUE(composeGauge(8, 0, look, {}).empty());
}
