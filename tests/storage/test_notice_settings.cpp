#include "platform/posix_file_system.h"
#include "storage/notice_settings.h"
#include "support/fakes/faulty_file_system.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using Bytes = std::vector<std::uint8_t>;
using storage::NoticeFileState;

namespace {

namespace fs = std::filesystem;

class NoticeSettingsTest : public ::testing::Test {
protected:
    testing_support::TempDir m_dir;
    platform::PosixFileSystem m_files{m_dir.path()};
    storage::NoticeSettings m_notices{m_files};
};

} // namespace

TEST_F(NoticeSettingsTest, AMissingFileIsOnAndReadingNeverCreatesIt) {
    const auto loaded = m_notices.load();
    EXPECT_TRUE(loaded.on);
    EXPECT_EQ(loaded.state, NoticeFileState::NoFile);
    EXPECT_FALSE(m_dir.exists("avisering.it"));
    EXPECT_TRUE(m_dir.names().empty());
}

TEST_F(NoticeSettingsTest, OnAndOffAreTheTwoBytesOfTrueAndFalse) {
    ASSERT_TRUE(m_notices.store(false));
    EXPECT_EQ(m_dir.read("avisering.it"), (Bytes{0x00, 0x00}));
    ASSERT_TRUE(m_notices.store(true));
    EXPECT_EQ(m_dir.read("avisering.it"), (Bytes{0xFF, 0xFF})); // -1, little-endian
    // Only this file: the settings file and nothing else appear.
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"avisering.it"}));
}

TEST_F(NoticeSettingsTest, WhatIsStoredReadsBack) {
    ASSERT_TRUE(m_notices.store(false));
    auto loaded = m_notices.load();
    EXPECT_FALSE(loaded.on);
    EXPECT_EQ(loaded.state, NoticeFileState::Stored);

    ASSERT_TRUE(m_notices.store(true));
    loaded = m_notices.load();
    EXPECT_TRUE(loaded.on);
    EXPECT_EQ(loaded.state, NoticeFileState::Stored);

    // Written by hand, read by the program.
    m_dir.write("avisering.it", Bytes{0x00, 0x00});
    EXPECT_FALSE(m_notices.load().on);
    m_dir.write("avisering.it", Bytes{0xFF, 0xFF});
    EXPECT_TRUE(m_notices.load().on);
}

