#include "core/time_fields.h"

#include "core/date_fields.h"
#include "core/texts.h"

#include <algorithm>

namespace core {

bool isTimeNumber(std::string_view text) {
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    switch (text.size()) {
    case 1:
        return isDigit(text[0]);
    case 2:
        return (isDigit(text[0]) || text[0] == ' ') && isDigit(text[1]);
    default:
        return false;
    }
}

TimeTexts tidyTimeFields(const TimeTexts& fields) {
    TimeTexts result = fields;
    std::array<int, 3> values{};
    for (std::size_t i = 0; i < 3; ++i) {
        if (isTimeNumber(result[i])) {
            values[i] = *parseDigits(result[i]);
        } else {
            result[i].clear();
            values[i] = 0;
        }
    }
    for (std::size_t i = 1; i < 3; ++i) {
        if (values[i] > 59) {
            values[i] -= 60;
            result[i] = decimalText(values[i]);
            // A field holds two digits: hours stop at 99, which no day can hold anyway.
            values[i - 1] = std::min(values[i - 1] + 1, kLargestTimeNumber);
            result[i - 1] = decimalText(values[i - 1]);
        }
    }
    return result;
}

bool nothingToBook(const TimeTexts& fields) {
    for (const std::string& text : fields) {
        if (text != "" && text != "0" && text != "00") {
            return false;
        }
    }
    return true;
}

bool somethingTyped(const TimeTexts& fields) {
    for (const std::string& text : fields) {
        if (!trimBlanks(text).empty()) {
            return true;
        }
    }
    return false;
}

std::int32_t enteredSeconds(const TimeTexts& fields) {
    std::array<std::int32_t, 3> values{};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string_view text = std::string_view(fields[i]).substr(0, 2);
        values[i] = parseDigits(text).value_or(0);
    }
    return values[0] * 3600 + values[1] * 60 + values[2];
}

} // namespace core
