#include "app/hand_off.h"

#include <QLocalSocket>
#include <QVariant>
#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

namespace {

constexpr const char* kListeningName = ".surfklocka.sock.ny";
// At most this many connections wait for the window at once; more are closed unanswered.
constexpr std::size_t kMostWaiting = 16;

QString path(const std::string& folder, const char* name) {
    return QString::fromStdString(folder + "/" + name);
}

// Nothing, or a socket: what may be replaced by the window's socket.
bool replaceable(const std::string& file) {
    struct stat status {};
    if (::lstat(file.c_str(), &status) != 0) {
        return errno == ENOENT;
    }
    return S_ISSOCK(status.st_mode);
}

} // namespace

HandOffServer::HandOffServer(std::string folder, Answerer answerer, QObject* parent)
    : QObject(parent), m_folder(std::move(folder)), m_answerer(std::move(answerer)) {
    connect(&m_server, &QLocalServer::newConnection, this, &HandOffServer::accept);
}

HandOffServer::~HandOffServer() {
    if (m_listening) {
        // The socket goes with the window; a program that dies leaves it for the next start.
        m_server.close();
        const std::string socket = m_folder + "/" + kHandOffSocketName;
        if (replaceable(socket)) {
            ::unlink(socket.c_str());
        }
    }
}

bool HandOffServer::listen() {
    const std::string listening = m_folder + "/" + kListeningName;
    const std::string socket = m_folder + "/" + kHandOffSocketName;
    if (!replaceable(listening) || !replaceable(socket)) {
        return false;
    }
    ::unlink(listening.c_str());
    if (!m_server.listen(path(m_folder, kListeningName))) {
        return false;
    }
    ::chmod(listening.c_str(), S_IRUSR | S_IWUSR);
    if (::rename(listening.c_str(), socket.c_str()) != 0) {
        m_server.close();
        ::unlink(listening.c_str());
        return false;
    }
    m_listening = true;
    return true;
}

void HandOffServer::accept() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        read(socket);
    }
}

void HandOffServer::read(QLocalSocket* socket) {
    const QByteArray seen = socket->peek(static_cast<qint64>(kLongestRequest) + 1);
    if (!seen.contains('\n') && seen.size() <= static_cast<qsizetype>(kLongestRequest)) {
        return; // the rest of the line is still on its way
    }
    if (socket->property("asked").toBool()) {
        return;
    }
    socket->setProperty("asked", true);
    answer(socket);
}

void HandOffServer::answer(QLocalSocket* socket) {
    const QByteArray line = socket->peek(static_cast<qint64>(kLongestRequest) + 1)
                                .left(static_cast<qsizetype>(kLongestRequest) + 1);
    const qsizetype end = line.indexOf('\n');
    const std::string_view request(line.constData(),
                                   static_cast<std::size_t>(end < 0 ? line.size() : end + 1));
    const auto entry = requestedEntry(request);
    std::optional<HandOffAnswer> reply;
    if (!entry) {
        reply = HandOffAnswer{2, {}, "surfklocka: Surfklocka förstod inte begäran.\n"};
    } else {
        reply = m_answerer(*entry);
        if (!reply) {
            if (m_waiting.size() >= kMostWaiting) {
                socket->abort();
                return;
            }
            m_waiting.emplace_back(socket);
            return;
        }
    }
    const std::string bytes = answerBytes(*reply);
    socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
    socket->disconnectFromServer();
}

void HandOffServer::retry() {
    while (!m_waiting.empty()) {
        const QPointer<QLocalSocket> socket = m_waiting.front();
        m_waiting.pop_front();
        if (socket == nullptr || socket->state() != QLocalSocket::ConnectedState) {
            continue;
        }
        const std::size_t before = m_waiting.size();
        answer(socket);
        if (m_waiting.size() > before) {
            return; // busy again
        }
    }
}

} // namespace app
