#include "storage/pending.h"

#include "core/booking.h"
#include "core/date_fields.h"
#include "core/plan.h"
#include "core/range.h"
#include "core/swedish.h"
#include "core/texts.h"

#include <algorithm>
#include <charconv>

namespace storage {

namespace {

constexpr std::string_view kHeader = "surfklocka-vantande 1\n";
constexpr std::size_t kTimeDigits = 20;
constexpr std::size_t kProcessDigits = 10;
constexpr char kHexDigits[] = "0123456789abcdef";

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string padded(std::int64_t value, std::size_t width) {
    std::string digits = core::decimalText(std::max<std::int64_t>(value, 0));
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), '0');
    }
    return digits;
}

std::optional<int> number(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::string isoText(const core::Date& date) {
    return padded(date.year, 4) + "-" + padded(date.month, 2) + "-" + padded(date.day, 2);
}

std::optional<core::Date> isoDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !allDigits(text.substr(0, 4)) ||
        !allDigits(text.substr(5, 2)) || !allDigits(text.substr(8, 2))) {
        return std::nullopt;
    }
    const core::Date date{*number(text.substr(0, 4)), *number(text.substr(5, 2)),
                          *number(text.substr(8, 2))};
    if (!date.isValid() || date < core::kFirstListDate || date > core::kLastListDate) {
        return std::nullopt;
    }
    return date;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::optional<DayBytes> hexBytes(std::string_view text) {
    if (text.size() != 2 * kDayRecordLength) {
        return std::nullopt;
    }
    DayBytes bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int high = hexValue(text[2 * i]);
        const int low = hexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return bytes;
}

std::optional<PendingPart> parsePart(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t blank = line.find(' ', start);
        fields.push_back(line.substr(start, blank - start));
        if (blank == std::string_view::npos) {
            break;
        }
        start = blank + 1;
    }
    if (fields.size() < 2 || fields.size() > 3) {
        return std::nullopt;
    }
    const auto date = isoDate(fields[0]);
    // 1 to 86400, written without leading zeros.
    if (!date || !allDigits(fields[1]) || fields[1].size() > 5 || fields[1].front() == '0') {
        return std::nullopt;
    }
    const int seconds = *number(fields[1]);
    if (seconds > core::kSecondsPerDay) {
        return std::nullopt;
    }
    PendingPart part{*date, seconds, std::nullopt};
    if (fields.size() == 3) {
        part.before = hexBytes(fields[2]);
        if (!part.before) {
            return std::nullopt;
        }
    }
    return part;
}

bool acceptable(const PendingEntry& entry) {
    if (entry.parts.empty() || entry.parts.size() > kPendingMaxParts) {
        return false;
    }
    const bool marked = entry.parts.front().before.has_value();
    for (std::size_t i = 0; i < entry.parts.size(); ++i) {
        const PendingPart& part = entry.parts[i];
        if (!part.date.isValid() || part.date < core::kFirstListDate ||
            part.date > core::kLastListDate || part.seconds < 1 ||
            part.seconds > core::kSecondsPerDay || part.before.has_value() != marked ||
            (i > 0 && !(entry.parts[i - 1].date < part.date))) {
            return false;
        }
    }
    return true;
}

std::string monthFileOf(const core::Date& date) {
    return monthFileName(core::twoDigits(date.year % 100), core::twoDigits(date.month));
}

bool unusable(MonthState state) {
    return state == MonthState::Unreadable || state == MonthState::Damaged;
}

PendingResult setAside(platform::FileSystem& files, const std::string& name) {
    PendingResult result;
    result.name = name;
    result.outcome = PendingOutcome::SetAside;
    result.setAsideFailed = !files.renameFile(name, name + std::string(kSetAsideSuffix));
    return result;
}

// Steps 1 and 2: checks the whole entry and keeps each day's record as it stands. Returns the
// entry as it now stands in its file, or the result that ends it.
std::optional<PendingResult> prepare(platform::FileSystem& files, PendingResult& result,
                                     std::int32_t dailyAllowance) {
    PendingEntry& entry = result.entry;
    if (!core::planForAllowance(dailyAllowance)) {
        result.reason = BookingOutcome::NoPlan;
        return result;
    }
    for (PendingPart& part : entry.parts) {
        const std::string file = monthFileOf(part.date);
        const MonthRead read = readMonth(files, file);
        if (unusable(read.state)) {
            result.reason = BookingOutcome::Failed;
            result.monthFile = file;
            result.monthState = read.state;
            return result;
        }
        const core::DayRecord& day = read.days[static_cast<std::size_t>(part.date.day - 1)];
        if (!part.before) {
            if (static_cast<std::int64_t>(day.connectedSeconds) + part.seconds >
                core::kSecondsPerDay) {
                result.outcome = PendingOutcome::Refused;
                result.refusedDay = part.date;
                result.reason = BookingOutcome::DayFull;
                files.removeFile(result.name);
                return result;
            }
            part.before = encodeDayRecord(day);
        }
    }
    return std::nullopt;
}

