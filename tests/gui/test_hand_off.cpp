// A booking from the command line while the window is open: the real program, run as a command
// with no display, hands it to this window over the data folder's socket. The window books it as
// its own save would, and Ångra takes it back.

#include "app/data_folder.h"
#include "app/hand_off.h"
#include "harness.h"
#include "storage/pending.h"
#include "support/month_bytes.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <optional>

using testing_support::dayRecordBytes;
using testing_support::monthFileBytes;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A data folder as the program finds it: "surfklocka" under XDG_DATA_HOME, with the 1-hour plan.
struct DataFolder {
    DataFolder() {
        Bytes settings(62, 0);
        settings[0] = settings[1] = 0xFF;
        const std::string plan = "1 h / dygn";
        std::copy(plan.begin(), plan.end(), settings.begin() + 30);
        settings[60] = 0x10; // 3600
        settings[61] = 0x0E;
        home.write("surfklocka/tid.it", settings);
    }
    Bytes read(const std::string& name) const { return home.read("surfklocka/" + name); }
    bool exists(const std::string& name) const { return home.exists("surfklocka/" + name); }

    static std::string made(const std::string& folder) {
        std::filesystem::create_directory(folder);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        return folder;
    }

    testing_support::TempDir home;
    std::string folder = made(home.path() + "/surfklocka");
    platform::PosixFileSystem files{folder};
};

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

} // namespace

class HandOffTest : public QObject {
    Q_OBJECT

private:
    // Runs the real program as a command while this test's event loop goes on, so that the
    // window can answer.
    static Run command(const DataFolder& data, const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"),
                           QString::fromStdString(data.home.path()));
        process.setProcessEnvironment(environment);
        QSignalSpy finished(&process, &QProcess::finished);
        process.start(QStringLiteral(SURFKLOCKA_PROGRAM), arguments);
        if (!finished.wait(60000)) {
            process.kill();
            process.waitForFinished();
            return {};
        }
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

private Q_SLOTS:
    void aBookingFromTheCommandLineShowsInTheWindowAndAngraTakesItBack() {
        DataFolder data;
        const app::InstanceLock lock(data.folder); // the window holds the data folder
        QVERIFY(lock.acquired());
        testing_support::Harness harness; // today 5 December 2001
        app::frmSurfur& window = harness.startWith(data.files);
        app::HandOffServer server(
            data.folder, [&window](const std::string& name) { return window.handOver(name); });
        QVERIFY(server.listen());
        harness.enter("0", "50", "00"); // typed but not saved: stays as it is

        const Run run = command(data, {QStringLiteral("boka"), QStringLiteral("--datum"),
                                       QStringLiteral("2001-12-05"), QStringLiteral("0:20:00")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(
            run.out.startsWith(QStringLiteral("Bokfört 2001-12-05: 20 m \nAnsluten tid: 20 m \n")),
            qPrintable(run.out));
        QCOMPARE(run.err, QString());
        // 1200 s (0x04B0) on day 5, within the hour; the first booking of the month leaves an
        // empty undo copy, and no entry waits.
        QCOMPARE(data.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(1200, 0, 0.0f, 5)}}));
        QCOMPARE(data.read("0112.tmp"), Bytes{});
        QCOMPARE(data.files.namesWithExtension(".vantande"), std::vector<std::string>{});
        // The window shows it, keeps the typed time, and offers to undo it.
        QCOMPARE(harness.text("lblDagstid"), std::string("Ansluten tid: 20 m "));
        QCOMPARE(harness.text("lblTid"), std::string("Ansluten tid: 20 m "));
        QCOMPARE(harness.list("cmbTid_1")->currentText(), QStringLiteral("50"));
        QVERIFY(harness.button("cmdAngra")->isEnabled());

        harness.click("cmdAngra");
        QCOMPARE(data.read("0112.tid"), Bytes{});
        QCOMPARE(harness.text("lblDagstid"), std::string("Tid i dag:"));

