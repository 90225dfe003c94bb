// Any bytes as the notice setting's file: reading it must neither crash nor read anything but on
// for a file the program did not write, and storing must never write over such a file.

#include "storage/notice_settings.h"
#include "support/fakes/memory_file_system.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::fakes::MemoryFileSystem files;
    const std::vector<std::uint8_t> original(data, data + size);
    files.files()["avisering.it"] = original;
    storage::NoticeSettings notices(files);

    const auto loaded = notices.load();
    const bool isOn = size == 2 && data[0] == 0xFF && data[1] == 0xFF;
    const bool isOff = size == 2 && data[0] == 0x00 && data[1] == 0x00;
    if (!isOn && !isOff) {
        // Not the program's file: on, damaged, and never written over.
        if (!loaded.on || loaded.state != storage::NoticeFileState::Damaged ||
            notices.store(false) || notices.store(true) ||
            files.files().at("avisering.it") != original) {
            __builtin_trap();
        }
        return 0;
    }
    if (loaded.state != storage::NoticeFileState::Stored || loaded.on != isOn) {
        __builtin_trap();
    }
    // The program's own file: switching it gives the other two bytes and reads back.
    if (!notices.store(!isOn)) {
        __builtin_trap();
    }
    const std::uint8_t expected = isOn ? 0x00 : 0xFF;
    if (files.files().at("avisering.it") != std::vector<std::uint8_t>{expected, expected}) {
        __builtin_trap();
    }
    const auto reloaded = notices.load();
    if (reloaded.state != storage::NoticeFileState::Stored || reloaded.on == isOn) {
        __builtin_trap();
    }
    return 0;
}
