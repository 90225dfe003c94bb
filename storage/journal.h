#pragma once

#include "core/date.h"
#include "core/day_record.h"
#include "core/plan_schedule.h"
#include "platform/file_system.h"
#include "storage/month_file.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace storage {

// The journal of bookings. Every booking (the window's own save, a booking typed on the command
// line, one handed over to the window, a connection booked by pppd) goes through the same steps,
// taken by whoever holds the data folder's lock:
//  1. the entry is checked whole: the plan of every month it touches (the plan in force on the
//     month's first day) must be known, every month usable, and no day may pass 24 hours; a
//     refused entry books nothing;
//  2. each day's record as it stands is kept in the entry's file (its "marks");
//  3. each month the entry touches is written once, whole, with all of its days: a new file,
//     flushed and renamed over the month; the folder is then flushed once;
//  4. only now, with the new months on disk, the copies of earlier steps ("*.tmp") are swept, and
//     the undo copy (the month as it was, for an entry of one month) takes its name;
//  5. the answer is left for the command that waits for it, and the entry file is removed.
// A booking that fails before step 4 puts back every month it wrote and removes what it made, so
// no other file changes. A program that stops dead at any step leaves the entry file, and the
// next holder books exactly what is left of it: a month whose days no longer hold the marks was
// written before the stop.
//
// Entries of other processes are files in the data folder, "<time>-<pid>.vantande", booked in the
// order of their names; their answers are "<time>-<pid>.svar", written by whoever booked them. An
// entry of the window's own is held in memory: it is one write of one month, atomic by itself,
// and its outcome is shown at once. Entry files are read as untrusted bytes: anything that is not
// an entry exactly as the program writes it is never booked; it is set aside once under its name
// + ".skadad".
//
// It shows nothing and knows no window, socket or clock: callers name new entries, give the time
// when old answers are cleared, and say what an answer holds.

inline constexpr std::string_view kPendingExtension = ".vantande";
inline constexpr std::string_view kAnswerExtension = ".svar";
inline constexpr std::string_view kSetAsideSuffix = ".skadad";
// The undo copy while a booking is under way; it takes the copy's name ("0112.tmp") once the
// booking is on disk. Neither "*.tid" nor "*.tmp" matches it.
inline constexpr std::string_view kUndoCopyInProgress = "kopia.ny";
// The longest entry file that is read: an entry holds at most 32 days.
inline constexpr std::size_t kPendingMaxBytes = 4096;
inline constexpr std::size_t kPendingMaxParts = 32;
// The longest answer file that is read.
inline constexpr std::size_t kAnswerMaxBytes = 64 * 1024;

// One day's part of a booking. `before` is the day's record as the month held it when the entry
// was marked (step 2).
struct PendingPart {
    core::Date date;
    std::int32_t seconds = 0;
    std::optional<DayBytes> before;

    bool operator==(const PendingPart&) const = default;
};

// A booking: one or more parts on distinct days, in date order, booked all or none.
struct PendingEntry {
    std::vector<PendingPart> parts;

    bool operator==(const PendingEntry&) const = default;
};

// The name of a new entry: the time it was made, in nanoseconds since 1970 (20 digits), and the
// process id (10 digits), so that names sort in the order they were made. Negative values count
// as 0.
std::string pendingEntryName(std::int64_t nanoseconds, std::int64_t processId);
// Whether a name has the shape pendingEntryName gives.
bool isPendingEntryName(std::string_view name);
// The name of an entry's answer: "<time>-<pid>.svar".
std::string answerName(std::string_view entryName);

// The bytes of an entry file, and back. The reader accepts exactly what the writer writes: a
// header line, then one line "ÅÅÅÅ-MM-DD SEKUNDER" or "ÅÅÅÅ-MM-DD SEKUNDER FÖRE" per part, with
// real dates of 2001 to 2099 in rising order, 1 to 86400 seconds each, and FÖRE the 16 bytes of
// the record in 32 lower-case hexadecimal digits, on every part or on none. Anything else is
// nullopt.
std::string pendingEntryText(const PendingEntry& entry);
std::optional<PendingEntry> parsePendingEntry(std::span<const std::uint8_t> bytes);

// Writes a new entry file under `name` (a pendingEntryName), unmarked. Its data is not flushed
// unless `durable`: the booking that follows flushes what it relies on. False, writing nothing,
// when the entry is not one the reader accepts or something of that name exists. With `durable`,
// its data and name are flushed first: for an entry that may be left waiting for another holder, so
// that a power cut cannot take it.
bool addPendingEntry(platform::FileSystem& files, std::string_view name, const PendingEntry& entry,
                     bool durable = false);
// Whether the entry file is still waiting in the folder.
bool isWaiting(platform::FileSystem& files, std::string_view name);
// The answer left for an entry, removed once read; nullopt when there is none (yet).
std::optional<std::string> takeAnswer(platform::FileSystem& files, std::string_view entryName);

enum class EntryOutcome {
    Booked,   // every part is booked (some possibly before the program last stopped)
    Refused,  // a day would pass 24 hours: nothing of it is booked
    NoPlan,   // the plan is not known, so extra time cannot be told: nothing is booked
    Failed,   // a month is unusable, or a write failed: nothing is booked
    SetAside, // not an entry the program wrote: never booked, renamed to name + ".skadad"
    Kept,     // begun before a stop, and its other months cannot be written now: it stays in the
              // folder, marked, for a later holder to finish
};

