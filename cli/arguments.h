#pragma once

#include "cli/command.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace cli {

// Reading the arguments after the program's name into a command, as GNU programs read theirs:
// the command word first (only --help and --version may come before it), then its options and
// operands in any order; a long option may be shortened while it stays unambiguous, and takes its
// value as "--datum=2001-12-05" or as the next argument; "--" ends the options; --help and
// --version are taken wherever they stand. An argument that begins with a minus sign and a digit
// is an operand, so that a negative time is told as one. Reads no file and no clock.

// What wrong use ends with, on a line of its own after the fault.
inline constexpr std::string_view kHelpPointer =
    "Försök med \"surfklocka --help\" för mer information.";

// The arguments as a command; without a command, `output` holds the refusal (exit 1: a value of
// the right shape that cannot be taken, such as 2001-02-29 or 25 hours) or the wrong use (exit 2:
// one line naming the fault, then kHelpPointer, on standard error).
struct ParsedCommand {
    std::optional<Command> command;
    CommandOutput output;
};
ParsedCommand parseArguments(std::span<const std::string> arguments);

// The usage text of --help, in Swedish.
std::string usageText();

} // namespace cli
