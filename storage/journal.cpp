#include "storage/journal.h"

#include "core/booking.h"
#include "core/iso_date.h"
#include "core/plan.h"
#include "core/range.h"
#include "core/texts.h"

#include <algorithm>
#include <utility>

namespace storage {

namespace {

using FolderFlush = platform::FileSystem::FolderFlush;
using DataFlush = platform::FileSystem::DataFlush;

constexpr std::string_view kHeader = "surfklocka-vantande 1\n";
constexpr std::size_t kTimeDigits = 20;
constexpr std::size_t kProcessDigits = 10;
constexpr char kHexDigits[] = "0123456789abcdef";
// How often the folder is listed again for entries that appeared while others were booked.
constexpr int kMostRounds = 64;
constexpr std::int64_t kAnswerLifetime = 24LL * 3600 * 1'000'000'000;

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string padded(std::int64_t value, std::size_t width) {
    std::string digits = core::decimalText(std::max<std::int64_t>(value, 0));
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), '0');
    }
    return digits;
}

std::optional<core::Date> entryDate(std::string_view text) {
    const auto date = core::isoDateShape(text);
    if (!date || !date->isValid() || *date < core::kFirstListDate || *date > core::kLastListDate) {
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
    const std::vector<std::string_view> fields = core::splitText(line, ' ');
    if (fields.size() != 2 && fields.size() != 3) {
        return std::nullopt;
    }
    const auto date = entryDate(fields[0]);
    // 1 to 86400, written without leading zeros.
    const auto value = core::digitsNumber(fields[1], 5);
    if (!date || !value || fields[1].front() == '0' || *value > core::kSecondsPerDay) {
        return std::nullopt;
    }
    PendingPart part{*date, static_cast<std::int32_t>(*value), std::nullopt};
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

// The month's bytes with one day's record written: the file grows to the end of that day, with
// zero bytes in any gap, and is never shortened; every other byte stays as it was.
void writeDayInto(std::vector<std::uint8_t>& bytes, int day, const core::DayRecord& record) {
    const std::size_t start = static_cast<std::size_t>(day - 1) * kDayRecordLength;
    if (bytes.size() < start + kDayRecordLength) {
        bytes.resize(start + kDayRecordLength, 0);
    }
    const DayBytes encoded = encodeDayRecord(record);
    std::copy(encoded.begin(), encoded.end(), bytes.begin() + static_cast<std::ptrdiff_t>(start));
}

core::DayRecord dayOf(const std::vector<std::uint8_t>& bytes, int day) {
    return decodeMonth(bytes)[static_cast<std::size_t>(day - 1)];
}

// The time in an entry's or an answer's name, in nanoseconds since 1970.
std::optional<std::int64_t> timeOfName(std::string_view name) {
    return core::digitsNumber(name.substr(0, kTimeDigits), kTimeDigits);
}

// The copies a folder note names, one "*.tmp" name a line; nullopt for a note that is not one the
// journal leaves.
std::optional<std::set<std::string>> copiesOfNote(std::string_view note) {
    std::set<std::string> copies;
    for (const std::string_view line : core::splitText(note, '\n')) {
        if (line.empty()) {
            continue;
        }
        if (line.size() <= 4 || !line.ends_with(".tmp") ||
            line.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos ||
            line == "." || line == "..") {
            return std::nullopt;
        }
        copies.emplace(line);
    }
    return copies;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Entry files

std::string pendingEntryName(std::int64_t nanoseconds, std::int64_t processId) {
    return padded(nanoseconds, kTimeDigits) + "-" + padded(processId, kProcessDigits) +
           std::string(kPendingExtension);
}

bool isPendingEntryName(std::string_view name) {
    const std::size_t length = kTimeDigits + 1 + kProcessDigits + kPendingExtension.size();
    return name.size() == length && core::allDigits(name.substr(0, kTimeDigits)) &&
           name[kTimeDigits] == '-' &&
           core::allDigits(name.substr(kTimeDigits + 1, kProcessDigits)) &&
           name.ends_with(kPendingExtension);
}

std::string answerName(std::string_view entryName) {
    return std::string(entryName.substr(0, kTimeDigits + 1 + kProcessDigits)) +
           std::string(kAnswerExtension);
}

std::string pendingEntryText(const PendingEntry& entry) {
    std::string text(kHeader);
    for (const PendingPart& part : entry.parts) {
        text += core::isoDateText(part.date) + " " + core::decimalText(part.seconds);
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

bool addPendingEntry(platform::FileSystem& files, std::string_view name, const PendingEntry& entry,
                     bool durable) {
    if (!isPendingEntryName(name) || !acceptable(entry) ||
        files.entryKind(name) != platform::FileSystem::EntryKind::Missing) {
        return false;
    }
    return files.replaceFile(name, bytesOf(pendingEntryText(entry)),
                             durable ? FolderFlush::Now : FolderFlush::Deferred,
                             durable ? DataFlush::Now : DataFlush::Skipped);
}

bool isWaiting(platform::FileSystem& files, std::string_view name) {
    return files.entryKind(name) == platform::FileSystem::EntryKind::RegularFile;
}

std::optional<std::string> takeAnswer(platform::FileSystem& files, std::string_view entryName) {
    const std::string name = answerName(entryName);
    const auto bytes = files.readFile(name, kAnswerMaxBytes + 1);
    if (!bytes || bytes->size() > kAnswerMaxBytes) {
        return std::nullopt;
    }
    files.removeFile(name, FolderFlush::Deferred);
    return std::string(bytes->begin(), bytes->end());
}

// ---------------------------------------------------------------------------------------------
// Booking

// One month's write of a booking: the month as it was, read once, and as it is to be.
struct Journal::MonthWrite {
    std::string file;
    std::string backup;
    MonthState state = MonthState::NoFile;
    std::vector<std::uint8_t> oldBytes;
    std::vector<std::uint8_t> newBytes;
};

Journal::Journal(platform::FileSystem& files, core::PlanSchedule plans, FolderNote note)
    : m_files(files), m_plans(std::move(plans)), m_note(note) {
    list();
}

Journal::Journal(platform::FileSystem& files, std::int32_t dailyAllowance)
    : Journal(files, core::PlanSchedule(dailyAllowance)) {}

void Journal::list() {
    // The first listing may be the note's: the copies it names, and nothing else waiting.
    if (m_note == FolderNote::Keep && !m_names) {
        if (const auto note = m_files.takeFolderNote()) {
            if (auto copies = copiesOfNote(*note)) {
                m_copies = std::move(*copies);
                m_names.emplace();
                return;
            }
        }
    }
    m_names = m_files.listNames();
    if (!m_names) {
        m_plain = false;
        return;
    }
    for (const std::string& name : *m_names) {
        if (name.size() > 4 && name.ends_with(".tmp")) {
            m_copies.insert(name);
        } else if (name == kUndoCopyInProgress) {
            // Left by a booking that stopped before its copy took its name.
            m_files.removeFile(name, FolderFlush::Deferred);
            m_plain = false;
        } else if (name.ends_with(kPendingExtension) || name.ends_with(kAnswerExtension)) {
            m_plain = false;
        }
    }
}

void Journal::leaveNote() {
    if (m_note != FolderNote::Keep) {
        return;
    }
    if (!m_plain) {
        m_files.dropFolderNote();
        return;
    }
    std::string text;
    for (const std::string& copy : m_copies) {
        text += copy + "\n";
    }
    m_files.leaveFolderNote(text);
}

std::vector<EntryResult> Journal::bookWaiting(const AnswerText& answer, std::string_view own,
                                              std::int64_t nowNanoseconds) {
    std::vector<EntryResult> results;
    std::set<std::string> seen;
    for (int round = 0; round < kMostRounds && m_names; ++round) {
        if (round > 0) {
            list();
        }
        // The entries of this listing, picked out first: the listing may hold a thousand months.
        const std::vector<std::string> none;
        std::vector<std::string> entries;
        for (const std::string& name : m_names ? *m_names : none) {
            if (name.ends_with(kPendingExtension) && name.size() > kPendingExtension.size() &&
                seen.insert(name).second) {
                entries.push_back(name);
            }
        }
        bool others = false;
        for (const std::string& name : entries) {
            const bool theirs = name != own;
            results.push_back(bookFile(name, theirs ? answer : AnswerText()));
            others = others || theirs;
        }
        if (!others) {
            break;
        }
    }
    clearOldAnswers(nowNanoseconds);
    return results;
}

EntryResult Journal::book(const PendingEntry& entry) {
    EntryResult result;
    result.entry = entry;
    m_months.clear();
    // More than a day's seconds is a day too full, as the check finds any day over 24 hours, and
    // the window books even no time at all (a record of the day with nothing on it); the rest
    // must be an entry as a file could hold it.
    PendingEntry shaped = entry;
    for (PendingPart& part : shaped.parts) {
        part.seconds = std::clamp(part.seconds, 1, core::kSecondsPerDay);
    }
    if (!acceptable(shaped) || check(result, false)) {
        return result;
    }
    std::vector<std::size_t> all(entry.parts.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        all[i] = i;
    }
    write(result, all);
    return result;
}

EntryResult Journal::setAside(const std::string& name, SetAsideCause cause,
                              const AnswerText& answer) {
    EntryResult result;
    result.name = name;
    result.outcome = EntryOutcome::SetAside;
    result.setAsideCause = cause;
    if (answer && isPendingEntryName(name)) {
        leaveAnswer(result, answer);
    }
    result.setAsideFailed =
        !m_files.moveAside(name, name + std::string(kSetAsideSuffix), FolderFlush::Deferred);
    return result;
}

EntryResult Journal::bookFile(const std::string& name, const AnswerText& answer) {
    EntryResult result;
    result.name = name;
    result.outcome = EntryOutcome::Kept; // until it can be read
    const auto kind = m_files.entryKind(name);
    if (!kind || *kind == platform::FileSystem::EntryKind::Missing) {
        result.error = m_files.lastError();
        return result;
    }
    if (*kind != platform::FileSystem::EntryKind::RegularFile) {
        return setAside(name, SetAsideCause::NotAFile, answer);
    }
    const auto bytes = m_files.readFile(name, kPendingMaxBytes + 1);
    if (!bytes) {
        result.error = m_files.lastError();
        return result;
    }
    const auto entry = parsePendingEntry(*bytes);
    if (!entry || !isPendingEntryName(name)) {
        return setAside(name, SetAsideCause::NotAnEntry, answer);
    }
    result.entry = *entry;
    m_months.clear();
    const bool marked = entry->parts.front().before.has_value();
    if (check(result, marked)) {
        if (result.outcome != EntryOutcome::Kept) {
            leaveAnswer(result, answer);
            m_files.removeFile(name, FolderFlush::Deferred);
        }
        return result;
    }
    // Step 2: the records as they stand now are kept before anything is written, so that a
    // stop from here on can tell what was booked.
    if (!marked && !m_files.replaceFile(name, bytesOf(pendingEntryText(result.entry)),
                                        FolderFlush::Deferred, DataFlush::Skipped)) {
        result.outcome = EntryOutcome::Failed;
        result.error = m_files.lastError();
        leaveAnswer(result, answer);
        m_files.removeFile(name, FolderFlush::Deferred);
        return result;
    }
    // Months whose days no longer hold the marks were written before a stop.
    const std::vector<std::size_t> toBook = notYetBooked(result.entry);
    write(result, toBook);
    if (result.outcome == EntryOutcome::Failed && marked &&
        toBook.size() < result.entry.parts.size()) {
        result.outcome = EntryOutcome::Kept; // begun before a stop: a later holder finishes it
    }
    if (result.outcome != EntryOutcome::Kept) {
        leaveAnswer(result, answer);
        m_files.removeFile(name, FolderFlush::Deferred);
    }
    return result;
}

const MonthBytes& Journal::month(const std::string& file) {
    auto found = m_months.find(file);
    if (found == m_months.end()) {
        found = m_months.emplace(file, readMonthBytes(m_files, file)).first;
    }
    return found->second;
}

// Step 1: checks the whole entry and keeps each day's record as it stands (unless the entry was
// marked before). False when it may be booked; true, with the outcome that ends it, otherwise.
bool Journal::check(EntryResult& result, bool marked) {
    const bool plansKnown =
        std::all_of(result.entry.parts.begin(), result.entry.parts.end(), [&](const auto& part) {
            return core::planForAllowance(m_plans.allowanceFor(part.date.year, part.date.month));
        });
    if (!plansKnown) {
        result.outcome = EntryOutcome::NoPlan;
        return true;
    }
    for (PendingPart& part : result.entry.parts) {
        const std::string file = monthFileName(part.date);
        const MonthBytes& read = month(file);
        if (!read.usable()) {
            result.outcome = marked ? EntryOutcome::Kept : EntryOutcome::Failed;
            result.monthFile = file;
            result.monthState = read.state;
            result.error = read.error;
            return true;
        }
        if (marked) {
            continue;
        }
        const core::DayRecord day = dayOf(read.bytes, part.date.day);
        if (static_cast<std::int64_t>(day.connectedSeconds) + part.seconds > core::kSecondsPerDay) {
            result.outcome = EntryOutcome::Refused;
            result.refusedDay = part.date;
            return true;
        }
        part.before = encodeDayRecord(day);
    }
    return false;
}

// The parts whose month still holds the marks of all of the entry's days in it: a month written
// before a stop holds other records on every day of the entry in it.
std::vector<std::size_t> Journal::notYetBooked(const PendingEntry& entry) {
    std::set<std::string> booked;
    for (const PendingPart& part : entry.parts) {
        const std::string file = monthFileName(part.date);
        if (encodeDayRecord(dayOf(month(file).bytes, part.date.day)) != *part.before) {
            booked.insert(file);
        }
    }
    std::vector<std::size_t> parts;
    for (std::size_t i = 0; i < entry.parts.size(); ++i) {
        if (booked.count(monthFileName(entry.parts[i].date)) == 0) {
            parts.push_back(i);
        }
    }
    return parts;
}

// Step 3 and 4 for the parts of `toBook`: each of their months written once, with all of its
// days; the parts found booked before a stop keep their records as they are.
void Journal::write(EntryResult& result, const std::vector<std::size_t>& toBook) {
    const PendingEntry& entry = result.entry;
    std::vector<MonthWrite> months;
    std::map<std::size_t, std::size_t> monthOfPart;
    result.before.assign(entry.parts.size(), core::DayRecord{});
    result.records.assign(entry.parts.size(), core::DayRecord{});
    for (const std::size_t i : toBook) {
        const PendingPart& part = entry.parts[i];
        const std::string file = monthFileName(part.date);
        if (months.empty() || months.back().file != file) {
            const MonthBytes& read = month(file);
            if (!read.usable()) {
                result.outcome = EntryOutcome::Failed;
                result.monthFile = file;
                result.monthState = read.state;
                result.error = read.error;
                return;
            }
            months.push_back(
                {file, monthBackupName(part.date), read.state, read.bytes, read.bytes});
        }
        MonthWrite& month = months.back();
        const core::DayRecord before = dayOf(month.newBytes, part.date.day);
        const auto after = core::bookOnDay(before, part.seconds,
                                           m_plans.allowanceFor(part.date.year, part.date.month),
                                           static_cast<std::int16_t>(part.date.day));
        if (!after) {
            result.outcome = EntryOutcome::Refused;
            result.refusedDay = part.date;
            return;
        }
        writeDayInto(month.newBytes, part.date.day, *after);
        result.before[i] = before;
        result.records[i] = *after;
        monthOfPart[i] = months.size() - 1;
    }
    const std::set<std::string> touched = [&] {
        std::set<std::string> files;
        for (const PendingPart& part : entry.parts) {
            files.insert(monthFileName(part.date));
        }
        return files;
    }();
    result.acrossMonths = touched.size() > 1;
    if (!months.empty() && !commit(months, !result.acrossMonths, result)) {
        return;
    }
    // The parts booked before a stop: their records as the months hold them now.
    for (std::size_t i = 0; i < entry.parts.size(); ++i) {
        if (monthOfPart.count(i) == 0) {
            const PendingPart& part = entry.parts[i];
            result.records[i] = dayOf(month(monthFileName(part.date)).bytes, part.date.day);
            result.before[i] = decodeDayRecord(*part.before);
        }
    }
    result.bookedBefore = months.empty();
    result.entryFile = monthFileName(entry.parts.back().date);
    result.entryBackup = monthBackupName(entry.parts.back().date);
    result.outcome = EntryOutcome::Booked;
}

// Writes the months, each a new file flushed and renamed over the month, and flushes the folder
// once; then sweeps the copies of earlier steps and gives the undo copy its name. False, with
// every month as it was, when a write or the flush failed.
bool Journal::commit(std::vector<MonthWrite>& months, bool undo, EntryResult& result) {
    // The undo copy holds the month as it was. Those bytes are on disk already, so the month file
    // is given a second name instead of being copied; where the file system has no hard links the
    // bytes read are written instead. A month's first booking has an empty undo copy.
    bool undoReady = false;
    if (undo) {
        const MonthWrite& month = months.front();
        if (month.state == MonthState::NoFile) {
            undoReady = m_files.createIfMissing(kUndoCopyInProgress, FolderFlush::Deferred);
        } else {
            undoReady =
                m_files.linkFile(month.file, kUndoCopyInProgress) ==
                    platform::FileSystem::LinkResult::Linked ||
                m_files.replaceFile(kUndoCopyInProgress, month.oldBytes, FolderFlush::Deferred);
        }
    }
    std::size_t written = 0;
    bool failed = false;
    for (; written < months.size(); ++written) {
        // Never written in place: while the undo copy is a second name of the month file, a
        // write in place would change the copy too.
        if (!m_files.replaceFile(months[written].file, months[written].newBytes,
                                 FolderFlush::Deferred)) {
            failed = true;
            break;
        }
    }
    // One flush of the folder makes every month's new name durable together.
    failed = failed || !m_files.syncFolder();
    if (failed) {
        m_plain = false;
        result.outcome = EntryOutcome::Failed;
        result.error = m_files.lastError();
        result.monthFile = months[std::min(written, months.size() - 1)].file;
        result.monthState = months[std::min(written, months.size() - 1)].state;
        if (undoReady) {
            m_files.removeFile(kUndoCopyInProgress, FolderFlush::Deferred);
        }
        if (rollBack(months, written)) {
            return false;
        }
        // The months written could not be put back: what they hold now is what the booking says.
        // One month holds the whole booking; of several, some may hold their part and some not,
        // and an entry file keeps its marks for a later holder to finish.
        result.outcome = written == months.size() ? EntryOutcome::Booked : EntryOutcome::Kept;
        result.undoCopy = false;
        return written == months.size();
    }
    // The new months are on disk: the copies of the last booking and of any deletion end here.
    sweep();
    if (undoReady) {
        result.undoCopy =
            m_files.renameFile(kUndoCopyInProgress, months.front().backup, FolderFlush::Deferred);
        if (result.undoCopy) {
            m_copies.insert(months.front().backup);
        } else {
            m_plain = m_plain && m_files.removeFile(kUndoCopyInProgress, FolderFlush::Deferred);
        }
    }
    return true;
}

// Puts back the months written before a failure, as they were, and flushes the folder. False
// when a month could not be put back.
bool Journal::rollBack(const std::vector<MonthWrite>& months, std::size_t written) {
    bool back = true;
    for (std::size_t i = 0; i < written && i < months.size(); ++i) {
        back = (months[i].state == MonthState::NoFile
                    ? m_files.removeFile(months[i].file, FolderFlush::Deferred)
                    : m_files.replaceFile(months[i].file, months[i].oldBytes,
                                          FolderFlush::Deferred)) &&
               back;
    }
    m_files.syncFolder();
    return back;
}

void Journal::sweep() {
    for (auto copy = m_copies.begin(); copy != m_copies.end();) {
        if (m_files.removeFile(*copy, FolderFlush::Deferred) ||
            m_files.entryKind(*copy) == platform::FileSystem::EntryKind::Missing) {
            copy = m_copies.erase(copy);
        } else {
            ++copy;
        }
    }
}

void Journal::leaveAnswer(const EntryResult& result, const AnswerText& answer) {
    if (!answer || !isPendingEntryName(result.name)) {
        return;
    }
    m_plain = false;
    const std::string text = answer(result);
    m_files.replaceFile(answerName(result.name), bytesOf(text), FolderFlush::Deferred,
                        DataFlush::Skipped);
}

void Journal::clearOldAnswers(std::int64_t nowNanoseconds) {
    if (nowNanoseconds <= 0 || !m_names) {
        return;
    }
    for (const std::string& name : *m_names) {
        if (!name.ends_with(kAnswerExtension)) {
            continue;
        }
        const auto made = timeOfName(name);
        if (made && (nowNanoseconds - *made > kAnswerLifetime ||
                     *made - nowNanoseconds > kAnswerLifetime)) {
            m_files.removeFile(name, FolderFlush::Deferred);
        }
    }
}

} // namespace storage
