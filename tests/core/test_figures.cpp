#include "core/figures.h"
#include "core/plan.h"
#include "support/month_bytes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using core::DayRecord;
using testing_support::bookedDay;

namespace {

core::MonthFigures figuresOf(std::initializer_list<DayRecord> booked, std::int32_t allowance) {
    std::array<DayRecord, 31> days{};
    std::copy(booked.begin(), booked.end(), days.begin() + 2);
    return core::monthFigures(core::sumMonth(days), allowance);
}

} // namespace

TEST(Plans, Fees) {
    EXPECT_EQ(core::feeForAllowance(3600), 145);
    EXPECT_EQ(core::feeForAllowance(7200), 245);
    EXPECT_EQ(core::feeForAllowance(28800), 595);
    EXPECT_EQ(core::feeForAllowance(1234), 0);
}

TEST(DayFigures, WithinAtAndBeyondTheAllowance) {
    const auto over = core::dayFigures(bookedDay(0, 7260, 60, 50.0f), 7200);
    EXPECT_EQ(over.connected.text, "Ansluten tid: 2 h 1 m ");
    EXPECT_FALSE(over.connected.extra);
    EXPECT_EQ(over.remaining.text, "Använd extra tid: 1 m ");
    EXPECT_TRUE(over.remaining.extra);
    EXPECT_EQ(over.cost.text, "Kostnad: 0,50 kr");
    EXPECT_TRUE(over.cost.extra);

    const auto within = core::dayFigures(bookedDay(0, 3600), 7200);
    EXPECT_EQ(within.remaining.text, "Tid kvar: 1 h ");
    EXPECT_FALSE(within.remaining.extra);
    EXPECT_EQ(within.cost.text, "Kostnad: 0,00 kr");
    EXPECT_EQ(core::dayFigures(bookedDay(0, 7200), 7200).remaining.text, "Tid kvar: ");

    EXPECT_FALSE(core::dayHasRecord(bookedDay(0, 0, 5, 99.0f)));
    EXPECT_FALSE(core::dayHasRecord(bookedDay(0, -3)));
    EXPECT_TRUE(core::dayHasRecord(bookedDay(0, 1)));
}

TEST(MonthFigures, WorkedExampleOfTheTwoHourPlan) {
    const auto figures =
        figuresOf({bookedDay(0, 7260, 60, 50.0f), bookedDay(0, 9000, 1800, 340.0f)}, 7200);
    EXPECT_EQ(figures.connected.text, "Ansluten tid: 4 h 31 m ");
    EXPECT_EQ(figures.extra.text, "Extra månadstid: 31 m ");
    EXPECT_TRUE(figures.extra.extra);
    EXPECT_EQ(figures.cost.text, "Extra månadskostnad: 3,90 kr");
    EXPECT_TRUE(figures.cost.extra);
    EXPECT_EQ(figures.total.text, "Total månadskostnad: 248,90 kr");
    EXPECT_TRUE(figures.total.extra);
    EXPECT_EQ(figures.monthCostText, "Extra månadskostnad 3,90 kr");
}

TEST(MonthFigures, TotalsOfOtherMonths) {
    EXPECT_EQ(figuresOf({bookedDay(0, 4260, 660, 190.0f)}, 3600).total.text,
              "Total månadskostnad: 146,90 kr");
    // Nothing booked: the fee alone, nothing extra.
    const auto zero = figuresOf({}, 3600);
    EXPECT_FALSE(zero.extra.extra);
    EXPECT_EQ(zero.total.text, "Total månadskostnad: 145,00 kr");
    EXPECT_FALSE(zero.total.extra);
    // Extra time at no cost: the fee is added to a zero cost, the total not extra.
    const auto noCost = figuresOf({bookedDay(0, 9000, 1800, 0.0f)}, 7200);
    EXPECT_EQ(noCost.total.text, "Total månadskostnad: 245,00 kr");
    EXPECT_FALSE(noCost.total.extra);
    EXPECT_EQ(figuresOf({bookedDay(0, 9000, 1800, 340.0f)}, 0).total.text,
              "Total månadskostnad: 00,00 kr");
    EXPECT_EQ(core::emptyMonthFigures(3600).total.text, "Total månadskostnad: 145,00 kr");
}

TEST(MonthFigures, DamagedRecordsStayInTheirFigures) {
    const std::int32_t most = std::numeric_limits<std::int32_t>::max();
    std::array<DayRecord, 31> days{};
    days.fill(bookedDay(0, most, most, 0.0f));
    EXPECT_EQ(core::sumMonth(days).connectedSeconds, 31LL * most);
    days[4].extraCost = std::nanf("");
    const auto figures = core::monthFigures(core::sumMonth(days), 3600);
    EXPECT_EQ(figures.cost.text, "Extra månadskostnad: ? kr");
    EXPECT_EQ(figures.total.text, "Total månadskostnad: ? kr");
    EXPECT_FALSE(figures.cost.extra);
}
