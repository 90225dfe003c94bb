#include "storage/backups.h"

#include "storage/month_file.h"
#include "storage/plan_history.h"
#include "storage/settings_file.h"

#include <vector>

namespace storage {

namespace {

bool isMonthFile(MonthState state) {
    return state == MonthState::Empty || state == MonthState::HasRecords;
}

// What deleting a day leaves of a month: the other days with connected time, each at its own
// record number; the content ends with the highest of them, and is empty when none is left.
std::vector<std::uint8_t> monthWithoutDay(const MonthDays& days, int day) {
    std::vector<std::uint8_t> content;
    for (int number = 1; number <= kDaysInLongestMonth; ++number) {
        const core::DayRecord& record = days[static_cast<std::size_t>(number - 1)];
        if (number == day || record.connectedSeconds == 0) {
            continue;
        }
        content.resize(static_cast<std::size_t>(number) * kDayRecordLength, 0);
        const DayBytes bytes = encodeDayRecord(record);
        std::copy(bytes.begin(), bytes.end(),
                  content.begin() + static_cast<std::ptrdiff_t>(
                                        static_cast<std::size_t>(number - 1) * kDayRecordLength));
    }
    return content;
}

} // namespace

SwapResult swapWithBackup(platform::FileSystem& files, std::string_view monthFile,
                          std::string_view backupFile) {
    SwapResult result;
    const MonthState month = monthState(files, monthFile);
    if (!isMonthFile(monthState(files, backupFile)) ||
        (!isMonthFile(month) && month != MonthState::NoFile) || files.exists(kSwapFile) != false) {
        return result;
    }
    const auto backupLength = files.fileLength(backupFile);
    if (!backupLength) {
        return result;
    }
    result.backupLength = *backupLength;

    if (month == MonthState::NoFile) {
        // Nothing booked in the month, and no file to show it: the copy becomes the month, and
        // an empty copy stands for the month without it.
        if (!files.renameFile(backupFile, monthFile)) {
            return result;
        }
        // Without its empty copy the step could not be taken back, so it is taken back at once;
        // only when even that fails does it stand, the booking in the month and no copy.
        result.swapped =
            files.createIfMissing(backupFile) || !files.renameFile(monthFile, backupFile);
        return result;
    }

    switch (files.exchangeFiles(monthFile, backupFile)) {
    case platform::FileSystem::ExchangeResult::Exchanged:
        result.swapped = true;
        return result;
    case platform::FileSystem::ExchangeResult::Failed:
        return result;
    case platform::FileSystem::ExchangeResult::Unsupported:
        break;
    }

    // Without an atomic exchange the contents go round through "temp.tmp" by copies, each of
    // which replaces its file atomically: the month file and the copy always exist, and at every
    // moment one of the files holds the booking being swapped.
    if (!files.copyFile(backupFile, kSwapFile, kMonthFileMaxBytes)) {
        files.removeFile(kSwapFile);
        return result;
    }
    if (!files.copyFile(monthFile, backupFile, kMonthFileMaxBytes)) {
        files.removeFile(kSwapFile);
        return result;
    }
    if (!files.copyFile(kSwapFile, monthFile, kMonthFileMaxBytes)) {
        // Put the copy back as it was.
        if (files.copyFile(kSwapFile, backupFile, kMonthFileMaxBytes)) {
            files.removeFile(kSwapFile);
        }
        return result;
    }
    files.removeFile(kSwapFile);
    result.swapped = true;
    return result;
}

DayDeletion deleteDay(platform::FileSystem& files, std::string_view monthFile, int day) {
    if (day < 1 || day > kDaysInLongestMonth) {
        return DayDeletion::NoRecord;
    }
    const MonthRead month = readMonth(files, monthFile);
    if (month.state != MonthState::NoFile && !isMonthFile(month.state)) {
        return DayDeletion::Failed;
    }
    if (!month.hasRecords() ||
        month.days[static_cast<std::size_t>(day - 1)].connectedSeconds == 0) {
        return DayDeletion::NoRecord;
    }
    // A copy left by an interrupted run of an older version would otherwise be taken for the
    // new month.
    files.removeFile(kNewMonthFile);

    if (!files.copyFile(monthFile, kDayBackup, kMonthFileMaxBytes)) {
        return DayDeletion::Failed;
    }
    if (!files.replaceFile(monthFile, monthWithoutDay(month.days, day))) {
        files.removeFile(kDayBackup);
        return DayDeletion::Failed;
    }
    return DayDeletion::Deleted;
}

DayRestore restoreDay(platform::FileSystem& files, std::string_view monthFile, int day) {
    const MonthRead backup = readMonth(files, kDayBackup);
    if (backup.state == MonthState::NoFile) {
        return DayRestore::BackupMissing;
    }
    if (!isMonthFile(backup.state) || day < 1 || day > kDaysInLongestMonth) {
        return DayRestore::BackupUnusable;
    }
    // The month must hold exactly what the deletion left of the copy, or it has changed since.
    const auto current = files.readFile(monthFile, kMonthFileMaxBytes + 1);
    const bool gone = !current && files.exists(monthFile) == false;
    if (!gone && (!current || *current != monthWithoutDay(backup.days, day))) {
        return DayRestore::MonthChanged;
    }
    if (!files.copyFile(kDayBackup, monthFile, kMonthFileMaxBytes)) {
        return DayRestore::Failed;
    }
    files.removeFile(kDayBackup);
    return DayRestore::Restored;
}

bool deleteMonth(platform::FileSystem& files, std::string_view monthFile) {
    return files.renameFile(monthFile, kMonthBackup);
}

MonthRestore restoreMonth(platform::FileSystem& files, std::string_view monthFile) {
    const MonthState backup = monthState(files, kMonthBackup);
    if (backup == MonthState::NoFile) {
        return MonthRestore::BackupMissing;
    }
    if (!isMonthFile(backup)) {
        return MonthRestore::BackupUnusable;
    }
    if (files.exists(monthFile) != false) {
        return MonthRestore::MonthExists;
    }
    return files.renameFile(kMonthBackup, monthFile) ? MonthRestore::Restored
                                                     : MonthRestore::Failed;
}

std::optional<std::vector<std::string>> deleteEverything(platform::FileSystem& files) {
    files.removeByExtension(".tid", platform::FileSystem::FolderFlush::Deferred);
    files.removeByExtension(".tmp", platform::FileSystem::FolderFlush::Deferred);
    files.removeFile(kSettingsFileName, platform::FileSystem::FolderFlush::Deferred);
    files.removeFile(kPlanHistoryFileName, platform::FileSystem::FolderFlush::Deferred);
    files.syncFolder();
    // What is left is named from a listing of its own, so that nothing left goes untold.
    const auto names = files.listNames();
    if (!names) {
        return std::nullopt;
    }
    std::vector<std::string> left;
    for (const std::string& name : *names) {
        if ((name.size() > 4 && (name.ends_with(".tid") || name.ends_with(".tmp"))) ||
            name == kSettingsFileName || name == kPlanHistoryFileName) {
            left.push_back(name);
        }
    }
    return left;
}

} // namespace storage
