#include "core/plan_comparison.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace {

// A range's totals as storage::sumRange hands them over.
core::RangeTotals totalsOf(float costOre, std::vector<std::int32_t> days, int boundaries, int fee) {
    core::RangeTotals totals;
    totals.sums.costOre = costOre;
    for (const std::int32_t seconds : days) {
        totals.sums.connectedSeconds += seconds;
    }
    totals.monthBoundaries = boundaries;
    totals.feeKronor = fee;
    totals.dayConnectedSeconds = std::move(days);
    return totals;
}

} // namespace

TEST(PlanComparison, ASmallerPlanWouldHaveBeenCheaper) {
    // On 8 h / dygn, 15 November to 14 December: one month boundary, no extra time booked.
    const auto totals = totalsOf(0.0f, {3600, 4200, 600}, 1, 595);
    const auto comparison = core::comparePlans(totals, 28800);
    const auto texts = core::planComparisonTexts(comparison);
    // 1 h: only 4200 s passes 3600, by 600 s: 600 × 10 / 60 + 40 = 140 öre; 1,40 + 145 = 146,40.
    EXPECT_EQ(texts[0], "1 h / dygn: 146,40 kr (uppskattat) (billigast)");
    // 2 h: no day passes 7200 s: the fee alone.
    EXPECT_EQ(texts[1], "2 h / dygn: 245,00 kr (uppskattat)");
    // 8 h: the booked cost, 0 öre + 1 × 595.
    EXPECT_EQ(texts[2], "8 h / dygn: 595,00 kr");
    EXPECT_EQ(comparison[0].type, core::PlanType::Plan1h);
    EXPECT_EQ(comparison[2].type, core::PlanType::Plan8h);
    EXPECT_TRUE(comparison[0].estimated && comparison[1].estimated);
    EXPECT_FALSE(comparison[2].estimated);
}

TEST(PlanComparison, TheCurrentPlanIsCheapestAndKeepsItsBookedCost) {
    // On 2 h / dygn, twenty days of 3 h (10800 s) across one month boundary. Some days were
    // booked in several parts, so the booked cost is 13000 öre, 200 öre above one start charge
    // a day (20 × 640 = 12800).
    const std::vector<std::int32_t> days(20, 10800);
    const auto texts =
        core::planComparisonTexts(core::comparePlans(totalsOf(13000.0f, days, 1, 245), 7200));
    // 1 h: 7200 s extra a day, 1200 + 40 = 1240 öre; × 20 = 24800 öre = 248 kr; + 145 = 393.
    EXPECT_EQ(texts[0], "1 h / dygn: 393,00 kr (uppskattat)");
    // 2 h: booked, 130 kr + 245 = 375 (the estimate would have said 128 + 245 = 373).
    EXPECT_EQ(texts[1], "2 h / dygn: 375,00 kr (billigast)");
    // 8 h: no day passes 28800 s.
    EXPECT_EQ(texts[2], "8 h / dygn: 595,00 kr (uppskattat)");
}

TEST(PlanComparison, AYearEndRangeCountsTwoFeesForEachPlan) {
    // On 1 h / dygn, 15 November 2001 to 10 January 2002: (2002 × 12 + 1) − (2001 × 12 + 11) = 2
    // month boundaries. Booked: 1800 s extra (340 öre), 5400 s (940), 26400 s (4440) = 5720.
    const auto totals = totalsOf(5720.0f, {5400, 9000, 30000}, 2, 145);
    const auto texts = core::planComparisonTexts(core::comparePlans(totals, 3600));
    // 57,20 + 2 × 145 = 347,20.
    EXPECT_EQ(texts[0], "1 h / dygn: 347,20 kr (billigast)");
    // 2 h: 9000 − 7200 = 1800 s, 340 öre; 30000 − 7200 = 22800 s, 3800 + 40 = 3840 öre;
    // 4180 öre = 41,80; + 2 × 245 = 531,80.
    EXPECT_EQ(texts[1], "2 h / dygn: 531,80 kr (uppskattat)");
    // 8 h: 30000 − 28800 = 1200 s, 200 + 40 = 240 öre; 2,40 + 2 × 595 = 1192,40.
    EXPECT_EQ(texts[2], "8 h / dygn: 1192,40 kr (uppskattat)");
}

