#include "core/time_fields.h"

#include <gtest/gtest.h>
#include <utility>

using core::tidyTimeFields;
using core::TimeTexts;

TEST(TimeFields, WhatCountsAsANumber) {
    for (const char* number : {"7", " 12 ", "32767", "000"}) {
        EXPECT_TRUE(core::isTimeNumber(number)) << number;
    }
    // A sign, a decimal point, inner blanks, letters, a value beyond 16 bits, an Arabic-Indic
    // digit, nothing.
    for (const char* other : {"32768", "123456", "-5", "+5", "1.5", "1 2", "abc", "", "   ", "٣"}) {
        EXPECT_FALSE(core::isTimeNumber(other)) << other;
    }
}

TEST(TimeFields, NonNumbersAreClearedAndEachFieldCarriesOnce) {
    const std::pair<TimeTexts, TimeTexts> cases[] = {
        {{"", "abc", "7"}, {"", "", "7"}},
        {{"-5", "1e3", "99999"}, {"", "", ""}},
        {{"", "65", "5"}, {"1", "5", "5"}},
        {{"", "", "150"}, {"", "1", "90"}},  // only 60 is taken off
        {{"", "59", "60"}, {"", "60", "0"}}, // minutes are not carried again in the same run...
        {{"", "60", "0"}, {"1", "0", "0"}},  // ...but in the next one
        {{"30", "", ""}, {"30", "", ""}},    // hours are never limited here
        {{" 2", "05", "59"}, {" 2", "05", "59"}}, // a number stays as typed
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
