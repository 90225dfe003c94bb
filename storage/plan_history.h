// The plans the user has had: a small text file of its own, "abonnemang.it" in the data folder,
// one line "ÅÅÅÅ-MM SEKUNDER" per change of plan, in rising order of month, so that a change of
// plan keeps the history: every month is priced and booked with the plan in force on its first
// day, and no month file is ever rewritten for it. The settings file keeps its bytes and holds the
// plan in force now. Without this file one plan holds for every month, as it always did.
//
// It reads and writes that file, its copy for undo and the settings file, and nothing else; it
// decides nothing about prices (core/plan_schedule.h) and shows nothing.
#pragma once

#include "core/date.h"
#include "core/plan_schedule.h"
#include "platform/file_system.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace storage {

inline constexpr std::string_view kPlanHistoryFileName = "abonnemang.it";
// The history and the settings as they were before the last change, for Ångra; as "*.tmp" files
// they end with the next booking, as every undo copy does. An empty history copy stands for no
// history.
inline constexpr std::string_view kPlanHistoryCopy = "abonnemang.tmp";
inline constexpr std::string_view kSettingsCopy = "tid.tmp";
// The longest history that is read: a change a month for every month the program offers.
inline constexpr std::size_t kPlanHistoryMaxBytes = 99 * 12 * 14;

// The bytes of a history, and back. The reader accepts exactly what the writer writes: one or
// more lines "ÅÅÅÅ-MM SEKUNDER\n" with months of 2001 to 2099 in strictly rising order and the
// prepaid seconds of a known plan (3600, 7200, 28800); nullopt for anything else.
std::string planHistoryText(const std::vector<core::PlanChange>& changes);
std::optional<std::vector<core::PlanChange>> parsePlanHistory(std::span<const std::uint8_t> bytes);

enum class PlanHistoryState {
    NoFile,     // no history: the settings file's plan holds for every month
    Stored,     // the program's own history
    Damaged,    // longer than the bound, not the program's text, or no regular file (a symbolic
                // link, a folder): never used or written over
    Unreadable, // a regular file that could not be read, or the folder could not be asked
};

struct PlanHistory {
    PlanHistoryState state = PlanHistoryState::NoFile;
    std::vector<core::PlanChange> changes; // Stored: the changes, in order
    int error = 0;                         // Unreadable: the system's error number, if any

    bool usable() const {
        return state == PlanHistoryState::NoFile || state == PlanHistoryState::Stored;
    }
    // The schedule of plans: the history's, or the one plan `current` throughout without one.
    core::PlanSchedule schedule(std::int32_t current) const;
};

PlanHistory loadPlanHistory(platform::FileSystem& files);

enum class PlanChangeOutcome {
    Changed,
    Damaged, // the history is damaged or cannot be read: nothing is written
    Failed,  // a file could not be written: the history and the settings are as they were
};

// Changes the plan from the month of `from` on (its first day): the history gets the change, and
// when it is in force in `today`'s month the settings file gets the plan too. The history and
// the settings as they were are kept first in their copies for undo. A stop at any point leaves
// the history as it was or as changed; the settings file is brought in line with the history at
// the next start (alignSettings).
PlanChangeOutcome changePlan(platform::FileSystem& files, const core::Date& from,
                             std::int32_t dailyAllowance, const core::Date& today);

// Takes back the last change of plan while its copies are there: the history and the settings
// file are put back as they were. False, changing nothing, when the copies are gone.
bool undoPlanChange(platform::FileSystem& files);

// Brings the settings file in line with the history: the plan in force in `today`'s month, when
// the history says another one than the settings file (a change from a month that has come since,
// or one that stopped before the settings were written). Nothing without a history. Returns the
// plan in force now when the settings file holds it, or nullopt when it could not be written.
std::optional<std::int32_t> alignSettings(platform::FileSystem& files, const core::Date& today);

} // namespace storage
