// A booking from the command line while the window is open: the real program, run as a command
// with no display, hands it to this window over the data folder's socket. The window books it as
// its own save would, and Ångra takes it back.

#include "app/data_folder.h"
#include "app/hand_off.h"
#include "harness.h"
#include "presenter/answers.h"
#include "storage/journal.h"
#include "support/month_bytes.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <optional>
#include <unistd.h>

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
            run.out.startsWith(QStringLiteral("Bokfört 2001-12-05: 20 m\nAnsluten tid: 20 m\n")),
            qPrintable(run.out));
        QCOMPARE(run.err, QString());
        // 1200 s (0x04B0) on day 5, within the hour; the first booking of the month leaves an
        // empty undo copy, and no entry waits.
        QCOMPARE(data.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(1200, 0, 0.0f, 5)}}));
        QCOMPARE(data.read("0112.tmp"), Bytes{});
        QCOMPARE(data.files.listNames(),
                 (std::vector<std::string>{"0112.tid", "0112.tmp", "surfklocka.lock",
                                           "surfklocka.sock", "tid.it"}));
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
                                       QStringLiteral("2001-12-05"), QStringLiteral("401s")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QString());
        QCOMPARE(run.err, QStringLiteral("surfklocka: Du kan inte mata in mer tid än 24 timmar per "
                                         "dygn (2001-12-05).\nIngen tid har bokförts.\n"));
        QCOMPARE(data.read("0112.tid"), before);
        QCOMPARE(data.files.listNames(), (std::vector<std::string>{"0112.tid", "surfklocka.lock",
                                                                   "surfklocka.sock", "tid.it"}));
    }

    void aRequestWhileTheWindowIsBusyWaitsAndWhatNoCommandHearsIsTold() {
        DataFolder data;
        testing_support::Harness harness;
        app::frmSurfur& window = harness.startWith(data.files);
        data.home.write("surfklocka/0112.tid",
                        monthFileBytes({{6, dayRecordBytes(86000, 0, 0.0f, 6)}}));
        const std::string name = storage::pendingEntryName(5, 1);
        const std::string gone = storage::pendingEntryName(6, 1);
        QVERIFY(storage::addPendingEntry(
            data.files, name, storage::PendingEntry{{{{2001, 12, 5}, 60, std::nullopt}}}));
        QVERIFY(storage::addPendingEntry(
            data.files, gone, storage::PendingEntry{{{{2001, 12, 6}, 401, std::nullopt}}}));
        // The first entry's command waits for its answer; the second's has stopped waiting.
        window.setCommandWaits([&name](const std::string& entry) { return entry == name; });
        // While a message box of the window's own is open, the window books nothing.
        std::optional<bool> duringBox;
        harness.messages.whileShown = [&](const auto&) {
            if (!duringBox) {
                duringBox = window.handOver(name);
            }
        };
        harness.messages.script({platform::MessageBox::Answer::No});
        QSignalSpy idle(&window, &app::frmSurfur::idle);
        harness.click("cmdKasta"); // "delete everything?" answered No
        QCOMPARE(duringBox, std::optional<bool>(false));
        QVERIFY(data.exists(name));
        QVERIFY(idle.count() >= 1);
        // Once it has ended, both are booked or refused, and each answer is in the folder.
        harness.messages.whileShown = nullptr;
        const std::size_t boxes = harness.messages.shown().size();
        QVERIFY(window.handOver(name));
        QCOMPARE(data.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(60, 0, 0.0f, 5)},
                                                        {6, dayRecordBytes(86000, 0, 0.0f, 6)}}));
        const auto answer = presenter::parseOutputBytes(
            storage::takeAnswer(data.files, name).value_or(std::string()));
        QVERIFY(answer.has_value());
        QCOMPARE(answer->exitCode, 0);
        QVERIFY2(answer->out.starts_with("Bokfört 2001-12-05: 1 m\n"), answer->out.c_str());
        // The refusal that no command hears is told in the window, once.
        QCOMPARE(harness.messages.shown().size(), boxes + 1);
        QCOMPARE(harness.messages.shown().back().text,
                 std::string("Bokningar från kommandoraden som väntade:\n\n"
                             "Du kan inte mata in mer tid än 24 timmar per dygn (2001-12-06).\n"
                             "Ingen tid har bokförts."));
        // Asked again about the same entry, it books nothing more and tells nothing more.
        QVERIFY(window.handOver(name));
        QCOMPARE(harness.messages.shown().size(), boxes + 1);
        QCOMPARE(data.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(60, 0, 0.0f, 5)},
                                                        {6, dayRecordBytes(86000, 0, 0.0f, 6)}}));
    }

    // A connection over midnight is one booking: Ångra takes back both of its days in one month,
    // and is not offered after one across a month boundary, whose hint says why.
    void angraTakesBackAWholeConnection() {
        DataFolder data;
        testing_support::Harness harness;
        app::frmSurfur& window = harness.startWith(data.files);
        const std::string night = storage::pendingEntryName(5, 1);
        QVERIFY(
            storage::addPendingEntry(data.files, night,
                                     storage::PendingEntry{{{{2001, 12, 5}, 600, std::nullopt},
                                                            {{2001, 12, 6}, 300, std::nullopt}}}));
        QVERIFY(window.handOver(night));
        QVERIFY(harness.button("cmdAngra")->isEnabled());
        harness.click("cmdAngra");
        QCOMPARE(data.read("0112.tid"), Bytes{});

        const std::string newYear = storage::pendingEntryName(6, 1);
        QVERIFY(
            storage::addPendingEntry(data.files, newYear,
                                     storage::PendingEntry{{{{2001, 12, 31}, 600, std::nullopt},
                                                            {{2002, 1, 1}, 300, std::nullopt}}}));
        QVERIFY(window.handOver(newYear));
        QCOMPARE(data.read("0201.tid"), monthFileBytes({{1, dayRecordBytes(300, 0, 0.0f, 1)}}));
        QVERIFY(!harness.button("cmdAngra")->isEnabled());
        QCOMPARE(harness.button("cmdAngra")->toolTip(),
                 QStringLiteral("Den senaste bokningen gick över ett månadsskifte och kan inte "
                                "ångras."));
        // The next booking of the window's own can be taken back again, as the hint says.
        harness.enter("0", "10", "00");
        harness.click("cmdSpara");
        QVERIFY(harness.button("cmdAngra")->isEnabled());
        QCOMPARE(harness.button("cmdAngra")->toolTip(),
                 QStringLiteral("Ångra senaste inmatningen i programmet."));
    }

    // The socket is made through the folder's descriptor: a data folder whose path is longer
    // than a socket's name may be still has its socket.
    void aDataFolderOfAnyLengthHasItsSocket() {
        testing_support::TempDir home;
        std::string folder = home.path();
        while (folder.size() <= 120) {
            folder += "/en-mapp-med-langt-namn";
            std::filesystem::create_directory(folder);
        }
        app::HandOffServer server(folder, [](const std::string&) { return true; });
        QVERIFY(server.listen());
        const int socket = app::sendRequest(folder, storage::pendingEntryName(1, 1), 5000);
        QVERIFY(socket >= 0);
        std::string answer;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                char buffer[16];
                const ssize_t got = ::read(socket, buffer, sizeof buffer);
                if (got > 0) {
                    answer.append(buffer, static_cast<std::size_t>(got));
                }
                return got == 0;
            }(),
            10000);
        ::close(socket);
        QCOMPARE(answer, std::string("klar\n"));
    }

    void theServerAnswersWaitingRequestsOnRetryAndRefusesWhatIsNoRequest() {
        DataFolder data;
        const std::string name = storage::pendingEntryName(7, 7);
        bool busy = true;
        std::vector<std::string> asked;
        app::HandOffServer server(data.folder, [&](const std::string& entry) {
            asked.push_back(entry);
            return !busy;
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
        QTRY_COMPARE_WITH_TIMEOUT(asked.size(), std::size_t{1}, 10000);
        QCOMPARE(waiting.bytesAvailable(), 0);
        busy = false;
        server.retry();
        QSignalSpy closed(&waiting, &QLocalSocket::disconnected);
        QVERIFY(closed.wait(10000) || waiting.state() == QLocalSocket::UnconnectedState);
        QCOMPARE(waiting.readAll(), QByteArray("klar\n"));
        QCOMPARE(asked, (std::vector<std::string>{name, name}));

        // Not a request: answered "fel", and the window is never asked.
        QLocalSocket stranger;
        stranger.connectToServer(path);
        QVERIFY(stranger.waitForConnected(10000));
        stranger.write(QByteArray(200, 'x'));
        QSignalSpy strangerClosed(&stranger, &QLocalSocket::disconnected);
        QVERIFY(strangerClosed.wait(10000) || stranger.state() == QLocalSocket::UnconnectedState);
        QCOMPARE(stranger.readAll(), QByteArray("fel\n"));
        QCOMPARE(asked.size(), std::size_t{2});
    }
};

QTEST_MAIN(HandOffTest)
#include "test_hand_off.moc"
