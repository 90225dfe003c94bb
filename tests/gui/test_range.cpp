// The range window: the range it opens on, the sums and fees of a chosen range, the ranges it
// refuses with their messages, the entries of its date lists, the one message for month files it
// cannot read, the focus it keeps, the export button, and every way of closing it back to the
// main window.

#include "harness.h"
#include "platform/posix_file_system.h"
#include "storage/month_file.h"

#include <QPointer>
#include <QToolButton>
#include <QWindow>
#include <filesystem>

using namespace Qt::StringLiterals;
using testing_support::Harness;

namespace {

const QString kFeeLine = QStringLiteral("\n(Fasta kostnaden uppräknas varje hel månad.)");
const QString kTill = QStringLiteral(" till och med lördag 31 maj 2003");
const QString kOpening = QStringLiteral("Från och med lördag 1 mar 2003") + kTill;

QWidget* openRange(Harness& h) {
    h.click("cmdFran_till");
    return h.find("frmFran_till");
}

// The range label and the four result labels of the range window.
QStringList shown(QWidget* range) {
    QStringList texts;
    for (const char* name : {"lblHit_Dit", "lblTid", "lblExtrtid", "lblKost", "lblTotalkost"}) {
        texts << range->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
    return texts;
}

// Chooses an entry of a date list, as in "cmbFran_1=11", as a user would; that checks the range.
void pick(QWidget* range, const QString& choice) {
    const QStringList parts = choice.split(QLatin1Char('='));
    range->findChild<QComboBox*>(parts[0])->setCurrentText(parts[1]);
}

// The entries of a list, in order.
QStringList entries(const QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        texts << list->itemText(i);
    }
    return texts;
}

// "01", "02" and so on up to `last`, as a date list writes its numbers.
QStringList twoDigitNumbers(int last) {
    QStringList texts;
    for (int n = 1; n <= last; ++n) {
        texts << QString::number(n).rightJustified(2, QLatin1Char('0'));
    }
    return texts;
}

} // namespace

class RangeWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sumsOrRefusesTheRangeAndClosesBack_data();
    void sumsOrRefusesTheRangeAndClosesBack();
    void listsHoldEachEntryOnceAndOnlyRealDays();
    void unreadableMonthsAreReportedOnceInOneBox();
    void everyCloseHidesTheWindow_data();
    void everyCloseHidesTheWindow();
    void focusStaysWhereTheUserLeftIt();
    void exportButtonWritesTheRangeShown();
    void planLabelsTellWhichPlanPays();
};

void RangeWindowTest::sumsOrRefusesTheRangeAndClosesBack_data() {
    // The entries chosen one after the other in the window opened on 31 May 2003, then the range
    // label and, for a range summed, the four results, with the message of the last choice. A
    // refused range leaves the results as they were.
    QTest::addColumn<QStringList>("picks");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("message");
    QTest::newRow("opening: three months, two fees")
        << QStringList()
        << QStringList{kOpening, u"Ansluten tid: 3 h 30 m "_s, u"Extra tid: 30 m "_s,
                       u"Extra kostnad: 3,40 kr"_s, u"Total kosttnad: 493,40 kr"_s + kFeeLine}
        << QString();
    QTest::newRow("365 days, twelve fees")
        << QStringList{u"cmbFran_0=02"_s, u"cmbFran_1=05"_s, u"cmbFran_2=31"_s}
        << QStringList{u"Från och med fredag 31 maj 2002"_s + kTill, u"Ansluten tid: 5 h 10 m "_s,
                       u"Extra tid: 38 m 20 s "_s, u"Extra kostnad: 12,40 kr"_s,
                       u"Total kosttnad: 2952,40 kr"_s + kFeeLine}
        << QString();
    QTest::newRow("366 days") << QStringList{u"cmbFran_0=02"_s, u"cmbFran_1=05"_s,
                                             u"cmbFran_2=30"_s}
                              << QStringList{u"Felaktiga datum. Längre tid än 12 månader."_s}
                              << u"Det går inte att summera längre\ntid än 12 månader."_s;
    QTest::newRow("reversed, day 31 into February")
        << QStringList{u"cmbTill_1=02"_s}
        << QStringList{u"Från och med lördag 1 mar 2003 till och med fredag 28 feb 2003"_s}
        << QStringLiteral("\"FRÅN\" måste vara tidigare än \"TILL\".");
    QTest::newRow("one day, no fee")
        << QStringList{u"cmbFran_1=05"_s, u"cmbFran_2=31"_s}
        << QStringList{u"Från och med lördag 31 maj 2003"_s + kTill, u"Ansluten tid: 2 h 30 m "_s,
                       u"Extra tid: 30 m "_s, u"Extra kostnad: 3,40 kr"_s,
                       u"Total kosttnad: 3,40 kr"_s + kFeeLine}
        << QString();
}

