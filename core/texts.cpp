#include "core/texts.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace core {

std::string decimalText(std::int64_t number) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    return std::string(digits, end);
}

std::string durationText(std::int64_t seconds) {
    const std::int64_t hours = seconds / 3600;
    seconds -= hours * 3600;
    const std::int64_t minutes = seconds / 60;
    seconds -= minutes * 60;

    std::string text;
    const auto part = [&text](std::int64_t value, const char* unit) {
        if (value != 0) {
            text += decimalText(value);
            text += unit;
        }
    };
    part(hours, " h ");
    part(minutes, " m ");
    part(seconds, " s ");
    return text;
}

namespace {

// Adds one to a string of decimal digits, growing it on the left when it carries out.
void incrementDigits(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it == '9') {
            *it = '0';
        } else {
            ++*it;
            return;
        }
    }
    digits.insert(digits.begin(), '1');
}

} // namespace

std::string amountText(float kronor, AmountPattern pattern) {
    if (!std::isfinite(kronor)) {
        return "?";
    }
    // The digits of "%.7g", written without the process locale (whose decimal separator may be a
    // comma): the shortest form with at most seven significant digits, in the "C" spelling.
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(kronor),
                                       std::chars_format::general, 7);
    if (written.ec != std::errc()) {
        return "?";
    }
    std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));

    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }

    // Split the shortest form into its significant digits and the position of the decimal point.
    std::string digits;
    int pointPosition = 0; // digits before the decimal point
    bool seenPoint = false;
    std::size_t i = 0;
    for (; i < text.size() && text[i] != 'e' && text[i] != 'E'; ++i) {
        if (text[i] == '.') {
            seenPoint = true;
        } else {
            digits += text[i];
            if (!seenPoint) {
                ++pointPosition;
            }
        }
    }
    if (i < text.size()) {
        // The exponent: "e+10" or "e-05"; from_chars takes no '+'.
        std::string_view exponentText = text.substr(i + 1);
        if (!exponentText.empty() && exponentText.front() == '+') {
            exponentText.remove_prefix(1);
        }
        int exponent = 0;
        const auto parsed = std::from_chars(exponentText.data(),
                                            exponentText.data() + exponentText.size(), exponent);
        if (parsed.ec != std::errc() || parsed.ptr != exponentText.data() + exponentText.size()) {
            return "?";
        }
        pointPosition += exponent;
    }

    // Fixed notation: integer digits and all fraction digits.
    std::string integerPart;
    std::string fraction;
    if (pointPosition <= 0) {
        integerPart = "0";
        fraction = std::string(static_cast<std::size_t>(-pointPosition), '0') + digits;
    } else if (static_cast<std::size_t>(pointPosition) >= digits.size()) {
        integerPart =
            digits + std::string(static_cast<std::size_t>(pointPosition) - digits.size(), '0');
    } else {
        integerPart = digits.substr(0, static_cast<std::size_t>(pointPosition));
        fraction = digits.substr(static_cast<std::size_t>(pointPosition));
    }

    // Round half-up (away from zero) to two decimals.
    const bool roundUp = fraction.size() > 2 && fraction[2] >= '5';
    fraction.resize(2, '0');
    if (roundUp) {
        std::string all = integerPart + fraction;
        incrementDigits(all);
        integerPart = all.substr(0, all.size() - 2);
        fraction = all.substr(all.size() - 2);
    }

    // Leading zeros beyond the pattern's minimum go; the minimum is filled in.
    const std::size_t minimum = pattern == AmountPattern::TwoIntegerDigits ? 2 : 1;
    const std::size_t firstNonZero = integerPart.find_first_not_of('0');
    integerPart = firstNonZero == std::string::npos ? "" : integerPart.substr(firstNonZero);
    if (integerPart.size() < minimum) {
        integerPart.insert(0, minimum - integerPart.size(), '0');
    }

    const bool isZero = integerPart.find_first_not_of('0') == std::string::npos &&
                        fraction.find_first_not_of('0') == std::string::npos;
    std::string result;
    if (negative && !isZero) {
        result += '-';
    }
    result += integerPart;
    result += ',';
    result += fraction;
    return result;
}

std::string amountTextOfOre(float ore, AmountPattern pattern) {
    const float kronor = ore / 100.0f;
    return amountText(kronor, pattern);
}

std::string fixedWidth(std::string_view text, std::size_t width) {
    std::string result;
    std::size_t characters = 0;
    std::size_t i = 0;
    while (i < text.size() && characters < width) {
        std::size_t length = 1;
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead >= 0xF0) {
            length = 4;
        } else if (lead >= 0xE0) {
            length = 3;
        } else if (lead >= 0xC0) {
            length = 2;
        }
        result += text.substr(i, length);
        i += length;
        ++characters;
    }
    result.append(width - characters, ' ');
    return result;
}

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

} // namespace core
