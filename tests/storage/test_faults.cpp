// Every operation that changes files, run again and again with a file layer that fails at its
// N-th call (that call only, or from that call on) and with one that stops dead at its k-th
// change, for every N and k until the operation gets through untouched. After each failing run:
// no booked time is lost, every month file still reads, an operation that says it is done has
// done what it promises, and one that says it failed has left the month as it was. After each
// crash: every file is as it was just before the call the program stopped at, and no booked time
// is lost.

#include "core/range.h"
#include "platform/fakes/faulty_file_system.h"
#include "platform/fakes/memory_file_system.h"
#include "storage/backups.h"
#include "storage/booking.h"
#include "storage/month_file.h"
#include "storage/range_totals.h"
#include "storage/settings_file.h"
#include "support/month_bytes.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Files = platform::fakes::MemoryFileSystem::Files;
using platform::fakes::FaultyFileSystem;
using testing_support::dayRecordBytes;
using testing_support::monthFileBytes;

// What an operation reports: whether it failed (and so must have left untouchedOnFailure as it
// was), and which files it promises are as after a clean run.
struct Reported {
    bool failed = false;
    std::vector<std::string> promised;
};

struct Scenario {
    std::string name;
    Files files;
    std::function<Reported(platform::FileSystem&)> run;
    // The file that must be as it was when the operation reports a failure.
    std::string untouchedOnFailure;
    bool exchangeUnsupported = false;
    bool deletesEverything = false;
};

Bytes settingsBytes() {
    Bytes bytes(62, 0);
    bytes[0] = bytes[1] = 0xFF;
    const char text[] = "1 h / dygn";
    std::copy(text, text + 10, bytes.begin() + 30);
    bytes[60] = 0x10;
    bytes[61] = 0x0E;
    return bytes;
}

// Day 20 of December is in the month file only, not in its undo copy, so that deleting it puts
// it in the deleted day's copy alone.
Files startingFiles() {
    Files files;
    files["tid.it"] = settingsBytes();
    files["0112.tid"] = monthFileBytes({{3, dayRecordBytes(1000, 0, 0.0f, 3)},
                                        {5, dayRecordBytes(4200, 600, 140.0f, 5)},
                                        {20, dayRecordBytes(60, 0, 0.0f, 20)}});
    files["0112.tmp"] = monthFileBytes(
        {{3, dayRecordBytes(1000, 0, 0.0f, 3)}, {5, dayRecordBytes(4200, 600, 140.0f, 5)}});
    files["0111.tid"] = monthFileBytes({{1, dayRecordBytes(600, 0, 0.0f, 1)}});
    files["0201.tid"] = {};
    return files;
}

