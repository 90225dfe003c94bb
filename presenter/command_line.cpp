#include "presenter/command_line.h"

#include "core/booking.h"
#include "core/date_fields.h"
#include "core/figures.h"
#include "core/plan.h"
#include "core/plan_comparison.h"
#include "core/projection.h"
#include "core/range.h"
#include "core/swedish.h"
#include "core/texts.h"
#include "presenter/messages.h"
#include "presenter/notices.h"
#include "storage/booking.h"
#include "storage/journal.h"
#include "storage/month_file.h"
#include "storage/notice_settings.h"
#include "storage/range_totals.h"
#include "storage/settings_file.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

namespace presenter {

namespace {

// The texts the windows use for the same refusals.
constexpr const char* kOrderMessage = "\"FRÅN\" måste vara tidigare än \"TILL\".";
constexpr const char* kTooLongMessage = "Det går inte att summera längre\ntid än 12 månader.";

// Numbers longer than this are refused as too large before they are converted.
constexpr std::size_t kLongestNumber = 12;

CommandOutput wrongUse(const std::string& reason) {
    return {kExitWrongUse, {}, "surfklocka: " + reason + "\n\n" + usageText()};
}

CommandOutput refused(const std::string& reason) {
    return {kExitRefused, {}, "surfklocka: " + reason + "\n"};
}

ParsedCommand wrongUseParsed(const std::string& reason) {
    return {std::nullopt, wrongUse(reason)};
}

ParsedCommand refusedParsed(const std::string& reason) {
    return {std::nullopt, refused(reason)};
}

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::int64_t digitsValue(std::string_view text) {
    std::int64_t value = 0;
    for (const char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

bool inListYears(const core::Date& date) {
    return date >= core::kFirstListDate && date <= core::kLastListDate;
}

// "ÅÅÅÅ-MM-DD" as numbers; nullopt when the text does not have that shape. The date may still
// not be real.
std::optional<core::Date> isoDateShape(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !allDigits(text.substr(0, 4)) ||
        !allDigits(text.substr(5, 2)) || !allDigits(text.substr(8, 2))) {
        return std::nullopt;
    }
    return core::Date{static_cast<int>(digitsValue(text.substr(0, 4))),
                      static_cast<int>(digitsValue(text.substr(5, 2))),
                      static_cast<int>(digitsValue(text.substr(8, 2)))};
}

// A date argument: wrong use when it is not ÅÅÅÅ-MM-DD, refused when it is not a real date of
// 2001 to 2099.
std::optional<core::Date> dateArgument(std::string_view text, std::optional<ParsedCommand>& error) {
    const auto date = isoDateShape(text);
    if (!date) {
        error = wrongUseParsed("\"" + std::string(text) +
                               "\" är inget datum. Skriv datum som ÅÅÅÅ-MM-DD.");
        return std::nullopt;
    }
    if (!date->isValid()) {
        error = refusedParsed(std::string(text) + " är inget riktigt datum.");
        return std::nullopt;
    }
    if (!inListYears(*date)) {
        error = refusedParsed("Datumet " + std::string(text) +
                              " ligger utanför 2001-01-01 till 2099-12-31.");
        return std::nullopt;
    }
    return date;
}

// A number of seconds or a time H:MM:SS or M:SS. Wrong use when it has no such shape, refused
// when it is negative, impossible, 0 or longer than `longest`.
std::optional<std::int64_t> secondsArgument(std::string_view text, bool timeForms,
                                            std::int64_t longest,
                                            std::optional<ParsedCommand>& error) {
    const std::string quoted = "\"" + std::string(text) + "\"";
    if (text.size() > 1 && text[0] == '-' && allDigits(text.substr(1, 1))) {
        error = refusedParsed(quoted + ": tiden kan inte vara negativ.");
        return std::nullopt;
    }
    std::vector<std::string_view> parts;
    if (timeForms) {
        std::size_t start = 0;
        while (true) {
            const std::size_t colon = text.find(':', start);
            parts.push_back(text.substr(start, colon - start));
            if (colon == std::string_view::npos) {
                break;
            }
            start = colon + 1;
        }
    } else {
        parts.push_back(text);
    }
    const bool shaped = parts.size() <= 3 && std::all_of(parts.begin(), parts.end(), allDigits) &&
                        std::all_of(parts.begin() + 1, parts.end(),
                                    [](std::string_view p) { return p.size() == 2; });
    if (!shaped) {
        error = wrongUseParsed(quoted + (timeForms ? " är ingen tid. Skriv H:MM:SS, M:SS eller "
                                                     "ett helt antal sekunder."
                                                   : " är inget helt antal sekunder."));
        return std::nullopt;
    }
    if (parts.front().size() > kLongestNumber) {
        error = refusedParsed(quoted + " är för lång tid.");
        return std::nullopt;
    }
    std::int64_t seconds = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::int64_t value = digitsValue(parts[i]);
        if (i > 0 && value >= 60) {
            error = refusedParsed(quoted + " är ingen möjlig tid: minuter och sekunder går "
                                           "från 00 till 59.");
            return std::nullopt;
        }
        seconds = seconds * 60 + value;
    }
    if (seconds == 0) {
        error = refusedParsed("Ingen tid att bokföra: " + quoted + " är 0 sekunder.");
        return std::nullopt;
    }
    if (seconds > longest) {
        error = refusedParsed(quoted + " är för lång tid: högst " + core::durationText(longest) +
                              "går att bokföra.");
        return std::nullopt;
    }
    return seconds;
}

ParsedCommand parseBook(std::span<const std::string> arguments) {
    Command command;
    command.kind = CommandKind::Book;
    std::optional<std::string> dateText;
    std::optional<std::string> connectionText;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--datum" || argument == "--anslutning") {
            if (i + 1 == arguments.size()) {
                return wrongUseParsed(argument + " saknar sitt värde.");
            }
            auto& slot = argument == "--datum" ? dateText : connectionText;
            if (slot) {
                return wrongUseParsed(argument + " får bara anges en gång.");
            }
            slot = arguments[++i];
        } else if (argument.size() > 1 && argument[0] == '-' &&
                   !allDigits(std::string_view(argument).substr(1, 1))) {
            return wrongUseParsed("boka känner inte till " + argument + ".");
        } else {
            positional.push_back(argument);
        }
    }
    std::optional<ParsedCommand> error;
    if (connectionText) {
        if (dateText || !positional.empty()) {
            return wrongUseParsed("--anslutning tar varken datum eller tid: bara sekunderna.");
        }
        const auto seconds =
            secondsArgument(*connectionText, false, kLongestConnectionSeconds, error);
        if (!seconds) {
            return *error;
        }
        command.kind = CommandKind::BookConnection;
        command.seconds = *seconds;
        return {command, {}};
    }
    if (positional.size() != 1) {
        return wrongUseParsed(positional.empty() ? "boka saknar tiden att bokföra."
                                                 : "boka tar bara en tid.");
    }
    if (dateText) {
        command.date = dateArgument(*dateText, error);
        if (!command.date) {
            return *error;
        }
    }
    const auto seconds = secondsArgument(positional.front(), true, core::kSecondsPerDay, error);
    if (!seconds) {
        return *error;
    }
    command.seconds = *seconds;
    return {command, {}};
}

