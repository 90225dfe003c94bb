#include "core/month_chart.h"

#include "core/date.h"
#include "core/swedish.h"
#include "core/texts.h"

#include <algorithm>

namespace core {

namespace {

constexpr std::int32_t kSecondsPerHour = 3600;

std::int32_t clampSeconds(std::int32_t seconds) {
    return std::clamp(seconds, std::int32_t{0}, kSecondsPerDay);
}

} // namespace

MonthChart monthChart(int year, int month, std::span<const DayRecord> records,
                      std::int32_t dailyAllowance, int highlightedDay) {
    MonthChart chart;
    chart.year = year;
    chart.month = month;
    chart.dailyAllowance = clampSeconds(dailyAllowance);

    const int days = daysInMonth(year, month);
    chart.highlightedDay = highlightedDay >= 1 && highlightedDay <= days ? highlightedDay : 0;

    std::int32_t highest = chart.dailyAllowance;
    chart.bars.reserve(static_cast<std::size_t>(days));
    for (int day = 1; day <= days; ++day) {
        const auto index = static_cast<std::size_t>(day - 1);
        const std::int32_t connected =
            index < records.size() ? clampSeconds(records[index].connectedSeconds) : 0;
        ChartBar bar;
        bar.day = day;
        bar.prepaidSeconds = std::min(connected, chart.dailyAllowance);
        bar.extraSeconds = connected - bar.prepaidSeconds;
        chart.bars.push_back(bar);
        highest = std::max(highest, connected);
    }

    // The allowance's line stays below the top, so that it is seen: an hour above it at least.
    const int allowanceHeadroom =
        chart.dailyAllowance > 0 ? chart.dailyAllowance / kSecondsPerHour + 1 : 1;
    const int hours =
        std::max(allowanceHeadroom, (highest + kSecondsPerHour - 1) / kSecondsPerHour);
    chart.tickStepHours = hours <= 6 ? 1 : hours <= 12 ? 2 : 4;
    chart.axisTopHours =
        (hours + chart.tickStepHours - 1) / chart.tickStepHours * chart.tickStepHours;

    chart.title =
        "Ansluten tid per dag, " + std::string(monthNameLower(month)) + " " + decimalText(year);
    chart.legendPrepaid = "Förbetald tid";
    chart.legendExtra = "Extra tid";
    if (chart.dailyAllowance > 0) {
        chart.legendAllowance = "Förbetald tid per dag (" +
                                std::string(trimBlanks(durationText(chart.dailyAllowance))) + ")";
    }
    return chart;
}

} // namespace core
