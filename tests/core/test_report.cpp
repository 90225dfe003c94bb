#include "core/report.h"
#include "support/month_bytes.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

using core::DayRecord;
using core::PrintDocument;
using core::PrintItem;
using Kind = core::PrintItem::Kind;

namespace core {
// Readable failure messages.
void PrintTo(const PrintItem& item, std::ostream* out) {
    switch (item.kind) {
    case Kind::Line:
        *out << "Line(\"" << item.text << "\", " << item.pointSize << (item.bold ? ", bold)" : ")");
        break;
    case Kind::NewPage:
        *out << "NewPage";
        break;
    case Kind::EndDocument:
        *out << "EndDocument";
        break;
    }
}
} // namespace core

using testing_support::bookedDay;

namespace {

const std::string kDay(20, ' ');
const std::string kClosing(18, ' ');

PrintItem line(const std::string& text, int size, bool bold) {
    return PrintItem{Kind::Line, text, size, bold};
}
PrintItem dayLine(const std::string& text) {
    return line(kDay + text, 10, false);
}
PrintItem empty(int size, bool bold) {
    return line("", size, bold);
}
PrintItem newPage() {
    return PrintItem{Kind::NewPage, "", 10, false};
}
PrintItem endDocument() {
    return PrintItem{Kind::EndDocument, "", 10, false};
}

// A month file's records up to its last record, with the given days filled in.
std::vector<DayRecord> month(std::initializer_list<DayRecord> days) {
    std::vector<DayRecord> records;
    for (const DayRecord& day : days) {
        const auto number = static_cast<std::size_t>(day.dayNumber);
        if (records.size() < number) {
            records.resize(number);
        }
        records[number - 1] = day;
    }
    return records;
}

core::MonthReportInput input(const std::vector<DayRecord>& records, std::int32_t allowance = 7200,
                             int copies = 1) {
    core::MonthReportInput in;
    in.records = records;
    in.dailyAllowance = allowance;
    in.monthCaption = "December 2001";
    in.monthTimeText = "Ansluten tid: 2 h 30 m ";
    in.monthExtraText = "Extra månadstid: 30 m ";
    in.monthCostText = "Extra månadskostnad 3,40 kr";
    in.copies = copies;
    return in;
}

std::vector<std::string> texts(const PrintDocument& document) {
    std::vector<std::string> result;
    for (const PrintItem& item : document) {
        result.push_back(item.kind == Kind::Line      ? item.text
                         : item.kind == Kind::NewPage ? "<new page>"
                                                      : "<end>");
    }
    return result;
}

std::size_t indexOf(const PrintDocument& document, const std::string& text) {
    const auto it = std::find_if(document.begin(), document.end(),
                                 [&](const PrintItem& item) { return item.text == text; });
    return static_cast<std::size_t>(it - document.begin());
}

std::size_t countOf(const PrintDocument& document, Kind kind) {
    return static_cast<std::size_t>(
        std::count_if(document.begin(), document.end(),
                      [kind](const PrintItem& item) { return item.kind == kind; }));
}

} // namespace

TEST(MonthReport, OneDayGivesHeadingDayBlockAndClosingBlockWithTheirFonts) {
    // 2-hour plan; day 14 has 2 h 30 m of connected time and 340 öre of extra cost.
    const auto records = month({bookedDay(14, 9000, 1800, 340.0f)});
    const PrintDocument expected = {
        empty(12, true),
        empty(12, true),
        line(std::string(17, ' ') + "Kostnader för NetLink abbonemang December 2001", 12, true),
        empty(12, true),
        empty(12, true),
        line(kDay + "Datum: 14", 10, true),
        dayLine("Ansluten tid: 2 h 30 m "),
        dayLine("Använd extra tid: 30 m "),
        dayLine("Kostnad: 3,40 kr"),
        empty(10, false),
        empty(10, false),
        empty(10, false),
        empty(10, false),
        line(kClosing + "För hela December 2001 blir kostnaden:", 12, true),
        empty(12, true),
        line(kClosing + "Ansluten tid: 2 h 30 m ", 12, true),
        line(kClosing + "Extra månadstid: 30 m ", 12, true),
        line(kClosing + "Extra månadskostnad 3,40 kr", 12, true),
        line(kClosing + "Total månadskostnad: 248,40 kr", 12, true),
        endDocument(),
    };
    EXPECT_EQ(core::monthReport(input(records)), expected);
}

