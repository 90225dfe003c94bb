#pragma once

#include "platform/system_calls.h"

#include <map>
#include <string>
#include <vector>

namespace testing_support {

// System calls made on the system and recorded in order, each as "name target": the file name for
// openat and unlinkat, "from>to" for renameat, renameat2 and linkat, and for a call on a
// descriptor the name it was opened under ("." for one it did not see opened, the data folder).
//
// It makes chosen calls fail instead, without making them: the nth (counted from 1) of the given
// kinds ("openat", "write", "fsync", ...; all kinds when none are given), or every one of them
// (nth 0), with errno set to a chosen value. Every rule counts every call of its kinds; of the
// rules that fire on a call, the first made decides. A close made to
// fail still releases its descriptor, as Linux's close does whatever it reports.
//
// A call that succeeds leaves errno at EDOM, as a successful call is allowed to change it, so
// that code that reads errno after a later call than the one that failed reads a wrong cause.
class RecordingSystemCalls final : public platform::SystemCalls {
public:
    void failCall(int nth, int error, std::vector<std::string> kinds = {});
    const std::vector<std::string>& log() const { return m_log; }
    void clearLog() { m_log.clear(); }

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

private:
    struct Rule {
        std::vector<std::string> kinds;
        int nth = 0;
        int error = 0;
        int seen = 0;
    };
    // Records the call; true, with errno set, when it is to fail.
    bool fails(const std::string& kind, const std::string& target);
    std::string nameOf(int fd) const;

    platform::SystemCalls& m_real = platform::RealSystemCalls::instance();
    std::vector<Rule> m_rules;
    std::map<int, std::string> m_names; // descriptors opened here, by the name they were opened
    std::vector<std::string> m_log;
};

} // namespace testing_support
