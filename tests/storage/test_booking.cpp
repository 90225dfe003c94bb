// Bookings and the copies that take them back, on real temporary folders: the bytes booked, the
// order of the writes and flushes, refusals that touch no file, undo and redo, and deleted days and
// months with their restores.

#include "platform/posix_file_system.h"
#include "storage/backups.h"
#include "storage/booking.h"
#include "support/fakes/faulty_file_system.h"
#include "support/month_bytes.h"
#include "support/recording_system_calls.h"
#include "support/temp_dir.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>

using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;
using platform::fakes::FaultyFileSystem;
using namespace storage;
using testing_support::dayRecordBytes;
using testing_support::monthFileBytes;

namespace {

// A month with day 3 and day 5 booked on the one-hour plan, and what booking 60 seconds on day 5
// makes of it. Day 5 is already over its hour: 4200 s with 600 s extra, charged 600 * 10 / 60 + 40
// = 140 öre; 60 s more are extra as well, charged 60 * 10 / 60 + 40 = 50 öre, 190 öre in all.
const Bytes kDayThree = dayRecordBytes(1000, 0, 0.0f, 3);
const Bytes kMonthBefore =
    monthFileBytes({{3, kDayThree}, {5, dayRecordBytes(4200, 600, 140.0f, 5)}});
const Bytes kMonthAfter =
    monthFileBytes({{3, kDayThree}, {5, dayRecordBytes(4260, 660, 190.0f, 5)}});
// The undo copy of an earlier booking, and a deleted day's copy; the booking ends both.
const Bytes kEarlierCopy = monthFileBytes({{3, kDayThree}});

// A month file holding the given days, each with that many seconds of connected time.
Bytes recordsAt(const std::map<int, int>& days) {
    std::map<int, Bytes> records;
    for (const auto& [day, seconds] : days) {
        records[day] = dayRecordBytes(seconds, 0, 0.0f, std::int16_t(day));
    }
    return monthFileBytes(records);
}

struct BookingTest : ::testing::Test {
    BookingResult book(const char* month, int day, std::int32_t seconds) {
        return bookTime(m_files, {"01", month, day, seconds, 3600});
    }
    void putBookedMonth() {
        m_dir.write("0112.tid", kMonthBefore);
        m_dir.write("0112.tmp", kEarlierCopy);
        m_dir.write("post2.tmp", kEarlierCopy);
    }
    Bytes read(const char* name) const { return m_dir.read(name); }
    std::pair<Bytes, Bytes> monthAndCopy() const { return {read("0112.tid"), read("0112.tmp")}; }
    bool swap() { return swapWithBackup(m_files, "0112.tid", "0112.tmp").swapped; }

    testing_support::TempDir m_dir;
    platform::PosixFileSystem m_posix{m_dir.path()};
    FaultyFileSystem m_files{m_posix};
};
struct SwapTest : BookingTest, ::testing::WithParamInterface<bool> {}; // true: swap by copies

} // namespace

TEST_F(BookingTest, ABookingLeavesTheExactBytesAndEndsEveryCopyButNoMonthFile) {
    for (const char* name : {"temp.tmp", "post.tmp", "post2.tmp", "mon.tmp", "0111.tmp"}) {
        m_dir.write(name, {9});
    }
    m_dir.write("0111.tid", {});
    m_dir.write("notes.txt", {1});
    EXPECT_EQ(book("12", 5, 3000).outcome, BookingOutcome::Booked);
    EXPECT_EQ(m_dir.names(), (Names{"0111.tid", "0112.tid", "0112.tmp", "notes.txt"}));
    EXPECT_EQ(read("0112.tmp"), Bytes{}); // the month's first booking: its copy is empty
    // 3000 s (0x0BB8) within the hour: no cost, no extra seconds, not over; days 1-4 empty.
    EXPECT_EQ(read("0112.tid"),
              monthFileBytes({{5, {0, 0, 0, 0, 0xB8, 0x0B, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0}}}));
    book("12", 5, 20 * 60);
    const Bytes before = read("0112.tid");
    EXPECT_EQ(book("12", 5, 60).outcome, BookingOutcome::Booked);
    EXPECT_EQ(read("0112.tmp"), before); // the undo copy holds the month as it was
    // 190 öre (0x433E0000), 4260 s, 660 extra seconds, day 5, over the allowance.
    EXPECT_EQ(
        read("0112.tid"),
        monthFileBytes(
            {{5, {0x00, 0x00, 0x3E, 0x43, 0xA4, 0x10, 0, 0, 0x94, 0x02, 0, 0, 5, 0, 0xFF, 0xFF}}}));
}

