// Where the current month is heading: the month's connected time, extra time and total cost by
// its last day at the pace of its days so far, the plan that would be cheapest at that pace, and
// the Swedish lines that tell it. Pure functions of the month's records, today's date and the
// allowance; they read no file and no clock, and say nothing about any month but the current one
// (its caller shows a past or later month's actual totals instead).
#pragma once

#include "core/date.h"
#include "core/day_record.h"
#include "core/plan_comparison.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace core {

struct Projection {
    int year = 0;
    int month = 0;
    int daysSoFar = 0;   // d: days 1 to today, today included
    int daysInMonth = 0; // D
    // The month's sums by its last day: the sums of days 1 to d scaled by D ÷ d.
    std::int64_t connectedSeconds = 0; // rounded to whole seconds
    std::int64_t extraSeconds = 0;     // rounded to whole seconds
    float extraOre = 0.0f;             // single precision: öre so far × D ÷ d
    float totalKronor = 0.0f;          // as totalMonthlyCost counts it, the fee once
    // Each plan's cost by the last day, as comparePlans works it out for the whole month: its
    // extra cost of days 1 to d scaled by D ÷ d (the booked one, as totalMonthlyCost counts it,
    // for the plan with this allowance; an estimate for the others), plus its whole fee, in
    // whole öre. The cheapest are marked.
    PlanComparison plans{};
};

// Whether the month of `monthDate` (its day plays no part) is today's month.
bool isCurrentMonth(const Date& monthDate, const Date& today);

// The projection of today's month from its day records (record 1 is day 1; records past the
// span's end count as empty). Days after today play no part. nullopt when `monthDate` is not in
// today's month or today is not a real date.
std::optional<Projection> projectMonth(const Date& monthDate, std::span<const DayRecord> days,
                                       const Date& today, std::int32_t dailyAllowance);

// "Prognos för december 2026 i samma takt som dag 1–6:" ("… som dag 1:" on the first day),
// "Ansluten tid: …", "Extra tid: …", "Total månadskostnad: … kr" and
// "Billigast i den takten: 2 h / dygn (… kr)", tied plans joined by " och ".
std::vector<std::string> projectionLines(const Projection& projection);

} // namespace core
