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

// The main window on `today` and the 1 h plan (or another), with the range window opened.
struct Range {
    explicit Range(core::Date today, const char* plan = "1 h / dygn", std::int16_t allowance = 3600)
        : h(today) {
        h.storePlan(plan, allowance);
    }
    QWidget* open() {
        if (h.window == nullptr) {
            h.start();
        }
        h.click("cmdFran_till");
        return window = h.find("frmFran_till");
    }
    // The texts of the named labels, or what the named lists show (or, with `offered`, the
    // entries they offer), "|" between them.
    QString texts(const char* names, bool offered = false) const {
        QStringList shown;
        for (const QString& name : QString::fromLatin1(names).split(u' ')) {
            auto* list = window->findChild<QComboBox*>(name);
            QStringList entries;
            for (int i = 0; list != nullptr && i < list->count(); ++i) {
                entries << list->itemText(i);
            }
            shown << (list == nullptr ? window->findChild<QLabel*>(name)->text()
                      : offered       ? entries.join(u' ')
                                      : list->currentText());
        }
        return shown.join(u'|');
    }
    // Chooses an entry of a date list, as in "cmbFran_1=11", as a user would.
    void pick(const char* choice) const {
        const QStringList parts = QString::fromLatin1(choice).split(u'=');
        window->findChild<QComboBox*>(parts[0])->setCurrentText(parts[1]);
    }

    Harness h;
    QWidget* window = nullptr;
};

QString twoDigitNumbers(int last) {
    QStringList all;
    for (int n = 1; n <= last; ++n) {
        all << QString::number(n).rightJustified(2, u'0');
    }
    return all.join(u' ');
}

} // namespace

class RangeWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensOnTheLastThreeMonthsAndComesBackAfresh() {
        // On 2 h / dygn, opened on 31 May 2003: 1 March to 31 May, with 1 May 3600 s and 31 May
        // 9000 s (1800 s extra, 340 öre).
        Range r(core::Date{2003, 5, 31}, "2 h / dygn", 7200);
        QVERIFY(storage::writeDay(r.h.files, "0305.tid", 1, {0, 3600, 0, 1, core::kFalse}));
        QVERIFY(storage::writeDay(r.h.files, "0305.tid", 31, {340, 9000, 1800, 31, core::kTrue}));
        QWidget& main = r.h.start();
        r.h.choose("03", "04", "20"); // the main window's own date, kept while the range is open
        QPointer<QWidget> range = r.open();
        QVERIFY(range->isVisible() && !main.isVisible());
        QCOMPARE(range->windowTitle() + u'|' + r.h.find("cmdStang", range)->toolTip(),
                 QStringLiteral("Surfklocka 3.11      2 h / dygn      Från och Till|"
                                "Stänger \"Från och Till\"."));
        QCOMPARE(r.texts("lblHit_Dit cmbFran_0 cmbFran_1 cmbFran_2 cmbTill_0 cmbTill_1 cmbTill_2"),
                 QStringLiteral("Från och med lördag 1 mar 2003 till och med lördag 31 maj 2003|"
                                "03|03|01|03|05|31"));
        QCOMPARE(r.texts("lblTid lblExtrtid lblKost lblTotalkost lblJamforelse lblPlan_0 "
                         "lblPlan_1 lblPlan_2"),
                 QStringLiteral("Ansluten tid: 3 h 30 m |Extra tid: 30 m |Extra kostnad: 3,40 kr|"
                                "Total kosttnad: 493,40 kr\n(Fasta kostnaden uppräknas varje hel "
                                "månad.)|Jämförelse, avgiften räknad per dag:|1 h / dygn: 444,40 "
                                "kr (uppskattat) (billigast)|2 h / dygn: 738,40 kr|8 h / dygn: "
                                "1785,00 kr (uppskattat)"));
        // The comparison below the results, its caption directly above the first line.
        const QRect total = r.h.find("lblTotalkost", range)->geometry();
        const QRect above = r.h.find("lblJamforelse", range)->geometry();
        const QRect first = r.h.find("lblPlan_0", range)->geometry();
        QVERIFY(total.bottom() < above.top() && above.bottom() < first.top());
        QVERIFY(first.top() - above.bottom() <= 12 && above.left() == first.left());

