// The settings file, the notice setting and the history of plans on real temporary folders: their
// exact bytes, files that are not the program's (never used, never written over), a change of
// plan and its Ångra, and a stop at every change of a change of plan.

#include "platform/posix_file_system.h"
#include "storage/notice_settings.h"
#include "storage/plan_history.h"
#include "storage/settings_file.h"
#include "support/fakes/faulty_file_system.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace storage;
using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;
using platform::fakes::FaultyFileSystem;
namespace fs = std::filesystem;

namespace {

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// A settings file of `length` bytes: the mark, the plan text at 30 and the allowance at 60.
Bytes settingsOf(const std::string& plan, std::uint16_t seconds, std::size_t length = 62) {
    Bytes bytes(length, 0);
    bytes[0] = bytes[1] = 0xFF;
    std::copy(plan.begin(), plan.end(), bytes.begin() + 30);
    bytes[60] = static_cast<std::uint8_t>(seconds & 0xFF);
    bytes[61] = static_cast<std::uint8_t>(seconds >> 8);
    return bytes;
}

const Bytes kOneHour = settingsOf("1 h / dygn", 3600);     // 0x0E10
const Bytes kTwoHours = settingsOf("2 h / dygn", 7200);    // 0x1C20
const Bytes kEightHours = settingsOf("8 h / dygn", 28800); // 0x7080

struct SettingsTest : ::testing::Test {
    testing_support::TempDir m_dir, m_elsewhere;
    platform::PosixFileSystem m_files{m_dir.path()};
    SettingsFile m_settings{m_files};
    NoticeSettings m_notices{m_files};
};

} // namespace

TEST_F(SettingsTest, TheFirstStartWritesTheMarkAloneUntilAPlanIsChosen) {
    EXPECT_FALSE(m_settings.readDailyAllowance() || m_dir.exists("tid.it")); // never creates it
    auto state = m_settings.loadAtStart();
    EXPECT_TRUE(state.firstStart && state.markWritten);
    EXPECT_EQ(m_dir.read("tid.it"), (Bytes{0xFF, 0xFF}));
    // Ended before the plan was chosen: the next start asks again, and the mark stays as it is.
    state = m_settings.loadAtStart();
    EXPECT_TRUE(state.firstStart && !state.markWritten);
    EXPECT_EQ(m_dir.read("tid.it"), (Bytes{0xFF, 0xFF}));
    ASSERT_TRUE(m_settings.storePlan("8 h / dygn", 28800));
    EXPECT_EQ(m_dir.read("tid.it"), kEightHours);
    EXPECT_FALSE(m_settings.loadAtStart().firstStart);
    EXPECT_EQ(m_settings.readDailyAllowance(), std::optional<std::int16_t>(28800));
    EXPECT_TRUE(m_settings.remove());
    EXPECT_TRUE(m_settings.loadAtStart().firstStart);
}

TEST_F(SettingsTest, TheMarkWithoutAPlanIsAFirstStartAndAFileNotTheProgramsIsNeitherWrittenOver) {
    const std::pair<Bytes, bool> cases[] = {
        {Bytes{0xFF, 0xFF}, true},
        {settingsOf("2 h / dygn", 0), true},
        {settingsOf("1 h / dygn", 3601), true},
        {kTwoHours, false},
        {settingsOf("8 h / dygn", 28800, 90), false},
    };
    for (const auto& [bytes, firstStart] : cases) {
        m_dir.write("tid.it", bytes);
        const auto state = m_settings.loadAtStart();
        EXPECT_EQ(state.firstStart, firstStart) << bytes.size();
        EXPECT_FALSE(state.markWritten || state.unreadable || state.damaged);
        EXPECT_EQ(m_dir.read("tid.it"), bytes); // the mark is there: nothing is written
    }
    ASSERT_TRUE(m_settings.storePlan("1 h / dygn", 3600));
    EXPECT_EQ(m_dir.read("tid.it"), settingsOf("1 h / dygn", 3600, 90));
    m_dir.write("tid.it", Bytes(61, 0xFF)); // one byte short of the allowance
    EXPECT_FALSE(m_settings.readDailyAllowance());
    // Any bytes decode to a text that can be shown.
    Bytes odd(40, 0);
    const Bytes text{0xE5, 0x80, 0x00, 0x09, 'x', 0x81, 0xFF, 0x7F, 0x9F, ' '};
    std::copy(text.begin(), text.end(), odd.begin() + 30);
    EXPECT_EQ(decodeSettings(odd).planText, "å€  x ÿ Ÿ ");
    EXPECT_EQ(decodeSettings({}).planText, "          ");
    for (const Bytes& bytes : {settingsOf("2 h / dygn", 7200, 91), Bytes(4096, 0)}) {
        m_dir.write("tid.it", bytes);
        const auto state = m_settings.loadAtStart();
        EXPECT_TRUE(state.unreadable && state.damaged);
        EXPECT_FALSE(state.firstStart || state.markWritten);
        EXPECT_EQ(m_settings.load().settings.dailyAllowance, 0); // the plan in it is not taken
        EXPECT_FALSE(m_settings.readDailyAllowance() || m_settings.storePlan("1 h / dygn", 3600));
        EXPECT_EQ(m_dir.read("tid.it"), bytes);
    }
}

