#include "harness.h"
#include "support/month_bytes.h"

#include <filesystem>

using namespace testing_support;
using Answer = platform::MessageBox::Answer;
using Buttons = platform::MessageBox::Buttons;
using Icon = platform::MessageBox::Icon;

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

private slots:
    void workedExampleShowsDayAndMonth();
    void theDayTakesFromNoTimeUpToTwentyFourHours();
    void aMonthThatCannotBeReadIsSaidSoAndNeverWritten();
    void closeAsksAndAnswersAreHonoured_data();
    void closeAsksAndAnswersAreHonoured();
};

void BookingTest::workedExampleShowsDayAndMonth() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.start();
    h.enter("", "50", "");
    h.click("cmdSpara");
    QCOMPARE(h.text("lblTidkvar"), std::string("Tid kvar: 10 m "));
    QCOMPARE(h.text("lblDagskost"), std::string("Kostnad: 0,00 kr"));
    QVERIFY(!h.red("lblTidkvar") && !h.red("lblDagskost") && !h.red("lblSumma"));
    h.enter("", "20", "");
    h.click("cmdSpara");
    h.enter("", "1", "");
    h.click("cmdSpara");
    QCOMPARE(h.text("lblTidkvar"), std::string("Använd extra tid: 11 m "));
    QCOMPARE(h.text("lblDagskost"), std::string("Kostnad: 1,90 kr"));
    QCOMPARE(h.text("lblDyrtid"), std::string("Extra månadstid: 11 m "));
    QCOMPARE(h.text("lblKostnad"), std::string("Extra månadskostnad: 1,90 kr"));
    QCOMPARE(h.text("lblSumma"), std::string("Total månadskostnad: 146,90 kr"));
    QVERIFY(h.red("lblTidkvar") && h.red("lblDagskost") && h.red("lblDyrtid") &&
            h.red("lblKostnad") && h.red("lblSumma") && h.messages.shown().empty());
    QCOMPARE(h.dir.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(4260, 660, 190.0f, 5)}}));
    // The undo copy holds the month before the last booking.
    QCOMPARE(h.dir.read("0112.tmp"), monthFileBytes({{5, dayRecordBytes(4200, 600, 140.0f, 5)}}));
}

void BookingTest::theDayTakesFromNoTimeUpToTwentyFourHours() {
    Harness h;
    h.storePlan("8 h / dygn", 28800);
    h.dir.write("0112.tid", monthFileBytes({{5, dayRecordBytes(86000, 0, 0.0f, 5)}}));
    h.start();
    h.enter("", "6", "40");
    h.click("cmdSpara");
    QCOMPARE(h.text("lblDagstid"), std::string("Ansluten tid: 24 h "));
    const auto full = h.dir.read("0112.tid");
    h.enter("", "", "1");
    h.click("cmdSpara");
    lastBoxIs(h, "Du kan inte mata in mer tid än 24 timmar per dygn", "Dygnet är slut");
    QCOMPARE(h.dir.read("0112.tid"), full);
    QVERIFY(!h.dir.exists("0112.tmp") && !h.button("cmdAngra")->isEnabled());

    // " 0" is not blank: on an empty day it books no time, which leaves an empty record.
    h.choose("01", "12", "06");
    h.enter(" 0", "", "");
    h.click("cmdSpara");
    QCOMPARE(h.dir.read("0112.tid"), monthFileBytes({{5, {full.end() - 16, full.end()}},
                                                     {6, dayRecordBytes(0, 0, 0.0f, 6)}}));
    lastBoxIs(h, "Någon post har inte sparats den 6 december 2001.", "Ingen post hittas",
              Buttons::Ok, Icon::None);
}

void BookingTest::aMonthThatCannotBeReadIsSaidSoAndNeverWritten() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    std::filesystem::create_directory(h.dir.file("0111.tid"));
    h.start();
    h.choose("01", "11", "05");
    const char* cannotRead = "Filen 0111.tid kunde inte läsas, så månadens tider kan inte visas.";
    lastBoxIs(h, cannotRead, "Kan inte läsa");
    QCOMPARE(h.text("lblTid") + h.text("lblSumma"), std::string("Månadstid:Total månadskostnad:"));
    h.enter("", "5", "");
    h.click("cmdSpara");
    lastBoxIs(h,
              "Tiden kunde inte sparas, eftersom filen 0111.tid inte gick att läsa eller "
              "skriva.\nIngen tid har bokförts.",
              "Kan inte spara");
    QCOMPARE(h.list("cmbTid_1")->currentText(), QStringLiteral("5")); // the typed time is kept
    // Deleting the day or the month asks nothing and touches nothing.
    h.click("cmdKastapost");
    QCOMPARE(h.messages.last().text, std::string(cannotRead));
    h.click("cmdKastamon");
    lastBoxIs(h, cannotRead, "Kan inte läsa");
    QCOMPARE(h.messages.shown().size(), std::size_t(4));
    QVERIFY(std::filesystem::is_directory(h.dir.file("0111.tid")) && !h.dir.exists("mon.tmp"));
}

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
    QCOMPARE(h.window->isVisible() && h.list("cmbTid_1")->currentText() == "5", !ended);
    const int booked = answer == Answer::Yes ? 35 * 60 : 30 * 60; // only Ja books the 5 minutes
    QCOMPARE(h.dir.read("0112.tid"), monthFileBytes({{5, dayRecordBytes(booked, 0, 0.0f, 5)}}));
}

QTEST_MAIN(BookingTest)
#include "test_booking.moc"
