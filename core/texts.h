#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace core {

// The text forms the program shows: durations, amounts and fixed-width texts. Pure functions;
// they do not know which label or file a text goes to.

// A whole number in plain decimal digits, with a minus sign when negative. It never asks the
// process locale.
std::string decimalText(std::int64_t number);

// Duration text: hours, minutes and seconds, each followed by " h ", " m " or " s ", a part that
// is 0 left out with its unit. 3725 gives "1 h 2 m 5 s ", 7260 gives "2 h 1 m ", 0 gives "".
std::string durationText(std::int64_t seconds);

enum class AmountPattern {
    OneIntegerDigit,  // "0.00": extra costs
    TwoIntegerDigits, // "00.00": total monthly cost
};

// Amount text of a sum in kronor: the single-precision value written with at most 7 significant
// digits, that decimal text rounded half-up to two decimals, with a decimal comma. 1.9f gives
// "1,90"; 291.5f with TwoIntegerDigits gives "291,50"; 5.0f gives "05,00". A value that is not a
// finite number gives "?".
std::string amountText(float kronor, AmountPattern pattern);

// Amount text of öre: öre ÷ 100 in single precision, then amountText.
std::string amountTextOfOre(float ore, AmountPattern pattern);

// Cuts a text on the right to `width` characters or fills it with blanks on the right. Counts
// UTF-8 characters, not bytes.
std::string fixedWidth(std::string_view text, std::size_t width);

// The text without leading and trailing blanks.
std::string_view trimBlanks(std::string_view text);

} // namespace core
