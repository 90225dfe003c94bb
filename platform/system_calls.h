#pragma once

#include <cstddef>
#include <sys/types.h>

namespace platform {

// The system calls through which the POSIX file layer opens, writes, flushes, renames, links,
// deletes and closes files, behind one interface, so that a test can see them in order and make
// any one of them fail. Each has the system's meaning: -1 (or a negative count) with errno set on
// failure. RealSystemCalls makes them; renameat2 is the raw system call, so that the layer does
// not depend on the C library's wrapper.
//
// What it does not cover: the reads (read, pread, fstat, fstatat, readdir), which change nothing
// on disk, and the open of the data folder itself.
class SystemCalls {
public:
    virtual ~SystemCalls() = default;

    virtual int openat(int dirFd, const char* name, int flags, mode_t mode) = 0;
    virtual ssize_t write(int fd, const void* bytes, std::size_t count) = 0;
    virtual int fchmod(int fd, mode_t mode) = 0;
    virtual int fdatasync(int fd) = 0;
    virtual int fsync(int fd) = 0;
    virtual int close(int fd) = 0;
    virtual int renameat(int fromDir, const char* from, int toDir, const char* to) = 0;
    virtual int renameat2(int fromDir, const char* from, int toDir, const char* to,
                          unsigned flags) = 0;
    virtual int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) = 0;
    virtual int unlinkat(int dirFd, const char* name, int flags) = 0;
};

// The calls made on the system, with nothing added.
class RealSystemCalls final : public SystemCalls {
public:
    // The one the file layer uses unless it is given another.
    static RealSystemCalls& instance();

    int openat(int dirFd, const char* name, int flags, mode_t mode) override;
    ssize_t write(int fd, const void* bytes, std::size_t count) override;
    int fchmod(int fd, mode_t mode) override;
    int fdatasync(int fd) override;
    int fsync(int fd) override;
    int close(int fd) override;
    int renameat(int fromDir, const char* from, int toDir, const char* to) override;
    int renameat2(int fromDir, const char* from, int toDir, const char* to,
                  unsigned flags) override;
    int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) override;
    int unlinkat(int dirFd, const char* name, int flags) override;
};

} // namespace platform
