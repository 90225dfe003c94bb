#include "app/hand_off_client.h"

#include "core/iso_date.h"
#include "core/texts.h"
#include "storage/journal.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace app {

namespace {

constexpr std::string_view kVerb = "boka ";

// A socket closed when it goes, or another descriptor taken over.
class Socket {
public:
    Socket() : m_fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)) {}
    explicit Socket(int fd) : m_fd(fd) {}
    ~Socket() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return m_fd; }
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

using Clock = std::chrono::steady_clock;

// Waits for the socket to be ready for `events` until the deadline; false when the time is up.
bool waitFor(int fd, short events, Clock::time_point deadline) {
    while (true) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd watched{fd, events, 0};
        const int ready = ::poll(&watched, 1, static_cast<int>(left.count()));
        if (ready > 0) {
            return true;
        }
        if (ready < 0 && errno != EINTR) {
            return false;
        }
    }
}

// The window's socket under its name in the folder itself, opened as a name only (O_PATH) and
// without following a link; -1 unless it is a socket of the user's own. A link, or another
// user's socket, could carry the request to whoever listens there.
int openOwnSocket(const std::string& path) {
    const int fd = ::open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    struct stat info {};
    if (fd >= 0 &&
        (::fstat(fd, &info) != 0 || !S_ISSOCK(info.st_mode) || info.st_uid != ::geteuid())) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::string requestBytes(const std::string& entryName) {
    return std::string(kVerb) + entryName + "\n";
}

std::optional<std::string> requestedEntry(std::string_view bytes) {
    if (bytes.size() > kLongestRequest || !bytes.starts_with(kVerb) || !bytes.ends_with('\n')) {
        return std::nullopt;
    }
    const std::string_view name = bytes.substr(kVerb.size(), bytes.size() - kVerb.size() - 1);
    if (!storage::isPendingEntryName(name)) {
        return std::nullopt;
    }
    return std::string(name);
}

int sendRequest(const std::string& folder, const std::string& entryName, int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    // The connection goes through the descriptor of the socket that was checked, so that its
    // name is not looked up a second time.
    const Socket checked(openOwnSocket(folder + "/" + kHandOffSocketName));
    if (checked.fd() < 0) {
        return -1; // no window of the user's own listens
    }
    const std::string path = "/proc/self/fd/" + core::decimalText(checked.fd());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    Socket socket;
    if (socket.fd() < 0) {
        return -1;
    }
    if (::connect(socket.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EINPROGRESS && errno != EAGAIN) {
            return -1; // no window listens
        }
        int error = 0;
        socklen_t length = sizeof error;
        if (!waitFor(socket.fd(), POLLOUT, deadline) ||
            ::getsockopt(socket.fd(), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
            return -1;
        }
    }
    const std::string request = requestBytes(entryName);
    std::size_t sent = 0;
    while (sent < request.size()) {
        const ssize_t written =
            ::send(socket.fd(), request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (written > 0) {
            sent += static_cast<std::size_t>(written);
        } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
            return -1;
        } else if (!waitFor(socket.fd(), POLLOUT, deadline)) {
            return -1;
        }
    }
    return socket.release();
}

std::string newEntryName() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return storage::pendingEntryName(
        static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec, ::getpid());
}

int handOffTimeoutMs() {
    if (const char* text = std::getenv("SURFKLOCKA_HANDOFF_TIMEOUT_MS")) {
        if (const auto value = core::digitsNumber(text, 9);
            value && *value >= 1 && *value <= 60000) {
            return static_cast<int>(*value);
        }
    }
    return 10000;
}

bool commandMayWait(std::string_view entryName, std::int64_t nowNanoseconds) {
    constexpr std::size_t kTimeDigits = 20;
    const auto made = core::digitsNumber(entryName.substr(0, kTimeDigits), kTimeDigits);
    return made && nowNanoseconds - *made < std::int64_t{handOffTimeoutMs()} * 1'000'000;
}

} // namespace app
