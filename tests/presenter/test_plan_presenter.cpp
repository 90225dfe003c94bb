// The plan window's decisions: OK stores the plan chosen, byte for byte, Avbryt removes the
// settings file, and once either is done nothing more changes.

#include "presenter/plan_presenter.h"
#include "support/fakes/fake_message_box.h"
#include "support/fakes/memory_file_system.h"

#include <gtest/gtest.h>

using presenter::PlanOutcome;
using presenter::PlanPresenter;
using Bytes = std::vector<std::uint8_t>;

namespace {

class PlanPresenterTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_files.files()["tid.it"] = Bytes{0xFF, 0xFF}; // the first-start mark of the start-up
    }

    platform::fakes::MemoryFileSystem m_files;
    platform::fakes::FakeMessageBox m_messages;
    core::ProgramSettings m_settings;
    PlanPresenter m_presenter{m_files, m_messages, m_settings};
};

} // namespace

TEST_F(PlanPresenterTest, OkStoresTheChosenPlanAsRecordsTwoAndThree) {
    EXPECT_EQ(m_presenter.load().lblValkommen,
              "Välkommen till Surfklocka 3.11\n\nDu börjar med att ställa in programmet efter "
              "den typ av NetLink abbonemang du har.");
    EXPECT_EQ(m_presenter.view().optNetlink, 0);
    m_presenter.choose(2);
    EXPECT_EQ(m_presenter.ok().outcome, PlanOutcome::Stored);

    // Record 1 kept; "8 h / dygn" and 20 zeros; 28800 = 0x7080, little-endian.
    Bytes expected{0xFF, 0xFF};
    expected.resize(30, 0);
    for (const char c : std::string("8 h / dygn")) {
        expected.push_back(static_cast<std::uint8_t>(c));
    }
    expected.resize(60, 0);
    expected.push_back(0x80);
    expected.push_back(0x70);
    EXPECT_EQ(m_files.files().at("tid.it"), expected);
    EXPECT_EQ(m_settings.planText, "8 h / dygn");
    EXPECT_EQ(m_settings.dailyAllowance, 28800);
    EXPECT_TRUE(m_messages.shown().empty());

    // Decided: a cancel afterwards leaves the file.
    EXPECT_EQ(m_presenter.cancel().outcome, PlanOutcome::Stored);
    EXPECT_EQ(m_files.files().count("tid.it"), 1u);
}

TEST_F(PlanPresenterTest, CancelRemovesTheSettingsFileAndStoresNothingAfterwards) {
    m_presenter.load();
    m_presenter.choose(1);
    EXPECT_EQ(m_presenter.cancel().outcome, PlanOutcome::Cancelled);
    EXPECT_TRUE(m_files.files().empty());
    EXPECT_EQ(m_presenter.ok().outcome, PlanOutcome::Cancelled);
    EXPECT_TRUE(m_files.files().empty());
    EXPECT_EQ(m_settings.dailyAllowance, 0);
}

TEST_F(PlanPresenterTest, AFailedWriteSaysSoAndThePlanHoldsForThisRun) {
    m_files.files()["tid.it"] = Bytes(91, 0); // longer than three records: damaged
    m_presenter.load();
    m_presenter.choose(7); // no such option: the one-hour plan stays chosen
    m_presenter.ok();
    ASSERT_EQ(m_messages.shown().size(), 1u);
    EXPECT_EQ(m_messages.last().text, "Abonnemanget kunde inte sparas i filen tid.it.\n"
                                      "Det gäller bara så länge programmet är igång.");
    EXPECT_EQ(m_messages.last().title, "Kan inte spara");
    EXPECT_EQ(m_messages.last().icon, platform::MessageBox::Icon::Exclamation);
    EXPECT_EQ(m_files.files().at("tid.it"), Bytes(91, 0));
    EXPECT_EQ(m_settings.planText, "1 h / dygn");
    EXPECT_EQ(m_settings.dailyAllowance, 3600);
}
