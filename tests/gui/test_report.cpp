// The print button: no records, Cancel in the print dialog, and the report handed to the printer.

#include "harness.h"
#include "platform/posix_file_system.h"
#include "presenter/report.h"
#include "storage/month_file.h"

using testing_support::Harness;

class ReportTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void monthWithoutRecordsSaysSoAndOpensNoDialog();
    void printsTheChosenMonthInTheCopiesChosen();
    void aPrintThatFailsSaysSo();
};

void ReportTest::monthWithoutRecordsSaysSoAndOpensNoDialog() {
    Harness h;
    h.storePlan("2 h / dygn", 7200);
    h.dir.write("0203.tid", {}); // an empty month file holds no records either
    h.start();
    const char* months[][3] = {{"01", "12", "December 2001"}, {"02", "03", "Mars 2002"}};
    for (const auto& [year, month, caption] : months) {
        h.choose(year, month, "01");
        h.messages.clear();
        h.click("cmdPrint");
        QCOMPARE(h.messages.shown().size(), std::size_t(1));
        QCOMPARE(h.messages.last().text, std::string("Inga poster har sparats i ") + caption +
                                             "\nDet finns inget att skriva ut");
        QCOMPARE(h.messages.last().title, std::string("Utskrift är inte möjlig!"));
        QCOMPARE(h.messages.last().icon, platform::MessageBox::Icon::Exclamation);
    }
    QCOMPARE(h.printDialog.asked(), 0);
    QVERIFY(h.printer.printed().empty());
    QCOMPARE(h.dir.names(), (std::vector<std::string>{"0203.tid", "tid.it"}));
}

void ReportTest::printsTheChosenMonthInTheCopiesChosen() {
    Harness h;
    h.storePlan("2 h / dygn", 7200);
    platform::PosixFileSystem files(h.dir.path());
    QVERIFY(storage::writeDay(files, "0111.tid", 3, {0.0f, 3600, 0, 3, core::kFalse}));
    QVERIFY(storage::writeDay(files, "0111.tid", 14, {340.0f, 9000, 1800, 14, core::kTrue}));
    QVERIFY(storage::writeDay(files, "0112.tid", 5, {0.0f, 60, 0, 5, core::kFalse})); // today
    h.start();
    h.choose("01", "11", "30");
    // Cancel in the dialog prints nothing.
    h.printDialog.answer(std::nullopt);
    h.click("cmdPrint");
    QCOMPARE(h.printDialog.asked(), 1);
    QVERIFY(h.printer.printed().empty());

    h.printDialog.answer(2);
    h.click("cmdPrint");
    // November's records up to its last day, with the month texts the main window shows.
    const storage::MonthRead november = storage::readMonth(files, "0111.tid");
    QCOMPARE(h.printer.printed(),
             presenter::monthReport({november.records(), 7200, "November 2001", 2}));
    QVERIFY(h.messages.shown().empty());
}

void ReportTest::aPrintThatFailsSaysSo() {
    Harness h;
    h.storePlan("2 h / dygn", 7200);
    platform::PosixFileSystem files(h.dir.path());
    QVERIFY(storage::writeDay(files, "0112.tid", 5, {0.0f, 60, 0, 5, core::kFalse}));
    h.start();
    h.printer.fail(); // no printer, or a file that cannot be written
    h.click("cmdPrint");
    QCOMPARE(h.messages.shown().size(), std::size_t(1));
    QCOMPARE(h.messages.last().text,
             std::string("Utskriften av December 2001 misslyckades. Skrivaren eller filen som "
                         "valdes i utskriftsdialogen gick inte att skriva till.\nKontrollera den "
                         "och försök igen."));
    QCOMPARE(h.messages.last().title, std::string("Utskriften misslyckades"));
    QCOMPARE(h.messages.last().icon, platform::MessageBox::Icon::Exclamation);
}

QTEST_MAIN(ReportTest)
#include "test_report.moc"