// The days both range tests sum: 1 June 2002 1000 s (500 s extra, 900 öre), 28 February 2003
// 5000 s, 1 May 2003 3600 s, 31 May 2003 9000 s (1800 s extra, 340 öre).
static void bookTheYearsDays(const Harness& h) {
    platform::PosixFileSystem files(h.dir.path());
    QVERIFY(storage::writeDay(files, "0206.tid", 1, {900.0f, 1000, 500, 1, core::kTrue}));
    QVERIFY(storage::writeDay(files, "0302.tid", 28, {0.0f, 5000, 0, 28, core::kFalse}));
    QVERIFY(storage::writeDay(files, "0305.tid", 1, {0.0f, 3600, 0, 1, core::kFalse}));
    QVERIFY(storage::writeDay(files, "0305.tid", 31, {340.0f, 9000, 1800, 31, core::kTrue}));
}

void RangeWindowTest::sumsOrRefusesTheRangeAndClosesBack() {
    QFETCH(QStringList, picks);
    QFETCH(QStringList, expected);
    QFETCH(QString, message);
    Harness h(core::Date{2003, 5, 31});
    h.storePlan("2 h / dygn", 7200);
    bookTheYearsDays(h);
    const std::vector<std::string> names = h.dir.names(); // none for April
    QWidget& main = h.start();
    h.choose("03", "04", "20"); // a date of the main window's own, kept while the range is open
    QPointer<QWidget> range = openRange(h);
    QVERIFY(range != nullptr && range->isVisible() && !main.isVisible());
    QCOMPARE(range->windowTitle(),
             QStringLiteral("Surfklocka 3.11      2 h / dygn      Från och Till"));
    QCOMPARE(range->findChild<QAbstractButton*>(QStringLiteral("cmdStang"))->toolTip(),
             QStringLiteral("Stänger \"Från och Till\"."));
    QStringList before;
    for (const QString& choice : picks) {
        before = shown(range);
        h.messages.clear();
        pick(range, choice);
    }
    if (expected.size() == 1) {
        expected += before.mid(1);
    }
    QCOMPARE(shown(range), expected);
    if (message.isEmpty()) {
        QVERIFY(h.messages.shown().empty());
    } else {
        QCOMPARE(h.messages.shown().size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(h.messages.last().text), message);
        QCOMPARE(h.messages.last().title, std::string("Felaktiga datum"));
    }
    QCOMPARE(h.dir.names(), names);

    // Closed through the window frame, the main window comes back with its activation step; the
    // next opening starts afresh, with no message.
    h.messages.clear();
    h.label("lblVisa_3")->setText(QStringLiteral("-"));
    QVERIFY(range->windowHandle() != nullptr && range->windowHandle()->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!range.isNull() && range->isHidden() && main.isVisible() && h.ended->isEmpty());
    QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas söndag 20 apr 2003"));
    range = openRange(h);
    QCOMPARE(shown(range).first(), kOpening);
    QVERIFY(h.messages.shown().empty());
}

