// The chart window's decisions: the month read into the chart with its caption and summary lines,
// a month file that cannot be read, stepping through the months, the warning box stored, and the
// save command's name, filters, file endings, messages and the line saying where; and the rules
// of presenter/saving.h that the range window's export shares.

#include "presenter/chart_presenter.h"
#include "support/fakes/fake_services.h"
#include "support/fakes/memory_file_system.h"
#include "support/month_bytes.h"

#include <gtest/gtest.h>
#include <tuple>

using presenter::ChartView;
using presenter::loadChart;
using testing_support::dayRecordBytes;
using testing_support::monthFileBytes;
using Lines = std::vector<std::string>;

TEST(LoadChart, TheMonthItsTotalsAndAFileThatCannotBeRead) {
    platform::fakes::MemoryFileSystem files;
    // December 2026 is 2612.tid. 2 h plan (7200 s, fee 245 kr): day 1 one hour, day 2 three
    // hours of which one extra, costing 1234 öre.
    files.files()["2612.tid"] = monthFileBytes(
        {{1, dayRecordBytes(3600, 0, 0.0f, 1)}, {2, dayRecordBytes(10800, 3600, 1234.0f, 2)}});
    const ChartView view = loadChart(files, core::Date{2026, 12, 5}, 2, 7200, true);
    EXPECT_EQ(view.caption, "Diagram – December 2026");
    EXPECT_EQ(view.picDiagram.bars.at(1), (core::ChartBar{2, 7200, 3600}));
    // 3600 + 10800 = 14400 s = 4 h; extra 3600 s = 1 h; 1234 öre = 12,34 kr + 245 kr = 257,34 kr.
    EXPECT_EQ(view.lblPrognos,
              (Lines{"Ansluten tid: 4 h ", "Extra tid: 1 h ", "Total månadskostnad: 257,34 kr"}));

    // November 2026 has no file and 30 days; the 1 h plan's fee is 145 kr.
    const ChartView november = loadChart(files, core::Date{2026, 11, 30}, 30, 3600, false);
    EXPECT_EQ(november.picDiagram.highlightedDay, 30);
    EXPECT_EQ(november.lblPrognos,
              (Lines{"Ansluten tid: 0 s", "Extra tid: 0 s", "Total månadskostnad: 145,00 kr"}));

    // 32 records (512 bytes) are more than a month file holds: damaged, not read, left as it was.
    files.files()["2612.tid"].resize(32 * 16, 0);
    const ChartView damaged = loadChart(files, core::Date{2026, 12, 1}, 1, 7200, false);
    const std::string message =
        "Månadsfilen 2612.tid kunde inte läsas, så diagrammet visar ingen tid för månaden.";
    EXPECT_EQ(damaged.unreadable, message);
    EXPECT_EQ(damaged.lblPrognos, Lines{message});
}

TEST(SaveTarget, TheEndingOrElseTheChosenTypeDecides) {
    const std::tuple<const char*, std::size_t, presenter::SaveTarget> cases[] = {
        {"/hem/a/bild.PNG", 1, {"/hem/a/bild.PNG", 0}},
        {"/hem/a/bild.SvG", 0, {"/hem/a/bild.SvG", 1}},
        // Any other name is the chosen type, its ending added.
        {"/hem/a/bild", 0, {"/hem/a/bild.png", 0}},
        {"/hem/a.svg/bild", 0, {"/hem/a.svg/bild.png", 0}},
        {"/hem/a/.svg", 1, {"/hem/a/.svg.svg", 1}}, // a hidden name, not an ending
        {"svg", 7, {"svg.png", 0}},                 // no such filter: the first
    };
    for (const auto& [chosen, filter, expected] : cases) {
        EXPECT_EQ(presenter::saveTarget(chosen, presenter::kImageTypes, filter), expected)
            << chosen;
    }
    // The home folder is written as a tilde, and only a folder of its own.
    const char* const saved[][3] = {
        {"/home/anna/Dokument/surf.csv", "/home/anna", "~/Dokument/surf.csv"},
        {"/home/anna/x.csv", "/home/anna/", "~/x.csv"},
        {"/home/annalena/x.csv", "/home/anna", "/home/annalena/x.csv"},
    };
    for (const auto& c : saved) {
        EXPECT_EQ(presenter::savedAsText(c[0], c[1]), std::string("Sparat som ") + c[2]) << c[0];
    }
}

