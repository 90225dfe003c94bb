#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace core {

// Rules for the three time fields: hours (0), minutes (1), seconds (2). Pure functions of the
// fields' texts; they do not touch any control.
using TimeTexts = std::array<std::string, 3>;

// A time field holds a number when it is one to five digits, optionally with blanks around
// them, of at most 32767. A sign, a decimal point, letters or a larger value are not numbers.
bool isTimeNumber(std::string_view text);

// Tidies the fields: a field that is not a number becomes empty (and counts as 0); then minutes,
// then seconds, above 59 lose 60 once and carry 1 into the next larger field, both written back as
// plain digits. Each field carries at most once per call.
TimeTexts tidyTimeFields(const TimeTexts& fields);

// True when each field is exactly "", "0" or "00": nothing to book.
bool nothingToBook(const TimeTexts& fields);

// True when at least one field, blanks removed, is not empty.
bool somethingTyped(const TimeTexts& fields);

// The seconds a booking adds: of each field only the first two characters count, an empty or
// non-numeric text counting as 0; hours × 3600 + minutes × 60 + seconds.
std::int32_t enteredSeconds(const TimeTexts& fields);

} // namespace core