// A link in place of any of the three files is something other than the program's file: it is
// neither followed nor written through.
TEST_F(SettingsTest, ALinkInPlaceOfAFileIsDamagedAndNeverFollowed) {
    const std::pair<std::string, Bytes> files[] = {{"tid.it", kTwoHours},
                                                   {"avisering.it", {0, 0}},
                                                   {"abonnemang.it", bytesOf("2001-01 3600\n")}};
    for (const auto& [name, bytes] : files) {
        m_elsewhere.write(name, bytes);
        fs::create_symlink(m_elsewhere.file(name), m_dir.file(name));
    }
    const auto state = m_settings.loadAtStart();
    EXPECT_TRUE(state.unreadable && state.damaged && !state.firstStart && !state.markWritten);
    EXPECT_EQ(m_notices.load().state, NoticeFileState::Damaged);
    EXPECT_TRUE(m_notices.load().on); // "off" behind the link is not read
    EXPECT_EQ(loadPlanHistory(m_files).state, PlanHistoryState::Damaged);
    EXPECT_FALSE(m_settings.storePlan("1 h / dygn", 3600) || m_notices.store(false));
    for (const auto& [name, bytes] : files) {
        EXPECT_TRUE(fs::is_symlink(m_dir.file(name))) << name;
        EXPECT_EQ(m_elsewhere.read(name), bytes) << name;
    }
}

TEST_F(SettingsTest, TheNoticeSettingIsTwoBytesOfTrueOrFalseAndOnUnlessTheyAreThere) {
    EXPECT_EQ(m_notices.load().state, NoticeFileState::NoFile);
    EXPECT_TRUE(m_notices.load().on);
    EXPECT_TRUE(m_dir.names().empty()); // reading never creates it
    ASSERT_TRUE(m_notices.store(false));
    EXPECT_EQ(m_dir.read("avisering.it"), (Bytes{0x00, 0x00}));
    EXPECT_FALSE(m_notices.load().on);
    ASSERT_TRUE(m_notices.store(true));
    EXPECT_EQ(m_dir.read("avisering.it"), (Bytes{0xFF, 0xFF})); // -1, little-endian
    EXPECT_EQ(m_notices.load().state, NoticeFileState::Stored);
    m_dir.write("avisering.it", Bytes{0x00, 0x00});
    EXPECT_FALSE(m_notices.load().on);
    EXPECT_EQ(m_dir.names(), Names{"avisering.it"});
    // Any other bytes: damaged, read as on, and kept.
    for (const Bytes& bytes : std::vector<Bytes>{
             {}, {0xFF}, {0xFF, 0xFF, 0}, {1, 0}, {0, 0xFF}, {0xFF, 0}, Bytes(10240, 0)}) {
        m_dir.write("avisering.it", bytes);
        EXPECT_TRUE(m_notices.load().on) << bytes.size();
        EXPECT_EQ(m_notices.load().state, NoticeFileState::Damaged) << bytes.size();
        EXPECT_FALSE(m_notices.store(false) || m_notices.store(true)) << bytes.size();
        EXPECT_EQ(m_dir.read("avisering.it"), bytes);
    }
    // A file that cannot be read is on, and not written over.
    m_dir.write("avisering.it", Bytes{0x00, 0x00});
    FaultyFileSystem faulty(m_files);
    faulty.failAt(1, FaultyFileSystem::Mode::Once); // the read before the write
    EXPECT_FALSE(NoticeSettings(faulty).store(true));
    faulty.failAt(1, FaultyFileSystem::Mode::Once);
    EXPECT_EQ(NoticeSettings(faulty).load().state, NoticeFileState::Unreadable);
    EXPECT_EQ(m_dir.read("avisering.it"), (Bytes{0x00, 0x00}));
}

TEST(PlanHistoryText, OnlyWhatTheWriterWritesIsRead) {
    const std::vector<core::PlanChange> changes{{2001, 1, 3600}, {2002, 3, 28800}};
    EXPECT_EQ(planHistoryText(changes), "2001-01 3600\n2002-03 28800\n");
    EXPECT_EQ(parsePlanHistory(bytesOf("2001-01 3600\n2002-03 28800\n")), changes);
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
             std::string(99 * 12 * 14 + 1, '\n'),
         }) {
        SCOPED_TRACE(text.substr(0, 40));
        EXPECT_EQ(parsePlanHistory(bytesOf(text)), std::nullopt);
    }
}

