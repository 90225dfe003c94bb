#include "platform/posix_file_system.h"
#include "storage/booking.h"
#include "support/fakes/faulty_file_system.h"
#include "support/month_bytes.h"
#include "support/recording_system_calls.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
using storage::BookingOutcome;
using testing_support::dayRecordBytes;
using testing_support::monthFileBytes;

namespace {

class BookingTest : public ::testing::Test {
protected:
    storage::BookingResult book(const char* month, int day, std::int32_t seconds) {
        return storage::bookTime(m_files, {"01", month, day, seconds, 3600});
    }
    testing_support::TempDir m_dir;
    platform::PosixFileSystem m_files{m_dir.path()};
};

} // namespace

TEST_F(BookingTest, TheWorkedExampleLeavesTheExactBytesAndSweepsEveryBackupButNoMonthFile) {
    for (const char* name : {"temp.tmp", "post.tmp", "post2.tmp", "mon.tmp", "0111.tmp"}) {
        m_dir.write(name, {9});
    }
    m_dir.write("0111.tid", {});
    m_dir.write("notes.txt", {1});
    EXPECT_EQ(book("12", 5, 3000).outcome, BookingOutcome::Booked);
    EXPECT_EQ(m_dir.names(),
              (std::vector<std::string>{"0111.tid", "0112.tid", "0112.tmp", "notes.txt"}));
    EXPECT_EQ(m_dir.read("0112.tmp"), Bytes{}); // the month's first booking: its copy is empty
    // 3000 s within the hour: no cost, no extra seconds, not over the allowance; days 1-4 empty.
    EXPECT_EQ(m_dir.read("0112.tid"),
              monthFileBytes({{5, {0, 0, 0, 0, 0xB8, 0x0B, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0}}}));

    book("12", 5, 20 * 60);
    const Bytes before = m_dir.read("0112.tid");
    EXPECT_EQ(book("12", 5, 60).outcome, BookingOutcome::Booked);
    EXPECT_EQ(m_dir.read("0112.tmp"), before); // the undo copy holds the month as it was
    // 190 öre, 4260 s, 660 extra seconds, day 5, over the allowance.
    EXPECT_EQ(
        m_dir.read("0112.tid"),
        monthFileBytes(
            {{5, {0x00, 0x00, 0x3E, 0x43, 0xA4, 0x10, 0, 0, 0x94, 0x02, 0, 0, 5, 0, 0xFF, 0xFF}}}));
}

TEST_F(BookingTest, ARefusedBookingTouchesNoFile) {
    book("12", 1, 86000);
    EXPECT_EQ(book("12", 1, 400).outcome, BookingOutcome::Booked);
    const Bytes full = m_dir.read("0112.tid"), copy = m_dir.read("0112.tmp");
    m_dir.write("post2.tmp", {1, 2, 3});
    m_dir.write("mon.tmp", {4});
    // One second past 24 hours: the month, its undo copy and the restore copies stay as they are.
    EXPECT_EQ(book("12", 1, 1).outcome, BookingOutcome::DayFull);
    EXPECT_EQ(m_dir.read("0112.tid"), full);
    EXPECT_EQ(m_dir.read("0112.tmp"), copy);
    EXPECT_EQ(m_dir.read("post2.tmp"), Bytes({1, 2, 3}));
    // A new month refused at once is not created.
    EXPECT_EQ(book("11", 1, 90000).outcome, BookingOutcome::DayFull);
    const std::vector<std::string> all{"0112.tid", "0112.tmp", "mon.tmp", "post2.tmp"};
    EXPECT_EQ(m_dir.names(), all);
    // Without a known plan extra time cannot be told from prepaid time: nothing is booked.
    for (const std::int32_t allowance : {0, 3599, -1}) {
        EXPECT_EQ(storage::bookTime(m_files, {"01", "10", 3, 60, allowance}).outcome,
                  BookingOutcome::NoPlan);
    }
    EXPECT_EQ(m_dir.names(), all);
}

