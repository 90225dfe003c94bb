#include "core/iso_date.h"

#include <algorithm>
#include <limits>

namespace core {

namespace {

std::string padded(int value, std::size_t width) {
    std::string digits;
    for (int rest = value < 0 ? 0 : value; rest > 0; rest /= 10) {
        digits.insert(digits.begin(), static_cast<char>('0' + rest % 10));
    }
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), '0');
    }
    return digits;
}

int digitsValue(std::string_view text) {
    return static_cast<int>(digitsNumber(text, 4).value_or(0));
}

} // namespace

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<std::int64_t> digitsNumber(std::string_view text, std::size_t longest) {
    if (!allDigits(text) || text.size() > longest) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        if (value > (std::numeric_limits<std::int64_t>::max() - 9) / 10) {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

std::vector<std::string_view> splitText(std::string_view text, char separator) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        fields.push_back(text.substr(start, end - start));
        if (end == std::string_view::npos) {
            return fields;
        }
        start = end + 1;
    }
}

std::string isoDateText(const Date& date) {
    return isoMonthText(date.year, date.month) + "-" + padded(date.day, 2);
}

std::string isoMonthText(int year, int month) {
    return padded(year, 4) + "-" + padded(month, 2);
}

std::optional<Date> isoMonthShape(std::string_view text) {
    if (text.size() != 7 || text[4] != '-' || !allDigits(text.substr(0, 4)) ||
        !allDigits(text.substr(5, 2))) {
        return std::nullopt;
    }
    return Date{digitsValue(text.substr(0, 4)), digitsValue(text.substr(5, 2)), 1};
}

std::optional<Date> isoDateShape(std::string_view text) {
    if (text.size() != 10 || text[7] != '-' || !allDigits(text.substr(8, 2))) {
        return std::nullopt;
    }
    auto date = isoMonthShape(text.substr(0, 7));
    if (date) {
        date->day = digitsValue(text.substr(8, 2));
    }
    return date;
}

} // namespace core
