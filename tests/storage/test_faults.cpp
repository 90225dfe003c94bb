// Every operation that changes files, run with a file layer failing at its N-th call (that call
// only, or from it on) for every N until the operation gets through, and with one that stops dead
// at its k-th change for every k. Whatever happens no booked time is lost, the settings are whole
// and every month file reads; an operation that says it is done has left the files it promises as
// a clean run does, one that says it failed has left the month as it was.

#include "storage/backups.h"
#include "storage/booking.h"
#include "storage/journal.h"
#include "storage/month_file.h"
#include "storage/range_totals.h"
#include "storage/settings_file.h"
#include "support/fakes/faulty_file_system.h"
#include "support/fakes/memory_file_system.h"
#include "support/month_bytes.h"

#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Files = platform::fakes::MemoryFileSystem::Files;
using FS = platform::FileSystem;
using platform::fakes::FaultyFileSystem;
using namespace testing_support;

struct Scenario {
    std::string name;
    Files files;
    std::function<bool(FS&)> run; // false when the operation reports a failure
    // The files it promises are as after a clean run when it reports done; the first of them is
    // as it was when it reports a failure.
    std::string promised{};
    bool exchangeUnsupported = false;
    bool linkUnsupported = false; // the undo copy of a booking is copied, not linked
    // A reported failure leaves every month file, copy and the settings as they were (a booking,
    // an undo or redo), not only the first file it promises.
    bool failureChangesNothing = false;
    friend void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }
};

std::vector<Scenario> scenarios() {
    using namespace storage;
    // Day 20 of December is in the month file only, not in its undo copy, so that deleting it
    // leaves it in the deleted day's copy alone.
    const Bytes day3 = dayRecordBytes(1000, 0, 0.0f, 3),
                day5 = dayRecordBytes(4200, 600, 140.0f, 5);
    Files start = {
        {"tid.it", {0xFF, 0xFF}},
        {"0112.tid", monthFileBytes({{3, day3}, {5, day5}, {20, dayRecordBytes(60, 0, 0.0f, 20)}})},
        {"0112.tmp", monthFileBytes({{3, day3}, {5, day5}})},
        {"0111.tid", monthFileBytes({{1, dayRecordBytes(600, 0, 0.0f, 1)}})},
        {"0201.tid", {}}};
    Files dayDeleted = start, monthDeleted = start;
    dayDeleted["post2.tmp"] = std::exchange(dayDeleted["0112.tid"], start["0112.tmp"]);
    monthDeleted["mon.tmp"] = monthDeleted.extract("0111.tid").mapped();
    // Every copy a booking ends: a deleted month's and a deleted day's beside the undo copy. A
    // booking that fails leaves them all, and every month, as they were.
    Files copies = start;
    copies["mon.tmp"] = monthFileBytes({{2, dayRecordBytes(120, 0, 0.0f, 2)}});
    copies["post2.tmp"] = start["0112.tmp"];
    // A connection waiting in the journal from 23:50 on 31 December 2001 to 00:10 on 1 January.
    Files withEntry = copies;
    const std::string_view entry = "surfklocka-vantande 1\n2001-12-31 600\n2002-01-01 600\n";
    withEntry["00000000000000000001-0000000001.vantande"] = Bytes(entry.begin(), entry.end());
    // Reports done once both months hold their part, or when it is begun and its entry kept to
    // be finished (one month could be written, the other neither written nor put back).
    const auto bookEntries = [](FS& f) {
        const std::string name = "00000000000000000001-0000000001.vantande";
        const auto results = Journal(f, 3600).bookWaiting({}, name);
        const bool kept = !results.empty() && results.front().outcome == EntryOutcome::Kept;
        EXPECT_TRUE(!kept || f.exists(name) != false);
        return !results.empty() && (kept || results.front().outcome == EntryOutcome::Booked);
    };
    // A month's first booking undone, and its empty month file since removed by the range window:
    // redo must bring the booking back all the same.
    Files undoneFirst = start;
    undoneFirst.erase("0112.tmp");
    undoneFirst["0202.tmp"] = monthFileBytes({{1, dayRecordBytes(600, 0, 0.0f, 1)}});

    const auto book = [](std::string year, std::string month, int day, std::int32_t seconds) {
        return [=](FS& f) { return bookTime(f, {year, month, day, seconds, 3600}).written(); };
    };
    const auto swap = [](FS& f) { return swapWithBackup(f, "0112.tid", "0112.tmp").swapped; };
    const auto reportsNothing = [](void (*operation)(FS&)) {
        return [operation](FS& f) {
            operation(f);
            return true;
        };
    };
    const auto sum = [](FS& f) {
        const auto totals = sumRange(f, core::Date{2001, 11, 15}, core::Date{2002, 1, 10}, 3600);
        // The sums are only reported whole when every month could be read.
        EXPECT_TRUE(!totals || !totals->unreadableFiles.empty() ||
                    totals->sums.connectedSeconds == 1000 + 4200 + 60);
        return true;
    };
    std::vector<Scenario> all{
        {"BookingOnABookedDay", copies, book("01", "12", 5, 60), "0112.tid"},
        {"BookingWhereNoHardLinkCanBeMade", copies, book("01", "12", 5, 60), "0112.tid", false,
         true},
        {"AMonthsFirstBooking", copies, book("02", "02", 1, 600), "0202.tid"},
        {"ABookingOnAnEmptyMonthFile", copies, book("02", "01", 1, 600), "0201.tid"},
        {"AnEmptyMonthsBookingWithoutHardLinks", copies, book("02", "01", 1, 600), "0201.tid",
         false, true},
        {"ABookingRefusedAt24Hours", copies, book("01", "12", 5, 86000), "0112.tid"},
        {"UndoByExchange", start, swap, "0112.tid 0112.tmp"},
        {"UndoByCopies", start, swap, "0112.tid 0112.tmp", true},
        {"DeletingADay", start,
         [](FS& f) { return deleteDay(f, "0112.tid", 20) == DayDeletion::Deleted; },
         "0112.tid post2.tmp"},
        {"RestoringADay", dayDeleted,
         [](FS& f) { return restoreDay(f, "0112.tid", 20) == DayRestore::Restored; }, "0112.tid"},
        {"RedoOfAMonthWhoseEmptyFileWasRemoved", undoneFirst,
         [](FS& f) { return swapWithBackup(f, "0202.tid", "0202.tmp").swapped; }, "0202.tid"},
        {"DeletingAMonth", start, [](FS& f) { return deleteMonth(f, "0111.tid"); },
         "0111.tid mon.tmp"},
        {"RestoringAMonth", monthDeleted,
         [](FS& f) { return restoreMonth(f, "0111.tid") == MonthRestore::Restored; },
         "0111.tid mon.tmp"},
        {"TheSweepOfACancelledClose", start, reportsNothing(sweepBackups)},
        {"StoringThePlan", start,
         [](FS& f) { return SettingsFile(f).storePlan("8 h / dygn", 28800); }, "tid.it"},
        {"TheFirstStartsMark", Files(),
         [](FS& f) { return SettingsFile(f).loadAtStart().markWritten; }, "tid.it"},
        {"SummingARange", start, sum},
        {"DeletingEverything", start,
         [](FS& f) {
             const auto left = deleteEverything(f);
             return left && left->empty();
         }},
        {"BookingAConnectionAcrossMonths", withEntry, bookEntries},
    };
    for (Scenario& scenario : all) {
        scenario.failureChangesNothing = scenario.files == copies || scenario.files == withEntry ||
                                         scenario.name.starts_with("Undo");
    }
    return all;
}