TEST_F(BookingTest, ARefusedBookingTouchesNoFile) {
    book("12", 1, 86000);
    EXPECT_EQ(book("12", 1, 400).outcome, BookingOutcome::Booked);
    const Bytes full = read("0112.tid"), copy = read("0112.tmp");
    m_dir.write("post2.tmp", {1, 2, 3});
    std::filesystem::create_directory(m_dir.file("0110.tid"));
    // One second past 24 hours: the month, its undo copy and the restore copy stay as they are.
    EXPECT_EQ(book("12", 1, 1).outcome, BookingOutcome::DayFull);
    EXPECT_EQ(book("11", 1, 90000).outcome, BookingOutcome::DayFull); // a new month, not made
    // Without a known plan extra time cannot be told from prepaid time.
    for (const std::int32_t allowance : {0, 3599, -1}) {
        EXPECT_EQ(bookTime(m_files, {"01", "12", 3, 60, allowance}).outcome,
                  BookingOutcome::NoPlan);
    }
    // A month file that cannot be read is never written over.
    EXPECT_EQ(book("10", 5, 60).outcome, BookingOutcome::Failed);
    EXPECT_TRUE(std::filesystem::is_directory(m_dir.file("0110.tid")));
    EXPECT_EQ(read("0112.tid"), full);
    EXPECT_EQ(read("0112.tmp"), copy);
    EXPECT_EQ(read("post2.tmp"), Bytes({1, 2, 3}));
    EXPECT_EQ(m_dir.names(), (Names{"0110.tid", "0112.tid", "0112.tmp", "post2.tmp"}));
}

// The undo copy is the month file under a second name (where links are refused, a copy of the
// bytes read, with a data flush of its own; for a month's first booking an empty file). The month
// is written whole with its data flushed, and the folder flushed once; only then, with the new
// month on disk, are the copies of earlier steps ended and the undo copy named.
TEST_F(BookingTest, OneDataFlushAndOneFolderFlushABookingAndTheCopiesEndedOnlyAfterIt) {
    const Names sweep{"syncFolder .", "removeFile:deferred 0112.tmp",
                      "removeFile:deferred post2.tmp", "renameFile:deferred kopia.ny"};
    const auto plus = [&sweep](Names names) {
        names.insert(names.end(), sweep.begin(), sweep.end());
        return names;
    };
    for (const bool links : {true, false}) {
        SCOPED_TRACE(links ? "linked" : "copied");
        putBookedMonth();
        FaultyFileSystem counted(m_posix);
        counted.linkUnsupported = !links;
        EXPECT_EQ(bookTime(counted, {"01", "12", 5, 60, 3600}).outcome, BookingOutcome::Booked);
        EXPECT_EQ(
            counted.log(),
            plus(links ? Names{"listNames .", "readFile 0112.tid", "linkFile 0112.tid>kopia.ny",
                               "replaceFile:deferred 0112.tid"}
                       : Names{"listNames .", "readFile 0112.tid", "linkFile 0112.tid>kopia.ny",
                               "replaceFile:deferred kopia.ny", "replaceFile:deferred 0112.tid"}));
        EXPECT_EQ(monthAndCopy(), std::pair(kMonthAfter, kMonthBefore));
        EXPECT_EQ(m_dir.names(), (Names{"0112.tid", "0112.tmp"}));
    }
    putBookedMonth();
    FaultyFileSystem first(m_posix);
    EXPECT_EQ(bookTime(first, {"01", "11", 2, 60, 3600}).outcome, BookingOutcome::Booked);
    EXPECT_EQ(first.log(), (Names{"listNames .", "readFile 0111.tid", "fileLength 0111.tid",
                                  "entryKind 0111.tid", "createIfMissing:deferred kopia.ny",
                                  "replaceFile:deferred 0111.tid", "syncFolder .",
                                  "removeFile:deferred 0112.tmp", "removeFile:deferred post2.tmp",
                                  "renameFile:deferred kopia.ny"}));
    EXPECT_EQ(read("0111.tmp"), Bytes{});
    EXPECT_EQ(m_dir.names(), (Names{"0111.tid", "0111.tmp", "0112.tid"}));
}

TEST(BookingSystemCalls, ABookingWhoseFolderFlushFailsNamesTheCauseAndChangesNoFile) {
    testing_support::TempDir dir;
    dir.write("0112.tid", kMonthBefore);
    dir.write("0112.tmp", kEarlierCopy);
    testing_support::RecordingSystemCalls calls;
    calls.failCall(1, ENOSPC, {"fsync"});
    platform::PosixFileSystem files(dir.path(), calls);
    const BookingResult result = bookTime(files, {"01", "12", 5, 60, 3600});
    EXPECT_EQ(result.outcome, BookingOutcome::Failed);
    EXPECT_EQ(result.error, ENOSPC);
    EXPECT_EQ(dir.read("0112.tid"), kMonthBefore);
    EXPECT_EQ(dir.read("0112.tmp"), kEarlierCopy);
    EXPECT_EQ(dir.names(), (Names{"0112.tid", "0112.tmp"}));
}

