#include "core/projection.h"
#include "support/month_bytes.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using core::Date;
using testing_support::bookedDay;
using Lines = std::vector<std::string>;

namespace {

// The projection's lines; none for no projection.
Lines projected(std::span<const core::DayRecord> days, const Date& today, std::int32_t allowance) {
    const auto projection =
        core::projectMonth(Date{today.year, today.month, 20}, days, today, allowance);
    return projection ? core::projectionLines(*projection) : Lines{};
}

} // namespace

TEST(Projection, TheSumsSoFarScaledToTheWholeMonthAndTheCheapestPlanAtThatPace) {
    // On 2 h / dygn, December 2026, today the 6th. Booked: day 1 3 h (3600 s extra, 640 öre),
    // day 3 1 h, day 4 2 h 30 m (1800 s extra, 340 öre), day 6 2 h. Day 10 is booked ahead and
    // plays no part.
    std::array<core::DayRecord, 31> month{};
    month[0] = bookedDay(1, 10800, 3600, 640.0f);
    month[2] = bookedDay(3, 3600);
    month[3] = bookedDay(4, 9000, 1800, 340.0f);
    month[5] = bookedDay(6, 7200);
    month[9] = bookedDay(10, 20000, 12800, 2173.3333f);
    // So far 30600 s, × 31 / 6 = 158100 s = 43 h 55 m; extra 5400 × 31 / 6 = 27900 = 7 h 45 m.
    // Cost 980 öre × 31 / 6 = 5063,33 öre; 50,63 + 245 = 295,63 kr.
    // 1 h estimate: 7200 s extra (1240 öre) + 5400 (940) + 3600 (640) = 2820 öre × 31 / 6 = 14570
    // öre; 145,70 + 145 = 290,70 kr. 8 h: nothing beyond 8 h, 595 kr.
    EXPECT_EQ(
        projected(month, Date{2026, 12, 6}, 7200),
        (Lines{"Prognos för december 2026 i samma takt som dag 1–6:", "Ansluten tid: 43 h 55 m ",
               "Extra tid: 7 h 45 m ", "Total månadskostnad: 295,63 kr",
               "Billigast i den takten: 1 h / dygn (290,70 kr)"}));
}

TEST(Projection, RoundingTheFirstDayAndTheMonthsThatAreNotProjected) {
    // 3 s on day 1, today the 6th of 31 days: 3 × 31 / 6 = 15,5, rounded to 16. No extra time:
    // the fee alone, 145 kr, and the 1 h plan is the cheapest at 145,00.
    std::array<core::DayRecord, 31> month{};
    month[0] = bookedDay(1, 3);
    EXPECT_EQ(projected(month, Date{2026, 12, 6}, 3600),
              (Lines{"Prognos för december 2026 i samma takt som dag 1–6:", "Ansluten tid: 16 s ",
                     "Extra tid: 0 s", "Total månadskostnad: 145,00 kr",
                     "Billigast i den takten: 1 h / dygn (145,00 kr)"}));
    // February 2027 has 28 days; today the 1st. On 1 h / dygn, day 1 holds 3601 s: 1 s extra,
    // booked at 10 / 60 + 40 = 40,1667 öre. 3601 × 28 = 100828 s = 28 h 28 s; 1 × 28 = 28 s;
    // 40,1667 × 28 = 1124,67 öre; 11,25 + 145.
    month[0] = bookedDay(1, 3601, 1, 40.166668f);
    EXPECT_EQ(
        projected(month, Date{2027, 2, 1}, 3600),
        (Lines{"Prognos för februari 2027 i samma takt som dag 1:", "Ansluten tid: 28 h 28 s ",
               "Extra tid: 28 s ", "Total månadskostnad: 156,25 kr",
               "Billigast i den takten: 1 h / dygn (156,25 kr)"}));

    EXPECT_FALSE(core::projectMonth(Date{2026, 11, 1}, month, Date{2026, 12, 6}, 3600));
    EXPECT_FALSE(core::projectMonth(Date{2026, 2, 1}, month, Date{2026, 2, 30}, 3600));
}
