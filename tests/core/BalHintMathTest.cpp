#include "controls/BalHintMath.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using tb::BalloonPoint;
using tb::BalloonSize;
using tb::Rect;
using tb::TAlignment;
using Lines = std::vector<std::u16string>;

// A one-character hint 7 x 13 pixels under a pointer on a 1024 pixel wide screen.
tb::BalloonShape smallAt(BalloonPoint pointer) {
    return tb::balloonShape({7, 13}, std::nullopt, pointer, 1024);
}

} // namespace

TEST(BalloonText, ControlCharactersPartLinesAndBlankLinesVanish) {
    EXPECT_EQ(tb::hintLines(u"ab\r\n\tcd"), (Lines{u"ab", u"cd"}));
    EXPECT_EQ(tb::hintLines(u"\r\nab"), (Lines{u"", u"ab"}));
    EXPECT_EQ(tb::hintLines(u"ab\r\n\n"), (Lines{u"ab"}));
    EXPECT_EQ(tb::hintLines(u""), Lines{});
}

TEST(BalloonText, LinesAlignWithinTheCentredBlock) {
    const Rect rect{5, 5, 85, 46}; // 80 x 41
    const std::vector<BalloonSize> lines{{40, 13}, {60, 14}};
    const BalloonSize block = tb::textBlockSize(lines);
    EXPECT_EQ(block, (BalloonSize{60, 27}));
    // The block is centred in the rectangle, and each line aligned within the block.
    const auto at = [&](TAlignment alignment) {
        return tb::placeTextLines(rect, block, lines, alignment);
    };
    EXPECT_EQ(at(TAlignment::taRightJustify), (std::vector<BalloonPoint>{{35, 12}, {15, 25}}));
    EXPECT_EQ(at(TAlignment::taCenter), (std::vector<BalloonPoint>{{25, 12}, {15, 25}}));
}

TEST(BalloonShape, FlipsExactlyAtTheEdges) {
    // A balloon is never cut by the screen's edge: one pixel further, it turns.
    EXPECT_FALSE(smallAt({979, 200}).right);
    EXPECT_TRUE(smallAt({978, 200}).right);
    EXPECT_TRUE(smallAt({500, 47}).below);
    EXPECT_FALSE(smallAt({500, 48}).below);
    EXPECT_TRUE(smallAt({45, 10}).right);
    EXPECT_FALSE(smallAt({46, 10}).right);
    // Hanging below, the body and the text move down 20 (its look above: test_looks).
    EXPECT_EQ(smallAt({45, 10}).body[0], (BalloonPoint{5, 20}));
    EXPECT_EQ(smallAt({45, 10}).textRect, (Rect{5, 25, 45, 43}));
}

// Where the tail's tip lands on the screen, seen from the pointer, in the four placements.
TEST(BalloonShape, TailTipLandsAtThePointer) {
    const auto tipFromPointer = [](BalloonPoint pointer) {
        const tb::BalloonShape s = smallAt(pointer);
        const BalloonPoint tip =
            *std::max_element(s.tail.begin(), s.tail.end(), [&](BalloonPoint a, BalloonPoint b) {
                return s.below ? a.y > b.y : a.y < b.y;
            });
        return BalloonPoint{s.bounds.left + tip.x - pointer.x, s.bounds.top + tip.y - pointer.y};
    };
    EXPECT_EQ(tipFromPointer({20, 10}), (BalloonPoint{0, 0}));      // below, right
    EXPECT_EQ(tipFromPointer({500, 10}), (BalloonPoint{5, 0}));     // below, left
    EXPECT_EQ(tipFromPointer({100, 200}), (BalloonPoint{0, -5}));   // above, right
    EXPECT_EQ(tipFromPointer({1000, 200}), (BalloonPoint{-5, -5})); // above, left
}

// The outline holds body and tail, not what lies beside the tail nor the bevelled corner.
TEST(BalloonShape, OutlineEnclosesBodyAndTail) {
    const auto in = [](const tb::BalloonShape& s, int px, int py) {
        const double x = px + 0.5, y = py + 0.5;
        bool inside = false;
        for (std::size_t i = 0, j = s.outline.size() - 1; i < s.outline.size(); j = i++) {
            const BalloonPoint a = s.outline[i], b = s.outline[j];
            if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * (b.x - a.x) / double(b.y - a.y))
                inside = !inside;
        }
        return inside;
    };
    const tb::BalloonShape above = smallAt({100, 200}); // the tail hangs left, down to y = 43
    EXPECT_TRUE(in(above, 22, 12));
    EXPECT_TRUE(in(above, 6, 37));
    EXPECT_FALSE(in(above, 1, 37));
    EXPECT_FALSE(in(above, 12, 37));
    EXPECT_FALSE(in(above, 0, 0));
    const tb::BalloonShape below = smallAt({500, 10}); // the tail rises right, up to y = 0
    EXPECT_TRUE(in(below, 22, 32));
    EXPECT_TRUE(in(below, 37, 8));
    EXPECT_FALSE(in(below, 31, 8));
    EXPECT_FALSE(in(below, 45, 8));
}

TEST(BalloonShape, IconWidensTheBalloonAndSitsLeftOfTheText) {
    const BalloonSize icon{16, 16};
    const tb::BalloonShape s = tb::balloonShape({50, 13}, icon, {300, 300}, 1024);
    EXPECT_EQ(s.inner, (BalloonSize{74, 24}));
    const tb::IconAndText placed = tb::placeIconAndText(s.textRect, s.text, icon);
    EXPECT_EQ(placed.icon, (BalloonPoint{10, 11}));
    EXPECT_EQ(placed.text, (Rect{34, 5, 89, 34}));
}