        // Now the typed 50 minutes are saved in the window, on top of nothing.
        harness.click("cmdSpara");
        QCOMPARE(data.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(3000, 0, 0.0f, 5)}}));
    }

    void aRefusedHandOverBooksNothingAndLeavesNothingWaiting() {
        DataFolder data;
        const app::InstanceLock lock(data.folder);
        QVERIFY(lock.acquired());
        testing_support::Harness harness;
        app::frmSurfur& window = harness.startWith(data.files);
        app::HandOffServer server(
            data.folder, [&window](const std::string& name) { return window.handOver(name); });
        QVERIFY(server.listen());
        data.home.write("surfklocka/0112.tid",
                        monthFileBytes({{5, dayRecordBytes(86000, 0, 0.0f, 5)}}));
        const Bytes before = data.read("0112.tid");
        // The day of the booking would pass 24 hours: refused, with the window's reason, and
        // nothing booked or left waiting.
        const Run run = command(data, {QStringLiteral("boka"), QStringLiteral("--datum"),
                                       QStringLiteral("2001-12-05"), QStringLiteral("401")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QString());
        QCOMPARE(run.err, QStringLiteral("surfklocka: Du kan inte mata in mer tid än 24 timmar per "
                                         "dygn (2001-12-05).\nIngen tid har bokförts.\n"));
        QCOMPARE(data.read("0112.tid"), before);
        QCOMPARE(data.files.namesWithExtension(".vantande"), std::vector<std::string>{});
    }

    void aRequestWhileTheWindowIsBusyWaitsForItsCommandToEnd() {
        DataFolder data;
        testing_support::Harness harness;
        app::frmSurfur& window = harness.startWith(data.files);
        const std::string name = storage::pendingEntryName(5, 1);
        QVERIFY(storage::addPendingEntry(
            data.files, name, storage::PendingEntry{{{{2001, 12, 5}, 60, std::nullopt}}}));
        // While a message box of the window's own is open, the window books nothing.
        std::optional<std::optional<app::HandOffAnswer>> duringBox;
        harness.messages.whileShown = [&](const auto&) {
            if (!duringBox) {
                duringBox = window.handOver(name);
            }
        };
        harness.messages.script({platform::MessageBox::Answer::No});
        QSignalSpy idle(&window, &app::frmSurfur::idle);
        harness.click("cmdKasta"); // "delete everything?" answered No
        QVERIFY(duringBox.has_value());
        QVERIFY(!duringBox->has_value());
        QVERIFY(data.exists(name));
        QVERIFY(idle.count() >= 1);
        // Once it has ended, the entry is booked.
        harness.messages.whileShown = nullptr;
        const auto answer = window.handOver(name);
        QVERIFY(answer.has_value());
        QCOMPARE(answer->exitCode, 0);
        QCOMPARE(data.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(60, 0, 0.0f, 5)}}));
        // Asked again about the same entry, it answers as before and books nothing more.
        const auto again = window.handOver(name);
        QCOMPARE(again->out, answer->out);
        QCOMPARE(data.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(60, 0, 0.0f, 5)}}));
    }

    void theServerAnswersWaitingRequestsOnRetryAndRefusesWhatIsNoRequest() {
        DataFolder data;
        const std::string name = storage::pendingEntryName(7, 7);
        bool busy = true;
        int asked = 0;
        app::HandOffServer server(data.folder, [&](const std::string& entry) {
            ++asked;
            if (busy) {
                return std::optional<app::HandOffAnswer>();
            }
            return std::optional<app::HandOffAnswer>(app::HandOffAnswer{0, "klart " + entry, "å"});
        });
        QVERIFY(server.listen());
        const QString path = QString::fromStdString(data.folder + "/surfklocka.sock");
        QCOMPARE(QFileInfo(path).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
                 QFileDevice::Permissions());

        QLocalSocket waiting;
        waiting.connectToServer(path);
        QVERIFY(waiting.waitForConnected(10000));
        const std::string request = app::requestBytes(name);
        waiting.write(request.data(), static_cast<qint64>(request.size()));
        QTRY_COMPARE_WITH_TIMEOUT(asked, 1, 10000);
        QCOMPARE(waiting.bytesAvailable(), 0);
        busy = false;
        server.retry();
        QSignalSpy closed(&waiting, &QLocalSocket::disconnected);
        QVERIFY(closed.wait(10000) || waiting.state() == QLocalSocket::UnconnectedState);
        const QByteArray bytes = waiting.readAll();
        const auto answer = app::parseAnswer(
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        QVERIFY(answer.has_value());
        QCOMPARE(answer->out, "klart " + name);
        QCOMPARE(answer->err, std::string("å"));

        // Not a request: answered with exit code 2, and the window is never asked.
        QLocalSocket stranger;
        stranger.connectToServer(path);
        QVERIFY(stranger.waitForConnected(10000));
        stranger.write(QByteArray(200, 'x'));
        QSignalSpy strangerClosed(&stranger, &QLocalSocket::disconnected);
        QVERIFY(strangerClosed.wait(10000) || stranger.state() == QLocalSocket::UnconnectedState);
        const QByteArray refusal = stranger.readAll();
        QVERIFY2(refusal.startsWith("2\n0\n"), refusal.constData());
        QCOMPARE(asked, 2);
    }
};

QTEST_MAIN(HandOffTest)
#include "test_hand_off.moc"
