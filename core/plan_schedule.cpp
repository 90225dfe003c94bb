#include "core/plan_schedule.h"

#include <utility>

namespace core {

namespace {

int monthIndex(int year, int month) {
    return year * 12 + month - 1;
}

} // namespace

PlanSchedule::PlanSchedule(std::int32_t dailyAllowance) : m_single(dailyAllowance) {}

PlanSchedule::PlanSchedule(std::vector<PlanChange> changes) : m_changes(std::move(changes)) {
    if (!m_changes.empty()) {
        m_single = m_changes.front().dailyAllowance;
    }
}

std::int32_t PlanSchedule::allowanceFor(int year, int month) const {
    std::int32_t allowance = m_single;
    for (const PlanChange& change : m_changes) {
        if (monthIndex(change.year, change.month) > monthIndex(year, month)) {
            break;
        }
        allowance = change.dailyAllowance;
    }
    return allowance;
}

bool PlanSchedule::varies() const {
    for (const PlanChange& change : m_changes) {
        if (change.dailyAllowance != m_single) {
            return true;
        }
    }
    return false;
}

PlanSchedule PlanSchedule::changedFrom(int year, int month, std::int32_t plan,
                                       std::int32_t current) const {
    std::vector<PlanChange> changes = m_changes;
    if (changes.empty()) {
        changes.push_back({2001, 1, current});
    }
    std::erase_if(changes, [&](const PlanChange& change) {
        return monthIndex(change.year, change.month) >= monthIndex(year, month);
    });
    changes.push_back({year, month, plan});
    // A change to the plan that holds already says nothing.
    std::vector<PlanChange> kept;
    for (const PlanChange& change : changes) {
        if (kept.empty() || kept.back().dailyAllowance != change.dailyAllowance) {
            kept.push_back(change);
        }
    }
    return PlanSchedule(std::move(kept));
}

} // namespace core
