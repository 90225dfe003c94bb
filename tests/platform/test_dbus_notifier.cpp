// The D-Bus notifier on a real session bus of its own, run under dbus-run-session with a bus
// configuration of the test's (tests/CMakeLists.txt). A stand-in for the desktop's notification
// service, on a thread and a connection of its own, records every Notify call that reaches it.

#include "platform/dbus_notifier.h"
#include "support/temp_dir.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QMutex>
#include <QProcess>
#include <QThread>
#include <QVariantMap>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");

class NotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    // Every call so far: its eight arguments as text, "|" between them.
    std::vector<std::string> calls() const {
        const QMutexLocker locker(&m_mutex);
        return m_calls;
    }

public Q_SLOTS:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int expireTimeout) {
        const QString call = QStringList{appName, QString::number(replacesId), appIcon, summary,
                                         body,    actions.join(u',')}
                                 .join(u'|') +
                             QStringLiteral("|%1|%2").arg(hints.size()).arg(expireTimeout);
        const QMutexLocker locker(&m_mutex);
        m_calls.push_back(call.toStdString());
        return static_cast<uint>(m_calls.size());
    }

private:
    mutable QMutex m_mutex;
    std::vector<std::string> m_calls;
};

// The stand-in, owning the service's name on the test's bus while the test runs.
class DBusNotifierTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_service.moveToThread(&m_thread);
        m_thread.start();
        ASSERT_TRUE(m_bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"),
                                         &m_service, QDBusConnection::ExportAllSlots) &&
                    m_bus.registerService(kService));
    }
    void TearDown() override {
        m_bus.unregisterService(kService);
        m_bus.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
        m_thread.quit();
        m_thread.wait();
    }

    NotificationService m_service;
    QThread m_thread;
    QDBusConnection m_bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("stand-in"));
};

} // namespace

// Texts with every Swedish letter reach the service once, as the program's.
TEST_F(DBusNotifierTest, TheServiceGetsTheSwedishTextsOnce) {
    const std::string title = "Snart slut på dagens förbetalda tid";
    const std::string body = "Dagens förbetalda tid (2 h): 8 m 20 s kvar. Åter på måndag, ÄÖ åäö.";
    platform::DBusNotifier().notify(title, body);
    EXPECT_EQ(m_service.calls(), std::vector<std::string>{"Surfklocka|0|org.example.surfklocka|" +
                                                          title + "|" + body + "||0|-1"});
}

// The real program as a command gives its notice through the module it loads, delivered before
// the command ends.
TEST_F(DBusNotifierTest, ACommandLineBookingGivesItsNoticeOnceThroughTheLoadedModule) {
    testing_support::TempDir dir;
    // The 1 h plan: the mark, "1 h / dygn" at 30 and 3600 (0x0E10) at 60.
    const std::string settings = std::string(2, '\xFF') + std::string(28, '\0') + "1 h / dygn" +
                                 std::string(20, '\0') + "\x10\x0E";
    std::filesystem::create_directories(dir.file("data/surfklocka"));
    dir.write("data/surfklocka/tid.it", {settings.begin(), settings.end()});
    QProcess command;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), QString::fromStdString(dir.file("data")));
    environment.remove(QStringLiteral("DISPLAY"));
    command.setProcessEnvironment(environment);
    // 55 minutes leave 5 of the hour.
    command.start(QStringLiteral(SURFKLOCKA_PROGRAM),
                  QString::fromLatin1("boka --datum 2001-12-05 0:55:00").split(u' '));
    ASSERT_TRUE(command.waitForFinished(-1));
    EXPECT_EQ(command.exitCode(), 0);
    const auto calls = m_service.calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(calls[0].starts_with(
        "Surfklocka|0|org.example.surfklocka|Snart slut på dagens förbetalda tid|"))
        << calls[0];
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "test_dbus_notifier.moc"
