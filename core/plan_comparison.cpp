#include "core/plan_comparison.h"

#include "core/booking.h"
#include "core/texts.h"

#include <algorithm>
#include <cmath>

namespace core {

namespace {

// Products and sums that say so when they do not fit in 64 bits.
std::optional<std::int64_t> times(std::optional<std::int64_t> a, std::int64_t b) {
    std::int64_t product = 0;
    if (!a || __builtin_mul_overflow(*a, b, &product)) {
        return std::nullopt;
    }
    return product;
}

std::optional<std::int64_t> plus(std::optional<std::int64_t> a, std::optional<std::int64_t> b) {
    std::int64_t sum = 0;
    if (!a || !b || __builtin_add_overflow(*a, *b, &sum)) {
        return std::nullopt;
    }
    return sum;
}

// The largest whole number not above a ÷ b, for b above 0.
std::int64_t floorDivide(std::int64_t a, std::int64_t b) {
    const std::int64_t quotient = a / b;
    return (a % b != 0 && a < 0) ? quotient - 1 : quotient;
}

// numerator ÷ denominator rounded half-up: the largest whole number not above
// (2 × numerator + denominator) ÷ (2 × denominator).
std::optional<std::int64_t> roundedHalfUp(std::optional<std::int64_t> numerator,
                                          std::int64_t denominator) {
    const auto twice = times(numerator, 2);
    const auto top = plus(twice, denominator);
    const auto bottom = times(denominator, 2);
    if (!top || !bottom) {
        return std::nullopt;
    }
    return floorDivide(*top, *bottom);
}

// An estimate's figure: sixths ÷ 6 × scale + fee öre × months, over one common denominator,
// 6 × scale's denominator × months' denominator.
std::optional<std::int64_t> estimatedOre(std::int64_t sixths, const Fraction& scale,
                                         std::int64_t feeOre, const Fraction& months) {
    if (scale.denominator < 1 || months.denominator < 1) {
        return std::nullopt;
    }
    const auto extra = times(times(sixths, scale.numerator), months.denominator);
    const auto fee = times(times(times(feeOre, months.numerator), 6), scale.denominator);
    const auto denominator = times(times(6, scale.denominator), months.denominator);
    if (!denominator) {
        return std::nullopt;
    }
    return roundedHalfUp(plus(extra, fee), *denominator);
}

// Marks the figures with the lowest whole öre; a figure that could not be worked out is never
// marked.
void markCheapest(PlanComparison& comparison) {
    std::optional<std::int64_t> lowest;
    for (const PlanCost& cost : comparison) {
        if (cost.ore && (!lowest || *cost.ore < *lowest)) {
            lowest = cost.ore;
        }
    }
    for (PlanCost& cost : comparison) {
        cost.cheapest = lowest && cost.ore == lowest;
    }
}

} // namespace

Fraction feeMonths(const Date& from, const Date& to) {
    Fraction months{0, kShareDenominator};
    if (!from.isValid() || !to.isValid() || to < from) {
        return months;
    }
    int year = from.year;
    int month = from.month;
    for (;;) {
        const int days = daysInMonth(year, month);
        const bool first = year == from.year && month == from.month;
        const bool last = year == to.year && month == to.month;
        const int firstDay = first ? from.day : 1;
        const int lastDay = last ? to.day : days;
        months.numerator += static_cast<std::int64_t>(lastDay - firstDay + 1) *
                            (kShareDenominator / static_cast<std::int64_t>(days));
        if (last) {
            return months;
        }
        if (++month > 12) {
            month = 1;
            ++year;
        }
    }
}

std::int64_t estimatedExtraSixths(std::span<const std::int32_t> dayConnectedSeconds,
                                  std::int32_t dailyAllowance) {
    std::int64_t sixths = 0;
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
        sixths += 240 + std::min<std::int64_t>(extra, kSecondsPerDay);
    }
    return sixths;
}

