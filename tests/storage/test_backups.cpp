#include "platform/posix_file_system.h"
#include "storage/backups.h"
#include "storage/booking.h"
#include "support/fakes/faulty_file_system.h"
#include "support/month_bytes.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

using Bytes = std::vector<std::uint8_t>;
using Mode = platform::fakes::FaultyFileSystem::Mode;
using namespace storage;

namespace {

// A month file holding the given days, each with that many seconds of connected time.
Bytes recordsAt(const std::map<int, int>& days) {
    std::map<int, Bytes> records;
    for (const auto& [day, seconds] : days) {
        records[day] = testing_support::dayRecordBytes(seconds, 0, 0.0f, std::int16_t(day));
    }
    return testing_support::monthFileBytes(records);
}

struct BackupTest : ::testing::Test {
    Bytes read(const char* name) const { return m_dir.read(name); }
    std::pair<Bytes, Bytes> monthAndCopy() const { return {read("0112.tid"), read("0112.tmp")}; }
    bool swap() { return swapWithBackup(m_files, "0112.tid", "0112.tmp").swapped; }

    testing_support::TempDir m_dir;
    platform::PosixFileSystem m_posix{m_dir.path()};
    platform::fakes::FaultyFileSystem m_files{m_posix};
};
struct SwapTest : BackupTest, ::testing::WithParamInterface<bool> {}; // true: swap by copies

} // namespace

TEST_P(SwapTest, UndoAndRedoSwapTheMonthAndItsCopyWholeOrNotAtAll) {
    m_files.exchangeUnsupported = GetParam();
    const Bytes one = recordsAt({{5, 100}}), two = recordsAt({{5, 100}, {6, 100}});
    ASSERT_TRUE(bookTime(m_files, {"01", "12", 5, 100, 3600}).written());
    for (const bool undone : {true, false, true}) { // undo, redo, undo
        EXPECT_TRUE(swap()); // the month's first booking undone leaves it empty
        EXPECT_EQ(monthAndCopy(), undone ? std::pair(Bytes{}, one) : std::pair(one, Bytes{}));
    }
    m_dir.write("temp.tmp", {7}); // left by a swap that stopped: nothing is swapped
    EXPECT_TRUE(!swap() && monthAndCopy() == std::pair(Bytes{}, one));
    sweepBackups(m_files);
    EXPECT_FALSE(swap()); // nor without the copy

    // A step failing leaves the month as it was, and its copy as it was or holding the month.
    for (const Mode mode : {Mode::Once, Mode::FromThenOn}) {
        for (int call = 1; call <= 6; ++call) {
            m_dir.write("0112.tid", two);
            m_dir.write("0112.tmp", one);
            m_posix.removeFile("temp.tmp");
            m_files.failAt(call, mode, true);
            const bool swapped = swap();
            EXPECT_TRUE(monthAndCopy() == (swapped ? std::pair(one, two) : std::pair(two, one)) ||
                        (!swapped && monthAndCopy() == std::pair(two, two)))
                << call;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ExchangeOrCopies, SwapTest, ::testing::Bool());

TEST_F(BackupTest, DeletedDaysKeepTheOthersInPlaceAndRestoresNeverWriteOver) {
    Bytes original = recordsAt({{3, 10}, {5, 20}, {20, 30}});
    original[2 * 16 + 4] = 0; // day 3 keeps its record, but without connected time
    m_dir.write("0112.tid", original);
    m_dir.write("post.tmp", recordsAt({{9, 99}})); // left by an older version: never merged
    EXPECT_EQ(deleteDay(m_files, "0112.tid", 5), DayDeletion::Deleted);
    EXPECT_EQ(read("0112.tid"), recordsAt({{20, 30}}));
    EXPECT_EQ(restoreDay(m_files, "0112.tid", 5), DayRestore::Restored);
    // Its copy is gone: nothing is written over.
    EXPECT_EQ(restoreDay(m_files, "0112.tid", 5), DayRestore::BackupMissing);
    EXPECT_EQ(read("0112.tid"), original);
    EXPECT_EQ(deleteDay(m_files, "0112.tid", 20), DayDeletion::Deleted);
    EXPECT_EQ(read("0112.tid"), recordsAt({{5, 20}}));
    EXPECT_EQ(deleteDay(m_files, "0112.tid", 5), DayDeletion::Deleted); // the only day left
    EXPECT_EQ(read("0112.tid"), Bytes{});

    m_dir.write("0112.tid", original);
    EXPECT_TRUE(deleteMonth(m_files, "0112.tid"));
    m_dir.write("0112.tid", recordsAt({{1, 1}})); // booked since: not written over
    EXPECT_EQ(restoreMonth(m_files, "0112.tid"), MonthRestore::MonthExists);
    EXPECT_EQ(read("0112.tid"), recordsAt({{1, 1}}));
    m_posix.removeFile("0112.tid");
    EXPECT_EQ(restoreMonth(m_files, "0112.tid"), MonthRestore::Restored);
    EXPECT_EQ(read("0112.tid"), original);

    for (const char* name :
         {"0201.tid", "0112.tmp", "mon.tmp", "tid.it", "notes.txt", "0112.TID"}) {
        m_dir.write(name, {1});
    }
    EXPECT_EQ(deleteEverything(m_files), std::vector<std::string>{}); // leaves only other files
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"0112.TID", "notes.txt"}));
    // What cannot be deleted (a folder of a month file's name) is named, not passed off as
    // deleted.
    m_dir.write("0201.tid", {1});
    std::filesystem::create_directory(m_dir.file("0202.tid"));
    EXPECT_EQ(deleteEverything(m_files), std::vector<std::string>{"0202.tid"});
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"0112.TID", "0202.tid", "notes.txt"}));
}

