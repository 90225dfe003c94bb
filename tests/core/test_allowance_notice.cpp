#include "core/allowance_notice.h"
#include "core/booking.h"

#include <gtest/gtest.h>
#include <string>

using core::AllowanceNotice;
using core::DayRecord;

namespace {

constexpr std::int32_t kOneHour = 3600;
constexpr std::int32_t kTwoHours = 7200;
constexpr std::int32_t kEightHours = 28800;

const std::string kStartedTitle = "Extra tid har börjat";
const std::string kSoonTitle = "Snart slut på dagens förbetalda tid";
const std::string kCharge = "Tid utöver den kostar 40 öre per bokning och 10 öre per minut.";

DayRecord day(std::int32_t connected, std::int32_t extra = 0) {
    DayRecord record;
    record.connectedSeconds = connected;
    record.extraSeconds = extra;
    record.dayNumber = 12;
    return record;
}

std::optional<AllowanceNotice> notice(std::int32_t before, std::int32_t after,
                                      std::int32_t allowance) {
    return core::allowanceNotice(day(before), day(after), allowance);
}

} // namespace

TEST(AllowanceNotice, PassingThePrepaidTimeStartsExtraTime) {
    // 7000 s to 7400 s on the 2 h plan: 200 s beyond it, 3 m 20 s.
    EXPECT_EQ(notice(7000, 7400, kTwoHours),
              (AllowanceNotice{kStartedTitle, "Dagens förbetalda tid (2 h) är slut. " + kCharge +
                                                  " Extra tid hittills: 3 m 20 s."}));
    // Exactly at the allowance before: one second beyond.
    EXPECT_EQ(notice(7200, 7201, kTwoHours),
              (AllowanceNotice{kStartedTitle, "Dagens förbetalda tid (2 h) är slut. " + kCharge +
                                                  " Extra tid hittills: 1 s."}));
    // 1 h plan from an empty day to 10000 s: 6400 s beyond, 1 h 46 m 40 s.
    EXPECT_EQ(notice(0, 10000, kOneHour),
              (AllowanceNotice{kStartedTitle, "Dagens förbetalda tid (1 h) är slut. " + kCharge +
                                                  " Extra tid hittills: 1 h 46 m 40 s."}));
    // 8 h plan to a whole day: 57600 s beyond, 16 h.
    EXPECT_EQ(notice(28000, 86400, kEightHours),
              (AllowanceNotice{kStartedTitle, "Dagens förbetalda tid (8 h) är slut. " + kCharge +
                                                  " Extra tid hittills: 16 h."}));
}

TEST(AllowanceNotice, UnderTenMinutesLeftIsSaidOnce) {
    // 600 s left before, 599 s (9 m 59 s) after.
    EXPECT_EQ(
        notice(6600, 6601, kTwoHours),
        (AllowanceNotice{kSoonTitle, "Dagens förbetalda tid (2 h): 9 m 59 s kvar. " + kCharge}));
    // 601 s left before, 500 s (8 m 20 s) after.
    EXPECT_EQ(
        notice(6599, 6700, kTwoHours),
        (AllowanceNotice{kSoonTitle, "Dagens förbetalda tid (2 h): 8 m 20 s kvar. " + kCharge}));
    // 1 h plan from an empty day to 3500 s: 100 s left.
    EXPECT_EQ(
        notice(0, 3500, kOneHour),
        (AllowanceNotice{kSoonTitle, "Dagens förbetalda tid (1 h): 1 m 40 s kvar. " + kCharge}));
    // Exactly used up, not passed: nothing left, and no extra time yet.
    EXPECT_EQ(
        notice(27000, 28800, kEightHours),
        (AllowanceNotice{kSoonTitle, "Dagens förbetalda tid (8 h) är nu helt använd. " + kCharge}));
}

TEST(AllowanceNotice, NoNoticeForOtherBookings) {
    EXPECT_FALSE(notice(0, 60, kTwoHours));      // far from the allowance
    EXPECT_FALSE(notice(6000, 6600, kTwoHours)); // 600 s left is not under ten minutes
    EXPECT_FALSE(notice(6601, 6700, kTwoHours)); // already under ten minutes before
    EXPECT_FALSE(notice(7200, 7200, kTwoHours)); // nothing booked
    EXPECT_FALSE(notice(7201, 7300, kTwoHours)); // already past the allowance
    EXPECT_FALSE(notice(6700, 6700, kTwoHours)); // nothing booked under ten minutes
}

TEST(AllowanceNotice, ABookingThatDoesBothGivesOnlyTheExtraTime) {
    // From 601 s left to past the allowance: the passing alone (7300 - 7200 = 100 s, 1 m 40 s).
    EXPECT_EQ(notice(6599, 7300, kTwoHours),
              (AllowanceNotice{kStartedTitle, "Dagens förbetalda tid (2 h) är slut. " + kCharge +
                                                  " Extra tid hittills: 1 m 40 s."}));
}

TEST(AllowanceNotice, NoNoticeWithoutAKnownPlan) {
    for (const std::int32_t allowance : {0, -1, 3601, 7199, 60, 86400}) {
        SCOPED_TRACE(allowance);
        EXPECT_FALSE(notice(0, 86400, allowance));
        EXPECT_FALSE(notice(allowance - 700, allowance - 100, allowance));
    }
}

TEST(AllowanceNotice, NoNoticeForRecordsNoBookingGives) {
    EXPECT_FALSE(notice(-5, 7300, kTwoHours));    // negative before
    EXPECT_FALSE(notice(7000, -1, kTwoHours));    // negative after
    EXPECT_FALSE(notice(7000, 86401, kTwoHours)); // more than a day
    EXPECT_FALSE(notice(7400, 7000, kTwoHours));  // fewer seconds after the booking
    EXPECT_FALSE(notice(6700, 6600, kTwoHours));
    EXPECT_FALSE(core::allowanceNotice(day(7000, -1), day(7400, 200), kTwoHours));
    EXPECT_FALSE(core::allowanceNotice(day(7000), day(7400, 86401), kTwoHours));
    EXPECT_FALSE(core::allowanceNotice(day(7000), day(7400, -200), kTwoHours));
}

TEST(AllowanceNotice, FollowsTheRecordsABookingWrites) {
    // An empty day, then 1 h 55 m (6900 s) on the 2 h plan: 300 s (5 m) left.
    const DayRecord empty;
    const auto first = core::bookOnDay(empty, 6900, kTwoHours, 3);
    ASSERT_TRUE(first);
    EXPECT_EQ(core::allowanceNotice(empty, *first, kTwoHours),
              (AllowanceNotice{kSoonTitle, "Dagens förbetalda tid (2 h): 5 m kvar. " + kCharge}));
    // Then 10 minutes more: 300 s beyond the allowance, 5 m.
    const auto second = core::bookOnDay(*first, 600, kTwoHours, 3);
    ASSERT_TRUE(second);
    EXPECT_EQ(core::allowanceNotice(*first, *second, kTwoHours),
              (AllowanceNotice{kStartedTitle, "Dagens förbetalda tid (2 h) är slut. " + kCharge +
                                                  " Extra tid hittills: 5 m."}));
    // And one minute more after that: no new notice.
    const auto third = core::bookOnDay(*second, 60, kTwoHours, 3);
    ASSERT_TRUE(third);
    EXPECT_FALSE(core::allowanceNotice(*second, *third, kTwoHours));
}
