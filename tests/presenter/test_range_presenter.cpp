// The range window's decisions through its commands: the range it opens on, the texts of a
// summed range, the ranges it refuses with their messages, the day lists that offer only real
// days, the export of the range shown, and nothing more once it is closed.

#include "presenter/range_presenter.h"
#include "support/fakes/fake_services.h"
#include "support/fakes/memory_file_system.h"
#include "support/month_bytes.h"

#include <gtest/gtest.h>
#include <tuple>

using presenter::RangeField;
using presenter::RangeView;
using testing_support::dayRecordBytes;
using testing_support::monthFileBytes;
using Texts = std::array<std::string, 3>;
using Icon = platform::MessageBox::Icon;

namespace {

const std::string kFeeLine = "\n(Fasta kostnaden uppräknas varje hel månad.)";

class RangePresenterTest : public ::testing::Test {
protected:
    // Opens the window on `today` with the plan of `allowance` seconds a day.
    const RangeView& open(core::Date today, const char* planText, std::int16_t allowance) {
        m_outside.clock.set(today);
        m_settings.planText = planText;
        m_settings.dailyAllowance = allowance;
        return m_presenter.load();
    }
    // The messages shown: text, title and icon.
    std::string messages() const {
        std::string out;
        for (const auto& shown : m_outside.messages.shown()) {
            out += shown.text + " | " + shown.title + (shown.icon == Icon::None ? "" : " !") + "\n";
        }
        return out;
    }

    platform::fakes::MemoryFileSystem m_files;
    platform::fakes::FakeOutside m_outside{core::Date{2001, 12, 5}};
    core::ProgramSettings m_settings;
    presenter::RangePresenter m_presenter{m_outside.with(m_files), m_settings};
};

} // namespace

TEST_F(RangePresenterTest, OpensOnTheThreeMonthsUpToTodayWithTheirTotalsAndNoMessage) {
    // 31 May 2003 minus three months is 28 February (the 31st clamped), plus one day: 1 March.
    // February's record lies before the range, April has no file.
    m_files.files()["0302.tid"] = monthFileBytes({{28, dayRecordBytes(5000, 0, 0.0f, 28)}});
    m_files.files()["0303.tid"] = monthFileBytes({{1, dayRecordBytes(3600, 0, 0.0f, 1)}});
    m_files.files()["0305.tid"] = monthFileBytes({{31, dayRecordBytes(9000, 1800, 340.0f, 31)}});
    const RangeView& view = open(core::Date{2003, 5, 31}, "2 h / dygn", 7200);

    RangeView expected;
    expected.title = "Surfklocka 3.11      2 h / dygn      Från och Till";
    expected.cmbFran = {"03", "03", "01"};
    expected.cmbTill = {"03", "05", "31"};
    expected.lblHit_Dit = "Från och med lördag 1 mar 2003 till och med lördag 31 maj 2003";
    // 3600 + 9000 s; 1800 s extra; 3,40 kr extra and two month boundaries of 245 kr.
    expected.lblTid = "Ansluten tid: 3 h 30 m ";
    expected.lblExtrtid = "Extra tid: 30 m ";
    expected.lblKost = "Extra kostnad: 3,40 kr";
    expected.lblTotalkost = "Total kosttnad: 493,40 kr" + kFeeLine;
    // Compared, three whole months: three fees each. 1 h: 9000 − 3600 = 5400 s on 31 May, 900
    // + 40 = 940 öre; 9,40 + 3 × 145 = 444,40. 2 h: the booked 3,40 + 3 × 245 = 738,40. 8 h: no
    // day past 8 h, 3 × 595 = 1785.
    expected.lblPlan = {"1 h / dygn: 444,40 kr (uppskattat) (billigast)", "2 h / dygn: 738,40 kr",
                        "8 h / dygn: 1785,00 kr (uppskattat)"};
    expected.lblJamforelse = "Jämförelse, avgiften räknad per dag:";
    expected.cmdStangHint = "Stänger \"Från och Till\".";
    expected.cmdExportera = true;
    EXPECT_EQ(view, expected);
    // The checks made while the defaults were chosen found the dates incomplete, silently.
    EXPECT_EQ(messages(), "");
}