TEST_F(NoticeSettingsTest, AnyOtherBytesAreDamagedReadAsOnAndKept) {
    struct Case {
        const char* what;
        Bytes bytes;
    };
    const Case cases[] = {
        {"empty", Bytes{}},
        {"one byte 0", Bytes{0x00}},
        {"one byte 0xFF", Bytes{0xFF}},
        {"three bytes, off and one more", Bytes{0x00, 0x00, 0x00}},
        {"three bytes, on and one more", Bytes{0xFF, 0xFF, 0x00}},
        {"1, not -1", Bytes{0x01, 0x00}},
        {"0xFF00 is -256", Bytes{0x00, 0xFF}},
        {"0x00FF is 255", Bytes{0xFF, 0x00}},
        {"the 2 h allowance", Bytes{0x20, 0x1C}},
        {"ten kilobytes of zeros", Bytes(10240, 0x00)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_dir.write("avisering.it", c.bytes);
        const auto loaded = m_notices.load();
        EXPECT_TRUE(loaded.on);
        EXPECT_EQ(loaded.state, NoticeFileState::Damaged);
        EXPECT_FALSE(m_notices.store(false));
        EXPECT_FALSE(m_notices.store(true));
        EXPECT_EQ(m_dir.read("avisering.it"), c.bytes);
    }
}

TEST_F(NoticeSettingsTest, ASymbolicLinkIsDamagedAndNeitherFollowedNorReplaced) {
    testing_support::TempDir elsewhere;
    elsewhere.write("real.it", Bytes{0x00, 0x00}); // would read as off if followed
    fs::create_symlink(elsewhere.file("real.it"), m_dir.file("avisering.it"));

    const auto loaded = m_notices.load();
    EXPECT_TRUE(loaded.on);
    EXPECT_EQ(loaded.state, NoticeFileState::Damaged);
    EXPECT_FALSE(m_notices.store(true));
    EXPECT_TRUE(fs::is_symlink(m_dir.file("avisering.it")));
    EXPECT_EQ(elsewhere.read("real.it"), (Bytes{0x00, 0x00}));

    // A link to nothing is no missing file either.
    fs::remove(m_dir.file("avisering.it"));
    fs::create_symlink(elsewhere.file("none.it"), m_dir.file("avisering.it"));
    EXPECT_EQ(m_notices.load().state, NoticeFileState::Damaged);
    EXPECT_FALSE(m_notices.store(false));
    EXPECT_FALSE(elsewhere.exists("none.it"));
    EXPECT_TRUE(fs::is_symlink(m_dir.file("avisering.it")));
}

TEST_F(NoticeSettingsTest, AFolderOrAFifoIsDamaged) {
    fs::create_directory(m_dir.file("avisering.it"));
    auto loaded = m_notices.load();
    EXPECT_TRUE(loaded.on);
    EXPECT_EQ(loaded.state, NoticeFileState::Damaged);
    EXPECT_FALSE(m_notices.store(false));
    EXPECT_TRUE(fs::is_directory(m_dir.file("avisering.it")));

    fs::remove(m_dir.file("avisering.it"));
    ASSERT_EQ(::mkfifo(m_dir.file("avisering.it").c_str(), 0600), 0);
    loaded = m_notices.load(); // must not wait for a writer
    EXPECT_TRUE(loaded.on);
    EXPECT_EQ(loaded.state, NoticeFileState::Damaged);
    EXPECT_FALSE(m_notices.store(false));
    EXPECT_TRUE(fs::is_fifo(m_dir.file("avisering.it")));
}

TEST_F(NoticeSettingsTest, AFileThatCannotBeReadIsOnAndNotWrittenOver) {
    m_dir.write("avisering.it", Bytes{0x00, 0x00});
    platform::fakes::FaultyFileSystem faulty(m_files);
    storage::NoticeSettings notices(faulty);

    faulty.failAt(1, platform::fakes::FaultyFileSystem::Mode::Once); // the read
    const auto loaded = notices.load();
    EXPECT_TRUE(loaded.on);
    EXPECT_EQ(loaded.state, NoticeFileState::Unreadable);

    faulty.failAt(1, platform::fakes::FaultyFileSystem::Mode::Once); // the read before the write
    EXPECT_FALSE(notices.store(true));
    EXPECT_EQ(faulty.changeRequests(), 0);
    EXPECT_EQ(m_dir.read("avisering.it"), (Bytes{0x00, 0x00}));
}

TEST_F(NoticeSettingsTest, AFailedWriteIsReportedAndLeavesTheOldFile) {
    m_dir.write("avisering.it", Bytes{0xFF, 0xFF});
    platform::fakes::FaultyFileSystem faulty(m_files);
    storage::NoticeSettings notices(faulty);
    faulty.failAt(1, platform::fakes::FaultyFileSystem::Mode::Once, true); // the first change
    EXPECT_FALSE(notices.store(false));
    EXPECT_EQ(m_dir.read("avisering.it"), (Bytes{0xFF, 0xFF}));
}

TEST(DecodeNoticeSetting, OnlyTrueAndFalseInTwoBytes) {
    EXPECT_EQ(storage::decodeNoticeSetting(Bytes{0xFF, 0xFF}), std::optional<bool>(true));
    EXPECT_EQ(storage::decodeNoticeSetting(Bytes{0x00, 0x00}), std::optional<bool>(false));
    EXPECT_EQ(storage::decodeNoticeSetting(Bytes{0xFE, 0xFF}), std::nullopt); // -2
    EXPECT_EQ(storage::decodeNoticeSetting(Bytes{0xFF}), std::nullopt);
    EXPECT_EQ(storage::decodeNoticeSetting(Bytes{}), std::nullopt);
    EXPECT_EQ(storage::decodeNoticeSetting(Bytes{0xFF, 0xFF, 0xFF}), std::nullopt);
}
