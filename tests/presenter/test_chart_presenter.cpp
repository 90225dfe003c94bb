// The chart window's decisions: the month read into the chart with its caption and summary lines,
// a month file that cannot be read, stepping through the months, the warning box stored, and the
// save command's name, filters, file endings, messages and the line saying where; and the rules
// of presenter/saving.h that the range window's export shares.

#include "presenter/chart_presenter.h"
#include "support/fakes/fake_services.h"
#include "support/fakes/memory_file_system.h"
#include "support/month_bytes.h"

#include <gtest/gtest.h>

using presenter::ChartView;
using presenter::ImageFormat;
using presenter::ImageTarget;
using presenter::loadChart;
using testing_support::dayRecordBytes;
using testing_support::monthFileBytes;

namespace {

class ChartPresenterTest : public ::testing::Test {
protected:
    platform::fakes::MemoryFileSystem m_files;
    platform::fakes::FakeOutside m_outside{core::Date{2026, 12, 7}};
};

} // namespace

TEST_F(ChartPresenterTest, ReadsTheMonthIntoTheChartAndItsTotals) {
    // December 2026 is 2612.tid. 2 h plan (7200 s, fee 245 kr): day 1 one hour, day 2 three
    // hours of which one extra, costing 1234 öre.
    m_files.files()["2612.tid"] = monthFileBytes(
        {{1, dayRecordBytes(3600, 0, 0.0f, 1)}, {2, dayRecordBytes(10800, 3600, 1234.0f, 2)}});
    const ChartView view = loadChart(m_files, core::Date{2026, 12, 5}, 2, 7200, true);

    EXPECT_EQ(view.caption, "Diagram – December 2026");
    ASSERT_EQ(view.picDiagram.bars.size(), 31u);
    EXPECT_EQ(view.picDiagram.bars[0], (core::ChartBar{1, 3600, 0}));
    EXPECT_EQ(view.picDiagram.bars[1], (core::ChartBar{2, 7200, 3600}));
    EXPECT_EQ(view.picDiagram.bars[2], (core::ChartBar{3, 0, 0}));
    EXPECT_EQ(view.picDiagram.highlightedDay, 2);
    EXPECT_EQ(view.picDiagram.dailyAllowance, 7200);
    EXPECT_EQ(view.picDiagram.title, "Ansluten tid per dag, december 2026");
    // 3600 + 10800 = 14400 s = 4 h; extra 3600 s = 1 h; 1234 öre = 12,34 kr + 245 kr = 257,34 kr.
    const std::vector<std::string> lines{"Ansluten tid: 4 h ", "Extra tid: 1 h ",
                                         "Total månadskostnad: 257,34 kr"};
    EXPECT_EQ(view.lblPrognos, lines);
    EXPECT_TRUE(view.chkVarning);
    EXPECT_EQ(view.unreadable, "");
    // Reading wrote nothing.
    EXPECT_EQ(m_files.files().size(), 1u);
}

TEST_F(ChartPresenterTest, AMonthWithoutAFileIsEmptyWithTheFeeAlone) {
    // November 2026 has 30 days; the 1 h plan's fee is 145 kr.
    const ChartView view = loadChart(m_files, core::Date{2026, 11, 30}, 30, 3600, false);
    EXPECT_EQ(view.caption, "Diagram – November 2026");
    ASSERT_EQ(view.picDiagram.bars.size(), 30u);
    EXPECT_EQ(view.picDiagram.bars[29], (core::ChartBar{30, 0, 0}));
    EXPECT_EQ(view.picDiagram.highlightedDay, 30);
    const std::vector<std::string> lines{"Ansluten tid: 0 s", "Extra tid: 0 s",
                                         "Total månadskostnad: 145,00 kr"};
    EXPECT_EQ(view.lblPrognos, lines);
    EXPECT_FALSE(view.chkVarning);
    EXPECT_EQ(view.unreadable, "");
    EXPECT_TRUE(m_files.files().empty());
}

TEST_F(ChartPresenterTest, ADamagedMonthFileIsToldAndShowsNoTime) {
    // 32 records (512 bytes) are more than a month file holds: damaged, not read.
    std::vector<std::uint8_t> bytes = monthFileBytes({{1, dayRecordBytes(3600, 0, 0.0f, 1)}});
    bytes.resize(32 * 16, 0);
    m_files.files()["2612.tid"] = bytes;
    const ChartView view = loadChart(m_files, core::Date{2026, 12, 1}, 1, 7200, false);
    const std::string message =
        "Månadsfilen 2612.tid kunde inte läsas, så diagrammet visar ingen tid för månaden.";
    EXPECT_EQ(view.unreadable, message);
    EXPECT_EQ(view.lblPrognos, std::vector<std::string>{message});
    ASSERT_EQ(view.picDiagram.bars.size(), 31u);
    EXPECT_EQ(view.picDiagram.bars[0], (core::ChartBar{1, 0, 0}));
    EXPECT_EQ(m_files.files().at("2612.tid").size(), 512u); // left as it was
}

