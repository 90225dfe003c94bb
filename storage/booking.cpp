#include "storage/booking.h"

#include "core/booking.h"
#include "core/plan.h"
#include "storage/month_file.h"

namespace storage {

void sweepBackups(platform::FileSystem& files) {
    files.removeByExtension(".tmp");
}

BookingResult bookTime(platform::FileSystem& files, const BookingRequest& request) {
    BookingResult result;
    result.entryFile = monthFileName(request.yearText, request.monthText);
    result.entryBackup = monthBackupName(request.yearText, request.monthText);
    if (request.day < 1 || request.day > kDaysInLongestMonth) {
        return result;
    }
    if (!core::planForAllowance(request.dailyAllowance)) {
        result.outcome = BookingOutcome::NoPlan;
        return result;
    }

    // Everything is decided from one read of the month, before any file is touched.
    const MonthRead month = readMonth(files, result.entryFile);
    result.monthState = month.state;
    if (month.state != MonthState::NoFile && month.state != MonthState::Empty &&
        month.state != MonthState::HasRecords) {
        return result;
    }
    const core::DayRecord before = month.days[static_cast<std::size_t>(request.day - 1)];
    result.before = before;
    const auto after = core::bookOnDay(before, request.seconds, request.dailyAllowance,
                                       static_cast<std::int16_t>(request.day));
    if (!after) {
        result.outcome = BookingOutcome::DayFull;
        return result;
    }

    // The booking goes ahead: the copies of the previous booking and of any deletion end here.
    sweepBackups(files);
    // A month's first booking starts from an empty file, so that its undo copy is empty too.
    const bool undoCopy = files.createIfMissing(result.entryFile) &&
                          files.copyFile(result.entryFile, result.entryBackup, kMonthFileMaxBytes);
    if (!writeDay(files, result.entryFile, request.day, *after)) {
        // A failed booking leaves no trace: no copy, and no month file that was not there.
        if (undoCopy) {
            files.removeFile(result.entryBackup);
        }
        if (month.state == MonthState::NoFile) {
            files.removeFile(result.entryFile);
        }
        return result;
    }
    result.record = *after;
    result.outcome = undoCopy ? BookingOutcome::Booked : BookingOutcome::BookedWithoutUndo;
    return result;
}

} // namespace storage
