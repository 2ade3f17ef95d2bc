#include "controls/KPanelDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tb::panel {

int mulDiv(int a, int b, int c) {
    if (c == 0)
        return -1;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    std::int64_t quotient = product / c;
    const std::int64_t remainder = product % c;
    if (2 * std::llabs(remainder) >= std::llabs(c))
        quotient += (product < 0) != (c < 0) ? -1 : 1;
    return static_cast<int>(quotient);
}

int nearest(double x) {
    // By hand rather than std::nearbyint, which follows whatever rounding mode is set.
    double whole = std::floor(x);
    const double fraction = x - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    return static_cast<int>(whole);
}

Rgb stepColor(Rgb begin, Rgb end, int i, int n) {
    const auto channel = [&](std::uint8_t from, std::uint8_t to) {
        return static_cast<std::uint8_t>(from + mulDiv(i, to - from, n));
    };
    return {channel(begin.red, end.red), channel(begin.green, end.green),
            channel(begin.blue, end.blue)};
}

std::vector<GradientFill> gradientFills(TGradientStyle style, int width, int height, Rgb begin,
                                        Rgb end) {
    std::vector<GradientFill> fills;
    const int w = width, h = height;
    switch (style) {
    case gsHorizontal:
        for (int i = 0; i <= 255; ++i)
            fills.push_back(
                {{mulDiv(i, w, 256), 0, mulDiv(i + 1, w, 256), h}, stepColor(begin, end, i, 255)});
        break;
    case gsVertical:
        for (int i = 0; i <= 255; ++i)
            fills.push_back(
                {{0, mulDiv(i, h, 256), w, mulDiv(i + 1, h, 256)}, stepColor(begin, end, i, 255)});
        break;
    case gsVerticalCenter: {
        const int h2 = h / 2;
        if (h2 == 0)
            break;
        for (int i = 0; i <= h2; ++i) {
            const Rgb c = stepColor(begin, end, i, h2);
            fills.push_back({{0, i, w, i + 1}, c});
            if (h - i < h)
                fills.push_back({{0, h - i, w, h - i + 1}, c});
        }
        break;
    }
    case gsHorizontalCenter: {
        const int w2 = w / 2;
        if (w2 == 0)
            break;
        for (int i = 0; i <= w2; ++i) {
            const Rgb c = stepColor(begin, end, i, w2);
            fills.push_back({{i, 0, i + 1, h}, c});
            if (w - i < w)
                fills.push_back({{w - i, 0, w - i + 1, h}, c});
        }
        break;
    }
    case gsElliptic: {
        double x1 = -w / 4.0, x2 = w + w / 4.0, y1 = -h / 4.0, y2 = h + h / 4.0;
        const double dx = (w / 2.0 + w / 4.0) / 155.0, dy = (h / 2.0 + h / 4.0) / 155.0;
        for (int i = 0; i <= 155; ++i) {
            x1 += dx, x2 -= dx, y1 += dy, y2 -= dy;
            fills.push_back({{nearest(x1), nearest(y1), nearest(x2), nearest(y2)},
                             stepColor(begin, end, i, 155),
                             true});
        }
        break;
    }
    case gsRectangle: {
        double l = 0, t = 0, r = w, b = h;
        const double dx = w / 2.0 / 255.0, dy = h / 2.0 / 255.0;
        for (int i = 0; i <= 255; ++i) {
            l += dx, r -= dx, t += dy, b -= dy;
            fills.push_back(
                {{nearest(l), nearest(t), nearest(r), nearest(b)}, stepColor(begin, end, i, 255)});
        }
        break;
    }
    }
    return fills;
}

namespace {

// One ring at inset s: the left column and the top row without its right end in the first
// colour, the right column and the bottom row without its left end in the second.
void ring(std::vector<BevelStroke>& out, int width, int height, int s, TBevelCut cut) {
    const int r = width - 1 - s, q = height - 1 - s;
    if (r < s || q < s)
        return;
    const bool firstHighlight = cut != bvLowered;
    out.push_back({{s, s, s + 1, q + 1}, firstHighlight});
    out.push_back({{s, s, r, s + 1}, firstHighlight});
    out.push_back({{r, s, r + 1, q + 1}, !firstHighlight});
    out.push_back({{s + 1, q, r + 1, q + 1}, !firstHighlight});
}

} // namespace

std::vector<BevelStroke> bevelStrokes(int width, int height, TBevelCut inner, TBevelCut outer,
                                      int bevelWidth) {
    std::vector<BevelStroke> out;
    // Rings beyond the middle of the panel have nothing left to draw on.
    const int rings = std::clamp(bevelWidth, 0, std::max(0, (std::min(width, height) + 1) / 2));
    if (outer != bvNone)
        for (int k = 0; k < rings; ++k)
            ring(out, width, height, k, outer);
    if (inner != bvNone) {
        const int start = outer != bvNone ? rings : 0;
        for (int k = 0; k < rings; ++k)
            ring(out, width, height, start + k, inner);
    }
    return out;
}

int captionLeft(TAlignment alignment, int width, int textWidth, TBevelCut inner, TBevelCut outer,
                int bevelWidth) {
    const int inset = (inner != bvNone ? bevelWidth : 0) + (outer != bvNone ? bevelWidth : 0);
    switch (alignment) {
    case taLeftJustify:
        return inset;
    case taRightJustify:
        return width - textWidth - inset;
    case taCenter:
        break;
    }
    return (width - textWidth) / 2;
}

int captionTop(int height, int textHeight) {
    return (height - textHeight) / 2;
}

} // namespace tb::panel
