// Start-up: the real surfklocka executable, launched on a data folder holding a stored plan and a
// year of data, from just before the process is made until its main window is shown and the event
// loop is idle; and the peak memory (resident set) of the process up to then. Beside it, measured
// the same way in the same run, a minimal Qt Widgets program showing one empty window, and for
// information one showing a window with a line of text.
//
// Both are launched with the idle probe preloaded (see idle_probe.cpp), which reports the moment
// and ends the process. The platform is whatever the environment selects: bench/run.sh uses
// Xvfb with xcb where Xvfb is installed, offscreen otherwise.

#include "core/date.h"
#include "platform/clock.h"
#include "platform/posix_file_system.h"
#include "sample_data.h"
#include "support/temp_dir.h"

#include <benchmark/benchmark.h>
#include <cerrno>
#include <cstdlib>
#include <ctime>
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
    long peakKilobytes = 0;
};

std::int64_t monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// The data folder the program starts on: a plan stored and a year of data up to today, as a user
// would have it.
class DataHome {
public:
    DataHome() {
        const std::string folder = m_home.path() + "/surfklocka";
        if (::mkdir(folder.c_str(), 0700) != 0) {
            return;
        }
        platform::PosixFileSystem files(folder);
        m_ready = files.isOpen() && bench::writeYearOfData(files, platform::SystemClock().today());
    }
    bool ready() const { return m_ready; }
    const std::string& path() const { return m_home.path(); }

private:
    testing_support::TempDir m_home;
    bool m_ready = false;
};

Launch launch(const char* program, const DataHome& home) {
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
    variables.push_back(std::string("LD_PRELOAD=") + SURFKLOCKA_IDLE_PROBE);
    variables.push_back("XDG_DATA_HOME=" + home.path());
    variables.push_back("SURFKLOCKA_PROBE_FD=" + std::to_string(pipeFds[1]));
    std::vector<char*> environment;
    for (std::string& variable : variables) {
        environment.push_back(variable.data());
    }
    environment.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    char* arguments[] = {const_cast<char*>(program), nullptr};

    Launch result;
    const std::int64_t start = monotonicNanoseconds();
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, program, &actions, nullptr, arguments, environment.data());
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
    const long long idle = std::atoll(line);
    result.ok = used > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 && idle > start;
    result.seconds = static_cast<double>(idle - start) / 1e9;
    result.peakKilobytes = usage.ru_maxrss;
    return result;
}

void startUp(benchmark::State& state, const char* program) {
    static DataHome home;
    // One start before the timed ones, so that every timed start finds the files in the page
    // cache and the lock file made.
    static const bool warm = home.ready() && launch(program, home).ok;
    if (!warm) {
        state.SkipWithError("the program could not be started on the data folder");
        return;
    }
    long peak = 0;
    for (auto _ : state) {
        const Launch run = launch(program, home);
        if (!run.ok) {
            state.SkipWithError("the program did not report being shown and idle");
            break;
        }
        state.SetIterationTime(run.seconds);
        peak = std::max(peak, run.peakKilobytes);
    }
    state.counters["peak_kB"] = static_cast<double>(peak);
}

void BM_Startup_Program(benchmark::State& state) {
    startUp(state, SURFKLOCKA_EXECUTABLE);
}

void BM_Startup_EmptyWindow(benchmark::State& state) {
    startUp(state, SURFKLOCKA_EMPTY_WINDOW);
}

void BM_Startup_LabelWindow(benchmark::State& state) {
    startUp(state, SURFKLOCKA_LABEL_WINDOW);
}

} // namespace

BENCHMARK(BM_Startup_Program)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Startup_EmptyWindow)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Startup_LabelWindow)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
