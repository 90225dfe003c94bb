// The desktop notifier as a module of its own, loaded by the command line only when it has a
// notice to give, so that a command loads no Qt library otherwise. The command line makes no Qt
// application object, which the bus needs: the first notice makes one, and it lasts until the
// command line's notifier ends.

#include "platform/dbus_notifier.h"

#include <QCoreApplication>
#include <memory>

namespace {

int argumentCount = 1;
char programName[] = "surfklocka";
char* arguments[] = {programName, nullptr};
std::unique_ptr<QCoreApplication> application;

} // namespace

extern "C" __attribute__((visibility("default"))) void surfklocka_notify(const char* title,
                                                                         const char* body) {
    if (QCoreApplication::instance() == nullptr) {
        application = std::make_unique<QCoreApplication>(argumentCount, arguments);
    }
    platform::DBusNotifier notifier;
    notifier.notify(title, body);
}

extern "C" __attribute__((visibility("default"))) void surfklocka_notifier_end() {
    application.reset();
}
