// The desktop notifier as a module of its own, loaded by the command line only when it has a
// notice to give, so that a command does not load Qt's D-Bus module otherwise.

#include "platform/dbus_notifier.h"

extern "C" __attribute__((visibility("default"))) void surfklocka_notify(const char* title,
                                                                         const char* body) {
    platform::DBusNotifier notifier;
    notifier.notify(title, body);
}
