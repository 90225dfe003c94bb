#include "core/plan_comparison.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

using core::Date;
using core::Fraction;

namespace {

// The three lines comparing the plans over a range, from the booked cost and the day seconds of
// its totals as storage::sumRange hands them over.
std::string compared(Date from, Date to, std::int32_t allowance, float booked,
                     std::vector<std::int32_t> days) {
    core::RangeTotals totals;
    totals.sums.costOre = booked;
    totals.dayConnectedSeconds = std::move(days);
    const auto texts = core::planComparisonTexts(core::comparePlans(totals, from, to, allowance));
    return texts[0] + "\n" + texts[1] + "\n" + texts[2];
}

} // namespace

TEST(PlanComparison, EveryFeeIsSharedOutOverTheDaysOfTheRange) {
    // 2 h; 3 December 3600 s, 5 December 7260 s (60 s extra, 50 öre booked). 1 h: 3660 s over,
    // 3660 × 10 / 60 + 40 = 650 öre, + 14500 × 7 / 31 = 3274,19: 3924,19. 2 h: 50 + 24500 × 7 /
    // 31 = 5532,26: 5582,26. 8 h: 59500 × 7 / 31 = 13435,48.
    EXPECT_EQ(compared({2001, 12, 1}, {2001, 12, 7}, 7200, 50.0f, {3600, 7260}),
              "1 h / dygn: 39,24 kr (uppskattat) (billigast)\n2 h / dygn: 55,82 kr\n"
              "8 h / dygn: 134,35 kr (uppskattat)");
    // 1 h; 26 February 5400 s (340 öre), 4 March 9000 s (940 öre): 1280 booked. Fees: 4 / 28 of
    // February's, 5 / 31 of March's. 1 h: 14500 × 4 / 28 = 2071,43 and 14500 × 5 / 31 = 2338,71:
    // 1280 + 4410,14 = 5690,14. 2 h: 9000 − 7200 = 1800 s, 300 + 40 = 340 öre; 24500 × 4 / 28 =
    // 3500 and 24500 × 5 / 31 = 3951,61: 7791,61. 8 h: 59500 × 4 / 28 = 8500 and 59500 × 5 / 31
    // = 9596,77: 18096,77.
    EXPECT_EQ(compared({2002, 2, 25}, {2002, 3, 5}, 3600, 1280.0f, {5400, 9000}),
              "1 h / dygn: 56,90 kr (billigast)\n2 h / dygn: 77,92 kr (uppskattat)\n"
              "8 h / dygn: 180,97 kr (uppskattat)");
    // No known plan: all three estimated. 1 to 3 November, 7260 s and 5760 s. 1 h: 3660 / 6 + 40
    // = 650 and 2160 / 6 + 40 = 400, + 14500 × 3 / 30 = 1450: 2500. 2 h: 60 / 6 + 40 = 50, +
    // 24500 × 3 / 30 = 2450: 2500. A tie: both marked. 8 h: 59500 × 3 / 30 = 5950.
    EXPECT_EQ(compared({2001, 11, 1}, {2001, 11, 3}, 0, 0.0f, {7260, 5760}),
              "1 h / dygn: 25,00 kr (uppskattat) (billigast)\n"
              "2 h / dygn: 25,00 kr (uppskattat) (billigast)\n8 h / dygn: 59,50 kr (uppskattat)");
    // 1 h; one day, a damaged −1000 öre booked: 14500 / 31 = 467,74 − 1000 = −532,26. 2 h: 24500
    // / 31 = 790,32; 8 h: 59500 / 31 = 1919,35.
    EXPECT_EQ(compared({2001, 12, 1}, {2001, 12, 1}, 3600, -1000.0f, {}),
              "1 h / dygn: -5,32 kr (billigast)\n2 h / dygn: 7,90 kr (uppskattat)\n"
              "8 h / dygn: 19,19 kr (uppskattat)");
    // 8 h, booked cost not a number: "?", never the cheapest. 1 h: 100000 s count as 86400, 82800
    // s over, 13800 + 40 öre, + 14500: 28340. 2 h: 13200 + 40 + 24500 = 37740.
    EXPECT_EQ(compared({2001, 11, 1}, {2001, 11, 30}, 28800, std::nanf(""), {100000}),
              "1 h / dygn: 283,40 kr (uppskattat) (billigast)\n2 h / dygn: 377,40 kr "
              "(uppskattat)\n8 h / dygn: ? kr");
    EXPECT_EQ(core::kComparisonCaption, "Jämförelse, avgiften räknad per dag:");
}

TEST(PlanComparison, FeeMonthsEstimatesAndRoundingAreExact) {
    // Days ÷ days of the month over 377580 (= 13485 × 28 = 13020 × 29 = 12586 × 30 = 12180 × 31).
    EXPECT_EQ(core::feeMonths({2004, 2, 1}, {2004, 2, 29}), (Fraction{377580, 377580}));
    EXPECT_EQ(core::feeMonths({2001, 2, 29}, {2001, 3, 1}).numerator, 0);
    // 1 s over on two days: 2 × (240 + 1) sixths; 3600 s is not over.
    EXPECT_EQ(core::estimatedExtraSixths(std::vector<std::int32_t>{3601, 3601, 3600}, 3600), 482);
    // The float exactly as it is, plus the fraction, rounded half-up once: 7 / 2 = 3,5 gives 4;
    // 40,499996 + 14500 stays below the half; 0,25 + 1 / 4 is a half.
    EXPECT_EQ(core::roundedOre(0.0f, {7, 2}), 4);
    EXPECT_EQ(core::roundedOre(40.499996f, {14500, 1}), 14540);
    EXPECT_EQ(core::roundedOre(0.25f, {1, 4}), 1);
}
