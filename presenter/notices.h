#pragma once

#include "core/day_record.h"
#include "core/plan_schedule.h"
#include "platform/file_system.h"
#include "platform/notifier.h"
#include "storage/journal.h"

#include <cstdint>
#include <vector>

namespace presenter {

// The desktop's word before extra time starts: after a booking, whether the day passed its
// prepaid time or has less than ten minutes of it left (core/allowance_notice.h), told through
// the notifier when the notice setting (storage/notice_settings.h, read afresh each time) is on.
// It books nothing and shows no window; a notice that cannot be shown is dropped.

// One booking that took a day from `before` to `after`.
void noticeBooking(platform::Notifier& notifier, platform::FileSystem& files,
                   const core::DayRecord& before, const core::DayRecord& after,
                   std::int32_t dailyAllowance);

// The parts of journal entries booked now (storage::Journal).
void noticeWaiting(platform::Notifier& notifier, platform::FileSystem& files,
                   const std::vector<storage::EntryResult>& results, std::int32_t dailyAllowance);
// The same, each day with the plan in force in its month.
void noticeWaiting(platform::Notifier& notifier, platform::FileSystem& files,
                   const std::vector<storage::EntryResult>& results,
                   const core::PlanSchedule& plans);

} // namespace presenter
