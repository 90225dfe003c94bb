// Any bytes as a waiting booking: the reader must neither crash nor accept anything but what the
// writer writes, and booking the waiting entries must never book from a malformed one.

#include "storage/journal.h"
#include "support/fakes/memory_file_system.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    const auto entry = storage::parsePendingEntry(bytes);
    // What is accepted is exactly what the writer writes for it.
    if (entry && storage::pendingEntryText(*entry) != std::string(bytes.begin(), bytes.end())) {
        __builtin_trap();
    }

    platform::fakes::MemoryFileSystem files;
    const std::string name = storage::pendingEntryName(1, 1);
    files.files()[name] = bytes;
    const auto results = storage::Journal(files, 7200).bookWaiting({});
    if (results.size() != 1) {
        __builtin_trap();
    }
    std::size_t monthFiles = 0;
    for (const auto& file : files.files()) {
        monthFiles += file.first.ends_with(".tid") ? 1 : 0;
    }
    if (!entry) {
        // Never booked: set aside under its new name, and no month file made.
        if (results[0].outcome != storage::EntryOutcome::SetAside || monthFiles != 0 ||
            files.files().count(name) != 0 || files.files().count(name + ".skadad") != 1) {
            __builtin_trap();
        }
        return 0;
    }
    // An entry the writer could have written books every part (each on an empty day) or, with a
    // record kept from before, books the parts whose day still holds it.
    if (results[0].outcome != storage::EntryOutcome::Booked || files.files().count(name) != 0 ||
        results[0].records.size() != entry->parts.size()) {
        __builtin_trap();
    }
    return 0;
}