TEST(SaveTarget, TheEndingOrElseTheChosenTypeDecides) {
    using presenter::kImageTypes;
    using presenter::SaveTarget;
    using presenter::saveTarget;
    const struct {
        const char* chosen;
        std::size_t filter;
        SaveTarget expected;
    } cases[] = {
        {"/hem/a/Diagram 2026-12.png", 1, {"/hem/a/Diagram 2026-12.png", 0}},
        {"/hem/a/bild.PNG", 1, {"/hem/a/bild.PNG", 0}},
        {"/hem/a/bild.SvG", 0, {"/hem/a/bild.SvG", 1}},
        // Any other name is the chosen type, its ending added.
        {"/hem/a/bild", 1, {"/hem/a/bild.svg", 1}},
        {"/hem/a/bild", 0, {"/hem/a/bild.png", 0}},
        {"/hem/a/bild.jpg", 0, {"/hem/a/bild.jpg.png", 0}},
        {"/hem/a.svg/bild", 0, {"/hem/a.svg/bild.png", 0}},
        {"/hem/a/.svg", 1, {"/hem/a/.svg.svg", 1}}, // a hidden name, not an ending
        {"svg", 7, {"svg.png", 0}},                 // no such filter: the first
    };
    for (const auto& c : cases) {
        EXPECT_EQ(saveTarget(c.chosen, kImageTypes, c.filter), c.expected) << c.chosen;
    }
    EXPECT_EQ(presenter::saveFilters(kImageTypes), "PNG-bild (*.png);;SVG-bild (*.svg)");
}

