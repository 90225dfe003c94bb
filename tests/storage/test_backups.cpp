#include "platform/fakes/faulty_file_system.h"
#include "platform/posix_file_system.h"
#include "storage/backups.h"
#include "storage/booking.h"
#include "storage/month_file.h"
#include "support/month_bytes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <map>

using Bytes = std::vector<std::uint8_t>;
using platform::fakes::FaultyFileSystem;

namespace {

class BackupTest : public ::testing::Test {
protected:
    void book(int day, std::int32_t seconds) {
        ASSERT_TRUE(storage::bookTime(m_files, {"01", "12", day, seconds, 3600}).written());
    }
    Bytes month() const { return m_dir.read("0112.tid"); }

    testing_support::TempDir m_dir;
    platform::PosixFileSystem m_files{m_dir.path()};
};

// A month file holding the given days, each with that many seconds of connected time.
Bytes recordsAt(const std::vector<std::pair<int, int>>& days) {
    std::map<int, Bytes> records;
    for (const auto& [day, seconds] : days) {
        records[day] =
            testing_support::dayRecordBytes(seconds, 0, 0.0f, static_cast<std::int16_t>(day));
    }
    return testing_support::monthFileBytes(records);
}

} // namespace

// The swap, through the atomic exchange and through three renames.
class SwapTest : public BackupTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SwapTest, UndoRedoUndoAlternatesTheTwoFiles) {
    FaultyFileSystem files(m_files);
    files.exchangeUnsupported = GetParam();
    book(5, 100);
    const Bytes before = month();
    book(6, 100);
    const Bytes after = month();

    auto swap = storage::swapWithBackup(files, "0112.tid", "0112.tmp");
    EXPECT_TRUE(swap.swapped);
    EXPECT_EQ(swap.backupLength, static_cast<std::int64_t>(before.size()));
    EXPECT_EQ(month(), before);
    EXPECT_EQ(m_dir.read("0112.tmp"), after);
    EXPECT_TRUE(storage::swapWithBackup(files, "0112.tid", "0112.tmp").swapped);
    EXPECT_EQ(month(), after);
    EXPECT_TRUE(storage::swapWithBackup(files, "0112.tid", "0112.tmp").swapped);
    EXPECT_EQ(month(), before);
    EXPECT_FALSE(m_dir.exists("temp.tmp"));
}

TEST_P(SwapTest, FirstBookingUndoneLeavesAnEmptyMonth) {
    FaultyFileSystem files(m_files);
    files.exchangeUnsupported = GetParam();
    book(5, 100);
    const auto swap = storage::swapWithBackup(files, "0112.tid", "0112.tmp");
    EXPECT_TRUE(swap.swapped);
    EXPECT_EQ(swap.backupLength, 0);
    EXPECT_EQ(month(), Bytes{});
    EXPECT_EQ(m_dir.read("0112.tmp"), recordsAt({{5, 100}}));
}

