#include "controls/BalHintMath.h"

#include <gtest/gtest.h>

namespace {

using tb::BalloonPoint;
using tb::BalloonRect;
using tb::BalloonSize;
using tb::TAlignment;
using Lines = std::vector<std::u16string>;

BalloonPoint tipOnScreen(const tb::BalloonShape& s, BalloonPoint tipInWindow) {
    return {s.bounds.left + tipInWindow.x, s.bounds.top + tipInWindow.y};
}

// A one-character hint 7 x 13 pixels.
constexpr BalloonSize kSmallText{7, 13};

} // namespace

TEST(BalloonText, ControlCharactersPartLinesAndBlankLinesVanish) {
    EXPECT_EQ(tb::hintLines(u"Rok vydání"), (Lines{u"Rok vydání"}));
    EXPECT_EQ(tb::hintLines(u"ab\r\ncd"), (Lines{u"ab", u"cd"}));
    EXPECT_EQ(tb::hintLines(u"ab\r\n\r\n\r\n\tcd"), (Lines{u"ab", u"cd"}));
    EXPECT_EQ(tb::hintLines(u"\r\nab"), (Lines{u"", u"ab"}));
    EXPECT_EQ(tb::hintLines(u"ab\r\n\n"), (Lines{u"ab"}));
    EXPECT_EQ(tb::hintLines(u""), Lines{});
    EXPECT_EQ(tb::hintLines(u"\n"), (Lines{u""}));
}

TEST(BalloonText, LinesAlignWithinTheCentredBlock) {
    const BalloonRect rect{5, 5, 85, 46}; // 80 x 41
    const std::vector<BalloonSize> lines{{40, 13}, {60, 14}};
    const BalloonSize block = tb::textBlockSize(lines);
    EXPECT_EQ(block, (BalloonSize{60, 27}));
    // The block starts at 5 + (80 - 60) / 2 = 15 and 5 + (41 - 27) / 2 = 12.
    EXPECT_EQ(tb::placeTextLines(rect, block, lines, TAlignment::taLeftJustify),
              (std::vector<BalloonPoint>{{15, 12}, {15, 25}}));
    EXPECT_EQ(tb::placeTextLines(rect, block, lines, TAlignment::taRightJustify),
              (std::vector<BalloonPoint>{{35, 12}, {15, 25}}));
    EXPECT_EQ(tb::placeTextLines(rect, block, lines, TAlignment::taCenter),
              (std::vector<BalloonPoint>{{25, 12}, {15, 25}}));
}

TEST(BalloonShape, ShortTextKeepsThirtyPixelsAndTheBodyPoints) {
    const tb::BalloonShape s = tb::balloonShape(kSmallText, std::nullopt, {500, 300}, 1024);
    EXPECT_EQ(s.text, (BalloonSize{30, 13}));
    EXPECT_EQ(s.inner, (BalloonSize{30, 13}));
    EXPECT_TRUE(s.right);
    EXPECT_FALSE(s.below);
    EXPECT_EQ(s.body[3], (BalloonPoint{45, 5})); // the body is 45 wide
    EXPECT_EQ(s.body[6], (BalloonPoint{40, 23}));
    EXPECT_EQ(s.body[11], (BalloonPoint{1, 2})); // the flatter top-left bevel
    // The one character sits within a 30-pixel block centred in the 40-pixel text rectangle.
    EXPECT_EQ(s.textRect, (BalloonRect{5, 5, 45, 23}));
    EXPECT_EQ(tb::placeTextLines(s.textRect, s.text, {kSmallText}, TAlignment::taLeftJustify)[0],
              (BalloonPoint{10, 7}));
    EXPECT_EQ(s.bounds, (BalloonRect{500, 252, 550, 300}));
}

