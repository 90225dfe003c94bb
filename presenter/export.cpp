#include "presenter/export.h"

#include "core/date_fields.h"
#include "core/figures.h"
#include "core/iso_date.h"
#include "core/range.h"
#include "core/texts.h"
#include "storage/month_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace presenter {

namespace {

struct ExportRow {
    core::Date date;
    std::int32_t connectedSeconds = 0;
    std::int32_t extraSeconds = 0;
    std::optional<std::int64_t> ore; // nullopt for a cost that is no number
};

// Öre as a whole number, rounded half-up; nullopt for a cost that is not a finite amount.
std::optional<std::int64_t> wholeOre(float cost) {
    const double ore = static_cast<double>(cost);
    if (!std::isfinite(ore) || std::fabs(ore) > 1e15) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(std::floor(ore + 0.5));
}

// Kronor with two decimals: 190 öre gives "1.90" with a decimal point, -5 gives "-0.05".
std::string kronorText(std::int64_t ore, char point = '.') {
    const std::int64_t whole = ore < 0 ? -ore : ore;
    const std::string cents = core::decimalText(whole % 100);
    return (ore < 0 ? "-" : "") + core::decimalText(whole / 100) + point +
           (cents.size() == 1 ? "0" + cents : cents);
}

// A field as RFC 4180 writes it: quoted, with its quotes doubled, when it holds the separator, a
// quote or a line end.
std::string csvField(std::string_view text, char separator) {
    if (text.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string_view::npos) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

std::string jsonString(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// The CSV text: commas and decimal points for scripts, or semicolons and decimal commas after a
// UTF-8 byte-order mark for a spreadsheet program; CRLF line ends either way.
std::string csvText(const std::vector<ExportRow>& rows, std::string_view plan, bool spreadsheet) {
    const char separator = spreadsheet ? ';' : ',';
    const char point = spreadsheet ? ',' : '.';
    std::string out = spreadsheet ? "\xEF\xBB\xBF" : "";
    for (const char* name :
         {"datum", "ansluten_sekunder", "extra_sekunder", "kostnad_ore", "kostnad_kr"}) {
        out += std::string(name) + separator;
    }
    out += "abonnemang\r\n";
    const std::string planField = csvField(plan, separator);
    for (const ExportRow& row : rows) {
        out += core::isoDateText(row.date) + separator + core::decimalText(row.connectedSeconds) +
               separator + core::decimalText(row.extraSeconds) + separator +
               (row.ore ? core::decimalText(*row.ore) : "") + separator +
               (row.ore ? kronorText(*row.ore, point) : "") + separator + planField + "\r\n";
    }
    return out;
}

std::string exportText(const std::vector<ExportRow>& rows, std::string_view plan,
                       ExportFormat format) {
    if (format != ExportFormat::Json) {
        return csvText(rows, plan, format == ExportFormat::Spreadsheet);
    }
    std::string out = "[";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ExportRow& row = rows[i];
        out += std::string(i == 0 ? "\n" : ",\n") +
               "  {\"datum\": " + jsonString(core::isoDateText(row.date)) +
               ", \"ansluten_sekunder\": " + core::decimalText(row.connectedSeconds) +
               ", \"extra_sekunder\": " + core::decimalText(row.extraSeconds) +
               ", \"kostnad_ore\": " + (row.ore ? core::decimalText(*row.ore) : "null") +
               ", \"kostnad_kr\": " + (row.ore ? kronorText(*row.ore) : "null") +
               ", \"abonnemang\": " + jsonString(plan) + "}";
    }
    return out + (rows.empty() ? "]\n" : "\n]\n");
}

} // namespace

ExportOutcome exportRange(platform::FileSystem& files, const core::Date& from, const core::Date& to,
                          std::string_view plan, ExportFormat format) {
    std::vector<ExportRow> rows;
    for (const core::RangeMonth& month : core::rangeWalk(from, to)) {
        const std::string file = storage::monthFileName(core::Date{month.year, month.month, 1});
        const storage::MonthRead read = storage::readMonth(files, file);
        if (!read.usable()) {
            return {false,
                    {},
                    "Filen " + file +
                        (read.state == storage::MonthState::Damaged ? " är skadad."
                                                                    : " gick inte att läsa.")};
        }
        const int last = std::min(month.lastDay, core::daysInMonth(month.year, month.month));
        for (int day = month.firstDay; day <= last; ++day) {
            const core::DayRecord& record = read.days[static_cast<std::size_t>(day - 1)];
            if (core::dayHasRecord(record)) {
                rows.push_back({{month.year, month.month, day},
                                record.connectedSeconds,
                                record.extraSeconds,
                                wholeOre(record.extraCost)});
            }
        }
    }
    return {true, exportText(rows, plan, format), {}};
}

std::string exportFilters() {
    std::string filters;
    for (const ExportType& type : kExportTypes) {
        filters += (filters.empty() ? "" : ";;") + std::string(type.filter);
    }
    return filters;
}

ExportTarget exportTarget(std::string path, std::size_t chosen) {
    const ExportType& type = kExportTypes[chosen < kExportTypes.size() ? chosen : 0];
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= nameStart) {
        return {path + std::string(type.ending), type.format};
    }
    std::string ending = path.substr(dot);
    for (char& c : ending) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    if (ending == ".json") {
        return {std::move(path), ExportFormat::Json};
    }
    if (ending == ".csv" && type.format == ExportFormat::Json) {
        return {std::move(path), ExportFormat::Csv};
    }
    return {std::move(path), type.format};
}

} // namespace presenter
