// The history of plans on real temporary folders: its exact bytes, what the reader refuses, a
// change from next month and from this one, Ångra, and a stop at every change of a change of plan.

#include "platform/posix_file_system.h"
#include "storage/plan_history.h"
#include "support/fakes/faulty_file_system.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
using storage::PlanChangeOutcome;
using storage::PlanHistoryState;

namespace {

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// The settings file of a plan: the first-start mark, the plan's text at 30 and its seconds at 60.
Bytes settingsOf(const std::string& plan, std::uint16_t seconds) {
    Bytes bytes(62, 0);
    bytes[0] = bytes[1] = 0xFF;
    std::copy(plan.begin(), plan.end(), bytes.begin() + 30);
    bytes[60] = static_cast<std::uint8_t>(seconds & 0xFF);
    bytes[61] = static_cast<std::uint8_t>(seconds >> 8);
    return bytes;
}

const Bytes kOneHour = settingsOf("1 h / dygn", 3600);
const Bytes kEightHours = settingsOf("8 h / dygn", 28800);

class PlanHistoryTest : public ::testing::Test {
protected:
    void SetUp() override { m_dir.write("tid.it", kOneHour); }
    testing_support::TempDir m_dir;
    platform::PosixFileSystem m_files{m_dir.path()};
};

} // namespace

TEST(PlanHistoryText, OnlyWhatTheWriterWritesIsRead) {
    const std::vector<core::PlanChange> changes{{2001, 1, 3600}, {2002, 3, 28800}};
    EXPECT_EQ(storage::planHistoryText(changes), "2001-01 3600\n2002-03 28800\n");
    EXPECT_EQ(storage::parsePlanHistory(bytesOf("2001-01 3600\n2002-03 28800\n")), changes);
    for (const std::string& text : std::vector<std::string>{
             "",                              // no change
             "2001-01 3600",                  // no final line end
             "2002-03 28800\n2001-01 3600\n", // out of order
             "2001-01 3600\n2001-01 7200\n",  // one month twice
             "2001-01 3601\n",                // no plan's seconds
             "2001-01 03600\n",               // a leading zero
             "2001-13 3600\n",                // no month
             "2000-12 3600\n",                // before the first month offered
             "2001-01  3600\n",               // two blanks
             "2001-01 3600\r\n",              // CR LF
             std::string(99 * 12 * 14 + 1, '\n'),
         }) {
        SCOPED_TRACE(text.substr(0, 40));
        EXPECT_EQ(storage::parsePlanHistory(bytesOf(text)), std::nullopt);
    }
}

TEST_F(PlanHistoryTest, AChangeFromNextMonthHoldsFromItsFirstDay) {
    // On 5 March 2002, 8 h from April: the history keeps 1 h from the first month offered, the
    // settings keep the plan in force now, and nothing else is written.
    EXPECT_EQ(storage::changePlan(m_files, {2002, 4, 1}, 28800, {2002, 3, 5}),
              PlanChangeOutcome::Changed);
    EXPECT_EQ(m_dir.read("abonnemang.it"), bytesOf("2001-01 3600\n2002-04 28800\n"));
    EXPECT_EQ(m_dir.read("tid.it"), kOneHour);
    EXPECT_EQ(m_dir.names(),
              (std::vector<std::string>{"abonnemang.it", "abonnemang.tmp", "tid.it", "tid.tmp"}));
    const core::PlanSchedule schedule = storage::loadPlanHistory(m_files).schedule(0);
    EXPECT_EQ(schedule.allowanceFor(2002, 3), 3600);
    EXPECT_EQ(schedule.allowanceFor(2002, 4), 28800);
    EXPECT_EQ(schedule.allowanceFor(2001, 1), 3600);
    // In April the settings follow.
    EXPECT_EQ(storage::alignSettings(m_files, {2002, 3, 31}), 3600);
    EXPECT_EQ(m_dir.read("tid.it"), kOneHour);
    EXPECT_EQ(storage::alignSettings(m_files, {2002, 4, 1}), 28800);
    EXPECT_EQ(m_dir.read("tid.it"), kEightHours);
}