ParsedCommand parseShow(std::span<const std::string> arguments) {
    Command command;
    command.kind = CommandKind::Show;
    if (arguments.size() > 1) {
        return wrongUseParsed("visa tar högst en månad.");
    }
    if (arguments.size() == 1) {
        const std::string_view text = arguments.front();
        if (text.size() != 7 || text[4] != '-' || !allDigits(text.substr(0, 4)) ||
            !allDigits(text.substr(5, 2))) {
            return wrongUseParsed("\"" + std::string(text) +
                                  "\" är ingen månad. Skriv månaden som ÅÅÅÅ-MM.");
        }
        const core::Date first{static_cast<int>(digitsValue(text.substr(0, 4))),
                               static_cast<int>(digitsValue(text.substr(5, 2))), 1};
        if (!first.isValid() || !inListYears(first)) {
            return refusedParsed(std::string(text) +
                                 " är ingen månad från januari 2001 till december 2099.");
        }
        command.date = first;
    }
    return {command, {}};
}

ParsedCommand parseRange(CommandKind kind, std::span<const std::string> arguments) {
    Command command;
    command.kind = kind;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (kind == CommandKind::Export && argument == "--format") {
            if (i + 1 == arguments.size()) {
                return wrongUseParsed("--format saknar sitt värde: csv eller json.");
            }
            const std::string& format = arguments[++i];
            if (format == "csv") {
                command.format = ExportFormat::Csv;
            } else if (format == "json") {
                command.format = ExportFormat::Json;
            } else {
                return wrongUseParsed("Formatet \"" + format +
                                      "\" finns inte: välj csv eller json.");
            }
        } else if (argument.size() > 1 && argument[0] == '-') {
            return wrongUseParsed("Okänt val: " + argument + ".");
        } else {
            positional.push_back(argument);
        }
    }
    const std::size_t least = kind == CommandKind::Sum ? 2 : 0;
    if (positional.size() < least || positional.size() > 2) {
        return wrongUseParsed(kind == CommandKind::Sum ? "summa tar två datum: FRÅN och TILL."
                                                       : "exportera tar högst två datum.");
    }
    std::optional<ParsedCommand> error;
    if (!positional.empty()) {
        command.date = dateArgument(positional[0], error);
        if (!command.date) {
            return *error;
        }
    }
    if (positional.size() == 2) {
        command.to = dateArgument(positional[1], error);
        if (!command.to) {
            return *error;
        }
    }
    return {command, {}};
}

