#include "harness.h"
#include "support/month_bytes.h"

#include <QCloseEvent>
#include <filesystem>

using testing_support::Harness;
using Answer = platform::MessageBox::Answer;
using Bytes = std::vector<std::uint8_t>;
using testing_support::dayRecordBytes;

namespace {

Bytes lastRecord(const Bytes& file) {
    return Bytes(file.end() - 16, file.end());
}

} // namespace

class BookingTest : public QObject {
    Q_OBJECT

private slots:
    void workedExampleShowsDayAndMonth();
    void twoHourPlanMonthFigures();
    void theDayEndsAtTwentyFourHours();
    void blankOrZeroFieldsStillBook();
    void emptyFieldsBookNothing();
    void theFrameNamesTheMonthShown();
    void damagedFilesShowWithoutCrashing();
    void aMonthThatCannotBeReadIsSaidSoAndNeverWritten();
    void closeAsksAndAnswersAreHonoured_data();
    void closeAsksAndAnswersAreHonoured();
    void closeWithNothingTypedEndsAtOnce();
    void closingThroughTheFrameActsAsTheCloseButton();
};

void BookingTest::workedExampleShowsDayAndMonth() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.start();
    h.enter("", "50", "");
    h.click("cmdSpara");
    QCOMPARE(h.text("lblDagstid"), std::string("Ansluten tid: 50 m "));
    QCOMPARE(h.text("lblTidkvar"), std::string("Tid kvar: 10 m "));
    QVERIFY(!h.red("lblTidkvar"));
    QCOMPARE(h.text("lblDagskost"), std::string("Kostnad: 0,00 kr"));
    QCOMPARE(h.text("lblSumma"), std::string("Total månadskostnad: 145,00 kr"));
    QVERIFY(h.button("cmdAngra")->isEnabled());
    QVERIFY(h.list("cmbTid_1")->currentText().isEmpty());

    h.enter("", "20", "");
    h.click("cmdSpara");
    QCOMPARE(h.text("lblTidkvar"), std::string("Använd extra tid: 10 m "));
    QVERIFY(h.red("lblTidkvar"));
    QCOMPARE(h.text("lblDagskost"), std::string("Kostnad: 1,40 kr"));
    QVERIFY(h.red("lblDagskost"));

    h.enter("", "1", "");
    h.click("cmdSpara");
    QCOMPARE(h.text("lblDagstid"), std::string("Ansluten tid: 1 h 11 m "));
    QCOMPARE(h.text("lblDagskost"), std::string("Kostnad: 1,90 kr"));
    QCOMPARE(h.text("lblTid"), std::string("Ansluten tid: 1 h 11 m "));
    QCOMPARE(h.text("lblDyrtid"), std::string("Extra månadstid: 11 m "));
    QVERIFY(h.red("lblDyrtid"));
    QCOMPARE(h.text("lblKostnad"), std::string("Extra månadskostnad: 1,90 kr"));
    QCOMPARE(h.text("lblSumma"), std::string("Total månadskostnad: 146,90 kr"));
    QVERIFY(h.red("lblSumma"));
    QVERIFY(h.messages.shown().empty());

    const Bytes file = h.dir.read("0112.tid");
    QCOMPARE(file.size(), std::size_t(80));
    QCOMPARE(lastRecord(file), dayRecordBytes(4260, 660, 190.0f, 5, -1));
    // The undo copy holds the month before the last booking.
    QCOMPARE(lastRecord(h.dir.read("0112.tmp")), dayRecordBytes(4200, 600, 140.0f, 5, -1));
}

void BookingTest::twoHourPlanMonthFigures() {
    Harness h;
    h.storePlan("2 h / dygn", 7200);
    Bytes file(64, 0);
    const Bytes day3 = dayRecordBytes(7260, 60, 50.0f, 3, -1);
    const Bytes day4 = dayRecordBytes(9000, 1800, 340.0f, 4, -1);
    std::copy(day3.begin(), day3.end(), file.begin() + 32);
    std::copy(day4.begin(), day4.end(), file.begin() + 48);
    h.dir.write("0112.tid", file);
    h.start();
    h.choose("01", "12", "03");
    QCOMPARE(h.text("lblDagstid"), std::string("Ansluten tid: 2 h 1 m "));
    QCOMPARE(h.text("lblTidkvar"), std::string("Använd extra tid: 1 m "));
    QCOMPARE(h.text("lblDagskost"), std::string("Kostnad: 0,50 kr"));
    QCOMPARE(h.text("lblTid"), std::string("Ansluten tid: 4 h 31 m "));
    QCOMPARE(h.text("lblDyrtid"), std::string("Extra månadstid: 31 m "));
    QCOMPARE(h.text("lblKostnad"), std::string("Extra månadskostnad: 3,90 kr"));
    QCOMPARE(h.text("lblSumma"), std::string("Total månadskostnad: 248,90 kr"));
    QVERIFY(h.red("lblSumma") && h.red("lblKostnad") && h.red("lblDyrtid"));

    // A day without a record in the month: headings, and no message while choosing.
    h.choose("01", "12", "10");
    QCOMPARE(h.text("lblDagstid"), std::string("Tid i dag:"));
    QCOMPARE(h.text("lblTidkvar"), std::string("Tid kvar: / Extra tid:"));
    QCOMPARE(h.text("lblDagskost"), std::string("Kostnad:"));
    QVERIFY(!h.red("lblDagskost"));
    QVERIFY(h.messages.shown().empty());
    QCOMPARE(h.dir.names(), (std::vector<std::string>{"0112.tid", "tid.it"}));
}