namespace {

// The chart window's presenter on the 1 h plan, the clock on 10 February 2001.
class ChartPresenterTest : public ::testing::Test {
protected:
    void SetUp() override { m_settings.dailyAllowance = 3600; }
    std::string lastMessage() const {
        return m_outside.messages.last().text + " | " + m_outside.messages.last().title;
    }

    platform::fakes::MemoryFileSystem m_files;
    platform::fakes::FakeOutside m_outside{core::Date{2001, 2, 10}};
    core::ProgramSettings m_settings;
    presenter::ChartPresenter m_presenter{m_outside.with(m_files), m_settings};
};

} // namespace

TEST_F(ChartPresenterTest, OpensOnARealDateAndStepsAMonthAtATimeWithinTheYearsOffered) {
    EXPECT_FALSE(m_presenter.open(std::nullopt));
    EXPECT_EQ(lastMessage(),
              "Välj ett riktigt datum först, så visas den månaden. | Felaktigt datum");
    m_outside.messages.clear();

    ASSERT_TRUE(m_presenter.open(core::Date{2001, 1, 15}));
    EXPECT_EQ(m_presenter.view().caption, "Diagram – Januari 2001");
    EXPECT_FALSE(m_presenter.view().cmdForra);
    EXPECT_EQ(m_presenter.step(-1).caption, "Diagram – Januari 2001"); // no month before

    // February 2001, the clock's month: 28 days, no day marked, the projection after the totals.
    const ChartView& february = m_presenter.step(1);
    EXPECT_EQ(february.caption, "Diagram – Februari 2001");
    EXPECT_EQ(february.picDiagram.bars.size(), 28u);
    EXPECT_EQ(february.picDiagram.highlightedDay, 0);
    EXPECT_TRUE(february.cmdForra && february.cmdNasta);
    ASSERT_GT(february.lblPrognos.size(), 4u);
    EXPECT_EQ(february.lblPrognos[4], "Prognos för februari 2001 i samma takt som dag 1–10:");
    EXPECT_EQ(m_presenter.step(-1).picDiagram.highlightedDay, 15); // its own month again

    ASSERT_TRUE(m_presenter.open(core::Date{2099, 12, 31}));
    EXPECT_FALSE(m_presenter.view().cmdNasta);
    EXPECT_EQ(m_presenter.step(1).caption, "Diagram – December 2099");
}

TEST_F(ChartPresenterTest, TheWarningBoxStoresTheSettingOrSaysWhyNot) {
    ASSERT_TRUE(m_presenter.open(core::Date{2001, 1, 15}));
    EXPECT_FALSE(m_presenter.toggleWarning(false).chkVarning);
    EXPECT_EQ(m_files.files().at("avisering.it"), (std::vector<std::uint8_t>{0x00, 0x00}));
    // Three bytes are no setting: damaged, read as on and never written over.
    m_files.files()["avisering.it"] = {1, 2, 3};
    EXPECT_TRUE(m_presenter.toggleWarning(false).chkVarning);
    EXPECT_EQ(m_files.files().at("avisering.it"), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(lastMessage(), "Inställningen kunde inte sparas, eftersom filen avisering.it är "
                             "skadad. Ta bort filen och försök igen. | Kan inte spara");
}

TEST_F(ChartPresenterTest, SavingAsksWritesAndSaysWhere) {
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
    EXPECT_EQ(*target,
              (presenter::ImageTarget{"/home/anna/Bilder/dec.svg", presenter::ImageFormat::Svg}));
    EXPECT_EQ(m_presenter.saved(*target, "<svg/>").lblSparat, "Sparat som ~/Bilder/dec.svg");
    ASSERT_EQ(saveFile.written().size(), 1u);
    EXPECT_EQ(saveFile.written()[0].path, "/home/anna/Bilder/dec.svg");

    // No picture bytes: told, nothing written. A write that fails: told.
    EXPECT_EQ(m_presenter.saved(*target, "").lblSparat, "");
    EXPECT_EQ(lastMessage(), "Bilden kunde inte göras, så den sparades inte. | Spara bild");
    saveFile.fail("Disken är full.");
    EXPECT_EQ(m_presenter.saved(*target, "<svg/>").lblSparat, "");
    EXPECT_EQ(lastMessage(), "Bilden kunde inte sparas: Disken är full. | Spara bild");
}
