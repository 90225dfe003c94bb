#include "core/date.h"
#include "core/date_fields.h"
#include "core/swedish.h"

#include <gtest/gtest.h>

using core::Date;

TEST(Calendar, MonthLengthsAndTheLeapRule) {
    const int common[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int month = 1; month <= 12; ++month) {
        EXPECT_EQ(core::daysInMonth(2001, month), common[month - 1]) << month;
    }
    EXPECT_EQ(core::daysInMonth(2004, 2), 29);
    EXPECT_EQ(core::daysInMonth(2000, 2), 29);
    EXPECT_EQ(core::daysInMonth(2100, 2), 28);
    EXPECT_FALSE((Date{2001, 2, 29}).isValid());
    EXPECT_TRUE((Date{2004, 2, 29}).isValid());
}

TEST(Calendar, ArithmeticAcrossMonthsAndYears) {
    EXPECT_EQ(core::addMonthsClamped(Date{2001, 5, 31}, -3), (Date{2001, 2, 28}));
    EXPECT_EQ(core::addMonthsClamped(Date{2004, 5, 31}, -3), (Date{2004, 2, 29}));
    EXPECT_EQ(core::addMonthsClamped(Date{2001, 11, 30}, 3), (Date{2002, 2, 28}));
    EXPECT_EQ(core::addDays(Date{2001, 12, 31}, 1), (Date{2002, 1, 1}));
    EXPECT_EQ(core::daysBetween(Date{2003, 3, 1}, Date{2004, 3, 1}), 366);
    EXPECT_EQ(core::daysBetween(Date{2002, 1, 1}, Date{2001, 1, 1}), -365);
    for (std::int64_t n : {-800000, -1, 0, 1, 11323, 47482}) {
        EXPECT_EQ(core::toDayNumber(core::fromDayNumber(n)), n);
    }
}

TEST(Calendar, NegativeDayNumbersAndTheCenturyRule) {
    // 1970 back to 1900: 70 years of which 17 (1904 to 1968) are leap years; 1900 is not one.
    EXPECT_EQ(core::toDayNumber(Date{1900, 1, 1}), -(70 * 365 + 17));
    EXPECT_EQ(core::toDayNumber(Date{1900, 3, 1}), -(70 * 365 + 17) + 31 + 28);
    EXPECT_EQ(core::fromDayNumber(-1), (Date{1969, 12, 31}));
    EXPECT_EQ(core::isoWeekday(Date{1969, 12, 31}), 3); // the day before a Thursday
    EXPECT_EQ(core::isoWeekday(Date{2000, 2, 29}), 2);  // 1 January 2000 was a Saturday
    EXPECT_EQ(core::addDays(Date{2000, 2, 28}, 1), (Date{2000, 2, 29}));
    EXPECT_EQ(core::addDays(Date{2100, 2, 28}, 1), (Date{2100, 3, 1}));
    EXPECT_EQ(core::addMonthsClamped(Date{2002, 1, 31}, -2), (Date{2001, 11, 30}));
    EXPECT_EQ(core::addMonthsClamped(Date{2004, 2, 29}, -48), (Date{2000, 2, 29}));
    EXPECT_EQ(core::addMonthsClamped(Date{2096, 2, 29}, 48), (Date{2100, 2, 28}));
}

TEST(Calendar, AnyThreeNumbersAreSafe) {
    // A month number is never cut down to a byte: 257 is no January.
    EXPECT_EQ(core::daysInMonth(2001, 0), 0);
    EXPECT_EQ(core::daysInMonth(2001, 13), 0);
    EXPECT_EQ(core::daysInMonth(2001, 257), 0);
    EXPECT_FALSE((Date{2001, 257, 1}).isValid());
    EXPECT_FALSE((Date{2001, 1, 257}).isValid());
    EXPECT_FALSE((Date{2001, 1, 0}).isValid());
    // 2^31 is divisible by 4 but not by 100.
    EXPECT_TRUE(core::isLeapYear(-2147483647 - 1));
    EXPECT_FALSE(core::isLeapYear(-1900));
    // 400 years are 146097 days; far beyond the years the standard library counts, too.
    EXPECT_EQ(core::toDayNumber(Date{2370, 1, 1}), 146097);
    EXPECT_EQ(core::toDayNumber(Date{401970, 1, 1}), 146097000);
    EXPECT_EQ(core::fromDayNumber(-146097000), (Date{-398030, 1, 1}));
    EXPECT_EQ(core::isoWeekday(Date{401970, 1, 1}), 4);
    EXPECT_EQ(core::addMonthsClamped(Date{401970, 1, 31}, -11), (Date{401969, 2, 28}));
}

TEST(SwedishDates, LongDateAndCaption) {
    EXPECT_EQ(core::longDateText(Date{2001, 12, 1}), "lördag 1 dec 2001");
    EXPECT_EQ(core::longDateText(Date{2026, 12, 6}), "söndag 6 dec 2026");
    EXPECT_EQ(core::longDateText(Date{2004, 5, 19}), "onsdag 19 maj 2004");
    EXPECT_EQ(core::monthYearCaption(Date{2001, 12, 1}), "December 2001");
    EXPECT_EQ(core::monthNameLower(13), "");
}

TEST(DateFields, DayListFollowsTheMonthText) {
    EXPECT_EQ(core::daysOfListMonth("00", "02"), 29);
    EXPECT_EQ(core::daysOfListMonth("01", "02"), 28);
    EXPECT_EQ(core::daysOfListMonth("01", "12"), 31);
    EXPECT_EQ(core::daysOfListMonth("01", "1"), 30); // not a two-digit month text
    const auto entries = core::dayListEntries(29);
    ASSERT_EQ(entries.size(), 29u);
    EXPECT_EQ(entries[8], "09");
}

TEST(DateFields, DateOfTheListTexts) {
    EXPECT_EQ(core::dateOfTexts("04", "02", "29"), (core::Date{2004, 2, 29}));
    EXPECT_FALSE(core::dateOfTexts("01", "02", "29").has_value());
    EXPECT_FALSE(core::dateOfTexts("01", "", "05").has_value());
}
