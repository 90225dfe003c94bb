#pragma once

#include "core/plan_schedule.h"
#include "storage/journal.h"
#include "storage/month_file.h"
#include "storage/settings_file.h"

#include <string>
#include <string_view>

namespace presenter::messages {

// The program's own words for what went wrong, shared by the windows and the command line, so
// that the same cause reads the same everywhere. Each names the real cause once: the file, and
// the system's reason when the system gave one.

// A day may hold no more than 24 hours.
inline constexpr std::string_view kDayFull = "Du kan inte mata in mer tid än 24 timmar per dygn";
inline constexpr std::string_view kNothingBooked = "Ingen tid har bokförts.";

// "what" followed by ": " and the system's reason for the error number; "what" alone for 0.
std::string withCause(std::string_view what, int error);

// Why a month file cannot be used, as the end of a sentence after "eftersom": "filen 0112.tid
// är skadad" or "filen 0112.tid inte gick att läsa: behörighet saknas".
std::string unusableMonth(std::string_view file, storage::MonthState state, int error);

// Why the plan is not known, from how the settings file was found: "filen tid.it finns inte",
// "filen tid.it är skadad", "filen tid.it kunde inte läsas: ...", "inget abonnemang har valts".
std::string unknownPlan(const storage::SettingsFile::Loaded& settings);

// The two lines of a booking that could not be saved: "Tiden kunde inte sparas, eftersom
// <cause>.\nIngen tid har bokförts."
std::string notSaved(std::string_view cause);

// A booking refused for want of a plan: "Tiden kan inte sparas, eftersom abonnemanget inte är
// känt: <why>.\nIngen tid har bokförts."
std::string noPlan(const storage::SettingsFile::Loaded& settings);

// Why a month file could not be written, as the end of a sentence after "eftersom".
std::string monthNotWritten(std::string_view file, storage::MonthState state, int error);

// Why an entry file in the data folder was not booked but set aside, and what became of it.
std::string setAside(const storage::EntryResult& result);

// What the journal did with an entry, in a line or two for the window: "Bokfört 2001-12-05:
// 20 m" for each day booked, or why nothing was booked.
std::string entryOutcome(const storage::EntryResult& result,
                         const storage::SettingsFile::Loaded& settings);

// Titles the windows' message boxes share.
inline constexpr std::string_view kInvalidDate = "Felaktigt datum"; // also the main window's date
inline constexpr std::string_view kWrongInputTitle = "Felaktig inmatning";
inline constexpr std::string_view kDamagedTitle = "Skadad fil";
inline constexpr std::string_view kUnreadableTitle = "Kan inte läsa";
inline constexpr std::string_view kCannotSaveTitle = "Kan inte spara";
inline constexpr std::string_view kCannotDeleteTitle = "Kan inte ta bort";
inline constexpr std::string_view kRestoreDayTitle = "Återställ borttagen post";
inline constexpr std::string_view kRestoreMonthTitle = "Återställ borttagen månad";

// A command on the chosen day or month while the date lists hold no real date.
inline constexpr std::string_view kChooseRealDate = "Välj ett riktigt datum först.";

// A FRÅN-TILL range that cannot be summed.
inline constexpr std::string_view kRangeOrder = "\"FRÅN\" måste vara tidigare än \"TILL\".";
inline constexpr std::string_view kRangeTooLong =
    "Det går inte att summera längre\ntid än 12 månader.";

// "<what> kunde inte tas bort, eftersom <cause>.\nIngenting har ändrats."; without a cause
// "<what> kunde inte tas bort.\nIngenting har ändrats."
std::string notDeleted(std::string_view what, std::string_view cause);

// "<what> kan inte återställas, eftersom <why>\nIngenting har skrivits över."; `why` ends with
// its own full stop.
std::string notRestored(std::string_view what, std::string_view why);

// Why a restore's copy cannot serve, as the end of a sentence after "eftersom": it is gone, or it
// cannot be read.
std::string copyCannotServe(std::string_view copy, bool missing);

// Undo's hint after a booking across a month boundary, which one month's copy cannot take back.
inline constexpr std::string_view kUndoAcrossMonths =
    "Den senaste bokningen gick över ett månadsskifte och kan inte ångras.";

// Undo's hint after a change of plan: "Ångrar bytet till 8 h / dygn från januari 2027."
std::string undoPlanChange(const core::PlanChange& change);

} // namespace presenter::messages
