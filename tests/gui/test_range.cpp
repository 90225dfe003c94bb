#include "harness.h"
#include "support/month_bytes.h"

#include <QCloseEvent>
#include <QFrame>

using testing_support::dayRecordBytes;
using testing_support::Harness;
using testing_support::monthFileBytes;
using Buttons = platform::MessageBox::Buttons;
using Icon = platform::MessageBox::Icon;
using Bytes = std::vector<std::uint8_t>;

namespace {

const std::string kFeeLine = "\n(Fasta kostnaden uppräknas varje hel månad.)";

// The four result labels, one line each.
std::vector<std::string> results(const Harness& h) {
    return {h.rangeText("lblTid"), h.rangeText("lblExtrtid"), h.rangeText("lblKost"),
            h.rangeText("lblTotalkost")};
}

} // namespace

class RangeWindowTest : public QObject {
    Q_OBJECT

private slots:
    void opensOn31MayWithTheThreeMonthsBefore();
    void opensEarlyIn2001FromTheFirstDayOffered_data();
    void opensEarlyIn2001FromTheFirstDayOffered();
    void sumsAYearEndRangeWithTwoFees();
    void acceptsAYearOf365DaysAndRefuses366();
    void refusesAReversedRangeAndOneOfManyYears();
    void oneFeeFrom31JanuaryAndNoneForASingleDay();
    void daysWithoutConnectedTimeAndAPlanWithoutFee();
    void dayListsHoldOnlyTheMonthsDays();
    void activationPutsTheFocusOnTheCloseButton();
    void closingBringsBackTheMainWindow_data();
    void closingBringsBackTheMainWindow();
};

void RangeWindowTest::opensOn31MayWithTheThreeMonthsBefore() {
    Harness h(core::Date{2003, 5, 31});
    h.storePlan("2 h / dygn", 7200);
    const Bytes february = monthFileBytes({{28, dayRecordBytes(5000, 0, 0.0f, 28)}});
    h.dir.write("0302.tid", february); // before the range
    h.dir.write("0303.tid", {});       // empty: removed when the range is read
    // No file for April.
    h.dir.write("0305.tid", monthFileBytes({{1, dayRecordBytes(3600, 0, 0.0f, 1)},
                                            {31, dayRecordBytes(9000, 1800, 340.0f, 31)}}));
    auto& main = h.start();
    QVERIFY(h.messages.shown().empty());

    QWidget* range = h.openRange();
    QVERIFY(range != nullptr);
    QVERIFY(range->isVisible());
    QVERIFY(range->isWindow());
    QVERIFY(!main.isVisible());
    QCOMPARE(range->windowTitle(),
             QStringLiteral("Surfklocka 3.11      2 h / dygn      Från och Till"));
    QCOMPARE(h.rangeField("cmbFran"), std::string("03 03 01"));
    QCOMPARE(h.rangeField("cmbTill"), std::string("03 05 31"));
    QCOMPARE(h.rangeText("lblHit_Dit"),
             std::string("Från och med lördag 1 mar 2003 till och med lördag 31 maj 2003"));
    QCOMPARE(results(h), (std::vector<std::string>{"Ansluten tid: 3 h 30 m ", "Extra tid: 30 m ",
                                                   "Extra kostnad: 3,40 kr",
                                                   "Total kosttnad: 493,40 kr" + kFeeLine}));
    // Loading shows no message, and leaves laddar false.
    QVERIFY(h.messages.shown().empty());
    QVERIFY(!h.settings.laddar);
    // The empty March file is gone, no April file was made, February is untouched.
    QCOMPARE(h.dir.names(), (std::vector<std::string>{"0302.tid", "0305.tid", "tid.it"}));
    QCOMPARE(h.dir.read("0302.tid"), february);

    // The controls, with the names and texts the window is built with.
    const char* headings[] = {"år:", "mån:", "dag:", "år:", "mån:", "dag:"};
    for (int i = 0; i < 6; ++i) {
        const std::string name = "lblVisa_" + std::to_string(i);
        QCOMPARE(h.rangeText(name.c_str()), std::string(headings[i]));
    }
    for (int i = 0; i < 5; ++i) {
        const std::string name = "Line1_" + std::to_string(i);
        QVERIFY2(h.inRange<QFrame>(name.c_str()) != nullptr, name.c_str());
    }
    QVERIFY(h.inRange<QFrame>("Line1_4")->width() > h.inRange<QFrame>("Line1_0")->width());
    for (const char* name :
         {"cmbFran_0", "cmbFran_1", "cmbFran_2", "cmbTill_0", "cmbTill_1", "cmbTill_2"}) {
        QVERIFY2(!h.rangeList(name)->isEditable(), name);
    }
    QCOMPARE(h.rangeList("cmbFran_0")->count(), 99);
    QCOMPARE(h.rangeList("cmbFran_0")->itemText(0), QStringLiteral("01"));
    QCOMPARE(h.rangeList("cmbTill_1")->count(), 12);
    QCOMPARE(h.rangeList("cmbFran_2")->count(), 31);
    auto* close = h.inRange<QAbstractButton>("cmdStang");
    QVERIFY(close != nullptr);
    QVERIFY(!close->icon().isNull());
    QVERIFY(close->text().isEmpty());
    QCOMPARE(close->toolTip(), QStringLiteral("Stänger \"Från och Till\"."));
}