// Refuses a range the range window refuses, with its texts.
std::optional<CommandOutput> rangeRefusal(const core::Date& from, const core::Date& to) {
    switch (core::checkRange(from, to)) {
    case core::RangeCheck::Accepted:
        return std::nullopt;
    case core::RangeCheck::WrongOrder:
        return refused(kOrderMessage);
    case core::RangeCheck::TooLong:
        return refused(kTooLongMessage);
    }
    return std::nullopt;
}

std::string monthFileOf(const core::Date& date) {
    return storage::monthFileName(core::twoDigits(date.year % 100), core::twoDigits(date.month));
}

// The lines a booking prints: what was booked, the day's figures and the month's, in the main
// window's texts.
std::string bookedLines(platform::FileSystem& files, const core::Date& date, std::int64_t seconds,
                        const core::DayRecord& record, std::int32_t dailyAllowance) {
    std::string out = "Bokfört " + isoDate(date) + ": " + core::durationText(seconds) + "\n";
    const core::DayFigures day = core::dayFigures(record, dailyAllowance);
    out += day.connected.text + "\n" + day.remaining.text + "\n" + day.cost.text + "\n";
    const storage::MonthRead month = storage::readMonth(files, monthFileOf(date));
    const core::MonthFigures figures =
        month.hasRecords() ? core::monthFigures(core::sumMonth(month.records()), dailyAllowance)
                           : core::emptyMonthFigures(dailyAllowance);
    out += core::monthYearCaption(date) + "\n" + figures.connected.text + "\n" +
           figures.extra.text + "\n" + figures.cost.text + "\n" + figures.total.text + "\n";
    return out;
}

