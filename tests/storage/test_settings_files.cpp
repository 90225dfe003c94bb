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
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;
using platform::fakes::FaultyFileSystem;
using storage::NoticeFileState;
using storage::PlanChangeOutcome;
using storage::PlanHistoryState;
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
    // Something under `name` that is not a file of the program's: a folder, a FIFO, or a link
    // (to `bytes` elsewhere, or dangling).
    std::vector<std::pair<const char*, std::function<void(const std::string&)>>>
    strangers(const Bytes& bytes) {
        return {
            {"folder", [this](const std::string& n) { fs::create_directory(m_dir.file(n)); }},
            {"fifo", [this](const std::string& n) { ::mkfifo(m_dir.file(n).c_str(), 0600); }},
            {"link",
             [this, bytes](const std::string& n) {
                 m_elsewhere.write("real", bytes);
                 fs::create_symlink(m_elsewhere.file("real"), m_dir.file(n));
             }},
            {"dangling link",
             [this](const std::string& n) {
                 fs::create_symlink(m_elsewhere.file("none"), m_dir.file(n));
             }},
        };
    }
    testing_support::TempDir m_dir, m_elsewhere;
    platform::PosixFileSystem m_files{m_dir.path()};
    storage::SettingsFile m_settings{m_files};
    storage::NoticeSettings m_notices{m_files};
};

} // namespace

TEST_F(SettingsTest, TheFirstStartWritesTheMarkAloneUntilAPlanIsChosen) {
    EXPECT_FALSE(m_settings.readDailyAllowance());
    EXPECT_FALSE(m_dir.exists("tid.it")); // reading never creates it
    auto state = m_settings.loadAtStart();
    EXPECT_TRUE(state.firstStart && state.markWritten);
    EXPECT_EQ(m_dir.read("tid.it"), (Bytes{0xFF, 0xFF}));
    // Ended before the plan was chosen: the next start asks again, and the mark stays as it is.
    state = m_settings.loadAtStart();
    EXPECT_TRUE(state.firstStart && !state.markWritten);
    EXPECT_EQ(m_dir.read("tid.it"), (Bytes{0xFF, 0xFF}));
    // Both records in one write.
    FaultyFileSystem counted(m_files);
    ASSERT_TRUE(storage::SettingsFile(counted).storePlan("8 h / dygn", 28800));
    EXPECT_EQ(counted.changeRequests(), 1);
    EXPECT_EQ(m_dir.read("tid.it"), kEightHours);
    EXPECT_FALSE(m_settings.loadAtStart().firstStart);
    EXPECT_EQ(m_settings.load().settings.planText, "8 h / dygn");
    EXPECT_EQ(m_settings.readDailyAllowance(), std::optional<std::int16_t>(28800));
    EXPECT_TRUE(m_settings.remove());
    EXPECT_TRUE(m_settings.loadAtStart().firstStart);
}

TEST_F(SettingsTest, TheMarkWithoutAKnownPlanIsStillAFirstStartAndLongerFilesKeepTheirLength) {
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
    EXPECT_EQ(m_settings.load().settings.dailyAllowance, 28800);
    ASSERT_TRUE(m_settings.storePlan("1 h / dygn", 3600));
    EXPECT_EQ(m_dir.read("tid.it"), settingsOf("1 h / dygn", 3600, 90));
    m_dir.write("tid.it", Bytes(61, 0xFF)); // one byte short of the allowance
    EXPECT_FALSE(m_settings.readDailyAllowance());
    // Any bytes decode to a text that can be shown.
    Bytes odd(40, 0);
    const Bytes text{0xE5, 0x80, 0x00, 0x09, 'x', 0x81, 0xFF, 0x7F, 0x9F, ' '};
    std::copy(text.begin(), text.end(), odd.begin() + 30);
    EXPECT_EQ(storage::decodeSettings(odd).planText, "å€  x ÿ Ÿ ");
    EXPECT_EQ(storage::decodeSettings({}).planText, "          ");
}

