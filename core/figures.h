#pragma once

#include "core/day_record.h"

#include <cstdint>
#include <span>
#include <string>

namespace core {

// The figures of a day and of a month, as the program words them. Pure functions of the records
// and the plan; they read no file, know no widget and pick no colour.

// A figure's text, and whether it tells of extra time used or of an extra cost above zero, which
// the windows draw the user's eye to.
struct FigureText {
    std::string text;
    bool extra = false;
};

// A day counts as booked when its connected seconds are 1 or more.
bool dayHasRecord(const DayRecord& day);

struct DayFigures {
    FigureText connected;
    FigureText remaining;
    FigureText cost;
};

// The figures of a booked day: "Ansluten tid: …", then "Tid kvar: …" or, beyond the allowance,
// "Använd extra tid: …" (extra), and "Kostnad: … kr" (extra when above zero).
DayFigures dayFigures(const DayRecord& day, std::int32_t dailyAllowance);

// Sums of a month's records. The seconds are summed in 64 bits so that no file can overflow them.
struct MonthSums {
    float costOre = 0.0f;
    std::int64_t connectedSeconds = 0;
    std::int64_t extraSeconds = 0;
};
MonthSums sumMonth(std::span<const DayRecord> days);

struct MonthFigures {
    FigureText connected;
    FigureText extra;
    FigureText cost;
    FigureText total;
    // The texts the month report prints.
    std::string monthTimeText;
    std::string monthExtraText;
    std::string monthCostText;
};

// The figures of a month that has records: its time, extra time (extra when above zero), extra
// cost and the total monthly cost with the plan's fee (both extra when there is an extra cost).
// Without a matching plan the total is 0.
MonthFigures monthFigures(const MonthSums& sums, std::int32_t dailyAllowance);

// The figures of a month without records: headings, and the plan's fee as the total. The report
// texts are left empty.
MonthFigures emptyMonthFigures(std::int32_t dailyAllowance);

// The total monthly cost in kronor: the extra cost plus the plan's fee when the month has extra
// time, the fee alone otherwise, 0 without a matching plan. Single precision.
float totalMonthlyCost(const MonthSums& sums, std::int32_t dailyAllowance);

} // namespace core
