#include "platform/posix_file_system.h"
#include "storage/month_file.h"
#include "support/temp_dir.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

using Bytes = std::vector<std::uint8_t>;
using core::DayRecord;

namespace {

class MonthFileTest : public ::testing::Test {
protected:
    testing_support::TempDir m_dir;
    platform::PosixFileSystem m_files{m_dir.path()};
};

DayRecord booked(std::int16_t dayNumber) {
    DayRecord record;
    record.extraCost = 190.0f;
    record.connectedSeconds = 4260;
    record.extraSeconds = 660;
    record.dayNumber = dayNumber;
    record.overAllowance = -1;
    return record;
}

// 190.0f is 0x433E0000; 4260 is 0x10A4; 660 is 0x0294.
Bytes bookedBytes(std::uint8_t dayNumber) {
    return Bytes{0x00, 0x00, 0x3E, 0x43, 0xA4,      0x10, 0x00, 0x00,
                 0x94, 0x02, 0x00, 0x00, dayNumber, 0x00, 0xFF, 0xFF};
}

} // namespace

TEST(MonthFileNames, YearMonthAndExtension) {
    EXPECT_EQ(storage::monthFileName("01", "12"), "0112.tid");
    EXPECT_EQ(storage::monthFileName("02", "03"), "0203.tid");
    EXPECT_EQ(storage::monthBackupName("01", "12"), "0112.tmp");
    EXPECT_EQ(storage::monthFileName("1", "3").size(), 8u);
}

TEST(DayRecordLayout, EncodesLittleEndianFieldsAtTheirOffsets) {
    const auto bytes = storage::encodeDayRecord(booked(5));
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), bookedBytes(5));
    const DayRecord back = storage::decodeDayRecord(bytes);
    EXPECT_EQ(back, booked(5));
}

TEST(DayRecordLayout, ShortAndLongFilesDecodeWithoutReadingPastTheirBytes) {
    Bytes cut = bookedBytes(1);
    cut.resize(6); // the connected seconds lose their high bytes
    const auto days = storage::decodeMonth(cut);
    EXPECT_EQ(days[0].extraCost, 190.0f);
    EXPECT_EQ(days[0].connectedSeconds, 0x10A4);
    EXPECT_EQ(days[0].extraSeconds, 0);
    EXPECT_EQ(days[1], DayRecord{});

    Bytes huge(16 * 40, 0xFF);
    const auto many = storage::decodeMonth(huge);
    EXPECT_EQ(many[30].connectedSeconds, -1);
    EXPECT_TRUE(std::isnan(many[30].extraCost));
}

TEST_F(MonthFileTest, WritingADayGrowsTheFileWithEmptyRecords) {
    ASSERT_TRUE(storage::writeDay(m_files, "0112.tid", 20, booked(20)));
    const Bytes file = m_dir.read("0112.tid");
    ASSERT_EQ(file.size(), 320u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 304), Bytes(304, 0));
    EXPECT_EQ(Bytes(file.begin() + 304, file.end()), bookedBytes(20));

    ASSERT_TRUE(storage::writeDay(m_files, "0112.tid", 3, booked(3)));
    EXPECT_EQ(m_dir.read("0112.tid").size(), 320u);
    ASSERT_TRUE(storage::writeDay(m_files, "0201.tid", 31, booked(31)));
    EXPECT_EQ(m_dir.read("0201.tid").size(), 496u);

    EXPECT_FALSE(storage::writeDay(m_files, "0112.tid", 0, booked(0)));
    EXPECT_FALSE(storage::writeDay(m_files, "0112.tid", 32, booked(32)));
}

TEST_F(MonthFileTest, ReadingDaysBeforeWithinAndBeyondTheFile) {
    ASSERT_TRUE(storage::writeDay(m_files, "0112.tid", 20, booked(20)));
    EXPECT_EQ(storage::readDay(m_files, "0112.tid", 20), booked(20));
    EXPECT_EQ(storage::readDay(m_files, "0112.tid", 19), DayRecord{});
    EXPECT_EQ(storage::readDay(m_files, "0112.tid", 31), DayRecord{});
    EXPECT_EQ(m_dir.read("0112.tid").size(), 320u); // reading past the end changes nothing
    EXPECT_FALSE(storage::readDay(m_files, "0111.tid", 1));
    EXPECT_FALSE(m_dir.exists("0111.tid"));
}

TEST_F(MonthFileTest, TheStatesOfAMonth) {
    EXPECT_EQ(storage::readMonth(m_files, "0112.tid").state, storage::MonthState::NoFile);
    EXPECT_FALSE(m_dir.exists("0112.tid"));

    m_dir.write("0112.tid", {});
    EXPECT_EQ(storage::readMonth(m_files, "0112.tid").state, storage::MonthState::Empty);

    m_dir.write("0112.tid", bookedBytes(1));
    const auto read = storage::readMonth(m_files, "0112.tid");
    EXPECT_TRUE(read.hasRecords());
    EXPECT_EQ(read.days[0], booked(1));
    EXPECT_EQ(read.days[1], DayRecord{});

    // Something that is there but cannot be read is not taken for a missing month.
    std::filesystem::create_directory(m_dir.file("0110.tid"));
    EXPECT_EQ(storage::readMonth(m_files, "0110.tid").state, storage::MonthState::Unreadable);
    EXPECT_EQ(storage::monthState(m_files, "0112.tid"), storage::MonthState::HasRecords);

    // The extension is lower case: an upper-case name is another file.
    m_dir.write("0111.TID", bookedBytes(1));
    EXPECT_EQ(storage::readMonth(m_files, "0111.tid").state, storage::MonthState::NoFile);
}

TEST_F(MonthFileTest, RecordsRunToTheLastRecordTheFileHolds) {
    EXPECT_EQ(storage::readMonth(m_files, "0112.tid").records().size(), 0u);
    m_dir.write("0112.tid", {});
    EXPECT_EQ(storage::readMonth(m_files, "0112.tid").records().size(), 0u);

    ASSERT_TRUE(storage::writeDay(m_files, "0112.tid", 12, booked(12)));
    auto read = storage::readMonth(m_files, "0112.tid");
    ASSERT_EQ(read.records().size(), 12u);
    EXPECT_EQ(read.records().back(), booked(12));
    EXPECT_EQ(read.records().front(), DayRecord{});

    // A record cut short counts as a record of the file, its missing bytes read as zero.
    Bytes cut = m_dir.read("0112.tid");
    cut.resize(cut.size() + 6, 0x01);
    m_dir.write("0112.tid", cut);
    read = storage::readMonth(m_files, "0112.tid");
    ASSERT_EQ(read.records().size(), 13u);
    EXPECT_EQ(read.records().back().connectedSeconds, 0x0101);

    // Record numbers above 31 are never used.
    m_dir.write("0112.tid", Bytes(16 * 40, 0));
    EXPECT_EQ(storage::readMonth(m_files, "0112.tid").records().size(), 31u);
}