// The name of a new entry when the caller gives none: the clock's time, to the second.
std::string entryNameFromClock(const platform::Clock& clock) {
    const platform::ClockReading now = clock.now();
    const std::int64_t seconds =
        core::toDayNumber(now.date) * core::kSecondsPerDay + now.secondsSinceMidnight;
    return storage::pendingEntryName(seconds * 1'000'000'000, 0);
}

// A booking from the command line that holds the data folder: its entry is written to the
// journal, and every entry waiting there is booked in order, this one last.
CommandOutput runBooking(const Command& command, platform::FileSystem& files,
                         const platform::Clock& clock,
                         const storage::SettingsFile::Loaded& settings, std::string_view entryName,
                         platform::Notifier* notifier) {
    const PlannedBooking planned = planBooking(command, clock);
    if (!planned.entry) {
        return planned.refusal;
    }
    const std::string name = entryName.empty() ? entryNameFromClock(clock) : std::string(entryName);
    if (!storage::addPendingEntry(files, name, *planned.entry)) {
        return refused(messages::notSaved(
            messages::withCause("datamappen inte gick att skriva i", files.lastError())));
    }
    return bookWaiting(files, settings, name, clock.nanosecondsSince1970(), notifier);
}

std::optional<std::int64_t> wholeNumber(std::string_view text) {
    if (!allDigits(text) || text.size() > 9) {
        return std::nullopt;
    }
    return digitsValue(text);
}

std::string column(std::string_view text, std::size_t width) {
    return core::fixedWidth(text, std::max(width, text.size())) + "  ";
}

CommandOutput runShow(const Command& command, platform::FileSystem& files,
                      const platform::Clock& clock, const core::ProgramSettings& settings) {
    const core::Date today = clock.today();
    const core::Date first = command.date.value_or(core::Date{today.year, today.month, 1});
    if (!inListYears(first)) {
        return refused("Denna månad ligger utanför 2001-2099. Ange månaden som ÅÅÅÅ-MM.");
    }
    const std::string file = monthFileOf(first);
    const storage::MonthRead read = storage::readMonth(files, file);
    if (!read.usable()) {
        return refused("Månaden kan inte visas, eftersom " +
                       messages::unusableMonth(file, read.state, read.error) + ".");
    }
    std::string rows;
    const int days = core::daysInMonth(first.year, first.month);
    for (int day = 1; day <= days; ++day) {
        const core::DayRecord& record = read.days[static_cast<std::size_t>(day - 1)];
        if (!core::dayHasRecord(record)) {
            continue;
        }
        const std::string extra = core::durationText(record.extraSeconds);
        rows += column(isoDate({first.year, first.month, day}), 10) +
                column(core::trimBlanks(core::durationText(record.connectedSeconds)), 14) +
                column(extra.empty() ? "-" : core::trimBlanks(extra), 14) +
                core::amountTextOfOre(record.extraCost, core::AmountPattern::OneIntegerDigit) +
                " kr\n";
    }
    const std::string caption = core::monthYearCaption(first);
    if (rows.empty()) {
        return {kExitDone,
                "Ingen tid är bokförd i " + std::string(core::monthNameLower(first.month)) + " " +
                    core::decimalText(first.year) + ".\n",
                {}};
    }
    const core::MonthFigures figures =
        core::monthFigures(core::sumMonth(read.records()), settings.dailyAllowance);
    std::string out = caption + "\n\n" + column("Datum", 10) + column("Ansluten tid", 14) +
                      column("Extra tid", 14) + "Kostnad\n" + rows + "\n" + figures.monthTimeText +
                      "\n" + figures.monthExtraText + "\n" + figures.monthCostText + "\n" +
                      figures.total.text + "\n";
    // The month the clock is in: where it is heading at the pace of its days so far.
    if (const auto projection =
            core::projectMonth(first, read.records(), today, settings.dailyAllowance)) {
        out += "\n";
        for (const std::string& line : core::projectionLines(*projection)) {
            out += line + "\n";
        }
    }
    return {kExitDone, out, {}};
}

CommandOutput runSum(const Command& command, platform::FileSystem& files,
                     const core::ProgramSettings& settings) {
    const core::Date from = command.date.value_or(core::kFirstListDate);
    const core::Date to = command.to.value_or(core::kFirstListDate);
    if (const auto refusal = rangeRefusal(from, to)) {
        return *refusal;
    }
    const auto totals =
        storage::sumRange(files, from, to, settings.dailyAllowance, storage::EmptyMonthFiles::Keep);
    if (!totals) {
        return refused("Datumen kan inte summeras.");
    }
    const core::RangeTexts texts = core::rangeTexts(*totals);
    CommandOutput output{kExitDone,
                         texts.connected + "\n" + texts.extra + "\n" + texts.cost + "\n" +
                             texts.total + "\n",
                         {}};
    // What the same time would have cost on each plan, every fee shared out over the days.
    output.out += std::string(core::kComparisonCaption) + "\n";
    for (const std::string& line : core::planComparisonTexts(
             core::comparePlans(*totals, from, to, settings.dailyAllowance))) {
        output.out += line + "\n";
    }
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
    const core::Date today = clock.today();
    core::Date from{today.year, today.month, 1};
    core::Date to{today.year, today.month, core::daysInMonth(today.year, today.month)};
    if (command.date) {
        from = *command.date;
        to = command.to.value_or(today);
    }
    if (!inListYears(from) || !inListYears(to)) {
        return refused("Datumen måste ligga från 2001-01-01 till 2099-12-31.");
    }
    if (const auto refusal = rangeRefusal(from, to)) {
        return *refusal;
    }
    const ExportOutcome outcome =
        exportRange(files, from, to, core::trimBlanks(settings.planText), command.format);
    if (!outcome.done) {
        return refused(outcome.reason + " Ingenting har exporterats.");
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
        return refused(loaded.state == storage::NoticeFileState::Damaged
                           ? "Filen avisering.it är skadad och skrivs inte över. Ta bort den och "
                             "försök igen."
                           : "Filen avisering.it kunde inte skrivas.");
    }
    return {
        kExitDone, "Avisering innan extra tid börjar: " + state(*command.noticesOn) + ".\n", {}};
}

} // namespace

