#include "core/booking.h"

#include <gtest/gtest.h>
#include <limits>
#include <tuple>

using core::bookOnDay;
using core::DayRecord;
using core::kTrue;

namespace {

DayRecord day(std::int32_t connected, float cost = 0.0f, std::int32_t extra = 0,
              std::int16_t over = 0) {
    return DayRecord{cost, connected, extra, 7, over};
}

} // namespace

// The day's first booking past the allowance costs 40 öre and 10 öre a minute for all the time
// past it; each later one 40 öre and 10 öre a minute of its own length, even a booking of 0 s.
// The main window's bookings show the first two; these are the edges.
TEST(Booking, TheChargeBeyondTheAllowance) {
    // 40 öre and a sixth, rounded once to single precision and never to whole öre.
    const float sixth = static_cast<float>(10.0 / 60.0 + 40.0);
    EXPECT_EQ(core::extraCharge(1), sixth);
    const std::tuple<DayRecord, std::int32_t, std::int32_t, DayRecord> cases[] = {
        {day(4000, 140.0f, 400, kTrue), 1, 3600, day(4001, 140.0f + sixth, 401, kTrue)},
        {day(4200, 140.0f, 600, kTrue), 0, 3600, day(4200, 180.0f, 600, kTrue)},
        {day(1000, 0.0f, 77), 600, 3600, day(1600)}, // within the allowance: no extra time
        {day(3000), 600, 3600, day(3600)},           // exactly at the allowance
        {day(0), 60, 0, day(60, 50.0f, 60, kTrue)},  // no plan
    };
    for (const auto& [before, seconds, allowance, after] : cases) {
        EXPECT_EQ(bookOnDay(before, seconds, allowance, 7), after) << before.connectedSeconds;
    }
    // A damaged record does not overflow past the 24 hours a day holds.
    EXPECT_FALSE(bookOnDay(day(std::numeric_limits<std::int32_t>::max()), 3600, 3600, 1));
}
