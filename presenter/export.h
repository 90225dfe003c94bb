#pragma once

#include "core/date.h"
#include "platform/file_system.h"

#include <string>
#include <string_view>

namespace presenter {

enum class ExportFormat { Csv, Json };

// The outcome of an export: the text of every booked day, or why nothing was exported.
struct ExportOutcome {
    bool done = false;
    std::string text;   // done: the CSV or JSON text
    std::string reason; // not done: the Swedish reason ("Filen 0111.tid är skadad.")
};

// The booked days from `from` to `to` (both included) read from the month files, as CSV (a header
// and one line per day, CRLF line ends) or JSON (an array of one object per day). A month file
// that is damaged or cannot be read stops the export. It checks no range and writes nothing;
// the command line and the range window share it so that both give the same text.
ExportOutcome exportRange(platform::FileSystem& files, const core::Date& from, const core::Date& to,
                          std::string_view plan, ExportFormat format);

// The date as "ÅÅÅÅ-MM-DD".
std::string isoDate(const core::Date& date);

} // namespace presenter