TEST_P(SwapTest, AFailingStepLeavesBothFilesWhole) {
    book(5, 100);
    book(6, 100);
    const Bytes monthBytes = month();
    const Bytes backupBytes = m_dir.read("0112.tmp");
    for (const auto mode : {FaultyFileSystem::Mode::Once, FaultyFileSystem::Mode::FromThenOn}) {
        for (int call = 1; call <= 6; ++call) {
            m_dir.write("0112.tid", monthBytes);
            m_dir.write("0112.tmp", backupBytes);
            m_files.removeFile("temp.tmp");
            FaultyFileSystem files(m_files);
            files.exchangeUnsupported = GetParam();
            files.failAt(call, mode, true);
            const bool swapped = storage::swapWithBackup(files, "0112.tid", "0112.tmp").swapped;
            // Either the swap is reported and done, or the month file is as it was. The copy is
            // put back too, unless putting it back fails as well: it then holds the month.
            EXPECT_EQ(month(), swapped ? backupBytes : monthBytes) << call;
            const Bytes backup = m_dir.read("0112.tmp");
            if (swapped) {
                EXPECT_EQ(backup, monthBytes) << call;
            } else {
                EXPECT_TRUE(backup == backupBytes || backup == monthBytes) << call;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ExchangeOrRenames, SwapTest, ::testing::Bool());

TEST_F(BackupTest, SwapNeedsBothFilesAndNoLeftoverTempFile) {
    book(5, 100);
    const Bytes booked = month();
    storage::sweepBackups(m_files); // a cancelled close
    EXPECT_FALSE(storage::swapWithBackup(m_files, "0112.tid", "0112.tmp").swapped);
    EXPECT_EQ(month(), booked);

    book(6, 100);
    const Bytes backup = m_dir.read("0112.tmp");
    m_dir.write("temp.tmp", {7});
    EXPECT_FALSE(storage::swapWithBackup(m_files, "0112.tid", "0112.tmp").swapped);
    EXPECT_EQ(m_dir.read("0112.tmp"), backup);
    EXPECT_EQ(m_dir.read("temp.tmp"), Bytes{7});
}

TEST_F(BackupTest, DeletingADayKeepsTheOthersAtTheirRecordNumbers) {
    const Bytes original = recordsAt({{3, 10}, {5, 20}, {20, 30}});
    m_dir.write("0112.tid", original);
    EXPECT_EQ(storage::deleteDay(m_files, "0112.tid", 5), storage::DayDeletion::Deleted);
    EXPECT_EQ(month(), recordsAt({{3, 10}, {20, 30}}));
    EXPECT_EQ(m_dir.read("post2.tmp"), original);
    EXPECT_FALSE(m_dir.exists("post.tmp"));

    EXPECT_TRUE(storage::restoreDay(m_files, "0112.tid"));
    EXPECT_EQ(month(), original);
    EXPECT_FALSE(m_dir.exists("post2.tmp"));
}

TEST_F(BackupTest, DeletingTheLastDayShortensOrEmptiesTheFile) {
    m_dir.write("0112.tid", recordsAt({{3, 10}, {20, 30}}));
    EXPECT_EQ(storage::deleteDay(m_files, "0112.tid", 20), storage::DayDeletion::Deleted);
    EXPECT_EQ(month(), recordsAt({{3, 10}}));
    EXPECT_EQ(storage::deleteDay(m_files, "0112.tid", 3), storage::DayDeletion::Deleted);
    EXPECT_EQ(month(), Bytes{});
}

TEST_F(BackupTest, DaysWithoutTimeAreDroppedAndNothingHappensWithoutARecord) {
    Bytes file = recordsAt({{3, 10}, {5, 20}});
    file[2 * 16 + 0] = 0x44; // day 3 keeps a cost, but has no connected time
    file[2 * 16 + 4] = 0;
    m_dir.write("0112.tid", file);
    EXPECT_EQ(storage::deleteDay(m_files, "0112.tid", 3), storage::DayDeletion::NoRecord);
    EXPECT_EQ(month(), file);
    EXPECT_FALSE(m_dir.exists("post2.tmp"));

    EXPECT_EQ(storage::deleteDay(m_files, "0112.tid", 5), storage::DayDeletion::Deleted);
    EXPECT_EQ(month(), Bytes{});

    EXPECT_EQ(storage::deleteDay(m_files, "0111.tid", 1), storage::DayDeletion::NoRecord);
    EXPECT_FALSE(m_dir.exists("0111.tid"));
}

TEST_F(BackupTest, AStalePostFileIsNotMergedIntoTheMonth) {
    m_dir.write("0112.tid", recordsAt({{3, 10}, {5, 20}}));
    m_dir.write("post.tmp", recordsAt({{9, 99}}));
    EXPECT_EQ(storage::deleteDay(m_files, "0112.tid", 5), storage::DayDeletion::Deleted);
    EXPECT_EQ(month(), recordsAt({{3, 10}}));
    EXPECT_FALSE(m_dir.exists("post.tmp"));
}

TEST_F(BackupTest, AFailingStepLeavesTheMonthAsItWas) {
    const Bytes original = recordsAt({{3, 10}, {5, 20}});
    for (int call = 1; call <= 4; ++call) {
        m_dir.write("0112.tid", original);
        m_files.removeFile("post2.tmp");
        FaultyFileSystem files(m_files);
        files.failAt(call, FaultyFileSystem::Mode::FromThenOn, true);
        const auto result = storage::deleteDay(files, "0112.tid", 5);
        if (result == storage::DayDeletion::Deleted) {
            EXPECT_EQ(month(), recordsAt({{3, 10}})) << call;
            EXPECT_EQ(m_dir.read("post2.tmp"), original) << call;
        } else {
            EXPECT_EQ(result, storage::DayDeletion::Failed) << call;
            EXPECT_EQ(month(), original) << call;
            // A copy that could not be removed again holds the month as it is.
            if (m_dir.exists("post2.tmp")) {
                EXPECT_EQ(m_dir.read("post2.tmp"), original) << call;
            }
        }
    }
}

TEST_F(BackupTest, RestoresNeverOverwriteWhatTheyCannotPutBack) {
    const Bytes original = recordsAt({{3, 10}, {5, 20}});
    m_dir.write("0112.tid", original);
    ASSERT_EQ(storage::deleteDay(m_files, "0112.tid", 5), storage::DayDeletion::Deleted);
    m_files.removeFile("post2.tmp");
    EXPECT_FALSE(storage::restoreDay(m_files, "0112.tid"));
    EXPECT_EQ(month(), recordsAt({{3, 10}}));

    m_dir.write("0112.tid", original);
    EXPECT_TRUE(storage::deleteMonth(m_files, "0112.tid"));
    EXPECT_FALSE(m_dir.exists("0112.tid"));
    EXPECT_EQ(m_dir.read("mon.tmp"), original);
    // Something was booked in the month since: it is not overwritten.
    m_dir.write("0112.tid", recordsAt({{1, 1}}));
    EXPECT_EQ(storage::restoreMonth(m_files, "0112.tid"), storage::MonthRestore::MonthExists);
    EXPECT_EQ(month(), recordsAt({{1, 1}}));
    EXPECT_EQ(m_dir.read("mon.tmp"), original);

    m_files.removeFile("0112.tid");
    EXPECT_EQ(storage::restoreMonth(m_files, "0112.tid"), storage::MonthRestore::Restored);
    EXPECT_EQ(month(), original);
    EXPECT_EQ(storage::restoreMonth(m_files, "0112.tid"), storage::MonthRestore::BackupMissing);
    EXPECT_EQ(month(), original);
}

TEST_F(BackupTest, DeletingEverythingLeavesOnlyOtherFiles) {
    for (const char* name : {"0112.tid", "0201.tid", "0112.tmp", "post2.tmp", "mon.tmp", "tid.it",
                             "surfklocka.lock", "hjalp.html", "0112.TID"}) {
        m_dir.write(name, {1});
    }
    storage::deleteEverything(m_files);
    EXPECT_EQ(m_dir.names(),
              (std::vector<std::string>{"0112.TID", "hjalp.html", "surfklocka.lock"}));
}
