#include "controls/TransBtnDrawing.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace tb::button;

constexpr Pixel rgb(int r, int g, int b) {
    return kOpaque | (Pixel(r) << 16) | (Pixel(g) << 8) | Pixel(b);
}

const std::string kBlank = "....../....../....../....../......";

// The frames of a 6 x 5 button as letters, rows parted by '/': K black, F face, H highlight,
// S shadow, D dark shadow, f a face fill, '.' nothing.
std::string frames(TFrameStyle style, bool pressed, bool hot = false, std::uint32_t border = 1,
                   bool transparent = true) {
    // Style, transparent, pressed look, hot, down, show pressed, border, width, height.
    const FramePlan plan = framePlan({style, transparent, pressed, hot, false, true, border, 6, 5});
    std::string grid = kBlank;
    const auto fill = [&](const Rect& r, char c) {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                grid.at(y * 7 + x) = c;
    };
    if (plan.faceFill)
        fill(*plan.faceFill, 'f');
    for (const Stroke& s : plan.strokes)
        fill(s.area, "KFHSD"[static_cast<int>(s.role)]);
    return grid;
}

} // namespace

TEST(TransBtnDrawing, CellCountFollowsSquareCellsOnly) {
    EXPECT_EQ(numGlyphsFor(32, 16, 1), 2);
    EXPECT_EQ(numGlyphsFor(100, 20, 3), 1); // five cells are too many
    EXPECT_EQ(numGlyphsFor(30, 78, 3), 3);  // not a multiple: the stored count stays
    EXPECT_EQ(numGlyphsFor(0, 16, 3), 1);   // an empty picture is one cell
}

// Gray: white and black stay, and of the pure colours green comes out the lightest, red
// the darkest. A colour that comes out as the bottom-left one goes see-through with it.
TEST(TransBtnDrawing, GrayImage) {
    const Pixel red = rgb(100, 0, 0), white = rgb(255, 255, 255), black = rgb(0, 0, 0);
    const Pixel grayRed = grayImage(PixelBuffer(1, 1, red)).at(0, 0);
    EXPECT_EQ(grayRed, grayRed % 256 * 0x010101u + kOpaque);
    PixelBuffer cell(5, 2, white);
    cell.pixels = {red, rgb(0, 100, 0), rgb(0, 0, 100), grayRed, black, red, white};
    cell.pixels.resize(10, white);
    PixelBuffer gray = grayImage(cell);
    EXPECT_GT(gray.at(1, 0), gray.at(2, 0)); // levels, compared as one gray to another
    EXPECT_GT(gray.at(2, 0), grayRed);
    EXPECT_EQ(gray.at(4, 0), black);
    EXPECT_EQ(gray.at(4, 1), white);
    makeBottomLeftTransparent(gray);
    EXPECT_EQ(gray.at(3, 0) >> 24, 0u);
    EXPECT_EQ(gray.at(2, 0) >> 24, 0xFFu);
}

TEST(TransBtnDrawing, DisabledImageIsEmbossed) {
    const Pixel key = rgb(255, 0, 255), ink = rgb(10, 20, 30), white = rgb(255, 255, 255);
    const Pixel face = rgb(1, 1, 1), light = rgb(2, 2, 2), dark = rgb(3, 3, 3);
    PixelBuffer cell(4, 3, key);
    cell.at(1, 0) = ink;
    cell.at(2, 1) = ink;   // its own shadow covers the highlight of (1, 0)
    cell.at(3, 2) = ink;   // its highlight falls off the bottom edge
    cell.at(3, 0) = ink;   // and this one's off the right edge, not onto the next row
    cell.at(0, 2) = white; // white is never ink
    cell.at(0, 1) = ink;
    EXPECT_EQ(disabledImage(cell, face, light, dark).pixels,
              (std::vector<Pixel>{face, dark, face, dark, dark, face, dark, face, face, light, face,
                                  dark}));
    // With a black key every pixel is ink, white too.
    PixelBuffer black(2, 2, rgb(0, 0, 0));
    black.at(1, 1) = white;
    EXPECT_EQ(disabledImage(black, face, light, dark).pixels, std::vector<Pixel>(4, dark));
}

