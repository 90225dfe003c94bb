// Month files on a real folder: the record layout byte for byte, how a day's write grows a file,
// the states a month is found in, and the sums over a range of months.

#include "platform/posix_file_system.h"
#include "storage/month_file.h"
#include "storage/range_totals.h"
#include "support/fakes/faulty_file_system.h"
#include "support/month_bytes.h"
#include "support/temp_dir.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

using Bytes = std::vector<std::uint8_t>;
using core::Date;
using core::DayRecord;
using storage::MonthState;
using testing_support::dayRecordBytes;
using testing_support::monthFileBytes;

namespace {

struct MonthFileTest : ::testing::Test {
    testing_support::TempDir m_dir;
    platform::PosixFileSystem m_posix{m_dir.path()};
    platform::fakes::FaultyFileSystem m_files{m_posix}; // counts what is asked of the folder
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
    EXPECT_TRUE(std::isnan(storage::decodeMonth(Bytes(16 * 40, 0xFF))[30].extraCost));
}

TEST_F(MonthFileTest, WritingADayGrowsTheFileWithEmptyRecordsAndNeverShrinksIt) {
    ASSERT_TRUE(storage::writeDay(m_files, "0112.tid", 20, booked(20)));
    ASSERT_TRUE(storage::writeDay(m_files, "0112.tid", 3, booked(3)));
    EXPECT_FALSE(storage::writeDay(m_files, "0112.tid", 0, booked(0)));
    EXPECT_FALSE(storage::writeDay(m_files, "0112.tid", 32, booked(32)));
    EXPECT_EQ(storage::readDay(m_files, "0112.tid", 20), booked(20));
    EXPECT_EQ(storage::readDay(m_files, "0112.tid", 31), DayRecord{});
    EXPECT_EQ(m_dir.read("0112.tid"), monthFileBytes({{3, bookedBytes(3)}, {20, bookedBytes(20)}}));
    EXPECT_FALSE(storage::readDay(m_files, "0111.tid", 1));
    EXPECT_EQ(m_dir.names(), std::vector<std::string>{"0112.tid"});
}

TEST_F(MonthFileTest, TheStatesOfAMonthAndItsRecords) {
    EXPECT_EQ(storage::readMonth(m_files, "0112.tid").state, MonthState::NoFile);
    m_dir.write("0112.tid", {});
    EXPECT_EQ(storage::readMonth(m_files, "0112.tid").state, MonthState::Empty);
    // A record cut short counts as a record of the file, its missing bytes read as zero.
    Bytes file = bookedBytes(1);
    file.resize(22, 0x01);
    m_dir.write("0112.tid", file);
    const auto read = storage::readMonth(m_files, "0112.tid");
    EXPECT_EQ(read.state, MonthState::HasRecords);
    ASSERT_EQ(read.records().size(), 2u);
    EXPECT_EQ(read.records()[1].connectedSeconds, 0x0101);
    // 496 bytes are 31 whole records; one byte more is no month file the program wrote.
    Bytes full = monthFileBytes({{31, bookedBytes(31)}});
    m_dir.write("0112.tid", full);
    EXPECT_EQ(storage::monthState(m_files, "0112.tid"), MonthState::HasRecords);
    EXPECT_EQ(storage::readMonth(m_files, "0112.tid").records().size(), 31u);
    ASSERT_TRUE(storage::writeDay(m_files, "0112.tid", 31, booked(31)));
    full.push_back(0);
    m_dir.write("0112.tid", full);
    std::filesystem::create_directory(m_dir.file("0110.tid"));
    for (const char* damaged : {"0112.tid", "0110.tid"}) {
        EXPECT_EQ(storage::readMonth(m_files, damaged).state, MonthState::Damaged) << damaged;
        EXPECT_EQ(storage::monthState(m_files, damaged), MonthState::Damaged) << damaged;
        EXPECT_FALSE(storage::readDay(m_files, damaged, 1) ||
                     storage::writeDay(m_files, damaged, 1, booked(1)));
    }
    EXPECT_EQ(m_dir.read("0112.tid"), full);
    // A file that is there but cannot be read is not taken for a missing or damaged one.
    m_dir.write("0112.tid", bookedBytes(1));
    m_files.failAt(1, platform::fakes::FaultyFileSystem::Mode::Once);
    EXPECT_EQ(storage::readMonth(m_files, "0112.tid").state, MonthState::Unreadable);
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"0110.tid", "0112.tid"}));
}

TEST_F(MonthFileTest, ARangeSumsItsOwnDaysOfEachMonthReadOnceAndTakesAwayEmptyFiles) {
    // 15 November 2001 to 10 January 2002: 14 November and 11 January lie outside; 5 January has
    // no connected time (its other fields are left over); December's file is empty.
    m_dir.write("0111.tid", monthFileBytes({{14, dayRecordBytes(1000, 500, 900.0f, 14)},
                                            {15, dayRecordBytes(3600, 0, 0.0f, 15)},
                                            {30, dayRecordBytes(7260, 60, 50.0f, 30)}}));
    m_dir.write("0112.tid", {});
    m_dir.write("0201.tid", monthFileBytes({{5, dayRecordBytes(0, 50, 10.0f, 5)},
                                            {10, dayRecordBytes(9000, 1800, 340.0f, 10)},
                                            {11, dayRecordBytes(5000, 2000, 400.0f, 11)}}));
    m_dir.write("0202.tid", {}); // after the range
    const auto totals = storage::sumRange(m_files, Date{2001, 11, 15}, Date{2002, 1, 10}, 7200);
    ASSERT_TRUE(totals);
    EXPECT_EQ(totals->sums.connectedSeconds, 3600 + 7260 + 9000);
    EXPECT_EQ(totals->sums.extraSeconds, 60 + 1800);
    EXPECT_EQ(totals->sums.costOre, 50.0f + 340.0f);
    EXPECT_EQ(totals->dayConnectedSeconds, (std::vector<std::int32_t>{3600, 7260, 9000}));
    EXPECT_EQ(totals->monthBoundaries, 2);
    EXPECT_EQ(totals->feeKronor, 245);
    for (const char* name : {"0111.tid", "0112.tid", "0201.tid"}) {
        EXPECT_EQ(m_files.readsOf(name), 1) << name;
    }
    EXPECT_EQ(m_files.changeRequests(), 1); // the empty file in the range, deleted
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"0111.tid", "0201.tid", "0202.tid"}));
    // A range longer than a year is refused before any file is touched.
    EXPECT_FALSE(storage::sumRange(m_files, Date{2002, 2, 1}, Date{2003, 2, 2}, 3600));
    EXPECT_EQ(m_files.changeRequests(), 1);
    EXPECT_TRUE(m_dir.exists("0202.tid"));
}

TEST_F(MonthFileTest, EachMonthBoundaryAddsTheFeeOfTheMonthItEnters) {
    // 1 h until January 2002, 8 h from February, 2 h from March: 15 January to 10 March crosses
    // into February (595 kr) and into March (245 kr).
    const core::PlanSchedule plans({{2001, 1, 3600}, {2002, 2, 28800}, {2002, 3, 7200}});
    const auto totals = storage::sumRange(m_files, {2002, 1, 15}, {2002, 3, 10}, plans);
    ASSERT_TRUE(totals);
    EXPECT_EQ(totals->monthBoundaries, 2);
    EXPECT_EQ(totals->feesKronor, 595 + 245);
}
