// Any text in the time and date fields, and any number as a duration or an amount: the tidying,
// the booking arithmetic and the texts must neither crash nor break their own rules.

#include "core/booking.h"
#include "core/date_fields.h"
#include "core/texts.h"
#include "core/time_fields.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 12) {
        return 0;
    }
    float amount;
    std::memcpy(&amount, data, 4);
    std::int64_t seconds;
    std::memcpy(&seconds, data + 4, 8);
    core::durationText(seconds);
    for (const auto pattern :
         {core::AmountPattern::OneIntegerDigit, core::AmountPattern::TwoIntegerDigits}) {
        const std::string text = core::amountText(amount, pattern);
        // Two decimals after a comma, unless the amount is no number at all.
        if (text != "?" && (text.size() < 4 || text[text.size() - 3] != ',')) {
            __builtin_trap();
        }
    }

    // The rest is cut into three field texts.
    const std::string rest(reinterpret_cast<const char*>(data + 12), size - 12);
    const std::size_t third = rest.size() / 3;
    const core::TimeTexts typed = {rest.substr(0, third), rest.substr(third, third),
                                   rest.substr(2 * third)};
    const core::TimeTexts tidy = core::tidyTimeFields(typed);
    for (const std::string& field : tidy) {
        if (!field.empty() && !core::isTimeNumber(field) &&
            field.find_first_not_of("0123456789") != std::string::npos) {
            __builtin_trap(); // only numbers, or the digits a carry wrote, are left
        }
    }
    const std::int32_t entered = core::enteredSeconds(tidy);
    if (entered < 0 || entered > 99 * 3600 + 99 * 60 + 99) {
        __builtin_trap();
    }
    core::DayRecord day;
    std::memcpy(&day.connectedSeconds, data + 4, 4);
    const auto booked = core::bookOnDay(day, entered, 3600, 1);
    if (booked && booked->connectedSeconds > core::kSecondsPerDay) {
        __builtin_trap();
    }
    core::dateOfTexts(typed[0], typed[1], typed[2]);
    core::daysOfListMonth(typed[0], typed[1]);
    return 0;
}
