// The journal of bookings on real temporary folders: the entry files' bytes, the order in which
// entries are booked, refusals and failures that change nothing, entries that are no entries, and
// a stop at every change of a connection across midnight and across a month boundary, with and
// without a window, each followed by the next holder: every second booked exactly once.

#include "platform/posix_file_system.h"
#include "storage/journal.h"
#include "support/fakes/faulty_file_system.h"
#include "support/month_bytes.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
using platform::fakes::FaultyFileSystem;
using storage::EntryOutcome;
using storage::PendingEntry;
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

// The answer as the test words it: the outcome's number and the entry's name.
std::string answer(const storage::EntryResult& result) {
    return std::to_string(static_cast<int>(result.outcome)) + " " + result.name;
}

std::vector<storage::EntryResult> bookWaiting(platform::FileSystem& files,
                                              std::string_view own = {},
                                              std::int32_t allowance = kOneHour) {
    return storage::Journal(files, allowance).bookWaiting(answer, own);
}

class JournalTest : public ::testing::Test {
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
             header + "2026-12-05 1800" + hex + " 00\n",                    // a fourth field
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

TEST(PendingEntryName, SortsInTheOrderTheEntriesWereMadeAndNamesItsAnswer) {
    EXPECT_EQ(storage::pendingEntryName(1765061112123456789, 4242),
              "01765061112123456789-0000004242.vantande");
    EXPECT_EQ(storage::answerName("01765061112123456789-0000004242.vantande"),
              "01765061112123456789-0000004242.svar");
    EXPECT_TRUE(storage::isPendingEntryName("01765061112123456789-0000004242.vantande"));
    EXPECT_LT(storage::pendingEntryName(999, 99999), storage::pendingEntryName(1000, 1));
    for (const char* name :
         {"1765061112123456789-0000004242.vantande",
          "01765061112123456789-0000004242.vantande.skadad",
          "01765061112123456789_0000004242.vantande", "0176506111212345678x-0000004242.vantande"}) {
        EXPECT_FALSE(storage::isPendingEntryName(name)) << name;
    }
}

TEST_F(JournalTest, EntriesAreBookedInTheOrderOfTheirNamesEachAnsweredAndRemoved) {
    // Made in the other order on purpose: the names decide.
    ASSERT_TRUE(storage::addPendingEntry(m_files, kSecond, entryOf({{{2001, 12, 5}, 1260}})));
    ASSERT_TRUE(storage::addPendingEntry(m_files, kFirst, entryOf({{{2001, 12, 5}, 3000}})));
    EXPECT_FALSE(storage::addPendingEntry(m_files, kFirst, entryOf({{{2001, 12, 5}, 1}})));
    m_dir.write("mon.tmp", monthFileBytes({{1, dayRecordBytes(60, 0, 0.0f, 1)}}));

    const auto results = bookWaiting(m_files, kSecond);
    ASSERT_EQ(results.size(), 2U);
    EXPECT_EQ(results[0].name, kFirst);
    EXPECT_EQ(results[0].outcome, EntryOutcome::Booked);
    EXPECT_EQ(results[1].outcome, EntryOutcome::Booked);
    // 3000 s, then 1260 s: the day passes its hour by 660 s, charged 40 + 660 / 60 × 10 = 150
    // öre. The undo copy holds the month after the first: the order was kept.
    EXPECT_EQ(m_dir.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(4260, 660, 150.0f, 5)}}));
    EXPECT_EQ(m_dir.read("0112.tmp"), monthFileBytes({{5, dayRecordBytes(3000, 0, 0.0f, 5)}}));
    EXPECT_EQ(results[1].records.at(0).connectedSeconds, 4260);
    EXPECT_TRUE(results[1].undoCopy);
    // The first entry's command gets its answer; the caller's own (the second) gets none. The
    // deleted month's copy ended with the booking.
    EXPECT_EQ(m_dir.read("00000000000000000001-0000000007.svar"), bytesOf("0 " + kFirst));
    EXPECT_EQ(storage::takeAnswer(m_files, kFirst), "0 " + kFirst);
    EXPECT_EQ(storage::takeAnswer(m_files, kFirst), std::nullopt);
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"0112.tid", "0112.tmp"}));
    EXPECT_TRUE(bookWaiting(m_files).empty());
}