void RangeWindowTest::listsHoldEachEntryOnceAndOnlyRealDays() {
    // Opened on 30 June 2001: FRÅN 31 March 2001, TILL 30 June 2001. Each step chooses one entry;
    // then the six lists hold the years, the months and the days of the month chosen. A day the
    // new month lacks gives way to the month's last day.
    struct Step {
        const char* choice;
        const char* fran; // the FRÅN date chosen, "yy mm dd"
        int franDays;
        const char* till;
        int tillDays;
    };
    const Step steps[] = {
        {nullptr, "01 03 31", 31, "01 06 30", 30},
        {"cmbTill_1=02", "01 03 31", 31, "01 02 28", 28}, // February 2001
        {"cmbTill_0=04", "01 03 31", 31, "04 02 28", 29}, // February of the leap year 2004
        {"cmbFran_1=02", "01 02 28", 28, "04 02 28", 29},
        {"cmbFran_0=04", "04 02 28", 29, "04 02 28", 29},
        {"cmbFran_2=29", "04 02 29", 29, "04 02 28", 29},
        {"cmbFran_0=01", "01 02 28", 28, "04 02 28", 29}, // the 29th gives way to the 28th
        {"cmbFran_1=04", "01 04 28", 30, "04 02 28", 29},
        {"cmbTill_1=12", "01 04 28", 30, "04 12 28", 31},
    };
    Harness h(core::Date{2001, 6, 30});
    h.storePlan("1 h / dygn", 3600);
    h.start();
    QWidget* range = h.openRange();
    QVERIFY(range != nullptr);
    const QStringList years = twoDigitNumbers(99);
    const QStringList months = twoDigitNumbers(12);
    QCOMPARE(years.size(), 99);
    QCOMPARE(years.last(), QStringLiteral("99"));
    for (const Step& step : steps) {
        if (step.choice != nullptr) {
            pick(range, QString::fromLatin1(step.choice));
        }
        const QString at = QString::fromLatin1(step.choice ? step.choice : "opening");
        for (const char* field : {"cmbFran", "cmbTill"}) {
            const bool fran = field[3] == 'F';
            const auto list = [&](const char* index) {
                return h.rangeList((std::string(field) + index).c_str());
            };
            QVERIFY2(entries(list("_0")) == years, qPrintable(at));
            QVERIFY2(entries(list("_1")) == months, qPrintable(at));
            const int days = fran ? step.franDays : step.tillDays;
            QVERIFY2(list("_2")->count() == days, qPrintable(at));
            QVERIFY2(entries(list("_2")) == twoDigitNumbers(days), qPrintable(at));
            QVERIFY2(h.rangeField(field) == (fran ? step.fran : step.till), qPrintable(at));
        }
    }
}

void RangeWindowTest::unreadableMonthsAreReportedOnceInOneBox() {
    // Opened on 31 January 2002: FRÅN 1 November 2001. 0111.tid and 0112.tid are folders, which
    // the window cannot read as month files; January has a day of one hour.
    Harness h(core::Date{2002, 1, 31});
    h.storePlan("1 h / dygn", 3600);
    platform::PosixFileSystem files(h.dir.path());
    QVERIFY(storage::writeDay(files, "0201.tid", 10, {0.0f, 3600, 0, 10, core::kFalse}));
    std::filesystem::create_directory(h.dir.file("0111.tid"));
    std::filesystem::create_directory(h.dir.file("0112.tid"));
    h.start();
    const std::string both = "Filerna 0111.tid och 0112.tid kunde inte läsas, så tiden i de "
                             "månaderna är inte med i summorna.";

    QWidget* range = h.openRange();
    QCOMPARE(h.messages.shown().size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(h.messages.last().text), QString::fromStdString(both));
    QCOMPARE(h.messages.last().title, std::string("Kan inte läsa"));
    QVERIFY(h.messages.last().buttons == platform::MessageBox::Buttons::Ok);
    QVERIFY(h.messages.last().icon == platform::MessageBox::Icon::Exclamation);
    QCOMPARE(h.rangeText("lblTid"), std::string("Ansluten tid: 1 h "));

    // Changes of the dates that sum the same months again, or leave November out and take it in
    // again, say nothing more; the sums still come.
    for (const char* choice :
         {"cmbFran_2=02", "cmbFran_2=03", "cmbTill_2=30", "cmbFran_1=12", "cmbFran_1=11"}) {
        pick(range, QString::fromLatin1(choice));
    }
    QCOMPARE(h.messages.shown().size(), std::size_t(1));
    QCOMPARE(h.rangeField("cmbFran"), std::string("01 11 03"));
    QCOMPARE(h.rangeText("lblTid"), std::string("Ansluten tid: 1 h "));

    // A month not read before is reported on its own, once.
    std::filesystem::create_directory(h.dir.file("0110.tid"));
    pick(range, QStringLiteral("cmbFran_1=10"));
    pick(range, QStringLiteral("cmbFran_2=04"));
    QCOMPARE(h.messages.shown().size(), std::size_t(2));
    QCOMPARE(QString::fromStdString(h.messages.last().text),
             QStringLiteral("Filen 0110.tid kunde inte läsas, så tiden i den månaden är inte med i "
                            "summorna."));

    // The next opening reports afresh.
    h.messages.clear();
    range->findChild<QAbstractButton*>(QStringLiteral("cmdStang"))->click();
    Harness::deleteClosedWindows();
    h.openRange();
    QCOMPARE(h.messages.shown().size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(h.messages.last().text), QString::fromStdString(both));
}

