#include "storage/booking.h"

#include "core/booking.h"
#include "storage/month_file.h"

namespace storage {

void sweepBackups(platform::FileSystem& files) {
    files.removeByExtension(".tmp");
}

BookingResult bookTime(platform::FileSystem& files, const BookingRequest& request) {
    sweepBackups(files);

    BookingResult result;
    result.entryFile = monthFileName(request.yearText, request.monthText);
    result.entryBackup = monthBackupName(request.yearText, request.monthText);
    if (request.day < 1 || request.day > kDaysInLongestMonth) {
        return result;
    }

    files.createIfMissing(result.entryFile);
    const auto before = readDay(files, result.entryFile, request.day);
    if (!before) {
        return result;
    }

    const auto after = core::bookOnDay(*before, request.seconds, request.dailyAllowance,
                                       static_cast<std::int16_t>(request.day));
    if (!after) {
        result.outcome = BookingOutcome::DayFull;
        return result;
    }

    const bool undoCopy = files.copyFile(result.entryFile, result.entryBackup);
    if (!writeDay(files, result.entryFile, request.day, *after)) {
        if (undoCopy) {
            files.removeFile(result.entryBackup);
        }
        return result;
    }
    result.record = *after;
    result.outcome = undoCopy ? BookingOutcome::Booked : BookingOutcome::BookedWithoutUndo;
    return result;
}

} // namespace storage