TEST_P(SwapTest, UndoAndRedoSwapTheMonthAndItsCopyWhole) {
    m_files.exchangeUnsupported = GetParam();
    const Bytes one = recordsAt({{5, 100}});
    ASSERT_TRUE(bookTime(m_files, {"01", "12", 5, 100, 3600}).written());
    m_dir.write("0112.tmp", recordsAt({{6, 100}}));
    EXPECT_TRUE(swap());
    EXPECT_EQ(monthAndCopy(), std::pair(recordsAt({{6, 100}}), one));
    EXPECT_TRUE(swap());
    EXPECT_EQ(monthAndCopy(), std::pair(one, recordsAt({{6, 100}})));
    EXPECT_EQ(m_dir.names(), (Names{"0112.tid", "0112.tmp"}));
    m_dir.write("0112.tmp", {}); // as a month's first booking leaves it
    EXPECT_TRUE(swap());         // undone, the month is empty
    EXPECT_EQ(monthAndCopy(), std::pair(Bytes{}, one));
    m_posix.removeFile("0112.tid"); // as the range window removes an empty month file
    EXPECT_TRUE(swap());            // redo all the same
    EXPECT_EQ(monthAndCopy(), std::pair(one, Bytes{}));
    m_dir.write("temp.tmp", {7}); // left by a swap that stopped: nothing is swapped
    EXPECT_FALSE(swap());
    sweepBackups(m_files);
    EXPECT_FALSE(swap()); // nor without the copy
    EXPECT_EQ(m_dir.names(), Names{"0112.tid"});
    EXPECT_EQ(read("0112.tid"), one);
}

INSTANTIATE_TEST_SUITE_P(ExchangeOrCopies, SwapTest, ::testing::Bool());

TEST_F(BookingTest, DeletedDaysKeepTheOthersInPlaceAndRestoresNeverWriteOver) {
    Bytes original = recordsAt({{3, 10}, {5, 20}, {20, 30}});
    original[2 * 16 + 4] = 0; // day 3 keeps its record, but without connected time
    m_dir.write("0112.tid", original);
    m_dir.write("post.tmp", recordsAt({{9, 99}})); // left by an older version: never merged
    EXPECT_EQ(deleteDay(m_files, "0112.tid", 5), DayDeletion::Deleted);
    EXPECT_EQ(read("0112.tid"), recordsAt({{20, 30}}));
    EXPECT_EQ(read("post2.tmp"), original);
    // Once the month has changed since, the restore would take the change away.
    m_dir.write("0112.tid", recordsAt({{20, 35}}));
    EXPECT_EQ(restoreDay(m_files, "0112.tid", 5), DayRestore::MonthChanged);
    m_dir.write("0112.tid", recordsAt({{20, 30}}));
    EXPECT_EQ(restoreDay(m_files, "0112.tid", 20), DayRestore::MonthChanged); // not the day deleted
    EXPECT_EQ(restoreDay(m_files, "0112.tid", 5), DayRestore::Restored);
    EXPECT_EQ(restoreDay(m_files, "0112.tid", 5), DayRestore::BackupMissing);
    EXPECT_EQ(read("0112.tid"), original);
    EXPECT_EQ(deleteDay(m_files, "0112.tid", 20), DayDeletion::Deleted);
    EXPECT_EQ(read("0112.tid"), recordsAt({{5, 20}}));
    EXPECT_EQ(deleteDay(m_files, "0112.tid", 5), DayDeletion::Deleted); // the only day left
    EXPECT_EQ(read("0112.tid"), Bytes{});
    // The empty file may be removed: a month that is gone counts as empty, and the day comes back.
    m_posix.removeFile("0112.tid");
    EXPECT_EQ(restoreDay(m_files, "0112.tid", 5), DayRestore::Restored);
    EXPECT_EQ(read("0112.tid"), recordsAt({{5, 20}}));

    m_dir.write("0112.tid", original);
    EXPECT_TRUE(deleteMonth(m_files, "0112.tid"));
    m_dir.write("0112.tid", recordsAt({{1, 1}})); // booked since: not written over
    EXPECT_EQ(restoreMonth(m_files, "0112.tid"), MonthRestore::MonthExists);
    EXPECT_EQ(read("0112.tid"), recordsAt({{1, 1}}));
    m_posix.removeFile("0112.tid");
    EXPECT_EQ(restoreMonth(m_files, "0112.tid"), MonthRestore::Restored);
    EXPECT_EQ(read("0112.tid"), original);
}

TEST_F(BookingTest, DeletingEverythingLeavesOtherFilesAndNamesWhatItCannotDelete) {
    for (const char* name :
         {"0201.tid", "0112.tmp", "mon.tmp", "tid.it", "abonnemang.it", "notes.txt", "0112.TID"}) {
        m_dir.write(name, {1});
    }
    EXPECT_EQ(deleteEverything(m_files), Names{});
    EXPECT_EQ(m_dir.names(), (Names{"0112.TID", "notes.txt"}));
    std::filesystem::create_directory(m_dir.file("0202.tid"));
    EXPECT_EQ(deleteEverything(m_files), Names{"0202.tid"});
}
