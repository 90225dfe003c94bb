#include "platform/fakes/faulty_file_system.h"
#include "platform/posix_file_system.h"
#include "storage/pending.h"
#include "support/month_bytes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
using platform::fakes::FaultyFileSystem;
using storage::PendingEntry;
using storage::PendingOutcome;
using testing_support::dayRecordBytes;
using testing_support::monthFileBytes;

namespace {

constexpr std::int32_t kOneHour = 3600;
const std::string kFirst = "00000000000000000001-0000000007.vantande";
const std::string kSecond = "00000000000000000002-0000000007.vantande";

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

PendingEntry entryOf(std::vector<std::pair<core::Date, std::int32_t>> parts) {
    PendingEntry entry;
    for (const auto& part : parts) {
        entry.parts.push_back({part.first, part.second, std::nullopt});
    }
    return entry;
}

class PendingTest : public ::testing::Test {
protected:
    testing_support::TempDir m_dir;
    platform::PosixFileSystem m_files{m_dir.path()};
};

} // namespace

TEST(PendingEntryText, IsWrittenAndReadBackExactly) {
    PendingEntry entry = entryOf({{{2026, 12, 5}, 1800}, {{2026, 12, 6}, 600}});
    EXPECT_EQ(storage::pendingEntryText(entry),
              "surfklocka-vantande 1\n2026-12-05 1800\n2026-12-06 600\n");
    entry.parts[0].before = storage::DayBytes{0x00, 0x00, 0x3E, 0x43, 0xA4, 0x10, 0,    0,
                                              0x94, 0x02, 0,    0,    5,    0,    0xFF, 0xFF};
    entry.parts[1].before = storage::DayBytes{};
    // The record's bytes in order, two lower-case digits each.
    EXPECT_EQ(storage::pendingEntryText(entry),
              "surfklocka-vantande 1\n"
              "2026-12-05 1800 00003e43a4100000940200000500ffff\n"
              "2026-12-06 600 00000000000000000000000000000000\n");
    EXPECT_EQ(storage::parsePendingEntry(bytesOf(storage::pendingEntryText(entry))), entry);
}

TEST(PendingEntryText, AnythingTheWriterDoesNotWriteIsRefused) {
    const std::string header = "surfklocka-vantande 1\n";
    const std::string hex = " 00000000000000000000000000000000";
    for (const std::string& text : std::vector<std::string>{
             "",
             header,                                                 // no part
             "surfklocka-vantande 2\n2026-12-05 1800\n",             // another version
             header + "2026-12-05 1800",                             // no final line end
             header + "2026-12-05 1800\r\n",                         // CR LF
             header + "2026-12-05  1800\n",                          // two blanks
             header + "2026-02-29 1800\n",                           // not a real day
             header + "2100-01-01 1800\n",                           // after the lists' last year
             header + "2000-12-31 1800\n",                           // before their first
             header + "2026-12-05 0\n",                              // nothing to book
             header + "2026-12-05 86401\n",                          // more than a day
             header + "2026-12-05 0600\n",                           // a leading zero
             header + "2026-12-05 -600\n",                           // a sign
             header + "2026-12-05 1800\n2026-12-05 10\n",            // the same day twice
             header + "2026-12-06 1800\n2026-12-05 10\n",            // not in date order
             header + "2026-12-05 1800" + hex + "\n2026-12-06 10\n", // marked only in part
             header + "2026-12-05 1800 0000000000000000000000000000000A\n", // upper-case hex
             header + "2026-12-05 1800 000000000000000000000000000000\n",   // 15 bytes
             header + "2026-12-05 1800\n\n",                                // an empty line
         }) {
        SCOPED_TRACE(text);
        EXPECT_EQ(storage::parsePendingEntry(bytesOf(text)), std::nullopt);
    }
    // 32 parts are accepted, 33 are not: 2026-01-01 onwards, one day each.
    std::string many = header;
    for (int day = 1; day <= 31; ++day) {
        many += "2026-01-" + std::string(day < 10 ? "0" : "") + std::to_string(day) + " 1\n";
    }
    many += "2026-02-01 1\n";
    EXPECT_EQ(storage::parsePendingEntry(bytesOf(many))->parts.size(), 32U);
    EXPECT_EQ(storage::parsePendingEntry(bytesOf(many + "2026-02-02 1\n")), std::nullopt);
}

TEST(PendingEntryName, SortsInTheOrderTheEntriesWereMade) {
    EXPECT_EQ(storage::pendingEntryName(1765061112123456789, 4242),
              "01765061112123456789-0000004242.vantande");
    EXPECT_TRUE(storage::isPendingEntryName("01765061112123456789-0000004242.vantande"));
    EXPECT_LT(storage::pendingEntryName(999, 99999), storage::pendingEntryName(1000, 1));
    for (const char* name :
         {"1765061112123456789-0000004242.vantande",
          "01765061112123456789-0000004242.vantande.skadad",
          "01765061112123456789_0000004242.vantande", "0176506111212345678x-0000004242.vantande"}) {
        EXPECT_FALSE(storage::isPendingEntryName(name)) << name;
    }
}

