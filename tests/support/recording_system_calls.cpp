#include "support/recording_system_calls.h"

#include <algorithm>
#include <cerrno>

namespace testing_support {

namespace {

// The answer of a call that was made: errno scrambled when it succeeded.
template <typename Result>
Result made(Result result) {
    if (result >= 0) {
        errno = EDOM;
    }
    return result;
}

std::string pair(const char* from, const char* to) {
    return std::string(from) + ">" + to;
}

} // namespace

void RecordingSystemCalls::failCall(int nth, int error, std::vector<std::string> kinds) {
    m_rules.push_back(Rule{std::move(kinds), nth, error, 0});
}

bool RecordingSystemCalls::fails(const std::string& kind, const std::string& target) {
    m_log.push_back(kind + " " + target);
    const Rule* firing = nullptr; // every rule counts the call; the first that fires decides
    for (Rule& rule : m_rules) {
        if (rule.kinds.empty() ||
            std::find(rule.kinds.begin(), rule.kinds.end(), kind) != rule.kinds.end()) {
            ++rule.seen;
            if (firing == nullptr && (rule.nth == 0 || rule.seen == rule.nth)) {
                firing = &rule;
            }
        }
    }
    if (firing != nullptr) {
        errno = firing->error;
    }
    return firing != nullptr;
}

std::string RecordingSystemCalls::nameOf(int fd) const {
    const auto found = m_names.find(fd);
    return found == m_names.end() ? "." : found->second;
}

int RecordingSystemCalls::openat(int dirFd, const char* name, int flags, mode_t mode) {
    if (fails("openat", name)) {
        return -1;
    }
    const int fd = m_real.openat(dirFd, name, flags, mode);
    if (fd >= 0) {
        m_names[fd] = name;
    }
    return made(fd);
}

ssize_t RecordingSystemCalls::write(int fd, const void* bytes, std::size_t count) {
    return fails("write", nameOf(fd)) ? -1 : made(m_real.write(fd, bytes, count));
}

int RecordingSystemCalls::fchmod(int fd, mode_t mode) {
    return fails("fchmod", nameOf(fd)) ? -1 : made(m_real.fchmod(fd, mode));
}

int RecordingSystemCalls::fdatasync(int fd) {
    return fails("fdatasync", nameOf(fd)) ? -1 : made(m_real.fdatasync(fd));
}

int RecordingSystemCalls::fsync(int fd) {
    return fails("fsync", nameOf(fd)) ? -1 : made(m_real.fsync(fd));
}

int RecordingSystemCalls::close(int fd) {
    const bool fail = fails("close", nameOf(fd));
    m_names.erase(fd);
    if (fail) {
        const int error = errno;
        m_real.close(fd);
        errno = error;
        return -1;
    }
    return made(m_real.close(fd));
}

int RecordingSystemCalls::renameat(int fromDir, const char* from, int toDir, const char* to) {
    return fails("renameat", pair(from, to)) ? -1 : made(m_real.renameat(fromDir, from, toDir, to));
}

int RecordingSystemCalls::renameat2(int fromDir, const char* from, int toDir, const char* to,
                                    unsigned flags) {
    return fails("renameat2", pair(from, to))
               ? -1
               : made(m_real.renameat2(fromDir, from, toDir, to, flags));
}

int RecordingSystemCalls::linkat(int fromDir, const char* from, int toDir, const char* to,
                                 int flags) {
    return fails("linkat", pair(from, to)) ? -1
                                           : made(m_real.linkat(fromDir, from, toDir, to, flags));
}

int RecordingSystemCalls::unlinkat(int dirFd, const char* name, int flags) {
    return fails("unlinkat", name) ? -1 : made(m_real.unlinkat(dirFd, name, flags));
}

} // namespace testing_support