TEST(PlanComparison, ExtraSecondsCountToTheSecondWithOneStartChargeADay) {
    // 1 s beyond 1 h: 10 / 60 + 40 = 40,1666… öre; a second such day doubles it: 80,333… öre.
    EXPECT_NEAR(core::estimatedExtraOre(std::vector<std::int32_t>{3601, 3601}, 3600),
                80.0 + 1.0 / 3.0, 1e-4);
    // 3600 s exactly is within the allowance: nothing.
    EXPECT_EQ(core::estimatedExtraOre(std::vector<std::int32_t>{3600, 0}, 3600), 0.0f);
    // On 8 h, a range within one month: 0 fees; 1 h costs 0,40 kr (40,17 öre rounds down).
    const auto texts =
        core::planComparisonTexts(core::comparePlans(totalsOf(0.0f, {3601}, 0, 595), 28800));
    EXPECT_EQ(texts[0], "1 h / dygn: 0,40 kr (uppskattat)");
    EXPECT_EQ(texts[1], "2 h / dygn: 0,00 kr (uppskattat) (billigast)");
    EXPECT_EQ(texts[2], "8 h / dygn: 0,00 kr (billigast)");
}

TEST(PlanComparison, WithoutAKnownPlanAllThreeAreEstimatesAndATieMarksEach) {
    // Nothing connected within one month: 0 kr on every plan, all tied.
    const auto texts = core::planComparisonTexts(core::comparePlans(totalsOf(0.0f, {}, 0, 0), 0));
    EXPECT_EQ(texts[0], "1 h / dygn: 0,00 kr (uppskattat) (billigast)");
    EXPECT_EQ(texts[1], "2 h / dygn: 0,00 kr (uppskattat) (billigast)");
    EXPECT_EQ(texts[2], "8 h / dygn: 0,00 kr (uppskattat) (billigast)");

    // One day of 2 h 30 m (9000 s) across one boundary, allowance 5000 matching no plan:
    // 1 h: 5400 s extra, 900 + 40 = 940 öre; 9,40 + 145 = 154,40. 2 h: 1800 s, 340 öre; 3,40 +
    // 245 = 248,40. 8 h: 595,00.
    const auto other =
        core::planComparisonTexts(core::comparePlans(totalsOf(0.0f, {9000}, 1, 0), 5000));
    EXPECT_EQ(other[0], "1 h / dygn: 154,40 kr (uppskattat) (billigast)");
    EXPECT_EQ(other[1], "2 h / dygn: 248,40 kr (uppskattat)");
    EXPECT_EQ(other[2], "8 h / dygn: 595,00 kr (uppskattat)");
}

TEST(PlanComparison, TheCheapestIsFoundInWholeOreAsShown) {
    // 145,004 and 145,001 kr are both shown as 145,00: a tie.
    core::PlanComparison comparison{{{core::PlanType::Plan1h, 145.004f, true, false},
                                     {core::PlanType::Plan2h, 145.001f, true, false},
                                     {core::PlanType::Plan8h, 145.01f, false, false}}};
    core::markCheapest(comparison);
    EXPECT_TRUE(comparison[0].cheapest);
    EXPECT_TRUE(comparison[1].cheapest);
    EXPECT_FALSE(comparison[2].cheapest);
    EXPECT_EQ(core::shownOre(493.9f), 49390);
    EXPECT_EQ(core::shownOre(0.0f), 0);
    EXPECT_FALSE(core::shownOre(std::numeric_limits<float>::quiet_NaN()));
}

TEST(PlanComparison, DamagedDaysNeverBreakTheEstimate) {
    // On 8 h with a booked cost that is not a number, one boundary. The day seconds: −5 and 0
    // add nothing; 100000 and the largest 32-bit number count as a full day, 86400 s.
    const auto totals = totalsOf(std::numeric_limits<float>::quiet_NaN(),
                                 {-5, 0, 100000, std::numeric_limits<std::int32_t>::max()}, 1, 595);
    const auto comparison = core::comparePlans(totals, 28800);
    const auto texts = core::planComparisonTexts(comparison);
    // 1 h: 82800 s extra, 13800 + 40 = 13840 öre a day, × 2 = 27680; 276,80 + 145 = 421,80.
    EXPECT_EQ(texts[0], "1 h / dygn: 421,80 kr (uppskattat) (billigast)");
    // 2 h: 79200 s, 13200 + 40 = 13240 öre, × 2 = 26480; 264,80 + 245 = 509,80.
    EXPECT_EQ(texts[1], "2 h / dygn: 509,80 kr (uppskattat)");
    // The booked figure is not a number: shown as "?", never the cheapest.
    EXPECT_EQ(texts[2], "8 h / dygn: ? kr");
    EXPECT_FALSE(comparison[2].cheapest);
    // A negative allowance cannot overflow the difference either: 86400 − (−2^31) is kept
    // within a day, 86400 s, 14400 + 40 = 14440 öre.
    EXPECT_EQ(core::estimatedExtraOre(std::vector<std::int32_t>{86400},
                                      std::numeric_limits<std::int32_t>::min()),
              14440.0f);
}
