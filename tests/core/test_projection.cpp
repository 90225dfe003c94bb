#include "core/projection.h"
#include "support/month_bytes.h"

#include <array>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

using core::Date;
using testing_support::bookedDay;

namespace {

using Month = std::array<core::DayRecord, 31>;

std::vector<std::string> linesOf(const std::optional<core::Projection>& projection) {
    return projection ? core::projectionLines(*projection) : std::vector<std::string>{};
}

} // namespace

TEST(Projection, TheSixthOfAThirtyOneDayMonth) {
    // On 2 h / dygn, December 2026, today the 6th. Booked: day 1 3 h (3600 s extra, 640 öre),
    // day 3 1 h, day 4 2 h 30 m (1800 s extra, 340 öre), day 6 2 h. Day 10 is booked ahead and
    // plays no part.
    Month month{};
    month[0] = bookedDay(1, 10800, 3600, 640.0f);
    month[2] = bookedDay(3, 3600);
    month[3] = bookedDay(4, 9000, 1800, 340.0f);
    month[5] = bookedDay(6, 7200);
    month[9] = bookedDay(10, 20000, 12800, 2173.3333f);
    const auto projection = core::projectMonth(Date{2026, 12, 1}, month, Date{2026, 12, 6}, 7200);
    ASSERT_TRUE(projection);
    // So far 30600 s, × 31 / 6 = 158100 s = 43 h 55 m; extra 5400 × 31 / 6 = 27900 = 7 h 45 m.
    EXPECT_EQ(projection->connectedSeconds, 158100);
    EXPECT_EQ(projection->extraSeconds, 27900);
    // Cost 980 öre × 31 / 6 = 5063,33 öre; 50,63 + 245 = 295,63 kr.
    // 1 h estimate: 7200 s extra (1240 öre) + 5400 (940) + 3600 (640) = 2820 öre × 31 / 6 = 14570
    // öre; 145,70 + 145 = 290,70 kr. 8 h: nothing beyond 8 h, 595 kr.
    EXPECT_EQ(linesOf(projection),
              (std::vector<std::string>{
                  "Prognos för december 2026 i samma takt som dag 1–6:", "Ansluten tid: 43 h 55 m ",
                  "Extra tid: 7 h 45 m ", "Total månadskostnad: 295,63 kr",
                  "Billigast i den takten: 1 h / dygn (290,70 kr)"}));
    EXPECT_EQ(core::planCostText(projection->plans[1]), "2 h / dygn: 295,63 kr");
    EXPECT_EQ(core::planCostText(projection->plans[2]), "8 h / dygn: 595,00 kr (uppskattat)");
}

TEST(Projection, SecondsAreRoundedToTheNearestWholeSecond) {
    // 3 s on day 1, today the 6th of 31 days: 3 × 31 / 6 = 15,5, rounded to 16.
    Month month{};
    month[0] = bookedDay(1, 3);
    const auto projection = core::projectMonth(Date{2026, 12, 20}, month, Date{2026, 12, 6}, 3600);
    ASSERT_TRUE(projection);
    EXPECT_EQ(projection->connectedSeconds, 16);
    EXPECT_EQ(projection->extraSeconds, 0);
    // No extra time: the fee alone, 145 kr, and the 1 h plan is the cheapest at 145,00.
    EXPECT_EQ(linesOf(projection)[2], "Extra tid: 0 s");
    EXPECT_EQ(linesOf(projection)[3], "Total månadskostnad: 145,00 kr");
    EXPECT_EQ(linesOf(projection)[4], "Billigast i den takten: 1 h / dygn (145,00 kr)");
}