TEST(TransBtnDrawing, FramesOfEachStyle) {
    EXPECT_EQ(frames(fsRegular, false), "HHHHHK/HFFFSK/HF..SK/HSSSSK/KKKKKK");
    EXPECT_EQ(frames(fsRegular, true), "KKKKKH/KSSSFH/KS..FH/KFFFFH/HHHHHH");
    EXPECT_EQ(frames(fsIndent, false, false, 1, false), "SSSSSH/SHHHHH/SHffSH/SHSSSH/HHHHHH");
    // Explorer: raised under the pointer, sunk when pressed there (at rest: test_looks).
    EXPECT_EQ(frames(fsExplorer, false, true).substr(0, 6), "HHHHHS");
    EXPECT_EQ(frames(fsExplorer, true, true).substr(0, 6), "SSSSSH");
    EXPECT_EQ(frames(fsNone, true, true), kBlank);
    // Light, dark and mono draw one ring whatever the border width.
    EXPECT_EQ(frames(fsLight, false, false, 3), "HHHHHS/H....S/H....S/H....S/SSSSSS");
    EXPECT_EQ(frames(fsDark, true, false, 3), "DDDDDF/D....F/D....F/D....F/FFFFFF");
    EXPECT_EQ(frames(fsMono, false, false, 3), "HHHHHD/H....D/H....D/H....D/DDDDDD");
}

TEST(TransBtnDrawing, FrameRingsShrinkTheRectAndStopAtTheMiddle) {
    std::vector<Stroke> strokes;
    Rect r{0, 0, 6, 5};
    frame3D(strokes, r, Role::Face, Role::Shadow, 2);
    EXPECT_EQ(r, (Rect{2, 2, 4, 3}));
    frame3D(strokes, r, Role::Black, Role::Black, 4000000000u); // draws what fits, no run away
    EXPECT_EQ(strokes.size(), 12u);
}

TEST(TransBtnDrawing, ImageChoice) {
    // Strip of a two-cell glyph: cells 0, 1, gray 2, disabled 3; cell 1 when disabled.
    EXPECT_EQ(stripIndex(2, 4, false, false, fsRegular, true, false), 1);
    // The explorer style shows the gray image off the pointer, disabled too.
    EXPECT_EQ(stripIndex(2, 4, false, false, fsExplorer, true, false), 2);
    // One cell disabled: the embossed image even where AutoGray would show the gray one.
    EXPECT_EQ(stripIndex(1, 3, false, false, fsExplorer, true, false), 2);
    // Three cells claimed on a two-cell strip: pressed shows entry 2, the gray image.
    EXPECT_EQ(stripIndex(3, 4, true, true, fsRegular, true, false), 2);
    EXPECT_EQ(stripIndex(4, 6, false, true, fsRegular, true, false), 1);
}

TEST(TransBtnDrawing, GlyphStandsOppositeTheCaption) {
    // 40 x 30 button, 16 x 16 cells of a two-cell strip, caption 10 x 8, spacing 2:
    // glyph left and top, caption left and top.
    const auto at = [](TTextAlign align) {
        const Layout l = layout(40, 30, 32, 16, 2, 2, align, 10, 8);
        return std::vector{l.glyph.left, l.glyph.top, l.captionX, l.captionY};
    };
    EXPECT_EQ(at(ttaCenter), (std::vector{12, 7, 15, 11}));
    EXPECT_EQ(at(ttaRight), (std::vector{2, 7, 28, 11}));
    EXPECT_EQ(at(ttaBottom), (std::vector{12, 2, 15, 20}));
    EXPECT_EQ(at(ttaTop), (std::vector{12, 12, 15, 2}));
    // A cell narrower than a pixel falls back to the whole strip.
    EXPECT_EQ(layout(40, 40, 3, 3, 4, 2, ttaCenter, 0, 0).glyph, (Rect{18, 18, 21, 21}));
}
