// Which plan pays: what the connected time of a range would have cost on each of the three
// plans, the cheapest of them marked, and the texts of those figures. The current plan's figure
// is the booked cost; the others are estimates worked out day by day from each day's connected
// seconds. Pure functions of the sums and the day seconds; they read no file, know no widget and
// do not decide which plan the user has.
#pragma once

#include "core/plan.h"
#include "core/range.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace core {

// One plan's figure for a stretch of time.
struct PlanCost {
    PlanType type = PlanType::Plan1h;
    float kronor = 0.0f;    // single precision, like every cost of the program
    bool estimated = false; // worked out from the day seconds, not booked
    bool cheapest = false;  // the lowest figure in whole öre as shown (every one of a tie)

    bool operator==(const PlanCost&) const = default;
};

// One figure per plan, in the order of allPlans(): 1 h, 2 h, 8 h.
using PlanComparison = std::array<PlanCost, 3>;

// What days with these connected seconds would have cost beyond a daily allowance, in öre: a day
// with more connected seconds than the allowance costs extraCharge(its seconds beyond it), which
// holds one 40-öre start charge, since a day's record does not keep how many bookings fell into
// its extra time. Summed in single precision in the order given. A day of 0 or fewer seconds
// adds nothing; a day above 86400 seconds counts as 86400.
float estimatedExtraOre(std::span<const std::int32_t> dayConnectedSeconds,
                        std::int32_t dailyAllowance);

// The range's cost on each plan, fees counted as rangeTotalCost counts them (one for every month
// boundary). The plan with this allowance gets rangeTotalCost(totals) itself; every other plan,
// and all three when the allowance matches no plan, an estimate: estimatedExtraOre(the day
// seconds) ÷ 100 plus the plan's fee × the month boundaries. The cheapest are marked.
PlanComparison comparePlans(const RangeTotals& totals, std::int32_t dailyAllowance);

// The amount in whole öre as amountText shows it ("493,90" is 49390); nullopt for a figure shown
// as "?" (not a finite number).
std::optional<std::int64_t> shownOre(float kronor);

// Marks the figures whose shown öre are the lowest; a figure with no shown öre is never marked.
void markCheapest(PlanComparison& comparison);

// "2 h / dygn: 493,90 kr", then " (uppskattat)" for an estimate and " (billigast)" for the
// cheapest, in that order.
std::string planCostText(const PlanCost& cost);

// The three texts, in the comparison's order.
std::array<std::string, 3> planComparisonTexts(const PlanComparison& comparison);

} // namespace core
