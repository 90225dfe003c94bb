#include "core/date.h"
#include "core/date_fields.h"
#include "core/swedish.h"

#include <gtest/gtest.h>

using core::Date;

TEST(Calendar, LeapYearsAndMonthLengths) {
    EXPECT_TRUE(core::isLeapYear(2004));
    EXPECT_FALSE(core::isLeapYear(2001));
    EXPECT_TRUE(core::isLeapYear(2000));
    EXPECT_FALSE(core::isLeapYear(2100));
    EXPECT_EQ(core::daysInMonth(2004, 2), 29);
    EXPECT_EQ(core::daysInMonth(2001, 2), 28);
    for (int month : {4, 6, 9, 11}) {
        EXPECT_EQ(core::daysInMonth(2001, month), 30) << month;
    }
    for (int month : {1, 3, 5, 7, 8, 10, 12}) {
        EXPECT_EQ(core::daysInMonth(2001, month), 31) << month;
    }
    EXPECT_EQ(core::daysInMonth(2001, 13), 0);
    EXPECT_FALSE((Date{2001, 2, 29}).isValid());
    EXPECT_TRUE((Date{2004, 2, 29}).isValid());
    EXPECT_FALSE((Date{2001, 4, 31}).isValid());
}

TEST(Calendar, ArithmeticAcrossMonthsAndYears) {
    EXPECT_EQ(core::addMonthsClamped(Date{2001, 5, 31}, -3), (Date{2001, 2, 28}));
    EXPECT_EQ(core::addMonthsClamped(Date{2004, 5, 31}, -3), (Date{2004, 2, 29}));
    EXPECT_EQ(core::addMonthsClamped(Date{2002, 1, 15}, -3), (Date{2001, 10, 15}));
    EXPECT_EQ(core::addMonthsClamped(Date{2001, 11, 30}, 3), (Date{2002, 2, 28}));
    EXPECT_EQ(core::addDays(Date{2001, 2, 28}, 1), (Date{2001, 3, 1}));
    EXPECT_EQ(core::addDays(Date{2001, 12, 31}, 1), (Date{2002, 1, 1}));
    EXPECT_EQ(core::daysBetween(Date{2001, 1, 1}, Date{2002, 1, 1}), 365);
    EXPECT_EQ(core::daysBetween(Date{2003, 3, 1}, Date{2004, 3, 1}), 366);
    EXPECT_EQ(core::daysBetween(Date{2002, 1, 1}, Date{2001, 1, 1}), -365);
    for (std::int64_t n : {-800000, -1, 0, 1, 11323, 47482}) {
        EXPECT_EQ(core::toDayNumber(core::fromDayNumber(n)), n);
    }
}

TEST(SwedishDates, LongDateAndCaption) {
    EXPECT_EQ(core::longDateText(Date{2001, 12, 1}), "lördag 1 dec 2001");
    EXPECT_EQ(core::longDateText(Date{2026, 12, 6}), "söndag 6 dec 2026");
    EXPECT_EQ(core::longDateText(Date{2001, 1, 1}), "måndag 1 jan 2001");
    EXPECT_EQ(core::longDateText(Date{2004, 5, 19}), "onsdag 19 maj 2004");
    EXPECT_EQ(core::monthYearCaption(Date{2001, 12, 1}), "December 2001");
    EXPECT_EQ(core::monthNameLower(3), "mars");
    EXPECT_EQ(core::monthNameLower(13), "");
    EXPECT_EQ(core::monthAbbreviation(10), "okt");
}

TEST(DateFields, DayListFollowsMonthAndLeapRule) {
    EXPECT_EQ(core::daysOfListMonth("04", "02"), 29);
    EXPECT_EQ(core::daysOfListMonth("01", "02"), 28);
    EXPECT_EQ(core::daysOfListMonth("00", "02"), 29);
    for (const char* month : {"04", "06", "09", "11"}) {
        EXPECT_EQ(core::daysOfListMonth("01", month), 30) << month;
    }
    EXPECT_EQ(core::daysOfListMonth("01", "12"), 31);
    EXPECT_EQ(core::daysOfListMonth("01", "1"), 30); // not a two-digit month text
    EXPECT_EQ(core::daysOfListMonth("01", ""), 30);
    const auto entries = core::dayListEntries(29);
    ASSERT_EQ(entries.size(), 29u);
    EXPECT_EQ(entries.front(), "01");
    EXPECT_EQ(entries[8], "09");
    EXPECT_EQ(entries.back(), "29");
}

TEST(DateFields, ShownDateTextAndItsLengthRule) {
    const std::string valid = core::shownDateText("01", "12", "01");
    EXPECT_EQ(valid, "Nu visas lördag 1 dec 2001");
    const std::string invalid = core::shownDateText("01", "02", "30");
    EXPECT_EQ(invalid, "Nu visas 2001,02,30");
    EXPECT_LT(invalid.size(), 20u);
    EXPECT_TRUE(core::dateOfTexts("04", "02", "29").has_value());
    EXPECT_FALSE(core::dateOfTexts("01", "02", "29").has_value());
    EXPECT_FALSE(core::dateOfTexts("01", "", "05").has_value());
}

TEST(DateFields, MonthCaptionAndShownDay) {
    const auto caption = core::monthCaptionOf("01", "12", "05");
    ASSERT_TRUE(caption);
    EXPECT_EQ(caption->monthCaption, "December 2001");
    EXPECT_EQ(caption->shownDay, "05");
    EXPECT_EQ(core::monthCaptionOf("1", "03", "")->monthCaption, "Mars 2001");
    EXPECT_EQ(core::monthCaptionOf("1", "03", "")->shownDay, "  ");
    EXPECT_EQ(core::monthCaptionOf("01", "13", "01")->monthCaption, "13 2001");
    EXPECT_FALSE(core::monthCaptionOf("01", "", "01").has_value());
}
