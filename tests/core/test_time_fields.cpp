#include "core/time_fields.h"

#include <gtest/gtest.h>
#include <utility>

using core::tidyTimeFields;
using core::TimeTexts;

TEST(TimeFields, WhatCountsAsANumber) {
    for (const char* number : {"7", "12", " 7", "00", "99"}) {
        EXPECT_TRUE(core::isTimeNumber(number)) << number;
    }
    // Three characters (which the booking would not read whole), a blank after or inside, a
    // sign, a decimal point, letters, an Arabic-Indic digit, nothing.
    for (const char* other : {"100", "  7", "000", "7 ", "-5", "+5", "1.5", "abc", "", " ", "٣"}) {
        EXPECT_FALSE(core::isTimeNumber(other)) << other;
    }
}

TEST(TimeFields, NonNumbersAreClearedAndEachFieldCarriesOnce) {
    const std::pair<TimeTexts, TimeTexts> cases[] = {
        {{"", "abc", "7"}, {"", "", "7"}},
        {{"-5", "1e", "100"}, {"", "", ""}},
        {{"", "65", "5"}, {"1", "5", "5"}},
        {{"", "", "99"}, {"", "1", "39"}},   // only 60 is taken off
        {{"", "59", "60"}, {"", "60", "0"}}, // minutes are not carried again in the same run...
        {{"", "60", "0"}, {"1", "0", "0"}},  // ...but in the next one
        {{"30", "", ""}, {"30", "", ""}},    // hours are never limited here
        {{" 2", "05", "59"}, {" 2", "05", "59"}}, // a number stays as typed
        {{"99", "60", ""}, {"99", "0", ""}},      // the hours field cannot grow a third digit
    };
    for (const auto& [typed, tidied] : cases) {
        EXPECT_EQ(tidyTimeFields(typed), tidied) << typed[0] << '|' << typed[1] << '|' << typed[2];
    }
}

TEST(TimeFields, WhatABookingReads) {
    EXPECT_TRUE(core::nothingToBook({"", "0", "00"}));
    EXPECT_FALSE(core::nothingToBook({" 0", "", ""}));
    EXPECT_FALSE(core::nothingToBook({"000", "", ""}));
    EXPECT_EQ(core::enteredSeconds({"", "123", ""}), 12 * 60); // two characters count
    EXPECT_EQ(core::enteredSeconds({"1", "2", "3"}), 3723);
    EXPECT_EQ(core::enteredSeconds({"x", "", "7"}), 7);
    EXPECT_EQ(core::enteredSeconds({"99", "99", "99"}), 99 * 3600 + 99 * 60 + 99);
    EXPECT_FALSE(core::somethingTyped({"", "  ", ""}));
    EXPECT_TRUE(core::somethingTyped({"", "", "0"}));
}
