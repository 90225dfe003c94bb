// A stand-in for the desktop's notification service, for the tests of the D-Bus notifier: owns
// org.freedesktop.Notifications on the session bus and records every Notify call as one line of
// JSON in the file named as its argument (or in $SURFKLOCKA_TEST_NOTIFICATIONS when the bus
// starts it), written and flushed before the call is answered. With --refuse after the file name
// it answers every Notify with an error, after recording it. Quit ends it; so does the end of
// the test that started it, or of the test named by $SURFKLOCKA_TEST_PID when the bus starts it
// (a started service outlives its bus). It shows nothing.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>
#include <cstdio>
#include <memory>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

class NotificationService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    NotificationService(QString recordPath, bool refuse)
        : m_recordPath(std::move(recordPath)), m_refuse(refuse) {}

public Q_SLOTS:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int expireTimeout) {
        QJsonObject call;
        call.insert(QStringLiteral("app_name"), appName);
        call.insert(QStringLiteral("replaces_id"), static_cast<qint64>(replacesId));
        call.insert(QStringLiteral("app_icon"), appIcon);
        call.insert(QStringLiteral("summary"), summary);
        call.insert(QStringLiteral("body"), body);
        call.insert(QStringLiteral("actions"), QJsonArray::fromStringList(actions));
        call.insert(QStringLiteral("hints"), static_cast<qint64>(hints.size()));
        call.insert(QStringLiteral("expire_timeout"), expireTimeout);
        QFile record(m_recordPath);
        if (record.open(QIODevice::Append)) {
            record.write(QJsonDocument(call).toJson(QJsonDocument::Compact) + '\n');
            record.flush();
        }
        if (m_refuse) {
            sendErrorReply(QDBusError::Failed, QStringLiteral("refused"));
            return 0;
        }
        return ++m_lastId;
    }
    QStringList GetCapabilities() { return {QStringLiteral("body")}; }
    void Quit() { QTimer::singleShot(0, qApp, &QCoreApplication::quit); }

private:
    QString m_recordPath;
    bool m_refuse = false;
    uint m_lastId = 0;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const bool startedByTest = arguments.size() > 1;
    const QString recordPath =
        startedByTest ? arguments.at(1) : qEnvironmentVariable("SURFKLOCKA_TEST_NOTIFICATIONS");
    if (recordPath.isEmpty()) {
        std::fputs("usage: notification_service RECORD-FILE\n", stderr);
        return 2;
    }
    // No stand-in outlives its test: one the test started goes with it, and one the bus started
    // (whose parent is gone at once) watches the test's process.
    std::unique_ptr<QSocketNotifier> testGone;
    if (startedByTest) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    } else {
        bool ok = false;
        const int testPid = qEnvironmentVariableIntValue("SURFKLOCKA_TEST_PID", &ok);
        const int fd = ok ? static_cast<int>(::syscall(SYS_pidfd_open, testPid, 0)) : -1;
        if (fd < 0) {
            std::fputs("notification_service: no test process to watch\n", stderr);
            return 2;
        }
        testGone = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(testGone.get(), &QSocketNotifier::activated, &app,
                         &QCoreApplication::quit);
    }
    NotificationService service(recordPath, arguments.size() > 2 &&
                                                arguments.at(2) == QStringLiteral("--refuse"));
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() ||
        !bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
        std::fputs("notification_service: cannot own org.freedesktop.Notifications\n", stderr);
        return 1;
    }
    return app.exec();
}

#include "notification_service.moc"