TEST_F(PendingTest, EntriesAreBookedInTheOrderOfTheirNamesAndRemoved) {
    ASSERT_TRUE(m_dir.names().empty());
    // Made in the other order on purpose: the names decide.
    ASSERT_TRUE(storage::addPendingEntry(m_files, kSecond, entryOf({{{2001, 12, 5}, 1260}})));
    ASSERT_TRUE(storage::addPendingEntry(m_files, kFirst, entryOf({{{2001, 12, 5}, 3000}})));
    EXPECT_FALSE(storage::addPendingEntry(m_files, kFirst, entryOf({{{2001, 12, 5}, 1}})));

    const auto results = storage::bookPendingEntries(m_files, kOneHour);
    ASSERT_EQ(results.size(), 2U);
    EXPECT_EQ(results[0].name, kFirst);
    EXPECT_EQ(results[0].outcome, PendingOutcome::Booked);
    EXPECT_EQ(results[1].outcome, PendingOutcome::Booked);
    // 3000 s, then 1260 s: the day passes its hour by 660 s, charged 40 + 660 / 60 × 10 = 150
    // öre. Had the order been the other way, 1260 + 3000 would be the same total but the first
    // booking would not be the one within the hour: the undo copy tells the order.
    EXPECT_EQ(m_dir.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(4260, 660, 150.0f, 5)}}));
    EXPECT_EQ(m_dir.read("0112.tmp"), monthFileBytes({{5, dayRecordBytes(3000, 0, 0.0f, 5)}}));
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"0112.tid", "0112.tmp"}));
    ASSERT_TRUE(results[1].lastBooking);
    EXPECT_EQ(results[1].lastBooking->entryFile, "0112.tid");
    EXPECT_EQ(results[1].records.at(0).connectedSeconds, 4260);
    EXPECT_TRUE(storage::bookPendingEntries(m_files, kOneHour).empty());
}

TEST_F(PendingTest, AnEntryThatWouldPassADayIsRefusedWholeAndRemoved) {
    m_dir.write("0112.tid", monthFileBytes({{6, dayRecordBytes(86000, 0, 0.0f, 6)}}));
    const Bytes month = m_dir.read("0112.tid");
    // A connection over midnight: the first part fits on the 5th, the second not on the 6th.
    ASSERT_TRUE(storage::addPendingEntry(m_files, kFirst,
                                         entryOf({{{2001, 12, 5}, 600}, {{2001, 12, 6}, 401}})));
    const auto results = storage::bookPendingEntries(m_files, kOneHour);
    ASSERT_EQ(results.size(), 1U);
    EXPECT_EQ(results[0].outcome, PendingOutcome::Refused);
    EXPECT_EQ(results[0].refusedDay, (core::Date{2001, 12, 6}));
    EXPECT_EQ(m_dir.read("0112.tid"), month);
    EXPECT_EQ(m_dir.names(), std::vector<std::string>{"0112.tid"});
}

TEST_F(PendingTest, WithoutAPlanOrWithADamagedMonthEntriesWaitInOrder) {
    ASSERT_TRUE(storage::addPendingEntry(m_files, kFirst, entryOf({{{2001, 11, 5}, 60}})));
    ASSERT_TRUE(storage::addPendingEntry(m_files, kSecond, entryOf({{{2001, 12, 5}, 60}})));
    const Bytes first = m_dir.read(kFirst);

    auto results = storage::bookPendingEntries(m_files, 0); // no plan known
    ASSERT_EQ(results.size(), 1U);
    EXPECT_EQ(results[0].outcome, PendingOutcome::Kept);
    EXPECT_EQ(results[0].reason, storage::BookingOutcome::NoPlan);
    EXPECT_EQ(m_dir.read(kFirst), first);

    // A month file longer than 31 records is damaged: the first entry waits, and the second
    // (whose month is fine) waits behind it.
    m_dir.write("0111.tid", Bytes(16 * 31 + 1, 0));
    results = storage::bookPendingEntries(m_files, kOneHour);
    ASSERT_EQ(results.size(), 1U);
    EXPECT_EQ(results[0].outcome, PendingOutcome::Kept);
    EXPECT_EQ(results[0].monthFile, "0111.tid");
    EXPECT_EQ(results[0].monthState, storage::MonthState::Damaged);
    EXPECT_EQ(m_dir.read(kFirst), first);
    EXPECT_FALSE(m_dir.exists("0112.tid"));

    m_dir.write("0111.tid", {});
    results = storage::bookPendingEntries(m_files, kOneHour);
    ASSERT_EQ(results.size(), 2U);
    EXPECT_EQ(m_dir.read("0111.tid"), monthFileBytes({{5, dayRecordBytes(60, 0, 0.0f, 5)}}));
    EXPECT_EQ(m_dir.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(60, 0, 0.0f, 5)}}));
}

