#pragma once

#include "core/date.h"
#include "platform/file_system.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace presenter {

enum class ExportFormat {
    Csv,         // for scripts: commas, decimal points, CRLF line ends
    Spreadsheet, // for a Swedish spreadsheet program: semicolons, decimal commas, a UTF-8
                 // byte-order mark, CRLF line ends
    Json,
};

// The outcome of an export: the text of every booked day, or why nothing was exported.
struct ExportOutcome {
    bool done = false;
    std::string text;   // done: the CSV or JSON text
    std::string reason; // not done: the Swedish reason ("Filen 0111.tid är skadad.")
};

// The booked days from `from` to `to` (both included) read from the month files, as CSV (a header
// and one line per day, CRLF line ends, fields quoted as RFC 4180 does) or JSON (an array of one
// object per day). A month file that is damaged or cannot be read stops the export. It checks no
// range and writes nothing; the command line and the range window share it so that both give the
// same text.
ExportOutcome exportRange(platform::FileSystem& files, const core::Date& from, const core::Date& to,
                          std::string_view plan, ExportFormat format);

// The types of file the range window's export offers, in the order of its save dialog's filters.
struct ExportType {
    std::string_view filter; // "CSV (*.csv)"
    std::string_view ending; // ".csv"
    ExportFormat format;
};
inline constexpr std::array<ExportType, 3> kExportTypes{{
    {"CSV (*.csv)", ".csv", ExportFormat::Csv},
    {"CSV för kalkylprogram (semikolon, decimalkomma) (*.csv)", ".csv", ExportFormat::Spreadsheet},
    {"JSON (*.json)", ".json", ExportFormat::Json},
}};

// The save dialog's filters: "CSV (*.csv);;…;;JSON (*.json)".
std::string exportFilters();

// Where and as what a path chosen in the save dialog is written, with the dialog's filter
// `chosen` (an index of kExportTypes; the first when out of range). The name's ending decides,
// in any case: ".json" is JSON, ".csv" the chosen type if it is a CSV type and plain CSV if not.
// A name with another ending is the chosen type; one without an ending gets the chosen type's.
struct ExportTarget {
    std::string path;
    ExportFormat format = ExportFormat::Csv;

    bool operator==(const ExportTarget&) const = default;
};
ExportTarget exportTarget(std::string path, std::size_t chosen);

} // namespace presenter
