#pragma once

#include "core/date.h"

#include <optional>
#include <string>
#include <string_view>

namespace core {

// Dates as the command line, the exports and the journal of waiting bookings write them:
// "ÅÅÅÅ-MM-DD" and "ÅÅÅÅ-MM", with digits only. Plain text, never through the process locale.

// "2001-12-05". The year is written with four digits, the month and day with two.
std::string isoDateText(const Date& date);
// "2001-12".
std::string isoMonthText(int year, int month);

// The three numbers of a text that has exactly the shape ÅÅÅÅ-MM-DD; nullopt for any other
// shape. The date may still not be real: isValid() tells.
std::optional<Date> isoDateShape(std::string_view text);
// The year and month (day 1) of a text that has exactly the shape ÅÅÅÅ-MM; nullopt for any
// other shape. The month may still not be real.
std::optional<Date> isoMonthShape(std::string_view text);

// Whether a text is one or more ASCII digits and nothing else.
bool allDigits(std::string_view text);

} // namespace core
