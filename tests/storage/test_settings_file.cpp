#include "platform/posix_file_system.h"
#include "storage/settings_file.h"
#include "support/fakes/faulty_file_system.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

using Bytes = std::vector<std::uint8_t>;

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    testing_support::TempDir m_dir;
    platform::PosixFileSystem m_files{m_dir.path()};
    storage::SettingsFile m_settings{m_files};
};

// A settings file of `length` bytes: the mark, the plan text at 30, the allowance (LE) at 60.
Bytes settingsBytes(const char* plan, std::uint8_t low, std::uint8_t high, std::size_t length) {
    Bytes bytes(length, 0);
    bytes[0] = bytes[1] = 0xFF;
    std::copy(plan, plan + 10, bytes.begin() + 30);
    bytes[60] = low;
    bytes[61] = high;
    return bytes;
}

} // namespace

TEST_F(SettingsFileTest, FirstStartWritesTheMarkAndNothingElse) {
    EXPECT_FALSE(m_settings.readDailyAllowance());
    EXPECT_FALSE(m_dir.exists("tid.it")); // reading never creates it
    const auto state = m_settings.loadAtStart();
    EXPECT_TRUE(state.firstStart);
    EXPECT_TRUE(state.markWritten);
    EXPECT_EQ(m_dir.read("tid.it"), (Bytes{0xFF, 0xFF}));

    // Ended before the plan was chosen: the next start asks again, and the mark stays as it is.
    const auto later = m_settings.loadAtStart();
    EXPECT_TRUE(later.firstStart);
    EXPECT_FALSE(later.markWritten);
    EXPECT_EQ(m_dir.read("tid.it"), (Bytes{0xFF, 0xFF}));
}

