#pragma once

#include "platform/file_system.h"

#include <cstdint>
#include <vector>

namespace forms {

// The help page "hjalp.html" that the help window's first link opens. The program carries it as a
// Qt resource and writes it into the data folder when it is missing there. It never overwrites a
// "hjalp.html" that exists, whatever it holds, and it does not open the page.

enum class HelpFileResult {
    AlreadyThere, // the data folder has a hjalp.html; it was left as it is
    Written,      // the page was missing and has been written
    Failed,       // the page was missing and could not be written
};

// The page as the program carries it (UTF-8 HTML).
std::vector<std::uint8_t> helpPage();

// Writes the page into the data folder when no file of that name is there. The page is written
// whole under a hidden temporary name first and then renamed to "hjalp.html" with a rename that
// never replaces, so a crash leaves no half-written page and a page that appears meanwhile is
// kept.
HelpFileResult writeHelpFileIfMissing(platform::FileSystem& files);

} // namespace forms