TEST(MonthReport, DayBlocksShowTimeLeftOrExtraTimeAndTheDaysCost) {
    const auto records = month({
        bookedDay(2, 3725),                // within the allowance
        bookedDay(5, 7200),                // exactly the allowance: nothing after "Tid kvar: "
        bookedDay(9, 7260, 60, 50.0f),     // one minute over
        bookedDay(20, 86400, 79200, 1.0f), // a whole day
    });
    const PrintDocument report = core::monthReport(input(records));
    const auto lines = texts(report);
    const auto at = [&](const std::string& text) {
        return static_cast<std::size_t>(std::find(lines.begin(), lines.end(), text) -
                                        lines.begin());
    };
    const std::size_t day2 = at(kDay + "Datum: 2");
    ASSERT_LT(day2 + 3, lines.size());
    EXPECT_EQ(lines[day2 + 1], kDay + "Ansluten tid: 1 h 2 m 5 s ");
    EXPECT_EQ(lines[day2 + 2], kDay + "Tid kvar: 57 m 55 s ");
    EXPECT_EQ(lines[day2 + 3], kDay + "Kostnad: 0,00 kr");

    const std::size_t day5 = at(kDay + "Datum: 5");
    ASSERT_LT(day5 + 3, lines.size());
    EXPECT_EQ(lines[day5 + 1], kDay + "Ansluten tid: 2 h ");
    EXPECT_EQ(lines[day5 + 2], kDay + "Tid kvar: ");

    const std::size_t day9 = at(kDay + "Datum: 9");
    ASSERT_LT(day9 + 3, lines.size());
    EXPECT_EQ(lines[day9 + 2], kDay + "Använd extra tid: 1 m ");
    EXPECT_EQ(lines[day9 + 3], kDay + "Kostnad: 0,50 kr");

    const std::size_t day20 = at(kDay + "Datum: 20");
    ASSERT_LT(day20 + 3, lines.size());
    EXPECT_EQ(lines[day20 + 1], kDay + "Ansluten tid: 24 h ");
    EXPECT_EQ(lines[day20 + 2], kDay + "Använd extra tid: 22 h ");
    EXPECT_EQ(lines[day20 + 3], kDay + "Kostnad: 0,01 kr");

    // The blocks come in record order, each five lines long.
    EXPECT_EQ(day5, day2 + 5);
    EXPECT_EQ(day9, day5 + 5);
    EXPECT_EQ(day20, day9 + 5);
    // The heading comes once, before the first day.
    EXPECT_EQ(
        indexOf(report, std::string(17, ' ') + "Kostnader för NetLink abbonemang December 2001"),
        2u);
}

TEST(MonthReport, PrintsTheDayNumberOfTheRecord) {
    // The record's own day number is printed; the record number decides the page break.
    std::vector<DayRecord> records(11);
    records[10] = bookedDay(7, 60);
    const PrintDocument report = core::monthReport(input(records));
    const std::size_t day = indexOf(report, kDay + "Datum: 7");
    ASSERT_LT(day + 4, report.size());
    EXPECT_EQ(report[day + 4], newPage());
}

TEST(MonthReport, NewPageAfterDayElevensBlock) {
    const auto records = month({bookedDay(3, 600), bookedDay(11, 1200), bookedDay(12, 1800)});
    const PrintDocument report = core::monthReport(input(records));
    const std::size_t day11 = indexOf(report, kDay + "Datum: 11");
    ASSERT_LT(day11 + 8, report.size());
    EXPECT_LT(indexOf(report, kDay + "Datum: 3"), day11);
    // Day 11's four lines, then the new page, which starts with three empty lines: two from the
    // page break and the one that ends day 11's block.
    EXPECT_EQ(report[day11 + 3], dayLine("Kostnad: 0,00 kr"));
    EXPECT_EQ(report[day11 + 4], newPage());
    EXPECT_EQ(report[day11 + 5], empty(10, false));
    EXPECT_EQ(report[day11 + 6], empty(10, false));
    EXPECT_EQ(report[day11 + 7], empty(10, false));
    EXPECT_EQ(report[day11 + 8], line(kDay + "Datum: 12", 10, true));
    EXPECT_EQ(countOf(report, Kind::NewPage), 1u);
    // Then the closing block ends the document.
    EXPECT_LT(day11 + 8, indexOf(report, kClosing + "För hela December 2001 blir kostnaden:"));
    EXPECT_EQ(report.back(), endDocument());
}

