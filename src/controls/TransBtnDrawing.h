#pragma once

// The drawing arithmetic of the transparent bitmap button, free of any toolkit: the images
// it derives from its glyph, its frames as one-pixel strokes, and where glyph and caption go.

#include "controls/DrawingRect.h"

#include <cstdint>
#include <optional>
#include <vector>

enum TFrameStyle { fsRegular, fsIndent, fsExplorer, fsNone, fsLight, fsDark, fsMono };
enum TTextAlign {
    ttaTopLeft,
    ttaTop,
    ttaTopRight,
    ttaRight,
    ttaBottomRight,
    ttaBottom,
    ttaBottomLeft,
    ttaLeft,
    ttaCenter
};

namespace tb::button {

// 0xAARRGGBB, the layout of QImage::Format_ARGB32.
using Pixel = std::uint32_t;
constexpr Pixel kOpaque = 0xFF000000u;
constexpr Pixel rgbOf(Pixel pixel) {
    return pixel & 0x00FFFFFFu;
}

// A plain image: width × height pixels, row by row.
struct PixelBuffer {
    int width = 0;
    int height = 0;
    std::vector<Pixel> pixels;

    PixelBuffer() = default;
    PixelBuffer(int w, int h, Pixel fill = kOpaque);
    Pixel at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    Pixel& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    bool operator==(const PixelBuffer&) const = default;
};

using tb::Rect;

// The colours a frame is drawn in; the system ones are looked up when painting.
enum class Role { Black, Face, Highlight, Shadow, DarkShadow };

// A filled area, usually a one-pixel line of a frame.
struct Stroke {
    Rect area;
    Role role;
    bool operator==(const Stroke&) const = default;
};

// Appends `rings` one-pixel rings from the outside of `rect` inwards (left column and top row
// in `top`, then right column and bottom row in `bottom`) and shrinks `rect` by `rings`.
void frame3D(std::vector<Stroke>& out, Rect& rect, Role top, Role bottom, std::uint32_t rings);

// The number of cells of a strip: width div height when the width is a multiple of the
// height (1 when that exceeds 4), otherwise the stored number.
int numGlyphsFor(int glyphWidth, int glyphHeight, int stored);

// Cell `index` of a strip whose cells are `cellWidth` wide.
PixelBuffer cellOf(const PixelBuffer& strip, int index, int cellWidth);
// Each pixel as a gray of weights 11 red, 59 green, 30 blue.
PixelBuffer grayImage(const PixelBuffer& cell);
// The embossed look: ink pixels in shadow, a highlight one pixel right and down of each, the
// rest button face. Ink is every pixel neither white nor the colour of the top-left pixel.
PixelBuffer disabledImage(const PixelBuffer& cell, Pixel face, Pixel highlight, Pixel shadow);
// Makes every pixel of the bottom-left pixel's colour transparent.
void makeBottomLeftTransparent(PixelBuffer& image);

struct ButtonLook {
    TFrameStyle frameStyle = fsExplorer;
    bool transparent = true;
    bool pressedLook = false;
    bool hot = false;
    bool down = false;
    bool showPressed = true;
    std::uint32_t borderWidth = 1;
    int width = 0;
    int height = 0;
};

// The background and frames of one paint, in drawing order.
struct FramePlan {
    std::optional<Rect> faceFill;
    std::vector<Stroke> strokes;
};
FramePlan framePlan(const ButtonLook& look);

// Which entry of the image strip shows: cells 0..n-1, then the gray and the disabled image.
int stripIndex(int numGlyphs, int stripCount, bool enabled, bool pressedLook,
               TFrameStyle frameStyle, bool autoGray, bool hot);

// Glyph rectangle and the caption block's top-left corner, before the pressed shift.
struct Layout {
    Rect glyph;
    int captionX = 0;
    int captionY = 0;
};
Layout layout(int width, int height, int glyphWidth, int glyphHeight, int numGlyphs, int spacing,
              TTextAlign align, int textWidth, int textHeight);

} // namespace tb::button
