#include "controls/TransBtnDrawing.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace tb::button;

constexpr Pixel rgb(int r, int g, int b) {
    return kOpaque | (Pixel(r) << 16) | (Pixel(g) << 8) | Pixel(b);
}

// Paints strokes onto a grid of letters, one row per string: K black, F face, H highlight,
// S shadow, D dark shadow, f a face fill, '.' nothing.
std::vector<std::string> render(int w, int h, const FramePlan& plan) {
    std::vector<std::string> grid(h, std::string(w, '.'));
    const auto fill = [&](const Rect& r, char c) {
        for (int y = std::max(r.top, 0); y < std::min(r.bottom, h); ++y)
            for (int x = std::max(r.left, 0); x < std::min(r.right, w); ++x)
                grid[y][x] = c;
    };
    if (plan.faceFill)
        fill(*plan.faceFill, 'f');
    for (const Stroke& s : plan.strokes)
        fill(s.area, "KFHSD"[static_cast<int>(s.role)]);
    return grid;
}

FramePlan planFor(TFrameStyle style, bool pressed, bool hot = false, std::uint32_t border = 1,
                  bool transparent = true) {
    ButtonLook look;
    look.frameStyle = style;
    look.pressedLook = pressed;
    look.hot = hot;
    look.borderWidth = border;
    look.transparent = transparent;
    look.width = 6;
    look.height = 5;
    return framePlan(look);
}

using Grid = std::vector<std::string>;

} // namespace

TEST(TransBtnDrawing, CellCountFollowsSquareCellsOnly) {
    EXPECT_EQ(numGlyphsFor(32, 16, 1), 2);
    EXPECT_EQ(numGlyphsFor(32, 16, 3), 2);
    EXPECT_EQ(numGlyphsFor(30, 78, 1), 1); // not a multiple: the stored count stays
    EXPECT_EQ(numGlyphsFor(30, 78, 3), 3);
    EXPECT_EQ(numGlyphsFor(100, 20, 3), 1); // five cells are too many
    EXPECT_EQ(numGlyphsFor(64, 16, 1), 4);
    EXPECT_EQ(numGlyphsFor(10, 0, 2), 2);
}

TEST(TransBtnDrawing, GrayWeighsRedLightAndBlueHeavy) {
    PixelBuffer cell(4, 1);
    cell.at(0, 0) = rgb(100, 0, 0);
    cell.at(1, 0) = rgb(0, 100, 0);
    cell.at(2, 0) = rgb(0, 0, 100);
    cell.at(3, 0) = rgb(255, 255, 255);
    const PixelBuffer gray = grayImage(cell);
    EXPECT_EQ(gray.at(0, 0), rgb(11, 11, 11));
    EXPECT_EQ(gray.at(1, 0), rgb(59, 59, 59));
    EXPECT_EQ(gray.at(2, 0), rgb(30, 30, 30));
    EXPECT_EQ(gray.at(3, 0), rgb(255, 255, 255));
}

TEST(TransBtnDrawing, GrayPixelsMatchingTheCornerTurnTransparent) {
    // Bottom-left dark red and a dark blue elsewhere both weigh gray 11.
    PixelBuffer cell(2, 2, rgb(200, 200, 200));
    cell.at(0, 1) = rgb(100, 0, 0);
    cell.at(1, 0) = rgb(0, 0, 37);
    PixelBuffer gray = grayImage(cell);
    makeBottomLeftTransparent(gray);
    EXPECT_EQ(gray.at(0, 1) >> 24, 0u);
    EXPECT_EQ(gray.at(1, 0) >> 24, 0u);
    EXPECT_EQ(gray.at(0, 0), rgb(200, 200, 200));
    EXPECT_EQ(gray.at(1, 1) >> 24, 0xFFu);
}

TEST(TransBtnDrawing, DisabledImageIsEmbossed) {
    const Pixel key = rgb(255, 0, 255), ink = rgb(10, 20, 30), white = rgb(255, 255, 255);
    const Pixel face = rgb(1, 1, 1), light = rgb(2, 2, 2), dark = rgb(3, 3, 3);
    PixelBuffer cell(4, 3, key);
    cell.at(1, 0) = ink;
    cell.at(2, 1) = ink;   // its own shadow covers the highlight of (1, 0)
    cell.at(3, 2) = ink;   // its highlight falls off the edge
    cell.at(0, 2) = white; // white is never ink
    cell.at(0, 1) = ink;
    const PixelBuffer out = disabledImage(cell, face, light, dark);
    const std::vector<Pixel> expected{face, dark,  face, face,  //
                                      dark, face,  dark, face,  //
                                      face, light, face, dark}; //
    EXPECT_EQ(out.pixels, expected);

    // With a black key every pixel is ink.
    PixelBuffer black(2, 2, rgb(0, 0, 0));
    black.at(1, 1) = white;
    EXPECT_EQ(disabledImage(black, face, light, dark).pixels, std::vector<Pixel>(4, dark));
}

