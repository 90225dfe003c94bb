#pragma once

#include "app/hand_off_client.h"

#include <QObject>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

class QSocketNotifier;

namespace app {

// The running window's end of a hand-off (app/hand_off_client.h has the protocol): a local
// server on "surfklocka.sock" in the data folder that, for each request, asks a function to book
// what waits in the journal and then tells the client to look for its answer in the folder, in the
// event loop and without blocking. POSIX sockets watched by Qt Core, so that the windows need no
// network module. It knows nothing of bookings or windows, and sends no booking's outcome itself:
// that is in the folder.
class HandOffServer final : public QObject {
    Q_OBJECT

public:
    // Books what waits for an entry name's request: true once done, false while the window is
    // busy with a command of its own (the request then waits until retry()).
    using Answerer = std::function<bool(const std::string& entryName)>;

    HandOffServer(std::string folder, Answerer answerer, QObject* parent = nullptr);
    ~HandOffServer() override;
    HandOffServer(const HandOffServer&) = delete;
    HandOffServer& operator=(const HandOffServer&) = delete;

    // Makes the socket "surfklocka.sock" in the data folder. The caller holds the data folder's
    // lock, so a socket left there by a program that died is replaced. It is made under a hidden
    // name and renamed into place once it listens, so a client that finds the name finds it
    // listening. False when it cannot be made (nothing else of that name is replaced); error()
    // then tells why.
    bool listen();
    // The system's error number of a listen() that failed.
    int error() const { return m_error; }
    // Answers the requests that waited while the window was busy.
    void retry();

private:
    // One client: what it has sent so far and what is still to be written back.
    struct Connection {
        int fd = -1;
        std::string received;
        std::string toSend;
        std::size_t sent = 0;
        bool asked = false;
        std::unique_ptr<QSocketNotifier> readable;
        std::unique_ptr<QSocketNotifier> writable;
    };

    void accept();
    void read(int fd);
    void answer(int fd);
    void write(int fd);
    void drop(int fd);

    std::string m_folder;
    Answerer m_answerer;
    int m_listener = -1;
    int m_folderFd = -1;
    int m_error = 0;
    std::unique_ptr<QSocketNotifier> m_incoming;
    std::map<int, std::unique_ptr<Connection>> m_connections;
    std::deque<int> m_waiting;
};

} // namespace app