std::vector<Scenario> scenarios() {
    std::vector<Scenario> all;
    const auto book = [](std::string year, std::string month, int day, std::int32_t seconds) {
        return [=](platform::FileSystem& files) {
            const auto result = storage::bookTime(files, {year, month, day, seconds, 3600});
            switch (result.outcome) {
            case storage::BookingOutcome::Booked:
                return Reported{false, {result.entryFile, result.entryBackup}};
            case storage::BookingOutcome::BookedWithoutUndo:
                return Reported{false, {result.entryFile}};
            case storage::BookingOutcome::DayFull:
            case storage::BookingOutcome::Failed:
                break;
            }
            return Reported{true, {}};
        };
    };
    all.push_back(
        {"booking on a booked day", startingFiles(), book("01", "12", 5, 60), "0112.tid"});
    all.push_back(
        {"booking a month's first day", startingFiles(), book("02", "02", 1, 600), "0202.tid"});
    all.push_back(
        {"booking refused at 24 hours", startingFiles(), book("01", "12", 5, 86000), "0112.tid"});
    const auto swap = [](platform::FileSystem& files) {
        return storage::swapWithBackup(files, "0112.tid", "0112.tmp").swapped
                   ? Reported{false, {"0112.tid", "0112.tmp"}}
                   : Reported{true, {}};
    };
    all.push_back({"undo by exchange", startingFiles(), swap, "0112.tid"});
    all.push_back({"undo by copies", startingFiles(), swap, "0112.tid", true});
    all.push_back({"deleting a day", startingFiles(),
                   [](platform::FileSystem& files) {
                       return storage::deleteDay(files, "0112.tid", 20) ==
                                      storage::DayDeletion::Deleted
                                  ? Reported{false, {"0112.tid", "post2.tmp"}}
                                  : Reported{true, {}};
                   },
                   "0112.tid"});
    Files dayDeleted = startingFiles();
    dayDeleted["post2.tmp"] = dayDeleted["0112.tid"];
    dayDeleted["0112.tid"] = monthFileBytes(
        {{3, dayRecordBytes(1000, 0, 0.0f, 3)}, {5, dayRecordBytes(4200, 600, 140.0f, 5)}});
    all.push_back({"restoring a day", dayDeleted,
                   [](platform::FileSystem& files) {
                       return storage::restoreDay(files, "0112.tid") ? Reported{false, {"0112.tid"}}
                                                                     : Reported{true, {}};
                   },
                   "0112.tid"});
    all.push_back({"deleting a month", startingFiles(),
                   [](platform::FileSystem& files) {
                       return storage::deleteMonth(files, "0111.tid")
                                  ? Reported{false, {"0111.tid", "mon.tmp"}}
                                  : Reported{true, {}};
                   },
                   "0111.tid"});
    Files monthDeleted = startingFiles();
    monthDeleted["mon.tmp"] = monthDeleted["0111.tid"];
    monthDeleted.erase("0111.tid");
    all.push_back({"restoring a month", monthDeleted,
                   [](platform::FileSystem& files) {
                       return storage::restoreMonth(files, "0111.tid") ==
                                      storage::MonthRestore::Restored
                                  ? Reported{false, {"0111.tid", "mon.tmp"}}
                                  : Reported{true, {}};
                   },
                   "0111.tid"});
    all.push_back({"the sweep of a cancelled close", startingFiles(),
                   [](platform::FileSystem& files) {
                       storage::sweepBackups(files);
                       return Reported{};
                   },
                   ""});
    all.push_back({"storing the plan", startingFiles(),
                   [](platform::FileSystem& files) {
                       return storage::SettingsFile(files).storePlan("8 h / dygn", 28800)
                                  ? Reported{false, {"tid.it"}}
                                  : Reported{true, {}};
                   },
                   "tid.it"});
    all.push_back({"the first start's mark", Files{},
                   [](platform::FileSystem& files) {
                       return storage::SettingsFile(files).loadAtStart().markWritten
                                  ? Reported{false, {"tid.it"}}
                                  : Reported{true, {}};
                   },
                   "tid.it"});
    all.push_back({"summing a range", startingFiles(),
                   [](platform::FileSystem& files) {
                       const auto totals = storage::sumRange(files, core::Date{2001, 11, 15},
                                                             core::Date{2002, 1, 10}, 3600);
                       // The sums are only reported whole when every month could be read.
                       const bool whole = totals && totals->unreadableFiles.empty();
                       EXPECT_TRUE(!whole || (totals->sums.connectedSeconds == 1000 + 4200 + 60))
                           << "sums reported whole with a month missing";
                       return Reported{};
                   },
                   ""});
    Scenario everything{"deleting everything", startingFiles(),
                        [](platform::FileSystem& files) {
                            storage::deleteEverything(files);
                            return Reported{};
                        },
                        ""};
    everything.deletesEverything = true;
    all.push_back(everything);
    return all;
}

std::int32_t connectedAt(const Bytes& file, int day) {
    return storage::decodeMonth(file)[static_cast<std::size_t>(day - 1)].connectedSeconds;
}

// Every day with time in a month file before must still have at least that much time, in its
// month file or in one of the copies a month can be in: its undo copy, the copy of a deleted day
// or month, or the copy a swap goes through.
std::optional<std::string> lostTime(const Files& before, const Files& now) {
    for (const auto& [name, bytes] : before) {
        if (!name.ends_with(".tid")) {
            continue;
        }
        const std::string undoCopy = name.substr(0, name.size() - 4) + ".tmp";
        for (int day = 1; day <= 31; ++day) {
            const std::int32_t booked = connectedAt(bytes, day);
            if (booked <= 0) {
                continue;
            }
            bool kept = false;
            for (const std::string& holder : {name, undoCopy, std::string("post2.tmp"),
                                              std::string("mon.tmp"), std::string("temp.tmp")}) {
                const auto found = now.find(holder);
                kept = kept || (found != now.end() && connectedAt(found->second, day) >= booked);
            }
            if (!kept) {
                return name + " lost day " + std::to_string(day);
            }
        }
    }
    return std::nullopt;
}

// A missing month file and an empty one both mean a month without records.
bool sameMonth(const Files& a, const Files& b, const std::string& name) {
    const auto x = a.find(name);
    const auto y = b.find(name);
    const bool xEmpty = x == a.end() || (name.ends_with(".tid") && x->second.empty());
    const bool yEmpty = y == b.end() || (name.ends_with(".tid") && y->second.empty());
    if (xEmpty || yEmpty) {
        return xEmpty == yEmpty;
    }
    return x->second == y->second;
}

std::optional<Bytes> fileIn(const Files& files, const std::string& name) {
    const auto found = files.find(name);
    return found == files.end() ? std::nullopt : std::optional<Bytes>(found->second);
}

void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

class FaultTest : public ::testing::TestWithParam<Scenario> {
protected:
    // The files after a clean run.
    Files cleanRun() const {
        platform::fakes::MemoryFileSystem files;
        files.files() = GetParam().files;
        files.exchangeUnsupported = GetParam().exchangeUnsupported;
        GetParam().run(files);
        return files.files();
    }

