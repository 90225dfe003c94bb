#pragma once

#include "platform/file_system.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace storage {

// The copies that make undo, redo and the restores possible, and the operations on them. Every
// operation leaves each file either as it was or in its new state: where a step fails, the steps
// already done are reversed, and the caller is told. None of them asks the user anything or
// touches a window.

inline constexpr std::string_view kSwapFile = "temp.tmp";     // only during a swap
inline constexpr std::string_view kNewMonthFile = "post.tmp"; // left by older versions
inline constexpr std::string_view kDayBackup = "post2.tmp";   // the month before a day deletion
inline constexpr std::string_view kMonthBackup = "mon.tmp";   // a deleted month

struct SwapResult {
    bool swapped = false;
    std::int64_t backupLength = 0; // the undo copy's length before the swap
};

// Undo and redo: exchanges a month file and its undo copy, so that each holds what the other
// held. The copy must exist and "temp.tmp" must not; otherwise nothing is touched. A month file
// that is gone counts as an empty one (the range window removes empty month files): the copy
// then takes the month's name and an empty copy is left in its place. The exchange is one atomic
// step where the file system allows it; elsewhere the contents go round through "temp.tmp", so
// that neither name is ever missing and no crash can lose the booking.
SwapResult swapWithBackup(platform::FileSystem& files, std::string_view monthFile,
                          std::string_view backupFile);

enum class DayDeletion {
    Deleted,  // the day is gone; "post2.tmp" holds the month as it was
    NoRecord, // the month or the day has no record: nothing changed
    Failed,   // a file could not be read or written: nothing changed
};

// Deletes one day (1 to 31) of a month file: the other days with connected time keep their
// record numbers, and the file ends with the highest of them (it is empty when none is left).
// The month as it was is kept in "post2.tmp" first, so that a crash at any point leaves the month
// file either as it was or without the day, with its copy complete.
DayDeletion deleteDay(platform::FileSystem& files, std::string_view monthFile, int day);

enum class DayRestore {
    Restored,
    BackupMissing,  // "post2.tmp" is gone
    BackupUnusable, // "post2.tmp" is there but cannot be read, or is damaged
    MonthChanged,   // the month is no longer what the deletion left: it is not written over
    Failed,         // the month file could not be written
};
// Puts back the month from "post2.tmp" over the month file and deletes the copy, but only while
// the month file holds exactly what deleting `day` from that copy left (a month file that is gone
// counts as an empty one). Anything else changes nothing.
DayRestore restoreDay(platform::FileSystem& files, std::string_view monthFile, int day);

// Moves a month file to "mon.tmp". False, changing nothing, when it cannot be moved.
bool deleteMonth(platform::FileSystem& files, std::string_view monthFile);

enum class MonthRestore {
    Restored,
    BackupMissing,  // "mon.tmp" is gone
    BackupUnusable, // "mon.tmp" is there but is no month file that can be read
    MonthExists,    // the month has a file again: it is not overwritten
    Failed,
};
// Moves "mon.tmp" back to the month file's name, never over an existing file.
MonthRestore restoreMonth(platform::FileSystem& files, std::string_view monthFile);

// Deletes every month file, every backup, the settings file and the history of plans. Returns the
// names of those that are left (that could not be deleted, or are folders, which are never
// deleted); nullopt when the data folder could not be listed, so that what is left cannot be told.
std::optional<std::vector<std::string>> deleteEverything(platform::FileSystem& files);

} // namespace storage
