#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace bench {

// The baselines the program's file work is measured against: the same bytes read or written with
// raw POSIX calls on a descriptor of the data folder, with no file layer, no checks beyond what
// the calls themselves need, and no copies. They are only ever timed; the program never uses them.

// Reads a whole small file into buffer (open, read until end of file or a full buffer, close).
// The number of bytes read, or -1.
std::ptrdiff_t readWhole(int dirFd, const char* name, std::span<std::uint8_t> buffer);

// Replaces a file's content so that a crash leaves the old or the new content and a completed
// call survives a power cut: a fresh temporary file in the same folder, write, fdatasync, close,
// rename over the name, fsync of the folder. This is the least a crash-safe write of a whole file
// can do on POSIX.
bool durableReplace(int dirFd, const char* name, std::span<const std::uint8_t> content);

// The file work of a booking, as bench/boka_floor.c does it: the new month to a fresh temporary
// file (write, fdatasync, close), the old undo copy deleted, the month as it was linked as the undo
// copy (its bytes are on disk already), the temporary file renamed over the month, one fsync of
// the folder. One flush of each kind, as the program's booking makes.
bool durableBooking(int dirFd, const char* month, const char* undoCopy,
                    std::span<const std::uint8_t> content);

// A day record as raw fields, decoded with memcpy on this little-endian machine.
struct RawDay {
    float extraCost;
    std::int32_t connectedSeconds;
    std::int32_t extraSeconds;
    std::int16_t dayNumber;
    std::int16_t overAllowance;
};
static_assert(sizeof(RawDay) == 16);

RawDay rawDay(const std::uint8_t* record);

} // namespace bench
