#include "storage/range_totals.h"

#include "core/plan.h"
#include "storage/month_file.h"

namespace storage {

std::optional<core::RangeTotals> sumRange(platform::FileSystem& files, const core::Date& from,
                                          const core::Date& to, std::int32_t dailyAllowance,
                                          EmptyMonthFiles empty) {
    return sumRange(files, from, to, core::PlanSchedule(dailyAllowance), empty);
}

std::optional<core::RangeTotals> sumRange(platform::FileSystem& files, const core::Date& from,
                                          const core::Date& to, const core::PlanSchedule& plans,
                                          EmptyMonthFiles empty) {
    const std::vector<core::RangeMonth> walk = core::rangeWalk(from, to);
    if (walk.empty()) {
        return std::nullopt;
    }
    core::RangeTotals totals;
    for (const core::RangeMonth& month : walk) {
        const std::string name = monthFileName(core::Date{month.year, month.month, 1});
        const MonthRead read = readMonth(files, name);
        if (read.state == MonthState::Empty) {
            if (empty == EmptyMonthFiles::Delete) {
                files.removeFile(name);
            }
            continue;
        }
        if (!read.usable()) {
            totals.unreadableFiles.push_back(name);
            continue;
        }
        if (!read.hasRecords()) {
            continue;
        }
        for (int day = month.firstDay; day <= month.lastDay; ++day) {
            const core::DayRecord& record = read.days[static_cast<std::size_t>(day - 1)];
            core::addDay(totals.sums, record);
            // The same days addDay adds: those with connected seconds.
            if (record.connectedSeconds != 0) {
                totals.dayConnectedSeconds.push_back(record.connectedSeconds);
            }
        }
    }
    totals.monthBoundaries = core::monthBoundaries(from, to);
    totals.feeKronor = core::feeForAllowance(plans.allowanceFor(to.year, to.month));
    // Every boundary enters a month of the walk after the first: its own fee.
    for (std::size_t i = 1; i < walk.size(); ++i) {
        totals.feesKronor += core::feeForAllowance(plans.allowanceFor(walk[i].year, walk[i].month));
    }
    return totals;
}

} // namespace storage
