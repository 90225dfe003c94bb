#pragma once

#include "core/day_record.h"
#include "platform/file_system.h"
#include "storage/month_file.h"

#include <cstdint>
#include <string>

namespace storage {

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
    Failed,            // the month file could not be read (no file touched) or written: the month
                       // is as it was and no undo copy is left, unless its removal failed too, in
                       // which case it holds the month as it was; the older "*.tmp" copies are
                       // gone when the write was tried
};

struct BookingResult {
    BookingOutcome outcome = BookingOutcome::Failed;
    std::string entryFile;   // the month file booked on, "0112.tid"
    std::string entryBackup; // its undo copy, "0112.tmp"
    core::DayRecord record;  // the day as written (Booked, BookedWithoutUndo)
    core::DayRecord before;  // the day as it was before (Booked, BookedWithoutUndo, DayFull)
    // What the month file was found to be; with Failed it tells why (Unreadable or Damaged), or
    // HasRecords/Empty/NoFile when the file was read but could not be written.
    MonthState monthState = MonthState::NoFile;

    bool written() const {
        return outcome == BookingOutcome::Booked || outcome == BookingOutcome::BookedWithoutUndo;
    }
};

// Books seconds on a day of a month file:
//  1. refuses, touching no file, when the allowance is not a plan's, when the month file is there
//     but cannot be read or is damaged, or when the day's total would pass 24 hours; the month is
//     read once, and everything is decided from that read;
//  2. works out the extra time and its charge (core::bookOnDay);
//  3. deletes every "*.tmp" file: the previous undo copy and any restore copies end here;
//  4. makes the undo copy: a hard link of the month file under the copy's name, or, where the
//     file system allows none, a copy of the bytes read; an empty file for a month's first
//     booking;
//  5. writes the new month whole to a new file, flushes it and renames it over the month file;
//  6. flushes the folder once, which makes steps 3 to 5 durable together.
// That is one data flush and one folder flush a booking (two data flushes where the undo copy has
// to be copied). A crash at any point leaves the month file as it was or as booked, never torn,
// and an undo copy made in step 4 holds the month as it was. A month file that exists but cannot
// be read is never written over. It shows nothing and touches no window; the caller reports the
// outcome.
BookingResult bookTime(platform::FileSystem& files, const BookingRequest& request);

// Deletes every "*.tmp" file in the data folder: the undo copy and the restore copies.
void sweepBackups(platform::FileSystem& files);

} // namespace storage
