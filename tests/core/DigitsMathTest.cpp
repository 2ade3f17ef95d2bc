#include "controls/DigitsMath.h"

#include <climits>
#include <gtest/gtest.h>

using namespace tb::digits;
using tb::TDigitsMode;

namespace {

// The main window's strip: eleven 14 x 20 cells.
DigitsState counter(int value, int rollStep = 0) {
    DigitsState s;
    s.strip = {154, 20};
    s.value = value;
    s.rollStep = rollStep;
    s.rollSteps = 8;
    return s;
}

// The strip cell each position shows, leftmost first, when no cell rolls.
std::vector<int> shownCells(const DigitsState& state) {
    std::vector<int> cells;
    for (const Blit& blit : frameBlits(state)) {
        if (blit.source == Source::Strip)
            cells.push_back(blit.sourceX / 14);
    }
    return {cells.rbegin(), cells.rend()};
}

double at(int hours, int minutes, int seconds) {
    return dayCount(2024, 3, 9, ((hours * 60 + minutes) * 60 + seconds) * 1000);
}

} // namespace

TEST(DigitsMath, StepsWrapAtTheCellCount) {
    EXPECT_EQ(incremented(999999, 6, false), 0);
    EXPECT_EQ(decremented(0, 6, false), 999999);
    EXPECT_EQ(incremented(99, 2, true), -99);
    EXPECT_EQ(decremented(-99, 2, true), 99);
    EXPECT_EQ(incremented(-1, 2, true), 0);
    // A value set beyond the cells wraps on the next step up; negatives without a sign
    // wrap on the next step down.
    EXPECT_EQ(incremented(1234567, 6, false), 0);
    EXPECT_EQ(decremented(-5, 6, false), 999999);
    EXPECT_EQ(incremented(-5, 6, false), -4);
    // Ten cells hold the whole range of an int and wrap at its ends without overflow.
    EXPECT_EQ(incremented(INT_MAX, 10, false), 0);
    EXPECT_EQ(incremented(INT_MAX, 10, true), -INT_MAX);
    EXPECT_EQ(decremented(0, 10, false), INT_MAX);
    EXPECT_EQ(decremented(-INT_MAX, 10, true), INT_MAX);
    EXPECT_EQ(decremented(INT_MIN, 10, true), INT_MAX);
    EXPECT_EQ(incremented(999'999'999, 9, false), 0);
}

TEST(DigitsMath, PreviousNumberOfARollWrapsLikeTheSteps) {
    EXPECT_EQ(counterPrevious(0, 6, false, true), 999999);
    EXPECT_EQ(counterPrevious(-99, 2, true, true), 99);
    EXPECT_EQ(counterPrevious(0, 2, true, true), -1);
    EXPECT_EQ(counterPrevious(999999, 6, false, false), 0);
    EXPECT_EQ(counterPrevious(99, 2, true, false), -99);
    EXPECT_EQ(counterPrevious(41, 6, false, false), 42);
}

TEST(DigitsMath, DigitCellsAndBlanks) {
    // Plain counter values are shown through the widget in tests/gui/test_digits.cpp.
    DigitsState negative = counter(-42);
    negative.allowNegative = true;
    negative.posNegSign = {20, 20};
    EXPECT_EQ(shownCells(negative), (std::vector<int>{10, 10, 10, 10, 4, 2}));

    // Time and date fields blank only their own left zero.
    DigitsState time = counter(0);
    time.mode = TDigitsMode::dmTime;
    time.dateTime = at(1, 5, 3);
    EXPECT_EQ(shownCells(time), (std::vector<int>{10, 1, 10, 5, 10, 3}));
    time.dateTime = at(0, 0, 7);
    EXPECT_EQ(shownCells(time), (std::vector<int>{10, 0, 10, 0, 10, 7}));
    time.dateTime = at(20, 10, 0);
    EXPECT_EQ(shownCells(time), (std::vector<int>{2, 0, 1, 0, 10, 0}));
}

