#pragma once

#include "app/hand_off_client.h"

#include <QLocalServer>
#include <QObject>
#include <QPointer>
#include <deque>
#include <functional>
#include <optional>
#include <string>

class QLocalSocket;

namespace app {

// The running window's end of a hand-off (app/hand_off_client.h has the protocol): a local
// server on "surfklocka.sock" in the data folder that asks a function for each request's answer
// and writes it back. It knows nothing of bookings or windows.
class HandOffServer final : public QObject {
    Q_OBJECT

public:
    // The answer for an entry name; nullopt while the window is busy with a command of its own
    // (the request then waits until retry()).
    using Answerer = std::function<std::optional<HandOffAnswer>(const std::string& entryName)>;

    HandOffServer(std::string folder, Answerer answerer, QObject* parent = nullptr);
    ~HandOffServer() override;
    HandOffServer(const HandOffServer&) = delete;
    HandOffServer& operator=(const HandOffServer&) = delete;

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

} // namespace app
