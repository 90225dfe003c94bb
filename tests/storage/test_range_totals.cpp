#include "platform/fakes/faulty_file_system.h"
#include "platform/posix_file_system.h"
#include "storage/range_totals.h"
#include "support/month_bytes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using core::Date;
using testing_support::dayRecordBytes;
using testing_support::monthFileBytes;

namespace {

class RangeTotalsTest : public ::testing::Test {
protected:
    testing_support::TempDir m_dir;
    platform::PosixFileSystem m_posix{m_dir.path()};
    platform::fakes::FaultyFileSystem m_files{m_posix}; // counts what is asked of the real folder
};

} // namespace

TEST_F(RangeTotalsTest, AYearEndRangeReadsTheRightDaysOfEachMonthOnceAndWritesNothing) {
    m_dir.write("0111.tid", monthFileBytes({{14, dayRecordBytes(1000, 500, 900.0f, 14)},
                                            {15, dayRecordBytes(3600, 0, 0.0f, 15)},
                                            {31, dayRecordBytes(7260, 60, 50.0f, 31)}}));
    m_dir.write("0112.tid", monthFileBytes({{1, dayRecordBytes(100, 0, 0.0f, 1)},
                                            {31, dayRecordBytes(9000, 1800, 340.0f, 31)}}));
    m_dir.write("0201.tid", monthFileBytes({{10, dayRecordBytes(45, 0, 0.0f, 10)},
                                            {11, dayRecordBytes(5000, 2000, 400.0f, 11)}}));
    const auto totals = storage::sumRange(m_files, Date{2001, 11, 15}, Date{2002, 1, 10}, 7200);
    ASSERT_TRUE(totals);
    EXPECT_EQ(totals->sums.connectedSeconds, 3600 + 7260 + 100 + 9000 + 45);
    EXPECT_EQ(totals->sums.extraSeconds, 60 + 1800);
    EXPECT_EQ(totals->sums.costOre, 50.0f + 340.0f);
    EXPECT_EQ(totals->monthBoundaries, 2);
    EXPECT_EQ(totals->feeKronor, 245);
    for (const char* name : {"0111.tid", "0112.tid", "0201.tid"}) {
        EXPECT_EQ(m_files.readsOf(name), 1) << name;
    }
    EXPECT_EQ(m_files.changeRequests(), 0);
}

TEST_F(RangeTotalsTest, EmptyMonthFilesInTheRangeGoAndMissingOnesStayMissing) {
    m_dir.write("0112.tid", {}); // in the range
    m_dir.write("0202.tid", {}); // after it
    m_dir.write("0201.tid", monthFileBytes({{3, dayRecordBytes(120, 0, 0.0f, 3)}}));
    const auto totals = storage::sumRange(m_files, Date{2001, 11, 15}, Date{2002, 1, 10}, 3600);
    ASSERT_TRUE(totals);
    EXPECT_EQ(totals->sums.connectedSeconds, 120);
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"0201.tid", "0202.tid"}));
    EXPECT_EQ(m_files.changeRequests(), 1); // the empty file in the range, deleted
}

TEST_F(RangeTotalsTest, ARefusedRangeTouchesNoFile) {
    m_dir.write("0303.tid", {});
    EXPECT_FALSE(storage::sumRange(m_files, Date{2003, 3, 1}, Date{2004, 3, 1}, 3600));
    EXPECT_FALSE(storage::sumRange(m_files, Date{2099, 1, 1}, Date{2001, 1, 1}, 3600));
    EXPECT_FALSE(storage::sumRange(m_files, Date{2001, 2, 29}, Date{2001, 3, 1}, 3600));
    EXPECT_TRUE(m_files.log().empty());
    EXPECT_TRUE(m_dir.exists("0303.tid"));
}
