#include "controls/DigitsMath.h"

#include <climits>
#include <gtest/gtest.h>

using namespace tb::digits;
using tb::TDigitsMode;

namespace {

// 9 March 2024 at this time of day, in the days the counter counts.
double at(int hours, int minutes, int seconds) {
    return dayCount(2024, 3, 9, ((hours * 60 + minutes) * 60 + seconds) * 1000);
}

// The main window's strip: eleven 14 x 20 cells.
DigitsState counter(int value) {
    DigitsState s;
    s.strip = {154, 20};
    s.value = value;
    return s;
}

// One field of every blit of one source, by default where its cell goes.
std::vector<int> blitField(const DigitsState& state, Source source, int Blit::*field = &Blit::x) {
    std::vector<int> values;
    for (const Blit& blit : frameBlits(state))
        if (blit.source == source)
            values.push_back(blit.*field);
    return values;
}

} // namespace

TEST(DigitsMath, StepsWrapAtTheCellCount) {
    EXPECT_EQ(incremented(99, 2, true), -99);
    EXPECT_EQ(incremented(9, 1, false), 0); // a single cell
    // A value set beyond the cells wraps on the next step up; negatives without a sign
    // wrap on the next step down.
    EXPECT_EQ(incremented(1234567, 6, false), 0);
    EXPECT_EQ(decremented(-5, 6, false), 999999);
    // Ten cells hold the whole range of an int and wrap at its ends without overflow.
    EXPECT_EQ(incremented(INT_MAX, 10, false), 0);
    EXPECT_EQ(decremented(0, 10, false), INT_MAX);
    EXPECT_EQ(decremented(INT_MIN, 10, true), INT_MAX);
    EXPECT_EQ(counterPrevious(-99, 2, true, true), 99); // a roll starts one step away
    // The cells show the lowest digits, a sign only where one is drawn.
    EXPECT_EQ(shownCounter(-1234567, 6, true), -234567);
    EXPECT_EQ(shownCounter(-5, 6, false), 5);
    EXPECT_EQ(shownCounter(INT_MIN, 10, true), std::int64_t{INT_MIN});
}

TEST(DigitsMath, DayCountsTimesAndDates) {
    EXPECT_EQ(dayCount(1900, 1, 1, 43'200'000), 2.5);
    // Sums of seconds drift below the whole second; milliseconds round them back.
    double t = at(11, 59, 0);
    for (int i = 0; i < 59; ++i)
        t += OneSecond;
    EXPECT_EQ(timeNumber(t), 115959);
    EXPECT_EQ(dateNumber(1e300, DateOrder::YearFirst), 991231); // no overflow
    EXPECT_EQ(dateNumber(at(23, 59, 59) + 0.9996 * OneSecond, DateOrder::YearFirst), 240310);
    EXPECT_EQ(dateNumber(dayCount(2024, 3, 9, 0), dateOrderOf(U'd')), 90324);
    EXPECT_EQ(twelveHourForm(130500), 10500);
    EXPECT_EQ(twelveHourForm(10000), 10000);                    // one in the morning
    EXPECT_EQ(clockDirection(at(23, 59, 59), at(0, 0, 0)), -1); // past midnight
}

TEST(DigitsMath, RollOffsetsRunThroughTheCell) {
    std::vector<int> forward, backward;
    for (int k = 7; k >= 0; --k) {
        forward.push_back(rollOffset(20, k, 8));
        backward.push_back(rollOffset(20, -k, 8));
    }
    // The last frame (k = 0) is the new cell whole, as the upper picture.
    EXPECT_EQ(forward, (std::vector<int>{17, 15, 12, 10, 7, 5, 2, 20}));
    EXPECT_EQ(backward, (std::vector<int>{2, 5, 7, 10, 12, 15, 17, 20}));
    // Steps below one count as one; a roll longer than the steps stays inside the cell.
    EXPECT_EQ(rollOffset(20, 0, -3), 20);
    EXPECT_EQ(rollOffset(20, 9, 4), 20);
    EXPECT_EQ(rollOffset(20, -9, 4), 0);
}

TEST(DigitsMath, AutoSizeWidths) {
    DigitsState s = counter(0);
    s.posNegSign = {20, 20}; // a cell of its own only where negatives are allowed
    const std::size_t cells = frameBlits(s).size();
    s.allowNegative = true;
    EXPECT_EQ(autoSizeWidth(s), 94);
    EXPECT_EQ(frameBlits(s).size(), cells + 1);
    EXPECT_EQ(frameBlits(s).back().sourceX, 0); // zero shows the sign bitmap's plus half
    s.value = -5;
    EXPECT_EQ(frameBlits(s).back().sourceX, 10);
    s.value = 0; // the last frame of a roll up from -1: the minus leaves at the top
    s.rollStep = 1;
    EXPECT_EQ(blitField(s, Source::PosNegSign, &Blit::sourceX), (std::vector<int>{10, 0}));
    s.mode = TDigitsMode::dmTime;
    s.timeSeparator = {5, 20};
    s.amPmSign = {30, 20};
    EXPECT_EQ(autoSizeWidth(s), 109);
    s.strip = {0, 0};
    EXPECT_EQ(autoSizeWidth(s), -1);
    EXPECT_TRUE(frameBlits(s).empty());
}

TEST(DigitsMath, SeparatorAndAmPmCells) {
    // Separators every three cells, never left of the last cell.
    DigitsState grouped = counter(1234567);
    grouped.digitCount = 7;
    grouped.showThousandsSeparator = true;
    grouped.thousandsSeparator = {4, 20};
    EXPECT_EQ(blitField(grouped, Source::ThousandsSeparator), (std::vector<int>{60, 14}));
    // 13:05:00 shows as 01:05:00 PM, each field blanking its own left zero (the cells from
    // the right: 0, blank, 5, blank, 1, blank), the AM/PM cell right of the digits.
    DigitsState time = counter(0);
    time.mode = TDigitsMode::dmTime;
    time.amPmSign = {24, 20};
    time.timeSeparator = {4, 20};
    time.dateTime = at(13, 5, 0);
    EXPECT_EQ(blitField(time, Source::Strip, &Blit::sourceX),
              (std::vector<int>{0, 140, 70, 140, 14, 140}));
    EXPECT_EQ(blitField(time, Source::AmPmSign), (std::vector<int>{92}));
    // Mid-roll the AM half lies above the PM half, forward across noon and back across it.
    time.dateTime = at(12, 0, 0);
    time.rollStep = 2;
    EXPECT_EQ(blitField(time, Source::AmPmSign, &Blit::sourceX), (std::vector<int>{0, 12}));
    time.dateTime = at(11, 59, 59);
    time.rollStep = -2;
    EXPECT_EQ(blitField(time, Source::AmPmSign, &Blit::sourceX), (std::vector<int>{0, 12}));
}