void BookingTest::theDayEndsAtTwentyFourHours() {
    Harness h;
    h.storePlan("8 h / dygn", 28800);
    Bytes file(80, 0);
    const Bytes day5 = dayRecordBytes(86000, 0, 0.0f, 5, 0);
    std::copy(day5.begin(), day5.end(), file.begin() + 64);
    h.dir.write("0112.tid", file);
    h.start();
    h.enter("", "6", "40");
    h.click("cmdSpara");
    QCOMPARE(h.text("lblDagstid"), std::string("Ansluten tid: 24 h "));
    QVERIFY(h.button("cmdAngra")->isEnabled());
    const Bytes full = h.dir.read("0112.tid");

    h.enter("", "", "1");
    h.click("cmdSpara");
    QCOMPARE(h.messages.shown().size(), std::size_t(1));
    QCOMPARE(h.messages.last().text,
             std::string("Du kan inte mata in mer tid än 24 timmar per dygn"));
    QCOMPARE(h.messages.last().title, std::string("Dygnet är slut"));
    QVERIFY(h.messages.last().icon == platform::MessageBox::Icon::Exclamation);
    QCOMPARE(h.dir.read("0112.tid"), full);
    QVERIFY(!h.dir.exists("0112.tmp"));
    QVERIFY(!h.button("cmdAngra")->isEnabled());
    QVERIFY(h.list("cmbTid_2")->currentText().isEmpty());
}

void BookingTest::blankOrZeroFieldsStillBook() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    Bytes file(80, 0);
    const Bytes day5 = dayRecordBytes(4200, 600, 140.0f, 5, -1);
    std::copy(day5.begin(), day5.end(), file.begin() + 64);
    h.dir.write("0112.tid", file);
    h.start();
    // "000" is not empty: it books 0 seconds, and a day over its allowance pays the start charge.
    h.enter("000", "", "");
    h.click("cmdSpara");
    QCOMPARE(lastRecord(h.dir.read("0112.tid")), dayRecordBytes(4200, 600, 180.0f, 5, -1));
    QVERIFY(h.dir.exists("0112.tmp"));
    QCOMPARE(h.text("lblDagskost"), std::string("Kostnad: 1,80 kr"));

    // " 0" on a day without time writes an empty record for it, which the view reports.
    h.choose("01", "12", "06");
    h.enter(" 0", "", "");
    h.click("cmdSpara");
    QCOMPARE(h.dir.read("0112.tid").size(), std::size_t(96));
    QCOMPARE(lastRecord(h.dir.read("0112.tid")), dayRecordBytes(0, 0, 0.0f, 6, 0));
    QCOMPARE(h.messages.last().text,
             std::string("Någon post har inte sparats den 6 december 2001."));
    QCOMPARE(h.messages.last().title, std::string("Ingen post hittas"));
}

void BookingTest::emptyFieldsBookNothing() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.start();
    h.dir.write("post2.tmp", {1});
    h.enter("0", "00", "");
    h.click("cmdSpara");
    h.click("cmdSpara");
    QVERIFY(h.messages.shown().empty());
    QVERIFY(!h.dir.exists("0112.tid"));
    QVERIFY(h.dir.exists("post2.tmp"));
    QCOMPARE(h.list("cmbTid_0")->currentText(), QStringLiteral("0"));
    QVERIFY(!h.button("cmdAngra")->isEnabled());
}

void BookingTest::theFrameNamesTheMonthShown() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.dir.write("0111.tid", dayRecordBytes(60, 0, 0.0f, 1, 0));
    h.dir.write("0112.tid", dayRecordBytes(120, 0, 0.0f, 1, 0));
    h.start();
    h.choose("01", "11", "01");
    QCOMPARE(h.find<QGroupBox>("ramMonadstid")->title(), QStringLiteral("November 2001"));
    QCOMPARE(h.text("lblTid"), std::string("Ansluten tid: 1 m "));
    h.choose("01", "12", "01");
    QCOMPARE(h.find<QGroupBox>("ramMonadstid")->title(), QStringLiteral("December 2001"));
    QCOMPARE(h.text("lblTid"), std::string("Ansluten tid: 2 m "));
}

