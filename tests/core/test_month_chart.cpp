// The month chart's model: one bar per day split at the allowance, the cleaning of impossible
// seconds, the hour axis and its step, the chosen day and the texts, from months made by hand.

#include "core/month_chart.h"

#include <array>
#include <gtest/gtest.h>
#include <vector>

using core::ChartBar;
using core::DayRecord;
using core::monthChart;

namespace {

std::vector<DayRecord> days(std::initializer_list<std::int32_t> seconds, std::int32_t extra = 0) {
    std::vector<DayRecord> records;
    for (const std::int32_t connected : seconds) {
        records.push_back(DayRecord{0.0f, connected, extra, 0, 0});
    }
    return records;
}

} // namespace

TEST(MonthChart, BarsSplitAtTheAllowanceFromCleanedSeconds) {
    // 1 h plan in April 2026: the stored extra time is not used, only the allowance; -5 s count
    // as 0 and 100000 s as 86400 = 3600 prepaid + 82800 extra. Days without a record are empty.
    const core::MonthChart chart = monthChart(2026, 4, days({1800, -5, 100000}, 999), 3600, 2);
    EXPECT_EQ(chart.bars[0], (ChartBar{1, 1800, 0}));
    EXPECT_EQ(chart.bars[2], (ChartBar{3, 3600, 82800}));
    EXPECT_EQ(chart.bars.at(29), (ChartBar{30, 0, 0}));
    EXPECT_EQ(chart.legendPrepaid + "|" + chart.legendExtra + "|" + chart.legendAllowance,
              "Förbetald tid|Extra tid|Förbetald tid per dag (1 h)");
    // Without a plan, or with a negative allowance, everything is extra time.
    for (const std::int32_t allowance : {0, -3600}) {
        const core::MonthChart none = monthChart(2026, 3, days({600}), allowance, 0);
        EXPECT_EQ(none.bars[0], (ChartBar{1, 0, 600}));
        EXPECT_EQ(none.legendAllowance, "");
    }
    const core::MonthChart august = monthChart(2099, 8, {}, 28800, 0);
    EXPECT_EQ(august.title + "|" + august.legendAllowance,
              "Ansluten tid per dag, augusti 2099|Förbetald tid per dag (8 h)");
}

TEST(MonthChart, OneBarPerDayOfTheMonthAndAChosenDayWithinIt) {
    const std::vector<DayRecord> full(31, DayRecord{0.0f, 60, 0, 0, 0});
    EXPECT_EQ(monthChart(2028, 2, full, 3600, 0).bars.size(), 29u); // 2028 = 4 × 507
    // The 30th and 31st record of a February file are left out: the last bar is day 28.
    EXPECT_EQ(monthChart(2027, 2, full, 3600, 0).bars.back(), (ChartBar{28, 60, 0}));
    EXPECT_EQ(monthChart(2027, 2, {}, 7200, 29).highlightedDay, 0); // 28 days
    EXPECT_EQ(monthChart(2027, 2, {}, 7200, -1).highlightedDay, 0);
}

TEST(MonthChart, TheAxisReachesAnHourAboveTheAllowanceInWholeSteps) {
    // The allowance, the day's seconds, and the axis's top and step in hours.
    const std::array<int, 4> cases[] = {
        {0, 0, 1, 1},         // an empty month without a plan: at least 1 h
        {3600, 3601, 2, 1},   // 3601 s rounds up to 2 h, an hour above the allowance's line
        {28800, 0, 10, 2},    // 8 h plan: 9 h, step 2 h (over 6 h) → 10 h
        {3600, 21600, 6, 1},  // 6 h exactly: step 1 h
        {3600, 21601, 8, 2},  // 6 h 1 s → 7 h, step 2 h → 8 h
        {7200, 43200, 12, 2}, // 12 h: step 2 h
        {7200, 43201, 16, 4}, // 12 h 1 s → 13 h, step 4 h → 16 h
    };
    for (const auto& [allowance, highest, top, step] : cases) {
        const core::MonthChart chart = monthChart(2026, 5, days({highest}), allowance, 0);
        EXPECT_EQ(chart.axisTopHours * 100 + chart.tickStepHours, top * 100 + step)
            << allowance << " " << highest;
    }
}
