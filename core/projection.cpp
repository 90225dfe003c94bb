#include "core/projection.h"

#include "core/figures.h"
#include "core/plan.h"
#include "core/swedish.h"
#include "core/texts.h"

#include <algorithm>
#include <cmath>

namespace core {

namespace {

// sum × D ÷ d to the nearest whole number, halves away from zero. The sums of a month of 32-bit
// days times 31 lie far inside the range a double holds exactly.
std::int64_t scaled(std::int64_t sum, int daysInMonth, int daysSoFar) {
    const double value = static_cast<double>(sum) * static_cast<double>(daysInMonth) /
                         static_cast<double>(daysSoFar);
    return static_cast<std::int64_t>(std::llround(value));
}

// öre × D ÷ d in single precision, multiplied first.
float scaledOre(float ore, int daysInMonth, int daysSoFar) {
    return ore * static_cast<float>(daysInMonth) / static_cast<float>(daysSoFar);
}

} // namespace

bool isCurrentMonth(const Date& monthDate, const Date& today) {
    return monthDate.year == today.year && monthDate.month == today.month;
}

std::optional<Projection> projectMonth(const Date& monthDate, std::span<const DayRecord> days,
                                       const Date& today, std::int32_t dailyAllowance) {
    if (!today.isValid() || !isCurrentMonth(monthDate, today)) {
        return std::nullopt;
    }
    Projection projection;
    projection.year = today.year;
    projection.month = today.month;
    projection.daysSoFar = today.day;
    projection.daysInMonth = daysInMonth(today.year, today.month);
    const int d = projection.daysSoFar;
    const int bigD = projection.daysInMonth;

    const std::size_t soFar = std::min(days.size(), static_cast<std::size_t>(d));
    const std::span<const DayRecord> daysSoFar = days.first(soFar);
    const MonthSums sums = sumMonth(daysSoFar);
    std::vector<std::int32_t> daySeconds;
    daySeconds.reserve(soFar);
    for (const DayRecord& day : daysSoFar) {
        daySeconds.push_back(day.connectedSeconds);
    }

    MonthSums atPace;
    atPace.connectedSeconds = scaled(sums.connectedSeconds, bigD, d);
    atPace.extraSeconds = scaled(sums.extraSeconds, bigD, d);
    atPace.costOre = scaledOre(sums.costOre, bigD, d);
    projection.connectedSeconds = atPace.connectedSeconds;
    projection.extraSeconds = atPace.extraSeconds;
    projection.extraOre = atPace.costOre;
    projection.totalKronor = totalMonthlyCost(atPace, dailyAllowance);

    // Every plan at this pace: its extra cost scaled by D ÷ d, and its whole fee, since the
    // whole month is D ÷ D of it. The plan in force takes the booked cost as the month's total
    // counts it, so that its figure is that total.
    ComparisonBasis basis;
    basis.bookedOre = atPace.extraSeconds > 0 ? atPace.costOre : 0.0f;
    basis.daySeconds = daySeconds;
    basis.estimateScale = Fraction{bigD, d};
    basis.feeMonths =
        feeMonths(Date{today.year, today.month, 1}, Date{today.year, today.month, bigD});
    projection.plans = comparePlans(basis, dailyAllowance);
    return projection;
}

std::vector<std::string> projectionLines(const Projection& projection) {
    std::vector<std::string> lines;
    std::string heading = "Prognos för " + std::string(monthNameLower(projection.month)) + " " +
                          decimalText(projection.year) + " i samma takt som dag 1";
    if (projection.daysSoFar > 1) {
        heading += "\u2013" + decimalText(projection.daysSoFar);
    }
    lines.push_back(heading + ":");
    // "0 s" where durationText gives nothing, as the chart window's totals above these lines.
    const auto duration = [](std::int64_t seconds) {
        const std::string text = durationText(seconds);
        return text.empty() ? std::string("0 s") : text;
    };
    lines.push_back("Ansluten tid: " + duration(projection.connectedSeconds));
    lines.push_back("Extra tid: " + duration(projection.extraSeconds));
    lines.push_back("Total månadskostnad: " +
                    amountText(projection.totalKronor, AmountPattern::TwoIntegerDigits) + " kr");

    std::string cheapest;
    std::string amount;
    for (const PlanCost& cost : projection.plans) {
        if (!cost.cheapest) {
            continue;
        }
        if (!cheapest.empty()) {
            cheapest += " och ";
        }
        cheapest += std::string(planOf(cost.type).planText);
        amount = planAmountText(cost);
    }
    if (!cheapest.empty()) {
        lines.push_back("Billigast i den takten: " + cheapest + " (" + amount + " kr)");
    }
    return lines;
}

} // namespace core
