#include "presenter/notices.h"

#include "core/allowance_notice.h"
#include "storage/month_file.h"
#include "storage/notice_settings.h"

namespace presenter {

namespace {

bool noticesOn(platform::FileSystem& files) {
    return storage::NoticeSettings(files).load().on;
}

} // namespace

void noticeBooking(platform::Notifier& notifier, platform::FileSystem& files,
                   const core::DayRecord& before, const core::DayRecord& after,
                   std::int32_t dailyAllowance) {
    const auto notice = core::allowanceNotice(before, after, dailyAllowance);
    if (notice && noticesOn(files)) {
        notifier.notify(notice->title, notice->body);
    }
}

void noticeWaiting(platform::Notifier& notifier, platform::FileSystem& files,
                   const std::vector<storage::EntryResult>& results, std::int32_t dailyAllowance) {
    noticeWaiting(notifier, files, results, core::PlanSchedule(dailyAllowance));
}

void noticeWaiting(platform::Notifier& notifier, platform::FileSystem& files,
                   const std::vector<storage::EntryResult>& results,
                   const core::PlanSchedule& plans) {
    for (const storage::EntryResult& result : results) {
        // A booking found made before a stop was told then, if at all.
        if (result.outcome != storage::EntryOutcome::Booked || result.bookedBefore) {
            continue;
        }
        for (std::size_t i = 0;
             i < result.before.size() && i < result.records.size() && i < result.entry.parts.size();
             ++i) {
            const core::Date& day = result.entry.parts[i].date;
            noticeBooking(notifier, files, result.before[i], result.records[i],
                          plans.allowanceFor(day.year, day.month));
        }
    }
}

} // namespace presenter
