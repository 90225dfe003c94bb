#include "platform/fakes/faulty_file_system.h"
#include "platform/posix_file_system.h"
#include "storage/range_totals.h"
#include "support/month_bytes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

using Bytes = std::vector<std::uint8_t>;
using core::Date;

namespace {

Bytes record(std::int32_t connected, std::int32_t extra, float costOre, std::int16_t day) {
    return testing_support::dayRecordBytes(connected, extra, costOre, day);
}

Bytes monthFile(const std::map<int, Bytes>& days) {
    return testing_support::monthFileBytes(days);
}

class RangeTotalsTest : public ::testing::Test {
protected:
    testing_support::TempDir m_dir;
    platform::PosixFileSystem m_posix{m_dir.path()};
    // Counts what is asked of the real folder.
    platform::fakes::FaultyFileSystem m_files{m_posix};
};

} // namespace

TEST_F(RangeTotalsTest, AYearEndRangeReadsTheRightDaysOfEachMonth) {
    const Bytes november = monthFile({{14, record(1000, 500, 900.0f, 14)},
                                      {15, record(3600, 0, 0.0f, 15)},
                                      {31, record(7260, 60, 50.0f, 31)}});
    const Bytes december =
        monthFile({{1, record(100, 0, 0.0f, 1)}, {31, record(9000, 1800, 340.0f, 31)}});
    const Bytes january =
        monthFile({{10, record(45, 0, 0.0f, 10)}, {11, record(5000, 2000, 400.0f, 11)}});
    m_dir.write("0111.tid", november);
    m_dir.write("0112.tid", december);
    m_dir.write("0201.tid", january);

    const auto totals = storage::sumRange(m_files, Date{2001, 11, 15}, Date{2002, 1, 10}, 7200);
    ASSERT_TRUE(totals);
    EXPECT_EQ(totals->sums.connectedSeconds, 3600 + 7260 + 100 + 9000 + 45);
    EXPECT_EQ(totals->sums.extraSeconds, 60 + 1800);
    EXPECT_EQ(totals->sums.costOre, 390.0f);
    EXPECT_EQ(totals->monthBoundaries, 2);
    EXPECT_EQ(totals->feeKronor, 245);
    EXPECT_EQ(core::rangeTexts(*totals).total,
              "Total kosttnad: 493,90 kr\n(Fasta kostnaden uppräknas varje hel månad.)");

    // Each file is read once and nothing is written.
    for (const char* name : {"0111.tid", "0112.tid", "0201.tid"}) {
        EXPECT_EQ(m_files.readsOf(name), 1) << name;
    }
    EXPECT_EQ(m_files.changeRequests(), 0);
    EXPECT_EQ(m_dir.read("0111.tid"), november);
    EXPECT_EQ(m_dir.read("0112.tid"), december);
    EXPECT_EQ(m_dir.read("0201.tid"), january);
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"0111.tid", "0112.tid", "0201.tid"}));
}

TEST_F(RangeTotalsTest, MissingMonthsStayMissingAndEmptyFilesInTheRangeGo) {
    m_dir.write("0112.tid", {}); // in the range, empty
    m_dir.write("0202.tid", {}); // after the range, empty
    m_dir.write("0201.tid", monthFile({{3, record(120, 0, 0.0f, 3)}}));
    const auto totals = storage::sumRange(m_files, Date{2001, 11, 15}, Date{2002, 1, 10}, 3600);
    ASSERT_TRUE(totals);
    EXPECT_EQ(totals->sums.connectedSeconds, 120);
    EXPECT_FALSE(m_dir.exists("0111.tid"));
    EXPECT_FALSE(m_dir.exists("0112.tid"));
    EXPECT_TRUE(m_dir.exists("0202.tid"));
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"0201.tid", "0202.tid"}));
    EXPECT_EQ(m_files.changeRequests(), 1); // the empty file in the range, deleted
}

TEST_F(RangeTotalsTest, DaysWithoutConnectedTimeAndDaysPastTheEndAddNothing) {
    // Day 2 has extra time and a cost but no connected time; the file ends with day 5.
    m_dir.write("0104.tid", monthFile({{2, record(0, 500, 99.0f, 2)},
                                       {4, record(300, 0, 0.0f, 4)},
                                       {5, Bytes(16, 0)}}));
    const auto totals = storage::sumRange(m_files, Date{2001, 4, 1}, Date{2001, 4, 30}, 28800);
    ASSERT_TRUE(totals);
    EXPECT_EQ(totals->sums.connectedSeconds, 300);
    EXPECT_EQ(totals->sums.extraSeconds, 0);
    EXPECT_EQ(totals->sums.costOre, 0.0f);
    EXPECT_EQ(totals->feeKronor, 595);
}

TEST_F(RangeTotalsTest, DaysAfterTheEndOfAShortMonthAreReadLikeAnyOther) {
    // A hand-made February file with records for days 29 to 31.
    m_dir.write("0102.tid", monthFile({{28, record(28, 0, 0.0f, 28)},
                                       {29, record(29, 0, 0.0f, 29)},
                                       {31, record(31, 0, 0.0f, 31)}}));
    const auto totals = storage::sumRange(m_files, Date{2001, 2, 28}, Date{2001, 3, 1}, 3600);
    ASSERT_TRUE(totals);
    EXPECT_EQ(totals->sums.connectedSeconds, 28 + 29 + 31);
    EXPECT_FALSE(m_dir.exists("0103.tid"));
}

TEST_F(RangeTotalsTest, ARefusedRangeTouchesNoFile) {
    m_dir.write("0303.tid", {});
    EXPECT_FALSE(storage::sumRange(m_files, Date{2003, 3, 1}, Date{2004, 3, 1}, 3600));
    EXPECT_FALSE(storage::sumRange(m_files, Date{2099, 1, 1}, Date{2001, 1, 1}, 3600));
    EXPECT_FALSE(storage::sumRange(m_files, Date{2001, 2, 29}, Date{2001, 3, 1}, 3600));
    EXPECT_TRUE(m_files.log().empty());
    EXPECT_TRUE(m_dir.exists("0303.tid"));
}
