#include "platform/posix_file_system.h"
#include "storage/booking.h"
#include "storage/month_file.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

using Bytes = std::vector<std::uint8_t>;
using storage::BookingOutcome;

namespace {

class BookingTest : public ::testing::Test {
protected:
    storage::BookingResult book(int day, std::int32_t seconds, std::int32_t allowance = 3600) {
        return storage::bookTime(m_files, {"01", "12", day, seconds, allowance});
    }

    testing_support::TempDir m_dir;
    platform::PosixFileSystem m_files{m_dir.path()};
};

} // namespace

TEST_F(BookingTest, FirstBookingOfAMonthKeepsAnEmptyUndoCopy) {
    const auto result = book(5, 3000);
    EXPECT_EQ(result.outcome, BookingOutcome::Booked);
    EXPECT_EQ(result.entryFile, "0112.tid");
    EXPECT_EQ(result.entryBackup, "0112.tmp");
    EXPECT_EQ(m_dir.read("0112.tmp"), Bytes{});
    const Bytes file = m_dir.read("0112.tid");
    ASSERT_EQ(file.size(), 80u);
    // 3000 s within the hour: no cost, no extra seconds, not over the allowance.
    EXPECT_EQ(Bytes(file.begin() + 64, file.end()),
              (Bytes{0, 0, 0, 0, 0xB8, 0x0B, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0}));
}

TEST_F(BookingTest, WorkedExampleLeavesTheExactBytes) {
    book(5, 3000);
    book(5, 20 * 60);
    const Bytes before = m_dir.read("0112.tid");
    const auto result = book(5, 60);
    EXPECT_EQ(result.outcome, BookingOutcome::Booked);
    // The undo copy holds the month as it was before this booking.
    EXPECT_EQ(m_dir.read("0112.tmp"), before);
    const Bytes file = m_dir.read("0112.tid");
    // 190 öre, 4260 s, 660 extra seconds, day 5, over the allowance.
    EXPECT_EQ(Bytes(file.begin() + 64, file.end()), (Bytes{0x00, 0x00, 0x3E, 0x43, 0xA4, 0x10, 0, 0,
                                                           0x94, 0x02, 0, 0, 5, 0, 0xFF, 0xFF}));
}

TEST_F(BookingTest, TheTwentyFourHourRefusalWritesNothing) {
    book(1, 86000);
    const Bytes before = m_dir.read("0112.tid");
    m_dir.write("post2.tmp", {1, 2, 3});
    EXPECT_EQ(book(1, 400).outcome, BookingOutcome::Booked);
    const Bytes full = m_dir.read("0112.tid");
    EXPECT_EQ(book(1, 1).outcome, BookingOutcome::DayFull);
    EXPECT_EQ(m_dir.read("0112.tid"), full);
    EXPECT_NE(full, before);
    // The sweep ran before the refusal: no undo copy is left.
    EXPECT_FALSE(m_dir.exists("0112.tmp"));
    EXPECT_FALSE(m_dir.exists("post2.tmp"));

    // A new month refused at once is left as an empty file, with no undo copy.
    EXPECT_EQ(storage::bookTime(m_files, {"02", "01", 1, 90000, 3600}).outcome,
              BookingOutcome::DayFull);
    EXPECT_EQ(m_dir.read("0201.tid"), Bytes{});
    EXPECT_FALSE(m_dir.exists("0201.tmp"));
}

TEST_F(BookingTest, SweepsEveryBackupButNoMonthFile) {
    for (const char* name : {"temp.tmp", "post.tmp", "post2.tmp", "mon.tmp", "0111.tmp"}) {
        m_dir.write(name, {9});
    }
    m_dir.write("0111.tid", {});
    m_dir.write("notes.txt", {1});
    book(2, 60);
    EXPECT_EQ(m_dir.names(),
              (std::vector<std::string>{"0111.tid", "0112.tid", "0112.tmp", "notes.txt"}));
}

TEST_F(BookingTest, AMonthFileThatCannotBeReadIsNeverWrittenOver) {
    std::filesystem::create_directory(m_dir.file("0112.tid"));
    const auto result = book(5, 60);
    EXPECT_EQ(result.outcome, BookingOutcome::Failed);
    EXPECT_FALSE(result.written());
    EXPECT_TRUE(std::filesystem::is_directory(m_dir.file("0112.tid")));
    EXPECT_FALSE(m_dir.exists("0112.tmp"));
}

TEST_F(BookingTest, ADamagedDayNeverGetsMoreThanADay) {
    // A hand-made record with 90000 connected seconds.
    m_dir.write("0112.tid", Bytes{0, 0, 0, 0, 0x90, 0x5F, 0x01, 0, 0, 0, 0, 0, 1, 0, 0, 0});
    EXPECT_EQ(book(1, 0).outcome, BookingOutcome::DayFull);
    EXPECT_EQ(m_dir.read("0112.tid").size(), 16u);
}
