#include "core/range.h"
#include "support/month_bytes.h"

#include <gtest/gtest.h>
#include <vector>

using core::Date;
using testing_support::bookedDay;

// The edges of the listed years, a walk over the year's end, and sums no window shows.
TEST(Range, TheDefaultRangeTheWalkAndTheSums) {
    const auto range = [](const Date& today) {
        const core::DateRange defaults = core::defaultRange(today);
        return std::vector<Date>{defaults.from, defaults.to};
    };
    EXPECT_EQ(range(Date{2000, 6, 15}), (std::vector<Date>{{2001, 1, 1}, {2001, 1, 1}}));
    EXPECT_EQ(range(Date{2100, 1, 5}), (std::vector<Date>{{2099, 10, 6}, {2099, 12, 31}}));

    // A walk over the year's end: every month is read to its 31st record.
    EXPECT_EQ(
        core::rangeWalk(Date{2001, 11, 15}, Date{2002, 1, 10}),
        (std::vector<core::RangeMonth>{{2001, 11, 15, 31}, {2001, 12, 1, 31}, {2002, 1, 1, 10}}));
    EXPECT_EQ(core::monthBoundaries(Date{2001, 11, 15}, Date{2002, 1, 10}), 2);
    // 2^24 öre first: each 1 öre after it is lost in single precision.
    core::RangeSums sums;
    for (float ore : {16777216.0f, 1.0f, 1.0f}) {
        core::addDay(sums, bookedDay(0, 1, 0, ore));
    }
    EXPECT_EQ(sums.costOre, 16777216.0f);
    // Without a matching plan the total is the extra cost alone, however many months.
    EXPECT_EQ(core::rangeTexts({{1234.5f, 3725, 125}, 12, 0, 0, {}, {}}).total,
              "Total kosttnad: 12,35 kr\n(Fasta kostnaden uppräknas varje hel månad.)");
}
