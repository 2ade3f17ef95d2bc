#include "controls/TransBtnDrawing.h"

#include <algorithm>

namespace tb::button {

PixelBuffer::PixelBuffer(int w, int h, Pixel fill)
    : width(std::max(w, 0)), height(std::max(h, 0)),
      pixels(static_cast<std::size_t>(width) * height, fill) {}

void frame3D(std::vector<Stroke>& out, Rect& rect, Role top, Role bottom, std::uint32_t rings) {
    // Rings past the middle draw nothing; the count only keeps shrinking the rectangle.
    const int limit = std::max(0, std::min(rect.right - rect.left, rect.bottom - rect.top) + 1) / 2;
    const int drawn = static_cast<int>(std::min<std::uint32_t>(rings, limit));
    for (int k = 0; k < drawn; ++k) {
        const Rect r{rect.left + k, rect.top + k, rect.right - k, rect.bottom - k};
        out.push_back({{r.left, r.top, r.left + 1, r.bottom}, top});
        out.push_back({{r.left, r.top, r.right, r.top + 1}, top});
        out.push_back({{r.right - 1, r.top, r.right, r.bottom}, bottom});
        out.push_back({{r.left, r.bottom - 1, r.right, r.bottom}, bottom});
    }
    const int shrink = static_cast<int>(std::min<std::uint32_t>(rings, 1u << 24));
    rect = {rect.left + shrink, rect.top + shrink, rect.right - shrink, rect.bottom - shrink};
}

int numGlyphsFor(int glyphWidth, int glyphHeight, int stored) {
    if (glyphHeight <= 0 || glyphWidth % glyphHeight != 0)
        return stored;
    const int quotient = glyphWidth / glyphHeight;
    return quotient > 4 || quotient < 1 ? 1 : quotient;
}

PixelBuffer cellOf(const PixelBuffer& strip, int index, int cellWidth) {
    PixelBuffer cell(cellWidth, strip.height);
    for (int y = 0; y < cell.height; ++y)
        for (int x = 0; x < cell.width; ++x) {
            const int sx = index * cellWidth + x;
            if (sx < strip.width)
                cell.at(x, y) = strip.at(sx, y);
        }
    return cell;
}

PixelBuffer grayImage(const PixelBuffer& cell) {
    PixelBuffer gray = cell;
    for (Pixel& p : gray.pixels) {
        const Pixel r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        const Pixel v = (11 * r + 59 * g + 30 * b) / 100;
        p = (p & kOpaque) | (v << 16) | (v << 8) | v;
    }
    return gray;
}

PixelBuffer disabledImage(const PixelBuffer& cell, Pixel face, Pixel highlight, Pixel shadow) {
    PixelBuffer out(cell.width, cell.height, kOpaque | rgbOf(face));
    if (cell.pixels.empty())
        return out;
    const Pixel key = rgbOf(cell.at(0, 0));
    const auto ink = [&](int x, int y) {
        const Pixel c = rgbOf(cell.at(x, y));
        return key == 0 || (c != 0xFFFFFFu && c != key);
    };
    for (int y = 0; y + 1 < cell.height; ++y)
        for (int x = 0; x + 1 < cell.width; ++x)
            if (ink(x, y))
                out.at(x + 1, y + 1) = kOpaque | rgbOf(highlight);
    for (int y = 0; y < cell.height; ++y)
        for (int x = 0; x < cell.width; ++x)
            if (ink(x, y))
                out.at(x, y) = kOpaque | rgbOf(shadow);
    return out;
}

void makeBottomLeftTransparent(PixelBuffer& image) {
    if (image.pixels.empty())
        return;
    const Pixel key = rgbOf(image.at(0, image.height - 1));
    for (Pixel& p : image.pixels)
        if (rgbOf(p) == key)
            p = key; // alpha 0
}

namespace {

// The pressed look's frames on `r`.
void pressedFrames(std::vector<Stroke>& out, Rect r, const ButtonLook& look) {
    const std::uint32_t n = look.borderWidth;
    switch (look.frameStyle) {
    case fsRegular:
    case fsIndent:
        if (look.showPressed) {
            frame3D(out, r, Role::Black, Role::Highlight, n);
            frame3D(out, r, Role::Shadow, Role::Face, n);
        }
        break;
    case fsExplorer:
        if (look.hot || look.down) {
            if (look.showPressed)
                frame3D(out, r, Role::Shadow, Role::Highlight, n);
            else
                frame3D(out, r, Role::Highlight, Role::Shadow, n);
        }
        break;
    case fsNone:
        break;
    case fsLight:
        if (look.showPressed)
            frame3D(out, r, Role::Shadow, Role::Highlight, 1);
        break;
    case fsDark:
        if (look.showPressed)
            frame3D(out, r, Role::DarkShadow, Role::Face, 1);
        break;
    case fsMono:
        if (look.showPressed)
            frame3D(out, r, Role::DarkShadow, Role::Highlight, 1);
        break;
    }
}

void upFrames(std::vector<Stroke>& out, Rect r, const ButtonLook& look) {
    const std::uint32_t n = look.borderWidth;
    switch (look.frameStyle) {
    case fsRegular:
        frame3D(out, r, Role::Highlight, Role::Black, n);
        frame3D(out, r, Role::Face, Role::Shadow, n);
        break;
    case fsIndent:
        frame3D(out, r, Role::Shadow, Role::Highlight, n);
        break;
    case fsExplorer:
        if (look.hot)
            frame3D(out, r, Role::Highlight, Role::Shadow, n);
        break;
    case fsNone:
        break;
    case fsLight:
        frame3D(out, r, Role::Highlight, Role::Shadow, 1);
        break;
    case fsDark:
        frame3D(out, r, Role::Face, Role::DarkShadow, 1);
        break;
    case fsMono:
        frame3D(out, r, Role::Highlight, Role::DarkShadow, 1);
        break;
    }
}

} // namespace

FramePlan framePlan(const ButtonLook& look) {
    FramePlan plan;
    const int w = look.width, h = look.height;
    if (look.frameStyle == fsRegular || look.frameStyle == fsIndent) {
        // An outline a border wide, black or in shadow, on a face unless transparent; the
        // indented style adds a highlight ring one pixel lower right for an etched edge.
        const bool regular = look.frameStyle == fsRegular;
        Rect outline = regular ? Rect{1, 1, w, h} : Rect{0, 0, w - 1, h - 1};
        if (!look.transparent)
            plan.faceFill = outline;
        const Role ink = regular ? Role::Black : Role::Shadow;
        frame3D(plan.strokes, outline, ink, ink, look.borderWidth);
        if (!regular) {
            Rect etch{1, 1, w, h};
            frame3D(plan.strokes, etch, Role::Highlight, Role::Highlight, look.borderWidth);
        }
    } else if (!look.transparent) {
        plan.faceFill = Rect{0, 0, w, h};
    }
    const Rect r{0, 0, w, h};
    if (look.pressedLook)
        pressedFrames(plan.strokes, r, look);
    else
        upFrames(plan.strokes, r, look);
    return plan;
}

int stripIndex(int numGlyphs, int stripCount, bool enabled, bool pressedLook,
               TFrameStyle frameStyle, bool autoGray, bool hot) {
    int index = 0;
    if (numGlyphs == 2)
        index = enabled ? 0 : 1;
    else if (numGlyphs == 3 || numGlyphs == 4)
        index = !enabled ? 1 : pressedLook ? 2 : 0;
    if (frameStyle == fsExplorer && autoGray && !hot)
        index = stripCount - 2;
    if (!enabled && numGlyphs == 1)
        index = stripCount - 1;
    return std::clamp(index, 0, std::max(stripCount - 1, 0));
}

Layout layout(int width, int height, int glyphWidth, int glyphHeight, int numGlyphs, int spacing,
              TTextAlign align, int textWidth, int textHeight) {
    int cw = numGlyphs > 0 ? glyphWidth / numGlyphs : glyphWidth;
    if (cw < 1)
        cw = glyphWidth;
    const int gh = glyphHeight;

    int top = (height - gh) / 2;
    if (align == ttaBottomRight || align == ttaBottom || align == ttaBottomLeft)
        top = spacing;
    else if (align == ttaTopLeft || align == ttaTop || align == ttaTopRight)
        top = height - gh - spacing;
    int left = (width - cw) / 2;
    if (align == ttaLeft)
        left = width - cw - spacing;
    else if (align == ttaRight)
        left = spacing;

    Layout out;
    out.glyph = {left, top, left + cw, top + gh};
    const int leftX = spacing;
    const int centreX = width / 2 - textWidth / 2;
    const int rightX = width - textWidth - spacing;
    const int aboveY = out.glyph.top - textHeight - spacing;
    const int middleY = height / 2 - textHeight / 2;
    const int belowY = out.glyph.bottom + spacing;
    switch (align) {
    case ttaTopLeft:
        out.captionX = leftX, out.captionY = aboveY;
        break;
    case ttaTop:
        out.captionX = centreX, out.captionY = aboveY;
        break;
    case ttaTopRight:
        out.captionX = rightX, out.captionY = aboveY;
        break;
    case ttaRight:
        out.captionX = rightX, out.captionY = middleY;
        break;
    case ttaBottomRight:
        out.captionX = rightX, out.captionY = belowY;
        break;
    case ttaBottom:
        out.captionX = centreX, out.captionY = belowY;
        break;
    case ttaBottomLeft:
        out.captionX = leftX, out.captionY = belowY;
        break;
    case ttaLeft:
        out.captionX = leftX, out.captionY = middleY;
        break;
    case ttaCenter:
        out.captionX = centreX, out.captionY = middleY;
        break;
    }
    return out;
}

} // namespace tb::button