TEST_F(JournalTest, AConnectionIsOneWriteOfEachMonthAndOnlyOneMonthCanBeUndone) {
    m_dir.write("0112.tid", monthFileBytes({{30, dayRecordBytes(600, 0, 0.0f, 30)}}));
    const Bytes november = m_dir.read("0112.tid");
    // 23:40 on the 30th to 00:10 on the 31st, both in December: one write, one undo copy that
    // holds December before the whole connection.
    ASSERT_TRUE(storage::addPendingEntry(m_files, kFirst,
                                         entryOf({{{2001, 12, 30}, 1200}, {{2001, 12, 31}, 600}})));
    auto results = bookWaiting(m_files, kFirst);
    ASSERT_EQ(results.size(), 1U);
    EXPECT_TRUE(results[0].undoCopy);
    EXPECT_FALSE(results[0].acrossMonths);
    EXPECT_EQ(m_dir.read("0112.tmp"), november);
    EXPECT_EQ(m_dir.read("0112.tid"), monthFileBytes({{30, dayRecordBytes(1800, 0, 0.0f, 30)},
                                                      {31, dayRecordBytes(600, 0, 0.0f, 31)}}));
    // Across the year's end: both months written, no undo copy left (one month's copy cannot
    // take back the other month), and the older copy swept.
    ASSERT_TRUE(storage::addPendingEntry(m_files, kSecond,
                                         entryOf({{{2001, 12, 31}, 300}, {{2002, 1, 1}, 3900}})));
    results = bookWaiting(m_files, kSecond);
    ASSERT_EQ(results.size(), 1U);
    EXPECT_TRUE(results[0].acrossMonths);
    EXPECT_FALSE(results[0].undoCopy);
    EXPECT_EQ(results[0].entryFile, "0201.tid");
    // 3900 s on 1 January: 300 s past the hour, 40 + 300 / 60 × 10 = 90 öre.
    EXPECT_EQ(m_dir.read("0201.tid"), monthFileBytes({{1, dayRecordBytes(3900, 300, 90.0f, 1)}}));
    EXPECT_EQ(m_dir.read("0112.tid"), monthFileBytes({{30, dayRecordBytes(1800, 0, 0.0f, 30)},
                                                      {31, dayRecordBytes(900, 0, 0.0f, 31)}}));
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"0112.tid", "0201.tid"}));
}

// Refusals and failures book nothing, change no month and no copy, remove the entry and leave
// its command an answer that says why.
TEST_F(JournalTest, WhatCannotBeBookedChangesNothingAndIsAnswered) {
    struct Case {
        const char* name;
        std::int32_t allowance;
        Bytes january; // 0201.tid
        EntryOutcome outcome;
    };
    const Bytes full = monthFileBytes({{1, dayRecordBytes(86000, 0, 0.0f, 1)}});
    for (const Case& c : std::vector<Case>{
             {"day full", kOneHour, full, EntryOutcome::Refused},
             {"no plan", 0, {}, EntryOutcome::NoPlan},
             {"damaged month", kOneHour, Bytes(16 * 31 + 1, 0), EntryOutcome::Failed},
         }) {
        SCOPED_TRACE(c.name);
        testing_support::TempDir dir;
        platform::PosixFileSystem files(dir.path());
        dir.write("0201.tid", c.january);
        dir.write("0112.tmp", {1, 2, 3});
        dir.write("post2.tmp", {4});
        ASSERT_TRUE(storage::addPendingEntry(
            files, kFirst, entryOf({{{2001, 12, 31}, 600}, {{2002, 1, 1}, 401}})));
        const auto results = bookWaiting(files, {}, c.allowance);
        ASSERT_EQ(results.size(), 1U);
        EXPECT_EQ(results[0].outcome, c.outcome);
        EXPECT_EQ(dir.read("0201.tid"), c.january);
        EXPECT_EQ(dir.read("0112.tmp"), (Bytes{1, 2, 3}));
        EXPECT_EQ(dir.read("post2.tmp"), Bytes{4});
        EXPECT_FALSE(dir.exists("0112.tid"));
        EXPECT_EQ(storage::takeAnswer(files, kFirst),
                  std::to_string(static_cast<int>(c.outcome)) + " " + kFirst);
        EXPECT_EQ(dir.names(), (std::vector<std::string>{"0112.tmp", "0201.tid", "post2.tmp"}));
    }
}

