#include "controls/BalHintMath.h"

#include <algorithm>

namespace tb {

std::vector<std::u16string> hintLines(std::u16string_view text) {
    const auto isBreak = [](char16_t c) {
        return c < 32;
    };
    std::vector<std::u16string> lines;
    std::size_t pos = 0;
    if (!text.empty() && isBreak(text[0])) {
        lines.emplace_back();
        while (pos < text.size() && isBreak(text[pos]))
            ++pos;
    }
    while (pos < text.size()) {
        const std::size_t start = pos;
        while (pos < text.size() && !isBreak(text[pos]))
            ++pos;
        lines.emplace_back(text.substr(start, pos - start));
        while (pos < text.size() && isBreak(text[pos]))
            ++pos;
    }
    return lines;
}

BalloonSize textBlockSize(const std::vector<BalloonSize>& lines) {
    BalloonSize block;
    for (const BalloonSize& line : lines) {
        block.width = std::max(block.width, line.width);
        block.height += line.height;
    }
    return block;
}

std::vector<BalloonPoint> placeTextLines(const Rect& rect, BalloonSize block,
                                         const std::vector<BalloonSize>& lines,
                                         TAlignment alignment) {
    const int left = rect.left + (rect.right - rect.left - block.width) / 2;
    int y = rect.top + (rect.bottom - rect.top - block.height) / 2;
    std::vector<BalloonPoint> places;
    places.reserve(lines.size());
    for (const BalloonSize& line : lines) {
        int shift = 0;
        if (alignment == TAlignment::taRightJustify)
            shift = block.width - line.width;
        else if (alignment == TAlignment::taCenter)
            shift = (block.width - line.width) / 2;
        places.push_back({left + shift, y});
        y += line.height;
    }
    return places;
}

BalloonShape balloonShape(BalloonSize textBlock, std::optional<BalloonSize> icon,
                          BalloonPoint pointer, int screenWidth) {
    BalloonShape s;
    int W = std::max(textBlock.width, kMinimumTextWidth);
    int H = textBlock.height;
    s.text = {W, H};
    if (icon) {
        W += icon->width + 8;
        H = std::max(H, icon->height + 8);
    }
    s.inner = {W, H};

    s.body = {{{5, 0},
               {W + 10, 0},
               {W + 13, 2},
               {W + 15, 5},
               {W + 15, H + 5},
               {W + 13, H + 8},
               {W + 10, H + 10},
               {5, H + 10},
               {2, H + 8},
               {0, H + 5},
               {0, 5},
               {1, 2}}}; // the top-left bevel is one pixel flatter than the others

    s.right = screenWidth > pointer.x + W + 15;
    s.below = H + 35 > pointer.y;
    // Hanging below, the balloon opens to the left whenever there is room there.
    if (s.below && W + 15 < pointer.x)
        s.right = false;

    if (s.below) {
        for (BalloonPoint& p : s.body)
            p.y += 20;
        if (s.right)
            s.tail = {{{30, 20}, {0, 0}, {10, 17}, {10, 20}}};
        else
            s.tail = {{{W, 20}, {W, 16}, {W + 20, 0}, {W - 20, 20}}};
        s.tailInsert = 1;
    } else {
        if (s.right)
            s.tail = {{{10, H + 10}, {10, H + 13}, {0, H + 30}, {30, H + 10}}};
        else
            s.tail = {{{W - 20, H + 10}, {W + 10, H + 30}, {W, H + 13}, {W, H + 10}}};
        s.tailInsert = 7;
    }

    // The outline walks the body and takes the tail backwards where it joins.
    auto out = s.outline.begin();
    out = std::copy(s.body.begin(), s.body.begin() + s.tailInsert, out);
    out = std::copy(s.tail.rbegin(), s.tail.rend(), out);
    std::copy(s.body.begin() + s.tailInsert, s.body.end(), out);

    const int left = s.right ? pointer.x : pointer.x - (W + 15);
    const int top = s.below ? pointer.y : pointer.y - (H + 35);
    s.bounds = {left, top, left + W + 20, top + H + 35};

    s.textRect = {0, 0, W + 20, H + 35};
    if (s.below)
        s.textRect.top += 20;
    else
        s.textRect.bottom -= 20;
    s.textRect.left += 5;
    s.textRect.top += 5;
    s.textRect.right -= 5;
    s.textRect.bottom -= 5;
    return s;
}

IconAndText placeIconAndText(const Rect& textRect, BalloonSize text, BalloonSize icon) {
    const int d = (textRect.right - textRect.left - (icon.width + text.width + 8)) / 2;
    IconAndText placed;
    placed.icon = {textRect.left + d,
                   textRect.top +
                       (textRect.bottom - textRect.top - std::max(text.height, icon.height)) / 2};
    placed.text = {textRect.left + d + icon.width + 8, textRect.top, textRect.right,
                   textRect.bottom};
    return placed;
}

} // namespace tb
