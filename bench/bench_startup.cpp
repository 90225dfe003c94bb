// Start-up: the real surfklocka executable, launched on a data folder holding a stored plan and a
// year of data, from just before the process is made until its main window is shown and the event
// loop is idle; its CPU time (user and system) and the peak memory (resident set) of the process
// up to then. Beside it, measured the same way in the same run, a minimal Qt Widgets program
// showing one window with a line of text (the floor: any window with text loads fonts and lays
// out text), and for information one showing an empty window.
//
// The windows are launched with the idle probe preloaded (see idle_probe.cpp), which reports the
// moment and ends the process. The platform is whatever the environment selects: bench/run.sh uses
// Xvfb with xcb where Xvfb is installed, offscreen otherwise.
//
// Commands: `surfklocka visa`, `boka` and `summa` run to their end, with their CPU time and peak
// memory, beside a minimal QCoreApplication program that prints one line. And scale: the start-up
// and the commands on a data folder with every month of 2001 to 2099 booked, beside the same on a
// folder with today's month alone.

#include "core/date.h"
#include "platform/clock.h"
#include "platform/posix_file_system.h"
#include "sample_data.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct Launch {
    bool ok = false;
    double seconds = 0.0;
    double cpuSeconds = 0.0;
    long peakKilobytes = 0;
};

enum class Data { Year, Month, EveryYear };

std::int64_t monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// The data folder the program starts on: a plan stored and a year of data up to today, as a user
// would have it.
class DataHome {
public:
    explicit DataHome(Data data) {
        const std::string folder = m_home.path() + "/surfklocka";
        if (::mkdir(folder.c_str(), 0700) != 0) {
            return;
        }
        platform::PosixFileSystem files(folder);
        const core::Date today = platform::SystemClock().today();
        m_ready =
            files.isOpen() && (data == Data::Year    ? bench::writeYearOfData(files, today)
                               : data == Data::Month ? bench::writeMonthsOfData(files, today, 0)
                                                     : bench::writeEveryYearOfData(files));
    }
    bool ready() const { return m_ready; }
    const std::string& path() const { return m_home.path(); }

private:
    testing_support::TempDir m_home;
    bool m_ready = false;
};

const DataHome& home(Data data) {
    static DataHome year(Data::Year);
    static DataHome month(Data::Month);
    static DataHome everyYear(Data::EveryYear);
    return data == Data::Year ? year : data == Data::Month ? month : everyYear;
}

double cpuOf(const rusage& usage) {
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Launches a program on the data folder. A window (`probed`) reports through the idle probe and
// is ended there; a command runs to its end.
Launch launch(const char* program, const DataHome& home, const std::vector<std::string>& extra,
              bool probed) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return {};
    }
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string_view text(*variable);
        if (!text.starts_with("LD_PRELOAD=") && !text.starts_with("XDG_DATA_HOME=") &&
            !text.starts_with("SURFKLOCKA_PROBE_FD=")) {
            variables.emplace_back(text);
        }
    }
    if (probed) {
        variables.push_back(std::string("LD_PRELOAD=") + SURFKLOCKA_IDLE_PROBE);
        variables.push_back("SURFKLOCKA_PROBE_FD=" + std::to_string(pipeFds[1]));
    }
    variables.push_back("XDG_DATA_HOME=" + home.path());
    std::vector<char*> environment;
    for (std::string& variable : variables) {
        environment.push_back(variable.data());
    }
    environment.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    if (!probed) {
        // A command's output goes nowhere; only its end counts.
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    std::vector<std::string> words{program};
    words.insert(words.end(), extra.begin(), extra.end());
    std::vector<char*> arguments;
    for (std::string& word : words) {
        arguments.push_back(word.data());
    }
    arguments.push_back(nullptr);

    Launch result;
    const std::int64_t start = monotonicNanoseconds();
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, program, &actions, nullptr, arguments.data(), environment.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawned != 0) {
        ::close(pipeFds[0]);
        return {};
    }
    char line[64] = {};
    std::size_t used = 0;
    for (;;) {
        const ssize_t got = ::read(pipeFds[0], line + used, sizeof line - 1 - used);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        used += static_cast<std::size_t>(got);
    }
    ::close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    while (::wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    const std::int64_t end = probed ? std::atoll(line) : monotonicNanoseconds();
    result.ok =
        (!probed || used > 0) && WIFEXITED(status) && WEXITSTATUS(status) == 0 && end > start;
    result.seconds = static_cast<double>(end - start) / 1e9;
    result.cpuSeconds = cpuOf(usage);
    result.peakKilobytes = usage.ru_maxrss;
    return result;
}

