// Whole processes: the real surfklocka executable, unchanged, and the programs it is measured
// against, each started afresh for every run and measured to its end (a command) or until its
// window is shown and idle (a window): the CPU time (user and system) and the peak resident
// memory of the process, and the wall time. Every program is started through bench_launch (see
// launch.c), so that each one's peak memory is its own.
//
//  - Commands for one month (November 2001, 30 days booked): `surfklocka visa` and `summa` beside
//    Timewarrior's `timew summary` of the same month with the same 30 intervals; `surfklocka
//    boka` beside a plain C program that does the same file work (boka_floor.c) and beside `timew
//    track` of one more interval in that month.
//  - The window: the program started without a command, on a data folder with today's month
//    booked, beside a window with one label (label_window.cpp) and, for information, an empty one.
//    The windows are launched with the idle probe preloaded (idle_probe.cpp), which reports the
//    moment the window is shown and idle and ends the process. The platform is whatever the
//    environment selects: bench/run.sh uses Xvfb where it is installed.
//  - Scale: the same booking, month view and sum on a folder with every month of 2001 to 2099.

#include "core/date.h"
#include "platform/clock.h"
#include "platform/posix_file_system.h"
#include "sample_data.h"
#include "support/temp_dir.h"

#include <benchmark/benchmark.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// The month the commands work on, and the day they book.
constexpr int kYear = 2001;
constexpr int kMonth = 11;

struct Launch {
    bool ok = false;
    double seconds = 0.0;
    double cpuSeconds = 0.0;
    long peakKilobytes = 0;
};

enum class Data {
    Today,     // the settings and today's month, booked up to today
    November,  // the settings and November 2001, every day booked
    EveryYear, // the settings and every month of 2001 to 2099, every day booked
};

// A data folder ($XDG_DATA_HOME/surfklocka) holding the sample data.
class DataHome {
public:
    explicit DataHome(Data data) {
        const std::string folder = m_home.path() + "/surfklocka";
        if (::mkdir(folder.c_str(), 0700) != 0) {
            return;
        }
        platform::PosixFileSystem files(folder);
        m_ready = files.isOpen() &&
                  (data == Data::Today
                       ? bench::writeMonthsOfData(files, platform::SystemClock().today(), 0)
                   : data == Data::November ? bench::writeOneMonthOfData(files, kYear, kMonth)
                                            : bench::writeEveryYearOfData(files));
    }
    bool ready() const { return m_ready; }
    std::string variable() const { return "XDG_DATA_HOME=" + m_home.path(); }

private:
    testing_support::TempDir m_home;
    bool m_ready = false;
};

// A Timewarrior database (TIMEWARRIORDB) holding the same month as the data folder: an empty
// configuration and one interval a day.
class TimewarriorHome {
public:
    TimewarriorHome() {
        const std::string data = m_home.path() + "/data";
        if (::mkdir(data.c_str(), 0700) != 0) {
            return;
        }
        std::ofstream configuration(m_home.path() + "/timewarrior.cfg");
        char name[32];
        std::snprintf(name, sizeof name, "/%04d-%02d.data", kYear, kMonth);
        std::ofstream month(data + name);
        month << bench::timewarriorMonth(kYear, kMonth);
        m_ready = configuration.good() && month.good();
    }
    bool ready() const { return m_ready; }
    std::string variable() const { return "TIMEWARRIORDB=" + m_home.path(); }

private:
    testing_support::TempDir m_home;
    bool m_ready = false;
};

// Timewarrior's program from PATH; empty when it is not installed.
std::string timewarrior() {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin";
    for (std::size_t start = 0; start <= folders.size();) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::string candidate = folders.substr(start, end - start) + "/timew";
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return {};
}

// The benchmark's own environment without the variables a launch sets, and `extra`.
std::vector<std::string> environmentWith(const std::vector<std::string>& extra) {
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string_view text(*variable);
        if (!text.starts_with("LD_PRELOAD=") && !text.starts_with("XDG_DATA_HOME=") &&
            !text.starts_with("TIMEWARRIORDB=") && !text.starts_with("SURFKLOCKA_PROBE_FD=")) {
            variables.emplace_back(text);
        }
    }
    variables.insert(variables.end(), extra.begin(), extra.end());
    return variables;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (std::string& text : texts) {
        result.push_back(text.data());
    }
    result.push_back(nullptr);
    return result;
}

// Everything a descriptor gives until its end.
std::string readToEnd(int fd) {
    std::string text;
    char buffer[256];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return text;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
}

