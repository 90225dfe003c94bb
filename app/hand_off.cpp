#include "app/hand_off.h"

#include "storage/pending.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QVariant>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

namespace {

constexpr std::string_view kVerb = "boka ";
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

std::optional<std::int64_t> wholeNumber(std::string_view text) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
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
    return std::to_string(answer.exitCode) + "\n" + std::to_string(answer.out.size()) + "\n" +
           answer.out + answer.err;
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

std::optional<HandOffAnswer> handOff(const std::string& folder, const std::string& entryName,
                                     int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(path(folder, kHandOffSocketName));
    if (!socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
        return std::nullopt;
    }
    const std::string request = requestBytes(entryName);
    socket.write(request.data(), static_cast<qint64>(request.size()));
    if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
        return std::nullopt;
    }
    QByteArray received;
    while (true) {
        received += socket.readAll();
        if (received.size() > static_cast<qsizetype>(kLongestAnswer)) {
            return std::nullopt;
        }
        if (socket.state() == QLocalSocket::UnconnectedState) {
            break;
        }
        if (deadline.hasExpired() ||
            !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            if (socket.state() != QLocalSocket::UnconnectedState) {
                return std::nullopt; // no answer in time
            }
        }
    }
    received += socket.readAll();
    return parseAnswer(
        std::string_view(received.constData(), static_cast<std::size_t>(received.size())));
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