std::optional<Bytes> fileIn(const Files& files, const std::string& name) {
    return files.contains(name) ? std::optional<Bytes>(files.at(name)) : std::nullopt;
}

std::int32_t connectedAt(const Bytes& file, int day) {
    return storage::decodeMonth(file)[static_cast<std::size_t>(day - 1)].connectedSeconds;
}

// Every day with time in a month file before must still have at least that much time, in its
// month file or in a copy a month can be in: its undo copy, the deleted day's or month's copy, or
// the copy a swap goes through.
std::optional<std::string> lostTime(const Files& before, const Files& now) {
    for (const auto& [name, bytes] : before) {
        for (int day = 1; day <= 31 && name.ends_with(".tid"); ++day) {
            bool kept = connectedAt(bytes, day) <= 0;
            for (const std::string& holder : std::array<std::string, 5>{
                     name, name.substr(0, 4) + ".tmp", "post2.tmp", "mon.tmp", "temp.tmp"}) {
                kept = kept || (now.contains(holder) &&
                                connectedAt(now.at(holder), day) >= connectedAt(bytes, day));
            }
            if (!kept) {
                return name + " lost day " + std::to_string(day);
            }
        }
    }
    return std::nullopt;
}

// The scenario's files in memory, and a faulty file layer over them.
struct Layer {
    explicit Layer(const Scenario& scenario) {
        memory.files() = scenario.files;
        memory.exchangeUnsupported = scenario.exchangeUnsupported;
        memory.linkUnsupported = scenario.linkUnsupported;
    }
    platform::fakes::MemoryFileSystem memory;
    FaultyFileSystem files{memory};
};