void run(benchmark::State& state, const char* program, Data data,
         const std::vector<std::string>& extra, bool probed) {
    const DataHome& folder = home(data);
    // One run before the timed ones, so that every timed run finds the files in the page cache
    // and the lock file made.
    if (!folder.ready() || !launch(program, folder, extra, probed).ok) {
        state.SkipWithError("the program could not be run on the data folder");
        return;
    }
    long peak = 0;
    double cpu = 0.0;
    for (auto _ : state) {
        const Launch done = launch(program, folder, extra, probed);
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

void BM_Startup_Program(benchmark::State& state) {
    run(state, SURFKLOCKA_EXECUTABLE, Data::Year, {}, true);
}
void BM_Startup_EmptyWindow(benchmark::State& state) {
    run(state, SURFKLOCKA_EMPTY_WINDOW, Data::Year, {}, true);
}
void BM_Startup_LabelWindow(benchmark::State& state) {
    run(state, SURFKLOCKA_LABEL_WINDOW, Data::Year, {}, true);
}
void BM_Startup_OneMonth(benchmark::State& state) {
    run(state, SURFKLOCKA_EXECUTABLE, Data::Month, {}, true);
}
void BM_Startup_EveryYear(benchmark::State& state) {
    run(state, SURFKLOCKA_EXECUTABLE, Data::EveryYear, {}, true);
}

// The commands. A booking of one second on 15 January 2001, a day the year's data leaves free
// and that the scale folders hold: at most a few hundred runs stay far below a day.
const std::vector<std::string> kVisa{"visa"};
const std::vector<std::string> kBoka{"boka", "--datum", "2001-01-15", "1"};
const std::vector<std::string> kSumma{"summa", "2001-01-15", "2002-01-14"};

void BM_Command_CoreLine(benchmark::State& state) {
    run(state, SURFKLOCKA_CORE_LINE, Data::Year, {}, false);
}
void BM_Command_Visa(benchmark::State& state) {
    run(state, SURFKLOCKA_EXECUTABLE, Data::Year, kVisa, false);
}
void BM_Command_Boka(benchmark::State& state) {
    run(state, SURFKLOCKA_EXECUTABLE, Data::Year, kBoka, false);
}
void BM_Command_Visa_OneMonth(benchmark::State& state) {
    run(state, SURFKLOCKA_EXECUTABLE, Data::Month, kVisa, false);
}
void BM_Command_Visa_EveryYear(benchmark::State& state) {
    run(state, SURFKLOCKA_EXECUTABLE, Data::EveryYear, kVisa, false);
}
void BM_Command_Boka_OneMonth(benchmark::State& state) {
    run(state, SURFKLOCKA_EXECUTABLE, Data::Month, kBoka, false);
}
void BM_Command_Boka_EveryYear(benchmark::State& state) {
    run(state, SURFKLOCKA_EXECUTABLE, Data::EveryYear, kBoka, false);
}
void BM_Command_Summa_OneMonth(benchmark::State& state) {
    run(state, SURFKLOCKA_EXECUTABLE, Data::Month, kSumma, false);
}
void BM_Command_Summa_EveryYear(benchmark::State& state) {
    run(state, SURFKLOCKA_EXECUTABLE, Data::EveryYear, kSumma, false);
}

} // namespace

BENCHMARK(BM_Startup_Program)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Startup_EmptyWindow)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Startup_LabelWindow)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Startup_OneMonth)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Startup_EveryYear)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command_CoreLine)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command_Visa)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command_Boka)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command_Visa_OneMonth)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command_Visa_EveryYear)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command_Boka_OneMonth)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command_Boka_EveryYear)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command_Summa_OneMonth)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command_Summa_EveryYear)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