TEST_F(SettingsTest, ASettingsFileThatIsNotTheProgramsIsNeitherAFirstStartNorWrittenOver) {
    auto all = strangers(kTwoHours);
    all.emplace_back("91 bytes", [this](const std::string& n) {
        m_dir.write(n, settingsOf("2 h / dygn", 7200, 91));
    });
    all.emplace_back("4 kB without the mark",
                     [this](const std::string& n) { m_dir.write(n, Bytes(4096, 0)); });
    for (const auto& [what, make] : all) {
        SCOPED_TRACE(what);
        fs::remove_all(m_dir.file("tid.it"));
        make("tid.it");
        const auto before = fs::symlink_status(m_dir.file("tid.it")).type();
        const auto state = m_settings.loadAtStart();
        EXPECT_TRUE(state.unreadable && state.damaged);
        EXPECT_FALSE(state.firstStart || state.markWritten);
        EXPECT_EQ(m_settings.load().settings.dailyAllowance, 0); // the plan in it is not taken
        EXPECT_FALSE(m_settings.readDailyAllowance());
        EXPECT_FALSE(m_settings.storePlan("1 h / dygn", 3600));
        EXPECT_EQ(fs::symlink_status(m_dir.file("tid.it")).type(), before);
    }
    EXPECT_EQ(m_dir.read("tid.it"), Bytes(4096, 0));
    EXPECT_EQ(m_elsewhere.names(), Names{"real"});
    EXPECT_EQ(m_elsewhere.read("real"), kTwoHours);
}

TEST_F(SettingsTest, TheNoticeSettingIsTheTwoBytesOfTrueOrFalseAndOnWithoutIt) {
    EXPECT_TRUE(m_notices.load().on);
    EXPECT_EQ(m_notices.load().state, NoticeFileState::NoFile);
    EXPECT_TRUE(m_dir.names().empty()); // reading never creates it
    ASSERT_TRUE(m_notices.store(false));
    EXPECT_EQ(m_dir.read("avisering.it"), (Bytes{0x00, 0x00}));
    EXPECT_FALSE(m_notices.load().on);
    ASSERT_TRUE(m_notices.store(true));
    EXPECT_EQ(m_dir.read("avisering.it"), (Bytes{0xFF, 0xFF})); // -1, little-endian
    EXPECT_TRUE(m_notices.load().on);
    EXPECT_EQ(m_notices.load().state, NoticeFileState::Stored);
    m_dir.write("avisering.it", Bytes{0x00, 0x00});
    EXPECT_FALSE(m_notices.load().on);
    EXPECT_EQ(m_dir.names(), Names{"avisering.it"});
}

TEST_F(SettingsTest, ANoticeFileOfOtherBytesOrNoFileIsDamagedReadAsOnAndKept) {
    auto all = strangers(Bytes{0x00, 0x00}); // a link to "off" would read as off if followed
    for (const Bytes& bytes : {Bytes{}, Bytes{0xFF}, Bytes{0xFF, 0xFF, 0x00}, Bytes{0x01, 0x00},
                               Bytes{0x00, 0xFF}, Bytes{0xFF, 0x00}, Bytes(10240, 0)}) {
        all.emplace_back("bytes", [this, bytes](const std::string& n) { m_dir.write(n, bytes); });
    }
    for (const auto& [what, make] : all) {
        fs::remove_all(m_dir.file("avisering.it"));
        make("avisering.it");
        const auto before = fs::symlink_status(m_dir.file("avisering.it")).type();
        const Bytes bytes = before == fs::file_type::regular ? m_dir.read("avisering.it") : Bytes{};
        EXPECT_TRUE(m_notices.load().on) << what << bytes.size(); // a FIFO must not block here
        EXPECT_EQ(m_notices.load().state, NoticeFileState::Damaged) << what << bytes.size();
        EXPECT_FALSE(m_notices.store(false) || m_notices.store(true)) << what << bytes.size();
        EXPECT_EQ(fs::symlink_status(m_dir.file("avisering.it")).type(), before);
        EXPECT_TRUE(before != fs::file_type::regular || m_dir.read("avisering.it") == bytes);
    }
    EXPECT_EQ(m_elsewhere.read("real"), (Bytes{0x00, 0x00}));
    // A file that cannot be read is on, and not written over.
    m_dir.write("avisering.it", Bytes{0x00, 0x00});
    FaultyFileSystem faulty(m_files);
    faulty.failAt(1, FaultyFileSystem::Mode::Once); // the read
    EXPECT_EQ(storage::NoticeSettings(faulty).load().state, NoticeFileState::Unreadable);
    faulty.failAt(1, FaultyFileSystem::Mode::Once); // the read before the write
    EXPECT_FALSE(storage::NoticeSettings(faulty).store(true));
    EXPECT_EQ(faulty.changeRequests(), 0);
}

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

