#include "core/booking.h"

#include <cmath>
#include <gtest/gtest.h>

using core::bookOnDay;
using core::DayRecord;
using core::kTrue;

namespace {

constexpr std::int32_t kOneHour = 3600;

DayRecord day(std::int32_t connected, float cost = 0.0f, std::int32_t extra = 0,
              std::int16_t over = 0) {
    DayRecord record;
    record.connectedSeconds = connected;
    record.extraCost = cost;
    record.extraSeconds = extra;
    record.overAllowance = over;
    return record;
}

} // namespace

TEST(Booking, WorkedExampleOfTheOneHourPlan) {
    // 3000 s booked; 20 minutes more passes the hour: 600 s beyond it cost 100 + 40 öre.
    const auto first = bookOnDay(day(3000), 20 * 60, kOneHour, 5);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->connectedSeconds, 4200);
    EXPECT_EQ(first->extraSeconds, 600);
    EXPECT_EQ(first->overAllowance, kTrue);
    EXPECT_EQ(first->dayNumber, 5);
    EXPECT_FLOAT_EQ(first->extraCost, 140.0f);

    // One more minute: charged for its own length only.
    const auto second = bookOnDay(*first, 60, kOneHour, 5);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->connectedSeconds, 4260);
    EXPECT_EQ(second->extraSeconds, 660);
    EXPECT_EQ(second->extraCost, 190.0f);
}

TEST(Booking, ChargeIsNotRoundedToWholeOre) {
    const auto over = bookOnDay(day(4000, 140.0f, 400, kTrue), 1, kOneHour, 1);
    ASSERT_TRUE(over);
    // 40 öre and a sixth, rounded once to single precision.
    EXPECT_EQ(core::extraCharge(1), static_cast<float>(10.0 / 60.0 + 40.0));
    EXPECT_EQ(over->extraCost, 140.0f + static_cast<float>(10.0 / 60.0 + 40.0));
    EXPECT_EQ(over->extraSeconds, 401);
}

TEST(Booking, WithinTheAllowanceCostsNothingAndClearsExtraSeconds) {
    const auto within = bookOnDay(day(1000, 0.0f, 77), 600, kOneHour, 3);
    ASSERT_TRUE(within);
    EXPECT_EQ(within->connectedSeconds, 1600);
    EXPECT_EQ(within->extraSeconds, 0);
    EXPECT_EQ(within->extraCost, 0.0f);
    EXPECT_EQ(within->overAllowance, 0);
    // Exactly at the allowance is still within it.
    const auto exactly = bookOnDay(day(3000), 600, kOneHour, 3);
    ASSERT_TRUE(exactly);
    EXPECT_EQ(exactly->extraCost, 0.0f);
    EXPECT_EQ(exactly->overAllowance, 0);
}

TEST(Booking, ZeroSecondsOnADayOverItsAllowanceAddsTheStartChargeAgain) {
    const auto again = bookOnDay(day(4200, 140.0f, 600, kTrue), 0, kOneHour, 9);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->extraCost, 180.0f);
    EXPECT_EQ(again->extraSeconds, 600);
    EXPECT_EQ(again->connectedSeconds, 4200);
}

TEST(Booking, TwentyFourHoursIsTheLimit) {
    const auto full = bookOnDay(day(86000), 400, kOneHour, 1);
    ASSERT_TRUE(full);
    EXPECT_EQ(full->connectedSeconds, 86400);
    EXPECT_FALSE(bookOnDay(*full, 1, kOneHour, 1));
    EXPECT_FALSE(bookOnDay(day(0), 86401, kOneHour, 1));
}

TEST(Booking, DamagedRecordsNeitherOverflowNorPassTheLimit) {
    EXPECT_FALSE(bookOnDay(day(std::numeric_limits<std::int32_t>::max()), 3600, kOneHour, 1));
    const auto negative = bookOnDay(day(std::numeric_limits<std::int32_t>::min()), 60, kOneHour, 1);
    ASSERT_TRUE(negative);
    EXPECT_LE(negative->connectedSeconds, 86400);
    const auto nanCost = bookOnDay(day(4000, std::nanf(""), 400, kTrue), 60, kOneHour, 1);
    ASSERT_TRUE(nanCost);
    EXPECT_TRUE(std::isnan(nanCost->extraCost));
}

TEST(Booking, WithoutAPlanEveryBookingIsExtraTime) {
    const auto noPlan = bookOnDay(day(0), 60, 0, 2);
    ASSERT_TRUE(noPlan);
    EXPECT_EQ(noPlan->extraSeconds, 60);
    EXPECT_EQ(noPlan->extraCost, 50.0f);
}
