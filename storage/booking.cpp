#include "storage/booking.h"

#include "core/booking.h"
#include "core/plan.h"
#include "storage/month_file.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace storage {

namespace {

using FolderFlush = platform::FileSystem::FolderFlush;

// One bounded read of a month file: its state as readMonth tells it, its days, and the bytes
// themselves, from which the new month is made. The bytes are empty for a missing month, and
// meaningless when the state is Unreadable or Damaged.
struct MonthBytes {
    MonthState state = MonthState::NoFile;
    MonthDays days{};
    std::vector<std::uint8_t> bytes;
};

MonthBytes readMonthBytes(platform::FileSystem& files, const std::string& name) {
    MonthBytes month;
    auto bytes = files.readFile(name, kMonthFileMaxBytes + 1);
    if (!bytes) {
        // Only a failed read asks for the file's state, as readMonth does: a regular file that
        // has bytes but could not be read is unreadable.
        const MonthState state = monthState(files, name);
        month.state = state == MonthState::HasRecords ? MonthState::Unreadable : state;
        return month;
    }
    if (bytes->size() > kMonthFileMaxBytes) {
        month.state = MonthState::Damaged;
        return month;
    }
    month.state = bytes->empty() ? MonthState::Empty : MonthState::HasRecords;
    month.days = decodeMonth(*bytes);
    month.bytes = std::move(*bytes);
    return month;
}

// The month's bytes with one day's record written: the file grows to the end of that day, with
// zero bytes in any gap, and is never shortened; every other byte stays as it was.
std::vector<std::uint8_t> withDay(std::vector<std::uint8_t> bytes, int day,
                                  const core::DayRecord& record) {
    const std::size_t start = static_cast<std::size_t>(day - 1) * kDayRecordLength;
    if (bytes.size() < start + kDayRecordLength) {
        bytes.resize(start + kDayRecordLength, 0);
    }
    const DayBytes encoded = encodeDayRecord(record);
    std::copy(encoded.begin(), encoded.end(), bytes.begin() + static_cast<std::ptrdiff_t>(start));
    return bytes;
}

} // namespace

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
    const MonthBytes month = readMonthBytes(files, result.entryFile);
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
    // Every name change from here on is made durable by the one folder flush at the end.
    files.removeByExtension(".tmp", FolderFlush::Deferred);

    // The undo copy holds the month as it was. Those bytes are on disk already, so the month file
    // is given the copy's name as a second name instead of being copied; where the file system
    // has no hard links (or the name is still taken) the bytes read are written instead. A
    // month's first booking has an empty undo copy, which needs no data flush.
    bool undoCopy = false;
    if (month.state == MonthState::NoFile) {
        undoCopy = files.createIfMissing(result.entryBackup, FolderFlush::Deferred);
    } else {
        undoCopy = files.linkFile(result.entryFile, result.entryBackup) ==
                       platform::FileSystem::LinkResult::Linked ||
                   files.replaceFile(result.entryBackup, month.bytes, FolderFlush::Deferred);
    }

    // The new month goes to a new file, which is flushed and renamed over the month file: the
    // booking's one data flush. It must never be written in place: while the undo copy is a
    // second name of the month file, a write in place would change the undo copy too.
    if (!files.replaceFile(result.entryFile, withDay(month.bytes, request.day, *after),
                           FolderFlush::Deferred)) {
        // The month is as it was. A failed booking leaves no undo copy (its removal flushes the
        // folder); should the removal fail too, the copy stays, holding the month as it was.
        if (!undoCopy || !files.removeFile(result.entryBackup)) {
            files.syncFolder();
        }
        return result;
    }
    // The sweep, the undo copy's name and the new month's name, durable together. A folder that
    // cannot be flushed does not undo what is done, so the booking is reported all the same.
    files.syncFolder();
    result.record = *after;
    result.outcome = undoCopy ? BookingOutcome::Booked : BookingOutcome::BookedWithoutUndo;
    return result;
}

} // namespace storage
