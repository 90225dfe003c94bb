#include "core/time_fields.h"

#include <gtest/gtest.h>
#include <utility>

using core::TimeTexts;

TEST(TimeFields, NonNumbersAreClearedAndEachFieldCarriesOnce) {
    const std::pair<TimeTexts, TimeTexts> cases[] = {
        {{"-5", "1e", "100"}, {"", "", ""}},      {{"", "65", "5"}, {"1", "5", "5"}},
        {{"", "", "99"}, {"", "1", "39"}},   // only 60 is taken off
        {{"", "59", "60"}, {"", "60", "0"}}, // minutes are not carried again in the same run...
        {{"", "60", "0"}, {"1", "0", "0"}},  // ...but in the next one
        {{" 2", "05", "59"}, {" 2", "05", "59"}}, // a number stays as typed
        {{"99", "60", ""}, {"99", "0", ""}},      // the hours field cannot grow a third digit
    };
    for (const auto& [typed, tidied] : cases) {
        EXPECT_EQ(core::tidyTimeFields(typed), tidied)
            << typed[0] << '|' << typed[1] << '|' << typed[2];
    }
}

TEST(TimeFields, WhatABookingReads) {
    EXPECT_TRUE(core::nothingToBook({"", "0", "00"}));
    EXPECT_EQ(core::enteredSeconds({"", "123", ""}), 12 * 60); // two characters count
    EXPECT_EQ(core::enteredSeconds({"x", "", "7"}), 7);
    EXPECT_FALSE(core::somethingTyped({"", "  ", ""}));
    EXPECT_TRUE(core::somethingTyped({"", "", "0"}));
}
