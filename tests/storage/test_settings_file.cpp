#include "platform/fakes/faulty_file_system.h"
#include "platform/posix_file_system.h"
#include "storage/settings_file.h"
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

    // The next start does not ask again, though no plan was stored.
    const auto later = m_settings.loadAtStart();
    EXPECT_FALSE(later.firstStart);
    EXPECT_FALSE(later.markWritten);
    EXPECT_EQ(m_dir.read("tid.it"), (Bytes{0xFF, 0xFF}));
}

TEST_F(SettingsFileTest, AStoredPlanIsTheExactRecordsWrittenAtOnce) {
    m_settings.loadAtStart();
    platform::fakes::FaultyFileSystem counted(m_files);
    ASSERT_TRUE(storage::SettingsFile(counted).storePlan("8 h / dygn", 28800));
    EXPECT_EQ(counted.changeRequests(), 1);
    EXPECT_EQ(m_dir.read("tid.it"), settingsBytes("8 h / dygn", 0x80, 0x70, 62)); // 0x7080
    const auto loaded = m_settings.load();
    EXPECT_EQ(loaded.planText, "8 h / dygn");
    EXPECT_EQ(loaded.dailyAllowance, 28800);
    EXPECT_EQ(m_settings.readDailyAllowance(), std::optional<std::int16_t>(28800));
}

TEST_F(SettingsFileTest, LongerFilesReadAlikeAndKeepTheirLength) {
    m_dir.write("tid.it", settingsBytes("2 h / dygn", 0x20, 0x1C, 90)); // 7200 = 0x1C20
    EXPECT_EQ(m_settings.load().dailyAllowance, 7200);
    EXPECT_EQ(m_settings.load().planText, "2 h / dygn");
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
    EXPECT_FALSE(state.firstStart);
    EXPECT_FALSE(m_settings.storePlan("1 h / dygn", 3600));
    EXPECT_TRUE(std::filesystem::is_directory(m_dir.file("tid.it")));
}

TEST_F(SettingsFileTest, RemovingMakesTheNextStartAFirstStart) {
    m_settings.loadAtStart();
    ASSERT_TRUE(m_settings.storePlan("1 h / dygn", 3600));
    EXPECT_TRUE(m_settings.remove());
    EXPECT_TRUE(m_settings.loadAtStart().firstStart);
}
