// Bookings from the command line while the window is open: the real program, run as a command
// with no display, hands them to this window over the data folder's socket. The window books them
// as its own save would, or refuses them with its reason, and Ångra takes them back.

#include "app/data_folder.h"
#include "app/hand_off.h"
#include "harness.h"
#include "presenter/answers.h"
#include "storage/journal.h"
#include "support/month_bytes.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <filesystem>
#include <optional>

using testing_support::dayRecordBytes;
using testing_support::monthFileBytes;
using Bytes = std::vector<std::uint8_t>;

namespace {

// A data folder as the program finds it: "surfklocka" under XDG_DATA_HOME (the harness's folder),
// with the 1-hour plan, and the main window on it.
struct Setup {
    Setup() {
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        h.storePlan("1 h / dygn", 3600);
        std::filesystem::rename(h.dir.file("tid.it"), folder + "/tid.it");
        h.startWith(files);
    }
    app::frmSurfur& window() const { return *h.window; }
    Bytes read(const std::string& name) const { return h.dir.read("surfklocka/" + name); }
    // A booking waiting in the journal, of `seconds` on each day given.
    bool wait(const std::string& name, std::vector<std::pair<core::Date, int>> days) {
        storage::PendingEntry entry;
        for (const auto& [date, seconds] : days) {
            entry.parts.push_back({date, seconds, std::nullopt});
        }
        return storage::addPendingEntry(files, name, entry);
    }
    // Runs the real program's "boka" while this test's event loop goes on, so that the window
    // can answer: its exit code, output and errors, "|" between them.
    QString book(const char* date, const char* time) const {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            environment.remove(QString::fromLatin1(name));
        }
        environment.insert(QStringLiteral("XDG_DATA_HOME"), QString::fromStdString(h.dir.path()));
        process.setProcessEnvironment(environment);
        QSignalSpy finished(&process, &QProcess::finished);
        process.start(QStringLiteral(SURFKLOCKA_PROGRAM),
                      QStringList{QStringLiteral("boka"), QStringLiteral("--datum"),
                                  QString::fromLatin1(date), QString::fromLatin1(time)});
        return finished.wait(60000) ? QString::number(process.exitCode()) + u'|' +
                                          QString::fromUtf8(process.readAllStandardOutput()) +
                                          u'|' + QString::fromUtf8(process.readAllStandardError())
                                    : QStringLiteral("did not end");
    }

    testing_support::Harness h; // today 5 December 2001
    std::string folder = h.dir.path() + "/surfklocka";
    bool made = std::filesystem::create_directory(folder);
    platform::PosixFileSystem files{folder};
};

} // namespace

class HandOffTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void bookingsFromTheCommandLineAreBookedOrRefusedByTheWindow() {
        Setup data;
        const app::InstanceLock lock(data.folder); // the window holds the data folder
        QVERIFY(lock.acquired());
        app::HandOffServer server(
            data.folder, [&data](const std::string& name) { return data.window().handOver(name); });
        QVERIFY(server.listen());
        data.h.enter("0", "50", "00"); // typed but not saved: stays as it is
        QVERIFY2(
            data.book("2001-12-05", "0:20:00")
                .startsWith(QStringLiteral("0|Bokfört 2001-12-05: 20 m\nAnsluten tid: 20 m\n")),
            "no booking");
        // 1200 s on day 5; the first booking of the month leaves an empty undo copy, and no
        // entry waits. The window shows it, keeps the typed time, and offers to undo it.
        QCOMPARE(data.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(1200, 0, 0.0f, 5)}}));
        QCOMPARE(data.read("0112.tmp"), Bytes{});
        const std::vector<std::string> names{"0112.tid", "0112.tmp", "surfklocka.lock",
                                             "surfklocka.sock", "tid.it"};
        QCOMPARE(data.files.listNames(), names);
        QCOMPARE(data.h.text("lblDagstid") + data.h.text("lblTid"),
                 std::string("Ansluten tid: 20 m Ansluten tid: 20 m "));
        QCOMPARE(data.h.list("cmbTid_1")->currentText(), QStringLiteral("50"));
        data.h.click("cmdAngra");
        QCOMPARE(data.read("0112.tid"), Bytes{});
        QCOMPARE(data.h.text("lblDagstid"), std::string("Tid i dag:"));
        data.h.click("cmdSpara"); // the typed 50 minutes, on top of nothing
        const Bytes saved = monthFileBytes({{5, dayRecordBytes(3000, 0, 0.0f, 5)}});
        QCOMPARE(data.read("0112.tid"), saved);
        // 3000 s and 23:10:01 would pass 24 hours: refused with the window's reason, and nothing
        // booked or left waiting.
        QCOMPARE(data.book("2001-12-05", "23:10:01"),
                 QStringLiteral("1||surfklocka: Du kan inte mata in mer tid än 24 timmar per "
                                "dygn (2001-12-05).\nIngen tid har bokförts.\n"));
        QCOMPARE(data.read("0112.tid"), saved);
        QCOMPARE(data.files.listNames(), names);
    }

    void aRequestWhileTheWindowIsBusyWaitsAndWhatNoCommandHearsIsTold() {
        Setup data;
        auto& messages = data.h.messages;
        const Bytes dayFull = dayRecordBytes(86000, 0, 0.0f, 6);
        data.h.dir.write("surfklocka/0112.tid", monthFileBytes({{6, dayFull}}));
        const std::string name = storage::pendingEntryName(5, 1);
        QVERIFY(data.wait(name, {{{2001, 12, 5}, 60}}));
        QVERIFY(data.wait(storage::pendingEntryName(6, 1), {{{2001, 12, 6}, 401}}));
        // The first entry's command waits for its answer; the second's has stopped waiting.
        data.window().setCommandWaits([&name](const std::string& entry) { return entry == name; });
        // While a message box of the window's own is open, the window books nothing.
        std::optional<bool> duringBox;
        messages.whileShown = [&](const auto&) { duringBox = data.window().handOver(name); };
        messages.script({platform::MessageBox::Answer::No});
        QSignalSpy idle(&data.window(), &app::frmSurfur::idle);
        data.h.click("cmdKasta"); // "delete everything?" answered No
        QVERIFY(duringBox == std::optional<bool>(false) && idle.count() >= 1);
        QCOMPARE(data.read("0112.tid"), monthFileBytes({{6, dayFull}}));
        // Once it has ended, both are booked or refused, and the answer is in the folder.
        messages.whileShown = nullptr;
        QVERIFY(data.window().handOver(name));
        const Bytes booked = monthFileBytes({{5, dayRecordBytes(60, 0, 0.0f, 5)}, {6, dayFull}});
        QCOMPARE(data.read("0112.tid"), booked);
        const auto answer = presenter::parseOutputBytes(
            storage::takeAnswer(data.files, name).value_or(std::string()));
        QVERIFY(answer && answer->exitCode == 0 &&
                answer->out.starts_with("Bokfört 2001-12-05: 1 m\n"));
        // The refusal that no command hears is told in the window, once.
        QCOMPARE(messages.shown().size(), std::size_t(2));
        QCOMPARE(messages.last().text,
                 std::string("Bokningar från kommandoraden som väntade:\n\n"
                             "Du kan inte mata in mer tid än 24 timmar per dygn (2001-12-06).\n"
                             "Ingen tid har bokförts."));
        QVERIFY(data.window().handOver(name)); // asked again: nothing more booked or told
        QCOMPARE(messages.shown().size(), std::size_t(2));
        QCOMPARE(data.read("0112.tid"), booked);
    }

    // A connection over midnight is one booking: Ångra takes back both of its days in one month,
    // and is not offered after one across a month boundary, whose hint says why.
    void angraTakesBackAWholeConnection() {
        Setup data;
        QVERIFY(data.wait(storage::pendingEntryName(5, 1),
                          {{{2001, 12, 5}, 600}, {{2001, 12, 6}, 300}}));
        QVERIFY(data.window().handOver(storage::pendingEntryName(5, 1)));
        data.h.click("cmdAngra");
        QCOMPARE(data.read("0112.tid"), Bytes{});
        QVERIFY(data.wait(storage::pendingEntryName(6, 1),
                          {{{2001, 12, 31}, 600}, {{2002, 1, 1}, 300}}));
        QVERIFY(data.window().handOver(storage::pendingEntryName(6, 1)));
        QCOMPARE(data.read("0201.tid"), monthFileBytes({{1, dayRecordBytes(300, 0, 0.0f, 1)}}));
        QVERIFY(!data.h.button("cmdAngra")->isEnabled());
        QCOMPARE(data.h.button("cmdAngra")->toolTip(),
                 QStringLiteral("Den senaste bokningen gick över ett månadsskifte och kan inte "
                                "ångras."));
    }

    // The socket is made through the folder's descriptor, so a data folder whose path is longer
    // than a socket's name may be still has one, for its owner alone. A request that comes while
    // the window is busy is answered when the server retries; what is no request, at once.
    void theServerListensAnswersOnRetryAndRefusesWhatIsNoRequest() {
        testing_support::TempDir home;
        std::string folder = home.path();
        while (folder.size() <= 120) {
            folder += "/en-mapp-med-langt-namn";
            std::filesystem::create_directory(folder);
        }
        app::HandOffServer far(folder, [](const std::string&) { return true; });
        QVERIFY(far.listen());
        QCOMPARE(QFileInfo(QString::fromStdString(folder + "/surfklocka.sock")).permissions() &
                     (QFileDevice::ReadOther | QFileDevice::ReadGroup),
                 QFileDevice::Permissions());

        const std::string name = storage::pendingEntryName(7, 7);
        bool busy = true;
        std::vector<std::string> asked;
        app::HandOffServer server(home.path(), [&](const std::string& entry) {
            asked.push_back(entry);
            return !busy;
        });
        QVERIFY(server.listen());
        const auto answer = [&home](QLocalSocket& client, const QByteArray& request,
                                    auto whileOpen) {
            client.connectToServer(QString::fromStdString(home.file("surfklocka.sock")));
            QSignalSpy closed(&client, &QLocalSocket::disconnected);
            client.waitForConnected(10000);
            client.write(request);
            whileOpen();
            return closed.wait(10000) || client.state() == QLocalSocket::UnconnectedState
                       ? client.readAll()
                       : QByteArray("open");
        };
        QLocalSocket waiting;
        QCOMPARE(answer(waiting, QByteArray::fromStdString(app::requestBytes(name)),
                        [&] {
                            QTRY_COMPARE_WITH_TIMEOUT(asked.size(), std::size_t{1}, 10000);
                            QCOMPARE(waiting.bytesAvailable(), 0);
                            busy = false;
                            server.retry();
                        }),
                 QByteArray("klar\n"));
        QCOMPARE(asked, (std::vector<std::string>{name, name}));
        QLocalSocket stranger;
        QCOMPARE(answer(stranger, QByteArray(200, 'x'), [] {}), QByteArray("fel\n"));
        QCOMPARE(asked.size(), std::size_t{2}); // the window never asked
    }
};

QTEST_MAIN(HandOffTest)
#include "test_hand_off.moc"
