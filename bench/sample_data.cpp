#include "sample_data.h"

#include "core/booking.h"
#include "core/date_fields.h"
#include "storage/month_file.h"
#include "storage/settings_file.h"

#include <array>
#include <cstdio>
#include <vector>

namespace bench {

std::int32_t sampleSeconds(int year, int month, int day) {
    return 1800 + (year * 7 + month * 131 + day * 977) % 7200;
}

std::string monthFile(int year, int month) {
    return storage::monthFileName(core::twoDigits(year % 100), core::twoDigits(month));
}

bool writeYearOfData(platform::FileSystem& files, const core::Date& today) {
    return writeMonthsOfData(files, today, 12);
}

namespace {

bool writeSettings(platform::FileSystem& files) {
    storage::SettingsFile settings(files);
    if (!settings.storePlan(kPlanText, kAllowance)) {
        return false;
    }
    // Record 1: the first start is over.
    const std::array<std::uint8_t, 2> setupDone = {0xFF, 0xFF};
    return files.writeRecord(storage::kSettingsFileName, storage::kSettingsRecordLength, 1,
                             setupDone);
}

// A month booked on its days 1 to lastDay.
bool writeMonth(platform::FileSystem& files, int year, int month, int lastDay) {
    std::vector<std::uint8_t> bytes;
    for (int day = 1; day <= lastDay; ++day) {
        const auto record = core::bookOnDay(core::DayRecord{}, sampleSeconds(year, month, day),
                                            kAllowance, static_cast<std::int16_t>(day));
        if (!record) {
            return false;
        }
        const storage::DayBytes encoded = storage::encodeDayRecord(*record);
        bytes.insert(bytes.end(), encoded.begin(), encoded.end());
    }
    return files.replaceFile(monthFile(year, month), bytes);
}

} // namespace

bool writeMonthsOfData(platform::FileSystem& files, const core::Date& today, int monthsBack) {
    if (!writeSettings(files)) {
        return false;
    }
    for (int back = monthsBack; back >= 0; --back) {
        const core::Date first =
            core::addMonthsClamped(core::Date{today.year, today.month, 1}, -back);
        const int lastDay = back == 0 ? today.day : core::daysInMonth(first.year, first.month);
        if (!writeMonth(files, first.year, first.month, lastDay)) {
            return false;
        }
    }
    return true;
}

bool writeEveryYearOfData(platform::FileSystem& files) {
    if (!writeSettings(files)) {
        return false;
    }
    for (int year = 2001; year <= 2099; ++year) {
        for (int month = 1; month <= 12; ++month) {
            if (!writeMonth(files, year, month, core::daysInMonth(year, month))) {
                return false;
            }
        }
    }
    return true;
}

bool writeOneMonthOfData(platform::FileSystem& files, int year, int month) {
    return writeSettings(files) && writeMonth(files, year, month, core::daysInMonth(year, month));
}

std::string timewarriorMonth(int year, int month) {
    const auto stamp = [year, month](int day, std::int32_t seconds) {
        char text[64];
        std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02dZ", year, month, day,
                      seconds / 3600, seconds / 60 % 60, seconds % 60);
        return std::string(text);
    };
    constexpr std::int32_t kStart = 8 * 3600;
    std::string lines;
    for (int day = 1; day <= core::daysInMonth(year, month); ++day) {
        lines += "inc " + stamp(day, kStart) + " - " +
                 stamp(day, kStart + sampleSeconds(year, month, day)) + "\n";
    }
    return lines;
}

} // namespace bench
