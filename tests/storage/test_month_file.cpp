// Month files on real temporary folders: the record layout byte for byte, the states a month is
// found in, a booking's bytes and the order of its writes and flushes, refusals that touch no
// file, undo and redo, deleted days and months with their restores, and the sums over a range.

#include "platform/posix_file_system.h"
#include "storage/backups.h"
#include "storage/booking.h"
#include "storage/range_totals.h"
#include "support/fakes/faulty_file_system.h"
#include "support/month_bytes.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;
using core::Date;
using core::DayRecord;
using platform::fakes::FaultyFileSystem;
using namespace storage;
using testing_support::dayRecordBytes;
using testing_support::monthFileBytes;

namespace {

DayRecord booked(std::int16_t dayNumber) {
    return DayRecord{190.0f, 4260, 660, dayNumber, -1};
}

// 190.0f is 0x433E0000; 4260 is 0x10A4; 660 is 0x0294; the over-allowance flag -1.
Bytes bookedBytes(std::uint8_t dayNumber) {
    return Bytes{0x00, 0x00, 0x3E, 0x43, 0xA4,      0x10, 0x00, 0x00,
                 0x94, 0x02, 0x00, 0x00, dayNumber, 0x00, 0xFF, 0xFF};
}

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

struct MonthTest : ::testing::Test {
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
    FaultyFileSystem m_files{m_posix}; // counts what is asked of the folder
};
struct SwapTest : MonthTest, ::testing::WithParamInterface<bool> {}; // true: swap by copies

} // namespace

TEST_F(MonthTest, ARecordIsSixteenBytesAndTheStatesOfAMonthFile) {
    const auto bytes = encodeDayRecord(booked(5));
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), bookedBytes(5));
    ASSERT_TRUE(writeDay(m_files, "0112.tid", 20, booked(20)));
    ASSERT_TRUE(writeDay(m_files, "0112.tid", 3, booked(3)));
    EXPECT_FALSE(writeDay(m_files, "0112.tid", 0, booked(0)) ||
                 writeDay(m_files, "0112.tid", 32, booked(32)));
    EXPECT_EQ(readDay(m_files, "0112.tid", 20), booked(20));
    EXPECT_EQ(readDay(m_files, "0112.tid", 31), DayRecord{});
    EXPECT_FALSE(readDay(m_files, "0111.tid", 1));
    EXPECT_EQ(read("0112.tid"), monthFileBytes({{3, bookedBytes(3)}, {20, bookedBytes(20)}}));
    EXPECT_EQ(readMonth(m_files, "0111.tid").state, MonthState::NoFile);
    m_dir.write("0112.tid", {});
    EXPECT_EQ(readMonth(m_files, "0112.tid").state, MonthState::Empty);
    // A record cut short counts as a record of the file, its missing bytes read as zero.
    Bytes file = bookedBytes(1);
    file.resize(22, 0x01);
    m_dir.write("0112.tid", file);
    const auto month = readMonth(m_files, "0112.tid");
    EXPECT_EQ(month.state, MonthState::HasRecords);
    ASSERT_EQ(month.records().size(), 2u);
    EXPECT_EQ(month.records()[1].connectedSeconds, 0x0101);
    // 496 bytes are 31 whole records; one byte more is no month file the program wrote.
    Bytes full = monthFileBytes({{31, bookedBytes(31)}});
    m_dir.write("0112.tid", full);
    EXPECT_EQ(monthState(m_files, "0112.tid"), MonthState::HasRecords);
    ASSERT_TRUE(writeDay(m_files, "0112.tid", 31, booked(31)));
    full.push_back(0);
    m_dir.write("0112.tid", full);
    std::filesystem::create_directory(m_dir.file("0110.tid"));
    for (const char* damaged : {"0112.tid", "0110.tid"}) {
        EXPECT_EQ(readMonth(m_files, damaged).state, MonthState::Damaged) << damaged;
        EXPECT_EQ(monthState(m_files, damaged), MonthState::Damaged) << damaged;
        EXPECT_FALSE(readDay(m_files, damaged, 1) || writeDay(m_files, damaged, 1, booked(1)));
    }
    EXPECT_EQ(read("0112.tid"), full);
    // A file that is there but cannot be read is not taken for a missing or damaged one.
    m_dir.write("0112.tid", bookedBytes(1));
    m_files.failAt(1, FaultyFileSystem::Mode::Once);
    EXPECT_EQ(readMonth(m_files, "0112.tid").state, MonthState::Unreadable);
    EXPECT_EQ(m_dir.names(), (Names{"0110.tid", "0112.tid"}));
}

