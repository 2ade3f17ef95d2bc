#pragma once

#include <cstdint>
#include <vector>

// The arithmetic of the digit counter: the numbers it shows, how they wrap, which strip
// cell each position takes and which rectangles a frame of a roll copies.
namespace tb {

enum class TDigitsMode { dmCounter, dmTime, dmDate };

namespace digits {

constexpr int StripCells = 11; // digits 0 to 9, then the blank
constexpr int BlankCell = 10;
constexpr int MinDigitCount = 1;
constexpr int MaxDigitCount = 10;

// Counter values wrap at this bound: 10^digitCount, but never beyond the range of an int,
// so ten cells count up to 2147483647 (and down to -2147483647 when negatives are allowed).
std::int64_t wrapLimit(int digitCount);
int incremented(int value, int digitCount, bool allowNegative);
int decremented(int value, int digitCount, bool allowNegative);
// The counter value one step away from `value`, which a roll animates from:
// one below it in a forward roll, one above it otherwise, wrapping as the steps do.
std::int64_t counterPrevious(int value, int digitCount, bool allowNegative, bool forward);

// Day counts: whole days since 30 December 1899, the fraction being the time of day.
constexpr double OneSecond = 1.0 / 86400.0;
double dayCount(int year, int month, int day, int msecsOfDay);
// Whole seconds since midnight of the time of day of a day count (rounded to milliseconds).
int secondOfDay(double dayCount);
// hours * 10000 + minutes * 100 + seconds
int timeNumber(double dayCount);

enum class DateOrder { DayFirst, YearFirst, MonthFirst };
// The field order that the first character of a short date format gives.
DateOrder dateOrderOf(char32_t firstCharacter);
// The date as three two-digit fields in that order, the year taken mod 100.
int dateNumber(double dayCount, DateOrder order);

// 00:30:00 as 12:30:00, 13:05:00 as 01:05:00.
int twelveHourForm(int timeNumber);
// +1 when the shown second lies before now (a forward roll), -1 when after it, else 0.
int clockDirection(double shownDayCount, double nowDayCount);

// The strip cell of position i (1 = rightmost) of a number.
int digitCell(std::int64_t number, int position, bool showLeadingZeros, TDigitsMode mode);

// Rows of a cell taken by the upper picture in a frame of a roll: rollStep > 0 rolls
// forward, rollStep <= 0 backward (0 is the finished roll). Steps below 1 count as 1.
int rollOffset(int height, int rollStep, int steps);

// A bitmap's size; absent bitmaps and bitmaps without pixels are not usable.
struct BitmapSize {
    int width = 0;
    int height = 0;
    bool present = true;
    bool usable() const { return present && width > 0 && height > 0; }
    int usableWidth() const { return usable() ? width : 0; }
};

enum class Source { Strip, PosNegSign, ThousandsSeparator, TimeSeparator, DateSeparator, AmPmSign };

// One rectangle copy from a bitmap onto the control.
struct Blit {
    Source source;
    int sourceX;
    int sourceY;
    int x;
    int y;
    int width;
    int height;
    bool operator==(const Blit&) const = default;
};

struct DigitsState {
    TDigitsMode mode = TDigitsMode::dmCounter;
    int digitCount = 6;
    bool allowNegative = false;
    bool showLeadingZeros = false;
    bool showThousandsSeparator = false;
    int value = 0;
    double dateTime = 0.0;
    DateOrder dateOrder = DateOrder::MonthFirst;
    int rollStep = 0;
    int rollSteps = 4;
    BitmapSize strip{0, 0};
    BitmapSize posNegSign{0, 0};
    BitmapSize thousandsSeparator{0, 0};
    BitmapSize timeSeparator{0, 0};
    BitmapSize dateSeparator{0, 0};
    BitmapSize amPmSign{0, 0};
};

// The shown quantity as one number: the counter's value, HHMMSS, or the date's digits in
// the state's order.
int shownNumber(const DigitsState& state);
// The counter's value as its cells show it: only the lowest digitCount digits, with the
// sign only where negatives are allowed and a digit other than zero is left.
std::int64_t shownCounter(int value, int digitCount, bool allowNegative);

// The width that fits the layout, or -1 while the strip is empty.
int autoSizeWidth(const DigitsState& state);
// The copies that draw the current frame, clipped to their source bitmaps.
std::vector<Blit> frameBlits(const DigitsState& state);

} // namespace digits
} // namespace tb
