// The D-Bus notifier on a real session bus of its own, run under dbus-run-session with a bus
// configuration of the test's (tests/CMakeLists.txt). A stand-in notification service records
// every Notify call that reaches it.

#include "platform/dbus_notifier.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusServiceWatcher>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using Outcome = platform::DBusNotifier::Outcome;
const QString kService = QStringLiteral("org.freedesktop.Notifications");

QDBusConnection bus() {
    return QDBusConnection::sessionBus();
}

bool serviceOwned() {
    return bus().interface()->isServiceRegistered(kService).value();
}

// Waits until the service's name is owned (or not), or the stand-in given has ended.
void waitForName(bool owned, QProcess* service = nullptr) {
    QDBusServiceWatcher watcher(kService, bus(),
                                QDBusServiceWatcher::WatchForRegistration |
                                    QDBusServiceWatcher::WatchForUnregistration);
    QEventLoop loop;
    QObject::connect(&watcher, &QDBusServiceWatcher::serviceOwnerChanged, &loop, &QEventLoop::quit);
    if (service != nullptr) {
        QObject::connect(service, &QProcess::finished, &loop, &QEventLoop::quit);
        QObject::connect(service, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    }
    while (serviceOwned() != owned &&
           (service == nullptr || service->state() != QProcess::NotRunning)) {
        loop.exec();
    }
}

// The Notify calls recorded by the stand-in, their arguments joined by "|".
std::vector<std::string> recordedCalls(const std::string& path) {
    std::vector<std::string> calls;
    QFile file(QString::fromStdString(path));
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.isEmpty()) {
                const QVariantList call = QJsonDocument::fromJson(line).array().toVariantList();
                calls.push_back(QVariant(call).toStringList().join(u'|').toStdString());
            }
        }
    }
    return calls;
}

// What the stand-in records of a notice of the program's; without a body, what it begins with.
std::string noticeCall(const std::string& title, const std::string& body) {
    return "Surfklocka|0|org.example.surfklocka|" + title + "|" +
           (body.empty() ? std::string() : body + "||0|-1");
}

} // namespace

// Without a service nothing is sent and nothing fails. With one, the real program as a command
// gives its notice through the module it loads, delivered before the command ends.
TEST(DBusNotifier, ACommandLineBookingGivesItsNoticeOnceThroughTheLoadedModule) {
    ASSERT_TRUE(bus().isConnected()) << "no session bus: run under dbus-run-session";
    ASSERT_FALSE(serviceOwned());
    EXPECT_EQ(platform::DBusNotifier().send("Extra tid har börjat", ""), Outcome::NoService);

    testing_support::TempDir dir;
    const std::string record = dir.file("notifications.jsonl");
    QProcess service;
    service.start(QStringLiteral(SURFKLOCKA_NOTIFICATION_SERVICE),
                  {QString::fromStdString(record)});
    waitForName(true, &service);
    ASSERT_TRUE(serviceOwned());
    // The 1 h plan: the mark, "1 h / dygn" at 30 and 3600 (0x0E10) at 60.
    std::vector<std::uint8_t> settings(62, 0);
    settings[0] = settings[1] = 0xFF;
    const std::string plan = "1 h / dygn";
    std::copy(plan.begin(), plan.end(), settings.begin() + 30);
    settings[60] = 0x10;
    settings[61] = 0x0E;
    std::filesystem::create_directories(dir.file("data/surfklocka"));
    dir.write("data/surfklocka/tid.it", settings);
    QProcess command;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), QString::fromStdString(dir.file("data")));
    environment.remove(QStringLiteral("DISPLAY"));
    command.setProcessEnvironment(environment);
    // 55 minutes leave 5 of the hour.
    command.start(QStringLiteral(SURFKLOCKA_PROGRAM),
                  {QStringLiteral("boka"), QStringLiteral("--datum"), QStringLiteral("2001-12-05"),
                   QStringLiteral("0:55:00")});
    ASSERT_TRUE(command.waitForFinished(-1));
    EXPECT_EQ(command.exitCode(), 0);
    const auto calls = recordedCalls(record);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(calls[0].starts_with(noticeCall("Snart slut på dagens förbetalda tid", "")))
        << calls[0];

    service.terminate();
    service.waitForFinished(-1);
    waitForName(false);
}

// Run on a bus that starts the stand-in itself when a call comes for its name.
TEST(DBusNotifierActivation, AServiceTheBusStartsOnDemandGetsTheSwedishTextsOnce) {
    ASSERT_TRUE(bus().isConnected());
    ASSERT_FALSE(serviceOwned());
    testing_support::TempDir dir;
    const std::string record = dir.file("notifications.jsonl");
    // The started stand-in learns its record file, and the process whose end it is to follow,
    // from the bus's activation environment.
    QDBusMessage update = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("UpdateActivationEnvironment"));
    qDBusRegisterMetaType<QMap<QString, QString>>(); // a{ss}
    QMap<QString, QString> variables;
    variables.insert(QStringLiteral("SURFKLOCKA_TEST_NOTIFICATIONS"),
                     QString::fromStdString(record));
    variables.insert(QStringLiteral("SURFKLOCKA_TEST_PID"),
                     QString::number(QCoreApplication::applicationPid()));
    update << QVariant::fromValue(variables);
    ASSERT_EQ(bus().call(update).type(), QDBusMessage::ReplyMessage);

    // Texts with every Swedish letter. Starting a process may take longer than the program's
    // second on a busy machine.
    const std::string title = "Snart slut på dagens förbetalda tid";
    const std::string body = "Dagens förbetalda tid (2 h): 8 m 20 s kvar. Åter på måndag, ÄÖ åäö.";
    platform::DBusNotifier notifier(std::chrono::seconds(60));
    EXPECT_EQ(notifier.send(title, body), Outcome::Sent);
    EXPECT_EQ(recordedCalls(record), std::vector<std::string>{noticeCall(title, body)});

    const QDBusMessage quit =
        QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/Notifications"),
                                       kService, QStringLiteral("Quit"));
    EXPECT_EQ(bus().call(quit).type(), QDBusMessage::ReplyMessage);
    waitForName(false);
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
