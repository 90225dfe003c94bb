#pragma once

#include "core/date.h"
#include "core/plan_schedule.h"
#include "core/range.h"
#include "platform/file_system.h"

#include <cstdint>
#include <optional>

namespace storage {

// Sums a FRÅN-TILL range over the month files: walks the months of the range in calendar order
// (core::rangeWalk), reads each month file once with a single read, and adds the days of its
// span (core::addDay). A month without a file adds nothing and leaves no file behind; a month
// file of length 0 met on the walk is deleted; a file that cannot be read adds nothing, is named
// in the result's unreadableFiles, and the walk goes on. The result also holds the range's month
// boundaries, the fee of the plan with this allowance, and the connected seconds of each day it
// added, in the order it read them.
//
// It never creates or writes a month file, shows nothing, and knows nothing of labels. nullopt,
// with no file touched, for a range that core::rangeWalk does not walk (a date that is not real or
// lies outside 2001-2099, FRÅN later than TILL, more than 365 days).
//
// With EmptyMonthFiles::Keep a month file of length 0 adds nothing and stays: the walk then
// changes no file at all, for callers that only look.
enum class EmptyMonthFiles { Delete, Keep };
// Each month boundary adds the fee of the month it enters, with the plan in force in it.
std::optional<core::RangeTotals> sumRange(platform::FileSystem& files, const core::Date& from,
                                          const core::Date& to, const core::PlanSchedule& plans,
                                          EmptyMonthFiles empty = EmptyMonthFiles::Delete);
std::optional<core::RangeTotals> sumRange(platform::FileSystem& files, const core::Date& from,
                                          const core::Date& to, std::int32_t dailyAllowance,
                                          EmptyMonthFiles empty = EmptyMonthFiles::Delete);

} // namespace storage
