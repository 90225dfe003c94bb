// Bookings from the command line while the window is open: the real program, run as a command
// with no display, hands them to this window over the data folder's socket. The window books them
// as its own save would, waits while it is busy, tells the refusals no command hears, and Ångra
// takes them back.

#include "app/data_folder.h"
#include "app/hand_off.h"
#include "harness.h"
#include "storage/journal.h"
#include "support/month_bytes.h"

#include <QFileInfo>
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
        h.start(&files);
    }
    app::frmSurfur& window() const { return *h.window; }
    Bytes read(const std::string& name) const { return h.dir.read(inHome + name); }
    // Entry `number`, waiting in the journal: `seconds` on `date`.
    std::string wait(int number, core::Date date, int seconds) {
        const std::string name = storage::pendingEntryName(number, 1);
        const storage::PendingEntry entry{{{date, seconds, std::nullopt}}};
        return storage::addPendingEntry(files, name, entry) ? name : std::string();
    }

    testing_support::Harness h; // today 5 December 2001
    // XDG_DATA_HOME, longer than a socket's name may be: the socket is made through the folder.
    std::string inHome = std::string(110, 'x') + "/surfklocka/";
    std::string folder = h.dir.file(inHome.substr(0, inHome.size() - 1));
    bool made = std::filesystem::create_directories(folder); // before the file layer opens it
    platform::PosixFileSystem files{folder};
};

} // namespace

class HandOffTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aBookingFromTheCommandLineShowsInTheWindowAndAngraTakesItBack() {
        Setup data;
        const app::InstanceLock lock(data.folder); // the window holds the data folder
        app::HandOffServer server(
            data.folder, [&data](const std::string& name) { return data.window().handOver(name); });
        QVERIFY(server.listen());
        QCOMPARE(QFileInfo(QString::fromStdString(data.folder + "/surfklocka.sock")).permissions(),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                     QFileDevice::WriteUser); // for its owner alone
        data.h.enterMinutes("50");            // typed but not saved: stays as it is
        // The real program's "boka", while this test's event loop goes on to let the window
        // answer.
        QProcess command;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            environment.remove(QString::fromLatin1(name));
        }
        environment.insert(QStringLiteral("XDG_DATA_HOME"),
                           QString::fromStdString(data.h.dir.file(std::string(110, 'x'))));
        command.setProcessEnvironment(environment);
        QSignalSpy finished(&command, &QProcess::finished);
        command.start(QStringLiteral(SURFKLOCKA_PROGRAM),
                      QString::fromLatin1("boka --datum 2001-12-05 0:20:00").split(u' '));
        QVERIFY(finished.wait(60000) && command.exitCode() == 0);
        QVERIFY(command.readAllStandardOutput().startsWith(
            "Bokfört 2001-12-05: 20 m\nAnsluten tid: 20 m\n"));
        // 1200 s on day 5. The window shows it, keeps the typed time, and offers to undo it.
        QCOMPARE(data.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(1200, 0, 0, 5)}}));
        QCOMPARE(data.h.text("lblDagstid") + data.h.text("lblTid"),
                 std::string("Ansluten tid: 20 m Ansluten tid: 20 m "));
        QCOMPARE(data.h.list("cmbTid_1")->currentText(), QStringLiteral("50"));
        data.h.click("cmdAngra"); // and then Gör om is offered
        QCOMPARE(data.read("0112.tid"), Bytes{});
        QVERIFY(!data.h.button("cmdAngra")->isEnabled() && data.h.button("cmdRedo")->isEnabled());
        QCOMPARE(data.h.text("lblDagstid"), std::string("Tid i dag:"));
        data.h.click("cmdSpara"); // the typed 50 minutes, on top of nothing
        QCOMPARE(data.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(3000, 0, 0, 5)}}));
    }

    void aBusyWindowLetsRequestsWaitAndTellsWhatNoCommandHears() {
        Setup data;
        auto& messages = data.h.messages;
        const Bytes dayFull = dayRecordBytes(86000, 0, 0, 6);
        data.h.dir.write(data.inHome + "0112.tid", monthFileBytes({{6, dayFull}}));
        const std::string name = data.wait(5, {2001, 12, 5}, 60);
        data.wait(6, {2001, 12, 6}, 401);
        // The first entry's command waits for its answer; the second's has stopped waiting.
        data.window().setCommandWaits([&name](const std::string& entry) { return entry == name; });
        // While a message box of the window's own is open, the window books nothing.
        std::optional<bool> duringBox;
        messages.whileShown = [&](const auto&) { duringBox = data.window().handOver(name); };
        messages.script({platform::MessageBox::Answer::No});
        QSignalSpy idle(&data.window(), &app::frmSurfur::idle);
        data.h.click("cmdKasta"); // "delete everything?" answered No
        QVERIFY(duringBox == std::optional<bool>(false) && idle.count() >= 1);
        // Once it has ended, both are booked or refused; the refusal that no command hears is
        // told in the window, once.
        messages.whileShown = nullptr;
        QVERIFY(data.window().handOver(name) && data.window().handOver(name));
        const Bytes booked = monthFileBytes({{5, dayRecordBytes(60, 0, 0, 5)}, {6, dayFull}});
        QCOMPARE(data.read("0112.tid"), booked);
        QCOMPARE(messages.shown().size(), std::size_t(2));
        QCOMPARE(messages.last().text,
                 std::string("Bokningar från kommandoraden som väntade:\n\n"
                             "Du kan inte mata in mer tid än 24 timmar per dygn (2001-12-06).\n"
                             "Ingen tid har bokförts."));
    }
};

QTEST_MAIN(HandOffTest)
#include "test_hand_off.moc"
