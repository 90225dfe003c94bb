// The storage operations against raw POSIX baselines on a real temporary data folder: booking one
// day, reading one month, and summing a 365-day range over 13 month files. For information, the
// cost of a durable whole-file write against a plain pwrite of one record.

#include "core/range.h"
#include "platform/posix_file_system.h"
#include "posix_baseline.h"
#include "sample_data.h"
#include "storage/booking.h"
#include "storage/month_file.h"
#include "storage/range_totals.h"
#include "support/temp_dir.h"

#include <array>
#include <benchmark/benchmark.h>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The sample data ends on 14 January 2002: the months January 2001 to December 2001 are full, and
// January 2002 holds 14 days.
constexpr core::Date kToday{2002, 1, 14};
// 15 January 2001 to 14 January 2002: 365 days over the 13 month files.
constexpr core::Date kRangeFrom{2001, 1, 15};
constexpr core::Date kRangeTo{2002, 1, 14};
// The month booked on: today's month, January 2002, 14 days so far; the bookings go round its days.
constexpr const char* kBookedMonth = "0201.tid";
constexpr int kBookedDays = 14;
// The month read: November 2001, 30 days, 480 bytes.
constexpr const char* kReadMonth = "0111.tid";
constexpr std::size_t kReadMonthRecords = 30;

