#include "app/booking_wait.h"

#include "app/hand_off_client.h"
#include "storage/journal.h"

#include <algorithm>
#include <chrono>
#include <poll.h>
#include <unistd.h>

namespace app {

namespace {

using Clock = std::chrono::steady_clock;

// The longest pause between two looks at the folder and the lock.
constexpr int kLongestPauseMs = 25;

// The socket to the window, closed when it goes; -1 when there is none.
class Request {
public:
    explicit Request(int fd) : m_fd(fd) {}
    ~Request() { close(); }
    Request(const Request&) = delete;
    Request& operator=(const Request&) = delete;

    // Waits up to `ms` for the window to answer or go; the connection is closed when it has.
    void wait(int ms) {
        if (m_fd < 0) {
            ::poll(nullptr, 0, ms);
            return;
        }
        pollfd watched{m_fd, POLLIN, 0};
        if (::poll(&watched, 1, ms) <= 0) {
            return;
        }
        char buffer[64];
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
            close(); // answered, or gone: the folder tells which
        }
    }
    bool open() const { return m_fd >= 0; }

private:
    void close() {
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    int m_fd;
};

// The answer, when the entry has one: looked for again when the entry is gone, since the holder
// leaves the answer before it removes the entry.
std::optional<BookingWait> answered(platform::FileSystem& files, const std::string& entryName) {
    if (auto answer = storage::takeAnswer(files, entryName)) {
        return BookingWait{BookingWait::Outcome::Answered, *answer};
    }
    if (storage::isWaiting(files, entryName)) {
        return std::nullopt;
    }
    if (auto answer = storage::takeAnswer(files, entryName)) {
        return BookingWait{BookingWait::Outcome::Answered, *answer};
    }
    return BookingWait{BookingWait::Outcome::Vanished, {}};
}

} // namespace

BookingWait awaitBooking(platform::FileSystem& files, const std::string& folder,
                         const std::string& entryName, InstanceLock& lock, int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    Request request(sendRequest(folder, entryName, timeoutMs));
    int pause = 1;
    while (true) {
        if (auto done = answered(files, entryName)) {
            return *done;
        }
        if (lock.retry()) {
            // The holder has gone; it may have booked the entry just before it went.
            if (auto done = answered(files, entryName)) {
                return *done;
            }
            return {BookingWait::Outcome::Holder, {}};
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            return {BookingWait::Outcome::TimedOut, {}};
        }
        // A window that has answered has left the answer already: look at once.
        const bool wasOpen = request.open();
        request.wait(static_cast<int>(std::min<long long>(left, pause)));
        if (wasOpen == request.open()) {
            pause = std::min(pause * 2, kLongestPauseMs);
        }
    }
}

} // namespace app
