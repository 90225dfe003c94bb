#pragma once

#include "core/plan_schedule.h"
#include "platform/file_system.h"
#include "storage/journal.h"
#include "storage/settings_file.h"

#include <optional>
#include <string>
#include <string_view>

namespace presenter {

// What a command prints, and the answer a holder of the data folder leaves for a command whose
// booking it booked (storage/journal.h): the window and the command line word a booking's outcome
// alike, from what is on disk. Plain C++: it prints nothing and runs no command.
//
// Exit codes: 0 done, 1 refused or failed (the reason on standard error), 2 wrong use.

inline constexpr int kExitDone = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitWrongUse = 2;

struct CommandOutput {
    int exitCode = kExitDone;
    std::string out; // standard output
    std::string err; // standard error

    bool operator==(const CommandOutput&) const = default;
};

// A refusal: "surfklocka: <reason>" on standard error, exit code 1.
CommandOutput refusedOutput(std::string_view reason);

// The text with the blanks at the end of each of its lines taken away: the duration texts the
// windows show end in a blank, and no line a command prints does.
std::string withoutTrailingBlanks(std::string_view text);

// What a command prints for its booking's outcome: the booked days' figures on standard output
// (the month figures as they stood right after it), or why it was not booked on standard error
// with exit code 1. A booking that waits for a later holder exits with 0, as one that is booked:
// it is accepted and will be booked without another try.
// Each day's and month's figures with the plan in force in its month (`plans`; the settings'
// plan for every month when none is given).
CommandOutput entryOutput(platform::FileSystem& files, const storage::EntryResult& result,
                          const storage::SettingsFile::Loaded& settings);
CommandOutput entryOutput(platform::FileSystem& files, const storage::EntryResult& result,
                          const storage::SettingsFile::Loaded& settings,
                          const core::PlanSchedule& plans);
// What a command prints when its booking waits in the journal for the holder of the data folder.
CommandOutput waitingOutput();
// The journal's answer for a waiting command: entryOutput as answer bytes.
storage::AnswerText answerText(platform::FileSystem& files,
                               const storage::SettingsFile::Loaded& settings);
storage::AnswerText answerText(platform::FileSystem& files,
                               const storage::SettingsFile::Loaded& settings,
                               const core::PlanSchedule& plans);

// The bytes of an answer file, and back: the exit code, a line end, the length in bytes of the
// standard output text, a line end, then that text and the standard error text. The reader takes
// any bytes and accepts exactly what the writer writes.
std::string outputBytes(const CommandOutput& output);
std::optional<CommandOutput> parseOutputBytes(std::string_view bytes);

} // namespace presenter