std::string usageText() {
    return "Användning:\n"
           "  surfklocka                  öppnar fönstret\n"
           "  surfklocka boka [--datum ÅÅÅÅ-MM-DD] TID\n"
           "      bokför TID (H:MM:SS, M:SS eller sekunder) på dagen, i dag om inget datum anges\n"
           "  surfklocka boka --anslutning SEKUNDER\n"
           "      bokför en anslutning som just har slutat och varade i SEKUNDER (högst 31 dygn);\n"
           "      tiden före varje midnatt bokförs på sin egen dag\n"
           "  surfklocka visa [ÅÅÅÅ-MM]\n"
           "      visar månadens bokförda dagar och summor, denna månad om ingen anges\n"
           "  surfklocka summa FRÅN TILL\n"
           "      summerar tid och kostnad från FRÅN till TILL (ÅÅÅÅ-MM-DD, högst 365 dagar)\n"
           "  surfklocka exportera [--format csv|json] [FRÅN [TILL]]\n"
           "      skriver varje bokförd dag som CSV (förval) eller JSON: denna månad om inget\n"
           "      datum anges, och till i dag om bara FRÅN anges\n"
           "  surfklocka avisering [på|av]\n"
           "      visar, slår på eller stänger av aviseringen när dagens förbetalda tid snart är\n"
           "      slut eller extra tid börjar\n"
           "  surfklocka --help           visar den här hjälpen\n"
           "  surfklocka --version        visar versionen\n"
           "\n"
           "Slutstatus: 0 klart, 1 vägrat eller misslyckat, 2 felaktig användning.\n";
}

ParsedCommand parseCommandLine(std::span<const std::string> arguments) {
    if (arguments.empty()) {
        return wrongUseParsed("Ange ett kommando.");
    }
    const std::string& name = arguments.front();
    const auto rest = arguments.subspan(1);
    if (name == "--help" || name == "-h") {
        return {Command{CommandKind::Help, {}, {}, 0, ExportFormat::Csv, {}}, {}};
    }
    if (name == "--version") {
        return {Command{CommandKind::Version, {}, {}, 0, ExportFormat::Csv, {}}, {}};
    }
    if (name == "boka") {
        return parseBook(rest);
    }
    if (name == "visa") {
        return parseShow(rest);
    }
    if (name == "summa") {
        return parseRange(CommandKind::Sum, rest);
    }
    if (name == "exportera") {
        return parseRange(CommandKind::Export, rest);
    }
    if (name == "avisering") {
        Command command;
        command.kind = CommandKind::Notices;
        if (rest.size() > 1) {
            return wrongUseParsed("avisering tar högst ett värde: på eller av.");
        }
        if (rest.size() == 1) {
            if (rest.front() != "på" && rest.front() != "av") {
                return wrongUseParsed("\"" + rest.front() + "\" är varken på eller av.");
            }
            command.noticesOn = rest.front() == "på";
        }
        return {command, {}};
    }
    return wrongUseParsed("Okänt kommando: " + name + ".");
}

