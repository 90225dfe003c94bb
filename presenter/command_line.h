#pragma once

#include "core/date.h"
#include "core/program_settings.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/notifier.h"
#include "presenter/export.h"
#include "storage/journal.h"
#include "storage/settings_file.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace presenter {

// The command line of the program: `surfklocka boka|visa|summa|exportera …`. It turns the
// arguments into a command and runs it on the same storage and figures as the windows, returning
// the exit code and the texts for standard output and standard error. Plain C++: it prints
// nothing, opens no window, shows no message box, takes no lock and reads only the clock and the
// files it is given. The caller finds the data folder, holds the lock for a command that changes
// files, and prints.
//
// Exit codes: 0 done, 1 refused or failed (the reason on standard error), 2 wrong use (the reason
// and the usage on standard error).

inline constexpr int kExitDone = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitWrongUse = 2;

// The longest connection `boka --anslutning` books: 31 days. A longer one is refused as a
// mistake rather than spread over a month of full days. A connection is split at each midnight
// into one entry of the journal (storage/journal.h), booked all or nothing: each month it touches
// is written once.
inline constexpr std::int64_t kLongestConnectionSeconds = 31LL * 86400;

enum class CommandKind {
    Help,           // --help
    Version,        // --version
    Book,           // boka [--datum ÅÅÅÅ-MM-DD] TID
    BookConnection, // boka --anslutning SEKUNDER
    Show,           // visa [ÅÅÅÅ-MM]
    Sum,            // summa FRÅN TILL
    Export,         // exportera [--format csv|json] [FRÅN [TILL]]; without dates the current
                    // month, with FRÅN alone up to today
    Notices,        // avisering [på|av]: tells, or turns on or off, the word before extra time
};

struct Command {
    CommandKind kind = CommandKind::Help;
    std::optional<core::Date> date; // Book: the day; Show: the month (day 1); Sum, Export: FRÅN
    std::optional<core::Date> to;   // Sum, Export: TILL
    std::int64_t seconds = 0;       // Book, BookConnection
    ExportFormat format = ExportFormat::Csv;
    std::optional<bool> noticesOn; // Notices: on or off; nullopt to tell the setting
};

struct CommandOutput {
    int exitCode = kExitDone;
    std::string out; // standard output
    std::string err; // standard error
};

// The arguments after the program's name, parsed. Without a command, output holds the refusal or
// the usage error.
struct ParsedCommand {
    std::optional<Command> command;
    CommandOutput output;
};
ParsedCommand parseCommandLine(std::span<const std::string> arguments);

// Whether the command writes files: only a booking does, and only it needs the lock.
bool changesFiles(const Command& command);
// Whether the command needs the data folder made when it is missing: a booking, and turning
// notices on or off (which needs no lock: it writes its own small file atomically).
bool needsDataFolder(const Command& command);

// The usage text, in Swedish.
std::string usageText();

// The output of a command that needs no data folder (--help, --version); nullopt for the others.
std::optional<CommandOutput> runWithoutData(const Command& command);

// Runs a parsed command. The settings are loaded from the settings file into `settings` first.
// Only Book, BookConnection and Notices with a value write. A booking is written to the journal
// as `entryName` (a name from the clock when empty) and booked by bookWaiting with every entry
// that waits there; the caller holds the data folder's lock. The others never create, write or
// delete a file. A booking that takes a day past its prepaid time, or under ten minutes of it, is
// told through `notifier` when one is given and the notice setting is on.
CommandOutput runCommand(const Command& command, platform::FileSystem& files,
                         const platform::Clock& clock, core::ProgramSettings& settings,
                         std::string_view entryName = {}, platform::Notifier* notifier = nullptr);

// A booking command as the days it books: one day (today when no date is given), or a connection
// that has just ended split at each midnight, counted back from the clock's now. Without an
// entry, `refusal` holds why (a day outside 2001-2099). Reads no file.
struct PlannedBooking {
    std::optional<storage::PendingEntry> entry;
    CommandOutput refusal;
};
PlannedBooking planBooking(const Command& command, const platform::Clock& clock);

// What a command prints for its booking's outcome: the booked days' figures on standard output
// (the month figures as they stood right after it), or why it was not booked on standard error
// with exit code 1. A booking that waits for a later holder exits with 0, as one that is booked:
// it is accepted and will be booked without another try.
CommandOutput entryOutput(platform::FileSystem& files, const storage::EntryResult& result,
                          const storage::SettingsFile::Loaded& settings);
// What a command prints when its booking waits in the journal for the holder of the data folder.
CommandOutput waitingOutput();
// The journal's answer for a waiting command: entryOutput as answer bytes.
storage::AnswerText answerText(platform::FileSystem& files,
                               const storage::SettingsFile::Loaded& settings);

// The bytes of an answer file, and back: the exit code, a line end, the length in bytes of the
// standard output text, a line end, then that text and the standard error text. The reader takes
// any bytes and accepts exactly what the writer writes.
std::string outputBytes(const CommandOutput& output);
std::optional<CommandOutput> parseOutputBytes(std::string_view bytes);

// As the holder of the data folder: books every entry waiting in the journal, `ownName` (an entry
// this command wrote) among them, and returns what this command prints for its own. Entries of
// others get their answers in the folder; those that are not booked are told on standard error
// too, since their commands may have stopped waiting. Notices go through `notifier` when given.
CommandOutput bookWaiting(platform::FileSystem& files,
                          const storage::SettingsFile::Loaded& settings, std::string_view ownName,
                          std::int64_t nowNanoseconds, platform::Notifier* notifier = nullptr);

} // namespace presenter
