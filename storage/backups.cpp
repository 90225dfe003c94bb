#include "storage/backups.h"

#include "storage/month_file.h"
#include "storage/settings_file.h"

#include <vector>

namespace storage {

SwapResult swapWithBackup(platform::FileSystem& files, std::string_view monthFile,
                          std::string_view backupFile) {
    SwapResult result;
    const auto backupLength = files.fileLength(backupFile);
    if (!backupLength || !files.fileLength(monthFile) || files.fileLength(kSwapFile)) {
        return result;
    }
    result.backupLength = *backupLength;

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
    if (!files.copyFile(backupFile, kSwapFile)) {
        files.removeFile(kSwapFile);
        return result;
    }
    if (!files.copyFile(monthFile, backupFile)) {
        files.removeFile(kSwapFile);
        return result;
    }
    if (!files.copyFile(kSwapFile, monthFile)) {
        // Put the copy back as it was.
        if (files.copyFile(kSwapFile, backupFile)) {
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
    // A copy left by an interrupted run of an older version would otherwise be taken for the
    // new month.
    files.removeFile(kNewMonthFile);

    const MonthRead month = readMonth(files, monthFile);
    if (month.state == MonthState::Unreadable) {
        return DayDeletion::Failed;
    }
    if (!month.hasRecords() ||
        month.days[static_cast<std::size_t>(day - 1)].connectedSeconds == 0) {
        return DayDeletion::NoRecord;
    }

    std::vector<std::uint8_t> content;
    for (int number = 1; number <= kDaysInLongestMonth; ++number) {
        const core::DayRecord& record = month.days[static_cast<std::size_t>(number - 1)];
        if (number == day || record.connectedSeconds == 0) {
            continue;
        }
        content.resize(static_cast<std::size_t>(number) * kDayRecordLength, 0);
        const DayBytes bytes = encodeDayRecord(record);
        std::copy(bytes.begin(), bytes.end(),
                  content.begin() + static_cast<std::ptrdiff_t>((number - 1) * kDayRecordLength));
    }

    if (!files.copyFile(monthFile, kDayBackup)) {
        return DayDeletion::Failed;
    }
    if (!files.replaceFile(monthFile, content)) {
        files.removeFile(kDayBackup);
        return DayDeletion::Failed;
    }
    return DayDeletion::Deleted;
}

bool restoreDay(platform::FileSystem& files, std::string_view monthFile) {
    if (!files.fileLength(kDayBackup)) {
        return false;
    }
    if (!files.copyFile(kDayBackup, monthFile)) {
        return false;
    }
    files.removeFile(kDayBackup);
    return true;
}

bool deleteMonth(platform::FileSystem& files, std::string_view monthFile) {
    return files.renameFile(monthFile, kMonthBackup);
}

MonthRestore restoreMonth(platform::FileSystem& files, std::string_view monthFile) {
    if (!files.fileLength(kMonthBackup)) {
        return MonthRestore::BackupMissing;
    }
    if (files.fileLength(monthFile)) {
        return MonthRestore::MonthExists;
    }
    return files.renameFile(kMonthBackup, monthFile) ? MonthRestore::Restored
                                                     : MonthRestore::Failed;
}

void deleteEverything(platform::FileSystem& files) {
    files.removeByExtension(".tid");
    files.removeByExtension(".tmp");
    files.removeFile(kSettingsFileName);
}

} // namespace storage
