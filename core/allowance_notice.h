// The word the program gives when a booking brings a day near or past its prepaid time: whether a
// booking calls for one, and its Swedish title and text. A pure function of the day's record
// before and after the booking and the plan's daily allowance. It does not show anything, read
// any setting (whether notices are on is the storage layer's) or know how a notice reaches the
// desktop (platform/notifier.h).
#pragma once

#include "core/day_record.h"

#include <cstdint>
#include <optional>
#include <string>

namespace core {

// A day's remaining prepaid time under this many seconds is "soon used up".
inline constexpr std::int32_t kAllowanceWarningSeconds = 600;

struct AllowanceNotice {
    std::string title; // UTF-8
    std::string body;  // UTF-8

    bool operator==(const AllowanceNotice&) const = default;
};

// The notice for a booking that took a day from `before` to `after`, under a plan of
// `dailyAllowance` prepaid seconds a day:
// - the booking takes the day past its prepaid time (before <= allowance < after): extra time
//   has started, with the charge and the day's extra time so far;
// - otherwise, the remaining prepaid time falls from 10 minutes or more to under 10 minutes
//   (0 included): the time left.
// nullopt for any other booking, for an allowance that is no plan's, and for records that no
// booking gives: connected or extra seconds below 0 or above a day, or fewer connected seconds
// after the booking than before it.
std::optional<AllowanceNotice> allowanceNotice(const DayRecord& before, const DayRecord& after,
                                               std::int32_t dailyAllowance);

} // namespace core
