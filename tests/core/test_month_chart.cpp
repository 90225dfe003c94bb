// The month chart's model: one bar per day split at the allowance, the cleaning of impossible
// seconds, the hour axis and its step, the chosen day and the texts, from months made by hand.

#include "core/month_chart.h"

#include <gtest/gtest.h>
#include <vector>

using core::ChartBar;
using core::DayRecord;
using core::monthChart;

namespace {

DayRecord connected(std::int32_t seconds, std::int32_t extra = 0) {
    DayRecord record;
    record.connectedSeconds = seconds;
    record.extraSeconds = extra;
    return record;
}

} // namespace

TEST(MonthChart, SplitsEachDayAtTheAllowance) {
    // 2 h plan (7200 s) in December 2026, 31 days: day 1 one hour, day 2 three hours, day 3
    // nothing; days 4 to 31 have no record at all.
    const std::vector<DayRecord> records{connected(3600), connected(10800, 3600), connected(0)};
    const core::MonthChart chart = monthChart(2026, 12, records, 7200, 2);

    EXPECT_EQ(chart.year, 2026);
    EXPECT_EQ(chart.month, 12);
    ASSERT_EQ(chart.bars.size(), 31u);
    // Day 1: 3600 < 7200, all prepaid. Day 2: min(10800, 7200) = 7200 prepaid, 10800 - 7200 =
    // 3600 extra.
    EXPECT_EQ(chart.bars[0], (ChartBar{1, 3600, 0}));
    EXPECT_EQ(chart.bars[1], (ChartBar{2, 7200, 3600}));
    EXPECT_EQ(chart.bars[1].connectedSeconds(), 10800);
    EXPECT_EQ(chart.bars[2], (ChartBar{3, 0, 0}));
    for (int day = 4; day <= 31; ++day) {
        EXPECT_EQ(chart.bars[static_cast<std::size_t>(day - 1)], (ChartBar{day, 0, 0}));
    }
    EXPECT_EQ(chart.dailyAllowance, 7200);
    EXPECT_EQ(chart.highlightedDay, 2);
    // The highest of 7200 and 10800 is 10800 s = 3 h exactly; up to 6 h the step is 1 h.
    EXPECT_EQ(chart.axisTopHours, 3);
    EXPECT_EQ(chart.tickStepHours, 1);
    EXPECT_EQ(chart.title, "Ansluten tid per dag, december 2026");
    EXPECT_EQ(chart.legendPrepaid, "Förbetald tid");
    EXPECT_EQ(chart.legendExtra, "Extra tid");
    EXPECT_EQ(chart.legendAllowance, "Förbetald tid per dag (2 h)");
}

TEST(MonthChart, TheStoredExtraTimeIsNotUsedOnlyTheAllowance) {
    // A record claiming 999 s of extra time although 1800 s is under the 1 h plan's 3600 s.
    const std::vector<DayRecord> records{connected(1800, 999)};
    const core::MonthChart chart = monthChart(2026, 1, records, 3600, 0);
    EXPECT_EQ(chart.bars[0], (ChartBar{1, 1800, 0}));
    EXPECT_EQ(chart.legendAllowance, "Förbetald tid per dag (1 h)");
}

TEST(MonthChart, ImpossibleSecondsAreCleaned) {
    // 1 h plan: -5 s counts as 0; 100000 s as 86400 = 3600 prepaid + 82800 extra.
    const std::vector<DayRecord> records{connected(-5), connected(100000)};
    const core::MonthChart chart = monthChart(2026, 4, records, 3600, 1);
    EXPECT_EQ(chart.bars[0], (ChartBar{1, 0, 0}));
    EXPECT_EQ(chart.bars[1], (ChartBar{2, 3600, 82800}));
    // 86400 s = 24 h: above 12 h the step is 4 h, and 24 is a multiple of 4.
    EXPECT_EQ(chart.axisTopHours, 24);
    EXPECT_EQ(chart.tickStepHours, 4);
}

