/* Starts one program and reports what it cost, for the benchmarks of whole processes.
 *
 * Usage: bench_launch REPORT_FD PROGRAM [ARGUMENT ...]
 *
 * It takes CLOCK_MONOTONIC just before it spawns PROGRAM (with this process's environment and
 * descriptors, REPORT_FD closed), waits for it, and writes one line to REPORT_FD:
 *     START_NS END_NS STATUS CPU_US PEAK_KB
 * the clock before the spawn and after the wait, the wait status, the user and system CPU time
 * of the program (wait4) and its peak resident memory (ru_maxrss).
 *
 * Why a program of its own: Linux carries the resident size of the process that calls exec over
 * into the new program's peak (ru_maxrss), and a process made with vfork or posix_spawn shares
 * its parent's memory until then. Spawned from the benchmark, every small program would peak at
 * the benchmark's size; spawned from this one, linked statically and tiny, it peaks at its own. */

#include <errno.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

static long long monotonicNanoseconds(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

int main(int argc, char* argv[]) {
    if (argc < 3) {
        fputs("usage: bench_launch REPORT_FD PROGRAM [ARGUMENT ...]\n", stderr);
        return 2;
    }
    const int report = atoi(argv[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, report);
    pid_t child = 0;
    const long long start = monotonicNanoseconds();
    const int spawned = posix_spawn(&child, argv[2], &actions, NULL, argv + 2, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return 1;
    }
    int status = 0;
    struct rusage usage;
    while (wait4(child, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            return 1;
        }
    }
    const long long end = monotonicNanoseconds();
    const long long cpu = (long long)(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000LL +
                          usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
    char line[160];
    const int length = snprintf(line, sizeof line, "%lld %lld %d %lld %ld\n", start, end, status,
                                cpu, usage.ru_maxrss);
    return length > 0 && write(report, line, (size_t)length) == length ? 0 : 1;
}
