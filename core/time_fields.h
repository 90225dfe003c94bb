#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace core {

// Rules for the three time fields: hours (0), minutes (1), seconds (2). Pure functions of the
// fields' texts; they do not touch any control.
using TimeTexts = std::array<std::string, 3>;

// A time field holds at most two characters, the two that a booking reads.
inline constexpr std::size_t kTimeFieldLength = 2;
inline constexpr int kLargestTimeNumber = 99;

// A time field holds a number when it is one or two digits, optionally with a blank before them
// (" 7"). A sign, a decimal point, letters, a blank after the digits or a third character are not
// numbers.
bool isTimeNumber(std::string_view text);

// Tidies the fields: a field that is not a number becomes empty (and counts as 0); then minutes,
// then seconds, above 59 lose 60 once and carry 1 into the next larger field, both written back as
// plain digits. Each field carries at most once per call; hours carried into stop at 99.
TimeTexts tidyTimeFields(const TimeTexts& fields);

// True when each field is exactly "", "0" or "00": nothing to book.
bool nothingToBook(const TimeTexts& fields);

// True when at least one field, blanks removed, is not empty.
bool somethingTyped(const TimeTexts& fields);

// The seconds a booking adds: of each field only the first two characters count, an empty or
// non-numeric text counting as 0; hours × 3600 + minutes × 60 + seconds.
std::int32_t enteredSeconds(const TimeTexts& fields);

} // namespace core