// Starts bench_launch with `words` (the program and its arguments) and the environment, its
// standard output going nowhere; a window (`probed`) gets the idle probe and a pipe to report on.
// Returns the launcher's pid, or -1; the caller reads the two pipes and waits for it.
pid_t startLauncher(std::vector<std::string> words, std::vector<std::string> environment,
                    int reportFd, int probeFd, const int (&closed)[2]) {
    if (probeFd >= 0) {
        environment.push_back(std::string("LD_PRELOAD=") + SURFKLOCKA_IDLE_PROBE);
        environment.push_back("SURFKLOCKA_PROBE_FD=" + std::to_string(probeFd));
    }
    words.insert(words.begin(), {SURFKLOCKA_LAUNCH, std::to_string(reportFd)});
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const int fd : closed) {
        if (fd >= 0) {
            posix_spawn_file_actions_addclose(&actions, fd);
        }
    }
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<char*> arguments = pointers(words);
    std::vector<char*> variables = pointers(environment);
    pid_t launcher = -1;
    const int spawned = posix_spawn(&launcher, SURFKLOCKA_LAUNCH, &actions, nullptr,
                                    arguments.data(), variables.data());
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? launcher : -1;
}

Launch launch(const std::vector<std::string>& words, const std::vector<std::string>& environment,
              bool probed) {
    int report[2] = {-1, -1};
    int probe[2] = {-1, -1};
    if (::pipe2(report, O_CLOEXEC) != 0 || (probed && ::pipe(probe) != 0)) {
        return {};
    }
    // The launcher keeps the write ends: the report's (made close-on-exec, so that only the
    // launcher has it open) is made inheritable in it by number, the probe's goes on to the window.
    ::fcntl(report[1], F_SETFD, 0);
    const int closedInLauncher[2] = {report[0], probe[0]};
    const pid_t launcher = startLauncher(words, environment, report[1], probe[1], closedInLauncher);
    ::close(report[1]);
    if (probe[1] >= 0) {
        ::close(probe[1]);
    }
    const std::string shown = probed ? readToEnd(probe[0]) : std::string();
    const std::string line = readToEnd(report[0]);
    ::close(report[0]);
    if (probe[0] >= 0) {
        ::close(probe[0]);
    }
    int launcherStatus = 0;
    while (launcher > 0 && ::waitpid(launcher, &launcherStatus, 0) < 0 && errno == EINTR) {
    }
    long long start = 0, end = 0, cpuMicroseconds = 0;
    int status = 0;
    long peak = 0;
    if (launcher <= 0 || std::sscanf(line.c_str(), "%lld %lld %d %lld %ld", &start, &end, &status,
                                     &cpuMicroseconds, &peak) != 5) {
        return {};
    }
    if (probed) {
        end = std::atoll(shown.c_str());
    }
    Launch result;
    result.ok =
        (!probed || !shown.empty()) && WIFEXITED(status) && WEXITSTATUS(status) == 0 && end > start;
    result.seconds = static_cast<double>(end - start) / 1e9;
    result.cpuSeconds = static_cast<double>(cpuMicroseconds) / 1e6;
    result.peakKilobytes = peak;
    return result;
}

// The words of one run; the number counts the runs, for a command that must differ each time.
using Words = std::function<std::vector<std::string>(int)>;

