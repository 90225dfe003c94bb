// The range window: one render of the range it opens on, its date lists, the one message for month
// files it cannot read, the focus it keeps, the export button, and closing it back to the main
// window. The sums and refusals themselves are the presenter's; its keys are in test_keyboard.

#include "harness.h"
#include "storage/month_file.h"

#include <QPointer>
#include <QToolButton>
#include <QWindow>
#include <filesystem>

using testing_support::Harness;

namespace {

// The texts of the named labels, or what the named lists show (or, with `offered`, the entries
// they offer), "|" between them.
QString texts(QWidget* range, const char* names, bool offered = false) {
    QStringList shown;
    for (const QString& name : QString::fromLatin1(names).split(u' ')) {
        auto* list = range->findChild<QComboBox*>(name);
        QStringList entries;
        for (int i = 0; list != nullptr && i < list->count(); ++i) {
            entries << list->itemText(i);
        }
        shown << (list == nullptr ? range->findChild<QLabel*>(name)->text()
                  : offered       ? entries.join(u' ')
                                  : list->currentText());
    }
    return shown.join(u'|');
}

// Chooses an entry of a date list, as in "cmbFran_1=11", as a user would; that checks the range.
void pick(QWidget* range, const char* choice) {
    const QStringList parts = QString::fromLatin1(choice).split(QLatin1Char('='));
    range->findChild<QComboBox*>(parts[0])->setCurrentText(parts[1]);
}

QString twoDigitNumbers(int last) {
    QStringList all;
    for (int n = 1; n <= last; ++n) {
        all << QString::number(n).rightJustified(2, QLatin1Char('0'));
    }
    return all.join(u' ');
}

} // namespace

class RangeWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensOnTheLastThreeMonthsAndComesBackAfresh();
    void listsHoldOnlyRealDays();
    void unreadableMonthsAreReportedOnceInOneBox();
    void focusStaysAndExportSaysWhere();
};

void RangeWindowTest::opensOnTheLastThreeMonthsAndComesBackAfresh() {
    // On 2 h / dygn, opened on 31 May 2003: 1 March to 31 May, with 1 May 3600 s and 31 May
    // 9000 s (1800 s extra, 340 öre).
    Harness h(core::Date{2003, 5, 31});
    h.storePlan("2 h / dygn", 7200);
    platform::PosixFileSystem files(h.dir.path());
    QVERIFY(storage::writeDay(files, "0305.tid", 1, {0.0f, 3600, 0, 1, core::kFalse}));
    QVERIFY(storage::writeDay(files, "0305.tid", 31, {340.0f, 9000, 1800, 31, core::kTrue}));
    QWidget& main = h.start();
    h.choose("03", "04", "20"); // a date of the main window's own, kept while the range is open
    QPointer<QWidget> range = h.openRange();
    QVERIFY(range->isVisible() && !main.isVisible());
    QCOMPARE(range->windowTitle(),
             QStringLiteral("Surfklocka 3.11      2 h / dygn      Från och Till"));
    QCOMPARE(h.find<QAbstractButton>("cmdStang", range)->toolTip(),
             QStringLiteral("Stänger \"Från och Till\"."));
    QCOMPARE(texts(range, "lblHit_Dit cmbFran_0 cmbFran_1 cmbFran_2 cmbTill_0 cmbTill_1 cmbTill_2"),
             QStringLiteral("Från och med lördag 1 mar 2003 till och med lördag 31 maj 2003|"
                            "03|03|01|03|05|31"));
    QCOMPARE(texts(range, "lblTid lblExtrtid lblKost lblTotalkost lblJamforelse lblPlan_0 "
                          "lblPlan_1 lblPlan_2"),
             QStringLiteral("Ansluten tid: 3 h 30 m |Extra tid: 30 m |Extra kostnad: 3,40 kr|"
                            "Total kosttnad: 493,40 kr\n(Fasta kostnaden uppräknas varje hel "
                            "månad.)|Jämförelse, avgiften räknad per dag:|"
                            "1 h / dygn: 444,40 kr (uppskattat) (billigast)|2 h / dygn: 738,40 kr|"
                            "8 h / dygn: 1785,00 kr (uppskattat)"));
    // The comparison below the results, its caption directly above the first line.
    const QRect total = h.find("lblTotalkost", range)->geometry();
    const QRect above = h.find("lblJamforelse", range)->geometry();
    const QRect first = h.find("lblPlan_0", range)->geometry();
    QVERIFY(total.bottom() < above.top() && above.bottom() < first.top());
    QVERIFY(first.top() - above.bottom() <= 12 && above.left() == first.left());

    // Closed through the window frame, the main window comes back with its activation step; the
    // next opening starts afresh.
    pick(range, "cmbFran_1=05");
    h.label("lblVisa_3")->setText(QStringLiteral("-"));
    QVERIFY(range->windowHandle() != nullptr && range->windowHandle()->close());
    Harness::deleteClosedWindows();
    QVERIFY(!range.isNull() && range->isHidden() && main.isVisible() && h.ended->isEmpty());
    QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas söndag 20 apr 2003"));
    QCOMPARE(h.openRange(), range.data());
    QVERIFY(texts(range, "lblHit_Dit").startsWith(QStringLiteral("Från och med lördag 1 mar")));
    QVERIFY(h.messages.shown().empty());
}