void RangeWindowTest::opensEarlyIn2001FromTheFirstDayOffered_data() {
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("till");
    QTest::addColumn<QString>("hitDit");
    QTest::newRow("10 February") << 2 << 10 << QStringLiteral("01 02 10")
                                 << QStringLiteral("Från och med måndag 1 jan 2001 till och med "
                                                   "lördag 10 feb 2001");
    QTest::newRow("30 March") << 3 << 30 << QStringLiteral("01 03 30")
                              << QStringLiteral("Från och med måndag 1 jan 2001 till och med "
                                                "fredag 30 mar 2001");
}

void RangeWindowTest::opensEarlyIn2001FromTheFirstDayOffered() {
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(QString, till);
    QFETCH(QString, hitDit);
    Harness h(core::Date{2001, month, day});
    h.storePlan("1 h / dygn", 3600);
    h.dir.write("0101.tid", monthFileBytes({{1, dayRecordBytes(61, 0, 0.0f, 1)}}));
    h.start();
    h.messages.clear();
    h.openRange();
    QCOMPARE(h.rangeField("cmbFran"), std::string("01 01 01"));
    QCOMPARE(QString::fromStdString(h.rangeField("cmbTill")), till);
    QCOMPARE(QString::fromStdString(h.rangeText("lblHit_Dit")), hitDit);
    QCOMPARE(h.rangeText("lblTid"), std::string("Ansluten tid: 1 m 1 s "));
    QCOMPARE(h.rangeText("lblTotalkost"),
             "Total kosttnad: " + std::string(month == 2 ? "145,00" : "290,00") + " kr" + kFeeLine);
    QVERIFY(h.messages.shown().empty());
}

void RangeWindowTest::sumsAYearEndRangeWithTwoFees() {
    Harness h(core::Date{2002, 1, 10});
    h.storePlan("2 h / dygn", 7200);
    const Bytes november = monthFileBytes({{14, dayRecordBytes(1000, 500, 900.0f, 14)},
                                           {15, dayRecordBytes(3600, 0, 0.0f, 15)},
                                           {31, dayRecordBytes(7260, 60, 50.0f, 31)}});
    const Bytes december = monthFileBytes(
        {{1, dayRecordBytes(100, 0, 0.0f, 1)}, {31, dayRecordBytes(9000, 1800, 340.0f, 31)}});
    const Bytes january = monthFileBytes(
        {{10, dayRecordBytes(45, 0, 0.0f, 10)}, {11, dayRecordBytes(5000, 2000, 400.0f, 11)}});
    h.dir.write("0111.tid", november);
    h.dir.write("0112.tid", december);
    h.dir.write("0201.tid", january);
    h.start();
    h.messages.clear();
    h.openRange();
    QCOMPARE(h.rangeField("cmbFran"), std::string("01 10 11"));

    h.pick("cmbFran_1", "11");
    h.pick("cmbFran_2", "15");
    QCOMPARE(h.rangeText("lblHit_Dit"),
             std::string("Från och med torsdag 15 nov 2001 till och med torsdag 10 jan 2002"));
    // 3600 + 7260 + 100 + 9000 + 45 seconds; days 14 of November and 11 of January are outside.
    QCOMPARE(results(h), (std::vector<std::string>{"Ansluten tid: 5 h 33 m 25 s ",
                                                   "Extra tid: 31 m ", "Extra kostnad: 3,90 kr",
                                                   "Total kosttnad: 493,90 kr" + kFeeLine}));
    QVERIFY(h.messages.shown().empty());
    QCOMPARE(h.dir.read("0111.tid"), november);
    QCOMPARE(h.dir.read("0112.tid"), december);
    QCOMPARE(h.dir.read("0201.tid"), january);
    QCOMPARE(h.dir.names(),
             (std::vector<std::string>{"0111.tid", "0112.tid", "0201.tid", "tid.it"}));
}

