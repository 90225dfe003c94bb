#include "core/figures.h"
#include "core/plan.h"
#include "support/month_bytes.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>

using core::Colour;
using core::DayRecord;
using testing_support::bookedDay;

TEST(Plans, TableAndFees) {
    ASSERT_EQ(core::allPlans().size(), 3u);
    EXPECT_EQ(core::planOf(core::PlanType::Plan2h).planText, "2 h / dygn");
    EXPECT_EQ(core::planForAllowance(28800)->type, core::PlanType::Plan8h);
    EXPECT_FALSE(core::planForAllowance(0));
    EXPECT_EQ(core::feeForAllowance(3600), 145);
    EXPECT_EQ(core::feeForAllowance(7200), 245);
    EXPECT_EQ(core::feeForAllowance(28800), 595);
    EXPECT_EQ(core::feeForAllowance(1234), 0);
    for (const core::Plan& plan : core::allPlans()) {
        EXPECT_EQ(plan.planText.size(), 10u);
    }
}

TEST(DayFigures, DayBeyondItsAllowance) {
    const auto figures = core::dayFigures(bookedDay(0, 7260, 60, 50.0f), 7200);
    EXPECT_EQ(figures.connected.text, "Ansluten tid: 2 h 1 m ");
    EXPECT_EQ(figures.connected.colour, Colour::Unchanged);
    EXPECT_EQ(figures.remaining.text, "Använd extra tid: 1 m ");
    EXPECT_EQ(figures.remaining.colour, Colour::Red);
    EXPECT_EQ(figures.cost.text, "Kostnad: 0,50 kr");
    EXPECT_EQ(figures.cost.colour, Colour::Red);
}

TEST(DayFigures, DayWithinAndExactlyAtItsAllowance) {
    const auto within = core::dayFigures(bookedDay(0, 3600, 0, 0.0f), 7200);
    EXPECT_EQ(within.connected.text, "Ansluten tid: 1 h ");
    EXPECT_EQ(within.remaining.text, "Tid kvar: 1 h ");
    EXPECT_EQ(within.remaining.colour, Colour::Normal);
    EXPECT_EQ(within.cost.text, "Kostnad: 0,00 kr");
    EXPECT_EQ(within.cost.colour, Colour::Normal);
    EXPECT_EQ(core::dayFigures(bookedDay(0, 7200, 0, 0.0f), 7200).remaining.text, "Tid kvar: ");
}

TEST(DayFigures, HeadingsAndWhatCountsAsBooked) {
    const auto headings = core::dayHeadings();
    EXPECT_EQ(headings.connected.text, "Tid i dag:");
    EXPECT_EQ(headings.remaining.text, "Tid kvar: / Extra tid:");
    EXPECT_EQ(headings.cost.text, "Kostnad:");
    EXPECT_FALSE(core::dayHasRecord(bookedDay(0, 0, 5, 99.0f)));
    EXPECT_FALSE(core::dayHasRecord(bookedDay(0, -3, 0, 0.0f)));
    EXPECT_TRUE(core::dayHasRecord(bookedDay(0, 1, 0, 0.0f)));
}

TEST(MonthFigures, WorkedExampleOfTheTwoHourPlan) {
    std::array<DayRecord, 31> days{};
    days[2] = bookedDay(0, 7260, 60, 50.0f);
    days[3] = bookedDay(0, 9000, 1800, 340.0f);
    const core::MonthSums sums = core::sumMonth(days);
    const auto figures = core::monthFigures(sums, 7200);
    EXPECT_EQ(figures.connected.text, "Ansluten tid: 4 h 31 m ");
    EXPECT_EQ(figures.extra.text, "Extra månadstid: 31 m ");
    EXPECT_EQ(figures.extra.colour, Colour::Red);
    EXPECT_EQ(figures.cost.text, "Extra månadskostnad: 3,90 kr");
    EXPECT_EQ(figures.cost.colour, Colour::Red);
    EXPECT_EQ(figures.total.text, "Total månadskostnad: 248,90 kr");
    EXPECT_EQ(figures.total.colour, Colour::Red);
    EXPECT_EQ(figures.monthTimeText, "Ansluten tid: 4 h 31 m ");
    EXPECT_EQ(figures.monthExtraText, "Extra månadstid: 31 m ");
    EXPECT_EQ(figures.monthCostText, "Extra månadskostnad 3,90 kr");
}

TEST(MonthFigures, OneHourPlanTotalAndAMonthOfEmptyDays) {
    std::array<DayRecord, 31> days{};
    days[0] = bookedDay(0, 4260, 660, 190.0f);
    EXPECT_EQ(core::monthFigures(core::sumMonth(days), 3600).total.text,
              "Total månadskostnad: 146,90 kr");

    const std::array<DayRecord, 31> empty{};
    const auto zero = core::monthFigures(core::sumMonth(empty), 3600);
    EXPECT_EQ(zero.connected.text, "Ansluten tid: ");
    EXPECT_EQ(zero.extra.text, "Extra månadstid: ");
    EXPECT_EQ(zero.extra.colour, Colour::Normal);
    EXPECT_EQ(zero.cost.text, "Extra månadskostnad: 0,00 kr");
    EXPECT_EQ(zero.total.text, "Total månadskostnad: 145,00 kr");
    EXPECT_EQ(zero.total.colour, Colour::Normal);
}

TEST(MonthFigures, ExtraTimeWithoutCostAndWithoutAPlan) {
    std::array<DayRecord, 31> days{};
    days[0] = bookedDay(0, 9000, 1800, 0.0f);
    const auto noCost = core::monthFigures(core::sumMonth(days), 7200);
    // The fee is added to a zero cost; the total ends in the normal colour.
    EXPECT_EQ(noCost.total.text, "Total månadskostnad: 245,00 kr");
    EXPECT_EQ(noCost.total.colour, Colour::Normal);
    EXPECT_EQ(noCost.extra.colour, Colour::Red);

    days[0] = bookedDay(0, 9000, 1800, 340.0f);
    EXPECT_EQ(core::monthFigures(core::sumMonth(days), 0).total.text,
              "Total månadskostnad: 00,00 kr");
}

TEST(MonthFigures, MonthWithoutRecords) {
    const auto figures = core::emptyMonthFigures(3600);
    EXPECT_EQ(figures.total.text, "Total månadskostnad: 145,00 kr");
    EXPECT_EQ(figures.cost.text, "Extra månadskostnad:");
    EXPECT_EQ(figures.extra.text, "Extra månadstid:");
    EXPECT_EQ(figures.connected.text, "Månadstid:");
    EXPECT_EQ(core::emptyMonthFigures(0).total.text, "Total månadskostnad: 00,00 kr");
}

TEST(MonthFigures, DamagedRecordsStayInTheirFigures) {
    std::array<DayRecord, 31> days{};
    for (DayRecord& record : days) {
        record = bookedDay(0, std::numeric_limits<std::int32_t>::max(),
                           std::numeric_limits<std::int32_t>::max(), 0.0f);
    }
    const core::MonthSums sums = core::sumMonth(days);
    EXPECT_EQ(sums.connectedSeconds, 31LL * std::numeric_limits<std::int32_t>::max());
    days[4].extraCost = std::nanf("");
    const auto figures = core::monthFigures(core::sumMonth(days), 3600);
    EXPECT_EQ(figures.cost.text, "Extra månadskostnad: ? kr");
    EXPECT_EQ(figures.total.text, "Total månadskostnad: ? kr");
    EXPECT_EQ(figures.cost.colour, Colour::Normal);
}