TEST_F(SettingsTest, AChangeOfPlanHoldsFromItsMonthAndAngraTakesItBack) {
    m_dir.write("tid.it", kOneHour);
    // A history that is not the program's is never used or written over.
    m_dir.write("abonnemang.it", bytesOf("2001-01 4000\n")); // no plan's seconds
    EXPECT_EQ(loadPlanHistory(m_files).state, PlanHistoryState::Damaged);
    EXPECT_EQ(changePlan(m_files, {2002, 3, 1}, 28800, {2002, 3, 5}), PlanChangeOutcome::Damaged);
    EXPECT_EQ(m_dir.read("abonnemang.it"), bytesOf("2001-01 4000\n"));
    EXPECT_EQ(m_dir.names(), (Names{"abonnemang.it", "tid.it"}));
    std::filesystem::remove(m_dir.file("abonnemang.it"));
    // On 5 March 2002, 8 h from March: in force at once. The history keeps 1 h from the first
    // month offered, and copies of both files are kept for Ångra.
    EXPECT_EQ(changePlan(m_files, {2002, 3, 1}, 28800, {2002, 3, 5}), PlanChangeOutcome::Changed);
    EXPECT_EQ(m_dir.read("abonnemang.it"), bytesOf("2001-01 3600\n2002-03 28800\n"));
    EXPECT_EQ(m_dir.read("abonnemang.tmp"), Bytes{});
    EXPECT_EQ(m_dir.read("tid.it"), kEightHours);
    EXPECT_EQ(m_dir.read("tid.tmp"), kOneHour);
    // 1 h from May: the settings keep the plan in force now; a change from a later month
    // replaces none before it.
    const auto fromMay = [this] { return changePlan(m_files, {2002, 5, 1}, 3600, {2002, 3, 5}); };
    EXPECT_EQ(fromMay(), PlanChangeOutcome::Changed);
    EXPECT_EQ(m_dir.read("abonnemang.it"), bytesOf("2001-01 3600\n2002-03 28800\n2002-05 3600\n"));
    EXPECT_EQ(m_dir.read("tid.it"), kEightHours);
    EXPECT_EQ(loadPlanHistory(m_files).schedule(0).allowanceFor(2002, 5), 3600);
    EXPECT_TRUE(undoPlanChange(m_files));
    EXPECT_EQ(m_dir.read("abonnemang.it"), bytesOf("2001-01 3600\n2002-03 28800\n"));
    EXPECT_EQ(m_dir.read("tid.it"), kEightHours);
    EXPECT_FALSE(undoPlanChange(m_files)); // one step back only
    EXPECT_EQ(m_dir.names(), (Names{"abonnemang.it", "tid.it"}));
    // In May the settings follow.
    EXPECT_EQ(fromMay(), PlanChangeOutcome::Changed);
    EXPECT_EQ(alignSettings(m_files, {2002, 4, 30}), 28800);
    EXPECT_EQ(m_dir.read("tid.it"), kEightHours);
    EXPECT_EQ(alignSettings(m_files, {2002, 5, 1}), 3600);
    EXPECT_EQ(m_dir.read("tid.it"), kOneHour);
    // The first change taken back leaves no history at all.
    m_dir.write("abonnemang.tmp", {});
    EXPECT_TRUE(undoPlanChange(m_files));
    EXPECT_EQ(m_dir.names(), Names{"tid.it"});
    EXPECT_EQ(m_dir.read("tid.it"), kEightHours);
}

// Stopped dead at any change, a change of plan leaves the history as it was or as changed, and
// the settings, brought in line at the next start, hold the plan the history gives for now.
TEST(PlanHistoryStop, AStopAtAnyChangeLeavesTheOldPlansOrTheNew) {
    bool finished = false;
    for (int change = 1; !finished; ++change) {
        SCOPED_TRACE("stop at change " + std::to_string(change));
        ASSERT_LT(change, 20);
        testing_support::TempDir dir;
        dir.write("abonnemang.it", bytesOf("2001-01 3600\n2002-01 7200\n"));
        dir.write("tid.it", kTwoHours);
        platform::PosixFileSystem real(dir.path());
        FaultyFileSystem faulty(real);
        faulty.failAt(change, FaultyFileSystem::Mode::Crash, true);
        try {
            finished =
                changePlan(faulty, {2002, 3, 1}, 28800, {2002, 3, 5}) == PlanChangeOutcome::Changed;
        } catch (const platform::fakes::SimulatedCrash&) {
        }
        const Bytes history = dir.read("abonnemang.it");
        const bool changed = history == bytesOf("2001-01 3600\n2002-01 7200\n2002-03 28800\n");
        EXPECT_TRUE(changed || history == bytesOf("2001-01 3600\n2002-01 7200\n"));
        EXPECT_EQ(alignSettings(real, {2002, 3, 5}), changed ? 28800 : 7200);
        EXPECT_EQ(dir.read("tid.it"), changed ? kEightHours : kTwoHours);
    }
}