TEST_F(BookingTest, AMonthFileThatCannotBeReadIsNeverWrittenOver) {
    std::filesystem::create_directory(m_dir.file("0112.tid"));
    EXPECT_EQ(book("12", 5, 60).outcome, BookingOutcome::Failed);
    EXPECT_TRUE(std::filesystem::is_directory(m_dir.file("0112.tid")));
    EXPECT_FALSE(m_dir.exists("0112.tmp"));
}

namespace {

using platform::fakes::FaultyFileSystem;

// A month with day 3 and day 5 booked on the one-hour plan, and what booking 60 seconds on day 5
// makes of it. Day 5 is already over its hour: 4200 s with 600 s extra, charged 600 * 10 / 60 + 40
// = 140 öre; 60 s more are extra as well, charged 60 * 10 / 60 + 40 = 50 öre, 190 öre in all.
const Bytes kDayThree = dayRecordBytes(1000, 0, 0.0f, 3);
const Bytes kMonthBefore =
    monthFileBytes({{3, kDayThree}, {5, dayRecordBytes(4200, 600, 140.0f, 5)}});
const Bytes kMonthAfter =
    monthFileBytes({{3, kDayThree}, {5, dayRecordBytes(4260, 660, 190.0f, 5)}});
// The undo copy of an earlier booking, and a deleted day's copy; the booking sweeps both.
const Bytes kEarlierCopy = monthFileBytes({{3, kDayThree}});

struct stat statOf(const testing_support::TempDir& dir, const std::string& name) {
    struct stat info {};
    EXPECT_EQ(::lstat(dir.file(name).c_str(), &info), 0) << name;
    return info;
}

bool anyTemporaryLeft(const testing_support::TempDir& dir) {
    for (const std::string& name : dir.names()) {
        if (name.starts_with(".surfklocka-")) {
            return true;
        }
    }
    return false;
}

void putBookedMonth(const testing_support::TempDir& dir) {
    dir.write("0112.tid", kMonthBefore);
    dir.write("0112.tmp", kEarlierCopy);
    dir.write("post2.tmp", kEarlierCopy);
}

} // namespace

TEST_F(BookingTest, TheUndoCopyIsTheOldMonthFileUnderASecondName) {
    putBookedMonth(m_dir);
    const struct stat old = statOf(m_dir, "0112.tid");
    EXPECT_EQ(book("12", 5, 60).outcome, BookingOutcome::Booked);
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"0112.tid", "0112.tmp"}));
    EXPECT_EQ(m_dir.read("0112.tid"), kMonthAfter);
    EXPECT_EQ(m_dir.read("0112.tmp"), kMonthBefore);
    // The same file as the month file was, not a copy of it; the month is a new file, so the
    // copy is the only name left of the old one.
    const struct stat copy = statOf(m_dir, "0112.tmp"), month = statOf(m_dir, "0112.tid");
    EXPECT_EQ(copy.st_ino, old.st_ino);
    EXPECT_EQ(copy.st_nlink, 1U);
    EXPECT_NE(month.st_ino, old.st_ino);
    EXPECT_EQ(month.st_nlink, 1U);
    EXPECT_EQ(month.st_mode & 07777, old.st_mode & 07777);
}

