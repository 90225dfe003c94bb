// Which plan pays: what the connected time of a stretch of days would have cost on each of the
// three plans, the cheapest of them marked, and the texts of those figures. Each plan's figure is
// its extra cost plus its monthly fee shared out over the days (for each month touched, the fee ×
// the days in it ÷ the days of that month), worked out in exact fractions of an öre and rounded
// half-up to whole öre once, at the end. The current plan's extra cost is the booked one; the
// others are estimates worked out day by day from each day's connected seconds. Pure functions of
// the sums, the day seconds and the dates; they read no file, know no widget and do not decide
// which plan the user has. The range window's own total keeps its fee once per month boundary
// (core/range.h); only this comparison shares the fees out per day.
#pragma once

#include "core/date.h"
#include "core/plan.h"
#include "core/range.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace core {

// The line above the three figures, saying how they are counted.
inline constexpr std::string_view kComparisonCaption = "Jämförelse, avgiften räknad per dag:";

// One plan's figure for a stretch of time.
struct PlanCost {
    PlanType type = PlanType::Plan1h;
    std::optional<std::int64_t> ore; // whole öre; nullopt when it cannot be worked out ("?")
    bool estimated = false;          // worked out from the day seconds, not booked
    bool cheapest = false;           // the lowest figure (every one of a tie)

    bool operator==(const PlanCost&) const = default;
};

// One figure per plan, in the order of allPlans(): 1 h, 2 h, 8 h.
using PlanComparison = std::array<PlanCost, 3>;

// An exact fraction: numerator ÷ denominator, the denominator above 0.
struct Fraction {
    std::int64_t numerator = 0;
    std::int64_t denominator = 1;

    bool operator==(const Fraction&) const = default;
};

// A whole multiple of every month's length, 28, 29, 30 and 31 days (their least common
// multiple, 4 × 3 × 5 × 7 × 29 × 31), and of 6, since a second of extra time costs 10/60 öre.
inline constexpr std::int64_t kShareDenominator = 377580;

// How many monthly fees the days from `from` to `to`, both included, come to: for each month
// they touch, the days of the range in that month ÷ the days of that month, over
// kShareDenominator. A whole month gives 1, 1 to 7 December 7/31. 0 when a date is not a real
// date or `from` is later than `to`.
Fraction feeMonths(const Date& from, const Date& to);

// What days with these connected seconds would have cost beyond a daily allowance, exactly, in
// sixths of an öre: a day with more connected seconds than the allowance costs 240 (the 40-öre
// start charge, once a day, since a day's record does not keep how many bookings fell into its
// extra time) plus its seconds beyond it (10 öre a minute). A day of 0 or fewer seconds adds
// nothing; a day above 86400 seconds counts as 86400.
std::int64_t estimatedExtraSixths(std::span<const std::int32_t> dayConnectedSeconds,
                                  std::int32_t dailyAllowance);

// bookedOre + rest, rounded half-up to whole öre, the single-precision value taken exactly as it
// is. nullopt when bookedOre is not a finite number, lies beyond 2^40 öre, or rest's denominator
// is not 1 to 2^20.
std::optional<std::int64_t> roundedOre(float bookedOre, const Fraction& rest);

// What the three plans are compared on.
struct ComparisonBasis {
    // The extra cost booked under the plan in force, in öre, in single precision as the sums
    // give it.
    float bookedOre = 0.0f;
    // Every day's connected seconds, from which the other plans' extra costs are estimated.
    std::span<const std::int32_t> daySeconds;
    // The estimates are multiplied by this: 1 for days as they are, D ÷ d for a month projected
    // from its first d days. The numerator and the denominator are 1 to 31.
    Fraction estimateScale{1, 1};
    // How many monthly fees every plan pays, as feeMonths gives them.
    Fraction feeMonths{1, 1};
};

// Each plan's figure: its extra cost plus its monthly fee × basis.feeMonths, rounded half-up to
// whole öre once. The plan with this allowance takes the booked cost; every other plan, and all
// three when the allowance matches no plan, estimatedExtraSixths ÷ 6 × basis.estimateScale. The
// cheapest are marked. Made for a range of at most 366 days or for one month.
PlanComparison comparePlans(const ComparisonBasis& basis, std::int32_t dailyAllowance);

// The comparison of the days from `from` to `to`: the booked cost and the day seconds of their
// totals, and every plan's fee shared out over those days (feeMonths).
PlanComparison comparePlans(const RangeTotals& totals, const Date& from, const Date& to,
                            std::int32_t dailyAllowance);

// "39,24": the figure in kronor with a decimal comma and two decimals; "?" when it could not be
// worked out.
std::string planAmountText(const PlanCost& cost);

// "2 h / dygn: 493,90 kr", then " (uppskattat)" for an estimate and " (billigast)" for the
// cheapest, in that order.
std::string planCostText(const PlanCost& cost);

// The three texts, in the comparison's order.
std::array<std::string, 3> planComparisonTexts(const PlanComparison& comparison);

} // namespace core
