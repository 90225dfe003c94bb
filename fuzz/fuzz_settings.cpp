// Any bytes as the settings file: start-up reading it, and storing a plan over it, must neither
// crash nor lose the bytes the plan does not own.

#include "storage/settings_file.h"
#include "support/fakes/memory_file_system.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::fakes::MemoryFileSystem files;
    files.files()["tid.it"].assign(data, data + size);
    storage::SettingsFile settings(files);

    const auto start = settings.loadAtStart();
    if (size > storage::kSettingsFileMaxBytes) {
        // Longer than three records: damaged, reported, and never written.
        if (!start.unreadable || !start.damaged || start.firstStart || start.markWritten ||
            settings.readDailyAllowance() || settings.storePlan("2 h / dygn", 7200) ||
            files.files().at("tid.it") != std::vector<std::uint8_t>(data, data + size)) {
            __builtin_trap();
        }
        return 0;
    }
    if (start.settings.planText.empty() || start.unreadable || start.damaged) {
        __builtin_trap();
    }
    // Record 1 reads as zero only when its bytes are zero or missing; then the mark is written.
    const bool noMark = (size < 1 || data[0] == 0) && (size < 2 || data[1] == 0);
    // The plan is asked for, too, when record 3 holds none of the three plans' allowances.
    const int allowance =
        static_cast<std::int16_t>((size > 60 ? data[60] : 0) | (size > 61 ? data[61] << 8 : 0));
    const bool planKnown = allowance == 3600 || allowance == 7200 || allowance == 28800;
    if (start.firstStart != (noMark || !planKnown) || start.markWritten != noMark) {
        __builtin_trap();
    }
    settings.readDailyAllowance();
    const std::vector<std::uint8_t> afterStart = files.files()["tid.it"];
    if (noMark && (afterStart.size() < 2 || afterStart[0] != 0xFF || afterStart[1] != 0xFF)) {
        __builtin_trap();
    }

    if (!settings.storePlan("2 h / dygn", 7200)) {
        __builtin_trap();
    }
    const std::vector<std::uint8_t>& stored = files.files().at("tid.it");
    // Never shorter; record 1 and anything after record 3 are kept as they were.
    if (stored.size() < afterStart.size() || stored.size() < 62) {
        __builtin_trap();
    }
    for (std::size_t i = 0; i < afterStart.size(); ++i) {
        const bool planBytes = (i >= 30 && i < 40) || i == 60 || i == 61;
        if (!planBytes && stored[i] != afterStart[i]) {
            __builtin_trap();
        }
    }
    if (settings.readDailyAllowance() != std::optional<std::int16_t>(7200)) {
        __builtin_trap();
    }
    return 0;
}