void run(benchmark::State& state, const Words& words, const std::string& variable, bool ready,
         bool probed = false) {
    static int runs = 0;
    const std::vector<std::string> environment = environmentWith({variable});
    // One run before the measured ones, so that every measured run finds the files in the page
    // cache, the lock file made and Timewarrior's tag list written.
    if (!ready || words(runs).front().empty() || !launch(words(runs++), environment, probed).ok) {
        state.SkipWithError("the program could not be run on its data");
        return;
    }
    long peak = 0;
    double cpu = 0.0;
    for (auto _ : state) {
        const Launch done = launch(words(runs++), environment, probed);
        if (!done.ok) {
            state.SkipWithError("the program did not end well");
            break;
        }
        state.SetIterationTime(done.seconds);
        peak = std::max(peak, done.peakKilobytes);
        cpu += done.cpuSeconds;
    }
    state.counters["peak_kB"] = static_cast<double>(peak);
    state.counters["cpu_s"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
}

Words fixed(std::vector<std::string> words) {
    return [words = std::move(words)](int) { return words; };
}

const Words kVisa = fixed({SURFKLOCKA_EXECUTABLE, "visa", "2001-11"});
const Words kSumma = fixed({SURFKLOCKA_EXECUTABLE, "summa", "2001-11-01", "2001-11-30"});
const Words kBoka = fixed({SURFKLOCKA_EXECUTABLE, "boka", "--datum", "2001-11-15", "1s"});
const Words kBokaFloor = fixed({SURFKLOCKA_BOKA_FLOOR, "2001-11-15", "1"});
const Words kTimewSummary = fixed({timewarrior(), "summary", "2001-11-01", "-", "2001-12-01"});
// One interval of a second, a new one each run (Timewarrior refuses overlapping intervals).
const Words kTimewTrack = [](int run) {
    char from[32], to[32];
    const int second = run * 2;
    std::snprintf(from, sizeof from, "2001-11-15T%02d:%02d:%02d", second / 3600 % 8,
                  second / 60 % 60, second % 60);
    std::snprintf(to, sizeof to, "2001-11-15T%02d:%02d:%02d", (second + 1) / 3600 % 8,
                  (second + 1) / 60 % 60, (second + 1) % 60);
    return std::vector<std::string>{timewarrior(), "track", from, "-", to};
};

// Each benchmark that writes has a folder of its own; those that only read share one.
template <Data kind, int instance = 0>
const DataHome& home() {
    static const DataHome folder(kind);
    return folder;
}
template <int instance>
const TimewarriorHome& timewarriorHome() {
    static const TimewarriorHome folder;
    return folder;
}

void BM_Visa_Month(benchmark::State& state) {
    run(state, kVisa, home<Data::November>().variable(), home<Data::November>().ready());
}
void BM_Summa_Month(benchmark::State& state) {
    run(state, kSumma, home<Data::November>().variable(), home<Data::November>().ready());
}
void BM_TimewSummary_Month(benchmark::State& state) {
    run(state, kTimewSummary, timewarriorHome<0>().variable(), timewarriorHome<0>().ready());
}
void BM_Boka_Month(benchmark::State& state) {
    run(state, kBoka, home<Data::November, 1>().variable(), home<Data::November, 1>().ready());
}
void BM_BokaFloor_Month(benchmark::State& state) {
    run(state, kBokaFloor, home<Data::November, 2>().variable(), home<Data::November, 2>().ready());
}
void BM_TimewTrack_Month(benchmark::State& state) {
    run(state, kTimewTrack, timewarriorHome<1>().variable(), timewarriorHome<1>().ready());
}
void BM_Boka_EveryYear(benchmark::State& state) {
    run(state, kBoka, home<Data::EveryYear>().variable(), home<Data::EveryYear>().ready());
}
void BM_Visa_EveryYear(benchmark::State& state) {
    run(state, kVisa, home<Data::EveryYear>().variable(), home<Data::EveryYear>().ready());
}
void BM_Summa_EveryYear(benchmark::State& state) {
    run(state, kSumma, home<Data::EveryYear>().variable(), home<Data::EveryYear>().ready());
}
void BM_Window_Month(benchmark::State& state) {
    run(state, fixed({SURFKLOCKA_EXECUTABLE}), home<Data::Today>().variable(),
        home<Data::Today>().ready(), true);
}
void BM_LabelWindow(benchmark::State& state) {
    run(state, fixed({SURFKLOCKA_LABEL_WINDOW}), home<Data::Today>().variable(),
        home<Data::Today>().ready(), true);
}
void BM_EmptyWindow(benchmark::State& state) {
    run(state, fixed({SURFKLOCKA_EMPTY_WINDOW}), home<Data::Today>().variable(),
        home<Data::Today>().ready(), true);
}

} // namespace

#define SURFKLOCKA_PROCESS_BENCHMARK(name)                                                         \
    BENCHMARK(name)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond)

SURFKLOCKA_PROCESS_BENCHMARK(BM_Visa_Month);
SURFKLOCKA_PROCESS_BENCHMARK(BM_Summa_Month);
SURFKLOCKA_PROCESS_BENCHMARK(BM_TimewSummary_Month);
SURFKLOCKA_PROCESS_BENCHMARK(BM_Boka_Month);
SURFKLOCKA_PROCESS_BENCHMARK(BM_BokaFloor_Month);
SURFKLOCKA_PROCESS_BENCHMARK(BM_TimewTrack_Month);
SURFKLOCKA_PROCESS_BENCHMARK(BM_Boka_EveryYear);
SURFKLOCKA_PROCESS_BENCHMARK(BM_Visa_EveryYear);
SURFKLOCKA_PROCESS_BENCHMARK(BM_Summa_EveryYear);
SURFKLOCKA_PROCESS_BENCHMARK(BM_Window_Month);
SURFKLOCKA_PROCESS_BENCHMARK(BM_LabelWindow);
SURFKLOCKA_PROCESS_BENCHMARK(BM_EmptyWindow);

BENCHMARK_MAIN();