TEST(DigitsMath, DayCountsTimesAndDates) {
    EXPECT_EQ(dayCount(1899, 12, 30, 0), 0.0);
    EXPECT_EQ(dayCount(1900, 1, 1, 43'200'000), 2.5);
    EXPECT_EQ(timeNumber(at(13, 5, 0)), 130500);
    // Sums of seconds drift below the whole second; milliseconds round them back.
    double t = at(11, 59, 0);
    for (int i = 0; i < 59; ++i)
        t += OneSecond;
    EXPECT_EQ(timeNumber(t), 115959);
    EXPECT_EQ(timeNumber(at(23, 59, 59) + 0.9999 * OneSecond), 0); // rounds to midnight
    // Before the epoch the fraction is the time of day without its sign.
    EXPECT_EQ(timeNumber(-1.25), 60000);
    EXPECT_EQ(dateNumber(-1.25, DateOrder::YearFirst), 991229);
    // Absurd counts stay inside the calendar rather than overflowing.
    EXPECT_EQ(dateNumber(1e300, DateOrder::YearFirst), 991231);

    const double date = dayCount(2024, 3, 9, 0);
    EXPECT_EQ(dateNumber(date, dateOrderOf(U'd')), 90324);
    EXPECT_EQ(dateNumber(date, dateOrderOf(U'Y')), 240309);
    EXPECT_EQ(dateNumber(date, dateOrderOf(U'M')), 30924);
    EXPECT_EQ(dateNumber(date, dateOrderOf(U'\0')), 30924);

    EXPECT_EQ(twelveHourForm(3000), 123000);
    EXPECT_EQ(twelveHourForm(130500), 10500);
    EXPECT_EQ(twelveHourForm(120000), 120000);
    EXPECT_EQ(twelveHourForm(115959), 115959);

    EXPECT_EQ(clockDirection(at(23, 59, 59), at(0, 0, 0)), -1); // past midnight
    EXPECT_EQ(clockDirection(at(10, 0, 0), at(10, 0, 1)), 1);
    EXPECT_EQ(clockDirection(at(10, 0, 0), at(10, 0, 0) + 0.4 * OneSecond), 0);
}

TEST(DigitsMath, RollOffsetsRunThroughTheCell) {
    std::vector<int> forward;
    for (int k = 7; k >= 0; --k)
        forward.push_back(rollOffset(20, k, 8));
    // The last frame (k = 0) is the new cell whole, as the upper picture.
    EXPECT_EQ(forward, (std::vector<int>{17, 15, 12, 10, 7, 5, 2, 20}));
    std::vector<int> backward;
    for (int k = -7; k <= 0; ++k)
        backward.push_back(rollOffset(20, k, 8));
    EXPECT_EQ(backward, (std::vector<int>{2, 5, 7, 10, 12, 15, 17, 20}));
    // Steps below one count as one; a roll longer than the steps stays inside the cell.
    EXPECT_EQ(rollOffset(20, 0, 0), 20);
    EXPECT_EQ(rollOffset(20, 0, -3), 20);
    EXPECT_EQ(rollOffset(20, 9, 4), 20);
    EXPECT_EQ(rollOffset(20, -9, 4), 0);
}

TEST(DigitsMath, AutoSizeWidths) {
    DigitsState s = counter(0);
    EXPECT_EQ(autoSizeWidth(s), 84);
    s.thousandsSeparator = {4, 20};
    s.showThousandsSeparator = true;
    EXPECT_EQ(autoSizeWidth(s), 88);
    s.posNegSign = {20, 20};
    s.allowNegative = true;
    EXPECT_EQ(autoSizeWidth(s), 98);
    s.digitCount = 10;
    EXPECT_EQ(autoSizeWidth(s), 140 + 3 * 4 + 10);
    s.mode = TDigitsMode::dmTime;
    s.timeSeparator = {5, 20};
    s.amPmSign = {30, 20};
    EXPECT_EQ(autoSizeWidth(s), 84 + 10 + 15);
    s.timeSeparator.present = false;
    EXPECT_EQ(autoSizeWidth(s), 84 + 15);
    s.mode = TDigitsMode::dmDate;
    s.dateSeparator = {0, 20}; // empty counts as nothing
    EXPECT_EQ(autoSizeWidth(s), 84);
    s.strip = {0, 0};
    EXPECT_EQ(autoSizeWidth(s), -1);
    EXPECT_TRUE(frameBlits(s).empty());
}

