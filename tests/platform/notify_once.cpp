// Sends one notification through the D-Bus notifier and exits at once, as the command line does:
// notify_once TITLE BODY. The exit code tells how it went (0 sent, 1 no bus, 2 no service,
// 3 failed). With --no-application first, it sends without a QCoreApplication.

#include "platform/dbus_notifier.h"

#include <QCoreApplication>
#include <cstring>
#include <memory>
#include <string>

int main(int argc, char** argv) {
    int first = 1;
    std::unique_ptr<QCoreApplication> app;
    if (argc > 1 && std::strcmp(argv[1], "--no-application") == 0) {
        first = 2;
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    if (argc != first + 2) {
        return 64;
    }
    platform::DBusNotifier notifier;
    switch (notifier.send(argv[first], argv[first + 1])) {
    case platform::DBusNotifier::Outcome::Sent:
        return 0;
    case platform::DBusNotifier::Outcome::NoBus:
        return 1;
    case platform::DBusNotifier::Outcome::NoService:
        return 2;
    case platform::DBusNotifier::Outcome::Failed:
        return 3;
    }
    return 4;
}
