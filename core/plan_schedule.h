#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace core {

// The plan from a month on: the month (its first day) from which a plan holds, and the plan's
// prepaid seconds a day.
struct PlanChange {
    int year = 2001;
    int month = 1;
    std::int32_t dailyAllowance = 0;

    bool operator==(const PlanChange&) const = default;
};

// Which plan holds in which month. A month is priced and booked with the plan in force on its
// first day: the last change from that month or before it; before the first change, the first
// change's plan. Without changes one plan holds throughout, the one the settings file gives.
//
// Plain data and arithmetic: it reads and writes no file.
class PlanSchedule {
public:
    // One plan throughout.
    explicit PlanSchedule(std::int32_t dailyAllowance = 0);
    // The changes must be in rising order of month, one per month; they are taken as they stand.
    explicit PlanSchedule(std::vector<PlanChange> changes);

    std::int32_t allowanceFor(int year, int month) const;
    const std::vector<PlanChange>& changes() const { return m_changes; }
    // Whether any month has another plan than any other.
    bool varies() const;

    // The schedule with `plan` from the month given on: changes from that month on are
    // replaced, and a change to the plan already in force is left out. With no change yet, the
    // plan held so far (`current`) is kept from January 2001, the first month the program offers.
    PlanSchedule changedFrom(int year, int month, std::int32_t plan, std::int32_t current) const;

private:
    std::vector<PlanChange> m_changes;
    std::int32_t m_single = 0;
};

} // namespace core