void RangeWindowTest::acceptsAYearOf365DaysAndRefuses366() {
    Harness h(core::Date{2002, 1, 1});
    h.storePlan("1 h / dygn", 3600);
    h.dir.write("0101.tid", monthFileBytes({{1, dayRecordBytes(60, 0, 0.0f, 1)}}));
    h.dir.write("0201.tid", monthFileBytes({{1, dayRecordBytes(120, 0, 0.0f, 1)}}));
    h.start();
    h.messages.clear();
    h.openRange();

    // 1 January 2001 to 1 January 2002: 365 days, twelve fees.
    h.pick("cmbFran_1", "01");
    h.pick("cmbFran_2", "01");
    QCOMPARE(h.rangeText("lblHit_Dit"),
             std::string("Från och med måndag 1 jan 2001 till och med tisdag 1 jan 2002"));
    const std::vector<std::string> year = {"Ansluten tid: 3 m ",
                                           "Extra tid: ", "Extra kostnad: 0,00 kr",
                                           "Total kosttnad: 1740,00 kr" + kFeeLine};
    QCOMPARE(results(h), year);
    QVERIFY(h.messages.shown().empty());

    // On to 1 March 2003 - 1 March 2004: every step on the way is too long as well.
    h.pick("cmbTill_0", "04");
    h.pick("cmbTill_1", "03");
    h.pick("cmbFran_0", "03");
    h.messages.clear();
    h.pick("cmbFran_1", "03");
    QCOMPARE(h.rangeField("cmbFran"), std::string("03 03 01"));
    QCOMPARE(h.rangeField("cmbTill"), std::string("04 03 01"));
    QCOMPARE(h.rangeText("lblHit_Dit"), std::string("Felaktiga datum. Längre tid än 12 månader."));
    QCOMPARE(h.messages.shown().size(), std::size_t(1));
    QCOMPARE(h.messages.last().text,
             std::string("Det går inte att summera längre\ntid än 12 månader."));
    QCOMPARE(h.messages.last().title, std::string("Felaktiga datum"));
    QVERIFY(h.messages.last().buttons == Buttons::Ok);
    QVERIFY(h.messages.last().icon == Icon::None);
    // The labels still show the last range that was summed.
    QCOMPARE(results(h), year);

    // One day less is summed again.
    h.messages.clear();
    h.pick("cmbFran_2", "02");
    QCOMPARE(h.rangeText("lblHit_Dit"),
             std::string("Från och med söndag 2 mar 2003 till och med måndag 1 mar 2004"));
    QCOMPARE(results(h),
             (std::vector<std::string>{"Ansluten tid: ", "Extra tid: ", "Extra kostnad: 0,00 kr",
                                       "Total kosttnad: 1740,00 kr" + kFeeLine}));
    QVERIFY(h.messages.shown().empty());
    QCOMPARE(h.dir.names(), (std::vector<std::string>{"0101.tid", "0201.tid", "tid.it"}));
}

void RangeWindowTest::refusesAReversedRangeAndOneOfManyYears() {
    Harness h(core::Date{2001, 12, 5});
    h.storePlan("1 h / dygn", 3600);
    h.dir.write("0110.tid", monthFileBytes({{2, dayRecordBytes(30, 0, 0.0f, 2)}}));
    h.start();
    h.messages.clear();
    h.openRange();
    const std::vector<std::string> shown = results(h);
    QCOMPARE(shown[0], std::string("Ansluten tid: 30 s "));

    // FRÅN in 2099, TILL in 2001.
    h.pick("cmbFran_0", "99");
    QCOMPARE(h.messages.shown().size(), std::size_t(1));
    QCOMPARE(h.messages.last().text, std::string("\"FRÅN\" måste vara tidigare än \"TILL\"."));
    QCOMPARE(h.messages.last().title, std::string("Felaktiga datum"));
    QVERIFY(h.messages.last().buttons == Buttons::Ok);
    QVERIFY(h.messages.last().icon == Icon::None);
    QCOMPARE(h.rangeText("lblHit_Dit"),
             std::string("Från och med söndag 6 sep 2099 till och med onsdag 5 dec 2001"));
    QCOMPARE(results(h), shown);

    // FRÅN in 2001 again is summed; TILL in 2099 is too long.
    h.messages.clear();
    h.pick("cmbFran_0", "01");
    QVERIFY(h.messages.shown().empty());
    h.pick("cmbTill_0", "99");
    QCOMPARE(h.messages.shown().size(), std::size_t(1));
    QCOMPARE(h.messages.last().text,
             std::string("Det går inte att summera längre\ntid än 12 månader."));
    QCOMPARE(h.rangeText("lblHit_Dit"), std::string("Felaktiga datum. Längre tid än 12 månader."));
    QCOMPARE(results(h), shown);
    QCOMPARE(h.dir.names(), (std::vector<std::string>{"0110.tid", "tid.it"}));
}

