// Booking in the main window: the question on closing through the button or the frame, the
// desktop notices a save gives, the lists' entries, the two characters a time field holds, and
// one read of the month per date change.

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
    void closeAsksAndAnswersAreHonoured_data() {
        QTest::addColumn<bool>("throughTheFrame");
        QTest::addColumn<Answer>("answer");
        QTest::newRow("Ja") << false << Answer::Yes;
        QTest::newRow("frame, Nej") << true << Answer::No;
        QTest::newRow("frame, Avbryt, notices off") << true << Answer::Cancel;
    }
    void closeAsksAndAnswersAreHonoured() {
        QFETCH(bool, throughTheFrame);
        QFETCH(Answer, answer);
        const bool ended = answer != Answer::Cancel;
        Harness h;
        h.storePlan("1 h / dygn", 3600);
        if (!ended) {
            h.dir.write("avisering.it", {0x00, 0x00}); // the desktop's notices turned off
        }
        h.start();
        h.enter("", "55", ""); // 5 minutes of the hour left: told
        h.click("cmdSpara");
        h.enter("", "10", ""); // 300 s past the hour, if booked: told
        h.messages.script({answer});
        if (throughTheFrame) {
            QCOMPARE(h.window->close(), ended);
        } else {
            h.click("cmdStang");
        }
        QCOMPARE(h.messages.shown().size(), std::size_t(1));
        QCOMPARE(h.messages.last().text, std::string("Vill du spara innan du stänger programmet?"));
        QVERIFY(h.ended->count() == int(ended) && h.window->isVisible() == !ended);
        // Ja books the 10 minutes too, which starts extra time; the rest keep the 55 minutes.
        std::string told;
        for (const auto& notice : h.notifier.notices()) {
            told += notice.title + '|';
        }
        if (answer == Answer::Yes) {
            QCOMPARE(told,
                     std::string("Snart slut på dagens förbetalda tid|Extra tid har börjat|"));
            QVERIFY(h.notifier.notices().back().body.find("Extra tid hittills: 5 m.") !=
                    std::string::npos);
        } else {
            QCOMPARE(told, std::string(ended ? "Snart slut på dagens förbetalda tid|" : ""));
            QCOMPARE(h.dir.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(3300, 0, 0, 5)}}));
        }
    }

    void listsAndFieldsHoldWhatIsBooked() {
        Harness h;
        h.storePlan("8 h / dygn", 28800);
        auto& window = h.start();
        const auto entries = [&h](const char* names) {
            QStringList all;
            for (const QString& name : QString::fromLatin1(names).split(u' ')) {
                const auto* list = h.list(name.toLatin1().constData());
                for (int i = 0; i < list->count(); ++i) {
                    all << list->itemText(i);
                }
            }
            return all.join(u' ');
        };
        const auto numbers = [](int last, int digits) {
            QStringList all;
            for (int n = 1; n <= last; ++n) {
                all << QString::number(n).rightJustified(digits, u'0');
            }
            return all.join(u' ');
        };
        QCOMPARE(entries("cmbSok_0 cmbSok_1 cmbSok_2"),
                 numbers(99, 2) + u' ' + numbers(12, 2) + u' ' + numbers(31, 2));
        QCOMPARE(entries("cmbTid_0 cmbTid_1 cmbTid_2"),
                 numbers(10, 1) + u' ' + numbers(59, 1) + u' ' + numbers(59, 1));
        h.choose("04", "02", "05");
        QCOMPARE(entries("cmbSok_2"), numbers(29, 2));

        // A third keystroke is refused, not cleared: what the field shows is what is booked.
        h.choose("01", "12", "05");
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        h.list("cmbTid_2")->setFocus();
        QTest::keyClicks(h.list("cmbTid_2"), QStringLiteral("327"));
        QCOMPARE(h.list("cmbTid_2")->currentText(), QStringLiteral("32"));
        h.click("cmdSpara");
        QCOMPARE(h.dir.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(32, 0, 0, 5)}}));
    }

    void aDateChangeRefreshesOnceFromOneRead() {
        Harness h;
        h.storePlan("1 h / dygn", 3600);
        h.dir.write("0202.tid", monthFileBytes({{28, dayRecordBytes(600, 0, 0, 28)}}));
        platform::fakes::FaultyFileSystem counting(h.files);
        h.start(&counting);
        h.choose("02", "01", "31");
        const int reads = counting.readsOf("0202.tid") + counting.readsOf("tid.it");
        // February 2002 has no 31st: the 28th is chosen, and shown, from one read of the month.
        h.list("cmbSok_1")->setCurrentText(QStringLiteral("02"));
        QCOMPARE(h.text("lblVisa_3") + h.text("lblDagstid"),
                 std::string("Nu visas torsdag 28 feb 2002Ansluten tid: 10 m "));
        QCOMPARE(counting.readsOf("0202.tid") + counting.readsOf("tid.it"), reads + 1);
    }
};

QTEST_MAIN(BookingTest)
#include "test_booking.moc"