// Why an entry file was set aside.
enum class SetAsideCause {
    NotAnEntry, // a regular file, but not an entry the program wrote
    Link,       // a symbolic link, which is never followed
    NotAFile,   // a folder, a FIFO or anything else that is no regular file
};

struct EntryResult {
    std::string name; // the entry file's name; empty for an entry held in memory
    EntryOutcome outcome = EntryOutcome::Failed;
    PendingEntry entry; // as read (empty when it was set aside)
    // Booked: each part's day before and after, in the order of the parts.
    std::vector<core::DayRecord> before;
    std::vector<core::DayRecord> records;
    // Booked: the month written last, its undo copy's name, and whether the copy holds the month
    // as it was before this entry (only an entry of one month has one: a connection across a month
    // boundary cannot be taken back by one month's copy).
    std::string entryFile;
    std::string entryBackup;
    bool undoCopy = false;
    bool acrossMonths = false;
    bool bookedBefore = false; // Booked: every part was found booked before a stop
    // Refused: the day that would pass 24 hours.
    core::Date refusedDay;
    // Failed, Kept: the month that could not be used or written, what it was found to be, and the
    // system's error number when the system gave one (0 otherwise).
    std::string monthFile;
    MonthState monthState = MonthState::NoFile;
    int error = 0;
    // SetAside: why, and whether the renaming failed (then it is still there).
    SetAsideCause setAsideCause = SetAsideCause::NotAnEntry;
    bool setAsideFailed = false;
};

// What an entry's answer holds: the text a waiting command prints, from the result.
using AnswerText = std::function<std::string(const EntryResult&)>;

// Whether a holder goes by the folder's note (FileSystem::takeFolderNote) instead of listing the
// folder, and leaves one for the next holder. A folder of many years holds over a thousand names,
// and listing them costs a booking a fifth more than the rest of it.
enum class FolderNote {
    Ignore, // list the folder, leave no note
    Keep,   // go by the note where one holds; leave one with leaveNote()
};

// One turn of whoever holds the data folder: lists the folder once, books the entries that wait
// there (bookWaiting) and its own (book), sweeping the copies that listing found. The caller
// holds the data folder's lock for the life of the object.
//
// With FolderNote::Keep a holder that finds a note which holds lists nothing: the note names the
// copies ("*.tmp") the last holder left, and says that nothing else waits there (no entry, no
// answer, no undo copy under way), since every change of a name made since then would have dropped
// it. Otherwise it lists the folder as ever. leaveNote() leaves the copies there are now for the
// next holder, when the folder was found and left that plain, and drops the note otherwise.
class Journal {
public:
    // Books every day with the plan in force in its month.
    Journal(platform::FileSystem& files, core::PlanSchedule plans,
            FolderNote note = FolderNote::Ignore);
    // One plan for every month.
    Journal(platform::FileSystem& files, std::int32_t dailyAllowance);

    // Books every entry file waiting in the folder, in the order of their names (a begun entry
    // first), and leaves each one's answer, as `answer` words it, for its command; no answer is
    // left for `own`, the caller's own entry, nor when `answer` is empty. When entries of others
    // were booked, the folder is listed again for entries that appeared meanwhile, so that none
    // is left waiting. Answers older than a day before `nowNanoseconds` (by the time in their
    // names) are removed; 0 keeps them all. Returns what became of each entry.
    std::vector<EntryResult> bookWaiting(const AnswerText& answer, std::string_view own = {},
                                         std::int64_t nowNanoseconds = 0);

    // Books an entry held in memory, with the same checks and writes as an entry file.
    EntryResult book(const PendingEntry& entry);

    // With FolderNote::Keep, once the turn is over: leaves the folder's note naming the copies
    // there are now, if no entry, answer or undo copy under way was found and no write failed;
    // drops it otherwise. Does nothing with FolderNote::Ignore.
    void leaveNote();

private:
    struct MonthWrite;

    EntryResult bookFile(const std::string& name, const AnswerText& answer);
    EntryResult setAside(const std::string& name, SetAsideCause cause, const AnswerText& answer);
    std::vector<std::size_t> notYetBooked(const PendingEntry& entry);
    const MonthBytes& month(const std::string& file);
    bool check(EntryResult& result, bool marked);
    void write(EntryResult& result, const std::vector<std::size_t>& toBook);
    bool commit(std::vector<MonthWrite>& months, bool undo, EntryResult& result);
    bool rollBack(const std::vector<MonthWrite>& months, std::size_t written);
    void sweep();
    void leaveAnswer(const EntryResult& result, const AnswerText& answer);
    void clearOldAnswers(std::int64_t nowNanoseconds);
    void list();

    platform::FileSystem& m_files;
    core::PlanSchedule m_plans;
    FolderNote m_note = FolderNote::Ignore;
    bool m_plain = true; // nothing found or left but months, settings and copies
    std::optional<std::vector<std::string>> m_names; // the last listing
    std::set<std::string> m_copies;                  // the "*.tmp" copies known to be there
    std::map<std::string, MonthBytes> m_months;      // the months read for the entry at hand
};

} // namespace storage