TEST_F(SettingsTest, AChangeFromNextMonthHoldsFromItsFirstDay) {
    m_dir.write("tid.it", kOneHour);
    // On 5 March 2002, 8 h from April: the history keeps 1 h from the first month offered, the
    // settings keep the plan in force now, and copies are kept for Ångra.
    EXPECT_EQ(storage::changePlan(m_files, {2002, 4, 1}, 28800, {2002, 3, 5}),
              PlanChangeOutcome::Changed);
    EXPECT_EQ(m_dir.read("abonnemang.it"), bytesOf("2001-01 3600\n2002-04 28800\n"));
    EXPECT_EQ(m_dir.read("abonnemang.tmp"), Bytes{});
    EXPECT_EQ(m_dir.read("tid.it"), kOneHour);
    EXPECT_EQ(m_dir.read("tid.tmp"), kOneHour);
    EXPECT_EQ(m_dir.names(), (Names{"abonnemang.it", "abonnemang.tmp", "tid.it", "tid.tmp"}));
    const core::PlanSchedule schedule = storage::loadPlanHistory(m_files).schedule(0);
    EXPECT_EQ(schedule.allowanceFor(2002, 3), 3600);
    EXPECT_EQ(schedule.allowanceFor(2002, 4), 28800);
    // In April the settings follow.
    EXPECT_EQ(storage::alignSettings(m_files, {2002, 3, 31}), 3600);
    EXPECT_EQ(m_dir.read("tid.it"), kOneHour);
    EXPECT_EQ(storage::alignSettings(m_files, {2002, 4, 1}), 28800);
    EXPECT_EQ(m_dir.read("tid.it"), kEightHours);
}

TEST_F(SettingsTest, AChangeFromThisMonthIsInForceAtOnceAndAngraTakesItBack) {
    m_dir.write("tid.it", kOneHour);
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
    EXPECT_EQ(m_dir.names(), Names{"tid.it"});
    EXPECT_EQ(m_dir.read("tid.it"), kOneHour);
}

TEST_F(SettingsTest, AHistoryThatIsNotTheProgramsIsNeverUsedOrWrittenOver) {
    m_dir.write("tid.it", kOneHour);
    auto all = strangers(bytesOf("2001-01 3600\n"));
    all.emplace_back("unknown plan",
                     [this](const std::string& n) { m_dir.write(n, bytesOf("2001-01 4000\n")); });
    for (const auto& [what, make] : all) {
        SCOPED_TRACE(what);
        fs::remove_all(m_dir.file("abonnemang.it"));
        make("abonnemang.it");
        const auto before = fs::symlink_status(m_dir.file("abonnemang.it")).type();
        EXPECT_EQ(storage::loadPlanHistory(m_files).state, PlanHistoryState::Damaged);
        EXPECT_EQ(storage::changePlan(m_files, {2002, 3, 1}, 28800, {2002, 3, 5}),
                  PlanChangeOutcome::Damaged);
        EXPECT_EQ(fs::symlink_status(m_dir.file("abonnemang.it")).type(), before);
        EXPECT_EQ(m_dir.read("tid.it"), kOneHour);
    }
    EXPECT_EQ(m_dir.read("abonnemang.it"), bytesOf("2001-01 4000\n"));
    EXPECT_EQ(m_elsewhere.read("real"), bytesOf("2001-01 3600\n"));
    EXPECT_EQ(m_dir.names(), (Names{"abonnemang.it", "tid.it"}));
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
            finished = storage::changePlan(faulty, {2002, 3, 1}, 28800, {2002, 3, 5}) ==
                       PlanChangeOutcome::Changed;
        } catch (const platform::fakes::SimulatedCrash&) {
        }
        const Bytes history = dir.read("abonnemang.it");
        const bool changed = history == bytesOf("2001-01 3600\n2002-01 7200\n2002-03 28800\n");
        EXPECT_TRUE(changed || history == bytesOf("2001-01 3600\n2002-01 7200\n"));
        EXPECT_EQ(storage::alignSettings(real, {2002, 3, 5}), changed ? 28800 : 7200);
        EXPECT_EQ(dir.read("tid.it"), changed ? kEightHours : kTwoHours);
    }
}
