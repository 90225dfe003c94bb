#include "storage/month_file.h"

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

MonthState monthState(platform::FileSystem& files, std::string_view name) {
    if (const auto length = files.fileLength(name)) {
        return *length == 0 ? MonthState::Empty : MonthState::HasRecords;
    }
    return files.exists(name) == false ? MonthState::NoFile : MonthState::Unreadable;
}

MonthRead readMonth(platform::FileSystem& files, std::string_view name) {
    MonthRead result;
    // The read itself tells a month with records from an empty one. Only when it fails is the
    // file's state asked for, to tell a missing or empty file from one that cannot be read; a
    // look-up before every read would cost as much as the read.
    const auto bytes = files.readFile(name, kMonthFileMaxBytes);
    if (!bytes) {
        const MonthState state = monthState(files, name);
        result.state = state == MonthState::HasRecords ? MonthState::Unreadable : state;
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

std::optional<core::DayRecord> readDay(platform::FileSystem& files, std::string_view name,
                                       int day) {
    if (day < 1 || day > kDaysInLongestMonth) {
        return std::nullopt;
    }
    const auto bytes = files.readRecord(name, kDayRecordLength, day);
    if (!bytes || bytes->size() != kDayRecordLength) {
        return std::nullopt;
    }
    return decodeDayRecord(
        std::span<const std::uint8_t, kDayRecordLength>(bytes->data(), kDayRecordLength));
}

bool writeDay(platform::FileSystem& files, std::string_view name, int day,
              const core::DayRecord& record) {
    if (day < 1 || day > kDaysInLongestMonth) {
        return false;
    }
    const DayBytes bytes = encodeDayRecord(record);
    return files.writeRecord(name, kDayRecordLength, day, bytes);
}

} // namespace storage
