#pragma once

#include "core/date.h"

#include <string>
#include <string_view>

namespace core {

// Swedish names of weekdays and months and the date texts built from them. The program is
// Swedish whatever the system's locale, so these tables are its own.

// "Januari" ... "December" for 1..12; empty for any other number.
std::string_view monthName(int month);
// "januari" ... "december" for 1..12; empty for any other number.
std::string_view monthNameLower(int month);
// "jan", "feb", ... "dec" (no trailing period) for 1..12; empty for any other number.
std::string_view monthAbbreviation(int month);
// "måndag" ... "söndag" for ISO weekdays 1..7; empty for any other number.
std::string_view weekdayName(int isoWeekday);

// The long date "dddd d mmm yyyy": "lördag 1 dec 2001".
std::string longDateText(const Date& date);

// The caption "mmmm yyyy" in proper case: "December 2001".
std::string monthYearCaption(const Date& date);

} // namespace core
