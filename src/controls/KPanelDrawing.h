#pragma once

// The drawing arithmetic of the gradient panel, free of any toolkit: the areas of each
// gradient step with their colours, the bevel rings and the caption's place.

#include "controls/DrawingRect.h"
#include "controls/Rgb.h"
#include "controls/TextAlignment.h"

#include <cstdint>
#include <vector>

enum TGradientStyle {
    gsHorizontal,
    gsVertical,
    gsVerticalCenter,
    gsHorizontalCenter,
    gsElliptic,
    gsRectangle
};
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
// The panel names its caption's alignments without a scope, as its other settings.
using tb::TAlignment;
using enum tb::TAlignment;

namespace tb::panel {

// a·b / c in 64 bits, to the nearest integer with halves away from zero; -1 when c is 0.
int mulDiv(int a, int b, int c);
// The integer nearest to x, halves to even.
int nearest(double x);

using tb::Rgb;

// Step i of n from begin toward end, each channel kept in 8 bits.
Rgb stepColor(Rgb begin, Rgb end, int i, int n);

using tb::Rect;

struct GradientFill {
    Rect area;
    Rgb color;
    bool ellipse = false; // the ellipse inscribed in the area instead of the area
};
// The fills of one gradient, in drawing order, for a panel width × height.
std::vector<GradientFill> gradientFills(TGradientStyle style, int width, int height, Rgb begin,
                                        Rgb end);

struct BevelStroke {
    Rect area;
    bool highlight; // button highlight, else button shadow
    bool operator==(const BevelStroke&) const = default;
};
// Outer bevel rings from the edge inwards, then the inner ones.
std::vector<BevelStroke> bevelStrokes(int width, int height, TBevelCut inner, TBevelCut outer,
                                      int bevelWidth);

// Where the caption's top-left corner stands.
int captionLeft(TAlignment alignment, int width, int textWidth, TBevelCut inner, TBevelCut outer,
                int bevelWidth);
int captionTop(int height, int textHeight);

} // namespace tb::panel
