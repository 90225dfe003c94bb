#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace core {

// The three NetLink plans. A plan is identified by its prepaid time per day alone; nothing else
// about it is stored.
enum class PlanType { Plan1h, Plan2h, Plan8h };

struct Plan {
    PlanType type;
    std::int16_t dailyAllowance; // prepaid seconds per day
    std::string_view planText;   // exactly 10 characters
    int feeKronor;               // fixed monthly fee
};

// The plan table, in the order the plan window offers it.
std::span<const Plan> allPlans();
const Plan& planOf(PlanType type);

// The plan with this prepaid time per day; nullopt for any other value (0 before a plan is set).
std::optional<Plan> planForAllowance(std::int32_t dailyAllowance);

// The fixed monthly fee of the plan with this allowance; 0 when no plan matches.
int feeForAllowance(std::int32_t dailyAllowance);

} // namespace core