TEST_F(JournalTest, WhatIsNoEntryIsSetAsideOnceWithItsCauseAndNeverBooked) {
    m_dir.write(kFirst, bytesOf("surfklocka-vantande 1\n2001-12-05 60\ntrailing"));
    m_dir.write("notes.vantande", bytesOf("surfklocka-vantande 1\n2001-12-05 60\n"));
    ASSERT_EQ(::symlink("/etc/passwd", m_dir.file("link.vantande").c_str()), 0);
    ASSERT_EQ(::mkfifo(m_dir.file("pipe.vantande").c_str(), 0600), 0);
    ASSERT_TRUE(storage::addPendingEntry(m_files, kSecond, entryOf({{{2001, 12, 5}, 120}})));
    const auto results = bookWaiting(m_files);
    ASSERT_EQ(results.size(), 5U);
    const std::vector<std::pair<EntryOutcome, storage::SetAsideCause>> expected{
        {EntryOutcome::SetAside, storage::SetAsideCause::NotAnEntry}, // kFirst
        {EntryOutcome::Booked, storage::SetAsideCause::NotAnEntry},   // kSecond
        {EntryOutcome::SetAside, storage::SetAsideCause::NotAFile},   // link
        {EntryOutcome::SetAside, storage::SetAsideCause::NotAnEntry}, // notes
        {EntryOutcome::SetAside, storage::SetAsideCause::NotAFile},   // pipe
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(results[i].outcome, expected[i].first) << results[i].name;
        if (expected[i].first == EntryOutcome::SetAside) {
            EXPECT_EQ(results[i].setAsideCause, expected[i].second) << results[i].name;
            EXPECT_FALSE(results[i].setAsideFailed) << results[i].name;
        }
    }
    EXPECT_EQ(m_dir.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(120, 0, 0.0f, 5)}}));
    // The link itself was moved aside, not what it points to; the next turn finds nothing.
    struct stat info {};
    ASSERT_EQ(::lstat(m_dir.file("link.vantande.skadad").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_TRUE(m_dir.exists(kFirst + ".skadad"));
    EXPECT_TRUE(bookWaiting(m_files).empty());
}

TEST_F(JournalTest, AnswersOlderThanADayAreCleared) {
    const std::int64_t day = 24LL * 3600 * 1'000'000'000;
    const std::int64_t now = 10 * day;
    m_dir.write(storage::answerName(storage::pendingEntryName(now - day - 1, 1)), {1});
    m_dir.write(storage::answerName(storage::pendingEntryName(now - day + 1, 2)), {2});
    m_dir.write(storage::answerName(storage::pendingEntryName(now + day + 1, 3)), {3});
    storage::Journal(m_files, kOneHour).bookWaiting(answer, {}, now);
    EXPECT_EQ(m_dir.names(), std::vector<std::string>{
                                 storage::answerName(storage::pendingEntryName(now - day + 1, 2))});
}

// The program may stop dead before any change of a turn. Whatever it had done, the next holder
// books what was left and nothing twice: each day ends up with its part exactly once, the month
// files are whole, and no entry is left.
TEST(JournalStop, AStopAtAnyChangeBooksEveryPartExactlyOnce) {
    struct Case {
        const char* name;
        PendingEntry entry;
        std::map<std::string, Bytes> after;
    };
    const Bytes dayThirty = monthFileBytes({{30, dayRecordBytes(600, 0, 0.0f, 30)}});
    const std::vector<Case> cases{
        {"two days of one month",
         entryOf({{{2001, 12, 30}, 1200}, {{2001, 12, 31}, 300}}),
         {{"0112.tid", monthFileBytes({{30, dayRecordBytes(1800, 0, 0.0f, 30)},
                                       {31, dayRecordBytes(300, 0, 0.0f, 31)}})}}},
        {"across the year's end",
         entryOf({{{2001, 12, 30}, 86400 - 600}, {{2001, 12, 31}, 86400}, {{2002, 1, 1}, 60}}),
         // 85800 + 600 = 86400 s on the 30th: 82800 s past the hour, 40 + 82800 / 60 × 10 =
         // 13840 öre; the whole 31st: 82800 s extra, 13840 öre; 60 s on 1 January.
         {{"0112.tid", monthFileBytes({{30, dayRecordBytes(86400, 82800, 13840.0f, 30)},
                                       {31, dayRecordBytes(86400, 82800, 13840.0f, 31)}})},
          {"0201.tid", monthFileBytes({{1, dayRecordBytes(60, 0, 0.0f, 1)}})}}},
    };
    for (const Case& c : cases) {
        for (const bool window : {false, true}) {
            bool finished = false;
            for (int change = 1; !finished; ++change) {
                SCOPED_TRACE(std::string(c.name) + (window ? ", window" : ", command") +
                             ", stop at change " + std::to_string(change));
                ASSERT_LT(change, 60);
                testing_support::TempDir dir;
                platform::PosixFileSystem real(dir.path());
                dir.write("0112.tid", dayThirty);
                ASSERT_TRUE(storage::addPendingEntry(real, kFirst, c.entry));
                FaultyFileSystem faulty(real);
                faulty.failAt(change, FaultyFileSystem::Mode::Crash, true);
                try {
                    bookWaiting(faulty, window ? std::string_view() : kFirst);
                    finished = true;
                } catch (const platform::fakes::SimulatedCrash&) {
                }
                const auto next = bookWaiting(real, window ? std::string_view() : kFirst);
                for (const auto& [file, bytes] : c.after) {
                    EXPECT_EQ(dir.read(file), bytes) << file;
                }
                EXPECT_FALSE(dir.exists(kFirst));
                EXPECT_FALSE(dir.exists(std::string(storage::kUndoCopyInProgress)));
                for (const auto& result : next) {
                    EXPECT_EQ(result.outcome, EntryOutcome::Booked);
                }
            }
        }
    }
}

TEST_F(JournalTest, EachDayIsBookedWithThePlanInForceInItsMonth) {
    // 1 h until December 2001, 8 h from January 2002: 3960 s on either side of the year's end.
    const core::PlanSchedule plans({{2001, 1, 3600}, {2002, 1, 28800}});
    ASSERT_TRUE(storage::addPendingEntry(m_files, kFirst,
                                         entryOf({{{2001, 12, 31}, 3960}, {{2002, 1, 1}, 3960}})));
    const auto results = storage::Journal(m_files, plans).bookWaiting(answer, kFirst);
    ASSERT_EQ(results.size(), 1U);
    EXPECT_EQ(results[0].outcome, EntryOutcome::Booked);
    // December: 360 s past the hour, 40 + 360 / 60 × 10 = 100 öre. January: within 8 h.
    EXPECT_EQ(m_dir.read("0112.tid"),
              monthFileBytes({{31, dayRecordBytes(3960, 360, 100.0f, 31)}}));
    EXPECT_EQ(m_dir.read("0201.tid"), monthFileBytes({{1, dayRecordBytes(3960, 0, 0.0f, 1)}}));
    // A month whose plan is not known books nothing of the entry.
    ASSERT_TRUE(storage::addPendingEntry(m_files, kSecond, entryOf({{{2002, 1, 2}, 60}})));
    const core::PlanSchedule unknown({{2001, 1, 3600}, {2002, 1, 0}});
    EXPECT_EQ(storage::Journal(m_files, unknown).bookWaiting(answer, kSecond).at(0).outcome,
              EntryOutcome::NoPlan);
}

// Bookings that keep the folder's note (a command's, each its own process here a layer of its
// own): the folder is listed once, and again only after some other program changed a name in it.
class JournalNoteTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (::setxattr(m_dir.path().c_str(), "user.surfklocka.probe", "1", 1, 0) != 0) {
            GTEST_SKIP() << "the temporary folder's file system keeps no extended attributes";
        }
        ::removexattr(m_dir.path().c_str(), "user.surfklocka.probe");
    }

    // One booking of `seconds` on the day, as a command books its own after what waits, on a
    // layer of its own that logs its calls; whether it listed the folder.
    bool bookListing(core::Date day, std::int32_t seconds, bool leave = true) {
        platform::PosixFileSystem real(m_dir.path());
        FaultyFileSystem logged(real);
        storage::Journal journal(logged, core::PlanSchedule(kOneHour), storage::FolderNote::Keep);
        for (const storage::EntryResult& waiting : journal.bookWaiting(answer)) {
            EXPECT_EQ(waiting.outcome, EntryOutcome::Booked);
        }
        EXPECT_EQ(journal.book(entryOf({{day, seconds}})).outcome, EntryOutcome::Booked);
        if (leave) {
            journal.leaveNote();
        }
        const auto& log = logged.log();
        return std::find(log.begin(), log.end(), "listNames .") != log.end();
    }

    testing_support::TempDir m_dir;
};

