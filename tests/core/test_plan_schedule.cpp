#include "core/plan_schedule.h"

#include <gtest/gtest.h>

using core::PlanChange;
using core::PlanSchedule;

TEST(PlanSchedule, AMonthHasThePlanInForceOnItsFirstDay) {
    const PlanSchedule single(3600);
    EXPECT_EQ(single.allowanceFor(2050, 7), 3600);
    EXPECT_FALSE(single.varies());
    const PlanSchedule changes({{2002, 3, 7200}, {2003, 1, 28800}});
    // Before the first change its plan holds; each change from its own month on.
    const std::vector<std::pair<std::pair<int, int>, std::int32_t>> expected{
        {{2001, 1}, 7200},  {{2002, 2}, 7200},  {{2002, 3}, 7200},
        {{2002, 12}, 7200}, {{2003, 1}, 28800}, {{2099, 12}, 28800}};
    for (const auto& [month, allowance] : expected) {
        EXPECT_EQ(changes.allowanceFor(month.first, month.second), allowance)
            << month.first << "-" << month.second;
    }
    EXPECT_TRUE(changes.varies());
}

TEST(PlanSchedule, AChangeReplacesLaterOnesAndSaysNothingWhenThePlanHoldsAlready) {
    // The first change keeps the plan held so far from January 2001.
    EXPECT_EQ(PlanSchedule(3600).changedFrom(2002, 3, 28800, 3600).changes(),
              (std::vector<PlanChange>{{2001, 1, 3600}, {2002, 3, 28800}}));
    EXPECT_EQ(PlanSchedule(3600).changedFrom(2001, 1, 7200, 3600).changes(),
              (std::vector<PlanChange>{{2001, 1, 7200}}));
    const PlanSchedule two({{2001, 1, 3600}, {2002, 3, 28800}, {2002, 6, 7200}});
    // From April: the change of June goes, and April's plan is the one of March, so nothing
    // new is said after March.
    EXPECT_EQ(two.changedFrom(2002, 4, 28800, 0).changes(),
              (std::vector<PlanChange>{{2001, 1, 3600}, {2002, 3, 28800}}));
    EXPECT_EQ(two.changedFrom(2002, 3, 3600, 0).changes(),
              (std::vector<PlanChange>{{2001, 1, 3600}}));
}
