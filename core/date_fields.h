#pragma once

#include "core/date.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// Rules for the three two-character date texts that the date lists hold: yy (the year 2000 + yy),
// mm and dd. Pure functions of the texts.

// "01" ... "09", "10", ...: a number of 1 to 99 with two digits.
std::string twoDigits(int number);

// A text of one or more digits, optionally with blanks around them, as a number; nullopt for
// anything else (a sign, letters, an empty text) or a number above 999999999.
std::optional<int> parseDigits(std::string_view text);

// How many days the day list offers for a year and month text: 31 for "01", "03", "05", "07",
// "08", "10", "12"; for "02" 29 when the year text's number is divisible by 4, else 28; 30 for
// any other month text.
int daysOfListMonth(std::string_view yearText, std::string_view monthText);

// The day list's entries for a month of `days` days: "01" ... "28"/"29"/"30"/"31".
std::vector<std::string> dayListEntries(int days);

// The date the three texts denote ("20" + yy, mm, dd); nullopt when a text is not a number or the
// date does not exist.
std::optional<Date> dateOfTexts(std::string_view yearText, std::string_view monthText,
                                std::string_view dayText);

// The two-digit texts of a date of 2001 to 2099.
struct DateTexts {
    std::string year;
    std::string month;
    std::string day;
};
DateTexts textsOfDate(const Date& date);

} // namespace core
