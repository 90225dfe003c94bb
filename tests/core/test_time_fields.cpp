#include "core/time_fields.h"

#include <gtest/gtest.h>

using core::tidyTimeFields;
using core::TimeTexts;

TEST(TimeFields, WhatCountsAsANumber) {
    EXPECT_TRUE(core::isTimeNumber("7"));
    EXPECT_TRUE(core::isTimeNumber(" 12 "));
    EXPECT_TRUE(core::isTimeNumber("32767"));
    EXPECT_TRUE(core::isTimeNumber("000"));
    EXPECT_FALSE(core::isTimeNumber("32768"));
    EXPECT_FALSE(core::isTimeNumber("123456"));
    EXPECT_FALSE(core::isTimeNumber("-5"));
    EXPECT_FALSE(core::isTimeNumber("+5"));
    EXPECT_FALSE(core::isTimeNumber("1.5"));
    EXPECT_FALSE(core::isTimeNumber("1 2"));
    EXPECT_FALSE(core::isTimeNumber("abc"));
    EXPECT_FALSE(core::isTimeNumber(""));
    EXPECT_FALSE(core::isTimeNumber("   "));
    EXPECT_FALSE(core::isTimeNumber("٣")); // an Arabic-Indic digit is not one of ours
}

TEST(TimeFields, NonNumbersAreClearedWithoutCarrying) {
    EXPECT_EQ(tidyTimeFields({"", "abc", "7"}), (TimeTexts{"", "", "7"}));
    // A sign, an exponent or a value beyond 16 bits is not a number either.
    EXPECT_EQ(tidyTimeFields({"-5", "1e3", "99999"}), (TimeTexts{"", "", ""}));
}

TEST(TimeFields, MinutesAndSecondsCarryOncePerField) {
    // Minutes 65 become 5 and the empty hours field becomes 1.
    EXPECT_EQ(tidyTimeFields({"", "65", "5"}), (TimeTexts{"1", "5", "5"}));
    // Seconds 75 become 15 with one more minute.
    EXPECT_EQ(tidyTimeFields({"", "", "75"}), (TimeTexts{"", "1", "15"}));
    // Only 60 is taken off: 150 seconds become 90.
    EXPECT_EQ(tidyTimeFields({"", "", "150"}), (TimeTexts{"", "1", "90"}));
    // Minutes are not carried again in the same run.
    EXPECT_EQ(tidyTimeFields({"", "59", "60"}), (TimeTexts{"", "60", "0"}));
    // ... but the next run carries them.
    EXPECT_EQ(tidyTimeFields({"", "60", "0"}), (TimeTexts{"1", "0", "0"}));
    // Hours are never limited here.
    EXPECT_EQ(tidyTimeFields({"30", "", ""}), (TimeTexts{"30", "", ""}));
    // Text that is a number stays as typed, blanks included.
    EXPECT_EQ(tidyTimeFields({" 2", "05", "59"}), (TimeTexts{" 2", "05", "59"}));
}

TEST(TimeFields, WhatABookingReads) {
    EXPECT_TRUE(core::nothingToBook({"", "0", "00"}));
    EXPECT_TRUE(core::nothingToBook({"00", "", ""}));
    EXPECT_FALSE(core::nothingToBook({" 0", "", ""}));
    EXPECT_FALSE(core::nothingToBook({"000", "", ""}));
    EXPECT_EQ(core::enteredSeconds({" 0", "", ""}), 0);
    EXPECT_EQ(core::enteredSeconds({"", "123", ""}), 12 * 60);
    EXPECT_EQ(core::enteredSeconds({"1", "2", "3"}), 3723);
    EXPECT_EQ(core::enteredSeconds({"x", "", "7"}), 7);
    EXPECT_EQ(core::enteredSeconds({"99", "99", "99"}), 99 * 3600 + 99 * 60 + 99);
}

TEST(TimeFields, BlanksCountAsNothingTypedForTheCloseQuestion) {
    EXPECT_FALSE(core::somethingTyped({"", "  ", ""}));
    EXPECT_TRUE(core::somethingTyped({"", "", "0"}));
}
