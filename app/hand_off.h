#pragma once

#include <QLocalServer>
#include <QObject>
#include <QPointer>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QLocalSocket;

namespace app {

// Handing a booking from the command line to the running window. The command line first writes
// the booking as a waiting entry in the data folder (storage/pending.h), so that nothing is lost
// whatever happens next, and then names that entry over a local socket in the data folder, which
// only its owner can reach (the folder has mode 0700, the socket 0600). The window books every
// waiting entry as its own save would and answers with what the command line is to print.
//
// Request: "boka " + entry name + "\n". Answer: the exit code, a line end, the length in bytes
// of the standard output text, a line end, then that text and the standard error text; the
// window closes the connection after it. Both ends read what comes as untrusted bytes, with
// bounds: a request longer than a line of 128 bytes, or one that names no entry, is answered
// with exit code 2 and nothing is booked.
//
// It knows nothing of bookings or windows: the server asks a function for the answer, and the
// client returns what came back.

// The socket's name in the data folder.
inline constexpr const char* kHandOffSocketName = "surfklocka.sock";

struct HandOffAnswer {
    int exitCode = 0;
    std::string out;
    std::string err;
};

// The window's end. listen() makes the socket; requests are answered in the event loop.
class HandOffServer final : public QObject {
    Q_OBJECT

public:
    // The answer for an entry name; nullopt while the window is busy with a command of its own
    // (the request then waits until retry()).
    using Answerer = std::function<std::optional<HandOffAnswer>(const std::string& entryName)>;

    HandOffServer(std::string folder, Answerer answerer, QObject* parent = nullptr);
    ~HandOffServer() override;

    // Makes the socket "surfklocka.sock" in the data folder. The caller holds the data folder's
    // lock, so a socket left there by a program that died is replaced. It is made under a hidden
    // name and renamed into place once it listens, so a client that finds the name finds it
    // listening. False when it cannot be made (nothing else of that name is replaced).
    bool listen();
    // Answers the requests that waited while the window was busy.
    void retry();

private:
    void accept();
    void read(QLocalSocket* socket);
    void answer(QLocalSocket* socket);

    std::string m_folder;
    Answerer m_answerer;
    QLocalServer m_server;
    std::deque<QPointer<QLocalSocket>> m_waiting;
    bool m_listening = false;
};

// The command line's end: names the entry to the running window and waits at most `timeoutMs`
// milliseconds in all for its answer. nullopt when no window answers in time, or the answer is
// not one.
std::optional<HandOffAnswer> handOff(const std::string& folder, const std::string& entryName,
                                     int timeoutMs);

// The bytes of the protocol, and back; the readers take any bytes.
std::string requestBytes(const std::string& entryName);
// The entry a request names: nullopt unless it is exactly "boka NAME\n" with a name of the shape
// storage::pendingEntryName gives.
std::optional<std::string> requestedEntry(std::string_view bytes);
std::string answerBytes(const HandOffAnswer& answer);
// nullopt unless the bytes are exactly one whole answer of at most kLongestAnswer bytes.
std::optional<HandOffAnswer> parseAnswer(std::string_view bytes);
inline constexpr std::size_t kLongestRequest = 128;
inline constexpr std::size_t kLongestAnswer = 1024 * 1024;

// A new entry name from the system's real-time clock and the process id.
std::string newEntryName();

// The wait for the window's answer: 5 seconds, or SURFKLOCKA_HANDOFF_TIMEOUT_MS milliseconds
// (1 to 60000) where that is set, so that tests need not wait.
int handOffTimeoutMs();

} // namespace app