TEST_F(BookingTest, OneDataFlushAndOneFolderFlushABookingAndTheCopiesSweptOnlyAfterIt) {
    putBookedMonth(m_dir);
    FaultyFileSystem counted(m_files);
    EXPECT_EQ(storage::bookTime(counted, {"01", "12", 5, 60, 3600}).outcome,
              BookingOutcome::Booked);
    // One listing and one read; the month's second name, which flushes nothing; the month
    // written whole with its data flushed (the one data flush), and the folder flushed once.
    // Only then, with the new month on disk, are the copies swept and the undo copy named.
    EXPECT_EQ(counted.log(),
              (std::vector<std::string>{
                  "listNames .", "readFile 0112.tid", "linkFile 0112.tid>kopia.ny",
                  "replaceFile:deferred 0112.tid", "syncFolder .", "removeFile:deferred 0112.tmp",
                  "removeFile:deferred post2.tmp", "renameFile:deferred kopia.ny"}));

    // A month's first booking: its undo copy is an empty file, which needs no data flush.
    FaultyFileSystem first(m_files);
    EXPECT_EQ(storage::bookTime(first, {"01", "11", 2, 60, 3600}).outcome, BookingOutcome::Booked);
    EXPECT_EQ(first.log(),
              (std::vector<std::string>{
                  "listNames .", "readFile 0111.tid", "fileLength 0111.tid", "entryKind 0111.tid",
                  "createIfMissing:deferred kopia.ny", "replaceFile:deferred 0111.tid",
                  "syncFolder .", "removeFile:deferred 0112.tmp", "renameFile:deferred kopia.ny"}));
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"0111.tid", "0111.tmp", "0112.tid"}));
    EXPECT_EQ(m_dir.read("0111.tmp"), Bytes{});
    EXPECT_EQ(m_dir.read("0111.tid"), monthFileBytes({{2, dayRecordBytes(60, 0, 0.0f, 2)}}));
    EXPECT_FALSE(anyTemporaryLeft(m_dir));
}

TEST_F(BookingTest, WithoutHardLinksTheUndoCopyIsWrittenFromTheMonthRead) {
    putBookedMonth(m_dir);
    FaultyFileSystem noLinks(m_files);
    noLinks.linkUnsupported = true;
    EXPECT_EQ(storage::bookTime(noLinks, {"01", "12", 5, 60, 3600}).outcome,
              BookingOutcome::Booked);
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"0112.tid", "0112.tmp"}));
    EXPECT_EQ(m_dir.read("0112.tid"), kMonthAfter);
    EXPECT_EQ(m_dir.read("0112.tmp"), kMonthBefore);
    EXPECT_NE(statOf(m_dir, "0112.tmp").st_ino, statOf(m_dir, "0112.tid").st_ino);
    // The copy costs a data flush of its own; the folder is still flushed once.
    EXPECT_EQ(noLinks.log(), (std::vector<std::string>{
                                 "listNames .", "readFile 0112.tid", "linkFile 0112.tid>kopia.ny",
                                 "replaceFile:deferred kopia.ny", "replaceFile:deferred 0112.tid",
                                 "syncFolder .", "removeFile:deferred 0112.tmp",
                                 "removeFile:deferred post2.tmp", "renameFile:deferred kopia.ny"}));
}

// A booking that fails at any call before its month is on disk leaves every file as it was: the
// month, the earlier undo copy and the deleted day's copy, with no undo copy of its own and no
// temporary file left; one that fails after it is booked all the same.
TEST_F(BookingTest, AFailureBeforeTheMonthIsOnDiskChangesNoFile) {
    for (const bool links : {true, false}) {
        for (int call = 1;; ++call) {
            SCOPED_TRACE((links ? "linked, failing at call " : "copied, failing at call ") +
                         std::to_string(call));
            testing_support::TempDir dir;
            platform::PosixFileSystem real(dir.path());
            putBookedMonth(dir);
            FaultyFileSystem faulty(real);
            faulty.linkUnsupported = !links;
            faulty.failAt(call, FaultyFileSystem::Mode::Once);
            const storage::BookingResult result =
                storage::bookTime(faulty, {"01", "12", 5, 60, 3600});
            if (!result.written()) {
                EXPECT_EQ(dir.read("0112.tid"), kMonthBefore);
                EXPECT_EQ(dir.read("0112.tmp"), kEarlierCopy);
                EXPECT_EQ(dir.read("post2.tmp"), kEarlierCopy);
                EXPECT_EQ(dir.names(),
                          (std::vector<std::string>{"0112.tid", "0112.tmp", "post2.tmp"}));
            } else {
                EXPECT_EQ(dir.read("0112.tid"), kMonthAfter);
                EXPECT_TRUE(result.outcome == BookingOutcome::BookedWithoutUndo ||
                            dir.read("0112.tmp") == kMonthBefore);
            }
            EXPECT_FALSE(anyTemporaryLeft(dir));
            if (faulty.failures() == 0) {
                break;
            }
        }
    }
}

