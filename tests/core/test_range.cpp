#include "core/range.h"
#include "support/month_bytes.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

using core::Date;
using core::DayRecord;
using core::RangeCheck;
using core::RangeMonth;
using testing_support::bookedDay;

TEST(RangeCheck, OrderAndTheLongestRange) {
    EXPECT_EQ(core::checkRange(Date{2001, 1, 1}, Date{2002, 1, 1}), RangeCheck::Accepted); // 365
    EXPECT_EQ(core::checkRange(Date{2003, 3, 1}, Date{2004, 3, 1}), RangeCheck::TooLong);  // 366
    EXPECT_EQ(core::checkRange(Date{2003, 3, 2}, Date{2004, 3, 1}), RangeCheck::Accepted);
    EXPECT_EQ(core::checkRange(Date{2004, 5, 7}, Date{2004, 5, 7}), RangeCheck::Accepted);
    EXPECT_EQ(core::checkRange(Date{2004, 5, 8}, Date{2004, 5, 7}), RangeCheck::WrongOrder);
    EXPECT_EQ(core::checkRange(Date{2001, 1, 1}, Date{2099, 12, 31}), RangeCheck::TooLong);
    EXPECT_EQ(core::checkRange(Date{2099, 1, 1}, Date{2001, 12, 31}), RangeCheck::WrongOrder);
}

TEST(RangeCheck, DateKeys) {
    EXPECT_EQ(core::dateOfKey("01,12,05"), (Date{2001, 12, 5}));
    EXPECT_EQ(core::dateOfKey("04,02,29"), (Date{2004, 2, 29}));
    EXPECT_FALSE(core::dateOfKey("01,02,29"));
    EXPECT_FALSE(core::dateOfKey("01,04,31"));
    EXPECT_FALSE(core::dateOfKey("01,  ,  ")); // a field chosen only in part
    EXPECT_FALSE(core::dateOfKey(""));
    EXPECT_FALSE(core::dateOfKey("01,12"));
    EXPECT_FALSE(core::dateOfKey("01,12,05,07"));
}

TEST(DefaultRange, ThreeCalendarMonthsBackPlusADay) {
    // 31 May minus three months is the last day of February; one day later is 1 March.
    EXPECT_EQ(core::defaultRange(Date{2003, 5, 31}).from, (Date{2003, 3, 1}));
    EXPECT_EQ(core::defaultRange(Date{2003, 5, 31}).to, (Date{2003, 5, 31}));
    EXPECT_EQ(core::defaultRange(Date{2004, 5, 31}).from, (Date{2004, 3, 1}));
    EXPECT_EQ(core::defaultRange(Date{2002, 1, 10}).from, (Date{2001, 10, 11}));
    EXPECT_EQ(core::defaultRange(Date{2001, 12, 5}).from, (Date{2001, 9, 6}));
    EXPECT_EQ(core::defaultRange(Date{2001, 3, 31}).from, (Date{2001, 1, 1}));
}

TEST(DefaultRange, KeptWithinTheYearsTheListsOffer) {
    EXPECT_EQ(core::defaultRange(Date{2001, 3, 30}).from, (Date{2001, 1, 1}));
    EXPECT_EQ(core::defaultRange(Date{2001, 3, 30}).to, (Date{2001, 3, 30}));
    EXPECT_EQ(core::defaultRange(Date{2001, 2, 10}).from, (Date{2001, 1, 1}));
    EXPECT_EQ(core::defaultRange(Date{2000, 6, 15}).from, (Date{2001, 1, 1}));
    EXPECT_EQ(core::defaultRange(Date{2000, 6, 15}).to, (Date{2001, 1, 1}));
    EXPECT_EQ(core::defaultRange(Date{2100, 1, 5}).from, (Date{2099, 10, 6}));
    EXPECT_EQ(core::defaultRange(Date{2100, 1, 5}).to, (Date{2099, 12, 31}));
    EXPECT_EQ(core::defaultRange(Date{2100, 6, 1}).from, (Date{2099, 12, 31}));
}

TEST(RangeWalk, MonthsAndTheirDaysInCalendarOrder) {
    EXPECT_EQ(core::rangeWalk(Date{2001, 11, 15}, Date{2002, 1, 10}),
              (std::vector<RangeMonth>{{2001, 11, 15, 31}, {2001, 12, 1, 31}, {2002, 1, 1, 10}}));
    EXPECT_EQ(core::rangeWalk(Date{2003, 4, 3}, Date{2003, 4, 17}),
              (std::vector<RangeMonth>{{2003, 4, 3, 17}}));
    EXPECT_EQ(core::rangeWalk(Date{2001, 1, 31}, Date{2001, 2, 1}),
              (std::vector<RangeMonth>{{2001, 1, 31, 31}, {2001, 2, 1, 1}}));
    // Days 29 to 31 of a shorter month are read too.
    EXPECT_EQ(core::rangeWalk(Date{2001, 2, 20}, Date{2001, 3, 2}),
              (std::vector<RangeMonth>{{2001, 2, 20, 31}, {2001, 3, 1, 2}}));
}

