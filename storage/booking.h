#pragma once

#include "core/day_record.h"
#include "platform/file_system.h"
#include "storage/month_file.h"

#include <cstdint>
#include <string>

namespace storage {

struct EntryResult;

struct BookingRequest {
    std::string yearText;  // two-digit year of the chosen date
    std::string monthText; // two-digit month
    int day = 0;           // day of the month, 1 to 31
    std::int32_t seconds = 0;
    std::int32_t dailyAllowance = 0;
};

enum class BookingOutcome {
    Booked,            // the record is written and the undo copy holds the month as it was
    BookedWithoutUndo, // the record is written, but the undo copy could not be made
    DayFull,           // the day would pass 24 hours: no file touched
    NoPlan,            // the allowance is no plan's, so extra time cannot be told: no file touched
    Failed,            // the month file could not be read or is damaged, or it could not be
                       // written: every file is as it was
};

struct BookingResult {
    BookingOutcome outcome = BookingOutcome::Failed;
    std::string entryFile;   // the month file booked on, "0112.tid"
    std::string entryBackup; // its undo copy, "0112.tmp"
    core::DayRecord record;  // the day as written (Booked, BookedWithoutUndo)
    core::DayRecord before;  // the day as it was before (Booked, BookedWithoutUndo)
    // What the month file was found to be; with Failed it tells why (Unreadable or Damaged), or
    // HasRecords/Empty/NoFile when the file was read but could not be written.
    MonthState monthState = MonthState::NoFile;
    int error = 0; // Failed: the system's error number, when the system gave one

    bool written() const {
        return outcome == BookingOutcome::Booked || outcome == BookingOutcome::BookedWithoutUndo;
    }
};

// Books seconds on one day: an entry of one part through the journal's steps (storage/journal.h),
// held in memory. The month is read once and everything is decided from that read; a refusal
// touches no file. The new month is written whole to a new file, flushed and renamed over the
// month file, and the folder flushed; only then are the "*.tmp" copies of earlier steps swept and
// the undo copy (a hard link to the month as it was, or a copy of its bytes where the file system
// has no links; an empty file for a month's first booking) put in place. A booking that fails
// leaves every file as it was. It shows nothing and touches no window; the caller reports the
// outcome.
BookingResult bookTime(platform::FileSystem& files, const BookingRequest& request);

// The result of a journal entry of one day, as a booking's result.
BookingResult bookingResultOf(const EntryResult& result);

// Deletes every "*.tmp" file in the data folder: the undo copy and the restore copies.
void sweepBackups(platform::FileSystem& files);

} // namespace storage
