#include "core/plan_comparison.h"

#include "core/booking.h"
#include "core/texts.h"

#include <algorithm>
#include <limits>

namespace core {

float estimatedExtraOre(std::span<const std::int32_t> dayConnectedSeconds,
                        std::int32_t dailyAllowance) {
    float ore = 0.0f;
    for (const std::int32_t seconds : dayConnectedSeconds) {
        if (seconds <= 0) {
            continue;
        }
        // Worked out in 64 bits: a damaged allowance or day cannot overflow the difference.
        const std::int64_t connected = std::min<std::int64_t>(seconds, kSecondsPerDay);
        const std::int64_t extra = connected - static_cast<std::int64_t>(dailyAllowance);
        if (extra <= 0) {
            continue;
        }
        ore +=
            extraCharge(static_cast<std::int32_t>(std::min<std::int64_t>(extra, kSecondsPerDay)));
    }
    return ore;
}

PlanComparison comparePlans(const RangeTotals& totals, std::int32_t dailyAllowance) {
    PlanComparison comparison;
    const auto plans = allPlans();
    for (std::size_t i = 0; i < comparison.size() && i < plans.size(); ++i) {
        const Plan& plan = plans[i];
        PlanCost& cost = comparison[i];
        cost.type = plan.type;
        if (plan.dailyAllowance == dailyAllowance) {
            cost.kronor = rangeTotalCost(totals);
            cost.estimated = false;
            continue;
        }
        const float ore = estimatedExtraOre(totals.dayConnectedSeconds, plan.dailyAllowance);
        const float fees =
            static_cast<float>(totals.monthBoundaries) * static_cast<float>(plan.feeKronor);
        cost.kronor = ore / 100.0f + fees;
        cost.estimated = true;
    }
    markCheapest(comparison);
    return comparison;
}

std::optional<std::int64_t> shownOre(float kronor) {
    const std::string text = amountText(kronor, AmountPattern::OneIntegerDigit);
    std::int64_t ore = 0;
    bool negative = false;
    bool digits = false;
    for (const char c : text) {
        if (c == '-' && !digits) {
            negative = true;
        } else if (c >= '0' && c <= '9') {
            if (ore > (std::numeric_limits<std::int64_t>::max() - 9) / 10) {
                return std::nullopt;
            }
            ore = ore * 10 + (c - '0');
            digits = true;
        } else if (c != ',') {
            return std::nullopt;
        }
    }
    if (!digits) {
        return std::nullopt;
    }
    return negative ? -ore : ore;
}

void markCheapest(PlanComparison& comparison) {
    std::optional<std::int64_t> lowest;
    for (PlanCost& cost : comparison) {
        cost.cheapest = false;
        const auto ore = shownOre(cost.kronor);
        if (ore && (!lowest || *ore < *lowest)) {
            lowest = ore;
        }
    }
    if (!lowest) {
        return;
    }
    for (PlanCost& cost : comparison) {
        cost.cheapest = shownOre(cost.kronor) == lowest;
    }
}

std::string planCostText(const PlanCost& cost) {
    std::string text = std::string(planOf(cost.type).planText) + ": " +
                       amountText(cost.kronor, AmountPattern::OneIntegerDigit) + " kr";
    if (cost.estimated) {
        text += " (uppskattat)";
    }
    if (cost.cheapest) {
        text += " (billigast)";
    }
    return text;
}

std::array<std::string, 3> planComparisonTexts(const PlanComparison& comparison) {
    std::array<std::string, 3> texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        texts[i] = planCostText(comparison[i]);
    }
    return texts;
}

} // namespace core
