#include "app/hand_off.h"

#include "core/texts.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace app {

namespace {

constexpr const char* kListeningName = ".surfklocka.sock.ny";
// At most this many clients are served at once; more wait in the socket's queue until there is
// room.
constexpr std::size_t kMostConnections = 256;

// Nothing, or a socket: what may be replaced by the window's socket.
bool replaceable(int folder, const char* name) {
    struct stat status {};
    if (::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT;
    }
    return S_ISSOCK(status.st_mode);
}

} // namespace

HandOffServer::HandOffServer(std::string folder, Answerer answerer, QObject* parent)
    : QObject(parent), m_folder(std::move(folder)), m_answerer(std::move(answerer)) {}

HandOffServer::~HandOffServer() {
    while (!m_connections.empty()) {
        drop(m_connections.begin()->first);
    }
    if (m_listener >= 0) {
        m_incoming.reset();
        ::close(m_listener);
        // The socket goes with the window; a program that dies leaves it for the next start.
        if (replaceable(m_folderFd, kHandOffSocketName)) {
            ::unlinkat(m_folderFd, kHandOffSocketName, 0);
        }
    }
    if (m_folderFd >= 0) {
        ::close(m_folderFd);
    }
}

bool HandOffServer::listen() {
    if (m_listener >= 0) {
        return false;
    }
    m_error = 0;
    if (m_folderFd < 0) {
        m_folderFd = ::open(m_folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    if (m_folderFd < 0) {
        m_error = errno;
        return false;
    }
    if (!replaceable(m_folderFd, kListeningName) || !replaceable(m_folderFd, kHandOffSocketName)) {
        m_error = EEXIST;
        return false;
    }
    // Bound through the folder's descriptor, so that a data folder of any length has its socket.
    const std::string listening =
        "/proc/self/fd/" + core::decimalText(m_folderFd) + "/" + kListeningName;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, listening.c_str(), listening.size() + 1);
    ::unlinkat(m_folderFd, kListeningName, 0);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        m_error = errno;
        return false;
    }
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::fchmodat(m_folderFd, kListeningName, S_IRUSR | S_IWUSR, 0) != 0 ||
        ::listen(fd, SOMAXCONN) != 0 ||
        ::renameat(m_folderFd, kListeningName, m_folderFd, kHandOffSocketName) != 0) {
        m_error = errno;
        ::close(fd);
        ::unlinkat(m_folderFd, kListeningName, 0);
        return false;
    }
    m_listener = fd;
    m_incoming = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(m_incoming.get(), &QSocketNotifier::activated, this, &HandOffServer::accept);
    return true;
}

void HandOffServer::accept() {
    while (m_connections.size() < kMostConnections) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            return; // none left, or none to be had now
        }
        auto connection = std::make_unique<Connection>();
        connection->fd = fd;
        connection->readable = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        connect(connection->readable.get(), &QSocketNotifier::activated, this,
                [this, fd] { read(fd); });
        m_connections.emplace(fd, std::move(connection));
        read(fd);
    }
    // Every place is taken: the clients wait in the socket's queue until one is free (drop).
    m_incoming->setEnabled(false);
}

void HandOffServer::read(int fd) {
    const auto found = m_connections.find(fd);
    if (found == m_connections.end() || found->second->asked) {
        return;
    }
    Connection& connection = *found->second;
    char buffer[kLongestRequest + 1];
    while (connection.received.size() <= kLongestRequest &&
           connection.received.find('\n') == std::string::npos) {
        const std::size_t room = kLongestRequest + 1 - connection.received.size();
        const ssize_t got = ::recv(fd, buffer, room, 0);
        if (got > 0) {
            connection.received.append(buffer, static_cast<std::size_t>(got));
        } else if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
            return; // the rest of the line is still on its way
        } else {
            drop(fd); // gone before it asked
            return;
        }
    }
    connection.asked = true;
    connection.readable->setEnabled(false);
    answer(fd);
}

void HandOffServer::answer(int fd) {
    const auto found = m_connections.find(fd);
    if (found == m_connections.end()) {
        return;
    }
    Connection& connection = *found->second;
    const std::size_t end = connection.received.find('\n');
    const auto entry = requestedEntry(
        std::string_view(connection.received).substr(0, end == std::string::npos ? end : end + 1));
    if (entry && !m_answerer(*entry)) {
        m_waiting.push_back(fd);
        return;
    }
    connection.toSend = entry ? std::string(kDoneAnswer) : std::string(kNotUnderstoodAnswer);
    write(fd);
}

void HandOffServer::write(int fd) {
    const auto found = m_connections.find(fd);
    if (found == m_connections.end()) {
        return;
    }
    Connection& connection = *found->second;
    while (connection.sent < connection.toSend.size()) {
        const ssize_t written = ::send(fd, connection.toSend.data() + connection.sent,
                                       connection.toSend.size() - connection.sent, MSG_NOSIGNAL);
        if (written > 0) {
            connection.sent += static_cast<std::size_t>(written);
        } else if (written < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (!connection.writable) {
                connection.writable = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
                connect(connection.writable.get(), &QSocketNotifier::activated, this,
                        [this, fd] { write(fd); });
            }
            return; // the rest when the client has read
        } else {
            break; // the client has gone
        }
    }
    drop(fd); // answered: closing the connection ends the answer
}

void HandOffServer::drop(int fd) {
    const auto found = m_connections.find(fd);
    if (found == m_connections.end()) {
        return;
    }
    found->second->readable.reset();
    found->second->writable.reset();
    ::close(fd);
    m_connections.erase(found);
    if (m_incoming && !m_incoming->isEnabled()) {
        m_incoming->setEnabled(true);
    }
}

void HandOffServer::retry() {
    while (!m_waiting.empty()) {
        const int fd = m_waiting.front();
        m_waiting.pop_front();
        if (m_connections.count(fd) == 0) {
            continue;
        }
        const std::size_t before = m_waiting.size();
        answer(fd);
        if (m_waiting.size() > before) {
            return; // busy again
        }
    }
}

} // namespace app