void BookingTest::damagedFilesShowWithoutCrashing() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    Bytes file = dayRecordBytes(-500, 2147483647, std::numeric_limits<float>::quiet_NaN(), 1, 7);
    const Bytes huge =
        dayRecordBytes(2147483647, -1, std::numeric_limits<float>::infinity(), 2, -1);
    file.insert(file.end(), huge.begin(), huge.end());
    file.push_back(0xAB); // a record cut short
    h.dir.write("0112.tid", file);
    h.start();
    h.choose("01", "12", "02");
    QCOMPARE(h.text("lblDagskost"), std::string("Kostnad: ? kr"));
    QCOMPARE(h.text("lblDagstid"), std::string("Ansluten tid: 596523 h 14 m 7 s "));
    QCOMPARE(h.text("lblSumma"), std::string("Total månadskostnad: ? kr"));
    // Booking on the damaged day would pass 24 hours: refused, and the file is left alone.
    h.enter("", "1", "");
    h.click("cmdSpara");
    QCOMPARE(h.messages.last().title, std::string("Dygnet är slut"));
    QCOMPARE(h.dir.read("0112.tid"), file);
}

void BookingTest::aMonthThatCannotBeReadIsSaidSoAndNeverWritten() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    std::filesystem::create_directory(h.dir.file("0111.tid"));
    h.start();
    h.choose("01", "11", "05");
    const std::string cannotRead =
        "Filen 0111.tid kunde inte läsas, så månadens tider kan inte visas.";
    QCOMPARE(h.messages.shown().size(), std::size_t(1));
    QCOMPARE(h.messages.last().text, cannotRead);
    QCOMPARE(h.messages.last().title, std::string("Kan inte läsa"));
    QCOMPARE(h.text("lblTid"), std::string("Månadstid:"));
    QCOMPARE(h.text("lblSumma"), std::string("Total månadskostnad:"));

    h.enter("", "5", "");
    h.click("cmdSpara");
    QCOMPARE(h.messages.last().title, std::string("Kan inte spara"));
    QCOMPARE(h.list("cmbTid_1")->currentText(), QStringLiteral("5"));
    QVERIFY(!h.button("cmdAngra")->isEnabled());

    h.click("cmdKastapost");
    QCOMPARE(h.messages.last().text, cannotRead);
    h.click("cmdKastamon");
    QCOMPARE(h.messages.last().text, cannotRead);
    QVERIFY(std::filesystem::is_directory(h.dir.file("0111.tid")));
    QVERIFY(!h.dir.exists("mon.tmp"));
    QCOMPARE(h.messages.unscriptedQuestions(), 0);
}

void BookingTest::closeAsksAndAnswersAreHonoured_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("booked");
    QTest::addColumn<bool>("ended");
    QTest::newRow("Ja") << static_cast<int>(Answer::Yes) << true << true;
    QTest::newRow("Nej") << static_cast<int>(Answer::No) << false << true;
    QTest::newRow("Avbryt") << static_cast<int>(Answer::Cancel) << false << false;
}

void BookingTest::closeAsksAndAnswersAreHonoured() {
    QFETCH(int, answer);
    QFETCH(bool, booked);
    QFETCH(bool, ended);
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.start();
    h.enter("", "30", "");
    h.click("cmdSpara");
    h.dir.write("post2.tmp", {1});
    h.enter("", "5", "");
    h.messages.script({static_cast<Answer>(answer)});
    h.click("cmdStang");

    QCOMPARE(h.messages.shown().size(), std::size_t(1));
    QCOMPARE(h.messages.last().text, std::string("Vill du spara innan du stänger programmet?"));
    QCOMPARE(h.messages.last().title, std::string("Spara inmatade värden?"));
    QVERIFY(h.messages.last().buttons == platform::MessageBox::Buttons::YesNoCancel);
    QVERIFY(h.messages.last().icon == platform::MessageBox::Icon::None);
    QCOMPARE(h.ended->count(), ended ? 1 : 0);
    const Bytes file = h.dir.read("0112.tid");
    QCOMPARE(lastRecord(file), dayRecordBytes(booked ? 2100 : 1800, 0, 0.0f, 5, 0));
    // The backups went before the question; a booking makes a new undo copy.
    QVERIFY(!h.dir.exists("post2.tmp"));
    QCOMPARE(h.dir.exists("0112.tmp"), booked);
    if (!ended) {
        QCOMPARE(h.list("cmbTid_1")->currentText(), QStringLiteral("5"));
        QVERIFY(h.window->isVisible());
    }
}

void BookingTest::closeWithNothingTypedEndsAtOnce() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.start();
    h.enter("", "  ", "");
    h.click("cmdStang");
    QVERIFY(h.messages.shown().empty());
    QCOMPARE(h.ended->count(), 1);
    QVERIFY(!h.dir.exists("0112.tid"));
}

void BookingTest::closingThroughTheFrameActsAsTheCloseButton() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.start();
    h.enter("", "5", "");
    h.messages.script({Answer::Cancel});
    QVERIFY(!h.window->close());
    QVERIFY(h.window->isVisible());
    QCOMPARE(h.ended->count(), 0);
    h.messages.script({Answer::No});
    QVERIFY(h.window->close());
    QVERIFY(!h.window->isVisible());
    QCOMPARE(h.ended->count(), 1);
}

QTEST_MAIN(BookingTest)
#include "test_booking.moc"
