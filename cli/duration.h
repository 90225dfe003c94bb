#pragma once

#include <cstdint>
#include <string_view>

namespace cli {

// A duration as people write it: hours first, "H:MM" or "H:MM:SS" (1:30 is an hour and a half,
// 25:00 twenty-five hours), or numbers with units h, m and s in that order, each at most once,
// with or without blanks between them ("90m", "1h30m", "1h 5m 18s", "1 h 30 m", "45s"). Minutes
// and seconds after a colon go from 00 to 59. A bare number is no duration: it could be meant as
// seconds, minutes or hours. Plain text, never the process locale.

enum class DurationFault {
    None,
    NotADuration, // no form above
    BareNumber,   // digits alone, without unit or colon
    Negative,     // begins with a minus sign
    Impossible,   // minutes or seconds after a colon of 60 or more
    TooLong,      // a number of more than 12 digits
};

struct Duration {
    std::int64_t seconds = 0; // when the fault is None
    DurationFault fault = DurationFault::None;
};

// The duration of a text; blanks at its ends are ignored.
Duration parseDuration(std::string_view text);

} // namespace cli
