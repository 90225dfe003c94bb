#include "posix_baseline.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace bench {

namespace {

constexpr const char* kTemporary = ".baseline.part";

} // namespace

std::ptrdiff_t readWhole(int dirFd, const char* name, std::span<std::uint8_t> buffer) {
    const int fd = ::openat(dirFd, name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    std::size_t total = 0;
    while (total < buffer.size()) {
        const ssize_t got = ::read(fd, buffer.data() + total, buffer.size() - total);
        if (got <= 0) {
            break;
        }
        total += static_cast<std::size_t>(got);
    }
    ::close(fd);
    return static_cast<std::ptrdiff_t>(total);
}

namespace {

// Writes the content to the temporary file with one data flush; false, and no file left, when
// that fails.
bool writeTemporary(int dirFd, std::span<const std::uint8_t> content) {
    const int fd = ::openat(dirFd, kTemporary, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    const bool written =
        ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size()) &&
        ::fdatasync(fd) == 0;
    if (::close(fd) != 0 || !written) {
        ::unlinkat(dirFd, kTemporary, 0);
        return false;
    }
    return true;
}

} // namespace

bool durableReplace(int dirFd, const char* name, std::span<const std::uint8_t> content) {
    return writeTemporary(dirFd, content) && ::renameat(dirFd, kTemporary, dirFd, name) == 0 &&
           ::fsync(dirFd) == 0;
}

bool durableBooking(int dirFd, const char* month, const char* undoCopy,
                    std::span<const std::uint8_t> content) {
    if (!writeTemporary(dirFd, content)) {
        return false;
    }
    ::unlinkat(dirFd, undoCopy, 0);
    return ::linkat(dirFd, month, dirFd, undoCopy, 0) == 0 &&
           ::renameat(dirFd, kTemporary, dirFd, month) == 0 && ::fsync(dirFd) == 0;
}

RawDay rawDay(const std::uint8_t* record) {
    RawDay day;
    std::memcpy(&day, record, sizeof day);
    return day;
}

} // namespace bench
