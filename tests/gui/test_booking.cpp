#include "harness.h"
#include "support/fakes/faulty_file_system.h"
#include "support/month_bytes.h"

using namespace testing_support;
using Answer = platform::MessageBox::Answer;
using Buttons = platform::MessageBox::Buttons;
using Icon = platform::MessageBox::Icon;

// The texts of the three lists or fields of a name, separated by blanks.
static QString texts(const Harness& h, const char* prefix) {
    QStringList parts;
    for (const char* index : {"0", "1", "2"}) {
        parts << h.list((std::string(prefix) + index).c_str())->currentText();
    }
    return parts.join(QLatin1Char(' '));
}

// The last message box shown: its text, title, buttons and icon.
static void lastBoxIs(const Harness& h, const char* text, const char* title,
                      Buttons buttons = Buttons::Ok, Icon icon = Icon::Exclamation) {
    QVERIFY(!h.messages.shown().empty());
    QCOMPARE(QString::fromStdString(h.messages.last().text), QString::fromUtf8(text));
    QCOMPARE(QString::fromStdString(h.messages.last().title), QString::fromUtf8(title));
    QVERIFY(h.messages.last().buttons == buttons && h.messages.last().icon == icon);
}

class BookingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void closeAsksAndAnswersAreHonoured_data();
    void closeAsksAndAnswersAreHonoured();
    void everyListHoldsEachEntryOnce();
    void aTimeFieldHoldsTheTwoCharactersThatAreBooked();
    void aDateChangeRefreshesOnceFromOneRead();
};

void BookingTest::closeAsksAndAnswersAreHonoured_data() {
    QTest::addColumn<bool>("throughTheFrame");
    QTest::addColumn<Answer>("answer");
    QTest::newRow("Ja") << false << Answer::Yes;
    QTest::newRow("Nej") << false << Answer::No;
    QTest::newRow("Avbryt") << false << Answer::Cancel;
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
    lastBoxIs(h, "Vill du spara innan du stänger programmet?", "Spara inmatade värden?",
              Buttons::YesNoCancel, Icon::None);
    QCOMPARE(h.ended->count(), ended ? 1 : 0);
    QCOMPARE(h.window->isVisible() && h.list("cmbTid_1")->currentText() == QStringLiteral("5"),
             !ended);
    const int booked = answer == Answer::Yes ? 35 * 60 : 30 * 60; // only Ja books the 5 minutes
    QCOMPARE(h.dir.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(booked, 0, 0.0f, 5)}}));
}

void BookingTest::everyListHoldsEachEntryOnce() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.start();
    const auto entries = [&h](const char* name) {
        QStringList all;
        for (int i = 0; i < h.list(name)->count(); ++i) {
            all << h.list(name)->itemText(i);
        }
        return all;
    };
    const auto numbers = [](int last, bool twoDigits) {
        QStringList all;
        for (int n = 1; n <= last; ++n) {
            all << (twoDigits && n < 10 ? QStringLiteral("0%1").arg(n) : QString::number(n));
        }
        return all;
    };
    QCOMPARE(entries("cmbSok_0"), numbers(99, true));
    QCOMPARE(entries("cmbSok_1"), numbers(12, true));
    QCOMPARE(entries("cmbSok_2"), numbers(31, true)); // December
    QCOMPARE(entries("cmbTid_0"), numbers(10, false));
    QCOMPARE(entries("cmbTid_1"), numbers(59, false));
    QCOMPARE(entries("cmbTid_2"), numbers(59, false));
    h.choose("01", "02", "05");
    QCOMPARE(entries("cmbSok_2"), numbers(28, true));
    h.list("cmbSok_0")->setCurrentText(QStringLiteral("04"));
    QCOMPARE(entries("cmbSok_2"), numbers(29, true));
}

void BookingTest::aTimeFieldHoldsTheTwoCharactersThatAreBooked() {
    Harness h;
    h.storePlan("8 h / dygn", 28800);
    auto& window = h.start();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    // A third keystroke is refused, not cleared: what the field shows is what is booked.
    h.list("cmbTid_2")->setFocus();
    QTest::keyClicks(h.list("cmbTid_2"), QStringLiteral("327"));
    QCOMPARE(h.list("cmbTid_2")->currentText(), QStringLiteral("32"));
    // A blank before a digit is a number; a blank after it, or a blank alone, is not.
    h.list("cmbTid_1")->setEditText(QStringLiteral(" 7"));
    h.list("cmbTid_0")->setEditText(QStringLiteral("1 "));
    QCOMPARE(texts(h, "cmbTid_"), QStringLiteral("  7 32"));
    h.click("cmdSpara");
    // 7 minutes 32 seconds: 452 s.
    QCOMPARE(h.dir.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(452, 0, 0.0f, 5)}}));
    // Hours over 99 cannot be typed, so no field ever books less than it shows.
    h.list("cmbTid_0")->setFocus();
    QTest::keyClicks(h.list("cmbTid_0"), QStringLiteral("1"));
    h.list("cmbTid_0")->setFocus();
    QTest::keyClicks(h.list("cmbTid_0"), QStringLiteral("00"));
    QCOMPARE(h.list("cmbTid_0")->currentText(), QStringLiteral("10"));
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
    QVERIFY(h.messages.shown().empty());
}

QTEST_MAIN(BookingTest)
#include "test_booking.moc"
