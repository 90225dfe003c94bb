#include "core/plan_schedule.h"

#include <gtest/gtest.h>

using core::PlanChange;
using core::PlanSchedule;
using Changes = std::vector<PlanChange>;

TEST(PlanSchedule, EachChangeHoldsFromItsMonthAndReplacesLaterOnes) {
    EXPECT_FALSE(PlanSchedule(3600).varies());
    // Before the first change its plan holds; each change from its own month on.
    const PlanSchedule two({{2001, 1, 3600}, {2002, 3, 28800}, {2002, 6, 7200}});
    EXPECT_TRUE(two.varies());
    EXPECT_EQ(two.allowanceFor(2000, 12) + two.allowanceFor(2002, 2), 3600 + 3600);
    EXPECT_EQ(two.allowanceFor(2002, 3) + two.allowanceFor(2002, 5), 28800 + 28800);
    // The first change keeps the plan held so far from January 2001.
    EXPECT_EQ(PlanSchedule(3600).changedFrom(2001, 1, 7200, 3600).changes(),
              (Changes{{2001, 1, 7200}}));
    // From April: the change of June goes, and April's plan is the one of March, so nothing new
    // is said after March.
    EXPECT_EQ(two.changedFrom(2002, 4, 28800, 0).changes(),
              (Changes{{2001, 1, 3600}, {2002, 3, 28800}}));
    EXPECT_EQ(two.changedFrom(2002, 3, 3600, 0).changes(), (Changes{{2001, 1, 3600}}));
}
