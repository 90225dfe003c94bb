#include "platform/system_calls.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {

RealSystemCalls& RealSystemCalls::instance() {
    static RealSystemCalls calls;
    return calls;
}

int RealSystemCalls::openat(int dirFd, const char* name, int flags, mode_t mode) {
    return ::openat(dirFd, name, flags, mode);
}

ssize_t RealSystemCalls::write(int fd, const void* bytes, std::size_t count) {
    return ::write(fd, bytes, count);
}

int RealSystemCalls::fchmod(int fd, mode_t mode) {
    return ::fchmod(fd, mode);
}

int RealSystemCalls::fdatasync(int fd) {
    return ::fdatasync(fd);
}

int RealSystemCalls::fsync(int fd) {
    return ::fsync(fd);
}

int RealSystemCalls::close(int fd) {
    return ::close(fd);
}

int RealSystemCalls::renameat(int fromDir, const char* from, int toDir, const char* to) {
    return ::renameat(fromDir, from, toDir, to);
}

int RealSystemCalls::renameat2(int fromDir, const char* from, int toDir, const char* to,
                               unsigned flags) {
    return static_cast<int>(::syscall(SYS_renameat2, fromDir, from, toDir, to, flags));
}

int RealSystemCalls::linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
    return ::linkat(fromDir, from, toDir, to, flags);
}

int RealSystemCalls::unlinkat(int dirFd, const char* name, int flags) {
    return ::unlinkat(dirFd, name, flags);
}

} // namespace platform
