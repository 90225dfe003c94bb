#include "core/range.h"
#include "support/month_bytes.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

using core::Date;
using core::RangeCheck;
using core::RangeMonth;
using testing_support::bookedDay;

TEST(RangeCheck, OrderAndTheLongestRange) {
    EXPECT_EQ(core::checkRange(Date{2001, 1, 1}, Date{2002, 1, 1}), RangeCheck::Accepted); // 365
    EXPECT_EQ(core::checkRange(Date{2003, 3, 1}, Date{2004, 3, 1}), RangeCheck::TooLong);  // 366
    EXPECT_EQ(core::checkRange(Date{2099, 1, 1}, Date{2001, 12, 31}), RangeCheck::WrongOrder);
}

TEST(DefaultRange, ThreeCalendarMonthsBackPlusADayWithinTheListedYears) {
    // 31 May minus three months is the last day of February; one day later is 1 March.
    EXPECT_EQ(core::defaultRange(Date{2003, 5, 31}).from, (Date{2003, 3, 1}));
    EXPECT_EQ(core::defaultRange(Date{2002, 1, 10}).from, (Date{2001, 10, 11}));
    EXPECT_EQ(core::defaultRange(Date{2000, 6, 15}).from, (Date{2001, 1, 1}));
    EXPECT_EQ(core::defaultRange(Date{2000, 6, 15}).to, (Date{2001, 1, 1}));
    EXPECT_EQ(core::defaultRange(Date{2100, 1, 5}).from, (Date{2099, 10, 6}));
    EXPECT_EQ(core::defaultRange(Date{2100, 1, 5}).to, (Date{2099, 12, 31}));
}

TEST(RangeWalk, MonthsWithTheirDaysAndTheirBoundaries) {
    EXPECT_EQ(core::rangeWalk(Date{2001, 11, 15}, Date{2002, 1, 10}),
              (std::vector<RangeMonth>{{2001, 11, 15, 31}, {2001, 12, 1, 31}, {2002, 1, 1, 10}}));
    // Days 29 to 31 of a shorter month are read too.
    EXPECT_EQ(core::rangeWalk(Date{2001, 2, 20}, Date{2001, 3, 2}),
              (std::vector<RangeMonth>{{2001, 2, 20, 31}, {2001, 3, 1, 2}}));
    EXPECT_EQ(core::rangeWalk(Date{2001, 1, 1}, Date{2002, 1, 1}).size(), 13u);
    // Nothing is read for a refused range or a date that is not offered.
    EXPECT_TRUE(core::rangeWalk(Date{2003, 3, 1}, Date{2004, 3, 1}).empty());
    EXPECT_TRUE(core::rangeWalk(Date{2001, 2, 29}, Date{2001, 3, 1}).empty());
    EXPECT_TRUE(core::rangeWalk(Date{2000, 12, 31}, Date{2001, 1, 1}).empty());
    EXPECT_EQ(core::monthBoundaries(Date{2001, 1, 31}, Date{2001, 2, 1}), 1);
    EXPECT_EQ(core::monthBoundaries(Date{2001, 11, 15}, Date{2002, 1, 10}), 2);
}

TEST(RangeSums, OnlyDaysWithConnectedTimeAddWithoutOverflowInSinglePrecision) {
    core::RangeSums sums;
    core::addDay(sums, bookedDay(0, 7260, 60, 50.0f));
    core::addDay(sums, bookedDay(0, 0, 1800, 340.0f)); // other fields set, but no connected time
    core::addDay(sums, bookedDay(0, 9000, 1800, 340.0f));
    EXPECT_EQ(sums.connectedSeconds, 16260);
    EXPECT_EQ(sums.costOre, 390.0f);

    core::RangeSums most;
    const std::int32_t max = std::numeric_limits<std::int32_t>::max();
    for (int i = 0; i < 400; ++i) {
        core::addDay(most, bookedDay(0, max, max, 0.0f));
    }
    EXPECT_EQ(most.connectedSeconds, std::int64_t{max} * 400);

    // 2^24 öre first: each 1 öre after it is lost in single precision.
    core::RangeSums bigFirst;
    for (float ore : {16777216.0f, 1.0f, 1.0f}) {
        core::addDay(bigFirst, bookedDay(0, 1, 0, ore));
    }
    EXPECT_EQ(bigFirst.costOre, 16777216.0f);
}

TEST(RangeTexts, FourLabelsWithTheFeeOncePerMonthBoundary) {
    const std::string note = "\n(Fasta kostnaden uppräknas varje hel månad.)";
    const core::RangeTexts texts = core::rangeTexts({{390.0f, 16260, 1860}, 2, 245, 490, {}, {}});
    EXPECT_EQ(texts.connected, "Ansluten tid: 4 h 31 m ");
    EXPECT_EQ(texts.extra, "Extra tid: 31 m ");
    EXPECT_EQ(texts.cost, "Extra kostnad: 3,90 kr");
    EXPECT_EQ(texts.total, "Total kosttnad: 493,90 kr" + note);

    // Nothing summed: the pattern "0.00" keeps one integer digit.
    const core::RangeTexts none = core::rangeTexts({{}, 0, 145, 0, {}, {}});
    EXPECT_EQ(none.total, "Total kosttnad: 0,00 kr" + note);
    // Without a matching plan the total is the extra cost alone, however many months.
    EXPECT_EQ(core::rangeTexts({{1234.5f, 3725, 125}, 12, 0, 0, {}, {}}).total,
              "Total kosttnad: 12,35 kr" + note);
}
