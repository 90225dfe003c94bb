#pragma once

#include <string>

namespace platform {

// The program's own Swedish words for the system's error numbers (errno), for messages that name
// the cause of a failure: "behörighet saknas" for EACCES, "disken är full" for ENOSPC. The common
// failures of files and folders have their own words; any other number reads
// "okänt fel (felkod N)". It never asks the C library, whose texts follow the process locale and
// are mostly English.
std::string systemErrorText(int errorNumber);

} // namespace platform
