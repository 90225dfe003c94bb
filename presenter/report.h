#pragma once

#include "core/day_record.h"
#include "platform/printing.h"

#include <cstdint>
#include <span>
#include <string>

namespace presenter {

// The printed month report as a document: the lines with their font size and weight, the page
// breaks and the document ends. A pure function of the month's records and the plan; it reads no
// file and knows no printer.

struct MonthReportInput {
    // The month file's records in order, record 1 first, up to the last record the file holds.
    std::span<const core::DayRecord> records;
    // The plan's prepaid seconds a day; it also picks the monthly fee of the total.
    std::int32_t dailyAllowance = 0;
    // "December 2001".
    std::string monthCaption;
    // Every copy is a complete document of its own. Fewer than 1 gives an empty document.
    int copies = 1;
};

// The font sizes of the report, in points.
inline constexpr int kReportHeadingSize = 12;
inline constexpr int kReportDaySize = 10;

// The report, one complete document per copy, each ending with an EndDocument item:
//
// - before the first day with connected time, the heading (12 pt bold): two empty lines,
//   17 blanks + "Kostnader för NetLink abbonemang " + caption, two empty lines;
// - for each record with connected time (10 pt): in bold 20 blanks + "Datum: " + its day number,
//   then not bold 20 blanks + "Ansluten tid: …", "Tid kvar: …" or "Använd extra tid: …" and
//   "Kostnad: … kr"; after record 11 or 23 a new page and two empty lines; then one empty line;
// - the closing block: three empty lines in the font then in use, then in 12 pt bold
//   18 blanks + "För hela " + caption + " blir kostnaden:", an empty line, the month's
//   "Ansluten tid: …", "Extra månadstid: …", "Extra månadskostnad … kr" (no colon) and
//   "Total månadskostnad: … kr", each after 18 blanks.
//
// Each document starts in 10 pt, not bold; an empty line carries the font in use when it is
// printed. A record whose connected seconds are 0 prints nothing, so a month of such records
// prints the closing block alone. The month's figures are those the main window shows.
platform::PrintDocument monthReport(const MonthReportInput& input);

} // namespace presenter