TEST(MonthChart, OneBarPerDayOfTheMonth) {
    const std::vector<DayRecord> full(31, connected(60));
    EXPECT_EQ(monthChart(2027, 2, full, 3600, 0).bars.size(), 28u); // not a leap year
    EXPECT_EQ(monthChart(2028, 2, full, 3600, 0).bars.size(), 29u); // 2028 = 4 × 507
    EXPECT_EQ(monthChart(2026, 11, full, 3600, 0).bars.size(), 30u);
    EXPECT_EQ(monthChart(2026, 7, full, 3600, 0).bars.size(), 31u);
    // The 30th and 31st record of a February file are left out: the last bar is day 28.
    EXPECT_EQ(monthChart(2027, 2, full, 3600, 0).bars.back(), (ChartBar{28, 60, 0}));
    EXPECT_TRUE(monthChart(2026, 13, full, 3600, 0).bars.empty());
    EXPECT_TRUE(monthChart(2026, 0, full, 3600, 0).bars.empty());
}

TEST(MonthChart, AChosenDayOutsideTheMonthIsNone) {
    const std::vector<DayRecord> none;
    EXPECT_EQ(monthChart(2027, 2, none, 7200, 28).highlightedDay, 28);
    EXPECT_EQ(monthChart(2027, 2, none, 7200, 29).highlightedDay, 0); // 28 days
    EXPECT_EQ(monthChart(2027, 2, none, 7200, -1).highlightedDay, 0);
    EXPECT_EQ(monthChart(2027, 2, none, 7200, 0).highlightedDay, 0);
}

TEST(MonthChart, WithoutAPlanEverythingIsExtraTime) {
    const std::vector<DayRecord> records{connected(600)};
    const core::MonthChart chart = monthChart(2026, 3, records, 0, 0);
    EXPECT_EQ(chart.bars[0], (ChartBar{1, 0, 600}));
    EXPECT_EQ(chart.dailyAllowance, 0);
    EXPECT_EQ(chart.legendAllowance, "");
    // 600 s rounds up to 1 h.
    EXPECT_EQ(chart.axisTopHours, 1);
    EXPECT_EQ(chart.tickStepHours, 1);
    // A negative allowance counts as no plan.
    EXPECT_EQ(monthChart(2026, 3, records, -3600, 0).bars[0], (ChartBar{1, 0, 600}));
}

TEST(MonthChart, TheAxisReachesAnHourAboveTheAllowanceInWholeSteps) {
    struct Case {
        std::int32_t allowance;
        std::int32_t highest;
        int top;
        int step;
    };
    const Case cases[] = {
        {0, 0, 1, 1},          // an empty month without a plan: at least 1 h
        {3600, 0, 2, 1},       // 1 h plan, empty month: an hour above the allowance's line
        {3600, 3601, 2, 1},    // 3601 s rounds up to 2 h
        {7200, 7200, 3, 1},    // a day of exactly 2 h on the 2 h plan: the line below the top
        {28800, 0, 10, 2},     // 8 h plan: 9 h, step 2 h (over 6 h) → 10 h
        {3600, 21600, 6, 1},   // 6 h exactly: step 1 h
        {3600, 21601, 8, 2},   // 6 h 1 s → 7 h, step 2 h → 8 h
        {7200, 43200, 12, 2},  // 12 h: step 2 h
        {7200, 43201, 16, 4},  // 12 h 1 s → 13 h, step 4 h → 16 h
        {28800, 75600, 24, 4}, // 21 h, step 4 h → 24 h
    };
    for (const Case& c : cases) {
        const std::vector<DayRecord> records{connected(c.highest)};
        const core::MonthChart chart = monthChart(2026, 5, records, c.allowance, 0);
        EXPECT_EQ(chart.axisTopHours, c.top) << c.allowance << " " << c.highest;
        EXPECT_EQ(chart.tickStepHours, c.step) << c.allowance << " " << c.highest;
    }
}

TEST(MonthChart, TitleNamesTheMonthInLowerCase) {
    const std::vector<DayRecord> none;
    EXPECT_EQ(monthChart(2001, 1, none, 3600, 0).title, "Ansluten tid per dag, januari 2001");
    EXPECT_EQ(monthChart(2099, 8, none, 28800, 0).title, "Ansluten tid per dag, augusti 2099");
    EXPECT_EQ(monthChart(2099, 8, none, 28800, 0).legendAllowance, "Förbetald tid per dag (8 h)");
}
