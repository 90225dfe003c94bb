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
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace storage;
using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;
using platform::fakes::FaultyFileSystem;
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
std::string answer(const EntryResult& result) {
    return std::to_string(static_cast<int>(result.outcome)) + " " + result.name;
}

std::vector<EntryResult>
bookWaiting(platform::FileSystem& files, std::string_view own = {},
            const core::PlanSchedule& plans = core::PlanSchedule(kOneHour)) {
    return Journal(files, plans).bookWaiting(answer, own);
}

struct JournalTest : ::testing::Test {
    testing_support::TempDir m_dir;
    platform::PosixFileSystem m_files{m_dir.path()};
};

} // namespace

TEST(PendingEntryText, IsReadBackExactlyAndAnythingTheWriterDoesNotWriteIsRefused) {
    PendingEntry entry = entryOf({{{2026, 12, 5}, 1800}, {{2026, 12, 6}, 600}});
    EXPECT_EQ(pendingEntryText(entry), "surfklocka-vantande 1\n2026-12-05 1800\n2026-12-06 600\n");
    entry.parts[0].before =
        DayBytes{0x00, 0x00, 0x3E, 0x43, 0xA4, 0x10, 0, 0, 0x94, 0x02, 0, 0, 5, 0, 0xFF, 0xFF};
    entry.parts[1].before = DayBytes{};
    // The record's bytes in order, two lower-case digits each.
    EXPECT_EQ(pendingEntryText(entry), "surfklocka-vantande 1\n"
                                       "2026-12-05 1800 00003e43a4100000940200000500ffff\n"
                                       "2026-12-06 600 00000000000000000000000000000000\n");
    EXPECT_EQ(parsePendingEntry(bytesOf(pendingEntryText(entry))), entry);

    EXPECT_EQ(pendingEntryName(1765061112123456789, 4242),
              "01765061112123456789-0000004242.vantande");
    EXPECT_EQ(answerName("01765061112123456789-0000004242.vantande"),
              "01765061112123456789-0000004242.svar");
    EXPECT_TRUE(isPendingEntryName("01765061112123456789-0000004242.vantande"));
    EXPECT_FALSE(isPendingEntryName("1765061112123456789-0000004242.vantande") ||
                 isPendingEntryName("01765061112123456789_0000004242.vantande") ||
                 isPendingEntryName("0176506111212345678x-0000004242.vantande"));
    const std::string header = "surfklocka-vantande 1\n";
    const std::string hex = " 00000000000000000000000000000000";
    for (const std::string& text : std::vector<std::string>{
             "",
             header,                                                 // no part
             header + "2026-12-05 1800",                             // no final line end
             header + "2026-12-05 1800\r\n",                         // CR LF
             header + "2026-12-05  1800\n",                          // two blanks
             header + "2026-02-29 1800\n",                           // not a real day
             header + "2100-01-01 1800\n",                           // after the lists' last year
             header + "2000-12-31 1800\n",                           // before their first
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
        EXPECT_EQ(parsePendingEntry(bytesOf(text)), std::nullopt);
    }
    // 32 parts are accepted, 33 are not: 2026-01-01 onwards, one day each.
    std::string many = header;
    for (int day = 1; day <= 31; ++day) {
        many += "2026-01-" + std::string(day < 10 ? "0" : "") + std::to_string(day) + " 1\n";
    }
    many += "2026-02-01 1\n";
    EXPECT_EQ(parsePendingEntry(bytesOf(many))->parts.size(), 32U);
    EXPECT_EQ(parsePendingEntry(bytesOf(many + "2026-02-02 1\n")), std::nullopt);
}

TEST_F(JournalTest, AConnectionIsOneWriteOfEachMonthWithItsPlanAndOnlyOneMonthCanBeUndone) {
    m_dir.write("0112.tid", monthFileBytes({{30, dayRecordBytes(600, 0, 0.0f, 30)}}));
    const Bytes before = m_dir.read("0112.tid");
    // 1 h until December 2001, 8 h from January 2002, not known from February.
    const core::PlanSchedule plans({{2001, 1, 3600}, {2002, 1, 28800}, {2002, 2, 0}});
    // 23:40 on the 30th to 00:10 on the 31st, both in December: one write, one undo copy that
    // holds December before the whole connection.
    ASSERT_TRUE(
        addPendingEntry(m_files, kFirst, entryOf({{{2001, 12, 30}, 1200}, {{2001, 12, 31}, 600}})));
    const EntryResult first = bookWaiting(m_files, kFirst, plans).at(0);
    EXPECT_TRUE(first.undoCopy && !first.acrossMonths);
    EXPECT_EQ(m_dir.read("0112.tmp"), before);
    // Across the year's end: both months written, no undo copy left (one month's copy cannot
    // take back the other month), and the older copy swept. 3300 s more on 31 December make
    // 3900 s, 300 s past its hour: 40 + 300 / 60 × 10 = 90 öre; 3900 s on 1 January are within
    // January's 8 h.
    ASSERT_TRUE(
        addPendingEntry(m_files, kSecond, entryOf({{{2001, 12, 31}, 3300}, {{2002, 1, 1}, 3900}})));
    const EntryResult second = bookWaiting(m_files, kSecond, plans).at(0);
    EXPECT_TRUE(second.outcome == EntryOutcome::Booked && second.acrossMonths && !second.undoCopy);
    EXPECT_EQ(second.entryFile, "0201.tid");
    // A month whose plan is not known books nothing of the entry, and its command is told.
    ASSERT_TRUE(
        addPendingEntry(m_files, kFirst, entryOf({{{2002, 1, 31}, 60}, {{2002, 2, 1}, 60}})));
    EXPECT_EQ(bookWaiting(m_files, {}, plans).at(0).outcome, EntryOutcome::NoPlan);
    EXPECT_EQ(takeAnswer(m_files, kFirst), "2 " + kFirst);
    EXPECT_EQ(m_dir.read("0201.tid"), monthFileBytes({{1, dayRecordBytes(3900, 0, 0.0f, 1)}}));
    EXPECT_EQ(m_dir.read("0112.tid"), monthFileBytes({{30, dayRecordBytes(1800, 0, 0.0f, 30)},
                                                      {31, dayRecordBytes(3900, 300, 90.0f, 31)}}));
    EXPECT_EQ(m_dir.names(), (Names{"0112.tid", "0201.tid"}));
}

// Entries are booked in the order of their names, each answered (but the caller's own) and
// removed; one on a month that cannot be used books nothing, what is no entry is set aside once
// with its cause, and old answers are cleared.
TEST_F(JournalTest, EntriesAreBookedInTheOrderOfTheirNamesAndWhatIsNoEntryIsSetAside) {
    const std::string third = "00000000000000000003-0000000007.vantande";
    const std::string fourth = "00000000000000000004-0000000007.vantande";
    // Made in the other order on purpose: the names decide.
    ASSERT_TRUE(addPendingEntry(m_files, kSecond, entryOf({{{2001, 12, 5}, 1260}})));
    ASSERT_TRUE(addPendingEntry(m_files, kFirst, entryOf({{{2001, 12, 5}, 3000}})));
    EXPECT_FALSE(addPendingEntry(m_files, kFirst, entryOf({{{2001, 12, 5}, 1}})));
    m_dir.write(third, bytesOf("surfklocka-vantande 1\n2001-12-05 60\ntrailing"));
    // October's file is no month file: nothing of the fourth is booked.
    std::filesystem::create_directory(m_dir.file("0110.tid"));
    ASSERT_TRUE(addPendingEntry(m_files, fourth, entryOf({{{2001, 10, 1}, 60}})));
    m_dir.write("notes.vantande", bytesOf("surfklocka-vantande 1\n2001-12-05 60\n"));
    ASSERT_EQ(::symlink("/etc/passwd", m_dir.file("link.vantande").c_str()), 0);
    m_dir.write("mon.tmp", monthFileBytes({{1, dayRecordBytes(60, 0, 0.0f, 1)}}));
    const auto results = bookWaiting(m_files, kSecond);
    const std::vector<std::pair<EntryOutcome, SetAsideCause>> expected{
        {EntryOutcome::Booked, {}},
        {EntryOutcome::Booked, {}},
        {EntryOutcome::SetAside, SetAsideCause::NotAnEntry}, // the third
        {EntryOutcome::Failed, {}},
        {EntryOutcome::SetAside, SetAsideCause::NotAFile}, // the link
        {EntryOutcome::SetAside, SetAsideCause::NotAnEntry}};
    ASSERT_EQ(results.size(), expected.size());
    for (std::size_t i = 0; i < results.size(); ++i) {
        EXPECT_EQ(std::pair(results[i].outcome, results[i].setAsideCause), expected[i]) << i;
        EXPECT_FALSE(results[i].setAsideFailed) << i;
    }
    // 3000 s, then 1260 s: the day passes its hour by 660 s, charged 40 + 660 / 60 × 10 = 150
    // öre. The undo copy holds the month after the first: the order was kept.
    EXPECT_EQ(m_dir.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(4260, 660, 150.0f, 5)}}));
    EXPECT_EQ(m_dir.read("0112.tmp"), monthFileBytes({{5, dayRecordBytes(3000, 0, 0.0f, 5)}}));
    EXPECT_EQ(takeAnswer(m_files, kFirst), "0 " + kFirst);
    EXPECT_EQ(takeAnswer(m_files, third), "4 " + third);
    EXPECT_EQ(takeAnswer(m_files, fourth), "3 " + fourth);
    // The link itself was moved aside, not what it points to. The next turn finds nothing, and
    // clears answers a day older or newer than the time in their names.
    EXPECT_TRUE(std::filesystem::is_symlink(m_dir.file("link.vantande.skadad")));
    const std::int64_t day = 24LL * 3600 * 1'000'000'000, now = 10 * day;
    const std::string kept = answerName(pendingEntryName(now - day + 1, 2));
    m_dir.write(answerName(pendingEntryName(now - day - 1, 1)), {1});
    m_dir.write(kept, {2});
    m_dir.write(answerName(pendingEntryName(now + day + 1, 3)), {3});
    EXPECT_TRUE(Journal(m_files, kOneHour).bookWaiting({}, {}, now).empty());
    EXPECT_EQ(m_dir.names(), (Names{third + ".skadad", kept, "0110.tid", "0112.tid", "0112.tmp",
                                    "link.vantande.skadad", "notes.vantande.skadad"}));
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
                ASSERT_TRUE(addPendingEntry(real, kFirst, c.entry));
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
                EXPECT_FALSE(dir.exists(std::string(kUndoCopyInProgress)));
                for (const auto& result : next) {
                    EXPECT_EQ(result.outcome, EntryOutcome::Booked);
                }
            }
        }
    }
}

// Bookings that keep the folder's note (a command's, each its own process here a layer of its
// own): the folder is listed once, and again only after some other program changed a name in it.
class JournalNoteTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!m_dir.keepsAttributes()) {
            GTEST_SKIP() << "the temporary folder's file system keeps no extended attributes";
        }
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
