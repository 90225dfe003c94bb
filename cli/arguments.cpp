#include "cli/arguments.h"

#include "cli/duration.h"
#include "core/booking.h"
#include "core/iso_date.h"
#include "core/range.h"
#include "core/texts.h"

#include <utility>
#include <vector>

namespace cli {

namespace {

// Numbers longer than this are refused as too large before they are converted.
constexpr std::size_t kLongestNumber = 12;

ParsedCommand wrongUse(const std::string& reason) {
    return {std::nullopt,
            {kExitWrongUse, {}, "surfklocka: " + reason + "\n" + std::string(kHelpPointer) + "\n"}};
}

ParsedCommand refused(const std::string& reason) {
    return {std::nullopt, presenter::refusedOutput(reason)};
}

ParsedCommand parsed(const Command& command) {
    return {command, {}};
}

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// A long option a command takes.
struct OptionRule {
    std::string_view name;
    bool takesValue = false;
};

constexpr OptionRule kHelp{"help", false};
constexpr OptionRule kVersion{"version", false};

// The options and operands of the arguments, or why reading stopped early: --help, --version or
// wrong use.
struct Scan {
    std::vector<std::pair<std::string_view, std::string>> options; // the option's full name
    std::vector<std::string> operands;
    std::size_t end = 0;       // the first argument not read
    bool optionsEnded = false; // a "--" was read
    std::optional<ParsedCommand> stop;
};

// The option that "--name" names, exactly or by an unambiguous beginning; nullptr with `fault`
// set when it names none or several.
const OptionRule* longOption(std::string_view name, std::span<const OptionRule> rules,
                             std::string& fault) {
    const OptionRule* found = nullptr;
    int matches = 0;
    for (const OptionRule& rule : rules) {
        if (rule.name == name) {
            return &rule;
        }
        if (!name.empty() && rule.name.starts_with(name)) {
            found = &rule;
            ++matches;
        }
    }
    if (matches == 1) {
        return found;
    }
    fault = matches == 0 ? "" : "--" + std::string(name) + " är tvetydigt.";
    return nullptr;
}

// Reads one option at arguments[at] into `scan`, with its value; returns the index of the last
// argument it used.
std::size_t readOption(std::span<const std::string> arguments, std::size_t at,
                       std::span<const OptionRule> rules, std::string_view command, Scan& scan) {
    const std::string& argument = arguments[at];
    const std::string unknown =
        (command.empty() ? "Okänt val " : std::string(command) + " känner inte till valet ") +
        argument + ".";
    if (argument == "-h") {
        scan.stop = parsed({CommandKind::Help});
        return at;
    }
    if (!argument.starts_with("--")) {
        scan.stop = wrongUse(unknown);
        return at;
    }
    const std::size_t equals = argument.find('=');
    const std::string_view name = std::string_view(argument).substr(2, equals - 2);
    std::string fault;
    const OptionRule* rule = longOption(name, rules, fault);
    if (rule == nullptr) {
        scan.stop = wrongUse(fault.empty() ? unknown : fault);
        return at;
    }
    const std::string full = "--" + std::string(rule->name);
    if (rule->name == kHelp.name || rule->name == kVersion.name) {
        scan.stop =
            equals != std::string::npos
                ? wrongUse(full + " tar inget värde.")
                : parsed({rule->name == kHelp.name ? CommandKind::Help : CommandKind::Version});
        return at;
    }
    if (!rule->takesValue && equals != std::string::npos) {
        scan.stop = wrongUse(full + " tar inget värde.");
    } else if (equals != std::string::npos) {
        scan.options.emplace_back(rule->name, argument.substr(equals + 1));
    } else if (rule->takesValue && at + 1 < arguments.size()) {
        scan.options.emplace_back(rule->name, arguments[++at]);
    } else if (rule->takesValue) {
        scan.stop = wrongUse(full + " saknar sitt värde.");
    } else {
        scan.options.emplace_back(rule->name, std::string());
    }
    return at;
}

// Reads the arguments as options (of `rules`, --help and --version) and operands, to the end,
// or, with `untilOperand`, to the first operand.
Scan scan(std::span<const std::string> arguments, std::span<const OptionRule> rules,
          std::string_view command, bool untilOperand, bool optionsEnded = false) {
    std::vector<OptionRule> all(rules.begin(), rules.end());
    all.push_back(kHelp);
    all.push_back(kVersion);
    Scan result;
    result.optionsEnded = optionsEnded;
    for (std::size_t i = 0; i < arguments.size() && !result.stop; ++i) {
        const std::string& argument = arguments[i];
        const bool option = !result.optionsEnded && argument.size() > 1 && argument[0] == '-' &&
                            !(argument[1] >= '0' && argument[1] <= '9');
        if (option && argument == "--") {
            result.optionsEnded = true;
        } else if (option) {
            i = readOption(arguments, i, all, command, result);
        } else if (untilOperand) {
            result.end = i;
            return result;
        } else {
            result.operands.push_back(argument);
        }
    }
    result.end = arguments.size();
    return result;
}

// A date operand: wrong use when it is not ÅÅÅÅ-MM-DD, refused when it is not a real date of
// 2001 to 2099.
std::optional<core::Date> dateArgument(std::string_view text, std::optional<ParsedCommand>& error) {
    const auto date = core::isoDateShape(text);
    if (!date) {
        error = wrongUse(quoted(text) + " är inget datum. Skriv datum som ÅÅÅÅ-MM-DD.");
    } else if (!date->isValid()) {
        error = refused(std::string(text) + " är inget riktigt datum.");
    } else if (*date < core::kFirstListDate || *date > core::kLastListDate) {
        error =
            refused("Datumet " + std::string(text) + " ligger utanför 2001-01-01 till 2099-12-31.");
    } else {
        return date;
    }
    return std::nullopt;
}

ParsedCommand bookingOf(const Command& command, std::string_view text, std::int64_t seconds,
                        std::int64_t longest) {
    if (seconds == 0) {
        return refused("Ingen tid att bokföra: " + quoted(text) + " är 0 sekunder.");
    }
    if (seconds > longest) {
        return refused(quoted(text) + " är för lång tid: högst " +
                       std::string(core::trimBlanks(core::durationText(longest))) +
                       " går att bokföra.");
    }
    Command booking = command;
    booking.seconds = seconds;
    return parsed(booking);
}

// The time of `boka`: the operands together, as people write a duration.
ParsedCommand bookTime(Command command, const std::vector<std::string>& operands) {
    std::string text;
    for (const std::string& operand : operands) {
        text += (text.empty() ? "" : " ") + operand;
    }
    const std::string forms = "Skriv tiden som H:MM, H:MM:SS eller med enheterna h, m och s, "
                              "till exempel 1:30, 1:30:00, 90m eller 1h 30m.";
    const Duration duration = parseDuration(text);
    switch (duration.fault) {
    case DurationFault::None:
        return bookingOf(command, text, duration.seconds, core::kSecondsPerDay);
    case DurationFault::NotADuration:
        return wrongUse(quoted(text) + " är ingen tid. " + forms);
    case DurationFault::BareNumber:
        return wrongUse(quoted(text) + " saknar enhet. " + forms);
    case DurationFault::Negative:
        return wrongUse(quoted(text) + ": tiden kan inte vara negativ.");
    case DurationFault::Impossible:
        return refused(quoted(text) +
                       " är ingen möjlig tid: minuter och sekunder går från 00 till 59.");
    case DurationFault::TooLong:
        break;
    }
    return refused(quoted(text) + " är för lång tid.");
}

ParsedCommand parseBook(const Scan& read) {
    std::optional<std::string> dateText;
    std::optional<std::string> connectionText;
    for (const auto& [name, value] : read.options) {
        auto& slot = name == "datum" ? dateText : connectionText;
        if (slot) {
            return wrongUse("--" + std::string(name) + " får bara anges en gång.");
        }
        slot = value;
    }
    Command command{CommandKind::Book};
    if (connectionText) {
        if (dateText || !read.operands.empty()) {
            return wrongUse("--anslutning tar varken datum eller tid: bara sekunderna.");
        }
        command.kind = CommandKind::BookConnection;
        if (!core::allDigits(*connectionText)) {
            return wrongUse(quoted(*connectionText) + " är inget helt antal sekunder.");
        }
        const auto seconds = core::digitsNumber(*connectionText, kLongestNumber);
        if (!seconds) {
            return refused(quoted(*connectionText) + " är för lång tid.");
        }
        return bookingOf(command, *connectionText, *seconds, kLongestConnectionSeconds);
    }
    if (read.operands.empty()) {
        return wrongUse("boka saknar tiden att bokföra.");
    }
    if (dateText) {
        std::optional<ParsedCommand> error;
        command.date = dateArgument(*dateText, error);
        if (!command.date) {
            return *error;
        }
    }
    return bookTime(command, read.operands);
}

ParsedCommand parseShow(const Scan& read) {
    Command command{CommandKind::Show};
    if (read.operands.size() > 1) {
        return wrongUse("visa tar högst en månad.");
    }
    if (read.operands.size() == 1) {
        const std::string& text = read.operands.front();
        const auto first = core::isoMonthShape(text);
        if (!first) {
            return wrongUse(quoted(text) + " är ingen månad. Skriv månaden som ÅÅÅÅ-MM.");
        }
        if (!first->isValid() || *first < core::kFirstListDate || *first > core::kLastListDate) {
            return refused(text + " är ingen månad från januari 2001 till december 2099.");
        }
        command.date = first;
    }
    return parsed(command);
}

ParsedCommand parseRange(CommandKind kind, const Scan& read) {
    Command command{kind};
    for (const auto& [name, value] : read.options) {
        if (value == "csv") {
            command.format = presenter::ExportFormat::Csv;
        } else if (value == "kalkyl") {
            command.format = presenter::ExportFormat::Spreadsheet;
        } else if (value == "json") {
            command.format = presenter::ExportFormat::Json;
        } else {
            return wrongUse("Formatet " + quoted(value) +
                            " finns inte: välj csv, kalkyl eller json.");
        }
    }
    if (read.operands.size() > 2) {
        return wrongUse(std::string(kind == CommandKind::Sum ? "summa" : "exportera") +
                        " tar högst två datum: FRÅN och TILL.");
    }
    std::optional<ParsedCommand> error;
    for (std::size_t i = 0; i < read.operands.size(); ++i) {
        auto& slot = i == 0 ? command.date : command.to;
        slot = dateArgument(read.operands[i], error);
        if (!slot) {
            return *error;
        }
    }
    return parsed(command);
}

ParsedCommand parseNotices(const Scan& read) {
    Command command{CommandKind::Notices};
    if (read.operands.size() > 1) {
        return wrongUse("avisering tar högst ett värde: på eller av.");
    }
    if (read.operands.size() == 1) {
        const std::string& value = read.operands.front();
        if (value != "på" && value != "pa" && value != "av") {
            return wrongUse(quoted(value) + " är varken på eller av.");
        }
        command.noticesOn = value != "av";
    }
    return parsed(command);
}

ParsedCommand parsePlans(const Scan& read) {
    Command command{CommandKind::Plans};
    if (read.operands.size() > 1) {
        return wrongUse("abonnemang tar högst ett abonnemang: 1, 2 eller 8.");
    }
    for (const auto& [name, value] : read.options) {
        const auto first = core::isoMonthShape(value);
        if (!first) {
            return wrongUse(quoted(value) + " är ingen månad. Skriv månaden som ÅÅÅÅ-MM.");
        }
        if (!first->isValid() || *first < core::kFirstListDate || *first > core::kLastListDate) {
            return refused(value + " är ingen månad från januari 2001 till december 2099.");
        }
        command.date = first;
    }
    if (read.operands.empty()) {
        if (command.date) {
            return wrongUse("--fran hör till ett byte av abonnemang: ange 1, 2 eller 8 också.");
        }
        return parsed(command);
    }
    const std::string& value = read.operands.front();
    if (value != "1" && value != "2" && value != "8") {
        return wrongUse(quoted(value) +
                        " är inget abonnemang: ange 1, 2 eller 8 (timmar om dygnet).");
    }
    command.plan = std::int32_t{value.front() - '0'} * 3600;
    return parsed(command);
}

} // namespace

ParsedCommand parseArguments(std::span<const std::string> arguments) {
    const Scan before = scan(arguments, {}, {}, true);
    if (before.stop) {
        return *before.stop;
    }
    if (before.end == arguments.size()) {
        return wrongUse("Ange ett kommando.");
    }
    const std::string& name = arguments[before.end];
    const auto rest = arguments.subspan(before.end + 1);
    static constexpr OptionRule kBookOptions[] = {{"datum", true}, {"anslutning", true}};
    static constexpr OptionRule kExportOptions[] = {{"format", true}};
    static constexpr OptionRule kPlanOptions[] = {{"fran", true}};
    std::span<const OptionRule> rules;
    if (name == "boka") {
        rules = kBookOptions;
    } else if (name == "exportera") {
        rules = kExportOptions;
    } else if (name == "abonnemang") {
        rules = kPlanOptions;
    } else if (name != "visa" && name != "summa" && name != "avisering") {
        return wrongUse("Okänt kommando: " + name + ".");
    }
    const Scan read = scan(rest, rules, name, false, before.optionsEnded);
    if (read.stop) {
        return *read.stop;
    }
    if (name == "boka") {
        return parseBook(read);
    }
    if (name == "visa") {
        return parseShow(read);
    }
    if (name == "avisering") {
        return parseNotices(read);
    }
    if (name == "abonnemang") {
        return parsePlans(read);
    }
    return parseRange(name == "summa" ? CommandKind::Sum : CommandKind::Export, read);
}

std::string usageText() {
    return "Användning:\n"
           "  surfklocka                  öppnar fönstret\n"
           "  surfklocka boka [--datum ÅÅÅÅ-MM-DD] TID\n"
           "      bokför TID på dagen, i dag om inget datum anges; TID skrivs med timmarna\n"
           "      först som H:MM eller H:MM:SS (1:30 är en och en halv timme), eller med\n"
           "      enheterna h, m och s (90m, 1h30m, 1h 5m 18s, 45s)\n"
           "  surfklocka boka --anslutning SEKUNDER\n"
           "      bokför en anslutning som just har slutat och varade i SEKUNDER (högst 31\n"
           "      dygn); tiden före varje midnatt bokförs på sin egen dag\n"
           "  surfklocka visa [ÅÅÅÅ-MM]\n"
           "      visar månadens bokförda dagar och summor, denna månad om ingen anges\n"
           "  surfklocka summa [FRÅN [TILL]]\n"
           "      summerar tid och kostnad från FRÅN till TILL (ÅÅÅÅ-MM-DD, högst 365 dagar):\n"
           "      denna månad om inget datum anges, och till i dag om bara FRÅN anges\n"
           "  surfklocka exportera [--format csv|kalkyl|json] [FRÅN [TILL]]\n"
           "      skriver varje bokförd dag som CSV (förval), som CSV för kalkylprogram\n"
           "      (semikolon och decimalkomma) eller som JSON, för samma dagar som summa\n"
           "  surfklocka avisering [på|av]\n"
           "      visar, slår på eller stänger av aviseringen när dagens förbetalda tid snart\n"
           "      är slut eller extra tid börjar\n"
           "  surfklocka abonnemang [1|2|8] [--fran ÅÅÅÅ-MM]\n"
           "      visar abonnemanget och de tidigare, eller byter till 1, 2 eller 8 timmar om\n"
           "      dygnet från månaden ÅÅÅÅ-MM (denna månad om ingen anges); tidigare månader\n"
           "      behåller sitt abonnemang\n"
           "  surfklocka --help           visar den här hjälpen\n"
           "  surfklocka --version        visar versionen\n"
           "\n"
           "Slutstatus: 0 klart, 1 vägrat eller misslyckat, 2 felaktig användning.\n";
}

} // namespace cli
