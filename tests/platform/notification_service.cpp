// A stand-in for the desktop's notification service, for the tests of the D-Bus notifier: owns
// org.freedesktop.Notifications on the session bus and records every Notify call, written and
// flushed before the call is answered, as one line: a JSON array of its eight arguments as text.
// The record file is its argument when a test starts it, or $SURFKLOCKA_TEST_NOTIFICATIONS when
// the bus starts it. Quit ends it; so does the end of the test that started it, or of the test
// named by $SURFKLOCKA_TEST_PID when the bus starts it (a started service outlives its bus).

#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
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

class NotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    explicit NotificationService(QString recordPath) : m_recordPath(std::move(recordPath)) {}

public Q_SLOTS:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int expireTimeout) {
        const QJsonArray call{appName,
                              QString::number(replacesId),
                              appIcon,
                              summary,
                              body,
                              actions.join(u','),
                              QString::number(hints.size()),
                              QString::number(expireTimeout)};
        QFile record(m_recordPath);
        if (record.open(QIODevice::Append)) {
            record.write(QJsonDocument(call).toJson(QJsonDocument::Compact) + '\n');
            record.flush();
        }
        return ++m_lastId;
    }
    QStringList GetCapabilities() { return {QStringLiteral("body")}; }
    void Quit() { QTimer::singleShot(0, qApp, &QCoreApplication::quit); }

private:
    QString m_recordPath;
    uint m_lastId = 0;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool startedByTest = app.arguments().size() > 1;
    const QString recordPath = startedByTest
                                   ? app.arguments().at(1)
                                   : qEnvironmentVariable("SURFKLOCKA_TEST_NOTIFICATIONS");
    // No stand-in outlives its test: one the test started goes with it, and one the bus started
    // (whose parent is gone at once) watches the test's process.
    std::unique_ptr<QSocketNotifier> testGone;
    if (startedByTest) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    } else {
        bool ok = false;
        const int testPid = qEnvironmentVariableIntValue("SURFKLOCKA_TEST_PID", &ok);
        const int fd = ok ? static_cast<int>(::syscall(SYS_pidfd_open, testPid, 0)) : -1;
        if (fd < 0 || recordPath.isEmpty()) {
            std::fputs("notification_service: no test process to watch\n", stderr);
            return 2;
        }
        testGone = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(testGone.get(), &QSocketNotifier::activated, &app,
                         &QCoreApplication::quit);
    }
    NotificationService service(recordPath);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
        std::fputs("notification_service: cannot own org.freedesktop.Notifications\n", stderr);
        return 1;
    }
    return app.exec();
}

#include "notification_service.moc"