TEST(TransBtnDrawing, FramesAreNestedRingsWithBottomColourCorners) {
    std::vector<Stroke> strokes;
    Rect r{0, 0, 6, 5};
    frame3D(strokes, r, Role::Highlight, Role::Black, 1);
    frame3D(strokes, r, Role::Face, Role::Shadow, 1);
    EXPECT_EQ(r, (Rect{2, 2, 4, 3}));
    EXPECT_EQ(render(6, 5, {std::nullopt, strokes}), (Grid{"HHHHHK", //
                                                           "HFFFSK", //
                                                           "HF..SK", //
                                                           "HSSSSK", //
                                                           "KKKKKK"}));
    // A huge ring count draws what fits and does not run away.
    std::vector<Stroke> many;
    Rect all{0, 0, 6, 5};
    frame3D(many, all, Role::Black, Role::Black, 4000000000u);
    EXPECT_EQ(many.size(), 12u);
}

TEST(TransBtnDrawing, FramesOfEachStyle) {
    EXPECT_EQ(render(6, 5, planFor(fsRegular, true)), (Grid{"KKKKKH", //
                                                            "KSSSFH", //
                                                            "KS..FH", //
                                                            "KFFFFH", //
                                                            "HHHHHH"}));
    EXPECT_EQ(render(6, 5, planFor(fsIndent, false, false, 1, false)), (Grid{"SSSSSH", //
                                                                             "SHHHHH", //
                                                                             "SHffSH", //
                                                                             "SHSSSH", //
                                                                             "HHHHHH"}));
    // Explorer: nothing at rest, raised under the pointer, sunk when pressed there.
    EXPECT_TRUE(planFor(fsExplorer, false).strokes.empty());
    EXPECT_EQ(render(6, 5, planFor(fsExplorer, false, true))[0], "HHHHHS");
    EXPECT_EQ(render(6, 5, planFor(fsExplorer, true, true))[0], "SSSSSH");
    EXPECT_TRUE(planFor(fsExplorer, true, false).strokes.empty());
    EXPECT_TRUE(planFor(fsNone, true, true).strokes.empty());
    // Light, dark and mono draw one ring whatever the border width.
    EXPECT_EQ(render(6, 5, planFor(fsLight, false, false, 3)), (Grid{"HHHHHS", //
                                                                     "H....S", //
                                                                     "H....S", //
                                                                     "H....S", //
                                                                     "SSSSSS"}));
    EXPECT_EQ(render(6, 5, planFor(fsDark, true))[4], "FFFFFF");
    EXPECT_EQ(render(6, 5, planFor(fsMono, false))[4], "DDDDDD");
    EXPECT_EQ(planFor(fsNone, false, false, 1, false).faceFill, (Rect{0, 0, 6, 5}));
}

TEST(TransBtnDrawing, ImageChoice) {
    // Strip of a two-cell glyph: cells 0, 1, gray 2, disabled 3.
    EXPECT_EQ(stripIndex(2, 4, true, false, fsRegular, true, false), 0);
    EXPECT_EQ(stripIndex(2, 4, false, false, fsRegular, true, false), 1);
    // Explorer with AutoGray: gray whenever not hot, even disabled.
    EXPECT_EQ(stripIndex(2, 4, true, false, fsExplorer, true, false), 2);
    EXPECT_EQ(stripIndex(2, 4, false, false, fsExplorer, true, false), 2);
    EXPECT_EQ(stripIndex(2, 4, true, false, fsExplorer, true, true), 0);
    // One cell without AutoGray: the embossed image when disabled.
    EXPECT_EQ(stripIndex(1, 3, false, false, fsExplorer, false, false), 2);
    EXPECT_EQ(stripIndex(1, 3, false, false, fsExplorer, true, false), 2);
    // Three cells claimed on a two-cell strip: pressed shows entry 2, the gray image.
    EXPECT_EQ(stripIndex(3, 4, true, true, fsRegular, true, false), 2);
    EXPECT_EQ(stripIndex(4, 6, true, true, fsRegular, true, false), 2);
    EXPECT_EQ(stripIndex(4, 6, false, true, fsRegular, true, false), 1);
}

TEST(TransBtnDrawing, GlyphStandsOppositeTheCaption) {
    // 40 x 30 button, 16 x 16 cells of a two-cell strip, caption 10 x 8, spacing 2.
    const auto at = [](TTextAlign align) {
        return layout(40, 30, 32, 16, 2, 2, align, 10, 8);
    };
    EXPECT_EQ(at(ttaCenter).glyph, (Rect{12, 7, 28, 23}));
    EXPECT_EQ(at(ttaCenter).captionX, 15);
    EXPECT_EQ(at(ttaCenter).captionY, 11);
    EXPECT_EQ(at(ttaBottom).glyph.top, 2);
    EXPECT_EQ(at(ttaBottom).captionY, 20);
    EXPECT_EQ(at(ttaTopLeft).glyph.top, 12);
    EXPECT_EQ(at(ttaTopLeft).captionX, 2);
    EXPECT_EQ(at(ttaTopLeft).captionY, 2);
    EXPECT_EQ(at(ttaLeft).glyph.left, 22);
    EXPECT_EQ(at(ttaRight).glyph.left, 2);
    EXPECT_EQ(at(ttaRight).captionX, 28);
    EXPECT_EQ(at(ttaBottomRight).captionX, 28);
    // No caption: the glyph alone, centred; a cell wider than the strip falls back to it.
    EXPECT_EQ(layout(35, 83, 35, 83, 1, 2, ttaCenter, 0, 0).glyph, (Rect{0, 0, 35, 83}));
    EXPECT_EQ(layout(40, 40, 3, 3, 4, 2, ttaCenter, 0, 0).glyph.right -
                  layout(40, 40, 3, 3, 4, 2, ttaCenter, 0, 0).glyph.left,
              3);
}
