#pragma once

#include "core/date.h"
#include "core/day_record.h"
#include "platform/file_system.h"
#include "storage/booking.h"
#include "storage/month_file.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace storage {

// Bookings waiting in the data folder: a booking typed on the command line while the window held
// the data folder is written to a file of its own before it is handed to the window, so that it
// is never lost. Whoever holds the data folder next (the window when it is asked, at its start
// or at its next booking, or the command line) books the waiting entries in the order of their
// names, and never one twice:
//  1. the entry is checked as a whole (the plan must be known, every month readable, no day past
//     24 hours) and a refused entry is removed without booking any of it;
//  2. the entry is rewritten with each day's record as it stands before the booking;
//  3. each part is booked with bookTime, unless its day's record no longer is what step 2 kept
//     (then that part was booked before the program stopped);
//  4. the entry file is removed.
// A crash at any point leaves an entry that books what is left of it and nothing more. This relies
// on the data folder being held: nothing but these steps changes a month between step 2 and 4.
//
// An entry file is read as untrusted bytes: anything that is not an entry exactly as the program
// writes it is never booked; it is set aside under its name + ".skadad" and reported.
//
// It shows nothing and knows no window, socket or clock: the caller names new entries and tells
// the user.

// The extension of an entry file.
inline constexpr std::string_view kPendingExtension = ".vantande";
// The suffix added to an entry that is set aside.
inline constexpr std::string_view kSetAsideSuffix = ".skadad";
// The longest entry file that is read: an entry holds at most 32 days.
inline constexpr std::size_t kPendingMaxBytes = 4096;
inline constexpr std::size_t kPendingMaxParts = 32;

// One day's part of a waiting booking. `before` is the day's record as the file held it just
// before the part was booked, once step 2 has kept it.
struct PendingPart {
    core::Date date;
    std::int32_t seconds = 0;
    std::optional<DayBytes> before;

    bool operator==(const PendingPart&) const = default;
};

// A waiting booking: one or more parts on distinct days, in date order, booked all or none.
struct PendingEntry {
    std::vector<PendingPart> parts;

    bool operator==(const PendingEntry&) const = default;
};

// The name of a new entry: the time it was made, in nanoseconds since 1970 (20 digits), and the
// process id (10 digits), so that names sort in the order they were made. Negative values count
// as 0.
std::string pendingEntryName(std::int64_t nanoseconds, std::int64_t processId);
// Whether a name has the shape pendingEntryName gives.
bool isPendingEntryName(std::string_view name);

// The bytes of an entry file, and back. The reader accepts exactly what the writer writes: a
// header line, then one line "ÅÅÅÅ-MM-DD SEKUNDER" or "ÅÅÅÅ-MM-DD SEKUNDER FÖRE" per part, with
// real dates of 2001 to 2099 in rising order, 1 to 86400 seconds each, and FÖRE the 16 bytes of
// the record in 32 lower-case hexadecimal digits, on every part or on none. Anything else is
// nullopt.
std::string pendingEntryText(const PendingEntry& entry);
std::optional<PendingEntry> parsePendingEntry(std::span<const std::uint8_t> bytes);

// Writes a new entry file under `name` (which must be a pendingEntryName). False, writing
// nothing, when the entry is not one the reader accepts or something of that name exists.
bool addPendingEntry(platform::FileSystem& files, std::string_view name, const PendingEntry& entry);

enum class PendingOutcome {
    Booked,   // every part is booked (some possibly before the program last stopped)
    Refused,  // a day would pass 24 hours: nothing of it is booked, and the entry is removed
    SetAside, // not an entry the program wrote: never booked, renamed to name + ".skadad"
    Kept,     // it cannot be booked now (no plan, a month unusable or a write failed): it stays,
              // and so do the entries after it
};

struct PendingResult {
    std::string name;
    PendingOutcome outcome = PendingOutcome::Kept;
    PendingEntry entry; // the entry as read (empty when it was set aside)
    // Booked: the record of each part's day after booking, in the order of the parts.
    std::vector<core::DayRecord> records;
    // Booked: the last bookTime that wrote a record now (not one found booked before).
    std::optional<BookingResult> lastBooking;
    // Refused: the day that would pass 24 hours. Kept: why, as bookTime tells it.
    core::Date refusedDay;
    BookingOutcome reason = BookingOutcome::Failed;
    std::string monthFile; // Kept: the month that could not be used, if any
    MonthState monthState = MonthState::NoFile;
    bool setAsideFailed = false; // SetAside: the rename failed, so it is still there
    // Kept: its records were kept (step 2), so part of it may be booked already; it must stay
    // until the rest is.
    bool started = false;
};

// Books every waiting entry, in the order of their names, until one must be kept. Returns what
// became of each entry looked at; empty when there are none or the folder cannot be listed.
std::vector<PendingResult> bookPendingEntries(platform::FileSystem& files,
                                              std::int32_t dailyAllowance);

} // namespace storage
