#pragma once

#include <compare>
#include <cstdint>

namespace core {

// A calendar date of the proleptic Gregorian calendar. It holds any three numbers; isValid()
// tells whether they form a real date. Calendar arithmetic expects valid dates.
struct Date {
    int year = 2001;
    int month = 1;
    int day = 1;

    auto operator<=>(const Date&) const = default;
    bool isValid() const;
};

bool isLeapYear(int year);

// Days of a month (28 to 31); 0 for a month number outside 1..12.
int daysInMonth(int year, int month);

// Days since 1 January 1970 (negative before it).
std::int64_t toDayNumber(const Date& date);
Date fromDayNumber(std::int64_t dayNumber);

Date addDays(const Date& date, std::int64_t days);

// Moves by whole calendar months; the day is clamped to the last day of the month reached.
Date addMonthsClamped(const Date& date, int months);

// Whole days from `from` to `to`: negative when `to` is earlier.
std::int64_t daysBetween(const Date& from, const Date& to);

// Monday = 1 ... Sunday = 7.
int isoWeekday(const Date& date);

} // namespace core
