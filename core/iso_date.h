#pragma once

#include "core/date.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// The value of a text of 1 to `longest` ASCII digits (leading zeros allowed); nullopt for any
// other text, and for a value too large for 64 bits.
std::optional<std::int64_t> digitsNumber(std::string_view text, std::size_t longest);

// The text cut at every `separator` into its fields, empty ones included: "1:30" gives "1" and
// "30", ":" two empty fields, "" one. The fields point into `text`.
std::vector<std::string_view> splitText(std::string_view text, char separator);

} // namespace core