    void checkAfter(const Files& now, const Reported& reported, const Files& after,
                    const std::string& where) {
        const Scenario& scenario = GetParam();
        if (!scenario.deletesEverything) {
            const auto lost = lostTime(scenario.files, now);
            EXPECT_FALSE(lost) << where << ": " << lost.value_or("");
        }
        for (const std::string& name : reported.promised) {
            EXPECT_TRUE(fileIn(now, name) == fileIn(after, name))
                << where << ": reported done, but " << name << " is not as promised";
        }
        if (reported.failed && !scenario.untouchedOnFailure.empty()) {
            EXPECT_TRUE(sameMonth(now, scenario.files, scenario.untouchedOnFailure))
                << where << ": reported failed, but " << scenario.untouchedOnFailure << " changed";
        }
        // Whatever happened, every month file still reads.
        platform::fakes::MemoryFileSystem restart;
        restart.files() = now;
        for (const auto& [name, bytes] : now) {
            if (name.ends_with(".tid")) {
                EXPECT_NE(storage::readMonth(restart, name).state, storage::MonthState::Unreadable)
                    << where;
            }
        }
    }
};

} // namespace

TEST_P(FaultTest, FailingAtEveryCallLosesNothingAndNeverPassesForDone) {
    const Scenario& scenario = GetParam();
    const Files after = cleanRun();
    int points = 0;
    for (const auto mode : {FaultyFileSystem::Mode::Once, FaultyFileSystem::Mode::FromThenOn}) {
        for (int call = 1;; ++call) {
            platform::fakes::MemoryFileSystem memory;
            memory.files() = scenario.files;
            memory.exchangeUnsupported = scenario.exchangeUnsupported;
            FaultyFileSystem files(memory);
            files.failAt(call, mode);
            const Reported reported = scenario.run(files);
            if (files.failures() == 0) {
                EXPECT_EQ(memory.files(), after)
                    << "a run with no failure differs from a clean run";
                break;
            }
            ++points;
            checkAfter(memory.files(), reported, after,
                       std::string(mode == FaultyFileSystem::Mode::Once ? "once" : "from") +
                           " call " + std::to_string(call));
        }
    }
    EXPECT_GT(points, 0);
    RecordProperty("fault points", points);
}

TEST_P(FaultTest, StoppingDeadAtEveryChangeLeavesWholeFilesAndLosesNothing) {
    const Scenario& scenario = GetParam();
    const Files after = cleanRun();
    int points = 0;
    for (int change = 1;; ++change) {
        platform::fakes::MemoryFileSystem memory;
        memory.files() = scenario.files;
        memory.exchangeUnsupported = scenario.exchangeUnsupported;
        FaultyFileSystem files(memory);
        files.failAt(change, FaultyFileSystem::Mode::Crash, true);
        // The files just before each change, so that a crash can be checked against the call it
        // stopped at.
        Files beforeChange = memory.files();
        bool crashed = false;
        try {
            scenario.run(files);
        } catch (const platform::fakes::SimulatedCrash& crash) {
            crashed = true;
            EXPECT_EQ(crash.call, change);
        }
        if (!crashed) {
            EXPECT_EQ(memory.files(), after);
            break;
        }
        ++points;
        // Replays the run up to the call before the crash to know the files just before it.
        platform::fakes::MemoryFileSystem replay;
        replay.files() = scenario.files;
        replay.exchangeUnsupported = scenario.exchangeUnsupported;
        FaultyFileSystem replayFiles(replay);
        replayFiles.failAt(change, FaultyFileSystem::Mode::Crash, true);
        try {
            scenario.run(replayFiles);
        } catch (const platform::fakes::SimulatedCrash&) {
        }
        beforeChange = replay.files();
        EXPECT_EQ(memory.files(), beforeChange) << "crash at change " << change;
        if (!scenario.deletesEverything) {
            const auto lost = lostTime(scenario.files, memory.files());
            EXPECT_FALSE(lost) << "crash at change " << change << ": " << lost.value_or("");
        }
        // A restart finds every month file readable and the settings as they were or will be.
        platform::fakes::MemoryFileSystem restart;
        restart.files() = memory.files();
        const auto start = storage::SettingsFile(restart).loadAtStart();
        EXPECT_FALSE(start.unreadable);
    }
    RecordProperty("crash points", points);
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, FaultTest, ::testing::ValuesIn(scenarios()),
                         [](const ::testing::TestParamInfo<Scenario>& info) {
                             std::string name;
                             for (const char c : info.param.name) {
                                 if (std::isalnum(static_cast<unsigned char>(c))) {
                                     name += c;
                                 }
                             }
                             return name;
                         });