class FaultTest : public ::testing::TestWithParam<Scenario> {
protected:
    FaultTest() {
        Layer clean(GetParam());
        GetParam().run(clean.files);
        after = clean.memory.files();
    }

    // What must hold whatever happened: no booked time lost (unless all is deleted), the settings
    // as they were or as they will be, and every month file whole records.
    void checkFiles(const Files& now, const std::string& where) {
        const auto lost = lostTime(GetParam().files, now);
        EXPECT_TRUE(!lost || GetParam().name == "DeletingEverything")
            << where << ": " << lost.value_or("");
        EXPECT_TRUE(fileIn(now, "tid.it") == fileIn(GetParam().files, "tid.it") ||
                    fileIn(now, "tid.it") == fileIn(after, "tid.it"))
            << where << ": the settings are half written";
        for (const auto& [name, bytes] : now) {
            EXPECT_TRUE(!name.ends_with(".tid") || (bytes.size() % 16 == 0 && bytes.size() <= 496))
                << where << ": " << name << " does not hold whole records";
        }
    }

    Files after; // the files after a clean run
};

} // namespace

TEST_P(FaultTest, FailingAtEveryCallLosesNothingAndNeverPassesForDone) {
    const Scenario& scenario = GetParam();
    for (const auto mode : {FaultyFileSystem::Mode::Once, FaultyFileSystem::Mode::FromThenOn}) {
        for (int call = 1;; ++call) {
            Layer layer(scenario);
            layer.files.failAt(call, mode);
            const bool reportedDone = scenario.run(layer.files);
            const Files& now = layer.memory.files();
            if (layer.files.failures() == 0) {
                EXPECT_EQ(now, after) << "a run with no failure differs from a clean run";
                break;
            }
            const std::string where =
                (mode == FaultyFileSystem::Mode::Once ? "once at call " : "from call ") +
                std::to_string(call);
            checkFiles(now, where);
            std::istringstream promised(scenario.promised);
            const std::vector<std::string> names{std::istream_iterator<std::string>(promised), {}};
            for (const std::string& name : names) {
                EXPECT_TRUE(!reportedDone || fileIn(now, name) == fileIn(after, name))
                    << where << ": reported done, but " << name << " is not as promised";
            }
            // With one call failing, a failure that is reported has been taken back whole.
            const bool whole = !reportedDone && scenario.failureChangesNothing &&
                               mode == FaultyFileSystem::Mode::Once;
            for (const auto& [name, bytes] : whole ? scenario.files : Files()) {
                EXPECT_TRUE(!name.ends_with(".tid") || fileIn(now, name) == bytes ||
                            (bytes.empty() && !now.contains(name)))
                    << where << ": reported failed, but " << name << " changed";
                EXPECT_TRUE(name.ends_with(".tid") || name.ends_with(".vantande") ||
                            fileIn(now, name) == bytes)
                    << where << ": reported failed, but " << name << " changed";
            }
            EXPECT_TRUE(!whole || !now.contains("temp.tmp"))
                << where << ": reported failed, but temp.tmp was left";
            // A missing month file and an empty one both mean a month without records.
            const std::string month = names.empty() ? "" : names.front();
            const auto was = fileIn(scenario.files, month), is = fileIn(now, month);
            EXPECT_TRUE(reportedDone || month.empty() || was == is ||
                        (month.ends_with(".tid") && was.value_or(Bytes{}).empty() &&
                         is.value_or(Bytes{}).empty()))
                << where << ": reported failed, but " << month << " changed";
        }
    }
}

TEST_P(FaultTest, StoppingDeadAtEveryChangeLosesNothing) {
    const Scenario& scenario = GetParam();
    for (int change = 1;; ++change) {
        Layer layer(scenario);
        layer.files.failAt(change, FaultyFileSystem::Mode::Crash, true);
        try {
            scenario.run(layer.files);
            EXPECT_EQ(layer.memory.files(), after);
            break;
        } catch (const platform::fakes::SimulatedCrash&) {
        }
        // The files as the changes before the crash left them, for the next start to find.
        const std::string where = "crash at change " + std::to_string(change);
        checkFiles(layer.memory.files(), where);
        // The first file it promises is never half changed: as it was, or as a clean run leaves
        // it.
        const std::string first = scenario.promised.substr(0, scenario.promised.find(' '));
        if (!first.empty()) {
            const auto now = fileIn(layer.memory.files(), first);
            EXPECT_TRUE(now == fileIn(scenario.files, first) || now == fileIn(after, first))
                << where << ": " << first << " is neither as it was nor as it will be";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, FaultTest, ::testing::ValuesIn(scenarios()),
                         [](const auto& scenario) { return scenario.param.name; });
