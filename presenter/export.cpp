#include "presenter/export.h"

#include "core/date_fields.h"
#include "core/figures.h"
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

// Kronor with two decimals and a decimal point: 190 öre gives "1.90", -5 gives "-0.05".
std::string kronorText(std::int64_t ore) {
    const std::int64_t whole = ore < 0 ? -ore : ore;
    const std::string cents = core::decimalText(whole % 100);
    return (ore < 0 ? "-" : "") + core::decimalText(whole / 100) + "." +
           (cents.size() == 1 ? "0" + cents : cents);
}

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
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

std::string exportText(const std::vector<ExportRow>& rows, std::string_view plan,
                       ExportFormat format) {
    std::string out;
    if (format == ExportFormat::Csv) {
        out = "datum,ansluten_sekunder,extra_sekunder,kostnad_ore,kostnad_kr,abonnemang\r\n";
        for (const ExportRow& row : rows) {
            out += isoDate(row.date) + "," + core::decimalText(row.connectedSeconds) + "," +
                   core::decimalText(row.extraSeconds) + "," +
                   (row.ore ? core::decimalText(*row.ore) : "") + "," +
                   (row.ore ? kronorText(*row.ore) : "") + "," + csvField(plan) + "\r\n";
        }
        return out;
    }
    out = "[";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ExportRow& row = rows[i];
        out += std::string(i == 0 ? "\n" : ",\n") +
               "  {\"datum\": " + jsonString(isoDate(row.date)) +
               ", \"ansluten_sekunder\": " + core::decimalText(row.connectedSeconds) +
               ", \"extra_sekunder\": " + core::decimalText(row.extraSeconds) +
               ", \"kostnad_ore\": " + (row.ore ? core::decimalText(*row.ore) : "null") +
               ", \"kostnad_kr\": " + (row.ore ? kronorText(*row.ore) : "null") +
               ", \"abonnemang\": " + jsonString(plan) + "}";
    }
    return out + (rows.empty() ? "]\n" : "\n]\n");
}

} // namespace

std::string isoDate(const core::Date& date) {
    return core::decimalText(date.year) + "-" + core::twoDigits(date.month) + "-" +
           core::twoDigits(date.day);
}

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

} // namespace presenter
