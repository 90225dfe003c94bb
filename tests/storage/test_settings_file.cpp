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

Bytes planBytes(const char* text) {
    return Bytes(text, text + 10);
}

} // namespace

TEST_F(SettingsFileTest, FirstStartWritesTheMarkAndNothingElse) {
    const auto state = m_settings.loadAtStart();
    EXPECT_TRUE(state.firstStart);
    EXPECT_TRUE(state.markWritten);
    EXPECT_EQ(state.settings.dailyAllowance, 0);
    EXPECT_EQ(state.settings.planText, "          ");
    EXPECT_EQ(m_dir.read("tid.it"), (Bytes{0xFF, 0xFF}));

    // The next start does not ask again, even though no plan was stored.
    const auto later = m_settings.loadAtStart();
    EXPECT_FALSE(later.firstStart);
    EXPECT_FALSE(later.markWritten);
    EXPECT_EQ(m_dir.read("tid.it"), (Bytes{0xFF, 0xFF}));
}

TEST_F(SettingsFileTest, StoringAPlanLeavesTheExactRecords) {
    m_settings.loadAtStart();
    ASSERT_TRUE(m_settings.storePlan("8 h / dygn", 28800));
    Bytes expected(62, 0);
    expected[0] = 0xFF;
    expected[1] = 0xFF;
    const Bytes text = planBytes("8 h / dygn");
    std::copy(text.begin(), text.end(), expected.begin() + 30);
    expected[60] = 0x80; // 28800 = 0x7080, little-endian
    expected[61] = 0x70;
    EXPECT_EQ(m_dir.read("tid.it"), expected);

    const auto loaded = m_settings.load();
    EXPECT_EQ(loaded.setupDone, -1);
    EXPECT_EQ(loaded.planText, "8 h / dygn");
    EXPECT_EQ(loaded.dailyAllowance, 28800);
    EXPECT_EQ(m_settings.readDailyAllowance(), std::optional<std::int16_t>(28800));
}

TEST_F(SettingsFileTest, ReadsPaddedAndUnpaddedFilesAlike) {
    Bytes padded(90, 0);
    padded[0] = 0xFF;
    padded[1] = 0xFF;
    const Bytes text = planBytes("2 h / dygn");
    std::copy(text.begin(), text.end(), padded.begin() + 30);
    padded[60] = 0x20; // 7200 = 0x1C20
    padded[61] = 0x1C;
    m_dir.write("tid.it", padded);
    EXPECT_EQ(m_settings.load().dailyAllowance, 7200);
    EXPECT_EQ(m_settings.load().planText, "2 h / dygn");

    m_dir.write("tid.it", Bytes(padded.begin(), padded.begin() + 62));
    EXPECT_EQ(m_settings.load().dailyAllowance, 7200);

    // A plan stored again over the padded file keeps its length.
    m_dir.write("tid.it", padded);
    ASSERT_TRUE(m_settings.storePlan("1 h / dygn", 3600));
    const Bytes after = m_dir.read("tid.it");
    ASSERT_EQ(after.size(), 90u);
    EXPECT_EQ(after[60], 0x10); // 3600 = 0x0E10
    EXPECT_EQ(after[61], 0x0E);
}

TEST_F(SettingsFileTest, MissingAndShortFilesReadAsZeros) {
    EXPECT_EQ(m_settings.load().setupDone, 0);
    EXPECT_FALSE(m_dir.exists("tid.it")); // reading never creates it
    EXPECT_FALSE(m_settings.readDailyAllowance());

    // The mark was written but the program ended before the plan.
    m_dir.write("tid.it", Bytes{0xFF, 0xFF});
    const auto state = m_settings.loadAtStart();
    EXPECT_FALSE(state.firstStart);
    EXPECT_EQ(state.settings.dailyAllowance, 0);
    EXPECT_FALSE(m_settings.readDailyAllowance());

    // One byte short of record 3's value.
    m_dir.write("tid.it", Bytes(61, 0xFF));
    EXPECT_FALSE(m_settings.readDailyAllowance());
}

TEST_F(SettingsFileTest, AnyBytesDecodeToAShowableText) {
    Bytes odd(62, 0);
    odd[0] = 0x01;
    const Bytes text{0xE5, 0x80, 0x00, 0x09, 'x', 0x81, 0xFF, 0x7F, 0x9F, ' '};
    std::copy(text.begin(), text.end(), odd.begin() + 30);
    const auto settings = storage::decodeSettings(odd);
    EXPECT_EQ(settings.setupDone, 1);
    EXPECT_EQ(settings.planText, "å€  x ÿ Ÿ ");
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

TEST_F(SettingsFileTest, ThePlanIsStoredInOneWrite) {
    m_settings.loadAtStart();
    platform::fakes::FaultyFileSystem counted(m_files);
    ASSERT_TRUE(storage::SettingsFile(counted).storePlan("2 h / dygn", 7200));
    EXPECT_EQ(counted.changeRequests(), 1);
}

TEST_F(SettingsFileTest, RemovingMakesTheNextStartAFirstStart) {
    m_settings.loadAtStart();
    ASSERT_TRUE(m_settings.storePlan("1 h / dygn", 3600));
    EXPECT_TRUE(m_settings.remove());
    EXPECT_FALSE(m_dir.exists("tid.it"));
    EXPECT_TRUE(m_settings.loadAtStart().firstStart);
}
