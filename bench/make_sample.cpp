// Writes the benchmarks' sample data into a data folder, for profiling a command or the window
// by hand: `bench_make_sample FOLDER year|month|every` (the folder must exist). "year" is a year
// of data up to today, "month" today's month alone, "every" every month of 2001 to 2099. It
// times nothing.

#include "platform/clock.h"
#include "platform/posix_file_system.h"
#include "sample_data.h"

#include <cstdio>
#include <string_view>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fputs("usage: bench_make_sample FOLDER year|month|every\n", stderr);
        return 2;
    }
    platform::PosixFileSystem files(argv[1]);
    const core::Date today = platform::SystemClock().today();
    const std::string_view kind = argv[2];
    const bool written =
        files.isOpen() && (kind == "year"    ? bench::writeYearOfData(files, today)
                           : kind == "month" ? bench::writeMonthsOfData(files, today, 0)
                           : kind == "every" ? bench::writeEveryYearOfData(files)
                                             : false);
    if (!written) {
        std::fputs("bench_make_sample: the sample data could not be written\n", stderr);
        return 1;
    }
    return 0;
}
