#pragma once

#include "core/date.h"
#include "presenter/answers.h"
#include "presenter/export.h"

#include <cstdint>
#include <optional>

namespace cli {

// A command of the command line, as its arguments were read: `surfklocka boka|visa|summa|
// exportera|avisering|abonnemang …`, or --help and --version. Only values of the right shape get
// here; a command holds what it needs to run and nothing about how it was written.

using presenter::CommandOutput;
using presenter::kExitDone;
using presenter::kExitRefused;
using presenter::kExitWrongUse;

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
    Sum,            // summa [FRÅN [TILL]]
    Export,         // exportera [--format csv|kalkyl|json] [FRÅN [TILL]]
    Notices,        // avisering [på|av]: tells, or turns on or off, the word before extra time
    Plans,          // abonnemang [1|2|8] [--fran ÅÅÅÅ-MM]: tells the plans, or changes the plan
};

struct Command {
    CommandKind kind = CommandKind::Help;
    // Book: the day (today when not given). Show: the month, as its first day (this month when
    // not given). Sum, Export: FRÅN (this month when not given).
    std::optional<core::Date> date{};
    std::optional<core::Date> to{}; // Sum, Export: TILL (today when only FRÅN is given)
    std::int64_t seconds = 0;       // Book, BookConnection: 1 to 86400, or to 31 days
    presenter::ExportFormat format = presenter::ExportFormat::Csv;
    std::optional<bool> noticesOn{}; // Notices: on or off; nullopt to tell the setting
    // Plans: the new plan's prepaid seconds a day (nullopt to tell the plans), from the month of
    // `date` (this month when not given).
    std::optional<std::int32_t> plan{};

    bool operator==(const Command&) const = default;
};

} // namespace cli
