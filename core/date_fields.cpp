#include "core/date_fields.h"

#include "core/texts.h"

namespace core {

std::string twoDigits(int number) {
    std::string text = decimalText(number);
    if (text.size() < 2) {
        text.insert(0, 1, '0');
    }
    return text;
}

std::optional<int> parseDigits(std::string_view text) {
    text = trimBlanks(text);
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

int daysOfListMonth(std::string_view yearText, std::string_view monthText) {
    if (monthText == "01" || monthText == "03" || monthText == "05" || monthText == "07" ||
        monthText == "08" || monthText == "10" || monthText == "12") {
        return 31;
    }
    if (monthText == "02") {
        const int year = parseDigits(yearText).value_or(-1);
        return year >= 0 && year % 4 == 0 ? 29 : 28;
    }
    return 30;
}

std::vector<std::string> dayListEntries(int days) {
    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(days > 0 ? days : 0));
    for (int day = 1; day <= days; ++day) {
        entries.push_back(twoDigits(day));
    }
    return entries;
}

std::optional<Date> dateOfTexts(std::string_view yearText, std::string_view monthText,
                                std::string_view dayText) {
    const auto year = parseDigits(yearText);
    const auto month = parseDigits(monthText);
    const auto day = parseDigits(dayText);
    if (!year || !month || !day || *year > 99) {
        return std::nullopt;
    }
    const Date date{2000 + *year, *month, *day};
    if (!date.isValid()) {
        return std::nullopt;
    }
    return date;
}

DateTexts textsOfDate(const Date& date) {
    return DateTexts{twoDigits(date.year % 100), twoDigits(date.month), twoDigits(date.day)};
}

} // namespace core