TEST_F(MonthTest, ARefusedBookingTouchesNoFile) {
    book("12", 1, 86000);
    EXPECT_EQ(book("12", 1, 400).outcome, BookingOutcome::Booked);
    const Bytes full = read("0112.tid"), copy = read("0112.tmp");
    m_dir.write("post2.tmp", {1, 2, 3});
    std::filesystem::create_directory(m_dir.file("0110.tid"));
    // One second past 24 hours: the month, its undo copy and the restore copy stay as they are.
    EXPECT_EQ(book("12", 1, 1).outcome, BookingOutcome::DayFull);
    EXPECT_EQ(book("11", 1, 90000).outcome, BookingOutcome::DayFull); // a new month, not made
    // Without a known plan extra time cannot be told from prepaid time.
    EXPECT_EQ(bookTime(m_files, {"01", "12", 3, 60, 3599}).outcome, BookingOutcome::NoPlan);
    // A month file that cannot be read is never written over.
    EXPECT_EQ(book("10", 5, 60).outcome, BookingOutcome::Failed);
    EXPECT_EQ(monthAndCopy(), std::pair(full, copy));
    EXPECT_EQ(read("post2.tmp"), Bytes({1, 2, 3}));
    EXPECT_EQ(m_dir.names(), (Names{"0110.tid", "0112.tid", "0112.tmp", "post2.tmp"}));
}

// The undo copy is the month file under a second name (where links are refused, a copy of the
// bytes read, with a data flush of its own; for a month's first booking an empty file). The month
// is written whole with its data flushed, and the folder flushed once; only then, with the new
// month on disk, are the copies of earlier steps ended and the undo copy named.
TEST_F(MonthTest, OneDataFlushAndOneFolderFlushABookingAndTheCopiesEndedOnlyAfterIt) {
    for (const bool links : {true, false}) {
        putBookedMonth();
        FaultyFileSystem counted(m_posix);
        counted.linkUnsupported = !links;
        EXPECT_EQ(bookTime(counted, {"01", "12", 5, 60, 3600}).outcome, BookingOutcome::Booked);
        Names log{"listNames .", "readFile 0112.tid", "linkFile 0112.tid>kopia.ny",
                  "replaceFile:deferred kopia.ny", "replaceFile:deferred 0112.tid"};
        std::erase(log, links ? "replaceFile:deferred kopia.ny" : ""); // linked: no copy written
        log.insert(log.end(), {"syncFolder .", "removeFile:deferred 0112.tmp",
                               "removeFile:deferred post2.tmp", "renameFile:deferred kopia.ny"});
        EXPECT_EQ(counted.log(), log) << links;
        EXPECT_EQ(monthAndCopy(), std::pair(kMonthAfter, kMonthBefore));
    }
    // A month's first booking: its undo copy is an empty file.
    putBookedMonth();
    EXPECT_EQ(book("11", 2, 60).outcome, BookingOutcome::Booked);
    EXPECT_EQ(m_dir.names(), (Names{"0111.tid", "0111.tmp", "0112.tid"}));
    EXPECT_EQ(read("0111.tmp"), Bytes{});
}

// Undo and redo swap the month and its copy whole; a month's first booking undone leaves its file
// empty, which the range window may remove: redo brings the booking back all the same.
TEST_P(SwapTest, UndoAndRedoSwapTheMonthAndItsCopyWhole) {
    m_files.exchangeUnsupported = GetParam();
    const Bytes one = recordsAt({{5, 100}});
    m_dir.write("0112.tid", one);
    m_dir.write("0112.tmp", {});
    EXPECT_TRUE(swap());
    EXPECT_EQ(monthAndCopy(), std::pair(Bytes{}, one));
    m_posix.removeFile("0112.tid");
    EXPECT_TRUE(swap());
    EXPECT_EQ(monthAndCopy(), std::pair(one, Bytes{}));
    m_dir.write("temp.tmp", {7}); // left by a swap that stopped: nothing is swapped
    EXPECT_FALSE(swap());
    sweepBackups(m_files);
    EXPECT_FALSE(swap()); // nor without the copy
    EXPECT_EQ(m_dir.names(), Names{"0112.tid"});
}

