#include "storage/month_file.h"

#include "core/date_fields.h"
#include "core/texts.h"
#include "storage/little_endian.h"

#include <algorithm>

namespace storage {

DayBytes encodeDayRecord(const core::DayRecord& day) {
    DayBytes bytes{};
    writeFloat32(bytes.data(), day.extraCost);
    writeInt32(bytes.data() + 4, day.connectedSeconds);
    writeInt32(bytes.data() + 8, day.extraSeconds);
    writeInt16(bytes.data() + 12, day.dayNumber);
    writeInt16(bytes.data() + 14, day.overAllowance);
    return bytes;
}

core::DayRecord decodeDayRecord(std::span<const std::uint8_t, kDayRecordLength> bytes) {
    core::DayRecord day;
    day.extraCost = readFloat32(bytes.data());
    day.connectedSeconds = readInt32(bytes.data() + 4);
    day.extraSeconds = readInt32(bytes.data() + 8);
    day.dayNumber = readInt16(bytes.data() + 12);
    day.overAllowance = readInt16(bytes.data() + 14);
    return day;
}

MonthDays decodeMonth(std::span<const std::uint8_t> fileBytes) {
    MonthDays days{};
    for (std::size_t index = 0; index < days.size(); ++index) {
        const std::size_t offset = index * kDayRecordLength;
        if (offset >= fileBytes.size()) {
            break;
        }
        DayBytes record{};
        for (std::size_t k = 0; k < kDayRecordLength && offset + k < fileBytes.size(); ++k) {
            record[k] = fileBytes[offset + k];
        }
        days[index] = decodeDayRecord(record);
    }
    return days;
}

namespace {

std::string stemOf(std::string_view yearText, std::string_view monthText) {
    std::string stem;
    for (const char c : yearText) {
        if (c != ' ') {
            stem += c;
        }
    }
    for (const char c : monthText) {
        if (c != ' ') {
            stem += c;
        }
    }
    return stem;
}

} // namespace

std::string monthFileName(std::string_view yearText, std::string_view monthText) {
    return core::fixedWidth(stemOf(yearText, monthText) + ".tid", 8);
}

std::string monthBackupName(std::string_view yearText, std::string_view monthText) {
    return core::fixedWidth(stemOf(yearText, monthText) + ".tmp", 8);
}

std::string monthFileName(const core::Date& date) {
    return monthFileName(core::twoDigits(date.year % 100), core::twoDigits(date.month));
}

std::string monthBackupName(const core::Date& date) {
    return monthBackupName(core::twoDigits(date.year % 100), core::twoDigits(date.month));
}

namespace {

// One byte more than the longest month file: a read that gets it has found a damaged file.
constexpr std::size_t kMonthReadBytes = kMonthFileMaxBytes + 1;

// Why a month's file could not be read: missing, damaged or unreadable.
MonthState stateOfFailedRead(platform::FileSystem& files, std::string_view name) {
    const auto kind = files.entryKind(name);
    if (!kind) {
        return MonthState::Unreadable;
    }
    switch (*kind) {
    case platform::FileSystem::EntryKind::Missing:
        return MonthState::NoFile;
    case platform::FileSystem::EntryKind::Other:
        return MonthState::Damaged;
    case platform::FileSystem::EntryKind::RegularFile:
        break;
    }
    return MonthState::Unreadable;
}

// The bytes of a month file, at most 31 records: empty when the file is missing; nullopt when it
// cannot be read or is damaged, with the reason in state.
std::optional<std::vector<std::uint8_t>>
readBoundedMonth(platform::FileSystem& files, std::string_view name, MonthState& state) {
    auto bytes = files.readFile(name, kMonthReadBytes);
    if (!bytes) {
        state = stateOfFailedRead(files, name);
        if (state == MonthState::NoFile) {
            return std::vector<std::uint8_t>{};
        }
        return std::nullopt;
    }
    if (bytes->size() > kMonthFileMaxBytes) {
        state = MonthState::Damaged;
        return std::nullopt;
    }
    state = bytes->empty() ? MonthState::Empty : MonthState::HasRecords;
    return bytes;
}

} // namespace

MonthState monthState(platform::FileSystem& files, std::string_view name) {
    if (const auto length = files.fileLength(name)) {
        if (*length > static_cast<std::int64_t>(kMonthFileMaxBytes)) {
            return MonthState::Damaged;
        }
        return *length == 0 ? MonthState::Empty : MonthState::HasRecords;
    }
    return stateOfFailedRead(files, name);
}

MonthRead readMonth(platform::FileSystem& files, std::string_view name) {
    MonthRead result;
    // The read itself tells a month with records from an empty or a damaged one. Only when it
    // fails is the file's state asked for, to tell a missing or empty file from one that cannot
    // be read; a look-up before every read would cost as much as the read.
    const auto bytes = files.readFile(name, kMonthReadBytes);
    if (!bytes) {
        result.error = files.lastError();
        const MonthState state = monthState(files, name);
        result.state = state == MonthState::HasRecords ? MonthState::Unreadable : state;
        return result;
    }
    if (bytes->size() > kMonthFileMaxBytes) {
        result.state = MonthState::Damaged;
        return result;
    }
    if (bytes->empty()) {
        result.state = MonthState::Empty;
        return result;
    }
    result.state = MonthState::HasRecords;
    result.days = decodeMonth(*bytes);
    result.recordCount =
        std::min(result.days.size(), (bytes->size() + kDayRecordLength - 1) / kDayRecordLength);
    return result;
}

MonthBytes readMonthBytes(platform::FileSystem& files, std::string_view name) {
    MonthBytes month;
    auto bytes = files.readFile(name, kMonthReadBytes);
    if (!bytes) {
        month.error = files.lastError();
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
    month.bytes = std::move(*bytes);
    return month;
}

std::optional<core::DayRecord> readDay(platform::FileSystem& files, std::string_view name,
                                       int day) {
    if (day < 1 || day > kDaysInLongestMonth) {
        return std::nullopt;
    }
    // The whole month in one bounded read, so that a damaged file is told from a month file; a
    // read of one record could not see that the file is too long.
    MonthState state = MonthState::NoFile;
    const auto bytes = readBoundedMonth(files, name, state);
    if (!bytes || state == MonthState::NoFile) {
        return std::nullopt;
    }
    return decodeMonth(*bytes)[static_cast<std::size_t>(day - 1)];
}

bool writeDay(platform::FileSystem& files, std::string_view name, int day,
              const core::DayRecord& record) {
    if (day < 1 || day > kDaysInLongestMonth) {
        return false;
    }
    MonthState state = MonthState::NoFile;
    auto content = readBoundedMonth(files, name, state);
    if (!content) {
        return false;
    }
    // The file is as long as its highest record: it grows to the end of this day, with zero
    // bytes in any gap, and is never shortened.
    const std::size_t start = static_cast<std::size_t>(day - 1) * kDayRecordLength;
    if (content->size() < start + kDayRecordLength) {
        content->resize(start + kDayRecordLength, 0);
    }
    const DayBytes bytes = encodeDayRecord(record);
    std::copy(bytes.begin(), bytes.end(), content->begin() + static_cast<std::ptrdiff_t>(start));
    return files.replaceFile(name, *content);
}

} // namespace storage
