#include "core/date.h"

#include <chrono>

namespace core {

namespace {

namespace chr = std::chrono;

// std::chrono's calendar holds the years -32767 to 32767 only, while a Date holds any int. The
// Gregorian calendar repeats every 400 years, which are exactly 146097 days (a whole number of
// weeks), so every date is taken as a number of such cycles and a date of years 0 to 399 (or of
// 1970 to 2369 for day numbers), where the library does the calendar work.
constexpr std::int64_t kMonthsPerCycle = 400 * 12;
constexpr std::int64_t kDaysPerCycle = 146097;
constexpr std::int64_t kYearsPerCycle = 400;

// Division rounding towards minus infinity, for a positive divisor.
std::int64_t floorDiv(std::int64_t value, std::int64_t divisor) {
    const std::int64_t quotient = value / divisor;
    return value % divisor < 0 ? quotient - 1 : quotient;
}

// A month counted from January of year 0, as whole cycles and a month of the years 0 to 399.
// Months before January and after December carry over into the years, so any month number has
// one.
struct CycleMonth {
    std::int64_t cycles;
    chr::year_month month;
};

CycleMonth cycleMonth(std::int64_t year, std::int64_t month) {
    const std::int64_t fromYearZero = year * 12 + (month - 1);
    const std::int64_t cycles = floorDiv(fromYearZero, kMonthsPerCycle);
    return CycleMonth{cycles, chr::year{0} / chr::January +
                                  chr::months{fromYearZero - cycles * kMonthsPerCycle}};
}

int yearOf(const CycleMonth& month) {
    return static_cast<int>(static_cast<int>(month.month.year()) + month.cycles * kYearsPerCycle);
}

int lastDay(const chr::year_month& month) {
    return static_cast<int>(static_cast<unsigned>((month / chr::last).day()));
}

} // namespace

bool isLeapYear(int year) {
    return cycleMonth(year, 1).month.year().is_leap();
}

int daysInMonth(int year, int month) {
    if (month < 1 || month > 12) {
        return 0;
    }
    return lastDay(cycleMonth(year, month).month);
}

bool Date::isValid() const {
    return day >= 1 && day <= daysInMonth(year, month);
}

// The days of the month count on from its first day, so that the day numbers stay in order for
// a day past the month's end too.
std::int64_t toDayNumber(const Date& date) {
    const CycleMonth month = cycleMonth(date.year, date.month);
    const chr::sys_days first{month.month / chr::day{1}};
    return month.cycles * kDaysPerCycle + first.time_since_epoch().count() +
           (static_cast<std::int64_t>(date.day) - 1);
}

Date fromDayNumber(std::int64_t dayNumber) {
    const std::int64_t cycles = floorDiv(dayNumber, kDaysPerCycle);
    const chr::year_month_day date{chr::sys_days{chr::days{dayNumber - cycles * kDaysPerCycle}}};
    return Date{static_cast<int>(static_cast<int>(date.year()) + cycles * kYearsPerCycle),
                static_cast<int>(static_cast<unsigned>(date.month())),
                static_cast<int>(static_cast<unsigned>(date.day()))};
}

Date addDays(const Date& date, std::int64_t days) {
    return fromDayNumber(toDayNumber(date) + days);
}

Date addMonthsClamped(const Date& date, int months) {
    const CycleMonth month = cycleMonth(date.year, static_cast<std::int64_t>(date.month) + months);
    const int last = lastDay(month.month);
    return Date{yearOf(month), static_cast<int>(static_cast<unsigned>(month.month.month())),
                date.day > last ? last : date.day};
}

std::int64_t daysBetween(const Date& from, const Date& to) {
    return toDayNumber(to) - toDayNumber(from);
}

int isoWeekday(const Date& date) {
    return static_cast<int>(
        chr::weekday{chr::sys_days{chr::days{toDayNumber(date)}}}.iso_encoding());
}

} // namespace core
