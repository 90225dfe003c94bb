#include "core/figures.h"

#include "core/plan.h"
#include "core/texts.h"

namespace core {

bool dayHasRecord(const DayRecord& day) {
    return day.connectedSeconds >= 1;
}

DayFigures dayFigures(const DayRecord& day, std::int32_t dailyAllowance) {
    DayFigures figures;
    const float kronor = day.extraCost / 100.0f;
    figures.cost.text = "Kostnad: " + amountText(kronor, AmountPattern::OneIntegerDigit) + " kr";
    figures.cost.extra = kronor > 0.0f;

    figures.connected.text = "Ansluten tid: " + durationText(day.connectedSeconds);

    const std::int64_t difference =
        static_cast<std::int64_t>(dailyAllowance) - day.connectedSeconds;
    if (difference < 0) {
        figures.remaining = {"Använd extra tid: " + durationText(-difference), true};
    } else {
        figures.remaining = {"Tid kvar: " + durationText(difference), false};
    }
    return figures;
}

MonthSums sumMonth(std::span<const DayRecord> days) {
    MonthSums sums;
    for (const DayRecord& day : days) {
        sums.costOre += day.extraCost;
        sums.connectedSeconds += day.connectedSeconds;
        sums.extraSeconds += day.extraSeconds;
    }
    return sums;
}

float totalMonthlyCost(const MonthSums& sums, std::int32_t dailyAllowance) {
    const auto plan = planForAllowance(dailyAllowance);
    if (!plan) {
        return 0.0f;
    }
    const float fee = static_cast<float>(plan->feeKronor);
    if (sums.extraSeconds > 0) {
        return sums.costOre / 100.0f + fee;
    }
    return fee;
}

MonthFigures monthFigures(const MonthSums& sums, std::int32_t dailyAllowance) {
    MonthFigures figures;
    const float costKronor = sums.costOre / 100.0f;
    const bool costly = costKronor > 0.0f;

    figures.total.text =
        "Total månadskostnad: " +
        amountText(totalMonthlyCost(sums, dailyAllowance), AmountPattern::TwoIntegerDigits) + " kr";
    figures.total.extra = costly;

    figures.connected.text = "Ansluten tid: " + durationText(sums.connectedSeconds);
    figures.monthTimeText = figures.connected.text;

    figures.extra.text = "Extra månadstid: " + durationText(sums.extraSeconds);
    figures.extra.extra = sums.extraSeconds > 0;
    figures.monthExtraText = figures.extra.text;

    const std::string cost = amountText(costKronor, AmountPattern::OneIntegerDigit);
    figures.cost.text = "Extra månadskostnad: " + cost + " kr";
    figures.cost.extra = costly;
    figures.monthCostText = "Extra månadskostnad " + cost + " kr";
    return figures;
}

MonthFigures emptyMonthFigures(std::int32_t dailyAllowance) {
    MonthFigures figures;
    const float fee = static_cast<float>(feeForAllowance(dailyAllowance));
    figures.total.text =
        "Total månadskostnad: " + amountText(fee, AmountPattern::TwoIntegerDigits) + " kr";
    figures.cost.text = "Extra månadskostnad:";
    figures.extra.text = "Extra månadstid:";
    figures.connected.text = "Månadstid:";
    return figures;
}

} // namespace core
