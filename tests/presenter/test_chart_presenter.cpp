// The chart window's decisions: the month read into the chart with its caption and summary lines,
// a month file that cannot be read, the warning box's state passed through, and the save
// command's name, filters, file endings and messages.

#include "platform/fakes/fake_services.h"
#include "platform/fakes/memory_file_system.h"
#include "presenter/chart_presenter.h"
#include "support/month_bytes.h"

#include <gtest/gtest.h>

using presenter::ChartSaver;
using presenter::ChartView;
using presenter::ImageFormat;
using presenter::ImageTarget;
using presenter::imageTarget;
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

TEST(ChartImageTarget, TheEndingChoosesTheFormat) {
    EXPECT_EQ(imageTarget("/hem/a/Diagram 2026-12.png"),
              (ImageTarget{"/hem/a/Diagram 2026-12.png", ImageFormat::Png}));
    EXPECT_EQ(imageTarget("/hem/a/bild.PNG"), (ImageTarget{"/hem/a/bild.PNG", ImageFormat::Png}));
    EXPECT_EQ(imageTarget("/hem/a/bild.svg"), (ImageTarget{"/hem/a/bild.svg", ImageFormat::Svg}));
    EXPECT_EQ(imageTarget("/hem/a/bild.SvG"), (ImageTarget{"/hem/a/bild.SvG", ImageFormat::Svg}));
    // Any other ending, or none, is a PNG picture with ".png" added.
    EXPECT_EQ(imageTarget("/hem/a/bild"), (ImageTarget{"/hem/a/bild.png", ImageFormat::Png}));
    EXPECT_EQ(imageTarget("/hem/a/bild.jpg"),
              (ImageTarget{"/hem/a/bild.jpg.png", ImageFormat::Png}));
    EXPECT_EQ(imageTarget("/hem/a.svg/bild"),
              (ImageTarget{"/hem/a.svg/bild.png", ImageFormat::Png}));
    EXPECT_EQ(imageTarget("svg"), (ImageTarget{"svg.png", ImageFormat::Png}));
}

TEST_F(ChartPresenterTest, SaveAsksWithTheMonthsNameAndWritesTheBytes) {
    const ChartView view = loadChart(m_files, core::Date{2026, 3, 9}, 9, 7200, false);
    ChartSaver saver(m_outside.saveFile, m_outside.messages);

    // Cancelled: no target, nothing written.
    m_outside.saveFile.answer(std::nullopt);
    EXPECT_EQ(saver.ask(view), std::nullopt);
    ASSERT_EQ(m_outside.saveFile.suggested().size(), 1u);
    EXPECT_EQ(m_outside.saveFile.suggested().front(), "Diagram 2026-03.png");
    EXPECT_EQ(m_outside.saveFile.filters(), "PNG-bild (*.png);;SVG-bild (*.svg)");
    m_outside.saveFile.answer(std::string());
    EXPECT_EQ(saver.ask(view), std::nullopt);

    m_outside.saveFile.answer(std::string("/tmp/mars"));
    const auto target = saver.ask(view);
    ASSERT_TRUE(target.has_value());
    EXPECT_EQ(*target, (ImageTarget{"/tmp/mars.png", ImageFormat::Png}));
    EXPECT_TRUE(saver.write(*target, "bytes"));
    ASSERT_EQ(m_outside.saveFile.written().size(), 1u);
    EXPECT_EQ(m_outside.saveFile.written().front().path, "/tmp/mars.png");
    EXPECT_EQ(m_outside.saveFile.written().front().bytes, "bytes");
    EXPECT_TRUE(m_outside.messages.shown().empty());
}

TEST_F(ChartPresenterTest, AFailedSaveIsTold) {
    ChartSaver saver(m_outside.saveFile, m_outside.messages);
    const ImageTarget target{"/tmp/bild.svg", ImageFormat::Svg};

    // No picture bytes: told, nothing written.
    EXPECT_FALSE(saver.write(target, ""));
    ASSERT_EQ(m_outside.messages.shown().size(), 1u);
    EXPECT_EQ(m_outside.messages.last().text, "Bilden kunde inte göras, så den sparades inte.");
    EXPECT_TRUE(m_outside.saveFile.written().empty());

    m_outside.saveFile.fail("Disken är full.");
    EXPECT_FALSE(saver.write(target, "<svg/>"));
    ASSERT_EQ(m_outside.messages.shown().size(), 2u);
    EXPECT_EQ(m_outside.messages.last().text, "Bilden kunde inte sparas: Disken är full.");
    EXPECT_EQ(m_outside.messages.last().title, "Spara bild");
    EXPECT_TRUE(m_outside.messages.last().buttons == platform::MessageBox::Buttons::Ok);
    EXPECT_TRUE(m_outside.messages.last().icon == platform::MessageBox::Icon::Exclamation);
}
