#include "core/date.h"

namespace core {

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    switch (month) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
        return 31;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 2:
        return isLeapYear(year) ? 29 : 28;
    default:
        return 0;
    }
}

bool Date::isValid() const {
    return day >= 1 && day <= daysInMonth(year, month);
}

// Howard Hinnant's days-from-civil algorithm.
std::int64_t toDayNumber(const Date& date) {
    const std::int64_t y = static_cast<std::int64_t>(date.year) - (date.month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t m = date.month;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Date fromDayNumber(std::int64_t dayNumber) {
    const std::int64_t z = dayNumber + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp + (mp < 10 ? 3 : -9);
    const std::int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    return Date{static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
}

Date addDays(const Date& date, std::int64_t days) {
    return fromDayNumber(toDayNumber(date) + days);
}

Date addMonthsClamped(const Date& date, int months) {
    const std::int64_t index =
        static_cast<std::int64_t>(date.year) * 12 + (date.month - 1) + months;
    const std::int64_t year = index >= 0 ? index / 12 : (index - 11) / 12;
    const int month = static_cast<int>(index - year * 12) + 1;
    const int last = daysInMonth(static_cast<int>(year), month);
    return Date{static_cast<int>(year), month, date.day > last ? last : date.day};
}

std::int64_t daysBetween(const Date& from, const Date& to) {
    return toDayNumber(to) - toDayNumber(from);
}

int isoWeekday(const Date& date) {
    // 1 January 1970 was a Thursday (4).
    const std::int64_t n = toDayNumber(date);
    const std::int64_t wd = ((n % 7) + 7 + 3) % 7; // 0 = Monday
    return static_cast<int>(wd) + 1;
}

} // namespace core