TEST(SavedAsText, TheHomeFolderIsWrittenAsATilde) {
    const char* const cases[][3] = {
        {"/home/anna/Dokument/surf-2001-12.csv", "/home/anna", "~/Dokument/surf-2001-12.csv"},
        {"/home/anna/x.csv", "/home/anna/", "~/x.csv"},
        {"/home/annalena/x.csv", "/home/anna", "/home/annalena/x.csv"},
        {"/tmp/x.csv", "/", "/tmp/x.csv"},
        {"/tmp/x.csv", "", "/tmp/x.csv"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(presenter::savedAsText(c[0], c[1]), std::string("Sparat som ") + c[2]) << c[0];
    }
}

namespace {

// The chart window's presenter on the 1 h plan, the clock on 10 February 2001.
class ChartWindowPresenterTest : public ::testing::Test {
protected:
    void SetUp() override { m_settings.dailyAllowance = 3600; }

    platform::fakes::MemoryFileSystem m_files;
    platform::fakes::FakeOutside m_outside{core::Date{2001, 2, 10}};
    core::ProgramSettings m_settings;
    presenter::ChartPresenter m_presenter{m_outside.with(m_files), m_settings};
};

} // namespace

TEST_F(ChartWindowPresenterTest, WithoutARealDateNothingOpens) {
    EXPECT_FALSE(m_presenter.open(std::nullopt));
    ASSERT_EQ(m_outside.messages.shown().size(), 1u);
    EXPECT_EQ(m_outside.messages.last().text,
              "Välj ett riktigt datum först, så visas den månaden.");
    EXPECT_EQ(m_outside.messages.last().title, "Felaktigt datum");
}

TEST_F(ChartWindowPresenterTest, StepsAMonthAtATimeWithinTheYearsOffered) {
    ASSERT_TRUE(m_presenter.open(core::Date{2001, 1, 15}));
    EXPECT_EQ(m_presenter.view().caption, "Diagram – Januari 2001");
    EXPECT_EQ(m_presenter.view().picDiagram.highlightedDay, 15);
    EXPECT_FALSE(m_presenter.view().cmdForra);
    EXPECT_TRUE(m_presenter.view().cmdNasta);
    EXPECT_TRUE(m_presenter.view().chkVarning);                        // no setting file: on
    EXPECT_EQ(m_presenter.step(-1).caption, "Diagram – Januari 2001"); // no month before

    // February 2001, the clock's month: 28 days, no day marked, the projection after the totals.
    const presenter::ChartView& february = m_presenter.step(1);
    EXPECT_EQ(february.caption, "Diagram – Februari 2001");
    EXPECT_EQ(february.picDiagram.bars.size(), 28u);
    EXPECT_EQ(february.picDiagram.highlightedDay, 0);
    EXPECT_TRUE(february.cmdForra && february.cmdNasta);
    ASSERT_GT(february.lblPrognos.size(), 4u);
    EXPECT_EQ(february.lblPrognos[3], "");
    EXPECT_EQ(february.lblPrognos[4], "Prognos för februari 2001 i samma takt som dag 1–10:");
    EXPECT_EQ(m_presenter.step(-1).picDiagram.highlightedDay, 15); // its own month again

    ASSERT_TRUE(m_presenter.open(core::Date{2099, 12, 31}));
    EXPECT_FALSE(m_presenter.view().cmdNasta);
    EXPECT_EQ(m_presenter.step(1).caption, "Diagram – December 2099");
    EXPECT_EQ(m_presenter.step(-1).caption, "Diagram – November 2099");
    EXPECT_TRUE(m_outside.messages.shown().empty());
}

TEST_F(ChartWindowPresenterTest, TheWarningBoxStoresTheSettingOrSaysWhyNot) {
    ASSERT_TRUE(m_presenter.open(core::Date{2001, 1, 15}));
    EXPECT_FALSE(m_presenter.toggleWarning(false).chkVarning);
    EXPECT_EQ(m_files.files().at("avisering.it"), (std::vector<std::uint8_t>{0x00, 0x00}));
    EXPECT_TRUE(m_presenter.toggleWarning(true).chkVarning);
    EXPECT_EQ(m_files.files().at("avisering.it"), (std::vector<std::uint8_t>{0xFF, 0xFF}));

    // Three bytes are no setting: damaged, read as on and never written over.
    m_files.files()["avisering.it"] = {1, 2, 3};
    EXPECT_TRUE(m_presenter.toggleWarning(false).chkVarning);
    EXPECT_EQ(m_files.files().at("avisering.it"), (std::vector<std::uint8_t>{1, 2, 3}));
    ASSERT_EQ(m_outside.messages.shown().size(), 1u);
    EXPECT_EQ(m_outside.messages.last().text,
              "Inställningen kunde inte sparas, eftersom filen avisering.it är skadad. Ta bort "
              "filen och försök igen.");
}

TEST_F(ChartWindowPresenterTest, SavingAsksWritesAndSaysWhere) {
    ASSERT_TRUE(m_presenter.open(core::Date{2001, 12, 5}));
    auto& saveFile = m_outside.saveFile;

    saveFile.answer(std::nullopt);
    EXPECT_EQ(m_presenter.askSave(), std::nullopt);
    EXPECT_EQ(saveFile.title(), "Spara bild");
    EXPECT_EQ(saveFile.suggested().back(), "Diagram 2001-12.png");
    EXPECT_EQ(saveFile.filters(), "PNG-bild (*.png);;SVG-bild (*.svg)");

    saveFile.answer("/home/anna/Bilder/dec", 1);
    const auto target = m_presenter.askSave();
    ASSERT_TRUE(target.has_value());
    EXPECT_EQ(*target, (ImageTarget{"/home/anna/Bilder/dec.svg", ImageFormat::Svg}));
    EXPECT_EQ(m_presenter.saved(*target, "<svg/>").lblSparat, "Sparat som ~/Bilder/dec.svg");
    ASSERT_EQ(saveFile.written().size(), 1u);
    EXPECT_EQ(saveFile.written()[0].path, "/home/anna/Bilder/dec.svg");
    EXPECT_EQ(saveFile.written()[0].bytes, "<svg/>");
    EXPECT_TRUE(m_outside.messages.shown().empty());

    // No picture bytes: told, nothing written. A write that fails: told.
    EXPECT_EQ(m_presenter.saved(*target, "").lblSparat, "");
    saveFile.fail("Disken är full.");
    EXPECT_EQ(m_presenter.saved(*target, "<svg/>").lblSparat, "");
    EXPECT_EQ(saveFile.written().size(), 1u);
    ASSERT_EQ(m_outside.messages.shown().size(), 2u);
    EXPECT_EQ(m_outside.messages.shown()[0].text, "Bilden kunde inte göras, så den sparades inte.");
    EXPECT_EQ(m_outside.messages.shown()[1].text, "Bilden kunde inte sparas: Disken är full.");
    EXPECT_EQ(m_outside.messages.last().title, "Spara bild");
    EXPECT_EQ(m_outside.messages.last().icon, platform::MessageBox::Icon::Exclamation);
}
