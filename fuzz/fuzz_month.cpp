// Any bytes as a month file: reading it, the day and month figures of every plan, and the printed
// report must neither crash nor step outside the file's bytes.

#include "core/figures.h"
#include "presenter/report.h"
#include "storage/month_file.h"
#include "support/fakes/memory_file_system.h"

#include <array>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    platform::fakes::MemoryFileSystem files;
    files.files()["0112.tid"].assign(data, data + size);
    const storage::MonthRead month = storage::readMonth(files, "0112.tid");
    const auto day = storage::readDay(files, "0112.tid", static_cast<int>(size % 31 + 1));

    // The plan and the copies follow from the length, so that every plan meets every file.
    const std::int32_t allowance =
        std::array<std::int32_t, 5>{0, 3600, 7200, 28800, -32768}[size % 5];
    const core::MonthSums sums = core::sumMonth(month.days);
    const core::MonthFigures figures = core::monthFigures(sums, allowance);
    if (figures.total.text.empty() || figures.connected.text.empty()) {
        __builtin_trap();
    }
    for (const core::DayRecord& record : month.records()) {
        if (core::dayHasRecord(record)) {
            core::dayFigures(record, allowance);
        }
    }
    if (day) {
        core::dayFigures(*day, allowance);
    }
    const platform::PrintDocument document = presenter::monthReport(
        {month.records(), allowance, "December 2001", 1 + static_cast<int>(size % 2)});
    if (document.empty() || document.back().kind != platform::PrintItem::Kind::EndDocument) {
        __builtin_trap();
    }
    return 0;
}