TEST(RangeWalk, AtMostThirteenMonthsAndNothingForARefusedRange) {
    const auto longest = core::rangeWalk(Date{2001, 1, 1}, Date{2002, 1, 1});
    ASSERT_EQ(longest.size(), 13u);
    EXPECT_EQ(longest.front(), (RangeMonth{2001, 1, 1, 31}));
    EXPECT_EQ(longest[11], (RangeMonth{2001, 12, 1, 31}));
    EXPECT_EQ(longest.back(), (RangeMonth{2002, 1, 1, 1}));

    EXPECT_TRUE(core::rangeWalk(Date{2003, 3, 1}, Date{2004, 3, 1}).empty());
    EXPECT_TRUE(core::rangeWalk(Date{2002, 1, 2}, Date{2002, 1, 1}).empty());
    EXPECT_TRUE(core::rangeWalk(Date{2001, 2, 29}, Date{2001, 3, 1}).empty());
    EXPECT_TRUE(core::rangeWalk(Date{2000, 12, 31}, Date{2001, 1, 1}).empty());
    EXPECT_TRUE(core::rangeWalk(Date{2099, 12, 31}, Date{2100, 1, 1}).empty());
    EXPECT_EQ(core::rangeWalk(Date{2099, 12, 31}, Date{2099, 12, 31}).size(), 1u);
}

TEST(RangeWalk, MonthBoundaries) {
    EXPECT_EQ(core::monthBoundaries(Date{2001, 1, 1}, Date{2001, 1, 31}), 0);
    EXPECT_EQ(core::monthBoundaries(Date{2001, 1, 31}, Date{2001, 2, 1}), 1);
    EXPECT_EQ(core::monthBoundaries(Date{2001, 1, 1}, Date{2001, 12, 31}), 11);
    EXPECT_EQ(core::monthBoundaries(Date{2001, 11, 15}, Date{2002, 1, 10}), 2);
    EXPECT_EQ(core::monthBoundaries(Date{2001, 1, 1}, Date{2002, 1, 1}), 12);
}

TEST(RangeSums, OnlyDaysWithConnectedTimeAdd) {
    core::RangeSums sums;
    core::addDay(sums, bookedDay(0, 7260, 60, 50.0f));
    core::addDay(sums, bookedDay(0, 0, 1800, 340.0f)); // other fields set, but no connected time
    core::addDay(sums, DayRecord{});
    core::addDay(sums, bookedDay(0, 9000, 1800, 340.0f));
    EXPECT_EQ(sums.connectedSeconds, 16260);
    EXPECT_EQ(sums.extraSeconds, 1860);
    EXPECT_EQ(sums.costOre, 390.0f);
}

TEST(RangeSums, SecondsDoNotOverflowAndCostsAddInSinglePrecisionInOrder) {
    core::RangeSums sums;
    const std::int32_t most = std::numeric_limits<std::int32_t>::max();
    for (int i = 0; i < 400; ++i) {
        core::addDay(sums, bookedDay(0, most, most, 0.0f));
    }
    EXPECT_EQ(sums.connectedSeconds, std::int64_t{most} * 400);
    EXPECT_EQ(sums.extraSeconds, std::int64_t{most} * 400);

    // 2^24 öre first: each 1 öre after it is lost in single precision.
    core::RangeSums bigFirst;
    core::addDay(bigFirst, bookedDay(0, 1, 0, 16777216.0f));
    core::addDay(bigFirst, bookedDay(0, 1, 0, 1.0f));
    core::addDay(bigFirst, bookedDay(0, 1, 0, 1.0f));
    EXPECT_EQ(bigFirst.costOre, 16777216.0f);
    core::RangeSums smallFirst;
    core::addDay(smallFirst, bookedDay(0, 1, 0, 1.0f));
    core::addDay(smallFirst, bookedDay(0, 1, 0, 1.0f));
    core::addDay(smallFirst, bookedDay(0, 1, 0, 16777216.0f));
    EXPECT_EQ(smallFirst.costOre, 16777218.0f);
}

TEST(RangeTexts, FourLabelsWithTheFeeOncePerMonthBoundary) {
    core::RangeTotals totals;
    totals.sums = core::RangeSums{390.0f, 16260, 1860};
    totals.monthBoundaries = 2;
    totals.feeKronor = 245;
    const core::RangeTexts texts = core::rangeTexts(totals);
    EXPECT_EQ(texts.connected, "Ansluten tid: 4 h 31 m ");
    EXPECT_EQ(texts.extra, "Extra tid: 31 m ");
    EXPECT_EQ(texts.cost, "Extra kostnad: 3,90 kr");
    EXPECT_EQ(texts.total,
              "Total kosttnad: 493,90 kr\n(Fasta kostnaden uppräknas varje hel månad.)");
    EXPECT_EQ(core::rangeTotalCost(totals), 3.9f + 490.0f);
}

TEST(RangeTexts, NothingSummedAndNoPlan) {
    core::RangeTotals empty;
    empty.monthBoundaries = 0;
    empty.feeKronor = 145;
    const core::RangeTexts none = core::rangeTexts(empty);
    EXPECT_EQ(none.connected, "Ansluten tid: ");
    EXPECT_EQ(none.extra, "Extra tid: ");
    EXPECT_EQ(none.cost, "Extra kostnad: 0,00 kr");
    // The pattern "0.00" keeps one integer digit.
    EXPECT_EQ(none.total, "Total kosttnad: 0,00 kr\n(Fasta kostnaden uppräknas varje hel månad.)");

    // Without a matching plan the total is the extra cost alone, however many months.
    core::RangeTotals noPlan;
    noPlan.sums = core::RangeSums{1234.5f, 3725, 125};
    noPlan.monthBoundaries = 12;
    noPlan.feeKronor = 0;
    const core::RangeTexts texts = core::rangeTexts(noPlan);
    EXPECT_EQ(texts.connected, "Ansluten tid: 1 h 2 m 5 s ");
    EXPECT_EQ(texts.extra, "Extra tid: 2 m 5 s ");
    EXPECT_EQ(texts.cost, "Extra kostnad: 12,35 kr");
    EXPECT_EQ(texts.total,
              "Total kosttnad: 12,35 kr\n(Fasta kostnaden uppräknas varje hel månad.)");
}
