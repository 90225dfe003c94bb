// The D-Bus notifier on a real session bus of its own: run under dbus-run-session with a bus
// configuration that starts no service by itself (tests/CMakeLists.txt). A stand-in notification
// service records what reaches it.

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
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Outcome = platform::DBusNotifier::Outcome;

const QString kService = QStringLiteral("org.freedesktop.Notifications");

// Texts with every Swedish letter, in UTF-8.
const std::string kTitle = "Snart slut på dagens förbetalda tid";
const std::string kBody = "Dagens förbetalda tid (2 h): 8 m 20 s kvar. Åter på måndag, ÄÖ åäö.";

QDBusConnection bus() {
    return QDBusConnection::sessionBus();
}

bool serviceOwned() {
    return bus().interface()->isServiceRegistered(kService).value();
}

// Waits, with no deadline, until the service's name is owned (true) or the stand-in has ended
// without owning it (false). The name must come unless the stand-in fails to start.
bool startAndWaitForName(QProcess& service, const QStringList& arguments) {
    QDBusServiceWatcher watcher(kService, bus(), QDBusServiceWatcher::WatchForRegistration);
    QEventLoop loop;
    QObject::connect(&watcher, &QDBusServiceWatcher::serviceRegistered, &loop, &QEventLoop::quit);
    QObject::connect(&service, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&service, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    service.start(QStringLiteral(SURFKLOCKA_NOTIFICATION_SERVICE), arguments);
    while (!serviceOwned() && service.state() != QProcess::NotRunning) {
        loop.exec();
    }
    return serviceOwned();
}

// Ends the stand-in and waits until the bus has let its name go, so that the next test finds a
// bus without a notification service.
void stopAndWaitForNameGone(QProcess& service) {
    QDBusServiceWatcher watcher(kService, bus(), QDBusServiceWatcher::WatchForUnregistration);
    QEventLoop loop;
    QObject::connect(&watcher, &QDBusServiceWatcher::serviceUnregistered, &loop, &QEventLoop::quit);
    service.terminate();
    service.waitForFinished(-1);
    while (serviceOwned()) {
        loop.exec();
    }
}

// The Notify calls recorded by the stand-in, one JSON object each.
std::vector<QJsonObject> recordedCalls(const QString& path) {
    std::vector<QJsonObject> calls;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return calls;
    }
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.isEmpty()) {
            calls.push_back(QJsonDocument::fromJson(line).object());
        }
    }
    return calls;
}

void expectCallOf(const QJsonObject& call, const std::string& title, const std::string& body) {
    EXPECT_EQ(call.value(QStringLiteral("app_name")).toString(), QStringLiteral("Surfklocka"));
    EXPECT_EQ(call.value(QStringLiteral("summary")).toString().toStdString(), title);
    EXPECT_EQ(call.value(QStringLiteral("body")).toString().toStdString(), body);
    EXPECT_EQ(call.value(QStringLiteral("replaces_id")).toInteger(-1), 0);
    EXPECT_EQ(call.value(QStringLiteral("app_icon")).toString(),
              QStringLiteral("org.example.surfklocka"));
    EXPECT_EQ(call.value(QStringLiteral("actions")).toArray(), QJsonArray());
    EXPECT_EQ(call.value(QStringLiteral("hints")).toInteger(-1), 0);
    EXPECT_EQ(call.value(QStringLiteral("expire_timeout")).toInteger(0), -1);
}

// Runs notify_once with the given arguments and environment changes, waiting for it to end.
int runNotifyOnce(const QStringList& arguments, const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(QStringLiteral(SURFKLOCKA_NOTIFY_ONCE), arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit) {
        return -1;
    }
    return process.exitCode();
}

QStringList texts(const std::string& title, const std::string& body) {
    return {QString::fromStdString(title), QString::fromStdString(body)};
}

class DBusNotifierTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(bus().isConnected()) << "no session bus: run under dbus-run-session";
        ASSERT_FALSE(serviceOwned()) << "a notification service is already on the test bus";
    }

    testing_support::TempDir m_dir;
    QString m_recordPath = QString::fromStdString(m_dir.file("notifications.jsonl"));
};

} // namespace

TEST_F(DBusNotifierTest, TheServiceGetsTheSwedishTextsFromSurfklocka) {
    QProcess service;
    ASSERT_TRUE(startAndWaitForName(service, {m_recordPath}));

    platform::DBusNotifier notifier;
    EXPECT_EQ(notifier.send(kTitle, kBody), Outcome::Sent);
    // Through the interface as the program calls it.
    notifier.notify("Extra tid har börjat", "Å, ä och ö.");

    const auto calls = recordedCalls(m_recordPath);
    ASSERT_EQ(calls.size(), 2u);
    expectCallOf(calls[0], kTitle, kBody);
    expectCallOf(calls[1], "Extra tid har börjat", "Å, ä och ö.");

    stopAndWaitForNameGone(service);
}

TEST_F(DBusNotifierTest, AProcessThatExitsRightAfterNotifyingHasDeliveredIt) {
    QProcess service;
    ASSERT_TRUE(startAndWaitForName(service, {m_recordPath}));

    EXPECT_EQ(runNotifyOnce(texts(kTitle, kBody), QProcessEnvironment::systemEnvironment()), 0);
    const auto calls = recordedCalls(m_recordPath);
    ASSERT_EQ(calls.size(), 1u);
    expectCallOf(calls[0], kTitle, kBody);

    stopAndWaitForNameGone(service);
}