        // Closed through the window frame, the main window comes back with its activation step;
        // the next opening shows the same window, afresh.
        r.pick("cmbFran_1=05");
        r.h.blankDate();
        QVERIFY(range->windowHandle()->close());
        Harness::deleteClosedWindows();
        QVERIFY(!range.isNull() && range->isHidden() && main.isVisible() && r.h.ended->isEmpty());
        QCOMPARE(r.h.text("lblVisa_3"), std::string("Nu visas söndag 20 apr 2003"));
        QCOMPARE(r.open(), range.data());
        QCOMPARE(r.texts("cmbFran_1"), QStringLiteral("03"));
        QVERIFY(r.h.messages.shown().empty());
    }

    void listsHoldOnlyRealDays() {
        // Opened on 30 June 2001: FRÅN 31 March, TILL 30 June. Each step chooses one entry; a day
        // the new month lacks gives way to the month's last day.
        const char* const steps[][2] = {
            // The choice; FRÅN and TILL, "yy|mm|dd", and the number of days each list offers.
            {"cmbTill_1=02", "01|03|31|01|02|28 31 28"}, // February 2001
            {"cmbTill_0=04", "01|03|31|04|02|28 31 29"}, // February of the leap year 2004
            {"cmbFran_1=02", "01|02|28|04|02|28 28 29"},
            {"cmbFran_0=04", "04|02|28|04|02|28 29 29"},
        };
        Range r(core::Date{2001, 6, 30});
        r.open();
        const char* const lists = "cmbFran_0 cmbFran_1 cmbFran_2 cmbTill_0 cmbTill_1 cmbTill_2";
        QCOMPARE(r.texts(lists), QStringLiteral("01|03|31|01|06|30"));
        const QString years = twoDigitNumbers(99), months = twoDigitNumbers(12);
        QCOMPARE(r.texts(lists, true), QStringList({years, months, twoDigitNumbers(31), years,
                                                    months, twoDigitNumbers(30)})
                                           .join(u'|'));
        const auto days = [&r](const char* name) {
            return QString::number(r.h.find<QComboBox>(name, r.window)->count());
        };
        for (const auto& [choice, shown] : steps) {
            r.pick(choice);
            QCOMPARE(r.texts(lists) + u' ' + days("cmbFran_2") + u' ' + days("cmbTill_2"),
                     QString::fromLatin1(shown));
        }
    }

    void unreadableMonthsAreReportedOnceInOneBox() {
        // Opened on 31 January 2002: FRÅN 1 November 2001. 0111.tid and 0112.tid are folders,
        // which cannot be read as month files; January has a day of one hour.
        Range r(core::Date{2002, 1, 31});
        QVERIFY(storage::writeDay(r.h.files, "0201.tid", 10, {0, 3600, 0, 10, core::kFalse}));
        for (const char* month : {"0111.tid", "0112.tid"}) {
            std::filesystem::create_directory(r.h.dir.file(month));
        }
        const std::string both = "Filerna 0111.tid och 0112.tid kunde inte läsas, så tiden i de "
                                 "månaderna är inte med i summorna.";
        const auto& shown = r.h.messages.shown();
        QWidget* range = r.open();
        QCOMPARE(shown.size(), std::size_t(1));
        QCOMPARE(shown.back().title + '|' + shown.back().text, "Kan inte läsa|" + both);
        QCOMPARE(r.texts("lblTid"), QStringLiteral("Ansluten tid: 1 h "));
        // Summing the same months again, or leaving November out and taking it in again, says
        // nothing more; a month not read before is reported on its own, once.
        for (const char* choice : {"cmbFran_2=02", "cmbFran_1=12", "cmbFran_1=11"}) {
            r.pick(choice);
        }
        std::filesystem::create_directory(r.h.dir.file("0110.tid"));
        r.pick("cmbFran_1=10");
        r.pick("cmbFran_2=04");
        QCOMPARE(shown.size(), std::size_t(2));
        QCOMPARE(shown.back().text, std::string("Filen 0110.tid kunde inte läsas, så tiden i den "
                                                "månaden är inte med i summorna."));
        // The next opening reports afresh.
        r.h.find<QAbstractButton>("cmdStang", range)->click();
        r.open();
        QCOMPARE(shown.size(), std::size_t(3));
        QCOMPARE(shown.back().text, both);
    }

    void focusStaysAndExportSaysWhere() {
        Range r(core::Date{2001, 12, 5});
        QWidget* range = r.open();
        QCOMPARE(range->focusWidget(), r.h.find("cmdStang", range)); // the opening's
        // The user goes to a list; another window takes over and gives the window back.
        QWidget other;
        other.show();
        const auto activate = [](QWidget* window) {
            window->activateWindow();
            return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
        };
        QComboBox* list = r.h.find<QComboBox>("cmbFran_1", range);
        QVERIFY(activate(range));
        list->setFocus();
        QVERIFY(activate(&other) && activate(range));
        QCOMPARE(QApplication::focusWidget(), list);

        // The export button, in the bottom row left of the close button, saves and says where.
        auto* button = r.h.find<QToolButton>("cmdExportera", range);
        QCOMPARE(QStringList({button->text(), button->toolTip(), button->accessibleName()}),
                 QStringList({QStringLiteral("Exportera…"),
                              QStringLiteral("Sparar dagarna i perioden som CSV eller JSON."),
                              QStringLiteral("Exportera")}));
        const QRect close = r.h.find("cmdStang", range)->geometry();
        QVERIFY(button->geometry().right() < close.left());
        QVERIFY(button->geometry().top() < close.bottom() &&
                close.top() < button->geometry().bottom());
        r.h.saveFile.answer("/home/anna/ut.csv");
        button->click();
        QCOMPARE(r.h.saveFile.written().at(0).path, std::string("/home/anna/ut.csv"));
        QCOMPARE(r.texts("lblSparat"), QStringLiteral("Sparat som ~/ut.csv"));
        QVERIFY(r.h.messages.shown().empty());
    }
};

QTEST_MAIN(RangeWindowTest)
#include "test_range.moc"
