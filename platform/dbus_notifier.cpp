#include "platform/dbus_notifier.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace platform {

namespace {

QString notificationsService() {
    return QStringLiteral("org.freedesktop.Notifications");
}

// A call to the bus itself, answered within the timeout; an error reply when not.
QDBusMessage askBus(QDBusConnection& bus, const QString& method, const QVariantList& arguments,
                    int timeoutMs) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), method);
    message.setArguments(arguments);
    return bus.call(message, QDBus::Block, timeoutMs);
}

// Whether someone has the notification service's name, or the bus can start a service for it.
// Asked first, so that a bus without one does not wait out the timeout of a call to nobody.
bool serviceThere(QDBusConnection& bus, int timeoutMs) {
    const QDBusMessage owned =
        askBus(bus, QStringLiteral("NameHasOwner"), {QVariant(notificationsService())}, timeoutMs);
    if (owned.type() == QDBusMessage::ReplyMessage && !owned.arguments().isEmpty() &&
        owned.arguments().constFirst().toBool()) {
        return true;
    }
    const QDBusMessage activatable =
        askBus(bus, QStringLiteral("ListActivatableNames"), {}, timeoutMs);
    return activatable.type() == QDBusMessage::ReplyMessage && !activatable.arguments().isEmpty() &&
           activatable.arguments().constFirst().toStringList().contains(notificationsService());
}

} // namespace

void DBusNotifier::notify(const std::string& title, const std::string& body) {
    send(title, body);
}

DBusNotifier::Outcome DBusNotifier::send(const std::string& title, const std::string& body) {
    if (QCoreApplication::instance() == nullptr) {
        return Outcome::NoBus; // Qt's bus connection needs the application object
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return Outcome::NoBus;
    }
    const int timeoutMs = static_cast<int>(m_timeout.count());
    if (!serviceThere(bus, timeoutMs)) {
        return Outcome::NoService;
    }

    QDBusMessage message = QDBusMessage::createMethodCall(
        notificationsService(), QStringLiteral("/org/freedesktop/Notifications"),
        notificationsService(), QStringLiteral("Notify"));
    message.setArguments({
        QVariant(QStringLiteral("Surfklocka")),             // app_name
        QVariant(0u),                                       // replaces_id: a new notification
        QVariant(QStringLiteral("org.example.surfklocka")), // app_icon
        QVariant(QString::fromStdString(title)),            // summary
        QVariant(QString::fromStdString(body)),             // body
        QVariant(QStringList()),                            // actions: none
        QVariant(QVariantMap()),                            // hints: none
        QVariant(-1),                                       // expire_timeout: the service's own
    });
    // A blocking call: when it returns, the message has gone through the bus and the service has
    // answered, so the program may exit at once.
    const QDBusMessage reply = bus.call(message, QDBus::Block, timeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage ? Outcome::Sent : Outcome::Failed;
}

} // namespace platform