void RangeWindowTest::everyCloseHidesTheWindow_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("close button") << "cmdStang";
    QTest::newRow("close()") << "close";
    QTest::newRow("window frame") << "frame";
}

void RangeWindowTest::everyCloseHidesTheWindow() {
    // However it is closed, the window goes as with its close button: the main window is back
    // with its activation step, and the next opening shows the one range window again.
    QFETCH(QString, how);
    Harness h; // 5 December 2001
    h.storePlan("1 h / dygn", 3600);
    QWidget& main = h.start();
    for (int opening = 1; opening <= 3; ++opening) {
        QPointer<QWidget> range = h.openRange();
        QCOMPARE(main.findChildren<QWidget*>(QStringLiteral("frmFran_till")).size(), 1);
        QVERIFY(range->isVisible() && !main.isVisible());
        h.label("lblVisa_3")->setText(QStringLiteral("-"));
        if (how == QLatin1String("cmdStang")) {
            range->findChild<QAbstractButton*>(how)->click();
        } else if (how == QLatin1String("close")) {
            QVERIFY(range->close());
        } else {
            // As the window system closes it when the user clicks the frame's close button.
            QVERIFY(range->windowHandle() != nullptr && range->windowHandle()->close());
        }
        QVERIFY(!range->isVisible() && main.isVisible());
        QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas onsdag 5 dec 2001"));
        // Hidden, and kept for the next opening, which refills it.
        Harness::deleteClosedWindows();
        QVERIFY(!range.isNull() && range->isHidden());
    }
    QVERIFY(h.messages.shown().empty() && h.ended->isEmpty());
}

void RangeWindowTest::exportButtonWritesTheRangeShown() {
    // Opened on 5 December 2001: 6 September to 5 December, with one booked day in November.
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    platform::PosixFileSystem files(h.dir.path());
    QVERIFY(storage::writeDay(files, "0111.tid", 15, {60.0f, 3725, 125, 15, core::kFalse}));
    h.start();
    QWidget* range = h.openRange();

    auto* button = range->findChild<QToolButton*>(QStringLiteral("cmdExportera"));
    QVERIFY(button != nullptr);
    QCOMPARE(button->text(), QStringLiteral("Exportera…"));
    QCOMPARE(button->toolTip(), QStringLiteral("Sparar dagarna i perioden som CSV eller JSON."));
    QCOMPARE(button->accessibleName(), QStringLiteral("Exportera"));
    QVERIFY(button->isEnabled());
    // In the bottom row, left of the close button.
    const QRect close = h.inRange("cmdStang")->geometry();
    QVERIFY(button->geometry().right() < close.left());
    QVERIFY(button->geometry().top() < close.bottom() && close.top() < button->geometry().bottom());

    h.saveFile.answer("/home/anna/ut.csv");
    button->click();
    QCOMPARE(h.saveFile.written().size(), std::size_t(1));
    QCOMPARE(h.saveFile.written()[0].path, std::string("/home/anna/ut.csv"));
    QCOMPARE(h.inRange<QLabel>("lblSparat")->text(), QStringLiteral("Sparat som ~/ut.csv"));
    QCOMPARE(h.saveFile.written()[0].bytes,
             std::string("datum,ansluten_sekunder,extra_sekunder,kostnad_ore,kostnad_kr,"
                         "abonnemang\r\n"
                         "2001-11-15,3725,125,60,0.60,1 h / dygn\r\n"));
    QVERIFY(h.messages.shown().empty());
}