TEST_F(PlanHistoryTest, AChangeFromThisMonthIsInForceAtOnceAndAngraTakesItBack) {
    EXPECT_EQ(storage::changePlan(m_files, {2002, 3, 1}, 28800, {2002, 3, 5}),
              PlanChangeOutcome::Changed);
    EXPECT_EQ(m_dir.read("tid.it"), kEightHours);
    // Back to 1 h from May: a change from a later month replaces none before it.
    EXPECT_EQ(storage::changePlan(m_files, {2002, 5, 1}, 3600, {2002, 3, 5}),
              PlanChangeOutcome::Changed);
    EXPECT_EQ(m_dir.read("abonnemang.it"), bytesOf("2001-01 3600\n2002-03 28800\n2002-05 3600\n"));
    EXPECT_TRUE(storage::undoPlanChange(m_files));
    EXPECT_EQ(m_dir.read("abonnemang.it"), bytesOf("2001-01 3600\n2002-03 28800\n"));
    EXPECT_EQ(m_dir.read("tid.it"), kEightHours);
    EXPECT_FALSE(storage::undoPlanChange(m_files)); // one step back only
    // The first change taken back leaves no history at all.
    m_dir.write("abonnemang.tmp", {});
    m_dir.write("tid.tmp", kOneHour);
    EXPECT_TRUE(storage::undoPlanChange(m_files));
    EXPECT_EQ(m_dir.names(), std::vector<std::string>{"tid.it"});
    EXPECT_EQ(m_dir.read("tid.it"), kOneHour);
}

TEST_F(PlanHistoryTest, AHistoryThatIsNotTheProgramsIsNeverUsedOrWrittenOver) {
    const std::string elsewhere = m_dir.file("elsewhere");
    for (const auto& [what, make] : std::vector<std::pair<const char*, std::function<void()>>>{
             {"out of order",
              [&] { m_dir.write("abonnemang.it", bytesOf("2002-03 28800\n2001-01 3600\n")); }},
             {"too long", [&] { m_dir.write("abonnemang.it", Bytes(99 * 12 * 14 + 1, '\n')); }},
             {"unknown plan", [&] { m_dir.write("abonnemang.it", bytesOf("2001-01 4000\n")); }},
             {"a link",
              [&] {
                  m_dir.write("elsewhere", bytesOf("2001-01 3600\n"));
                  std::filesystem::create_symlink(elsewhere, m_dir.file("abonnemang.it"));
              }},
         }) {
        SCOPED_TRACE(what);
        std::filesystem::remove(m_dir.file("abonnemang.it"));
        make();
        const Bytes before = m_dir.read("abonnemang.it");
        EXPECT_EQ(storage::loadPlanHistory(m_files).state, PlanHistoryState::Damaged);
        EXPECT_EQ(storage::changePlan(m_files, {2002, 3, 1}, 28800, {2002, 3, 5}),
                  PlanChangeOutcome::Damaged);
        EXPECT_EQ(m_dir.read("abonnemang.it"), before);
        EXPECT_EQ(m_dir.read("tid.it"), kOneHour);
    }
}

// Stopped dead at any change, a change of plan leaves the history as it was or as changed, and
// the settings, brought in line at the next start, hold the plan the history gives for now.
TEST(PlanHistoryStop, AStopAtAnyChangeLeavesTheOldPlansOrTheNew) {
    bool finished = false;
    for (int change = 1; !finished; ++change) {
        SCOPED_TRACE("stop at change " + std::to_string(change));
        ASSERT_LT(change, 20);
        testing_support::TempDir dir;
        dir.write("tid.it", kOneHour);
        dir.write("abonnemang.it", bytesOf("2001-01 3600\n2002-01 7200\n"));
        dir.write("tid.it", settingsOf("2 h / dygn", 7200));
        platform::PosixFileSystem real(dir.path());
        platform::fakes::FaultyFileSystem faulty(real);
        faulty.failAt(change, platform::fakes::FaultyFileSystem::Mode::Crash, true);
        try {
            finished = storage::changePlan(faulty, {2002, 3, 1}, 28800, {2002, 3, 5}) ==
                       PlanChangeOutcome::Changed;
        } catch (const platform::fakes::SimulatedCrash&) {
        }
        const Bytes history = dir.read("abonnemang.it");
        const bool changed = history == bytesOf("2001-01 3600\n2002-01 7200\n2002-03 28800\n");
        EXPECT_TRUE(changed || history == bytesOf("2001-01 3600\n2002-01 7200\n"));
        EXPECT_EQ(storage::alignSettings(real, {2002, 3, 5}), changed ? 28800 : 7200);
        EXPECT_EQ(dir.read("tid.it"), changed ? kEightHours : settingsOf("2 h / dygn", 7200));
    }
}
