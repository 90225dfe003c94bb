#include "core/date.h"
#include "core/date_fields.h"
#include "core/swedish.h"

#include <gtest/gtest.h>

using core::Date;

// The months' lengths and the leap rule of the Gregorian calendar, the day numbers before 1970
// and far beyond the years the standard library counts (400 years are 146097 days).
TEST(Calendar, MonthLengthsTheLeapRuleAndDayNumbers) {
    const int common[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int month = 1; month <= 12; ++month) {
        EXPECT_EQ(core::daysInMonth(2001, month), common[month - 1]) << month;
    }
    EXPECT_EQ(core::daysInMonth(2004, 2), 29);
    EXPECT_EQ(core::daysInMonth(2000, 2), 29);
    EXPECT_EQ(core::daysInMonth(2100, 2), 28);
    // 2^31 is divisible by 4 but not by 100.
    EXPECT_TRUE(core::isLeapYear(-2147483647 - 1) && !core::isLeapYear(-1900));
    EXPECT_EQ(core::daysInMonth(2001, 13), 0);
    EXPECT_FALSE((Date{2001, 2, 29}).isValid());
    EXPECT_TRUE((Date{2004, 2, 29}).isValid());
    // 1970 back to 1900: 70 years of which 17 (1904 to 1968) are leap years; 1900 is not one.
    EXPECT_EQ(core::toDayNumber(Date{1900, 3, 1}), -(70 * 365 + 17) + 31 + 28);
    EXPECT_EQ(core::fromDayNumber(-1), (Date{1969, 12, 31}));
    EXPECT_EQ(core::toDayNumber(Date{401970, 1, 1}), 146097000);
    EXPECT_EQ(core::isoWeekday(Date{401970, 1, 1}), 4);
}

TEST(Calendar, SwedishDatesAndTheDateLists) {
    EXPECT_EQ(core::longDateText(Date{2026, 12, 6}), "söndag 6 dec 2026");
    EXPECT_EQ(core::longDateText(Date{2004, 5, 19}), "onsdag 19 maj 2004");
    EXPECT_EQ(core::monthNameLower(13), "");
    // The day list of February: year "00" is 2000, a leap year.
    EXPECT_EQ(core::daysOfListMonth("00", "02"), 29);
    EXPECT_EQ(core::daysOfListMonth("01", "1"), 30); // not a two-digit month text
    EXPECT_EQ(core::dayListEntries(29).at(8) + core::dayListEntries(29).back(), "0929");
}