TEST(BalloonShape, FourPlacementsPutTheTipByThePointer) {
    // W = 30, H = 13: the balloon is 50 x 48 and the body 45 wide.
    const auto shape = [](BalloonPoint pointer, int screenWidth = 1024) {
        return tb::balloonShape(kSmallText, std::nullopt, pointer, screenWidth);
    };

    const tb::BalloonShape aboveRight = shape({100, 200});
    EXPECT_TRUE(aboveRight.right);
    EXPECT_FALSE(aboveRight.below);
    EXPECT_EQ(aboveRight.tailInsert, 7);
    EXPECT_EQ(tipOnScreen(aboveRight, aboveRight.tail[2]), (BalloonPoint{100, 195}));

    // Within W + 15 of the right edge it opens to the left.
    const tb::BalloonShape aboveLeft = shape({980, 200});
    EXPECT_FALSE(aboveLeft.right);
    EXPECT_EQ(aboveLeft.bounds, (BalloonRect{935, 152, 985, 200}));
    EXPECT_EQ(tipOnScreen(aboveLeft, aboveLeft.tail[1]), (BalloonPoint{975, 195}));
    EXPECT_TRUE(shape({978, 200}).right); // 1024 > 978 + 45

    // Near the top it hangs below, and then opens to the left where there is room.
    const tb::BalloonShape belowLeft = shape({500, 47});
    EXPECT_TRUE(belowLeft.below);
    EXPECT_FALSE(belowLeft.right);
    EXPECT_EQ(belowLeft.tailInsert, 1);
    EXPECT_EQ(belowLeft.bounds, (BalloonRect{455, 47, 505, 95}));
    EXPECT_EQ(tipOnScreen(belowLeft, belowLeft.tail[2]), (BalloonPoint{505, 47}));
    EXPECT_FALSE(shape({500, 48}).below);

    // Within W + 15 of the left edge it opens to the right, its tip on the pointer.
    const tb::BalloonShape belowRight = shape({45, 10});
    EXPECT_TRUE(belowRight.below);
    EXPECT_TRUE(belowRight.right);
    EXPECT_EQ(tipOnScreen(belowRight, belowRight.tail[1]), (BalloonPoint{45, 10}));
    EXPECT_FALSE(shape({46, 10}).right);
    EXPECT_EQ(belowRight.body[0], (BalloonPoint{5, 20}));
    EXPECT_EQ(belowRight.textRect, (BalloonRect{5, 25, 45, 43}));
}

TEST(BalloonShape, OutlineTakesTheTailBackwardsAtItsJoin) {
    const tb::BalloonShape above = tb::balloonShape(kSmallText, std::nullopt, {100, 200}, 1024);
    EXPECT_EQ(above.tail, (std::array<BalloonPoint, 4>{{{10, 23}, {10, 26}, {0, 43}, {30, 23}}}));
    EXPECT_EQ(above.outline[6], above.body[6]);
    EXPECT_EQ(above.outline[7], above.tail[3]);
    EXPECT_EQ(above.outline[10], above.tail[0]);
    EXPECT_EQ(above.outline[11], above.body[7]);

    const tb::BalloonShape below = tb::balloonShape(kSmallText, std::nullopt, {500, 10}, 1024);
    EXPECT_EQ(below.tail, (std::array<BalloonPoint, 4>{{{30, 20}, {30, 16}, {50, 0}, {10, 20}}}));
    EXPECT_EQ(below.outline[1], below.tail[3]);
    EXPECT_EQ(below.outline[4], below.tail[0]);
    EXPECT_EQ(below.outline[5], below.body[1]);
}

TEST(BalloonShape, IconWidensTheBalloonAndSitsLeftOfTheText) {
    const BalloonSize text{50, 13};
    const BalloonSize icon{16, 16};
    const tb::BalloonShape s = tb::balloonShape(text, icon, {300, 300}, 1024);
    EXPECT_EQ(s.text, text);
    EXPECT_EQ(s.inner, (BalloonSize{74, 24})); // 50 + 16 + 8; the icon's 16 + 8 is taller
    EXPECT_EQ(s.textRect, (BalloonRect{5, 5, 89, 34}));
    const tb::IconAndText placed = tb::placeIconAndText(s.textRect, s.text, icon);
    EXPECT_EQ(placed.icon, (BalloonPoint{10, 11}));
    EXPECT_EQ(placed.text, (BalloonRect{34, 5, 89, 34}));
    // A short icon does not make the balloon taller than its text.
    EXPECT_EQ(tb::balloonShape({50, 40}, BalloonSize{8, 8}, {300, 300}, 1024).inner,
              (BalloonSize{66, 40}));
}
