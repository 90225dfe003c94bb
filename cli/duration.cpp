#include "cli/duration.h"

#include "core/iso_date.h"
#include "core/texts.h"

#include <string_view>
#include <vector>

namespace cli {

namespace {

// Numbers longer than this are refused as too large before they are converted.
constexpr std::size_t kLongestNumber = 12;

Duration fault(DurationFault why) {
    return {0, why};
}

// "H:MM" or "H:MM:SS".
Duration colonForm(std::string_view text) {
    const std::vector<std::string_view> fields = core::splitText(text, ':');
    if (fields.size() > 3) {
        return fault(DurationFault::NotADuration);
    }
    std::int64_t seconds = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!core::allDigits(fields[i]) || (i > 0 && fields[i].size() != 2)) {
            return fault(DurationFault::NotADuration);
        }
        const auto value = core::digitsNumber(fields[i], kLongestNumber);
        if (!value) {
            return fault(DurationFault::TooLong);
        }
        if (i > 0 && *value >= 60) {
            return fault(DurationFault::Impossible);
        }
        seconds = seconds * 60 + *value;
    }
    // H:MM is hours and minutes: the seconds are none.
    return {fields.size() == 2 ? seconds * 60 : seconds, DurationFault::None};
}

// Numbers with the units h, m and s, in that order, each at most once.
Duration unitForm(std::string_view text) {
    constexpr std::string_view kUnits = "hms";
    constexpr std::int64_t kFactors[] = {3600, 60, 1};
    std::int64_t seconds = 0;
    std::size_t nextUnit = 0; // units before this one are used
    std::size_t at = 0;
    const auto skipBlanks = [&] {
        while (at < text.size() && text[at] == ' ') {
            ++at;
        }
    };
    while (at < text.size()) {
        const std::size_t start = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            ++at;
        }
        const std::string_view digits = text.substr(start, at - start);
        skipBlanks();
        const char letter = at < text.size() ? text[at] : '\0';
        const std::size_t unit = kUnits.find(
            letter >= 'A' && letter <= 'Z' ? static_cast<char>(letter - 'A' + 'a') : letter);
        if (digits.empty() || letter == '\0' || unit == std::string_view::npos || unit < nextUnit) {
            return fault(DurationFault::NotADuration);
        }
        const auto value = core::digitsNumber(digits, kLongestNumber);
        if (!value) {
            return fault(DurationFault::TooLong);
        }
        seconds += *value * kFactors[unit];
        nextUnit = unit + 1;
        ++at;
        skipBlanks();
    }
    return {seconds, DurationFault::None};
}

} // namespace

Duration parseDuration(std::string_view text) {
    text = core::trimBlanks(text);
    if (text.starts_with('-')) {
        return fault(DurationFault::Negative);
    }
    if (core::allDigits(text)) {
        return fault(DurationFault::BareNumber);
    }
    if (text.find(':') != std::string_view::npos) {
        return colonForm(text);
    }
    return text.empty() ? fault(DurationFault::NotADuration) : unitForm(text);
}

} // namespace cli