TEST(MonthReport, WithoutDayElevenTheOnlyBreakFollowsDayTwentyThree) {
    const auto withDay23 =
        core::monthReport(input(month({bookedDay(10, 60), bookedDay(12, 60), bookedDay(23, 60)})));
    EXPECT_EQ(countOf(withDay23, Kind::NewPage), 1u);
    const std::size_t day23 = indexOf(withDay23, kDay + "Datum: 23");
    ASSERT_LT(day23 + 4, withDay23.size());
    EXPECT_EQ(withDay23[day23 + 4], newPage());

    // Record 11 is there but empty, and day 23 has no time: no break at all.
    const auto withoutDay23 =
        core::monthReport(input(month({bookedDay(10, 60), bookedDay(22, 60), bookedDay(24, 60)})));
    EXPECT_EQ(countOf(withoutDay23, Kind::NewPage), 0u);

    // Both days 11 and 23: two breaks.
    const auto both = core::monthReport(input(month({bookedDay(11, 60), bookedDay(23, 60)})));
    EXPECT_EQ(countOf(both, Kind::NewPage), 2u);
}

TEST(MonthReport, EveryCopyIsACompleteDocument) {
    const auto records = month({bookedDay(3, 600), bookedDay(11, 1200), bookedDay(12, 1800)});
    const PrintDocument one = core::monthReport(input(records, 7200, 1));
    const PrintDocument three = core::monthReport(input(records, 7200, 3));
    ASSERT_EQ(three.size(), 3 * one.size());
    EXPECT_EQ(countOf(three, Kind::EndDocument), 3u);
    for (std::size_t copy = 0; copy < 3; ++copy) {
        const PrintDocument part(three.begin() + static_cast<std::ptrdiff_t>(copy * one.size()),
                                 three.begin() +
                                     static_cast<std::ptrdiff_t>((copy + 1) * one.size()));
        EXPECT_EQ(part, one) << "copy " << copy + 1;
    }
    EXPECT_TRUE(core::monthReport(input(records, 7200, 0)).empty());
}

TEST(MonthReport, MonthOfEmptyDaysPrintsTheClosingBlockAlone) {
    std::vector<DayRecord> records(20); // every day deleted; the file still ends at day 20
    records[4].extraCost = 90.0f;       // a cost without connected time prints no day either
    core::MonthReportInput in = input(records, 3600);
    in.monthTimeText = "Ansluten tid: ";
    in.monthExtraText = "Extra månadstid: ";
    in.monthCostText = "Extra månadskostnad 0,00 kr";
    const PrintDocument expected = {
        empty(10, false),
        empty(10, false),
        empty(10, false),
        line(kClosing + "För hela December 2001 blir kostnaden:", 12, true),
        empty(12, true),
        line(kClosing + "Ansluten tid: ", 12, true),
        line(kClosing + "Extra månadstid: ", 12, true),
        line(kClosing + "Extra månadskostnad 0,00 kr", 12, true),
        line(kClosing + "Total månadskostnad: 145,00 kr", 12, true),
        endDocument(),
    };
    EXPECT_EQ(core::monthReport(in), expected);

    // The second copy starts again in the starting font.
    const PrintDocument two = core::monthReport(
        core::MonthReportInput{in.records, 3600, in.monthCaption, in.monthTimeText,
                               in.monthExtraText, in.monthCostText, 2});
    ASSERT_EQ(two.size(), 2 * expected.size());
    EXPECT_EQ(two[expected.size()], empty(10, false));
}

TEST(MonthReport, TotalIsWorkedOutAsTheMainWindowDoes) {
    const auto total = [](std::initializer_list<DayRecord> days, std::int32_t allowance) {
        const auto records = month(days);
        return core::monthReport(input(records, allowance)).rbegin()[1].text;
    };
    const std::string prefix = kClosing + "Total månadskostnad: ";
    // Extra cost plus the fee.
    EXPECT_EQ(total({bookedDay(3, 7260, 60, 50.0f), bookedDay(4, 9000, 1800, 340.0f)}, 7200),
              prefix + "248,90 kr");
    // No extra time: the fee alone.
    EXPECT_EQ(total({bookedDay(3, 600)}, 28800), prefix + "595,00 kr");
    // No plan: 00,00.
    EXPECT_EQ(total({bookedDay(3, 7260, 60, 50.0f)}, 0), prefix + "00,00 kr");
}
