#pragma once

#include "cli/command.h"
#include "core/program_settings.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/notifier.h"
#include "storage/journal.h"
#include "storage/settings_file.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace cli {

// Running a command of the command line on the same storage and figures as the windows, and the
// texts it prints. Plain C++: it prints nothing, opens no window, takes no lock and reads only the
// clock and the files it is given. The caller finds the data folder, holds the lock for a command
// that changes files, and prints. No line it prints ends in a blank.

// Whether the command writes month files: only a booking does, and only it needs the lock.
bool changesFiles(const Command& command);
// Whether the command needs the data folder made when it is missing: a booking, and turning
// notices on or off (which needs no lock: it writes its own small file atomically).
bool needsDataFolder(const Command& command);

// The output of a command that needs no data folder (--help, --version); nullopt for the others.
std::optional<CommandOutput> runWithoutData(const Command& command);

// Runs a command. The settings are loaded from the settings file into `settings` first. Only
// Book, BookConnection and Notices with a value write. A booking is booked after every entry that
// waits in the journal; the caller holds the data folder's lock. A booking within one month is one
// atomic write of that month and is booked in memory, as the window's own are; one across months
// is written to the journal first as `entryName` (a name from the clock when empty), so that a
// stop between its months leaves it for the next holder to finish. The others never create, write
// or delete a file. A booking that takes a day past its prepaid time, or under ten minutes of it,
// is told through `notifier` when one is given and the notice setting is on.
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

// As the holder of the data folder: books every entry waiting in the journal, `ownName` (an entry
// this command wrote) among them, and returns what this command prints for its own. Entries of
// others get their answers in the folder; those that are not booked are told on standard error
// too, since their commands may have stopped waiting. Notices go through `notifier` when given.
CommandOutput bookWaiting(platform::FileSystem& files,
                          const storage::SettingsFile::Loaded& settings, std::string_view ownName,
                          std::int64_t nowNanoseconds, platform::Notifier* notifier = nullptr);

} // namespace cli