TEST_F(RangePresenterTest, FromLaterThanToIsRefusedOnceAndTheResultsStay) {
    open(core::Date{2003, 5, 31}, "2 h / dygn", 7200);
    // February has no 31st: the TILL day gives way to the 28th, whose check refuses the range.
    const RangeView& view = m_presenter.choose(RangeField::Till, 1, "02");
    EXPECT_EQ(view.lblHit_Dit, "Från och med lördag 1 mar 2003 till och med fredag 28 feb 2003");
    EXPECT_EQ(view.lblPlan, Texts{});
    EXPECT_EQ(view.lblJamforelse, "");
    EXPECT_EQ(messages(), "\"FRÅN\" måste vara tidigare än \"TILL\". | Felaktiga datum\n");
}

TEST_F(RangePresenterTest, ThreeHundredSixtyFiveDaysAreSummedAndOneMoreIsRefused) {
    open(core::Date{2002, 1, 1}, "2 h / dygn", 7200); // from 2 October 2001
    m_presenter.choose(RangeField::Fran, 1, "01");
    const RangeView yearLong = m_presenter.choose(RangeField::Fran, 2, "01");
    // 1 January 2001 to 1 January 2002: 365 days, twelve boundaries of 245 kr, no files.
    EXPECT_EQ(yearLong.lblHit_Dit, "Från och med måndag 1 jan 2001 till och med tisdag 1 jan 2002");
    EXPECT_EQ(yearLong.lblTid + yearLong.lblExtrtid + yearLong.lblKost,
              "Ansluten tid: Extra tid: Extra kostnad: 0,00 kr");
    EXPECT_EQ(yearLong.lblTotalkost, "Total kosttnad: 2940,00 kr" + kFeeLine);

    const RangeView& view = m_presenter.choose(RangeField::Till, 2, "02"); // 366 days
    EXPECT_EQ(view.lblHit_Dit, "Felaktiga datum. Längre tid än 12 månader.");
    EXPECT_EQ(view.lblPlan, Texts{});
    EXPECT_EQ(view.lblJamforelse, "");
    EXPECT_EQ(messages(),
              "Det går inte att summera längre\ntid än 12 månader. | Felaktiga datum\n");
}

TEST_F(RangePresenterTest, OnlyEntriesTheListsOfferCanBeChosenAndNothingAfterClosing) {
    open(core::Date{2004, 3, 31}, "1 h / dygn", 3600); // from 1 January 2004
    // February 2004 has 29 days: TILL's 31st gives way to the 29th, and that range is summed.
    const RangeView leapDay = m_presenter.choose(RangeField::Till, 1, "02");
    EXPECT_EQ(leapDay.lblHit_Dit,
              "Från och med torsdag 1 jan 2004 till och med söndag 29 feb 2004");
    EXPECT_EQ(leapDay.lblTotalkost, "Total kosttnad: 145,00 kr" + kFeeLine);

    // No 30th in February, no year 2000, no month 13, no other spelling of a day, no fourth
    // list: the dates cannot become invalid, and nothing is checked or said.
    for (const auto& [field, list, text] : {std::tuple(RangeField::Till, 2, "30"),
                                            {RangeField::Fran, 0, "00"},
                                            {RangeField::Till, 1, "13"},
                                            {RangeField::Till, 2, "5"},
                                            {RangeField::Fran, 2, ""},
                                            {RangeField::Fran, 3, "01"}}) {
        EXPECT_EQ(m_presenter.choose(field, list, text), leapDay) << text;
    }
    const RangeView closed = m_presenter.close();
    EXPECT_EQ(m_presenter.choose(RangeField::Fran, 0, "05"), closed); // would refuse the order
    EXPECT_EQ(messages(), "");
}

namespace {

// 6 September to 5 December 2001 (the range the window opens on, 5 December) holds two booked
// days in November; the day after the range is booked too and is left out.
class RangeExportTest : public RangePresenterTest {
protected:
    void SetUp() override {
        m_files.files()["0111.tid"] = monthFileBytes(
            {{14, dayRecordBytes(7200, 0, 0.0f, 14)}, {15, dayRecordBytes(3725, 125, 60.0f, 15)}});
        m_files.files()["0112.tid"] = monthFileBytes({{6, dayRecordBytes(100, 0, 0.0f, 6)}});
        open(core::Date{2001, 12, 5}, "1 h / dygn", 3600);
    }
    // What the dialog answers, and what was written last ("" for nothing).
    std::string exported(std::optional<std::string> answer, std::size_t filter = 0) {
        m_outside.saveFile.answer(std::move(answer), filter);
        m_presenter.exportera();
        const auto& written = m_outside.saveFile.written();
        return written.empty() ? "" : written.back().path + "\n" + written.back().bytes;
    }
};

} // namespace

