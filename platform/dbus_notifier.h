// The desktop's notifications through D-Bus: Notify on org.freedesktop.Notifications on the
// session bus, as "Surfklocka" with the program's icon. Needs a QCoreApplication (a window is not
// needed: it works from the command line too).
//
// Where there is no session bus, or no notification service runs on it nor can be started by
// it, nothing is sent and nothing fails. Every call to the bus is bounded by a short timeout, and
// notify returns only when the service has answered (or the timeout has passed), so a program
// that exits right after it does not lose the notification. It does not retry, keep the ids the
// service answers with, or take any action the user may click.
#pragma once

#include "platform/notifier.h"

#include <chrono>
#include <string>

namespace platform {

class DBusNotifier final : public Notifier {
public:
    // How a notification went.
    enum class Outcome {
        Sent,      // the service answered with an id
        NoBus,     // no QCoreApplication, or no session bus to be reached
        NoService, // nobody has the service's name on the bus, nor can the bus start one
        Failed,    // the service answered with an error, or not within the timeout
    };

    explicit DBusNotifier(std::chrono::milliseconds timeout = std::chrono::milliseconds(1000))
        : m_timeout(timeout) {}

    void notify(const std::string& title, const std::string& body) override;

    // notify, telling how it went.
    Outcome send(const std::string& title, const std::string& body);

private:
    std::chrono::milliseconds m_timeout;
};

} // namespace platform