void RangeWindowTest::oneFeeFrom31JanuaryAndNoneForASingleDay() {
    Harness h(core::Date{2001, 2, 1});
    h.storePlan("1 h / dygn", 3600);
    h.dir.write("0101.tid", monthFileBytes({{30, dayRecordBytes(3000, 0, 0.0f, 30)},
                                            {31, dayRecordBytes(3700, 100, 56.666668f, 31)}}));
    h.dir.write("0102.tid", monthFileBytes({{1, dayRecordBytes(3660, 60, 50.0f, 1)}}));
    h.start();
    h.messages.clear();
    h.openRange();

    h.pick("cmbFran_2", "31");
    QCOMPARE(h.rangeText("lblHit_Dit"),
             std::string("Från och med onsdag 31 jan 2001 till och med torsdag 1 feb 2001"));
    QCOMPARE(results(h), (std::vector<std::string>{"Ansluten tid: 2 h 2 m 40 s ",
                                                   "Extra tid: 2 m 40 s ", "Extra kostnad: 1,07 kr",
                                                   "Total kosttnad: 146,07 kr" + kFeeLine}));

    // FRÅN in February: day 31 does not exist there, so the day list chooses the 28th, which
    // lies after TILL. The order message comes once, not once more for the month's change.
    h.pick("cmbFran_1", "02");
    QCOMPARE(h.rangeField("cmbFran"), std::string("01 02 28"));
    QCOMPARE(h.messages.shown().size(), std::size_t(1));
    QCOMPARE(h.messages.last().text, std::string("\"FRÅN\" måste vara tidigare än \"TILL\"."));
    QCOMPARE(h.rangeText("lblHit_Dit"),
             std::string("Från och med onsdag 28 feb 2001 till och med torsdag 1 feb 2001"));

    // FRÅN and TILL on the same day sum that day alone, with no fee.
    h.messages.clear();
    h.pick("cmbFran_2", "01");
    QCOMPARE(results(h), (std::vector<std::string>{"Ansluten tid: 1 h 1 m ", "Extra tid: 1 m ",
                                                   "Extra kostnad: 0,50 kr",
                                                   "Total kosttnad: 0,50 kr" + kFeeLine}));
    QVERIFY(h.messages.shown().empty());
}

void RangeWindowTest::daysWithoutConnectedTimeAndAPlanWithoutFee() {
    Harness h(core::Date{2001, 12, 5});
    h.storePlan("? h / dygn", 1234);
    h.dir.write("0110.tid", monthFileBytes({{2, dayRecordBytes(0, 600, 140.0f, 2)},
                                            {3, dayRecordBytes(4000, 400, 106.666664f, 3)}}));
    h.start();
    h.messages.clear();
    h.openRange();
    QCOMPARE(h.rangeWindow()->windowTitle(),
             QStringLiteral("Surfklocka 3.11      ? h / dygn      Från och Till"));
    // Day 2 has no connected time: its extra time and cost count for nothing. Three month
    // boundaries, but no plan, so no fee.
    QCOMPARE(results(h), (std::vector<std::string>{"Ansluten tid: 1 h 6 m 40 s ",
                                                   "Extra tid: 6 m 40 s ", "Extra kostnad: 1,07 kr",
                                                   "Total kosttnad: 1,07 kr" + kFeeLine}));
}