TEST_F(RangeExportTest, WritesTheBookedDaysAsCsvOrJsonAndSaysWhere) {
    // The fake's home is /home/anna: the line says where, the home written as "~".
    // The file's bytes are those the command line's export writes; here the days of the range.
    EXPECT_EQ(exported("/home/anna/Dokument/ut").substr(27),
              "datum,ansluten_sekunder,extra_sekunder,kostnad_ore,kostnad_kr,abonnemang\r\n"
              "2001-11-14,7200,0,0,0.00,1 h / dygn\r\n2001-11-15,3725,125,60,0.60,1 h / dygn\r\n");
    EXPECT_EQ(m_presenter.view().lblSparat, "Sparat som ~/Dokument/ut.csv");
    EXPECT_EQ(m_outside.saveFile.suggested().back(), "surfklocka_2001-09-06_2001-12-05.csv");
    EXPECT_EQ(
        m_outside.saveFile.filters(),
        "CSV (*.csv);;CSV för kalkylprogram (semikolon, decimalkomma) (*.csv);;JSON (*.json)");

    EXPECT_EQ(exported("/tmp/ut", 2),
              "/tmp/ut.json\n[\n"
              "  {\"datum\": \"2001-11-14\", \"ansluten_sekunder\": 7200, \"extra_sekunder\": 0, "
              "\"kostnad_ore\": 0, \"kostnad_kr\": 0.00, \"abonnemang\": \"1 h / dygn\"},\n"
              "  {\"datum\": \"2001-11-15\", \"ansluten_sekunder\": 3725, \"extra_sekunder\": 125, "
              "\"kostnad_ore\": 60, \"kostnad_kr\": 0.60, \"abonnemang\": \"1 h / dygn\"}\n"
              "]\n");
    // The next choice of a date clears the line.
    EXPECT_EQ(m_presenter.choose(RangeField::Fran, 2, "07").lblSparat, "");
}

TEST_F(RangeExportTest, TheNamesEndingAndTheChosenTypeGiveTheFormat) {
    // The dialog's types: 0 CSV, 1 CSV for a spreadsheet program (its decimal comma: 60 öre is
    // 0,60), 2 JSON.
    const std::string spreadsheet = "\xEF\xBB\xBF"
                                    "datum;ansluten_sekunder;";
    const std::vector<std::tuple<std::string, std::size_t, std::string>> cases{
        {"ut.csv", 1, "ut.csv\n" + spreadsheet},
        {"ut.txt", 1, "ut.txt\n" + spreadsheet},
        {"ut", 2, "ut.json\n[\n"},
        {"ut.json", 0, "ut.json\n[\n  {\"datum\": \"2001-11-14\""},
        {"ut.CSV", 2, "ut.CSV\ndatum,ansluten_sekunder,"}, // a CSV name, whatever the type
    };
    for (const auto& [answer, filter, start] : cases) {
        const std::string written = exported(answer, filter);
        EXPECT_EQ(written.rfind(start, 0), 0U) << answer;
        if (filter == 1) {
            EXPECT_NE(written.find("2001-11-15;3725;125;60;0,60;1 h / dygn\r\n"),
                      std::string::npos);
        }
    }
}

TEST_F(RangeExportTest, ACancelOrARefusedRangeWritesNothingAndAFailedWriteIsTold) {
    EXPECT_EQ(exported(std::nullopt) + exported(""), ""); // cancelled, or no name given
    m_outside.saveFile.fail("disken är full.");
    EXPECT_EQ(exported("ut.csv"), "");
    EXPECT_EQ(messages(), "Exporten kunde inte sparas: disken är full. | Exportera !\n");

    // FRÅN 6 December is later than TILL 5 December: no export is offered, nor asked, until
    // the range is accepted again.
    EXPECT_FALSE(m_presenter.choose(RangeField::Fran, 1, "12").cmdExportera);
    exported("ut.csv");
    EXPECT_EQ(m_outside.saveFile.suggested().size(), 3u);
    EXPECT_TRUE(m_presenter.choose(RangeField::Fran, 1, "11").cmdExportera);
}