PendingResult bookEntry(platform::FileSystem& files, const std::string& name,
                        std::int32_t dailyAllowance) {
    PendingResult result;
    result.name = name;
    const auto kind = files.entryKind(name);
    if (!kind) {
        return result; // the folder cannot be asked: kept
    }
    if (*kind != platform::FileSystem::EntryKind::RegularFile || !isPendingEntryName(name)) {
        return setAside(files, name);
    }
    const auto bytes = files.readFile(name, kPendingMaxBytes + 1);
    if (!bytes) {
        return result; // unreadable for now: kept
    }
    const auto entry = parsePendingEntry(*bytes);
    if (!entry) {
        return setAside(files, name);
    }
    result.entry = *entry;
    const bool marked = entry->parts.front().before.has_value();
    if (auto ended = prepare(files, result, dailyAllowance)) {
        return *ended;
    }
    if (!marked) {
        const std::string text = pendingEntryText(result.entry);
        if (!files.replaceFile(
                name, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()))) {
            result.reason = BookingOutcome::Failed;
            return result;
        }
    }
    result.started = true;
    // Step 3: each part whose day still holds what was kept is booked now.
    for (const PendingPart& part : result.entry.parts) {
        const std::string file = monthFileOf(part.date);
        const MonthRead read = readMonth(files, file);
        const core::DayRecord& day = read.days[static_cast<std::size_t>(part.date.day - 1)];
        if (!unusable(read.state) && encodeDayRecord(day) != *part.before) {
            result.records.push_back(day); // booked before the program last stopped
            continue;
        }
        BookingRequest request;
        request.yearText = core::twoDigits(part.date.year % 100);
        request.monthText = core::twoDigits(part.date.month);
        request.day = part.date.day;
        request.seconds = part.seconds;
        request.dailyAllowance = dailyAllowance;
        const BookingResult booking = bookTime(files, request);
        if (!booking.written()) {
            result.records.clear();
            result.reason = booking.outcome;
            result.monthFile = booking.entryFile;
            result.monthState = booking.monthState;
            return result;
        }
        result.records.push_back(booking.record);
        result.lastBooking = booking;
    }
    // Step 4. Should the removal fail, the kept records tell the next run that all is booked.
    files.removeFile(name);
    result.outcome = PendingOutcome::Booked;
    return result;
}

} // namespace

std::string pendingEntryName(std::int64_t nanoseconds, std::int64_t processId) {
    return padded(nanoseconds, kTimeDigits) + "-" + padded(processId, kProcessDigits) +
           std::string(kPendingExtension);
}

bool isPendingEntryName(std::string_view name) {
    const std::size_t length = kTimeDigits + 1 + kProcessDigits + kPendingExtension.size();
    return name.size() == length && allDigits(name.substr(0, kTimeDigits)) &&
           name[kTimeDigits] == '-' && allDigits(name.substr(kTimeDigits + 1, kProcessDigits)) &&
           name.ends_with(kPendingExtension);
}

std::string pendingEntryText(const PendingEntry& entry) {
    std::string text(kHeader);
    for (const PendingPart& part : entry.parts) {
        text += isoText(part.date) + " " + core::decimalText(part.seconds);
        if (part.before) {
            text += ' ';
            for (const std::uint8_t byte : *part.before) {
                text += kHexDigits[byte >> 4];
                text += kHexDigits[byte & 0x0F];
            }
        }
        text += '\n';
    }
    return text;
}

std::optional<PendingEntry> parsePendingEntry(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > kPendingMaxBytes) {
        return std::nullopt;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!text.starts_with(kHeader) || !text.ends_with('\n')) {
        return std::nullopt;
    }
    PendingEntry entry;
    std::size_t start = kHeader.size();
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const auto part = parsePart(text.substr(start, end - start));
        if (!part || entry.parts.size() == kPendingMaxParts) {
            return std::nullopt;
        }
        entry.parts.push_back(*part);
        start = end + 1;
    }
    if (!acceptable(entry)) {
        return std::nullopt;
    }
    return entry;
}

bool addPendingEntry(platform::FileSystem& files, std::string_view name,
                     const PendingEntry& entry) {
    if (!isPendingEntryName(name) || !acceptable(entry)) {
        return false;
    }
    if (files.entryKind(name) != platform::FileSystem::EntryKind::Missing) {
        return false;
    }
    const std::string text = pendingEntryText(entry);
    return files.replaceFile(
        name, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::vector<PendingResult> bookPendingEntries(platform::FileSystem& files,
                                              std::int32_t dailyAllowance) {
    std::vector<PendingResult> results;
    const auto names = files.namesWithExtension(kPendingExtension);
    if (!names) {
        return results;
    }
    for (const std::string& name : *names) {
        results.push_back(bookEntry(files, name, dailyAllowance));
        if (results.back().outcome == PendingOutcome::Kept) {
            break;
        }
    }
    return results;
}

} // namespace storage
