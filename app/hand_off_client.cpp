#include "app/hand_off_client.h"

#include "core/texts.h"
#include "storage/pending.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
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

std::optional<std::int64_t> wholeNumber(std::string_view text) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

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

std::string answerBytes(const HandOffAnswer& answer) {
    return core::decimalText(answer.exitCode) + "\n" +
           core::decimalText(static_cast<std::int64_t>(answer.out.size())) + "\n" + answer.out +
           answer.err;
}

std::optional<HandOffAnswer> parseAnswer(std::string_view bytes) {
    if (bytes.size() > kLongestAnswer) {
        return std::nullopt;
    }
    const std::size_t first = bytes.find('\n');
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t second = bytes.find('\n', first + 1);
    if (second == std::string_view::npos) {
        return std::nullopt;
    }
    const auto code = wholeNumber(bytes.substr(0, first));
    const auto length = wholeNumber(bytes.substr(first + 1, second - first - 1));
    const std::string_view texts = bytes.substr(second + 1);
    if (!code || *code > 2 || !length || static_cast<std::size_t>(*length) > texts.size()) {
        return std::nullopt;
    }
    const auto split = static_cast<std::size_t>(*length);
    return HandOffAnswer{static_cast<int>(*code), std::string(texts.substr(0, split)),
                         std::string(texts.substr(split))};
}

std::optional<HandOffAnswer> handOff(const std::string& folder, const std::string& entryName,
                                     int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    // The connection goes through the descriptor of the socket that was checked, so that its
    // name is not looked up a second time.
    const Socket checked(openOwnSocket(folder + "/" + kHandOffSocketName));
    if (checked.fd() < 0) {
        return std::nullopt; // no window of the user's own listens
    }
    const std::string path = "/proc/self/fd/" + core::decimalText(checked.fd());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const Socket socket;
    if (socket.fd() < 0) {
        return std::nullopt;
    }
    if (::connect(socket.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EINPROGRESS && errno != EAGAIN) {
            return std::nullopt; // no window listens
        }
        int error = 0;
        socklen_t length = sizeof error;
        if (!waitFor(socket.fd(), POLLOUT, deadline) ||
            ::getsockopt(socket.fd(), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
            return std::nullopt;
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
            return std::nullopt;
        } else if (!waitFor(socket.fd(), POLLOUT, deadline)) {
            return std::nullopt;
        }
    }
    // The answer ends when the window closes the connection.
    std::string received;
    char buffer[4096];
    while (true) {
        const ssize_t got = ::recv(socket.fd(), buffer, sizeof buffer, 0);
        if (got > 0) {
            received.append(buffer, static_cast<std::size_t>(got));
            if (received.size() > kLongestAnswer) {
                return std::nullopt;
            }
        } else if (got == 0) {
            break;
        } else if (errno != EAGAIN && errno != EINTR) {
            return std::nullopt;
        } else if (!waitFor(socket.fd(), POLLIN, deadline)) {
            return std::nullopt; // no answer in time
        }
    }
    return parseAnswer(received);
}

std::string newEntryName() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return storage::pendingEntryName(
        static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec, ::getpid());
}

int handOffTimeoutMs() {
    if (const char* text = std::getenv("SURFKLOCKA_HANDOFF_TIMEOUT_MS")) {
        if (const auto value = wholeNumber(text); value && *value >= 1 && *value <= 60000) {
            return static_cast<int>(*value);
        }
    }
    return 5000;
}

} // namespace app