TEST(Projection, TheFirstDayOfAMonthCountsTheWholeMonthFromIt) {
    // February 2027 has 28 days; today the 1st. On 1 h / dygn, day 1 holds 3601 s: 1 s extra,
    // booked at 10 / 60 + 40 = 40,1667 öre.
    Month month{};
    month[0] = bookedDay(1, 3601, 1, 40.166668f);
    const auto projection = core::projectMonth(Date{2027, 2, 1}, month, Date{2027, 2, 1}, 3600);
    ASSERT_TRUE(projection);
    // 3601 × 28 = 100828 s = 28 h 28 s; 1 × 28 = 28 s; 40,1667 × 28 = 1124,67 öre; 11,25 + 145.
    EXPECT_EQ(linesOf(projection),
              (std::vector<std::string>{
                  "Prognos för februari 2027 i samma takt som dag 1:", "Ansluten tid: 28 h 28 s ",
                  "Extra tid: 28 s ", "Total månadskostnad: 156,25 kr",
                  "Billigast i den takten: 1 h / dygn (156,25 kr)"}));
}

TEST(Projection, TheLastDayIsTheMonthItself) {
    // 31 December 2026, on 1 h / dygn: day 1 2 h (3600 s extra, 640 öre) and day 31 2 h 30 m
    // (5400 s extra, 940 öre). × 31 / 31 changes nothing.
    Month month{};
    month[0] = bookedDay(1, 7200, 3600, 640.0f);
    month[30] = bookedDay(31, 9000, 5400, 940.0f);
    const auto projection = core::projectMonth(Date{2026, 12, 1}, month, Date{2026, 12, 31}, 3600);
    ASSERT_TRUE(projection);
    // 1580 öre = 15,80 + 145 = 160,80. 2 h: 1800 s extra on day 31, 340 öre; 3,40 + 245 = 248,40.
    EXPECT_EQ(linesOf(projection),
              (std::vector<std::string>{
                  "Prognos för december 2026 i samma takt som dag 1–31:", "Ansluten tid: 4 h 30 m ",
                  "Extra tid: 2 h 30 m ", "Total månadskostnad: 160,80 kr",
                  "Billigast i den takten: 1 h / dygn (160,80 kr)"}));
    EXPECT_EQ(core::planCostText(projection->plans[1]), "2 h / dygn: 248,40 kr (uppskattat)");
}

TEST(Projection, OnlyTheCurrentMonthIsProjected) {
    const Month month{};
    EXPECT_TRUE(core::isCurrentMonth(Date{2026, 12, 31}, Date{2026, 12, 6}));
    EXPECT_FALSE(core::isCurrentMonth(Date{2025, 12, 6}, Date{2026, 12, 6}));
    EXPECT_FALSE(core::projectMonth(Date{2026, 11, 1}, month, Date{2026, 12, 6}, 3600));
    EXPECT_FALSE(core::projectMonth(Date{2027, 12, 1}, month, Date{2026, 12, 6}, 3600));
    EXPECT_FALSE(core::projectMonth(Date{2026, 2, 1}, month, Date{2026, 2, 30}, 3600));
}

TEST(Projection, AShortFileAndDamagedRecordsDoNoHarm) {
    // Only three records, today the 6th of 30 days (June 2026); day 2 holds −5 s and a cost that
    // is not a number. On 8 h / dygn.
    std::array<core::DayRecord, 3> records{};
    records[0] = bookedDay(1, 5400);
    records[1] = bookedDay(2, -5, 0, std::numeric_limits<float>::quiet_NaN());
    const auto projection = core::projectMonth(Date{2026, 6, 1}, records, Date{2026, 6, 6}, 28800);
    ASSERT_TRUE(projection);
    // (5400 − 5) × 30 / 6 = 26975 s = 7 h 29 m 35 s.
    EXPECT_EQ(projection->connectedSeconds, 26975);
    const auto lines = linesOf(projection);
    // No extra seconds so far: the fee alone, as the month's total counts it, whatever the
    // damaged cost holds.
    EXPECT_EQ(lines[3], "Total månadskostnad: 595,00 kr");
    // 1 h: 1800 s extra on day 1, 340 öre × 30 / 6 = 1700; 17,00 + 145 = 162,00.
    EXPECT_EQ(lines[4], "Billigast i den takten: 1 h / dygn (162,00 kr)");
}