TEST_F(JournalNoteTest, TheFolderIsListedOnceAndTheNoteSweepsTheCopiesItNames) {
    m_dir.write("post2.tmp", Bytes{1});
    EXPECT_TRUE(bookListing({2001, 12, 5}, 60));
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"0112.tid", "0112.tmp"}));
    // Nothing else changed a name: the note is gone by, and it names December's copy, which this
    // booking in November ends.
    EXPECT_FALSE(bookListing({2001, 11, 5}, 60));
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"0111.tid", "0111.tmp", "0112.tid"}));
    EXPECT_FALSE(bookListing({2001, 11, 5}, 60));
    EXPECT_EQ(m_dir.read("0111.tid"), monthFileBytes({{5, dayRecordBytes(120, 0, 0.0f, 5)}}));
    EXPECT_EQ(m_dir.read("0111.tmp"), monthFileBytes({{5, dayRecordBytes(60, 0, 0.0f, 5)}}));
}

TEST_F(JournalNoteTest, ACopyOrAnEntryMadeByAnotherProgramIsFoundByAListing) {
    EXPECT_TRUE(bookListing({2001, 12, 5}, 60));
    // A month deleted in the window: its copy, made through the layer, drops the note.
    {
        platform::PosixFileSystem window(m_dir.path());
        ASSERT_TRUE(window.replaceFile("mon.tmp", Bytes{1}));
    }
    EXPECT_TRUE(bookListing({2001, 12, 6}, 60));
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"0112.tid", "0112.tmp"}));
    // An entry that waits for the next holder is booked by it, before its own booking.
    {
        platform::PosixFileSystem command(m_dir.path());
        ASSERT_TRUE(storage::addPendingEntry(command, kFirst, entryOf({{{2001, 12, 5}, 30}})));
    }
    EXPECT_TRUE(bookListing({2001, 12, 6}, 60));
    EXPECT_EQ(m_dir.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(90, 0, 0.0f, 5)},
                                                      {6, dayRecordBytes(120, 0, 0.0f, 6)}}));
    // Its answer waits for its command: the folder is not plain, and is listed again.
    EXPECT_TRUE(m_dir.exists("00000000000000000001-0000000007.svar"));
    EXPECT_TRUE(bookListing({2001, 12, 6}, 60));
}

TEST_F(JournalNoteTest, AHolderThatStopsBeforeLeavingItsNoteLeavesNone) {
    EXPECT_TRUE(bookListing({2001, 12, 5}, 60));
    EXPECT_FALSE(bookListing({2001, 12, 5}, 60, false)); // stops after its booking
    EXPECT_TRUE(bookListing({2001, 12, 5}, 60));
    EXPECT_EQ(m_dir.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(180, 0, 0.0f, 5)}}));
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"0112.tid", "0112.tmp"}));
}
