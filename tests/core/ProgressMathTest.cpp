#include "controls/ProgressMath.h"

#include <gtest/gtest.h>

using namespace tb::gauge;

namespace {
constexpr Rgb kLime{0, 255, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

std::uint32_t packed(Rgb c) {
    return 0xff000000u | (std::uint32_t{c.red} << 16) | (std::uint32_t{c.green} << 8) | c.blue;
}
} // namespace

TEST(ProgressMath, BarColumns) {
    EXPECT_EQ(barColumns(50, 121), 60); // 59.5 goes to the even 60
    EXPECT_EQ(barColumns(100, 121), 119);
    EXPECT_EQ(barColumns(0, 121), 0);
    EXPECT_EQ(barColumns(37, 102), 37);
    EXPECT_LE(barColumns(-10, 121), 0);
    EXPECT_EQ(barColumns(10, 7), 0); // 0.5 goes to the even 0
    EXPECT_EQ(barColumns(30, 7), 2); // 1.5 goes to 2
}

TEST(ProgressMath, ColumnColoursBelongToTheColumn) {
    EXPECT_EQ(columnColor(30, 102, kLime, kRed), (Rgb{76, 178, 0})); // 76.5 and 178.5
    EXPECT_EQ(columnColor(119, 121, Rgb{255, 255, 0}, Rgb{0, 0, 255}), (Rgb{0, 0, 255}));
    EXPECT_EQ(invertColor(kRed), (Rgb{0, 255, 255}));
    EXPECT_EQ(invertColor(Rgb{1, 128, 254}), (Rgb{254, 127, 1}));
}

TEST(ProgressMath, TextPlacementTruncatesHalves) {
    EXPECT_EQ(textPlace(121, 12, 31, 15), (Offset{45, -1}));
    EXPECT_EQ(textPlace(10, 10, 0, 0), (Offset{5, 5}));
    EXPECT_EQ(textPlace(10, 10, 30, 3), (Offset{-10, 4}));
}

TEST(ProgressMath, ComposedGauge) {
    // 6 x 4: border, two rows of four bar columns, half filled, and a 3 x 1 text box
    // whose middle pixel is ink, placed at (2, 2).
    const TextInk text{3, 1, {false, true, false}};
    const std::vector<std::uint32_t> pixels =
        composeGauge(6, 4, Look{kWhite, kBlack, kLime, kRed, 50}, text);
    ASSERT_EQ(pixels.size(), 24u);
    auto at = [&](int x, int y) {
        return pixels[static_cast<std::size_t>(y * 6 + x)];
    };
    EXPECT_EQ(at(0, 0), packed(kBlack));
    EXPECT_EQ(at(5, 3), packed(kBlack));
    EXPECT_EQ(at(1, 2), packed(columnColor(1, 6, kLime, kRed)));
    EXPECT_EQ(at(2, 2), packed(columnColor(2, 6, kLime, kRed)));
    EXPECT_EQ(at(3, 1), packed(kWhite));
    EXPECT_EQ(at(3, 2), packed(kBlack)); // ink over white
    EXPECT_EQ(at(2, 1), packed(columnColor(2, 6, kLime, kRed)));
    EXPECT_EQ(at(2, 2), at(2, 1)); // blank pixels of the text box leave the bar
}

TEST(ProgressMath, DegenerateSizesDrawNoBar) {
    for (int width : {0, 1, 2})
        EXPECT_EQ(composeGauge(width, 5, Look{kWhite, kBlack, kLime, kRed, 100}, {}).size(),
                  static_cast<std::size_t>(width) * 5);
    EXPECT_TRUE(composeGauge(8, 0, Look{kWhite, kBlack, kLime, kRed, 100}, {}).empty());
}
