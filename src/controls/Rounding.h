#pragma once

namespace tb {

// numerator / denominator rounded to the nearest integer, halves to the even neighbour.
// Done in integers so that a half is a half: a product in floating point such as
// 255 * 0.3 can land a hair off 76.5 and round the wrong way.
constexpr int roundHalfEven(long long numerator, long long denominator) {
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    long long quotient = numerator / denominator;
    const long long remainder = numerator % denominator;
    const long long twiceRest = 2 * (remainder < 0 ? -remainder : remainder);
    const long long away = numerator < 0 ? -1 : 1;
    if (twiceRest > denominator || (twiceRest == denominator && quotient % 2 != 0))
        quotient += away;
    return static_cast<int>(quotient);
}

} // namespace tb
