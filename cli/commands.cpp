#include "cli/commands.h"

#include "cli/arguments.h"
#include "core/booking.h"
#include "core/date_fields.h"
#include "core/figures.h"
#include "core/iso_date.h"
#include "core/plan.h"
#include "core/plan_comparison.h"
#include "core/projection.h"
#include "core/range.h"
#include "core/swedish.h"
#include "core/texts.h"
#include "presenter/messages.h"
#include "presenter/notices.h"
#include "storage/journal.h"
#include "storage/month_file.h"
#include "storage/notice_settings.h"
#include "storage/plan_history.h"
#include "storage/range_totals.h"

#include <algorithm>
#include <string>
#include <vector>

namespace cli {

namespace {

using presenter::refusedOutput;
namespace messages = presenter::messages;

// The texts the range window uses for the same refusals.
constexpr const char* kOrderMessage = "\"FRÅN\" måste vara tidigare än \"TILL\".";
constexpr const char* kTooLongMessage = "Det går inte att summera längre\ntid än 12 månader.";

bool inListYears(const core::Date& date) {
    return date >= core::kFirstListDate && date <= core::kLastListDate;
}

// The days of `summa` and `exportera`: FRÅN to TILL, FRÅN to today, or the clock's month.
core::DateRange rangeOf(const Command& command, const core::Date& today) {
    if (command.date) {
        return {*command.date, command.to.value_or(today)};
    }
    return {{today.year, today.month, 1},
            {today.year, today.month, core::daysInMonth(today.year, today.month)}};
}

// Refuses a range the range window refuses, with its texts.
std::optional<CommandOutput> rangeRefusal(const core::DateRange& range) {
    if (!inListYears(range.from) || !inListYears(range.to)) {
        return refusedOutput("Datumen måste ligga från 2001-01-01 till 2099-12-31.");
    }
    switch (core::checkRange(range.from, range.to)) {
    case core::RangeCheck::Accepted:
        return std::nullopt;
    case core::RangeCheck::WrongOrder:
        return refusedOutput(kOrderMessage);
    case core::RangeCheck::TooLong:
        return refusedOutput(kTooLongMessage);
    }
    return std::nullopt;
}

// Which plan holds in which month: the history's, or the settings' plan for every month. A
// history that is not the program's is not used; `warning` then says so.
core::PlanSchedule plansOf(platform::FileSystem& files, std::int32_t current,
                           std::string* warning) {
    const storage::PlanHistory history = storage::loadPlanHistory(files);
    if (!history.usable() && warning != nullptr) {
        *warning = "surfklocka: Filen abonnemang.it är skadad eller kunde inte läsas, så varje "
                   "månad räknas med abonnemanget i tid.it.\n";
    }
    return history.schedule(current);
}

// The name of a new entry when the caller gives none: the clock's time, to the second.
std::string entryNameFromClock(const platform::Clock& clock) {
    const platform::ClockReading now = clock.now();
    const std::int64_t seconds =
        core::toDayNumber(now.date) * core::kSecondsPerDay + now.secondsSinceMidnight;
    return storage::pendingEntryName(seconds * 1'000'000'000, 0);
}

// Books every entry waiting in the journal, then `ownEntry` in memory when given: its result is
// the one named `ownName`, which for an entry in memory is empty.
CommandOutput bookAsHolder(platform::FileSystem& files,
                           const storage::SettingsFile::Loaded& settings, std::string_view ownName,
                           const storage::PendingEntry* ownEntry, std::int64_t nowNanoseconds,
                           platform::Notifier* notifier) {
    std::string warning;
    const core::PlanSchedule plans = plansOf(files, settings.settings.dailyAllowance, &warning);
    // A booking of its own in memory goes by the folder's note where one holds, and leaves one:
    // a folder of many years is then not listed at every booking.
    storage::Journal journal(files, plans,
                             ownEntry != nullptr ? storage::FolderNote::Keep
                                                 : storage::FolderNote::Ignore);
    std::vector<storage::EntryResult> results =
        journal.bookWaiting(presenter::answerText(files, settings, plans), ownName, nowNanoseconds);
    if (ownEntry != nullptr) {
        results.push_back(journal.book(*ownEntry));
    }
    journal.leaveNote();
    if (notifier != nullptr) {
        presenter::noticeWaiting(*notifier, files, results, plans);
    }
    CommandOutput own =
        refusedOutput("Bokningen " + std::string(ownName) + " fanns inte längre i datamappen." +
                      "\n" + std::string(messages::kNothingBooked));
    std::string others;
    for (const storage::EntryResult& result : results) {
        if (result.name == ownName) {
            own = presenter::entryOutput(files, result, settings, plans);
        } else if (result.outcome != storage::EntryOutcome::Booked &&
                   result.outcome != storage::EntryOutcome::Kept) {
            others += presenter::entryOutput(files, result, settings, plans).err;
        }
    }
    own.err = warning + own.err;
    if (!others.empty()) {
        own.err =
            "surfklocka: En bokning som väntade i datamappen bokfördes inte:\n" + others + own.err;
    }
    return own;
}

// A booking from the command line that holds the data folder: every entry waiting in the journal
// is booked in order, this one last.
CommandOutput runBooking(const Command& command, platform::FileSystem& files,
                         const platform::Clock& clock,
                         const storage::SettingsFile::Loaded& settings, std::string_view entryName,
                         platform::Notifier* notifier) {
    const PlannedBooking planned = planBooking(command, clock);
    if (!planned.entry) {
        return planned.refusal;
    }
    // One month's booking is one atomic write of that month, so it needs no entry file: it is
    // booked in memory, after what waits in the folder, as the window books its own.
    const storage::PendingEntry& entry = *planned.entry;
    const bool oneMonth =
        std::all_of(entry.parts.begin(), entry.parts.end(), [&entry](const auto& part) {
            return part.date.year == entry.parts.front().date.year &&
                   part.date.month == entry.parts.front().date.month;
        });
    if (oneMonth) {
        return bookAsHolder(files, settings, {}, &entry, clock.nanosecondsSince1970(), notifier);
    }
    const std::string name = entryName.empty() ? entryNameFromClock(clock) : std::string(entryName);
    if (!storage::addPendingEntry(files, name, entry)) {
        return refusedOutput(messages::notSaved(
            messages::withCause("datamappen inte gick att skriva i", files.lastError())));
    }
    return bookWaiting(files, settings, name, clock.nanosecondsSince1970(), notifier);
}

std::string column(std::string_view text, std::size_t width) {
    return core::fixedWidth(text, std::max(width, text.size())) + "  ";
}

// The table of the month's booked days; empty when none is.
std::string dayRows(const core::Date& first, const storage::MonthRead& read) {
    std::string rows;
    const int days = core::daysInMonth(first.year, first.month);
    for (int day = 1; day <= days; ++day) {
        const core::DayRecord& record = read.days[static_cast<std::size_t>(day - 1)];
        if (!core::dayHasRecord(record)) {
            continue;
        }
        const std::string extra = core::durationText(record.extraSeconds);
        rows += column(core::isoDateText({first.year, first.month, day}), 10) +
                column(core::trimBlanks(core::durationText(record.connectedSeconds)), 14) +
                column(extra.empty() ? "-" : core::trimBlanks(extra), 14) +
                core::amountTextOfOre(record.extraCost, core::AmountPattern::OneIntegerDigit) +
                " kr\n";
    }
    return rows;
}

CommandOutput runShow(const Command& command, platform::FileSystem& files,
                      const platform::Clock& clock, const core::ProgramSettings& settings) {
    const core::Date today = clock.today();
    const core::Date first = command.date.value_or(core::Date{today.year, today.month, 1});
    if (!inListYears(first)) {
        return refusedOutput("Denna månad ligger utanför 2001-2099. Ange månaden som ÅÅÅÅ-MM.");
    }
    const std::string file =
        storage::monthFileName(core::twoDigits(first.year % 100), core::twoDigits(first.month));
    const storage::MonthRead read = storage::readMonth(files, file);
    if (!read.usable()) {
        return refusedOutput("Månaden kan inte visas, eftersom " +
                             messages::unusableMonth(file, read.state, read.error) + ".");
    }
    const std::string rows = dayRows(first, read);
    if (rows.empty()) {
        return {kExitDone,
                "Ingen tid är bokförd i " + std::string(core::monthNameLower(first.month)) + " " +
                    core::decimalText(first.year) + ".\n",
                {}};
    }
    std::string warning;
    const std::int32_t allowance =
        plansOf(files, settings.dailyAllowance, &warning).allowanceFor(first.year, first.month);
    const core::MonthFigures figures =
        core::monthFigures(core::sumMonth(read.records()), allowance);
    std::string out = core::monthYearCaption(first) + "\n\n" + column("Datum", 10) +
                      column("Ansluten tid", 14) + column("Extra tid", 14) + "Kostnad\n" + rows +
                      "\n" + figures.monthTimeText + "\n" + figures.monthExtraText + "\n" +
                      figures.monthCostText + "\n" + figures.total.text + "\n";
    // The month the clock is in: where it is heading at the pace of its days so far.
    if (const auto projection = core::projectMonth(first, read.records(), today, allowance)) {
        out += "\n";
        for (const std::string& line : core::projectionLines(*projection)) {
            out += line + "\n";
        }
    }
    return {kExitDone, presenter::withoutTrailingBlanks(out), warning};
}

CommandOutput runSum(const Command& command, platform::FileSystem& files,
                     const platform::Clock& clock, const core::ProgramSettings& settings) {
    const core::DateRange range = rangeOf(command, clock.today());
    if (const auto refusal = rangeRefusal(range)) {
        return *refusal;
    }
    std::string warning;
    const auto totals = storage::sumRange(files, range.from, range.to,
                                          plansOf(files, settings.dailyAllowance, &warning),
                                          storage::EmptyMonthFiles::Keep);
    if (!totals) {
        return refusedOutput("Datumen kan inte summeras.");
    }
    const core::RangeTexts texts = core::rangeTexts(*totals);
    std::string out =
        texts.connected + "\n" + texts.extra + "\n" + texts.cost + "\n" + texts.total + "\n";
    // What the same time would have cost on each plan, every fee shared out over the days.
    out += std::string(core::kComparisonCaption) + "\n";
    for (const std::string& line : core::planComparisonTexts(
             core::comparePlans(*totals, range.from, range.to, settings.dailyAllowance))) {
        out += line + "\n";
    }
    CommandOutput output{kExitDone, presenter::withoutTrailingBlanks(out), warning};
    // Sums without some months are printed, but not as a success.
    for (const std::string& file : totals->unreadableFiles) {
        output.exitCode = kExitRefused;
        output.err += "surfklocka: Filen " + file +
                      " kunde inte läsas, så tiden i den månaden är inte med i summorna.\n";
    }
    return output;
}

CommandOutput runExport(const Command& command, platform::FileSystem& files,
                        const platform::Clock& clock, const core::ProgramSettings& settings) {
    const core::DateRange range = rangeOf(command, clock.today());
    if (const auto refusal = rangeRefusal(range)) {
        return *refusal;
    }
    const presenter::ExportOutcome outcome = presenter::exportRange(
        files, range.from, range.to, core::trimBlanks(settings.planText), command.format);
    if (!outcome.done) {
        return refusedOutput(outcome.reason + " Ingenting har exporterats.");
    }
    return {kExitDone, outcome.text, {}};
}

// Tells the notice setting, or stores it in its own file.
CommandOutput runNotices(const Command& command, platform::FileSystem& files) {
    storage::NoticeSettings notices(files);
    const storage::NoticeSettings::Loaded loaded = notices.load();
    const auto state = [](bool on) { return std::string(on ? "på" : "av"); };
    if (!command.noticesOn) {
        std::string out = "Avisering innan extra tid börjar: " + state(loaded.on) + ".\n";
        if (loaded.state == storage::NoticeFileState::Damaged ||
            loaded.state == storage::NoticeFileState::Unreadable) {
            out += "(Filen avisering.it kunde inte läsas, så aviseringen är på.)\n";
        }
        return {kExitDone, out, {}};
    }
    if (!notices.store(*command.noticesOn)) {
        return refusedOutput(loaded.state == storage::NoticeFileState::Damaged
                                 ? "Filen avisering.it är skadad och skrivs inte över. Ta bort "
                                   "den och försök igen."
                                 : "Filen avisering.it kunde inte skrivas.");
    }
    return {
        kExitDone, "Avisering innan extra tid börjar: " + state(*command.noticesOn) + ".\n", {}};
}

std::string planName(std::int32_t allowance) {
    const auto plan = core::planForAllowance(allowance);
    return plan ? std::string(core::trimBlanks(plan->planText)) : "okänt";
}

// The plan in force now and the plans each month has had.
CommandOutput tellPlans(platform::FileSystem& files, const core::Date& today,
                        std::int32_t current) {
    const storage::PlanHistory history = storage::loadPlanHistory(files);
    if (!history.usable()) {
        return refusedOutput("Filen abonnemang.it är skadad eller kunde inte läsas.");
    }
    const core::PlanSchedule plans = history.schedule(current);
    std::string out =
        "Abonnemang nu: " + planName(plans.allowanceFor(today.year, today.month)) + "\n";
    if (plans.changes().size() < 2) {
        return {kExitDone, out + "Samma abonnemang gäller för alla månader.\n", {}};
    }
    for (const core::PlanChange& change : plans.changes()) {
        out += "Från " + core::isoMonthText(change.year, change.month) + ": " +
               planName(change.dailyAllowance) + "\n";
    }
    return {kExitDone, out, {}};
}

// Tells the plans, or changes the plan from a month on: this month at the earliest, since a month
// is priced with the plan in force on its first day and earlier months keep theirs.
CommandOutput runPlans(const Command& command, platform::FileSystem& files,
                       const platform::Clock& clock, const core::ProgramSettings& settings) {
    const core::Date today = clock.today();
    if (!command.plan) {
        return tellPlans(files, today, settings.dailyAllowance);
    }
    const core::Date from = command.date.value_or(core::Date{today.year, today.month, 1});
    if (from < core::Date{today.year, today.month, 1}) {
        return refusedOutput("Ett nytt abonnemang kan börja tidigast denna månad; tidigare "
                             "månader behåller sitt abonnemang.");
    }
    switch (storage::changePlan(files, from, *command.plan, today)) {
    case storage::PlanChangeOutcome::Changed:
        return {kExitDone,
                "Från " + core::isoDateText(from) + " gäller " + planName(*command.plan) +
                    ". Tidigare månader behåller sitt abonnemang.\n",
                {}};
    case storage::PlanChangeOutcome::Damaged:
        return refusedOutput("Abonnemanget kan inte bytas, eftersom filen abonnemang.it eller "
                             "tid.it är skadad eller inte gick att läsa. Ingenting har ändrats.");
    case storage::PlanChangeOutcome::Failed:
        break;
    }
    return refusedOutput(messages::withCause("Abonnemanget kunde inte bytas, eftersom datamappen "
                                             "inte gick att skriva i",
                                             files.lastError()) +
                         ". Ingenting har ändrats.");
}

} // namespace

bool changesFiles(const Command& command) {
    return command.kind == CommandKind::Book || command.kind == CommandKind::BookConnection ||
           (command.kind == CommandKind::Plans && command.plan.has_value());
}

bool needsDataFolder(const Command& command) {
    return changesFiles(command) ||
           (command.kind == CommandKind::Notices && command.noticesOn.has_value());
}

std::optional<CommandOutput> runWithoutData(const Command& command) {
    if (command.kind == CommandKind::Help) {
        return CommandOutput{kExitDone, usageText(), {}};
    }
    if (command.kind == CommandKind::Version) {
        std::string name = core::kProgramName;
        name.front() = 's';
        return CommandOutput{kExitDone,
                             name + "\nLicens MIT: fri programvara, som du får ändra och sprida. "
                                    "Det finns ingen garanti.\n",
                             {}};
    }
    return std::nullopt;
}

CommandOutput runCommand(const Command& command, platform::FileSystem& files,
                         const platform::Clock& clock, core::ProgramSettings& settings,
                         std::string_view entryName, platform::Notifier* notifier) {
    if (auto output = runWithoutData(command)) {
        return *output;
    }
    const storage::SettingsFile::Loaded loaded = storage::SettingsFile(files).load();
    settings.planText = loaded.settings.planText;
    settings.dailyAllowance = loaded.settings.dailyAllowance;
    switch (command.kind) {
    case CommandKind::Book:
    case CommandKind::BookConnection:
        return runBooking(command, files, clock, loaded, entryName, notifier);
    case CommandKind::Show:
        return runShow(command, files, clock, settings);
    case CommandKind::Sum:
        return runSum(command, files, clock, settings);
    case CommandKind::Export:
        return runExport(command, files, clock, settings);
    case CommandKind::Notices:
        return runNotices(command, files);
    case CommandKind::Plans:
        return runPlans(command, files, clock, settings);
    case CommandKind::Help:
    case CommandKind::Version:
        break;
    }
    return {kExitDone, {}, {}};
}

PlannedBooking planBooking(const Command& command, const platform::Clock& clock) {
    PlannedBooking planned;
    if (command.kind == CommandKind::Book) {
        const core::Date date = command.date.value_or(clock.today());
        if (!inListYears(date)) {
            planned.refusal = refusedOutput("Dagens datum " + core::isoDateText(date) +
                                            " ligger utanför 2001-2099. Ange dagen med --datum.");
            return planned;
        }
        planned.entry = storage::PendingEntry{
            {{date, static_cast<std::int32_t>(command.seconds), std::nullopt}}};
        return planned;
    }
    if (command.kind != CommandKind::BookConnection) {
        planned.refusal = refusedOutput("Det finns ingen tid att bokföra.");
        return planned;
    }
    // A connection that has just ended: the part after each midnight goes to the day it belongs
    // to, counted back from now.
    const platform::ClockReading now = clock.now();
    storage::PendingEntry entry;
    std::int64_t left = command.seconds;
    core::Date day = now.date;
    std::int64_t available = now.secondsSinceMidnight;
    while (left > 0) {
        const std::int64_t part = std::min(left, available);
        if (part > 0) {
            if (!inListYears(day)) {
                planned.refusal = refusedOutput("Anslutningen faller på " + core::isoDateText(day) +
                                                ", utanför 2001-2099.\nIngen tid har bokförts.");
                return planned;
            }
            entry.parts.insert(entry.parts.begin(),
                               {day, static_cast<std::int32_t>(part), std::nullopt});
        }
        left -= part;
        day = core::addDays(day, -1);
        available = core::kSecondsPerDay;
    }
    planned.entry = entry;
    return planned;
}

CommandOutput bookWaiting(platform::FileSystem& files,
                          const storage::SettingsFile::Loaded& settings, std::string_view ownName,
                          std::int64_t nowNanoseconds, platform::Notifier* notifier) {
    return bookAsHolder(files, settings, ownName, nullptr, nowNanoseconds, notifier);
}

} // namespace cli
