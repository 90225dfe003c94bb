#include "core/figures.h"
#include "core/plan.h"
#include "support/month_bytes.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using core::DayRecord;
using testing_support::bookedDay;

namespace {

core::MonthFigures figuresOf(const DayRecord& booked, std::int32_t allowance) {
    std::array<DayRecord, 31> days{};
    days[2] = booked;
    return core::monthFigures(core::sumMonth(days), allowance);
}

} // namespace

// What the main window's bookings do not show: a day exactly at its allowance, records without
// connected time, extra time that cost nothing, a month without a plan, damaged records.
TEST(Figures, EdgesOfTheDayAndMonthFigures) {
    EXPECT_EQ(core::dayFigures(bookedDay(0, 7200), 7200).remaining.text, "Tid kvar: ");
    EXPECT_TRUE(core::dayHasRecord(bookedDay(0, 1)));
    // Extra time at no cost: the fee is added to a zero cost, and the total is not red.
    const auto noCost = figuresOf(bookedDay(0, 9000, 1800, 0.0f), 7200);
    EXPECT_EQ(noCost.total.text, "Total månadskostnad: 245,00 kr");
    EXPECT_FALSE(noCost.total.extra);
    EXPECT_EQ(figuresOf(bookedDay(0, 9000, 1800, 340.0f), 0).total.text,
              "Total månadskostnad: 00,00 kr");
    // Damaged records: 31 days of the most seconds a record holds, and a cost that is not a
    // number.
    std::array<DayRecord, 31> most{};
    most.fill(bookedDay(0, 2147483647, 0, 0.0f));
    EXPECT_EQ(core::sumMonth(most).connectedSeconds, 31LL * 2147483647);
    const auto damaged = figuresOf(bookedDay(0, 4000, 400, std::nanf("")), 3600);
    EXPECT_EQ(damaged.cost.text + damaged.total.text,
              "Extra månadskostnad: ? krTotal månadskostnad: ? kr");
    EXPECT_FALSE(damaged.cost.extra);
}