TEST_F(PendingTest, WhatIsNoEntryIsSetAsideAndNeverBooked) {
    m_dir.write(kFirst, bytesOf("surfklocka-vantande 1\n2001-12-05 60\ntrailing"));
    m_dir.write("notes.vantande", bytesOf("surfklocka-vantande 1\n2001-12-05 60\n"));
    ASSERT_TRUE(storage::addPendingEntry(m_files, kSecond, entryOf({{{2001, 12, 5}, 120}})));
    const auto results = storage::bookPendingEntries(m_files, kOneHour);
    ASSERT_EQ(results.size(), 3U);
    EXPECT_EQ(results[0].outcome, PendingOutcome::SetAside);
    EXPECT_EQ(results[1].outcome, PendingOutcome::Booked);
    EXPECT_EQ(results[2].name, "notes.vantande");
    EXPECT_EQ(results[2].outcome, PendingOutcome::SetAside);
    EXPECT_EQ(m_dir.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(120, 0, 0.0f, 5)}}));
    EXPECT_TRUE(m_dir.exists(kFirst + ".skadad"));
    EXPECT_TRUE(m_dir.exists("notes.vantande.skadad"));
    EXPECT_FALSE(m_dir.exists(kFirst));
}

// The program may stop dead before any change a run makes. Whatever it had done, the next run
// books what was left and nothing twice: each day ends up with its part exactly once.
TEST_F(PendingTest, AStopAtAnyChangeBooksEveryPartExactlyOnce) {
    const Bytes dayFive = monthFileBytes({{5, dayRecordBytes(600, 0, 0.0f, 5)}});
    bool finished = false;
    for (int change = 1; !finished; ++change) {
        SCOPED_TRACE(change);
        ASSERT_LT(change, 40);
        testing_support::TempDir dir;
        platform::PosixFileSystem real(dir.path());
        dir.write("0112.tid", dayFive);
        ASSERT_TRUE(storage::addPendingEntry(
            real, kFirst, entryOf({{{2001, 12, 5}, 1200}, {{2001, 12, 6}, 300}})));
        FaultyFileSystem faulty(real);
        faulty.failAt(change, FaultyFileSystem::Mode::Crash, true);
        try {
            storage::bookPendingEntries(faulty, kOneHour);
            finished = true;
        } catch (const platform::fakes::SimulatedCrash&) {
        }
        const auto after = storage::bookPendingEntries(real, kOneHour);
        // 600 + 1200 on the 5th, within the hour; 300 on the 6th.
        EXPECT_EQ(dir.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(1800, 0, 0.0f, 5)},
                                                        {6, dayRecordBytes(300, 0, 0.0f, 6)}}));
        EXPECT_FALSE(dir.exists(kFirst));
        for (const auto& result : after) {
            EXPECT_EQ(result.outcome, PendingOutcome::Booked);
        }
    }
}

TEST_F(PendingTest, AnEntryWhoseRemovalFailedIsNotBookedAgain) {
    // Which call removes the entry, found on a copy of the same folder.
    int removal = 0;
    {
        testing_support::TempDir dir;
        platform::PosixFileSystem copy(dir.path());
        ASSERT_TRUE(storage::addPendingEntry(copy, kFirst, entryOf({{{2001, 12, 5}, 120}})));
        FaultyFileSystem probe(copy);
        storage::bookPendingEntries(probe, kOneHour);
        for (std::size_t i = 0; i < probe.log().size(); ++i) {
            if (probe.log()[i] == "removeFile " + kFirst) {
                removal = static_cast<int>(i) + 1;
            }
        }
    }
    ASSERT_GT(removal, 0);
    ASSERT_TRUE(storage::addPendingEntry(m_files, kFirst, entryOf({{{2001, 12, 5}, 120}})));
    FaultyFileSystem faulty(m_files);
    faulty.failAt(removal, FaultyFileSystem::Mode::Once);
    EXPECT_EQ(storage::bookPendingEntries(faulty, kOneHour).at(0).outcome, PendingOutcome::Booked);
    ASSERT_EQ(faulty.failures(), 1);
    ASSERT_TRUE(m_dir.exists(kFirst)); // the removal failed
    const auto again = storage::bookPendingEntries(m_files, kOneHour);
    ASSERT_EQ(again.size(), 1U);
    EXPECT_EQ(again[0].outcome, PendingOutcome::Booked);
    EXPECT_EQ(m_dir.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(120, 0, 0.0f, 5)}}));
    EXPECT_FALSE(m_dir.exists(kFirst));
}
