#include "platform/posix_file_system.h"
#include "storage/month_file.h"
#include "support/temp_dir.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using Bytes = std::vector<std::uint8_t>;
using core::DayRecord;
using storage::MonthState;

namespace {

class MonthFileTest : public ::testing::Test {
protected:
    testing_support::TempDir m_dir;
    platform::PosixFileSystem m_files{m_dir.path()};
};

DayRecord booked(std::int16_t dayNumber) {
    return DayRecord{190.0f, 4260, 660, dayNumber, -1};
}

// 190.0f is 0x433E0000; 4260 is 0x10A4; 660 is 0x0294; the over-allowance flag -1.
Bytes bookedBytes(std::uint8_t dayNumber) {
    return Bytes{0x00, 0x00, 0x3E, 0x43, 0xA4,      0x10, 0x00, 0x00,
                 0x94, 0x02, 0x00, 0x00, dayNumber, 0x00, 0xFF, 0xFF};
}

} // namespace

TEST(MonthFile, NamesAndRecordLayout) {
    EXPECT_EQ(storage::monthFileName("01", "12"), "0112.tid");
    EXPECT_EQ(storage::monthBackupName("02", "03"), "0203.tmp");
    const auto bytes = storage::encodeDayRecord(booked(5));
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), bookedBytes(5));

    // A record cut short keeps the bytes it has; a longer file gives its first 31 records.
    const auto cut = storage::decodeMonth(Bytes{0x00, 0x00, 0x3E, 0x43, 0xA4, 0x10});
    EXPECT_EQ(cut[0], (DayRecord{190.0f, 0x10A4, 0, 0, 0}));
    const auto many = storage::decodeMonth(Bytes(16 * 40, 0xFF));
    EXPECT_TRUE(std::isnan(many[30].extraCost));
}

TEST_F(MonthFileTest, WritingADayGrowsTheFileWithEmptyRecordsAndNeverShrinksIt) {
    ASSERT_TRUE(storage::writeDay(m_files, "0112.tid", 20, booked(20)));
    Bytes expected(320, 0);
    const Bytes day20 = bookedBytes(20), day3 = bookedBytes(3);
    std::copy(day20.begin(), day20.end(), expected.begin() + 304);
    EXPECT_EQ(m_dir.read("0112.tid"), expected);

    ASSERT_TRUE(storage::writeDay(m_files, "0112.tid", 3, booked(3)));
    std::copy(day3.begin(), day3.end(), expected.begin() + 32);
    EXPECT_FALSE(storage::writeDay(m_files, "0112.tid", 0, booked(0)));
    EXPECT_FALSE(storage::writeDay(m_files, "0112.tid", 32, booked(32)));
    EXPECT_EQ(storage::readDay(m_files, "0112.tid", 20), booked(20));
    EXPECT_EQ(storage::readDay(m_files, "0112.tid", 31), DayRecord{});
    EXPECT_EQ(m_dir.read("0112.tid"), expected); // reading past the end changes nothing
    EXPECT_FALSE(storage::readDay(m_files, "0111.tid", 1));
    EXPECT_FALSE(m_dir.exists("0111.tid"));
}

TEST_F(MonthFileTest, TheStatesOfAMonthAndItsRecords) {
    EXPECT_EQ(storage::readMonth(m_files, "0112.tid").state, MonthState::NoFile);
    EXPECT_FALSE(m_dir.exists("0112.tid"));
    m_dir.write("0112.tid", {});
    EXPECT_EQ(storage::readMonth(m_files, "0112.tid").state, MonthState::Empty);

    // A record cut short counts as a record of the file, its missing bytes read as zero.
    Bytes file = bookedBytes(1);
    file.resize(22, 0x01);
    m_dir.write("0112.tid", file);
    const auto read = storage::readMonth(m_files, "0112.tid");
    EXPECT_EQ(read.state, MonthState::HasRecords);
    ASSERT_EQ(read.records().size(), 2u);
    EXPECT_EQ(read.records()[0], booked(1));
    EXPECT_EQ(read.records()[1].connectedSeconds, 0x0101);
    m_dir.write("0112.tid", Bytes(16 * 31, 0));
    EXPECT_EQ(storage::readMonth(m_files, "0112.tid").records().size(), 31u);

    // Something that is there but is no file is not taken for a missing month.
    std::filesystem::create_directory(m_dir.file("0110.tid"));
    EXPECT_EQ(storage::readMonth(m_files, "0110.tid").state, MonthState::Damaged);
    EXPECT_EQ(storage::monthState(m_files, "0110.tid"), MonthState::Damaged);
    EXPECT_EQ(storage::monthState(m_files, "0112.tid"), MonthState::HasRecords);
    // The extension is lower case: an upper-case name is another file.
    m_dir.write("0111.TID", bookedBytes(1));
    EXPECT_EQ(storage::readMonth(m_files, "0111.tid").state, MonthState::NoFile);
}

