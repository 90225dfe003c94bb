#pragma once

#include "platform/file_system.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace storage {

inline constexpr std::string_view kSettingsFileName = "tid.it";
inline constexpr std::size_t kSettingsRecordLength = 30;
inline constexpr std::size_t kPlanTextLength = 10;
// Three records: a longer file is damaged.
inline constexpr std::size_t kSettingsFileMaxBytes = 3 * kSettingsRecordLength;

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
// held open, and no call reads more than one byte past the three records. It does not keep the
// settings in memory: that is the caller's copy.
//
// A file longer than three records, or a name that is no regular file (a symbolic link, a
// folder), is damaged: it reads as zeros and is never written over.
class SettingsFile {
public:
    explicit SettingsFile(platform::FileSystem& files) : m_files(files) {}

    struct Loaded {
        Settings settings;       // zeros when the file cannot be used
        bool unreadable = false; // the file is there but cannot be used (read or damaged)
        bool damaged = false;    // of those, one that is damaged
        bool missing = false;    // there is no settings file
        int error = 0;           // unreadable: the system's error number, when it gave one
    };
    // The settings as stored; a missing or short file reads as zeros, and so does one that cannot
    // be used, which is reported.
    Loaded load();

    struct StartState {
        Settings settings;
        bool firstStart = false;  // no plan chosen yet: the plan is to be asked for
        bool markWritten = false; // the first-start mark -1 was written as record 1
        bool unreadable = false;  // the file is there but cannot be used (read or damaged)
        bool damaged = false;     // of those, one that is damaged
        int error = 0;            // unreadable: the system's error number, when it gave one
    };
    // Start-up: loads the settings and tells whether the plan is to be asked for. That is so when
    // record 1 reads as 0, and then -1 is written as record 1 (leaving the rest of the file as it
    // was); and it is so when record 1 holds the mark but record 3 holds no known plan (a first
    // start that ended before the plan was chosen), where nothing is written. A file that is there
    // but cannot be used is no first start: the settings read as zeros and nothing is written.
    StartState loadAtStart();

    // Writes the plan text as record 2 and the allowance as record 3, in one atomic write; record 1
    // and anything else within the three records are kept. False, writing nothing, when the file
    // is there but cannot be used.
    bool storePlan(std::string_view planText, std::int16_t dailyAllowance);

    // Record 3 as stored; nullopt when the file is missing, cannot be used or ends before it.
    std::optional<std::int16_t> readDailyAllowance();

    // Deletes the file.
    bool remove();

private:
    // The file's bytes (empty when it is missing); nullopt, with the flags set, when it is there
    // but cannot be used.
    std::optional<std::vector<std::uint8_t>> readBytes(bool& unreadable, bool& damaged);

    platform::FileSystem& m_files;
    int m_readError = 0; // the system's error number of the last failed read
};

} // namespace storage