TEST_F(SettingsFileTest, TheMarkWithoutAKnownPlanIsStillAFirstStart) {
    struct Case {
        const char* what;
        Bytes bytes;
        bool firstStart;
    };
    const Case cases[] = {
        {"the mark alone", Bytes{0xFF, 0xFF}, true},
        {"a plan text with allowance 0", settingsBytes("2 h / dygn", 0x00, 0x00, 62), true},
        {"allowance 3601, no plan's", settingsBytes("1 h / dygn", 0x11, 0x0E, 62), true},
        {"the 2 h plan, 7200 = 0x1C20", settingsBytes("2 h / dygn", 0x20, 0x1C, 62), false},
        {"the 8 h plan in 90 bytes, 28800 = 0x7080", settingsBytes("8 h / dygn", 0x80, 0x70, 90),
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_dir.write("tid.it", c.bytes);
        const auto state = m_settings.loadAtStart();
        EXPECT_EQ(state.firstStart, c.firstStart);
        EXPECT_FALSE(state.markWritten || state.unreadable || state.damaged);
        EXPECT_EQ(m_dir.read("tid.it"), c.bytes); // the mark is there: nothing is written
    }
    // Once the plan is chosen, the start after it is no first start.
    m_dir.write("tid.it", Bytes{0xFF, 0xFF});
    ASSERT_TRUE(m_settings.storePlan("1 h / dygn", 3600));
    EXPECT_FALSE(m_settings.loadAtStart().firstStart);
}

TEST_F(SettingsFileTest, AStoredPlanIsTheExactRecordsWrittenAtOnce) {
    m_settings.loadAtStart();
    platform::fakes::FaultyFileSystem counted(m_files);
    ASSERT_TRUE(storage::SettingsFile(counted).storePlan("8 h / dygn", 28800));
    EXPECT_EQ(counted.changeRequests(), 1);
    EXPECT_EQ(m_dir.read("tid.it"), settingsBytes("8 h / dygn", 0x80, 0x70, 62)); // 0x7080
    const auto loaded = m_settings.load();
    EXPECT_EQ(loaded.settings.planText, "8 h / dygn");
    EXPECT_EQ(loaded.settings.dailyAllowance, 28800);
    EXPECT_FALSE(loaded.unreadable || loaded.damaged);
    EXPECT_EQ(m_settings.readDailyAllowance(), std::optional<std::int16_t>(28800));
}

TEST_F(SettingsFileTest, LongerFilesReadAlikeAndKeepTheirLength) {
    m_dir.write("tid.it", settingsBytes("2 h / dygn", 0x20, 0x1C, 90)); // 7200 = 0x1C20
    EXPECT_EQ(m_settings.load().settings.dailyAllowance, 7200);
    EXPECT_EQ(m_settings.load().settings.planText, "2 h / dygn");
    ASSERT_TRUE(m_settings.storePlan("1 h / dygn", 3600));
    EXPECT_EQ(m_dir.read("tid.it"), settingsBytes("1 h / dygn", 0x10, 0x0E, 90)); // 0x0E10

    m_dir.write("tid.it", Bytes(61, 0xFF)); // one byte short of record 3's value
    EXPECT_FALSE(m_settings.readDailyAllowance());
}

TEST(SettingsBytes, AnyBytesDecodeToAShowableText) {
    Bytes odd(40, 0);
    odd[0] = 0x01;
    const Bytes text{0xE5, 0x80, 0x00, 0x09, 'x', 0x81, 0xFF, 0x7F, 0x9F, ' '};
    std::copy(text.begin(), text.end(), odd.begin() + 30);
    EXPECT_EQ(storage::decodeSettings(odd).setupDone, 1);
    EXPECT_EQ(storage::decodeSettings(odd).planText, "å€  x ÿ Ÿ ");
    EXPECT_EQ(storage::decodeSettings({}).planText, "          ");
}

TEST_F(SettingsFileTest, AFileThatCannotBeReadIsNeitherAFirstStartNorWrittenOver) {
    std::filesystem::create_directory(m_dir.file("tid.it"));
    const auto state = m_settings.loadAtStart();
    EXPECT_TRUE(state.unreadable);
    EXPECT_TRUE(state.damaged); // a folder is no settings file at all
    EXPECT_FALSE(state.firstStart);
    EXPECT_FALSE(m_settings.storePlan("1 h / dygn", 3600));
    EXPECT_TRUE(std::filesystem::is_directory(m_dir.file("tid.it")));
}

TEST_F(SettingsFileTest, AFileLongerThanThreeRecordsIsDamagedAndNeverWritten) {
    // 91 bytes: one more than records 1 to 3. The plan in it is not taken either.
    const Bytes tooLong = settingsBytes("2 h / dygn", 0x20, 0x1C, 91);
    m_dir.write("tid.it", tooLong);
    const auto loaded = m_settings.load();
    EXPECT_TRUE(loaded.unreadable && loaded.damaged);
    EXPECT_EQ(loaded.settings.dailyAllowance, 0);
    EXPECT_EQ(loaded.settings.planText, "          ");
    const auto state = m_settings.loadAtStart();
    EXPECT_TRUE(state.unreadable && state.damaged);
    EXPECT_FALSE(state.firstStart || state.markWritten);
    EXPECT_FALSE(m_settings.readDailyAllowance());
    EXPECT_FALSE(m_settings.storePlan("1 h / dygn", 3600));
    EXPECT_EQ(m_dir.read("tid.it"), tooLong);

    // Without a mark it would be a first start, but the mark is not written into it.
    const Bytes noMark(4096, 0);
    m_dir.write("tid.it", noMark);
    EXPECT_FALSE(m_settings.loadAtStart().firstStart);
    EXPECT_EQ(m_dir.read("tid.it"), noMark);
}

TEST_F(SettingsFileTest, ALinkIsDamagedAndNeitherFollowedNorReplaced) {
    namespace fs = std::filesystem;
    testing_support::TempDir elsewhere;
    const Bytes plan = settingsBytes("2 h / dygn", 0x20, 0x1C, 62);
    elsewhere.write("real.it", plan);
    fs::create_symlink(elsewhere.file("real.it"), m_dir.file("tid.it"));
    const auto state = m_settings.loadAtStart();
    EXPECT_TRUE(state.unreadable && state.damaged);
    EXPECT_EQ(state.settings.dailyAllowance, 0); // the plan behind the link is not read
    EXPECT_FALSE(m_settings.readDailyAllowance());
    EXPECT_FALSE(m_settings.storePlan("1 h / dygn", 3600));
    EXPECT_TRUE(fs::is_symlink(m_dir.file("tid.it")));
    EXPECT_EQ(elsewhere.read("real.it"), plan);

    // A dangling link is no missing file: nothing is made where it points.
    fs::remove(m_dir.file("tid.it"));
    fs::create_symlink(elsewhere.file("new.it"), m_dir.file("tid.it"));
    const auto dangling = m_settings.loadAtStart();
    EXPECT_TRUE(dangling.damaged);
    EXPECT_FALSE(dangling.firstStart || dangling.markWritten);
    EXPECT_FALSE(m_settings.storePlan("1 h / dygn", 3600));
    EXPECT_FALSE(elsewhere.exists("new.it"));
}

TEST_F(SettingsFileTest, RemovingMakesTheNextStartAFirstStart) {
    m_settings.loadAtStart();
    ASSERT_TRUE(m_settings.storePlan("1 h / dygn", 3600));
    EXPECT_TRUE(m_settings.remove());
    EXPECT_TRUE(m_settings.loadAtStart().firstStart);
}