void RangeWindowTest::focusStaysWhereTheUserLeftIt() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.start();
    QWidget* range = h.openRange();
    // Opening hands the focus to the close button.
    QCOMPARE(range->focusWidget(), h.inRange("cmdStang"));

    // The user goes to a list; another window (a message box, another program) takes over and
    // gives the window back.
    QWidget other;
    other.show();
    range->activateWindow();
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::activeWindow(), range);
    QComboBox* list = h.rangeList("cmbFran_1");
    list->setFocus();
    QCOMPARE(QApplication::focusWidget(), list);
    other.activateWindow();
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::activeWindow(), &other);
    range->activateWindow();
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::activeWindow(), range);
    QCOMPARE(QApplication::focusWidget(), list);

    // The same for the activation events alone.
    QEvent deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(range, &deactivate);
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(range, &activate);
    QCOMPARE(range->focusWidget(), list);
}

void RangeWindowTest::planLabelsTellWhichPlanPays() {
    // On 2 h / dygn, opened on 31 May 2003. Days: 1 June 2002 1000 s (900 öre booked), 28
    // February 2003 5000 s, 1 May 3600 s, 31 May 9000 s (1800 s extra, 340 öre).
    Harness h(core::Date{2003, 5, 31});
    h.storePlan("2 h / dygn", 7200);
    bookTheYearsDays(h);
    h.start();
    QWidget* range = openRange(h);
    QVERIFY(range != nullptr);
    const auto plans = [range] {
        QStringList texts;
        for (const char* name : {"lblPlan_0", "lblPlan_1", "lblPlan_2"}) {
            texts << range->findChild<QLabel*>(QString::fromLatin1(name))->text();
        }
        return texts;
    };
    // 1 March to 31 May, three whole months: three fees each. 1 h: 9000 − 3600 = 5400 s, 900 +
    // 40 = 940 öre; 9,40 + 3 × 145. 2 h: the booked 3,40 + 3 × 245. 8 h: 3 × 595.
    QCOMPARE(plans(),
             (QStringList{u"1 h / dygn: 444,40 kr (uppskattat) (billigast)"_s,
                          u"2 h / dygn: 738,40 kr"_s, u"8 h / dygn: 1785,00 kr (uppskattat)"_s}));
    const auto* caption = range->findChild<QLabel*>(QStringLiteral("lblJamforelse"));
    QCOMPARE(caption ? caption->text() : QString(), u"Jämförelse, avgiften räknad per dag:"_s);
    // Below the results, the caption directly above the first line, at its left edge.
    const QRect total = range->findChild<QLabel*>(QStringLiteral("lblTotalkost"))->geometry();
    const QRect first = range->findChild<QLabel*>(QStringLiteral("lblPlan_0"))->geometry();
    const QRect above = caption->geometry();
    QVERIFY(total.bottom() < above.top() && above.bottom() < first.top());
    QVERIFY(first.top() - above.bottom() <= 12 && above.left() == first.left());

    // 31 May 2002 to 31 May 2003: 1 / 31 of May 2002's fee and twelve whole fees. 1 h: 5000 −
    // 3600 = 1400 s, 233,33 + 40 = 273,33 öre, and 940 öre: 1213,33 öre; 12 × 14500 + 14500 / 31
    // = 174467,74: 175681,08. 2 h: the booked 1240 öre + 12 × 24500 + 24500 / 31 = 296030,32.
    // 8 h: 12 × 59500 + 59500 / 31 = 715919,35.
    for (const QString& choice : {u"cmbFran_0=02"_s, u"cmbFran_1=05"_s, u"cmbFran_2=31"_s}) {
        pick(range, choice);
    }
    QCOMPARE(plans(),
             (QStringList{u"1 h / dygn: 1756,81 kr (uppskattat) (billigast)"_s,
                          u"2 h / dygn: 2960,30 kr"_s, u"8 h / dygn: 7159,19 kr (uppskattat)"_s}));

    // 366 days are refused: no plan figures and no caption.
    h.messages.clear();
    pick(range, u"cmbFran_2=30"_s);
    QCOMPARE(h.messages.shown().size(), std::size_t(1));
    QCOMPARE(plans(), (QStringList{QString(), QString(), QString()}));
    QCOMPARE(caption->text(), QString());
}

QTEST_MAIN(RangeWindowTest)
#include "test_range.moc"
