#include "core/booking.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using core::bookOnDay;
using core::DayRecord;
using core::kTrue;

namespace {

constexpr std::int32_t kOneHour = 3600;

DayRecord day(std::int32_t connected, float cost = 0.0f, std::int32_t extra = 0,
              std::int16_t over = 0) {
    return DayRecord{cost, connected, extra, 0, over};
}

} // namespace

TEST(Booking, WorkedExamples) {
    // 40 öre and a sixth, rounded once to single precision and never to whole öre.
    const float sixth = static_cast<float>(10.0 / 60.0 + 40.0);
    struct Case {
        const char* what;
        DayRecord before;
        std::int32_t seconds;
        std::int32_t allowance;
        DayRecord after;
    };
    const Case cases[] = {
        {"20 minutes cross the hour: 600 s beyond it", day(3000), 1200, kOneHour,
         day(4200, 140.0f, 600, kTrue)},
        {"a minute later: charged for its own length", day(4200, 140.0f, 600, kTrue), 60, kOneHour,
         day(4260, 190.0f, 660, kTrue)},
        {"one second over", day(4000, 140.0f, 400, kTrue), 1, kOneHour,
         day(4001, 140.0f + sixth, 401, kTrue)},
        {"zero seconds over the allowance", day(4200, 140.0f, 600, kTrue), 0, kOneHour,
         day(4200, 180.0f, 600, kTrue)},
        {"within the allowance", day(1000, 0.0f, 77), 600, kOneHour, day(1600)},
        {"exactly at the allowance", day(3000), 600, kOneHour, day(3600)},
        {"no plan", day(0), 60, 0, day(60, 50.0f, 60, kTrue)},
        {"up to 24 hours", day(86000), 400, kOneHour, day(86400, 13840.0f, 82800, kTrue)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DayRecord expected = c.after;
        expected.dayNumber = 7;
        EXPECT_EQ(bookOnDay(c.before, c.seconds, c.allowance, 7), expected);
    }
    EXPECT_EQ(core::extraCharge(1), sixth);
}

TEST(Booking, NoDayPassesTwentyFourHours) {
    EXPECT_FALSE(bookOnDay(day(86400, 1.0f, 82800, kTrue), 1, kOneHour, 1));
    EXPECT_FALSE(bookOnDay(day(0), 86401, kOneHour, 1));
    // Damaged records neither overflow nor pass the limit.
    EXPECT_FALSE(bookOnDay(day(std::numeric_limits<std::int32_t>::max()), 3600, kOneHour, 1));
    const auto negative = bookOnDay(day(std::numeric_limits<std::int32_t>::min()), 60, kOneHour, 1);
    ASSERT_TRUE(negative);
    EXPECT_LE(negative->connectedSeconds, 86400);
    const auto nanCost = bookOnDay(day(4000, std::nanf(""), 400, kTrue), 60, kOneHour, 1);
    ASSERT_TRUE(nanCost);
    EXPECT_TRUE(std::isnan(nanCost->extraCost));
}
