#include "core/plan_comparison.h"
#include "platform/posix_file_system.h"
#include "storage/range_totals.h"
#include "support/fakes/faulty_file_system.h"
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

TEST_F(RangeTotalsTest, TheDaysSummedComeBackInOrderForThePlanComparison) {
    // 15 November 2001 to 10 January 2002 on 2 h / dygn; December has no file. 14 November lies
    // before the range; 5 January has no connected time (its other fields are left over) and
    // 11 January lies after the range.
    m_dir.write("0111.tid", monthFileBytes({{14, dayRecordBytes(5000, 0, 0.0f, 14)},
                                            {15, dayRecordBytes(3600, 0, 0.0f, 15)},
                                            {20, dayRecordBytes(9000, 1800, 340.0f, 20)}}));
    m_dir.write("0201.tid", monthFileBytes({{5, dayRecordBytes(0, 50, 10.0f, 5)},
                                            {10, dayRecordBytes(10800, 3600, 640.0f, 10)},
                                            {11, dayRecordBytes(20000, 0, 0.0f, 11)}}));
    const auto totals = storage::sumRange(m_files, Date{2001, 11, 15}, Date{2002, 1, 10}, 7200);
    ASSERT_TRUE(totals);
    EXPECT_EQ(totals->dayConnectedSeconds, (std::vector<std::int32_t>{3600, 9000, 10800}));
    EXPECT_EQ(totals->sums.costOre, 340.0f + 640.0f);
    EXPECT_FALSE(m_dir.exists("0112.tid"));
    EXPECT_EQ(m_files.changeRequests(), 0);

    const auto texts = core::planComparisonTexts(
        core::comparePlans(*totals, Date{2001, 11, 15}, Date{2002, 1, 10}, 7200));
    // Fees: 16 / 30 of November's, all December's, 10 / 31 of January's. 1 h: 9000 − 3600 =
    // 5400 s, 900 + 40 = 940 öre; 10800 − 3600 = 7200 s, 1200 + 40 = 1240 öre; 2180 + 7733,33 +
    // 14500 + 4677,42 = 29090,75. 2 h: the booked 980 öre + 13066,67 + 24500 + 7903,23 =
    // 46449,89. 8 h: no day past 28800 s: 31733,33 + 59500 + 19193,55 = 110426,88.
    EXPECT_EQ(texts, (std::array<std::string, 3>{"1 h / dygn: 290,91 kr (uppskattat) (billigast)",
                                                 "2 h / dygn: 464,50 kr",
                                                 "8 h / dygn: 1104,27 kr (uppskattat)"}));
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

TEST_F(RangeTotalsTest, EachMonthBoundaryAddsTheFeeOfTheMonthItEnters) {
    // 1 h until January 2002, 8 h from February, 2 h from March: 15 January to 10 March crosses
    // into February (595 kr) and into March (245 kr).
    const core::PlanSchedule plans({{2001, 1, 3600}, {2002, 2, 28800}, {2002, 3, 7200}});
    const auto totals = storage::sumRange(m_files, {2002, 1, 15}, {2002, 3, 10}, plans);
    ASSERT_TRUE(totals);
    EXPECT_EQ(totals->monthBoundaries, 2);
    EXPECT_EQ(totals->feesKronor, 595 + 245);
    EXPECT_EQ(core::rangeTexts(*totals).total,
              "Total kosttnad: 840,00 kr\n(Fasta kostnaden uppräknas varje hel månad.)");
}
