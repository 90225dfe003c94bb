#include "presenter/report.h"
#include "support/month_bytes.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

using core::DayRecord;
using platform::PrintDocument;
using platform::PrintItem;
using Kind = platform::PrintItem::Kind;
using testing_support::bookedDay;

namespace platform {
void PrintTo(const PrintItem& item, std::ostream* out) { // readable failure messages
    *out << static_cast<int>(item.kind) << ':' << item.pointSize << (item.bold ? " bold '" : " '")
         << item.text << '\'';
}
} // namespace platform

namespace {

const std::string kDay(20, ' ');
const std::string kClosing(18, ' ');
const PrintItem kNewPage{Kind::NewPage, "", 10, false};

PrintItem line(int size, bool bold, const std::string& text = "") {
    return {Kind::Line, text, size, bold};
}

// A month file's records up to record `length`, with the given days filled in.
std::vector<DayRecord> month(std::size_t length, std::initializer_list<DayRecord> days) {
    std::vector<DayRecord> records(length);
    for (const DayRecord& day : days) {
        records.at(static_cast<std::size_t>(day.dayNumber) - 1) = day;
    }
    return records;
}

PrintDocument joined(PrintDocument first, const PrintDocument& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

PrintDocument report(const std::vector<DayRecord>& records, std::int32_t allowance = 7200,
                     int copies = 1) {
    return presenter::monthReport({records, allowance, "December 2001", copies});
}

// The items from the three empty lines before the closing block to the end of the document: the
// month's time, extra time, extra cost and total.
PrintDocument closingBlock(const std::string& time, const std::string& extra,
                           const std::string& cost, const std::string& total) {
    return {line(10, false),
            line(10, false),
            line(10, false),
            line(12, true, kClosing + "För hela December 2001 blir kostnaden:"),
            line(12, true),
            line(12, true, kClosing + "Ansluten tid: " + time),
            line(12, true, kClosing + "Extra månadstid: " + extra),
            line(12, true, kClosing + "Extra månadskostnad " + cost + " kr"),
            line(12, true, kClosing + "Total månadskostnad: " + total + " kr"),
            PrintItem{Kind::EndDocument, "", 10, false}};
}

// Whether a new page follows the block of the day printed as "Datum: <day>".
bool breakAfter(const PrintDocument& document, int day) {
    const auto at = std::find(document.begin(), document.end(),
                              line(10, true, kDay + "Datum: " + std::to_string(day)));
    return document.end() - at > 4 && at[4] == kNewPage;
}

} // namespace

TEST(MonthReport, HeadingDayBlockPageBreakAndClosingBlockWithTheirFonts) {
    const PrintDocument expected = joined(
        {
            line(12, true), line(12, true),
            line(12, true, std::string(17, ' ') + "Kostnader för NetLink abbonemang December 2001"),
            line(12, true), line(12, true), line(10, true, kDay + "Datum: 11"),
            line(10, false, kDay + "Ansluten tid: 2 h 30 m "),
            line(10, false, kDay + "Använd extra tid: 30 m "),
            line(10, false, kDay + "Kostnad: 3,40 kr"), kNewPage, line(10, false), line(10, false),
            line(10, false), // the line that ends the day's block
        },
        // 9000 s is 2 h 30 m, 1800 s extra; 340 öre and the 245 kr fee make 248,40 kr.
        closingBlock("2 h 30 m ", "30 m ", "3,40", "248,40"));
    EXPECT_EQ(report(month(11, {bookedDay(11, 9000, 1800, 340.0f)})), expected);
}

TEST(MonthReport, PagesBreakAfterRecordsElevenAndTwentyThreeWhenBooked) {
    const auto breaks = [](const PrintDocument& document) {
        return std::count(document.begin(), document.end(), kNewPage);
    };
    const PrintDocument day23 =
        report(month(23, {bookedDay(10, 60), bookedDay(12, 60), bookedDay(23, 60)}));
    EXPECT_EQ(breaks(day23), 1);
    EXPECT_TRUE(breakAfter(day23, 23));
    EXPECT_EQ(breaks(report(month(24, {bookedDay(22, 60), bookedDay(24, 60)}))), 0);
    EXPECT_EQ(breaks(report(month(23, {bookedDay(11, 60), bookedDay(23, 60)}))), 2);
    // The record number decides the break; the record's own day number is printed.
    std::vector<DayRecord> records(11);
    records[10] = bookedDay(7, 60);
    EXPECT_TRUE(breakAfter(report(records), 7));
}

TEST(MonthReport, EveryCopyIsACompleteDocumentStartingInTheStartingFont) {
    // Nothing booked, though a record holds 90 öre: the closing block alone, with no time and no
    // extra time, so the total is the fee alone.
    std::vector<DayRecord> empty(20);
    empty[4].extraCost = 90.0f;
    const PrintDocument closing = closingBlock("", "", "0,90", "145,00");
    EXPECT_EQ(report(empty, 3600, 2), joined(closing, closing));

    const auto records = month(12, {bookedDay(3, 600), bookedDay(11, 1200), bookedDay(12, 1800)});
    const PrintDocument one = report(records);
    EXPECT_EQ(report(records, 7200, 2), joined(one, one));
    EXPECT_TRUE(report(records, 7200, 0).empty());
}
