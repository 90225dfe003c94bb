// Booking in the main window: the question on closing through the button or the frame, the lists'
// entries, the two characters a time field holds, one read per date change, and the desktop
// notices a save gives.

#include "harness.h"
#include "support/fakes/faulty_file_system.h"
#include "support/month_bytes.h"

using testing_support::dayRecordBytes;
using testing_support::Harness;
using testing_support::monthFileBytes;
using Answer = platform::MessageBox::Answer;

class BookingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void closeAsksAndAnswersAreHonoured_data();
    void closeAsksAndAnswersAreHonoured();
    void listsAndFieldsHoldWhatIsBooked();
    void aDateChangeRefreshesOnceFromOneRead();
    void aSaveThatStartsExtraTimeTellsTheDesktopUnlessTurnedOff();
};

void BookingTest::closeAsksAndAnswersAreHonoured_data() {
    QTest::addColumn<bool>("throughTheFrame");
    QTest::addColumn<Answer>("answer");
    QTest::newRow("Ja") << false << Answer::Yes;
    QTest::newRow("frame, Nej") << true << Answer::No;
    QTest::newRow("frame, Avbryt") << true << Answer::Cancel;
}

void BookingTest::closeAsksAndAnswersAreHonoured() {
    QFETCH(bool, throughTheFrame);
    QFETCH(Answer, answer);
    const bool ended = answer != Answer::Cancel;
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.start();
    h.enter("", "30", "");
    h.click("cmdSpara");
    h.enter("", "5", "");
    h.messages.script({answer});
    if (throughTheFrame) {
        QCOMPARE(h.window->close(), ended);
    } else {
        h.click("cmdStang");
    }
    QCOMPARE(h.messages.shown().size(), std::size_t(1));
    QCOMPARE(h.messages.last().text, std::string("Vill du spara innan du stänger programmet?"));
    QCOMPARE(h.ended->count(), ended ? 1 : 0);
    QCOMPARE(h.window->isVisible(), !ended);
    const int booked = answer == Answer::Yes ? 35 * 60 : 30 * 60; // only Ja books the 5 minutes
    QCOMPARE(h.dir.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(booked, 0, 0.0f, 5)}}));
}

void BookingTest::listsAndFieldsHoldWhatIsBooked() {
    Harness h;
    h.storePlan("8 h / dygn", 28800);
    auto& window = h.start();
    const auto entries = [&h](const char* name) {
        QStringList all;
        for (int i = 0; i < h.list(name)->count(); ++i) {
            all << h.list(name)->itemText(i);
        }
        return all.join(QLatin1Char(' '));
    };
    const auto numbers = [](int last, bool twoDigits) {
        QStringList all;
        for (int n = 1; n <= last; ++n) {
            all << QString::number(n).rightJustified(twoDigits ? 2 : 1, QLatin1Char('0'));
        }
        return all.join(QLatin1Char(' '));
    };
    QCOMPARE(entries("cmbSok_0"), numbers(99, true));
    QCOMPARE(entries("cmbSok_1"), numbers(12, true));
    QCOMPARE(entries("cmbSok_2"), numbers(31, true)); // December
    QCOMPARE(entries("cmbTid_0"), numbers(10, false));
    QCOMPARE(entries("cmbTid_1"), numbers(59, false));
    QCOMPARE(entries("cmbTid_2"), numbers(59, false));
    h.choose("04", "02", "05");
    QCOMPARE(entries("cmbSok_2"), numbers(29, true));

    // A third keystroke is refused, not cleared: what the field shows is what is booked.
    h.choose("01", "12", "05");
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    h.list("cmbTid_2")->setFocus();
    QTest::keyClicks(h.list("cmbTid_2"), QStringLiteral("327"));
    QCOMPARE(h.list("cmbTid_2")->currentText(), QStringLiteral("32"));
    h.click("cmdSpara");
    QCOMPARE(h.dir.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(32, 0, 0.0f, 5)}}));
}

void BookingTest::aDateChangeRefreshesOnceFromOneRead() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.dir.write("0202.tid", monthFileBytes({{28, dayRecordBytes(600, 0, 0.0f, 28)}}));
    platform::fakes::FaultyFileSystem counting(h.files);
    h.startWith(counting);
    h.choose("02", "01", "31");
    const int monthReads = counting.readsOf("0202.tid"), settingsReads = counting.readsOf("tid.it");
    // February 2002 has no 31st: the 28th is chosen, and shown, from one read of the month.
    h.list("cmbSok_1")->setCurrentText(QStringLiteral("02"));
    QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas torsdag 28 feb 2002"));
    QCOMPARE(h.text("lblDagstid"), std::string("Ansluten tid: 10 m "));
    QCOMPARE(counting.readsOf("0202.tid") - monthReads, 1);
    QCOMPARE(counting.readsOf("tid.it") - settingsReads, 0);
}

void BookingTest::aSaveThatStartsExtraTimeTellsTheDesktopUnlessTurnedOff() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.start();
    h.enter("0", "55", "00"); // 5 minutes of the hour left
    h.click("cmdSpara");
    h.enter("0", "10", "00"); // 300 s past the hour
    h.click("cmdSpara");
    const auto& notices = h.notifier.notices();
    QCOMPARE(notices.size(), std::size_t{2});
    QCOMPARE(notices[0].title, std::string("Snart slut på dagens förbetalda tid"));
    QCOMPARE(notices[1].title, std::string("Extra tid har börjat"));
    QVERIFY(notices[1].body.find("Extra tid hittills: 5 m.") != std::string::npos);
    h.dir.write("avisering.it", {0x00, 0x00}); // turned off: the next day's crossing is not told
    h.choose("01", "12", "06");
    h.enter("1", "10", "00");
    h.click("cmdSpara");
    QCOMPARE(notices.size(), std::size_t{2});
}

QTEST_MAIN(BookingTest)
#include "test_booking.moc"
