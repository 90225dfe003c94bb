#pragma once

#include "core/date.h"
#include "core/day_record.h"
#include "platform/file_system.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace storage {

// Month files: one file per calendar month, named yy + mm + ".tid" ("0112.tid" for December
// 2001), made of 16-byte day records with no header; record n (from 1) holds day n.
//
// Record layout, little-endian: extraCost float32 at 0, connectedSeconds int32 at 4,
// extraSeconds int32 at 8, dayNumber int16 at 12, overAllowance int16 at 14.

inline constexpr std::size_t kDayRecordLength = 16;
inline constexpr int kDaysInLongestMonth = 31;
inline constexpr std::size_t kMonthFileMaxBytes = kDayRecordLength * kDaysInLongestMonth;

using DayBytes = std::array<std::uint8_t, kDayRecordLength>;
using MonthDays = std::array<core::DayRecord, kDaysInLongestMonth>; // day n at index n - 1

DayBytes encodeDayRecord(const core::DayRecord& day);
core::DayRecord decodeDayRecord(std::span<const std::uint8_t, kDayRecordLength> bytes);

// Records 1 to 31 of a file's bytes: a record cut short reads with its missing bytes as zero, and
// records past the end read as empty records.
MonthDays decodeMonth(std::span<const std::uint8_t> fileBytes);

// The name of a month file: year text + month text + ".tid", as exactly 8 characters. Blanks in
// the two texts are dropped first.
std::string monthFileName(std::string_view yearText, std::string_view monthText);
// The name of its undo copy: the same stem with ".tmp".
std::string monthBackupName(std::string_view yearText, std::string_view monthText);
// The month file and the undo copy of a date's month: "0112.tid" and "0112.tmp" for any day of
// December 2001. The year is taken modulo 100.
std::string monthFileName(const core::Date& date);
std::string monthBackupName(const core::Date& date);

enum class MonthState {
    NoFile,     // nothing booked in the month
    Empty,      // the file exists with length 0: nothing booked either
    HasRecords, // length 1 to 496; single days may still be empty
    Unreadable, // a regular file that could not be read (permissions, a disk error), or the
                // folder could not be asked
    Damaged,    // longer than 31 records, or no regular file (a symbolic link, a folder): not a
                // month file the program wrote; never written over, and not to be copied or
                // swapped by any caller
};

// Whether a month in this state can be shown, written or copied: not Unreadable or Damaged.
constexpr bool usable(MonthState state) {
    return state != MonthState::Unreadable && state != MonthState::Damaged;
}

struct MonthRead {
    MonthState state = MonthState::NoFile;
    MonthDays days{};
    // How many records the file holds, a record cut short counted as one; at most 31.
    std::size_t recordCount = 0;
    int error = 0; // Unreadable: the system's error number of the failed read, when it gave one
    // True when the month holds records as the program counts them: a file longer than 0 bytes.
    bool hasRecords() const { return state == MonthState::HasRecords; }
    bool usable() const { return storage::usable(state); }
    // Records 1 to the last record the file holds.
    std::span<const core::DayRecord> records() const { return {days.data(), recordCount}; }
};

// What state a month is in, from its file's kind and length alone. Never reads or creates the
// file.
MonthState monthState(platform::FileSystem& files, std::string_view name);

// Reads a whole month with a single read of at most one byte more than 31 records; the file's
// state (monthState) is asked for only when that read fails. Never creates the file. A damaged
// month reads as no records.
MonthRead readMonth(platform::FileSystem& files, std::string_view name);

// One bounded read of a month file for a booking: its state as readMonth tells it, and the bytes
// themselves, from which the new month is made. The bytes are empty for a missing month and
// meaningless when the state is Unreadable or Damaged; `error` is the system's error number of a
// read that failed (0 otherwise).
struct MonthBytes {
    MonthState state = MonthState::NoFile;
    std::vector<std::uint8_t> bytes;
    int error = 0;

    bool usable() const { return storage::usable(state); }
    MonthDays days() const { return decodeMonth(bytes); }
};
MonthBytes readMonthBytes(platform::FileSystem& files, std::string_view name);

// The record of one day (1 to 31); nullopt when the file is missing, cannot be read or is
// damaged. A record beyond the end of the file reads as the empty record.
std::optional<core::DayRecord> readDay(platform::FileSystem& files, std::string_view name, int day);

// Writes the record of one day (1 to 31), growing the file with empty records when it is shorter:
// the file is read (at most one byte more than 31 records), changed and replaced atomically. A
// missing file counts as empty. False, changing nothing, when the file cannot be read or is
// damaged.
bool writeDay(platform::FileSystem& files, std::string_view name, int day,
              const core::DayRecord& record);

} // namespace storage
