// The print button of the main window: the message for a month without records, Cancel in the
// print dialog, and the report handed to the printer.

#include "core/report.h"
#include "harness.h"
#include "storage/month_file.h"
#include "support/month_bytes.h"

using core::PrintDocument;
using core::PrintItem;
using Buttons = platform::MessageBox::Buttons;
using Icon = platform::MessageBox::Icon;
using testing_support::bookedDay;
using testing_support::Harness;
using Bytes = std::vector<std::uint8_t>;

namespace {

PrintItem line(const std::string& text, int size, bool bold) {
    return PrintItem{PrintItem::Kind::Line, text, size, bold};
}

const std::string kDay(20, ' ');
const std::string kClosing(18, ' ');

} // namespace

class ReportTest : public QObject {
    Q_OBJECT

private slots:
    void monthWithoutRecordsSaysSoAndAsksNothing();
    void cancelPrintsNothingAndSaysNothing();
    void printsTheChosenMonthInTheCopiesChosen();
    void printerFailureSaysNothing();
};

void ReportTest::monthWithoutRecordsSaysSoAndAsksNothing() {
    Harness h;
    h.storePlan("2 h / dygn", 7200);
    h.start();
    QVERIFY(h.messages.shown().empty());

    h.click("cmdPrint");
    QCOMPARE(h.messages.shown().size(), std::size_t(1));
    QCOMPARE(h.messages.last().text,
             std::string("Inga poster har sparats i December 2001\nDet finns inget att skriva ut"));
    QCOMPARE(h.messages.last().title, std::string("Utskrift är inte möjlig!"));
    QCOMPARE(h.messages.last().buttons, Buttons::Ok);
    QCOMPARE(h.messages.last().icon, Icon::Exclamation);
    QCOMPARE(h.printDialog.asked(), 0);
    QVERIFY(h.printer.printed().empty());
    // Looking made no month file.
    QCOMPARE(h.dir.names(), std::vector<std::string>{"tid.it"});

    // An empty month file counts as no records; the message names the month chosen.
    h.dir.write("0203.tid", {});
    h.choose("02", "03", "01");
    h.messages.clear();
    h.click("cmdPrint");
    QCOMPARE(h.messages.shown().size(), std::size_t(1));
    QCOMPARE(h.messages.last().text,
             std::string("Inga poster har sparats i Mars 2002\nDet finns inget att skriva ut"));
    QCOMPARE(h.printDialog.asked(), 0);
    QVERIFY(h.printer.printed().empty());
    QCOMPARE(h.dir.read("0203.tid"), Bytes{});
}

void ReportTest::cancelPrintsNothingAndSaysNothing() {
    Harness h;
    h.storePlan("2 h / dygn", 7200);
    QVERIFY(storage::writeDay(h.files, "0112.tid", 5, bookedDay(5, 600, 0, 0.0f)));
    const Bytes before = h.dir.read("0112.tid");
    h.start();
    h.messages.clear();
    h.printDialog.answer(std::nullopt);

    h.click("cmdPrint");
    QCOMPARE(h.printDialog.asked(), 1);
    QVERIFY(h.printer.printed().empty());
    QVERIFY(h.messages.shown().empty());
    QCOMPARE(h.dir.read("0112.tid"), before);
}

void ReportTest::printsTheChosenMonthInTheCopiesChosen() {
    Harness h;
    h.storePlan("2 h / dygn", 7200);
    QVERIFY(storage::writeDay(h.files, "0112.tid", 3, bookedDay(3, 3600, 0, 0.0f)));
    QVERIFY(storage::writeDay(h.files, "0112.tid", 14, bookedDay(14, 9000, 1800, 340.0f)));
    // Another month, to be sure the report follows the lists and not today's month.
    QVERIFY(storage::writeDay(h.files, "0111.tid", 30, bookedDay(30, 60, 0, 0.0f)));
    h.start();
    h.messages.clear();
    h.printDialog.answer(2);

    h.click("cmdPrint");
    QCOMPARE(h.printDialog.asked(), 1);
    // December's records up to its last day, day 14, with December's month texts, twice.
    const storage::MonthRead december = storage::readMonth(h.files, "0112.tid");
    QCOMPARE(december.records().size(), std::size_t(14));
    core::MonthReportInput input;
    input.records = december.records();
    input.dailyAllowance = 7200;
    input.monthCaption = "December 2001";
    input.monthTimeText = "Ansluten tid: 3 h 30 m ";
    input.monthExtraText = "Extra månadstid: 30 m ";
    input.monthCostText = "Extra månadskostnad 3,40 kr";
    input.copies = 2;
    const PrintDocument& printed = h.printer.printed();
    QCOMPARE(printed, core::monthReport(input));
    QCOMPARE(printed.size(), std::size_t(2 * 25));
    QCOMPARE(printed[2].text,
             std::string(17, ' ') + "Kostnader för NetLink abbonemang December 2001");
    QCOMPARE(printed[5], line(kDay + "Datum: 3", 10, true));
    QCOMPARE(printed[12], line(kDay + "Använd extra tid: 30 m ", 10, false));
    QCOMPARE(printed[23], line(kClosing + "Total månadskostnad: 248,40 kr", 12, true));
    QVERIFY(h.messages.shown().empty());

    // November: its own heading, day and month texts.
    h.choose("01", "11", "30");
    h.messages.clear();
    h.printDialog.answer(1);
    const std::size_t before = printed.size();
    h.click("cmdPrint");
    QVERIFY(printed.size() > before);
    const PrintDocument november(printed.begin() + static_cast<std::ptrdiff_t>(before),
                                 printed.end());
    QCOMPARE(november[2].text,
             std::string(17, ' ') + "Kostnader för NetLink abbonemang November 2001");
    QCOMPARE(november[5].text, kDay + "Datum: 30");
    QCOMPARE(november[november.size() - 5].text, kClosing + "Ansluten tid: 1 m ");
    QCOMPARE(november[november.size() - 2].text, kClosing + "Total månadskostnad: 245,00 kr");
    QVERIFY(h.messages.shown().empty());
}

void ReportTest::printerFailureSaysNothing() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    QVERIFY(storage::writeDay(h.files, "0112.tid", 5, bookedDay(5, 600, 0, 0.0f)));
    h.start();
    h.messages.clear();
    h.printer.fail();

    h.click("cmdPrint");
    QCOMPARE(h.printDialog.asked(), 1);
    QVERIFY(!h.printer.printed().empty());
    QVERIFY(h.messages.shown().empty());
    QVERIFY(h.window->isVisible());
}

QTEST_MAIN(ReportTest)
#include "test_report.moc"