TEST_F(BackupTest, ADayIsRestoredOnlyOverWhatItsDeletionLeft) {
    const Bytes original = recordsAt({{3, 10}, {5, 20}});
    m_dir.write("0112.tid", original);
    ASSERT_EQ(deleteDay(m_files, "0112.tid", 3), DayDeletion::Deleted);
    // The month changed since (here: day 5 has more time): the restore would take it away.
    const Bytes changed = recordsAt({{5, 25}});
    m_dir.write("0112.tid", changed);
    EXPECT_EQ(restoreDay(m_files, "0112.tid", 3), DayRestore::MonthChanged);
    EXPECT_EQ(read("0112.tid"), changed);
    EXPECT_EQ(read("post2.tmp"), original);
    // Back to what the deletion left, and asked for another day than the one deleted.
    m_dir.write("0112.tid", recordsAt({{5, 20}}));
    EXPECT_EQ(restoreDay(m_files, "0112.tid", 5), DayRestore::MonthChanged);
    EXPECT_EQ(restoreDay(m_files, "0112.tid", 3), DayRestore::Restored);
    EXPECT_EQ(read("0112.tid"), original);
    EXPECT_FALSE(m_dir.exists("post2.tmp"));

    // Deleting the only day leaves an empty file, which the range window may remove: a month that
    // is gone counts as empty, and the day comes back.
    m_dir.write("0111.tid", recordsAt({{9, 5}}));
    ASSERT_EQ(deleteDay(m_files, "0111.tid", 9), DayDeletion::Deleted);
    m_posix.removeFile("0111.tid");
    EXPECT_EQ(restoreDay(m_files, "0111.tid", 9), DayRestore::Restored);
    EXPECT_EQ(read("0111.tid"), recordsAt({{9, 5}}));
}

TEST_F(BackupTest, RedoFindsTheMonthWhoseEmptyFileWasRemoved) {
    ASSERT_TRUE(bookTime(m_files, {"01", "12", 5, 100, 3600}).written());
    const Bytes booked = read("0112.tid");
    ASSERT_TRUE(swap()); // undo: the month is empty, its copy holds the booking
    m_posix.removeFile("0112.tid");
    EXPECT_TRUE(swap()); // redo
    EXPECT_EQ(monthAndCopy(), std::pair(booked, Bytes{}));
    EXPECT_TRUE(swap()); // and undo again
    EXPECT_EQ(monthAndCopy(), std::pair(Bytes{}, booked));
}
