#include "core/allowance_notice.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>

namespace {

// What a booking from `before` to `after` connected seconds says on the plan of `allowance`
// seconds a day: "title: text", or "" for nothing.
std::string said(std::int32_t before, std::int32_t after, std::int32_t allowance,
                 std::int32_t extraBefore = 0, std::int32_t extraAfter = 0) {
    const core::DayRecord from{0.0f, before, extraBefore, 12, 0};
    const core::DayRecord to{0.0f, after, extraAfter, 12, 0};
    const auto notice = core::allowanceNotice(from, to, allowance);
    return notice ? notice->title + ": " + notice->body : "";
}

const std::string kCharge = " Tid utöver den kostar 40 öre per bokning och 10 öre per minut.";
const std::string kStarted = "Extra tid har börjat: Dagens förbetalda tid (";
const std::string kSoon = "Snart slut på dagens förbetalda tid: Dagens förbetalda tid (";

} // namespace

TEST(AllowanceNotice, PassingThePrepaidTimeOrComingWithinTenMinutesOfItIsSaidOnce) {
    const std::tuple<std::int32_t, std::int32_t, std::int32_t, std::string> cases[] = {
        // Exactly at the allowance before: one second beyond it.
        {7200, 7201, 7200, kStarted + "2 h) är slut." + kCharge + " Extra tid hittills: 1 s."},
        // 1 h plan from an empty day to 10000 s: 6400 s beyond.
        {0, 10000, 3600,
         kStarted + "1 h) är slut." + kCharge + " Extra tid hittills: 1 h 46 m 40 s."},
        // From 601 s left to past the allowance: the passing alone, 100 s.
        {6599, 7300, 7200, kStarted + "2 h) är slut." + kCharge + " Extra tid hittills: 1 m 40 s."},
        {28000, 86400, 28800, kStarted + "8 h) är slut." + kCharge + " Extra tid hittills: 16 h."},
        {6600, 6601, 7200, kSoon + "2 h): 9 m 59 s kvar." + kCharge},       // 600 s left, then 599
        {27000, 28800, 28800, kSoon + "8 h) är nu helt använd." + kCharge}, // used up, not passed
        {6000, 6600, 7200, ""}, // 600 s left is not under ten minutes
        {6601, 6700, 7200, ""}, // already under ten minutes before
        {7200, 7200, 7200, ""}, // nothing booked
        {7201, 7300, 7200, ""}, // already past the allowance
        // Records no booking gives: negative, more than a day, fewer seconds after.
        {-5, 7300, 7200, ""},
        {7000, -1, 7200, ""},
        {7000, 86401, 7200, ""},
        {6700, 6600, 7200, ""},
    };
    for (const auto& [before, after, allowance, text] : cases) {
        EXPECT_EQ(said(before, after, allowance), text) << before << " " << after;
    }
    EXPECT_EQ(said(7000, 7400, 7200, -1, 200) + said(7000, 7400, 7200, 0, 86401), "");
    // Nothing without a known plan.
    for (const std::int32_t allowance : {0, -1, 3601, 7199, 60, 86400}) {
        EXPECT_EQ(said(0, 86400, allowance) + said(allowance - 700, allowance - 100, allowance), "")
            << allowance;
    }
}
