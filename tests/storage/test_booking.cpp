#include "platform/posix_file_system.h"
#include "storage/booking.h"
#include "support/month_bytes.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

using Bytes = std::vector<std::uint8_t>;
using storage::BookingOutcome;
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
