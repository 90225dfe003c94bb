#pragma once

#include "platform/file_system.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace storage {

inline constexpr std::string_view kSettingsFileName = "tid.it";
inline constexpr std::size_t kSettingsRecordLength = 30;
inline constexpr std::size_t kPlanTextLength = 10;

// What the settings file holds: record 1 the first-start mark, record 2 the plan text (10 bytes,
// Windows-1252), record 3 the prepaid seconds per day. Numbers are 16-bit little-endian.
struct Settings {
    std::int16_t setupDone = 0; // 0 until the first start has asked for the plan
    std::string planText;       // always 10 characters (UTF-8), blanks for missing bytes
    std::int16_t dailyAllowance = 0;
};

// Reads settings from the bytes of a file of any length: bytes missing at the end read as zero.
Settings decodeSettings(std::span<const std::uint8_t> fileBytes);

// The settings file "tid.it" in the data folder. Each call reads or writes and is done; nothing is
// held open. It does not keep the settings in memory: that is the caller's copy.
class SettingsFile {
public:
    explicit SettingsFile(platform::FileSystem& files) : m_files(files) {}

    // The settings as stored; a missing, short or unreadable file reads as zeros.
    Settings load();

    struct StartState {
        Settings settings;
        bool firstStart = false;  // record 1 read as 0: the plan is to be asked for
        bool markWritten = false; // the first-start mark -1 was written as record 1
        bool unreadable = false;  // the file is there but could not be read
    };
    // Start-up: loads the settings and, on a first start, writes -1 as record 1 (leaving the rest
    // of the file as it was). A file that is there but cannot be read is no first start: the
    // settings read as zeros and nothing is written.
    StartState loadAtStart();

    // Writes the plan text as record 2 and the allowance as record 3, in one atomic write; record 1
    // and anything after record 3 are kept. False, writing nothing, when the file is there but
    // cannot be read.
    bool storePlan(std::string_view planText, std::int16_t dailyAllowance);

    // Record 3 as stored; nullopt when the file is missing, unreadable or ends before it.
    std::optional<std::int16_t> readDailyAllowance();

    // Deletes the file.
    bool remove();

private:
    platform::FileSystem& m_files;
};

} // namespace storage
