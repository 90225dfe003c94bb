// Any bytes as the settings file: start-up reading it, and storing a plan over it, must neither
// crash nor lose the bytes the plan does not own.

#include "platform/fakes/memory_file_system.h"
#include "storage/settings_file.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::fakes::MemoryFileSystem files;
    files.files()["tid.it"].assign(data, data + size);
    storage::SettingsFile settings(files);

    const auto start = settings.loadAtStart();
    if (start.settings.planText.empty() || start.unreadable) {
        __builtin_trap();
    }
    // Record 1 reads as zero, and so asks for the plan, only when its bytes are zero or missing.
    const bool firstStart = (size < 1 || data[0] == 0) && (size < 2 || data[1] == 0);
    if (start.firstStart != firstStart) {
        __builtin_trap();
    }
    settings.readDailyAllowance();
    const std::vector<std::uint8_t> afterStart = files.files()["tid.it"];
    if (firstStart && (afterStart.size() < 2 || afterStart[0] != 0xFF || afterStart[1] != 0xFF)) {
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
