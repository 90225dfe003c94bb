#include "core/plan.h"

#include <array>

namespace core {

namespace {

constexpr std::array<Plan, 3> kPlans = {{
    {PlanType::Plan1h, 3600, "1 h / dygn", 145},
    {PlanType::Plan2h, 7200, "2 h / dygn", 245},
    {PlanType::Plan8h, 28800, "8 h / dygn", 595},
}};

} // namespace

std::span<const Plan> allPlans() {
    return kPlans;
}

const Plan& planOf(PlanType type) {
    for (const Plan& plan : kPlans) {
        if (plan.type == type) {
            return plan;
        }
    }
    return kPlans.front();
}

std::optional<Plan> planForAllowance(std::int32_t dailyAllowance) {
    for (const Plan& plan : kPlans) {
        if (plan.dailyAllowance == dailyAllowance) {
            return plan;
        }
    }
    return std::nullopt;
}

int feeForAllowance(std::int32_t dailyAllowance) {
    const auto plan = planForAllowance(dailyAllowance);
    return plan ? plan->feeKronor : 0;
}

} // namespace core