INSTANTIATE_TEST_SUITE_P(ExchangeOrCopies, SwapTest, ::testing::Bool());

TEST_F(MonthTest, DeletedDaysKeepTheOthersInPlaceAndRestoresNeverWriteOver) {
    Bytes original = recordsAt({{3, 10}, {5, 20}, {20, 30}});
    original[2 * 16 + 4] = 0; // day 3 keeps its record, but without connected time
    m_dir.write("0112.tid", original);
    EXPECT_EQ(deleteDay(m_files, "0112.tid", 5), DayDeletion::Deleted);
    EXPECT_EQ(read("0112.tid"), recordsAt({{20, 30}}));
    // Once the month has changed since, the restore would take the change away.
    m_dir.write("0112.tid", recordsAt({{20, 35}}));
    EXPECT_EQ(restoreDay(m_files, "0112.tid", 5), DayRestore::MonthChanged);
    m_dir.write("0112.tid", recordsAt({{20, 30}}));
    EXPECT_EQ(restoreDay(m_files, "0112.tid", 20), DayRestore::MonthChanged); // not the day deleted
    EXPECT_EQ(restoreDay(m_files, "0112.tid", 5), DayRestore::Restored);
    EXPECT_EQ(restoreDay(m_files, "0112.tid", 5), DayRestore::BackupMissing);
    EXPECT_EQ(read("0112.tid"), original);
    EXPECT_EQ(deleteDay(m_files, "0112.tid", 20), DayDeletion::Deleted);
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
    m_posix.removeFile("0112.tid");
    EXPECT_EQ(restoreMonth(m_files, "0112.tid"), MonthRestore::Restored);
    EXPECT_EQ(read("0112.tid"), original);
    // Deleting everything leaves other files, and names what it cannot delete.
    for (const char* name : {"0201.tid", "0112.tmp", "tid.it", "abonnemang.it", "0112.TID"}) {
        m_dir.write(name, {1});
    }
    EXPECT_EQ(deleteEverything(m_files), Names{});
    EXPECT_EQ(m_dir.names(), (Names{"0112.TID"}));
    std::filesystem::create_directory(m_dir.file("0202.tid"));
    EXPECT_EQ(deleteEverything(m_files), Names{"0202.tid"});
}

TEST_F(MonthTest, ARangeSumsItsOwnDaysOfEachMonthReadOnceAndTakesAwayEmptyFiles) {
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
    const auto totals = sumRange(m_files, Date{2001, 11, 15}, Date{2002, 1, 10}, 7200);
    ASSERT_TRUE(totals);
    EXPECT_EQ(totals->sums.connectedSeconds, 3600 + 7260 + 9000);
    EXPECT_EQ(totals->dayConnectedSeconds, (std::vector<std::int32_t>{3600, 7260, 9000}));
    EXPECT_EQ(totals->monthBoundaries, 2);
    EXPECT_EQ(totals->feeKronor, 245);
    EXPECT_EQ(m_dir.names(), (Names{"0111.tid", "0201.tid", "0202.tid"})); // December's went
    // A range longer than a year is refused before any file is touched.
    EXPECT_FALSE(sumRange(m_files, Date{2002, 2, 1}, Date{2003, 2, 2}, 3600));
    EXPECT_EQ(m_files.changeRequests(), 1);
    // 1 h until January 2002, 8 h from February, 2 h from March: 15 January to 10 March crosses
    // into February (595 kr) and into March (245 kr).
    const core::PlanSchedule plans({{2001, 1, 3600}, {2002, 2, 28800}, {2002, 3, 7200}});
    EXPECT_EQ(sumRange(m_files, {2002, 1, 15}, {2002, 3, 10}, plans)->feesKronor, 595 + 245);
}
