#include "storage/booking.h"

#include "core/date_fields.h"
#include "storage/journal.h"

namespace storage {

void sweepBackups(platform::FileSystem& files) {
    files.removeByExtension(".tmp");
}

BookingResult bookingResultOf(const EntryResult& entry) {
    BookingResult result;
    result.entryFile = entry.entryFile;
    result.entryBackup = entry.entryBackup;
    result.monthState = entry.monthState;
    result.error = entry.error;
    if (!entry.before.empty()) {
        result.before = entry.before.back();
        result.record = entry.records.back();
    }
    switch (entry.outcome) {
    case EntryOutcome::Booked:
        result.outcome =
            entry.undoCopy ? BookingOutcome::Booked : BookingOutcome::BookedWithoutUndo;
        break;
    case EntryOutcome::Refused:
        result.outcome = BookingOutcome::DayFull;
        break;
    case EntryOutcome::NoPlan:
        result.outcome = BookingOutcome::NoPlan;
        break;
    case EntryOutcome::Failed:
    case EntryOutcome::SetAside:
    case EntryOutcome::Kept:
        result.outcome = BookingOutcome::Failed;
        break;
    }
    return result;
}

BookingResult bookTime(platform::FileSystem& files, const BookingRequest& request) {
    const auto year = core::parseDigits(request.yearText);
    const auto month = core::parseDigits(request.monthText);
    BookingResult result;
    result.entryFile = monthFileName(request.yearText, request.monthText);
    result.entryBackup = monthBackupName(request.yearText, request.monthText);
    if (!year || !month) {
        return result;
    }
    const core::Date date{2000 + *year, *month, request.day};
    Journal journal(files, request.dailyAllowance);
    BookingResult booked =
        bookingResultOf(journal.book(PendingEntry{{{date, request.seconds, std::nullopt}}}));
    booked.entryFile = result.entryFile;
    booked.entryBackup = result.entryBackup;
    return booked;
}

} // namespace storage