// The same on the system's calls: each flush, rename, link and removal of a booking failing in
// turn (the disk full). A booking reported failed has changed no file and names the disk's cause.
TEST(BookingSystemCalls, EachFlushRenameLinkAndRemovalFailingInTurnChangesNoFileOrBooks) {
    for (const char* kind : {"fdatasync", "fsync", "renameat", "renameat2", "linkat", "unlinkat"}) {
        for (int nth = 1;; ++nth) {
            SCOPED_TRACE(std::string(kind) + " number " + std::to_string(nth) + " failing");
            testing_support::TempDir dir;
            putBookedMonth(dir);
            dir.write("mon.tmp", kDayThree);
            const std::vector<std::string> before = dir.names();
            testing_support::RecordingSystemCalls calls;
            calls.failCall(nth, ENOSPC, {kind});
            platform::PosixFileSystem files(dir.path(), calls);
            const storage::BookingResult result =
                storage::bookTime(files, {"01", "12", 5, 60, 3600});
            const auto made =
                std::count_if(calls.log().begin(), calls.log().end(), [&](const std::string& call) {
                    return call.starts_with(std::string(kind) + " ");
                });
            if (!result.written()) {
                EXPECT_EQ(result.error, ENOSPC);
                EXPECT_EQ(dir.names(), before);
                EXPECT_EQ(dir.read("0112.tid"), kMonthBefore);
                EXPECT_EQ(dir.read("0112.tmp"), kEarlierCopy);
                EXPECT_EQ(dir.read("post2.tmp"), kEarlierCopy);
                EXPECT_EQ(dir.read("mon.tmp"), kDayThree);
            } else {
                EXPECT_EQ(dir.read("0112.tid"), kMonthAfter);
                EXPECT_TRUE(!dir.exists("0112.tmp") || dir.read("0112.tmp") == kMonthBefore ||
                            result.outcome == BookingOutcome::BookedWithoutUndo);
            }
            if (made < nth) {
                break; // no such call failed: the booking went through
            }
        }
    }
}

TEST_F(BookingTest, StoppingDeadAtEveryChangeLeavesTheOldMonthOrTheNewOne) {
    for (const bool links : {true, false}) {
        int change = 1;
        for (;; ++change) {
            SCOPED_TRACE((links ? "linked, crash at change " : "copied, crash at change ") +
                         std::to_string(change));
            testing_support::TempDir dir;
            platform::PosixFileSystem real(dir.path());
            putBookedMonth(dir);
            FaultyFileSystem faulty(real);
            faulty.linkUnsupported = !links;
            faulty.failAt(change, FaultyFileSystem::Mode::Crash, true);
            bool finished = false;
            try {
                finished = storage::bookTime(faulty, {"01", "12", 5, 60, 3600}).outcome ==
                           BookingOutcome::Booked;
            } catch (const platform::fakes::SimulatedCrash&) {
            }
            const Bytes month = dir.read("0112.tid");
            EXPECT_TRUE(month == kMonthBefore || month == kMonthAfter);
            // The earlier copies go only once the new month is there; the undo copy takes its
            // name after them, holding the month as it was.
            if (month == kMonthBefore) {
                EXPECT_EQ(dir.read("0112.tmp"), kEarlierCopy);
                EXPECT_EQ(dir.read("post2.tmp"), kEarlierCopy);
            } else if (dir.exists("0112.tmp")) {
                const Bytes copy = dir.read("0112.tmp");
                EXPECT_TRUE(copy == kEarlierCopy || copy == kMonthBefore);
            }
            EXPECT_FALSE(anyTemporaryLeft(dir));
            if (finished) {
                EXPECT_EQ(month, kMonthAfter);
                EXPECT_EQ(dir.names(), (std::vector<std::string>{"0112.tid", "0112.tmp"}));
                break;
            }
            ASSERT_LT(change, 20) << "the booking never finished";
        }
        // The second name (where it is refused, the copy), the month, the folder flush, the two
        // removals and the undo copy's name.
        EXPECT_EQ(change, links ? 7 : 8);
    }
}
