#pragma once

#include "cli/command.h"

#include <string>

namespace cli {

// Printing a command's texts on standard output and standard error. A write to standard output
// that does not reach its place (a full disk, a closed pipe) fails the command: its cause is
// kept, the first only, and told once when the output is closed.

// Writes the output's texts and returns its exit code.
int print(const CommandOutput& output);

// "surfklocka: <reason>" on standard error; returns exit code 1.
int failed(const std::string& reason);

// The command's exit code once standard output is closed: 1, with the cause on standard error,
// when anything written to it did not reach its place. Every write was flushed, so a standard
// output that was closed from the start fails only a command that wrote.
int closeOutput(int exitCode);

} // namespace cli