TEST_F(MonthFileTest, AFileLongerThan31RecordsIsDamagedAndNeverWritten) {
    // 496 bytes are 31 whole records; one byte more is no month file the program wrote.
    Bytes full(496, 0);
    const Bytes day31 = bookedBytes(31);
    std::copy(day31.begin(), day31.end(), full.begin() + 480);
    m_dir.write("0112.tid", full);
    EXPECT_EQ(storage::monthState(m_files, "0112.tid"), MonthState::HasRecords);
    EXPECT_EQ(storage::readDay(m_files, "0112.tid", 31), booked(31));
    ASSERT_TRUE(storage::writeDay(m_files, "0112.tid", 31, booked(31)));
    EXPECT_EQ(m_dir.read("0112.tid"), full);

    for (const std::size_t length : {std::size_t{497}, std::size_t{1} << 20}) {
        SCOPED_TRACE(length);
        Bytes tooLong = full;
        tooLong.resize(length, 0x01);
        m_dir.write("0112.tid", tooLong);
        const auto read = storage::readMonth(m_files, "0112.tid");
        EXPECT_EQ(read.state, MonthState::Damaged);
        EXPECT_FALSE(read.hasRecords());
        EXPECT_TRUE(read.records().empty());
        EXPECT_EQ(storage::monthState(m_files, "0112.tid"), MonthState::Damaged);
        EXPECT_FALSE(storage::readDay(m_files, "0112.tid", 31));
        EXPECT_FALSE(storage::writeDay(m_files, "0112.tid", 1, booked(1)));
        EXPECT_EQ(m_dir.read("0112.tid"), tooLong);
    }
    EXPECT_EQ(m_dir.names(), std::vector<std::string>{"0112.tid"}); // no copy left behind
}

TEST_F(MonthFileTest, ALinkIsDamagedAndNeverFollowed) {
    namespace fs = std::filesystem;
    testing_support::TempDir elsewhere;
    elsewhere.write("real.tid", bookedBytes(1));
    fs::create_symlink(elsewhere.file("real.tid"), m_dir.file("0112.tid"));
    EXPECT_EQ(storage::readMonth(m_files, "0112.tid").state, MonthState::Damaged);
    EXPECT_EQ(storage::monthState(m_files, "0112.tid"), MonthState::Damaged);
    EXPECT_FALSE(storage::readDay(m_files, "0112.tid", 1));
    EXPECT_FALSE(storage::writeDay(m_files, "0112.tid", 2, booked(2)));
    EXPECT_TRUE(fs::is_symlink(m_dir.file("0112.tid")));
    EXPECT_EQ(elsewhere.read("real.tid"), bookedBytes(1));

    // A dangling link is no missing month: a booking makes no file where it points.
    fs::create_symlink(elsewhere.file("new.tid"), m_dir.file("0111.tid"));
    EXPECT_EQ(storage::readMonth(m_files, "0111.tid").state, MonthState::Damaged);
    EXPECT_FALSE(storage::writeDay(m_files, "0111.tid", 1, booked(1)));
    EXPECT_FALSE(elsewhere.exists("new.tid"));
    EXPECT_TRUE(fs::is_symlink(m_dir.file("0111.tid")));
}

TEST_F(MonthFileTest, AFileThatCannotBeReadIsUnreadableNotDamaged) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    m_dir.write("0112.tid", bookedBytes(1));
    std::filesystem::permissions(m_dir.file("0112.tid"), std::filesystem::perms::none);
    EXPECT_EQ(storage::readMonth(m_files, "0112.tid").state, MonthState::Unreadable);
    EXPECT_FALSE(storage::readDay(m_files, "0112.tid", 1));
    EXPECT_FALSE(storage::writeDay(m_files, "0112.tid", 2, booked(2)));
    std::filesystem::permissions(m_dir.file("0112.tid"), std::filesystem::perms::owner_read);
    EXPECT_EQ(m_dir.read("0112.tid"), bookedBytes(1));
}