TEST(DigitsMath, RollFramesCopyTheOldAndNewCellParts) {
    // 999999 -> 0 with leading zeros, third frame (k = 5, offset 12): every cell shows
    // the bottom of its 9 above the top of its 0.
    DigitsState up = counter(0, 5);
    up.showLeadingZeros = true;
    const auto blits = frameBlits(up);
    ASSERT_EQ(blits.size(), 12u);
    for (int cell = 0; cell < 6; ++cell) {
        const int x = 70 - 14 * cell;
        EXPECT_EQ(blits[2 * cell], (Blit{Source::Strip, 9 * 14, 8, x, 0, 14, 12}));
        EXPECT_EQ(blits[2 * cell + 1], (Blit{Source::Strip, 0, 0, x, 12, 14, 8}));
    }
    // Without leading zeros the left cells roll to the blank.
    up.showLeadingZeros = false;
    EXPECT_EQ(frameBlits(up)[3].sourceX, 10 * 14);

    // 0 -> 999999 backward, first frame (k = -7, offset 2): the 9 descends from the top.
    DigitsState down = counter(999999, -7);
    down.showLeadingZeros = true;
    EXPECT_EQ(frameBlits(down)[0], (Blit{Source::Strip, 9 * 14, 18, 70, 0, 14, 2}));
    EXPECT_EQ(frameBlits(down)[1], (Blit{Source::Strip, 0, 0, 70, 2, 14, 18}));
    // The last frame is the new cell whole; an unchanged cell is one copy.
    down.rollStep = 0;
    EXPECT_EQ(frameBlits(down).size(), 6u);
}

TEST(DigitsMath, SignSeparatorsAndAmPmCells) {
    // -1 -> 0 with two cells and a 20-wide sign bitmap of 12 rows: the sign rolls from
    // negative to positive and is cut to the rows the bitmap has.
    DigitsState s = counter(0, 3);
    s.digitCount = 2;
    s.allowNegative = true;
    s.posNegSign = {20, 12};
    s.rollSteps = 4;
    auto blits = frameBlits(s);
    ASSERT_EQ(blits.back().source, Source::PosNegSign);
    EXPECT_EQ(blits[blits.size() - 2], (Blit{Source::PosNegSign, 10, 5, 0, 0, 10, 7}));
    EXPECT_EQ(blits.back(), (Blit{Source::PosNegSign, 0, 0, 0, 15, 10, 5}));
    EXPECT_EQ(blits[0].x, 24); // digits right of the sign cell

    // Separators every three cells, never left of the last cell.
    DigitsState grouped = counter(1234567);
    grouped.digitCount = 7;
    grouped.showThousandsSeparator = true;
    grouped.thousandsSeparator = {4, 20};
    std::vector<int> separatorsAt;
    for (const Blit& blit : frameBlits(grouped))
        if (blit.source == Source::ThousandsSeparator)
            separatorsAt.push_back(blit.x);
    EXPECT_EQ(separatorsAt, (std::vector<int>{106 - 42 - 4, 106 - 84 - 8}));

    // 11:59:59 -> 12:00:00 rolls AM to PM; the digits then show 12:00:00.
    DigitsState time = counter(0, 7);
    time.mode = TDigitsMode::dmTime;
    time.showLeadingZeros = true;
    time.amPmSign = {24, 20};
    time.timeSeparator = {4, 20};
    time.dateTime = at(12, 0, 0);
    blits = frameBlits(time);
    EXPECT_EQ(blits[0], (Blit{Source::AmPmSign, 0, 3, 92, 0, 12, 17}));  // AM leaving
    EXPECT_EQ(blits[1], (Blit{Source::AmPmSign, 12, 0, 92, 17, 12, 3})); // PM rising
    std::vector<int> timeSeparators;
    for (const Blit& blit : blits)
        if (blit.source == Source::TimeSeparator)
            timeSeparators.push_back(blit.x);
    EXPECT_EQ(timeSeparators, (std::vector<int>{92 - 28 - 4, 92 - 56 - 8}));
    time.rollStep = 0;
    EXPECT_EQ(shownCells(time), (std::vector<int>{1, 2, 0, 0, 0, 0}));
}