// A fresh data folder holding a year of data, and a descriptor of it for the baselines.
struct Folder {
    Folder() : files(dir.path()) {
        ready = files.isOpen() && bench::writeYearOfData(files, kToday);
        dirFd = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ready = ready && dirFd >= 0;
    }
    ~Folder() {
        if (dirFd >= 0) {
            ::close(dirFd);
        }
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    testing_support::TempDir dir;
    platform::PosixFileSystem files;
    int dirFd = -1;
    bool ready = false;
};

storage::BookingRequest bookingOn(int day) {
    storage::BookingRequest request;
    request.yearText = "02";
    request.monthText = "01";
    request.day = day;
    request.seconds = 1;
    request.dailyAllowance = bench::kAllowance;
    return request;
}

// ---------------------------------------------------------------------------------------------
// Booking one day

void BM_BookDay_Program(benchmark::State& state) {
    Folder folder;
    // One booking first, so that every timed booking finds the undo copy of the one before.
    if (!folder.ready ||
        storage::bookTime(folder.files, bookingOn(1)).outcome != storage::BookingOutcome::Booked) {
        state.SkipWithError("the data folder could not be prepared");
        return;
    }
    int day = 0;
    for (auto _ : state) {
        const storage::BookingResult result =
            storage::bookTime(folder.files, bookingOn(day % kBookedDays + 1));
        if (result.outcome != storage::BookingOutcome::Booked) {
            state.SkipWithError("a booking was not made");
            break;
        }
        ++day;
    }
}

void BM_BookDay_Baseline(benchmark::State& state) {
    Folder folder;
    std::array<std::uint8_t, storage::kMonthFileMaxBytes> month{};
    if (!folder.ready || bench::readWhole(folder.dirFd, kBookedMonth, month) !=
                             static_cast<std::ptrdiff_t>(kBookedDays * storage::kDayRecordLength)) {
        state.SkipWithError("the data folder could not be prepared");
        return;
    }
    int day = 0;
    for (auto _ : state) {
        // Read the month once, change the day's record and write the month crash-safe and
        // durably: one fdatasync of its bytes and one fsync of the folder. The undo copy costs
        // nothing here, as the month as it was is on disk already.
        const std::ptrdiff_t length = bench::readWhole(folder.dirFd, kBookedMonth, month);
        const std::size_t offset = static_cast<std::size_t>(day % kBookedDays) * 16;
        if (length < static_cast<std::ptrdiff_t>(offset + 16)) {
            state.SkipWithError("the month could not be read");
            break;
        }
        bench::RawDay record = bench::rawDay(month.data() + offset);
        record.connectedSeconds += 1;
        std::memcpy(month.data() + offset, &record, sizeof record);
        if (!bench::durableReplace(folder.dirFd, kBookedMonth,
                                   std::span(month.data(), static_cast<std::size_t>(length)))) {
            state.SkipWithError("a booking was not written");
            break;
        }
        ++day;
    }
}

// For information: what durability costs. The month file replaced crash-safe and durably, against
// the 16 bytes of one record written in place with pwrite and nothing flushed.
void BM_RecordWrite_Durable(benchmark::State& state) {
    Folder folder;
    std::array<std::uint8_t, storage::kMonthFileMaxBytes> month{};
    const std::ptrdiff_t length =
        folder.ready ? bench::readWhole(folder.dirFd, kBookedMonth, month) : -1;
    if (length <= 0) {
        state.SkipWithError("the data folder could not be prepared");
        return;
    }
    for (auto _ : state) {
        month[4] += 1;
        if (!bench::durableReplace(folder.dirFd, kBookedMonth,
                                   std::span(month.data(), static_cast<std::size_t>(length)))) {
            state.SkipWithError("the month was not written");
            break;
        }
    }
}

void BM_RecordWrite_Pwrite(benchmark::State& state) {
    Folder folder;
    const int fd = folder.ready ? ::openat(folder.dirFd, kBookedMonth, O_WRONLY | O_CLOEXEC) : -1;
    if (fd < 0) {
        state.SkipWithError("the data folder could not be prepared");
        return;
    }
    storage::DayBytes record = storage::encodeDayRecord(core::DayRecord{});
    for (auto _ : state) {
        record[4] += 1;
        if (::pwrite(fd, record.data(), record.size(), 0) != static_cast<ssize_t>(record.size())) {
            state.SkipWithError("the record was not written");
            break;
        }
    }
    ::close(fd);
}

// ---------------------------------------------------------------------------------------------
// Reading one month

void BM_ReadMonth_Program(benchmark::State& state) {
    Folder folder;
    if (!folder.ready) {
        state.SkipWithError("the data folder could not be prepared");
        return;
    }
    for (auto _ : state) {
        const storage::MonthRead read = storage::readMonth(folder.files, kReadMonth);
        if (read.recordCount != kReadMonthRecords) {
            state.SkipWithError("the month was not read");
            break;
        }
        benchmark::DoNotOptimize(read.days);
    }
}

void BM_ReadMonth_Baseline(benchmark::State& state) {
    Folder folder;
    if (!folder.ready) {
        state.SkipWithError("the data folder could not be prepared");
        return;
    }
    std::array<std::uint8_t, storage::kMonthFileMaxBytes> bytes{};
    std::array<bench::RawDay, storage::kDaysInLongestMonth> days{};
    for (auto _ : state) {
        const std::ptrdiff_t length = bench::readWhole(folder.dirFd, kReadMonth, bytes);
        if (length != static_cast<std::ptrdiff_t>(kReadMonthRecords * 16)) {
            state.SkipWithError("the month was not read");
            break;
        }
        for (std::size_t day = 0; day < kReadMonthRecords; ++day) {
            days[day] = bench::rawDay(bytes.data() + day * 16);
        }
        benchmark::DoNotOptimize(days);
    }
}

// ---------------------------------------------------------------------------------------------
// Summing a 365-day range over 13 month files

struct RawSums {
    float costOre = 0.0f;
    std::int64_t connectedSeconds = 0;
    std::int64_t extraSeconds = 0;
};

// The range summed straight from the files: each month file read once, the days of its span
// added. Days past the end of a file add nothing.
RawSums rawRangeSums(int dirFd, bool& readable) {
    RawSums sums;
    std::array<std::uint8_t, storage::kMonthFileMaxBytes> bytes{};
    char name[16];
    readable = true;
    for (int year = kRangeFrom.year, month = kRangeFrom.month;;) {
        std::snprintf(name, sizeof name, "%02d%02d.tid", year % 100, month);
        const bool first = year == kRangeFrom.year && month == kRangeFrom.month;
        const bool last = year == kRangeTo.year && month == kRangeTo.month;
        const int firstDay = first ? kRangeFrom.day : 1;
        const int lastDay = last ? kRangeTo.day : 31;
        const std::ptrdiff_t length = bench::readWhole(dirFd, name, bytes);
        if (length < 0) {
            readable = false;
        }
        for (int day = firstDay; day <= lastDay && day * 16 <= length; ++day) {
            const bench::RawDay record = bench::rawDay(bytes.data() + (day - 1) * 16);
            if (record.connectedSeconds != 0) {
                sums.connectedSeconds += record.connectedSeconds;
                sums.extraSeconds += record.extraSeconds;
                sums.costOre += record.extraCost;
            }
        }
        if (last) {
            break;
        }
        if (++month > 12) {
            month = 1;
            ++year;
        }
    }
    return sums;
}

void BM_SumRange_Program(benchmark::State& state) {
    Folder folder;
    bool readable = false;
    const RawSums expected = folder.ready ? rawRangeSums(folder.dirFd, readable) : RawSums{};
    const auto check = storage::sumRange(folder.files, kRangeFrom, kRangeTo, bench::kAllowance);
    if (!folder.ready || !readable || !check ||
        check->sums.connectedSeconds != expected.connectedSeconds ||
        core::rangeWalk(kRangeFrom, kRangeTo).size() != 13) {
        state.SkipWithError("the range does not sum to what the files hold");
        return;
    }
    for (auto _ : state) {
        const auto totals =
            storage::sumRange(folder.files, kRangeFrom, kRangeTo, bench::kAllowance);
        if (!totals || !totals->unreadableFiles.empty()) {
            state.SkipWithError("the range was not summed");
            break;
        }
        benchmark::DoNotOptimize(totals->sums);
    }
}

void BM_SumRange_Baseline(benchmark::State& state) {
    Folder folder;
    if (!folder.ready) {
        state.SkipWithError("the data folder could not be prepared");
        return;
    }
    for (auto _ : state) {
        bool readable = false;
        const RawSums sums = rawRangeSums(folder.dirFd, readable);
        if (!readable) {
            state.SkipWithError("the range was not summed");
            break;
        }
        benchmark::DoNotOptimize(sums);
    }
}

} // namespace

BENCHMARK(BM_BookDay_Program)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BookDay_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecordWrite_Durable)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecordWrite_Pwrite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadMonth_Program)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadMonth_Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SumRange_Program)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SumRange_Baseline)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