void RangeWindowTest::dayListsHoldOnlyTheMonthsDays() {
    Harness h(core::Date{2004, 5, 31});
    h.storePlan("1 h / dygn", 3600);
    h.start();
    h.messages.clear();
    h.openRange();
    QCOMPARE(h.rangeField("cmbFran"), std::string("04 03 01"));

    h.pick("cmbTill_1", "04");
    QCOMPARE(h.rangeList("cmbTill_2")->count(), 30);
    QCOMPARE(h.rangeField("cmbTill"), std::string("04 04 30"));
    QCOMPARE(h.rangeText("lblHit_Dit"),
             std::string("Från och med måndag 1 mar 2004 till och med fredag 30 apr 2004"));
    h.pick("cmbTill_1", "02");
    QCOMPARE(h.rangeList("cmbTill_2")->count(), 29);
    QCOMPARE(h.rangeList("cmbTill_2")->itemText(28), QStringLiteral("29"));
    QCOMPARE(h.rangeField("cmbTill"), std::string("04 02 29"));
    // Changing the TILL month back behind FRÅN gave one order message.
    QCOMPARE(h.messages.shown().size(), std::size_t(1));
    h.messages.clear();
    h.pick("cmbTill_0", "05");
    QCOMPARE(h.rangeList("cmbTill_2")->count(), 28);
    QCOMPARE(h.rangeField("cmbTill"), std::string("05 02 28"));
    QCOMPARE(h.rangeText("lblHit_Dit"),
             std::string("Från och med måndag 1 mar 2004 till och med måndag 28 feb 2005"));
    QVERIFY(h.messages.shown().empty());

    // An entry for 30 February that got into the list all the same is dropped again: the month's
    // last day is chosen and no date error is possible.
    h.rangeList("cmbTill_2")->addItem(QStringLiteral("30"));
    h.pick("cmbTill_2", "30");
    QCOMPARE(h.rangeList("cmbTill_2")->count(), 28);
    QCOMPARE(h.rangeField("cmbTill"), std::string("05 02 28"));
    QCOMPARE(h.rangeText("lblHit_Dit"),
             std::string("Från och med måndag 1 mar 2004 till och med måndag 28 feb 2005"));
    QVERIFY(h.messages.shown().empty());
    QCOMPARE(h.rangeText("lblTotalkost"), "Total kosttnad: 1595,00 kr" + kFeeLine);
}

void RangeWindowTest::activationPutsTheFocusOnTheCloseButton() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.start();
    QWidget* range = h.openRange();
    QCOMPARE(range->focusWidget(), h.inRange("cmdStang"));
    h.rangeList("cmbFran_1")->setFocus();
    QCOMPARE(range->focusWidget(), h.rangeList("cmbFran_1"));
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(range, &activate);
    QCOMPARE(range->focusWidget(), h.inRange("cmdStang"));
}

void RangeWindowTest::closingBringsBackTheMainWindow_data() {
    QTest::addColumn<bool>("throughFrame");
    QTest::newRow("cmdStang") << false;
    QTest::newRow("window frame") << true;
}

void RangeWindowTest::closingBringsBackTheMainWindow() {
    QFETCH(bool, throughFrame);
    Harness h(core::Date{2001, 12, 5});
    h.storePlan("1 h / dygn", 3600);
    auto& main = h.start();
    h.choose("01", "11", "20");
    h.messages.clear();
    h.openRange();
    QVERIFY(!main.isVisible());

    // A FRÅN date after TILL, so that the next opening would show a message if anything of this
    // opening were kept.
    h.pick("cmbFran_0", "02");
    QCOMPARE(h.messages.shown().size(), std::size_t(1));
    h.messages.clear();
    h.label("lblVisa_3")->setText(QStringLiteral("x"));

    if (throughFrame) {
        // What the window frame's close button sends.
        QCloseEvent event;
        QCoreApplication::sendEvent(h.rangeWindow(), &event);
    } else {
        h.inRange<QAbstractButton>("cmdStang")->click();
    }
    QVERIFY(main.isVisible());
    QVERIFY(h.settings.laddar);
    QCOMPARE(h.ended->count(), 0);
    // The main window's activation step shows its chosen date again.
    QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas tisdag 20 nov 2001"));
    QCOMPARE(h.list("cmbSok_1")->currentText(), QStringLiteral("11"));
    Harness::deleteClosedWindows();
    QVERIFY(h.rangeWindow() == nullptr);
    QVERIFY(h.messages.shown().empty());

    // Opening again starts afresh from the default range, with no message.
    h.openRange();
    QVERIFY(!main.isVisible());
    QCOMPARE(h.rangeField("cmbFran"), std::string("01 09 06"));
    QCOMPARE(h.rangeText("lblHit_Dit"),
             std::string("Från och med torsdag 6 sep 2001 till och med onsdag 5 dec 2001"));
    QVERIFY(h.messages.shown().empty());
    QVERIFY(!h.settings.laddar);
}

QTEST_MAIN(RangeWindowTest)
#include "test_range.moc"
