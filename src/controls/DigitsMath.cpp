#include "controls/DigitsMath.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace tb::digits {

namespace {

constexpr std::int64_t MsecsPerDay = 86'400'000;
constexpr std::int64_t IntRange = std::int64_t{1} << 31;
// Day counts of 1 January 0001 and 31 December 9999: beyond them no calendar is kept.
constexpr double FirstDay = -693'593.0;
constexpr double LastDay = 2'958'465.0;

std::int64_t powerOfTen(int exponent) {
    std::int64_t power = 1;
    for (int i = 0; i < exponent; ++i)
        power *= 10;
    return power;
}

int clampedDigitCount(int digitCount) {
    return std::clamp(digitCount, MinDigitCount, MaxDigitCount);
}

constexpr std::chrono::sys_days DayZero{std::chrono::year{1899} / 12 / 30};

// The whole days of a day count (toward zero) and its time of day in milliseconds; the
// fraction of a count below zero is the time of day as it stands, without its sign.
struct SplitDayCount {
    std::int64_t days;
    std::int64_t msecs;
};

SplitDayCount split(double count) {
    if (!std::isfinite(count))
        count = 0.0;
    count = std::clamp(count, FirstDay, LastDay + 0.999'999);
    const double whole = std::trunc(count);
    auto days = static_cast<std::int64_t>(whole);
    auto msecs = static_cast<std::int64_t>(std::llround(std::fabs(count - whole) * MsecsPerDay));
    if (msecs >= MsecsPerDay) { // rounded up to the next midnight
        msecs -= MsecsPerDay;
        days += count < 0 ? -1 : 1;
    }
    return {days, msecs};
}

std::chrono::year_month_day calendarDate(double count) {
    return std::chrono::year_month_day{DayZero + std::chrono::days{split(count).days}};
}

// The roll of one cell between two cells of the same source: the upper picture shows its
// bottom rows above the lower picture's top rows.
void rollCell(std::vector<Blit>& out, Source source, int x, int cellWidth, int height, int fromCell,
              int toCell, int rollStep, int steps) {
    const int offset = rollOffset(height, rollStep, steps);
    const bool forward = rollStep > 0;
    const int upper = forward ? fromCell : toCell;
    const int lower = forward ? toCell : fromCell;
    if (offset > 0)
        out.push_back({source, upper * cellWidth, height - offset, x, 0, cellWidth, offset});
    if (height - offset > 0)
        out.push_back({source, lower * cellWidth, 0, x, offset, cellWidth, height - offset});
}

void copyCell(std::vector<Blit>& out, Source source, int x, int cellWidth, int height, int cell) {
    out.push_back({source, cell * cellWidth, 0, x, 0, cellWidth, height});
}

// Cells are read with the strip's height; rows that a smaller sign bitmap lacks stay undrawn.
void clipToSource(std::vector<Blit>& blits, std::size_t from, const BitmapSize& bitmap) {
    for (std::size_t i = from; i < blits.size(); ++i) {
        Blit& blit = blits[i];
        blit.height = std::max(0, std::min(blit.height, bitmap.height - blit.sourceY));
        blit.width = std::max(0, std::min(blit.width, bitmap.width - blit.sourceX));
    }
    blits.erase(
        std::remove_if(blits.begin() + static_cast<std::ptrdiff_t>(from), blits.end(),
                       [](const Blit& blit) { return blit.width == 0 || blit.height == 0; }),
        blits.end());
}

} // namespace

std::int64_t wrapLimit(int digitCount) {
    return std::min(powerOfTen(clampedDigitCount(digitCount)), IntRange);
}

int incremented(int value, int digitCount, bool allowNegative) {
    const std::int64_t limit = wrapLimit(digitCount);
    const std::int64_t next = std::int64_t{value} + 1;
    if (next / limit > 0)
        return static_cast<int>(allowNegative ? 1 - limit : 0);
    return static_cast<int>(next);
}

int decremented(int value, int digitCount, bool allowNegative) {
    const std::int64_t limit = wrapLimit(digitCount);
    const std::int64_t next = std::int64_t{value} - 1;
    const bool wraps = allowNegative ? next / limit < 0 : next < 0;
    return static_cast<int>(wraps ? limit - 1 : next);
}

std::int64_t counterPrevious(int value, int digitCount, bool allowNegative, bool forward) {
    const std::int64_t limit = wrapLimit(digitCount);
    const std::int64_t lowest = allowNegative ? 1 - limit : 0;
    if (forward)
        return value == lowest ? limit - 1 : std::int64_t{value} - 1;
    return std::int64_t{value} + 1 >= limit ? lowest : std::int64_t{value} + 1;
}

double dayCount(int year, int month, int day, int msecsOfDay) {
    const std::chrono::year_month_day date{std::chrono::year{year},
                                           std::chrono::month{static_cast<unsigned>(month)},
                                           std::chrono::day{static_cast<unsigned>(day)}};
    const auto days = (std::chrono::sys_days{date} - DayZero).count();
    const double time = static_cast<double>(msecsOfDay) / MsecsPerDay;
    return days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
}

int secondOfDay(double count) {
    return static_cast<int>(split(count).msecs / 1000);
}

int timeNumber(double count) {
    const int seconds = secondOfDay(count);
    return seconds / 3600 * 10000 + seconds / 60 % 60 * 100 + seconds % 60;
}

DateOrder dateOrderOf(char32_t firstCharacter) {
    switch (firstCharacter) {
    case U'D':
    case U'd':
        return DateOrder::DayFirst;
    case U'Y':
    case U'y':
        return DateOrder::YearFirst;
    default:
        return DateOrder::MonthFirst;
    }
}

int dateNumber(double count, DateOrder order) {
    const auto date = calendarDate(count);
    const int yy = static_cast<int>(date.year()) % 100;
    const int month = static_cast<int>(static_cast<unsigned>(date.month()));
    const int day = static_cast<int>(static_cast<unsigned>(date.day()));
    switch (order) {
    case DateOrder::DayFirst:
        return day * 10000 + month * 100 + yy;
    case DateOrder::YearFirst:
        return yy * 10000 + month * 100 + day;
    case DateOrder::MonthFirst:
        break;
    }
    return month * 10000 + day * 100 + yy;
}

int twelveHourForm(int time) {
    if (time >= 120000)
        time -= 120000;
    if (time < 10000)
        time += 120000;
    return time;
}

int clockDirection(double shownDayCount, double nowDayCount) {
    const int shown = secondOfDay(shownDayCount);
    const int now = secondOfDay(nowDayCount);
    return shown < now ? 1 : shown > now ? -1 : 0;
}

int digitCell(std::int64_t number, int position, bool showLeadingZeros, TDigitsMode mode) {
    const std::int64_t magnitude = number < 0 ? -number : number;
    const std::int64_t above = magnitude / powerOfTen(position - 1);
    const int digit = static_cast<int>(above % 10);
    if (showLeadingZeros)
        return digit;
    if (mode == TDigitsMode::dmCounter)
        return above == 0 && position > 1 ? BlankCell : digit;
    return digit == 0 && position % 2 == 0 ? BlankCell : digit;
}

int shownNumber(const DigitsState& state) {
    switch (state.mode) {
    case TDigitsMode::dmTime:
        return timeNumber(state.dateTime);
    case TDigitsMode::dmDate:
        return dateNumber(state.dateTime, state.dateOrder);
    case TDigitsMode::dmCounter:
        break;
    }
    return state.value;
}

std::int64_t shownCounter(int value, int digitCount, bool allowNegative) {
    const std::int64_t magnitude =
        (value < 0 ? -std::int64_t{value} : value) % powerOfTen(clampedDigitCount(digitCount));
    return value < 0 && allowNegative ? -magnitude : magnitude;
}

int rollOffset(int height, int rollStep, int steps) {
    const std::int64_t s = std::max(steps, 1);
    const std::int64_t frames = rollStep > 0 ? rollStep : std::int64_t{rollStep} + s;
    return static_cast<int>(std::clamp<std::int64_t>(height * frames / s, 0, height));
}

int autoSizeWidth(const DigitsState& state) {
    if (!state.strip.usable())
        return -1;
    const int cellWidth = state.strip.width / StripCells;
    switch (state.mode) {
    case TDigitsMode::dmTime:
        return 6 * cellWidth + 2 * state.timeSeparator.usableWidth() +
               state.amPmSign.usableWidth() / 2;
    case TDigitsMode::dmDate:
        return 6 * cellWidth + 2 * state.dateSeparator.usableWidth();
    case TDigitsMode::dmCounter:
        break;
    }
    const int digitCount = clampedDigitCount(state.digitCount);
    int width = cellWidth * digitCount;
    if (state.showThousandsSeparator)
        width += state.thousandsSeparator.usableWidth() * ((digitCount - 1) / 3);
    if (state.allowNegative)
        width += state.posNegSign.usableWidth() / 2;
    return width;
}

std::vector<Blit> frameBlits(const DigitsState& state) {
    std::vector<Blit> out;
    if (!state.strip.usable())
        return out;
    out.reserve(2 * MaxDigitCount + 8);
    const int cellWidth = state.strip.width / StripCells;
    const int height = state.strip.height;
    const int steps = state.rollSteps;
    const int rollStep = state.rollStep;
    const bool forward = rollStep > 0;
    const TDigitsMode mode = state.mode;
    const int digitCount = clampedDigitCount(state.digitCount);

    // The layout is drawn from its right edge leftward; in time mode the AM/PM cell lies
    // right of that edge.
    int x = autoSizeWidth(state);
    if (mode == TDigitsMode::dmTime)
        x -= state.amPmSign.usableWidth() / 2;

    std::int64_t current = 0;
    std::int64_t previous = 0;
    switch (mode) {
    case TDigitsMode::dmTime:
        current = timeNumber(state.dateTime);
        previous = timeNumber(state.dateTime + (forward ? -OneSecond : OneSecond));
        break;
    case TDigitsMode::dmDate:
        current = dateNumber(state.dateTime, state.dateOrder);
        previous = dateNumber(state.dateTime + (forward ? -1.0 : 1.0), state.dateOrder);
        break;
    case TDigitsMode::dmCounter:
        current = state.value;
        previous = counterPrevious(state.value, digitCount, state.allowNegative, forward);
        break;
    }

    if (mode == TDigitsMode::dmTime && state.amPmSign.usable()) {
        const std::size_t first = out.size();
        const int half = state.amPmSign.width / 2;
        constexpr int Am = 0;
        constexpr int Pm = 1;
        if (rollStep > 0 && (current == 0 || current == 120000))
            rollCell(out, Source::AmPmSign, x, half, height, current == 0 ? Pm : Am,
                     current == 0 ? Am : Pm, rollStep, steps);
        else if (rollStep < 0 && (current == 115959 || current == 235959))
            rollCell(out, Source::AmPmSign, x, half, height, current == 115959 ? Pm : Am,
                     current == 115959 ? Am : Pm, rollStep, steps);
        else
            copyCell(out, Source::AmPmSign, x, half, height, current < 120000 ? Am : Pm);
        clipToSource(out, first, state.amPmSign);
        current = twelveHourForm(static_cast<int>(current));
        previous = twelveHourForm(static_cast<int>(previous));
    }

    const int cells = mode == TDigitsMode::dmCounter ? digitCount : 6;
    for (int position = 1; position <= cells; ++position) {
        x -= cellWidth;
        const int shown = digitCell(current, position, state.showLeadingZeros, mode);
        const int before = digitCell(previous, position, state.showLeadingZeros, mode);
        if (shown != before)
            rollCell(out, Source::Strip, x, cellWidth, height, before, shown, rollStep, steps);
        else
            copyCell(out, Source::Strip, x, cellWidth, height, shown);

        const BitmapSize* separator = nullptr;
        Source separatorSource = Source::ThousandsSeparator;
        if (mode == TDigitsMode::dmCounter) {
            if (state.showThousandsSeparator && state.thousandsSeparator.usable() &&
                position % 3 == 0 && position < digitCount)
                separator = &state.thousandsSeparator;
        } else if (position == 2 || position == 4) {
            const bool time = mode == TDigitsMode::dmTime;
            const BitmapSize& candidate = time ? state.timeSeparator : state.dateSeparator;
            separatorSource = time ? Source::TimeSeparator : Source::DateSeparator;
            if (candidate.usable())
                separator = &candidate;
        }
        if (separator) {
            x -= separator->width;
            out.push_back({separatorSource, 0, 0, x, 0, separator->width, separator->height});
        }
    }

    if (mode == TDigitsMode::dmCounter && state.allowNegative && state.posNegSign.usable()) {
        const std::size_t first = out.size();
        const int half = state.posNegSign.width / 2;
        constexpr int Positive = 0;
        constexpr int Negative = 1;
        x -= half;
        if (rollStep > 0 && current == 0)
            rollCell(out, Source::PosNegSign, x, half, height, Negative, Positive, rollStep, steps);
        else if (rollStep < 0 && current == -1)
            rollCell(out, Source::PosNegSign, x, half, height, Positive, Negative, rollStep, steps);
        else
            copyCell(out, Source::PosNegSign, x, half, height, current < 0 ? Negative : Positive);
        clipToSource(out, first, state.posNegSign);
    }
    return out;
}

} // namespace tb::digits
