#include "core/time_fields.h"

#include "core/date_fields.h"
#include "core/texts.h"

namespace core {

bool isTimeNumber(std::string_view text) {
    const std::string_view digits = trimBlanks(text);
    if (digits.empty() || digits.size() > 5) {
        return false;
    }
    const auto value = parseDigits(digits);
    return value && *value <= 32767;
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
            result[i] = std::to_string(values[i]);
            values[i - 1] += 1;
            result[i - 1] = std::to_string(values[i - 1]);
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
