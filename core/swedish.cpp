#include "core/swedish.h"

#include "core/texts.h"

#include <array>

namespace core {

namespace {

constexpr std::array<std::string_view, 12> kMonthNames = {
    "Januari", "Februari", "Mars",      "April",   "Maj",      "Juni",
    "Juli",    "Augusti",  "September", "Oktober", "November", "December"};
constexpr std::array<std::string_view, 12> kMonthNamesLower = {
    "januari", "februari", "mars",      "april",   "maj",      "juni",
    "juli",    "augusti",  "september", "oktober", "november", "december"};
constexpr std::array<std::string_view, 12> kMonthAbbreviations = {
    "jan", "feb", "mar", "apr", "maj", "jun", "jul", "aug", "sep", "okt", "nov", "dec"};
constexpr std::array<std::string_view, 7> kWeekdays = {"måndag", "tisdag", "onsdag", "torsdag",
                                                       "fredag", "lördag", "söndag"};

template <std::size_t N>
std::string_view pick(const std::array<std::string_view, N>& table, int number) {
    if (number < 1 || number > static_cast<int>(N)) {
        return {};
    }
    return table[static_cast<std::size_t>(number - 1)];
}

} // namespace

std::string_view monthName(int month) {
    return pick(kMonthNames, month);
}

std::string_view monthNameLower(int month) {
    return pick(kMonthNamesLower, month);
}

std::string_view monthAbbreviation(int month) {
    return pick(kMonthAbbreviations, month);
}

std::string_view weekdayName(int isoWeekday) {
    return pick(kWeekdays, isoWeekday);
}

std::string longDateText(const Date& date) {
    std::string text(weekdayName(isoWeekday(date)));
    text += ' ';
    text += decimalText(date.day);
    text += ' ';
    text += monthAbbreviation(date.month);
    text += ' ';
    text += decimalText(date.year);
    return text;
}

std::string monthYearCaption(const Date& date) {
    std::string text(monthName(date.month));
    text += ' ';
    text += decimalText(date.year);
    return text;
}

} // namespace core
