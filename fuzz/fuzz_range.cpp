// Any bytes as the month files of a range, and any range: the sums and the result texts must
// neither crash nor write any file but delete empty months.

#include "core/range.h"
#include "storage/range_totals.h"
#include "support/fakes/memory_file_system.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8) {
        return 0;
    }
    // The first bytes choose the range; the rest is cut into month files from the FRÅN month on.
    const core::Date from{2001 + data[0] % 99, 1 + data[1] % 12, 1 + data[2] % 31};
    const core::Date to{2001 + data[3] % 99, 1 + data[4] % 12, 1 + data[5] % 31};
    const std::int32_t allowance = std::array<std::int32_t, 4>{0, 3600, 7200, 28800}[data[6] % 4];
    platform::fakes::MemoryFileSystem files;
    std::size_t at = 8;
    core::Date month{from.year, from.month, 1};
    for (int i = 0; i < 14 && at < size; ++i) {
        const std::size_t length = std::min<std::size_t>(
            size - at, data[7] % 2 ? std::size_t{496} : static_cast<std::size_t>(40 * (i + 1)));
        char name[16];
        std::snprintf(name, sizeof name, "%02d%02d.tid", month.year % 100, month.month);
        files.files()[name].assign(data + at, data + at + length);
        at += length;
        month = core::addMonthsClamped(month, 1);
    }
    const auto before = files.files();

    const auto totals = storage::sumRange(files, from, to, allowance);
    if (totals) {
        const core::RangeTexts texts = core::rangeTexts(*totals);
        if (texts.total.find("Total kosttnad: ") != 0) {
            __builtin_trap();
        }
    }
    // Nothing is written; only files that were empty may be gone.
    for (const auto& [name, bytes] : files.files()) {
        if (before.at(name) != bytes) {
            __builtin_trap();
        }
    }
    for (const auto& [name, bytes] : before) {
        if (!files.files().contains(name) && !bytes.empty()) {
            __builtin_trap();
        }
    }
    return 0;
}