void RangeWindowTest::listsHoldOnlyRealDays() {
    // Opened on 30 June 2001: FRÅN 31 March, TILL 30 June. Each step chooses one entry; a day the
    // new month lacks gives way to the month's last day.
    const char* const steps[][2] = {
        // The choice; FRÅN and TILL, "yy|mm|dd", and the number of days each list offers.
        {"cmbTill_1=02", "01|03|31|01|02|28 31 28"}, // February 2001
        {"cmbTill_0=04", "01|03|31|04|02|28 31 29"}, // February of the leap year 2004
        {"cmbFran_1=02", "01|02|28|04|02|28 28 29"},
        {"cmbFran_0=04", "04|02|28|04|02|28 29 29"},
    };
    Harness h(core::Date{2001, 6, 30});
    h.storePlan("1 h / dygn", 3600);
    h.start();
    QWidget* range = h.openRange();
    const char* const lists = "cmbFran_0 cmbFran_1 cmbFran_2 cmbTill_0 cmbTill_1 cmbTill_2";
    QCOMPARE(texts(range, lists), QStringLiteral("01|03|31|01|06|30"));
    const QString years = twoDigitNumbers(99), months = twoDigitNumbers(12);
    QCOMPARE(texts(range, lists, true),
             QStringList({years, months, twoDigitNumbers(31), years, months, twoDigitNumbers(30)})
                 .join(u'|'));
    const auto days = [range](const char* name) {
        return QString::number(range->findChild<QComboBox*>(QString::fromLatin1(name))->count());
    };
    for (const auto& [choice, shown] : steps) {
        pick(range, choice);
        QCOMPARE(texts(range, lists) + u' ' + days("cmbFran_2") + u' ' + days("cmbTill_2"),
                 QString::fromLatin1(shown));
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
    QCOMPARE(h.messages.last().text, both);
    QCOMPARE(h.messages.last().title, std::string("Kan inte läsa"));
    QCOMPARE(texts(range, "lblTid"), QStringLiteral("Ansluten tid: 1 h "));
    // Summing the same months again, or leaving November out and taking it in again, says
    // nothing more; a month not read before is reported on its own, once.
    for (const char* choice : {"cmbFran_2=02", "cmbFran_1=12", "cmbFran_1=11"}) {
        pick(range, choice);
    }
    QCOMPARE(h.messages.shown().size(), std::size_t(1));
    std::filesystem::create_directory(h.dir.file("0110.tid"));
    pick(range, "cmbFran_1=10");
    pick(range, "cmbFran_2=04");
    QCOMPARE(h.messages.shown().size(), std::size_t(2));
    QCOMPARE(h.messages.last().text, std::string("Filen 0110.tid kunde inte läsas, så tiden i "
                                                 "den månaden är inte med i summorna."));
    // The next opening reports afresh.
    h.find<QAbstractButton>("cmdStang", range)->click();
    h.openRange();
    QCOMPARE(h.messages.shown().size(), std::size_t(3));
    QCOMPARE(h.messages.last().text, both);
}

void RangeWindowTest::focusStaysAndExportSaysWhere() {
    Harness h;
    h.storePlan("1 h / dygn", 3600);
    h.start();
    QWidget* range = h.openRange();
    QCOMPARE(range->focusWidget(), h.find("cmdStang", range)); // opening hands it the focus
    // The user goes to a list; another window takes over and gives the window back.
    QWidget other;
    other.show();
    range->activateWindow();
    QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == range; }));
    QComboBox* list = h.list("cmbFran_1", range);
    list->setFocus();
    other.activateWindow();
    QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == &other; }));
    range->activateWindow();
    QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == range; }));
    QCOMPARE(QApplication::focusWidget(), list);

    // The export button, in the bottom row left of the close button, saves and says where.
    auto* button = h.find<QToolButton>("cmdExportera", range);
    QCOMPARE(QStringList({button->text(), button->toolTip(), button->accessibleName()}),
             QStringList({QStringLiteral("Exportera…"),
                          QStringLiteral("Sparar dagarna i perioden som CSV eller JSON."),
                          QStringLiteral("Exportera")}));
    const QRect close = h.find("cmdStang", range)->geometry();
    QVERIFY(button->geometry().right() < close.left());
    QVERIFY(button->geometry().top() < close.bottom() && close.top() < button->geometry().bottom());
    h.saveFile.answer("/home/anna/ut.csv");
    button->click();
    QCOMPARE(h.saveFile.written().at(0).path, std::string("/home/anna/ut.csv"));
    QCOMPARE(h.find<QLabel>("lblSparat", range)->text(), QStringLiteral("Sparat som ~/ut.csv"));
    QVERIFY(h.messages.shown().empty());
}

QTEST_MAIN(RangeWindowTest)
#include "test_range.moc"
