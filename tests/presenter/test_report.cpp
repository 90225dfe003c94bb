#include "presenter/report.h"
#include "support/month_bytes.h"

#include <gtest/gtest.h>
#include <vector>

using core::DayRecord;
using testing_support::bookedDay;

namespace {

// A month file's records up to record `length`, with the given days filled in, printed for
// December 2001.
platform::PrintDocument report(std::size_t length, std::initializer_list<DayRecord> days,
                               std::int32_t allowance = 7200, int copies = 1) {
    std::vector<DayRecord> records(length);
    for (const DayRecord& day : days) {
        records.at(static_cast<std::size_t>(day.dayNumber) - 1) = day;
    }
    return presenter::monthReport({records, allowance, "December 2001", copies});
}

// The document an item a line: the font's size, "b" when bold, the number of blanks the text
// starts with and the text; "sida" before a new page and "slut" before the end of a document.
std::string text(const platform::PrintDocument& document) {
    std::string out;
    for (const platform::PrintItem& item : document) {
        const std::size_t text = item.text.find_first_not_of(' ');
        out += (item.kind == platform::PrintItem::Kind::NewPage       ? "sida "
                : item.kind == platform::PrintItem::Kind::EndDocument ? "slut "
                                                                      : "") +
               std::to_string(item.pointSize) + (item.bold ? "b" : "") +
               (text == std::string::npos
                    ? ""
                    : " " + std::to_string(text) + " " + item.text.substr(text)) +
               "\n";
    }
    return out;
}

// The closing block: three empty lines, then the month's time, extra time, extra cost and total.
std::string closing(const std::string& time, const std::string& extra, const std::string& cost,
                    const std::string& total) {
    return "10\n10\n10\n12b 18 För hela December 2001 blir kostnaden:\n12b\n12b 18 Ansluten tid: " +
           time + "\n12b 18 Extra månadstid: " + extra + "\n12b 18 Extra månadskostnad " + cost +
           " kr\n12b 18 Total månadskostnad: " + total + " kr\nslut 10\n";
}

} // namespace

TEST(MonthReport, HeadingDayBlockPageBreakAndClosingBlockWithTheirFonts) {
    // 9000 s is 2 h 30 m, 1800 s extra; 340 öre and the 245 kr fee make 248,40 kr. The empty
    // line after the new page ends the day's block.
    EXPECT_EQ(text(report(11, {bookedDay(11, 9000, 1800, 340.0f)})),
              "12b\n12b\n12b 17 Kostnader för NetLink abbonemang December 2001\n12b\n12b\n"
              "10b 20 Datum: 11\n10 20 Ansluten tid: 2 h 30 m \n10 20 Använd extra tid: 30 m \n"
              "10 20 Kostnad: 3,40 kr\nsida 10\n10\n10\n10\n" +
                  closing("2 h 30 m ", "30 m ", "3,40", "248,40"));
}

TEST(MonthReport, PagesBreakAfterRecordsElevenAndTwentyThreeWhenBooked) {
    const auto pages = [](const platform::PrintDocument& document) {
        std::string days;
        for (std::size_t i = 4; i < document.size(); ++i) {
            if (document[i].kind == platform::PrintItem::Kind::NewPage) {
                days += document[i - 4].text.substr(20) + ";";
            }
        }
        return days;
    };
    EXPECT_EQ(pages(report(23, {bookedDay(10, 60), bookedDay(12, 60), bookedDay(23, 60)})),
              "Datum: 23;");
    EXPECT_EQ(pages(report(24, {bookedDay(22, 60), bookedDay(24, 60)})), "");
    EXPECT_EQ(pages(report(23, {bookedDay(11, 60), bookedDay(23, 60)})), "Datum: 11;Datum: 23;");
    // The record number decides the break; the record's own day number is printed.
    std::vector<DayRecord> records(11);
    records[10] = bookedDay(7, 60);
    EXPECT_EQ(pages(presenter::monthReport({records, 7200, "December 2001", 1})), "Datum: 7;");
}

TEST(MonthReport, EveryCopyIsACompleteDocumentStartingInTheStartingFont) {
    // Nothing booked, though a record holds 90 öre: the closing block alone, with no time and no
    // extra time, so the total is the fee alone.
    std::vector<DayRecord> empty(20);
    empty[4].extraCost = 90.0f;
    const std::string alone = closing("", "", "0,90", "145,00");
    EXPECT_EQ(text(presenter::monthReport({empty, 3600, "December 2001", 2})), alone + alone);
    const std::string one = text(report(12, {bookedDay(3, 600), bookedDay(11, 1200)}));
    EXPECT_EQ(text(report(12, {bookedDay(3, 600), bookedDay(11, 1200)}, 7200, 2)), one + one);
}