bool changesFiles(const Command& command) {
    return command.kind == CommandKind::Book || command.kind == CommandKind::BookConnection;
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
        return runSum(command, files, settings);
    case CommandKind::Export:
        return runExport(command, files, clock, settings);
    case CommandKind::Notices:
        return runNotices(command, files);
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
            planned.refusal = refused("Dagens datum " + isoDate(date) +
                                      " ligger utanför 2001-2099. Ange dagen med --datum.");
            return planned;
        }
        planned.entry = storage::PendingEntry{
            {{date, static_cast<std::int32_t>(command.seconds), std::nullopt}}};
        return planned;
    }
    if (command.kind != CommandKind::BookConnection) {
        planned.refusal = refused("Det finns ingen tid att bokföra.");
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
                planned.refusal = refused("Anslutningen faller på " + isoDate(day) +
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

CommandOutput entryOutput(platform::FileSystem& files, const storage::EntryResult& result,
                          const storage::SettingsFile::Loaded& settings) {
    const std::int32_t allowance = settings.settings.dailyAllowance;
    const std::string nothing = "\n" + std::string(messages::kNothingBooked);
    switch (result.outcome) {
    case storage::EntryOutcome::Booked: {
        CommandOutput output;
        for (std::size_t i = 0; i < result.entry.parts.size() && i < result.records.size(); ++i) {
            const storage::PendingPart& part = result.entry.parts[i];
            output.out += bookedLines(files, part.date, part.seconds, result.records[i], allowance);
        }
        return output;
    }
    case storage::EntryOutcome::Refused:
        return refused(std::string(messages::kDayFull) + " (" + isoDate(result.refusedDay) + ")." +
                       nothing);
    case storage::EntryOutcome::NoPlan:
        return refused(messages::noPlan(settings));
    case storage::EntryOutcome::Failed:
        return refused(messages::notSaved(
            messages::monthNotWritten(result.monthFile, result.monthState, result.error)));
    case storage::EntryOutcome::SetAside:
        return refused(messages::setAside(result));
    case storage::EntryOutcome::Kept:
        break;
    }
    CommandOutput output = waitingOutput();
    output.out = "Bokningen är påbörjad men kan inte bokföras färdigt nu, eftersom " +
                 messages::monthNotWritten(result.monthFile, result.monthState, result.error) +
                 ".\n" + output.out;
    return output;
}

CommandOutput waitingOutput() {
    return {kExitDone,
            "Bokningen väntar i datamappen och bokförs av Surfklocka så snart det går, senast "
            "vid nästa start eller bokning.\nBokför den inte en gång till.\n",
            {}};
}

storage::AnswerText answerText(platform::FileSystem& files,
                               const storage::SettingsFile::Loaded& settings) {
    return [&files, settings](const storage::EntryResult& result) {
        return outputBytes(entryOutput(files, result, settings));
    };
}

std::string outputBytes(const CommandOutput& output) {
    return core::decimalText(output.exitCode) + "\n" +
           core::decimalText(static_cast<std::int64_t>(output.out.size())) + "\n" + output.out +
           output.err;
}

std::optional<CommandOutput> parseOutputBytes(std::string_view bytes) {
    const std::size_t first = bytes.find('\n');
    const std::size_t second =
        first == std::string_view::npos ? first : bytes.find('\n', first + 1);
    if (second == std::string_view::npos) {
        return std::nullopt;
    }
    const auto code = wholeNumber(bytes.substr(0, first));
    const auto length = wholeNumber(bytes.substr(first + 1, second - first - 1));
    const std::string_view texts = bytes.substr(second + 1);
    if (!code || *code > kExitWrongUse || !length ||
        static_cast<std::size_t>(*length) > texts.size()) {
        return std::nullopt;
    }
    const auto split = static_cast<std::size_t>(*length);
    return CommandOutput{static_cast<int>(*code), std::string(texts.substr(0, split)),
                         std::string(texts.substr(split))};
}

CommandOutput bookWaiting(platform::FileSystem& files,
                          const storage::SettingsFile::Loaded& settings, std::string_view ownName,
                          std::int64_t nowNanoseconds, platform::Notifier* notifier) {
    storage::Journal journal(files, settings.settings.dailyAllowance);
    const std::vector<storage::EntryResult> results =
        journal.bookWaiting(answerText(files, settings), ownName, nowNanoseconds);
    if (notifier != nullptr) {
        noticeWaiting(*notifier, files, results, settings.settings.dailyAllowance);
    }
    CommandOutput own =
        refused("Bokningen " + std::string(ownName) + " fanns inte längre i datamappen." + "\n" +
                std::string(messages::kNothingBooked));
    std::string others;
    for (const storage::EntryResult& result : results) {
        if (result.name == ownName) {
            own = entryOutput(files, result, settings);
        } else if (result.outcome != storage::EntryOutcome::Booked &&
                   result.outcome != storage::EntryOutcome::Kept) {
            others += entryOutput(files, result, settings).err;
        }
    }
    if (!others.empty()) {
        own.err =
            "surfklocka: En bokning som väntade i datamappen bokfördes inte:\n" + others + own.err;
    }
    return own;
}

} // namespace presenter
