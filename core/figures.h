#pragma once

#include "core/day_record.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace core {

// The figures the main window shows for a day and for a month, as caption texts with their
// colours. Pure functions of the records and the plan; they read no file and know no widget.

enum class Colour {
    Unchanged, // the label keeps the colour it has
    Normal,    // the system's button-text colour
    Red,       // pure red, RGB 255, 0, 0
};

struct LabelText {
    std::string text;
    Colour colour = Colour::Unchanged;
};

// A day counts as booked when its connected seconds are 1 or more.
bool dayHasRecord(const DayRecord& day);

struct DayFigures {
    LabelText connected; // lblDagstid
    LabelText remaining; // lblTidkvar
    LabelText cost;      // lblDagskost
};

// The figures of a booked day: "Ansluten tid: …", then "Tid kvar: …" or, beyond the allowance,
// "Använd extra tid: …" in red, and "Kostnad: … kr" (red when above zero).
DayFigures dayFigures(const DayRecord& day, std::int32_t dailyAllowance);

// The headings shown for a day without a record.
DayFigures dayHeadings();

// Sums of a month's records. The seconds are summed in 64 bits so that no file can overflow them.
struct MonthSums {
    float costOre = 0.0f;
    std::int64_t connectedSeconds = 0;
    std::int64_t extraSeconds = 0;
};
MonthSums sumMonth(std::span<const DayRecord> days);

struct MonthFigures {
    LabelText connected; // lblTid
    LabelText extra;     // lblDyrtid
    LabelText cost;      // lblKostnad
    LabelText total;     // lblSumma
    // The texts the month report prints.
    std::string monthTimeText;
    std::string monthExtraText;
    std::string monthCostText;
};

// The figures of a month that has records: its time, extra time (red when above zero), extra cost
// and the total monthly cost with the plan's fee (red when there is an extra cost). Without a
// matching plan the total is 0.
MonthFigures monthFigures(const MonthSums& sums, std::int32_t dailyAllowance);

// The figures of a month without records: headings, and the plan's fee as the total. The report
// texts are left empty; the window keeps the ones it had.
MonthFigures emptyMonthFigures(std::int32_t dailyAllowance);

// "Total månadskostnad: 145 kr": the plan's fee alone, as the month frame shows it once a month
// has been emptied by undo or deletion; nullopt without a matching plan.
std::optional<std::string> feeOnlyTotalText(std::int32_t dailyAllowance);

// The total monthly cost in kronor: the extra cost plus the plan's fee when the month has extra
// time, the fee alone otherwise, 0 without a matching plan. Single precision.
float totalMonthlyCost(const MonthSums& sums, std::int32_t dailyAllowance);

} // namespace core