// The real program as a command: the notifier module it loads for its first notice delivers the
// notice before the command ends.
TEST_F(DBusNotifierTest, ACommandLineBookingGivesItsNoticeThroughTheLoadedModule) {
    QProcess service;
    ASSERT_TRUE(startAndWaitForName(service, {m_recordPath}));
    // The 1 h plan: the mark, "1 h / dygn" at 30 and 3600 (0x0E10) at 60.
    std::vector<std::uint8_t> settings(62, 0);
    settings[0] = settings[1] = 0xFF;
    const std::string plan = "1 h / dygn";
    std::copy(plan.begin(), plan.end(), settings.begin() + 30);
    settings[60] = 0x10;
    settings[61] = 0x0E;
    std::filesystem::create_directories(m_dir.file("data/surfklocka"));
    m_dir.write("data/surfklocka/tid.it", settings);

    QProcess command;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), QString::fromStdString(m_dir.file("data")));
    environment.remove(QStringLiteral("DISPLAY"));
    command.setProcessEnvironment(environment);
    command.setProcessChannelMode(QProcess::ForwardedChannels);
    // 55 minutes leave 5 of the hour.
    command.start(QStringLiteral(SURFKLOCKA_PROGRAM),
                  {QStringLiteral("boka"), QStringLiteral("--datum"), QStringLiteral("2001-12-05"),
                   QStringLiteral("0:55:00")});
    ASSERT_TRUE(command.waitForFinished(-1));
    EXPECT_EQ(command.exitCode(), 0);
    const auto calls = recordedCalls(m_recordPath);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].value(QStringLiteral("summary")).toString().toStdString(),
              "Snart slut på dagens förbetalda tid");
    EXPECT_EQ(calls[0].value(QStringLiteral("app_name")).toString(), QStringLiteral("Surfklocka"));

    stopAndWaitForNameGone(service);
}

TEST_F(DBusNotifierTest, AServiceThatAnswersWithAnErrorFailsQuietly) {
    QProcess service;
    ASSERT_TRUE(startAndWaitForName(service, {m_recordPath, QStringLiteral("--refuse")}));

    platform::DBusNotifier notifier;
    EXPECT_EQ(notifier.send(kTitle, kBody), Outcome::Failed);
    notifier.notify(kTitle, kBody);                    // returns, and throws nothing
    EXPECT_EQ(recordedCalls(m_recordPath).size(), 2u); // both reached it

    stopAndWaitForNameGone(service);
}

TEST_F(DBusNotifierTest, WithoutANotificationServiceNothingIsSentAndNothingFails) {
    platform::DBusNotifier notifier;
    EXPECT_EQ(notifier.send(kTitle, kBody), Outcome::NoService);
    notifier.notify(kTitle, kBody); // returns, and throws nothing
    EXPECT_EQ(runNotifyOnce(texts(kTitle, kBody), QProcessEnvironment::systemEnvironment()), 2);
    EXPECT_FALSE(serviceOwned());
}

TEST_F(DBusNotifierTest, ABusAddressWithNoSocketBehindItIsNoBus) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       QStringLiteral("unix:path=") +
                           QString::fromStdString(m_dir.file("no-such-socket")));
    EXPECT_EQ(runNotifyOnce(texts(kTitle, kBody), environment), 1);
}

TEST_F(DBusNotifierTest, WithoutAnApplicationObjectNothingIsSent) {
    QProcess service;
    ASSERT_TRUE(startAndWaitForName(service, {m_recordPath}));

    QStringList arguments = texts(kTitle, kBody);
    arguments.prepend(QStringLiteral("--no-application"));
    EXPECT_EQ(runNotifyOnce(arguments, QProcessEnvironment::systemEnvironment()), 1);
    EXPECT_TRUE(recordedCalls(m_recordPath).empty());

    stopAndWaitForNameGone(service);
}

// Run on a bus that starts the stand-in itself when a call comes for its name.
TEST(DBusNotifierActivation, AServiceTheBusStartsOnDemandGetsTheNotification) {
    ASSERT_TRUE(bus().isConnected());
    ASSERT_FALSE(serviceOwned());
    testing_support::TempDir dir;
    const QString recordPath = QString::fromStdString(dir.file("notifications.jsonl"));
    // The started stand-in learns its record file, and the process whose end it is to follow,
    // from the bus's activation environment.
    QDBusMessage update = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("UpdateActivationEnvironment"));
    qDBusRegisterMetaType<QMap<QString, QString>>(); // a{ss}
    QMap<QString, QString> variables;
    variables.insert(QStringLiteral("SURFKLOCKA_TEST_NOTIFICATIONS"), recordPath);
    variables.insert(QStringLiteral("SURFKLOCKA_TEST_PID"),
                     QString::number(QCoreApplication::applicationPid()));
    update << QVariant::fromValue(variables);
    ASSERT_EQ(bus().call(update).type(), QDBusMessage::ReplyMessage);

    // Starting a process may take longer than the program's second on a busy machine.
    platform::DBusNotifier notifier(std::chrono::seconds(60));
    EXPECT_EQ(notifier.send(kTitle, kBody), Outcome::Sent);
    const auto calls = recordedCalls(recordPath);
    ASSERT_EQ(calls.size(), 1u);
    expectCallOf(calls[0], kTitle, kBody);

    // Ends the started stand-in and waits until its name is gone.
    QDBusServiceWatcher watcher(kService, bus(), QDBusServiceWatcher::WatchForUnregistration);
    QEventLoop loop;
    QObject::connect(&watcher, &QDBusServiceWatcher::serviceUnregistered, &loop, &QEventLoop::quit);
    const QDBusMessage quit =
        QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/Notifications"),
                                       kService, QStringLiteral("Quit"));
    EXPECT_EQ(bus().call(quit).type(), QDBusMessage::ReplyMessage);
    while (serviceOwned()) {
        loop.exec();
    }
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