std::optional<std::int64_t> roundedOre(float bookedOre, const Fraction& rest) {
    constexpr double kLargestOre = 1099511627776.0; // 2^40
    constexpr std::int64_t kLargestDenominator = std::int64_t{1} << 20;
    if (!std::isfinite(bookedOre) || std::fabs(static_cast<double>(bookedOre)) >= kLargestOre ||
        rest.denominator < 1 || rest.denominator > kLargestDenominator) {
        return std::nullopt;
    }
    // 24 significant bits times at most 21: the product is exact in a double, and so is its
    // part below the whole number.
    const double scaled = static_cast<double>(bookedOre) * static_cast<double>(rest.denominator);
    const double whole = std::floor(scaled);
    const double part = scaled - whole; // 0 <= part < 1
    // (whole + part + numerator) ÷ denominator rounded half-up is the largest whole number not
    // above (n + 2 × part) ÷ q, with n = 2 × (whole + numerator) + denominator and q = 2 ×
    // denominator. Of n = k × q + m, with 0 <= m < q, that is k, and one more only when m is
    // q − 1 and part at least one half.
    const auto n =
        plus(times(plus(static_cast<std::int64_t>(whole), rest.numerator), 2), rest.denominator);
    if (!n) {
        return std::nullopt;
    }
    const std::int64_t q = 2 * rest.denominator;
    const std::int64_t k = floorDivide(*n, q);
    const std::int64_t m = *n - k * q;
    return m == q - 1 && part >= 0.5 ? k + 1 : k;
}

PlanComparison comparePlans(const ComparisonBasis& basis, std::int32_t dailyAllowance) {
    PlanComparison comparison;
    const auto plans = allPlans();
    for (std::size_t i = 0; i < comparison.size() && i < plans.size(); ++i) {
        const Plan& plan = plans[i];
        PlanCost& cost = comparison[i];
        cost.type = plan.type;
        const std::int64_t feeOre = std::int64_t{plan.feeKronor} * 100;
        if (plan.dailyAllowance == dailyAllowance) {
            const auto fee = times(feeOre, basis.feeMonths.numerator);
            cost.ore =
                fee ? roundedOre(basis.bookedOre, Fraction{*fee, basis.feeMonths.denominator})
                    : std::nullopt;
            cost.estimated = false;
            continue;
        }
        const std::int64_t sixths = estimatedExtraSixths(basis.daySeconds, plan.dailyAllowance);
        cost.ore = estimatedOre(sixths, basis.estimateScale, feeOre, basis.feeMonths);
        cost.estimated = true;
    }
    markCheapest(comparison);
    return comparison;
}

PlanComparison comparePlans(const RangeTotals& totals, const Date& from, const Date& to,
                            std::int32_t dailyAllowance) {
    ComparisonBasis basis;
    basis.bookedOre = totals.sums.costOre;
    basis.daySeconds = totals.dayConnectedSeconds;
    basis.feeMonths = feeMonths(from, to);
    return comparePlans(basis, dailyAllowance);
}

std::string planAmountText(const PlanCost& cost) {
    if (!cost.ore) {
        return "?";
    }
    // Whole öre as kronor: the digits of the magnitude, the last two after the comma.
    const std::int64_t ore = *cost.ore;
    const std::uint64_t magnitude =
        ore < 0 ? 0 - static_cast<std::uint64_t>(ore) : static_cast<std::uint64_t>(ore);
    const std::uint64_t hundredths = magnitude % 100;
    std::string text = ore < 0 ? "-" : "";
    text += decimalText(static_cast<std::int64_t>(magnitude / 100));
    text += ',';
    text += static_cast<char>('0' + hundredths / 10);
    text += static_cast<char>('0' + hundredths % 10);
    return text;
}

std::string planCostText(const PlanCost& cost) {
    std::string text =
        std::string(planOf(cost.type).planText) + ": " + planAmountText(cost) + " kr";
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
