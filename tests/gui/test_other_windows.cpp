// The windows the main window opens, and the chart's painter. The range window: one render of the
// range it opens on, its date lists, a month it cannot read told once an opening, the focus it
// keeps, the export button, and closing it back to the main window (the sums and refusals
// themselves are the presenter's). The help window: its
// caption, lines and links, the links wired to the link opener, the help page shown in the window
// when the desktop cannot open it, and the main window back unchanged. The chart window: one
// render, its commands wired to the presenter, the saved pictures, and the way from the
// main window to the chart of the chosen month and back. The painter: the pixels that a wrong bar
// height, bar width, colour, allowance line, chosen day's frame or axis would change. Their keys
// are in test_main_window.

#include "core/month_chart.h"
#include "forms/frmDiagram.h"
#include "forms/month_chart_painter.h"
#include "harness.h"
#include "storage/month_file.h"
#include "support/fakes/memory_file_system.h"
#include "support/month_bytes.h"

#include <QCheckBox>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QTextBrowser>
#include <QToolButton>
#include <QWindow>
#include <filesystem>

using testing_support::dayRecordBytes;
using testing_support::Harness;
using testing_support::monthFileBytes;

namespace {

// The main window on `today` and the 1 h plan (or another), with the range window opened.
struct Range {
    explicit Range(core::Date today, const char* plan = "1 h / dygn", std::int16_t allowance = 3600)
        : h(today) {
        h.start(plan, allowance);
    }
    QWidget* open() {
        h.click("cmdFran_till");
        return window = h.find("frmFran_till");
    }
    // The texts of the named labels, or what the named lists show (or, with `offered`, how many
    // entries they offer, the first and the last), "|" between them.
    QString texts(const char* names, bool offered = false) const {
        QStringList shown;
        for (const QString& name : QString::fromLatin1(names).split(u' ')) {
            auto* list = window->findChild<QComboBox*>(name);
            shown << (list == nullptr ? window->findChild<QLabel*>(name)->text()
                      : offered       ? Harness::entries(list)
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

// Presses a key at the widget that has the focus in `window`, made active as the user would.
void key(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QVERIFY(Harness::activate(&window));
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// The chart window on December 2026 on the 2 h plan (fee 245 kr): day 1 one hour, day 2 three
// hours of which one is extra time costing 1234 öre; day 2 chosen. The clock is in 2027: no
// projection.
struct Chart {
    Chart() {
        files.files()["2612.tid"] = monthFileBytes(
            {{1, dayRecordBytes(3600, 0, 0, 1)}, {2, dayRecordBytes(10800, 3600, 1234, 2)}});
        settings.dailyAllowance = 7200;
        window.open(core::Date{2026, 12, 2});
        window.show();
    }
    QWidget* find(const char* name) const {
        return window.findChild<QWidget*>(QString::fromLatin1(name));
    }
    QString text(const char* name) const { return find(name)->property("text").toString(); }

    platform::fakes::MemoryFileSystem files;
    platform::fakes::FakeOutside outside{core::Date{2027, 1, 10}};
    core::ProgramSettings settings;
    forms::frmDiagram window{outside.with(files), settings};
};

} // namespace

class OtherWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensOnTheLastThreeMonthsAndComesBackAfresh() {
        // On 2 h / dygn, opened on 31 May 2003: 1 March to 31 May, with 1 May 3600 s and 31 May
        // 9000 s (1800 s extra, 340 öre); April cannot be read, and is told once an opening.
        Range r(core::Date{2003, 5, 31}, "2 h / dygn", 7200);
        std::filesystem::create_directory(r.h.dir.file("0304.tid"));
        QVERIFY(storage::writeDay(r.h.files, "0305.tid", 1, {0, 3600, 0, 1, core::kFalse}));
        QVERIFY(storage::writeDay(r.h.files, "0305.tid", 31, {340, 9000, 1800, 31, core::kTrue}));
        QWidget& main = *r.h.window;
        r.h.choose("03", "02", "20"); // the main window's own date, kept while the range is open
        QPointer<QWidget> range = r.open();
        QVERIFY(range->isVisible() && !main.isVisible());
        QCOMPARE(r.h.messages.shown().back().text,
                 std::string("Filen 0304.tid kunde inte läsas, så "
                             "tiden i den månaden är inte med i "
                             "summorna."));
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
        // Closed through the window frame, the main window comes back with its activation step;
        // the next opening shows the same window, afresh.
        r.pick("cmbFran_2=02"); // April again: not told again
        r.pick("cmbFran_1=05");
        r.h.blankDate();
        QVERIFY(range->windowHandle()->close());
        Harness::deleteClosedWindows();
        QVERIFY(!range.isNull() && range->isHidden() && main.isVisible() && r.h.ended->isEmpty());
        QCOMPARE(r.h.text("lblVisa_3"), std::string("Nu visas torsdag 20 feb 2003"));
        QCOMPARE(r.open(), range.data());
        QCOMPARE(r.texts("cmbFran_1"), QStringLiteral("03"));
        QCOMPARE(r.h.messages.shown().size(), std::size_t(2));
    }

    void listsFocusAndExport() {
        // Opened on 30 June 2001: FRÅN 31 March, TILL 30 June. Each step chooses one entry; a day
        // the new month lacks gives way to the month's last day.
        const char* const steps[][2] = {
            // The choice; FRÅN and TILL, "yy|mm|dd", and the days each list offers.
            {"cmbTill_1=02", "01|03|31|01|02|28 31:01-31|28:01-28"}, // February 2001
            {"cmbTill_0=04", "01|03|31|04|02|28 31:01-31|29:01-29"}, // of the leap year 2004
            {"cmbFran_1=02", "01|02|28|04|02|28 28:01-28|29:01-29"},
        };
        Range r(core::Date{2001, 6, 30});
        QWidget* range = r.open();
        QCOMPARE(range->focusWidget(), r.h.find("cmdStang", range)); // the opening's
        const char* const lists = "cmbFran_0 cmbFran_1 cmbFran_2 cmbTill_0 cmbTill_1 cmbTill_2";
        QCOMPARE(r.texts(lists) + u' ' + r.texts(lists, true),
                 QStringLiteral("01|03|31|01|06|30 99:01-99|12:01-12|31:01-31|99:01-99|12:01-12|"
                                "30:01-30"));
        // The export button saves the range shown and says where.
        auto* button = r.h.find<QToolButton>("cmdExportera", range);
        QCOMPARE(
            button->text() + u'|' + button->toolTip() + u'|' + button->accessibleName(),
            QStringLiteral("Exportera…|Sparar dagarna i perioden som CSV eller JSON.|Exportera"));
        r.h.saveFile.answer("/home/anna/ut.csv");
        button->click();
        QCOMPARE(r.h.saveFile.written().at(0).path, std::string("/home/anna/ut.csv"));
        QCOMPARE(r.texts("lblSparat"), QStringLiteral("Sparat som ~/ut.csv"));
        QVERIFY(r.h.messages.shown().empty());
        for (const auto& [choice, shown] : steps) {
            r.pick(choice);
            QCOMPARE(r.texts(lists) + u' ' + r.texts("cmbFran_2 cmbTill_2", true),
                     QString::fromLatin1(shown));
        }

        // The user goes to a list; another window takes over and gives the window back.
        QWidget other;
        other.show();
        QComboBox* list = r.h.find<QComboBox>("cmbFran_1", range);
        QVERIFY(Harness::activate(range));
        list->setFocus();
        QVERIFY(Harness::activate(&other) && Harness::activate(range));
        QCOMPARE(QApplication::focusWidget(), list);
    }

    void helpWindowLinksAndClosingBackToTheMainWindow() {
        Harness h;
        QWidget& main = h.start("8 h / dygn", 28800);
        h.choose("01", "11", "14");
        h.enterMinutes("2");
        h.click("cmdHjalp");
        QPointer<QWidget> help = h.find("frmHjalp");
        QVERIFY(help != nullptr && help->isVisible() && !main.isVisible());
        auto* close = h.find<QAbstractButton>("cmdStang", help);
        QCOMPARE(
            help->windowTitle() + u'|' + close->toolTip(),
            QStringLiteral("Surfklocka 3.11      8 h / dygn      Om...|Stänger detta formulär."));
        // The red welcome at 12 points, the notes at 8, the closing notice red again.
        const auto line = [&help](int i) {
            return help->findChild<QLabel*>(QStringLiteral("lblRad_%1").arg(i));
        };
        QCOMPARE(line(1)->text(), QStringLiteral("            Välkommen till Surfklocka 3.11"));
        QVERIFY(line(1)->font().pointSize() == 12 && line(9)->font().pointSize() == 8);
        QVERIFY(line(1)->palette().color(QPalette::WindowText) == QColor(255, 0, 0) &&
                line(15)->palette().color(QPalette::WindowText) == QColor(255, 0, 0));
        // Each link wired to the link opener.
        for (const char* row : {"0|hjalp.html|Öppnar hjälpen.",
                                "1|mailto:surfklocka@example.org?subject=Om Surfklocka 3.11|E-post "
                                "om programmet.",
                                "2|https://surfklocka.example.org/|Till programmets hemsida."}) {
            auto* link = h.find<QAbstractButton>((std::string("aghHjalp_") + row[0]).c_str(), help);
            QCOMPARE(link->text() + u'|' + link->toolTip(), QString::fromUtf8(row + 2));
            link->click();
            QCOMPARE(h.links.opened().back(), link->text().toStdString());
        }
        // No browser: the help page from the data folder in the window itself, without a message.
        auto* page = h.find<QTextBrowser>("txtHjalp", help);
        h.links.fail();
        h.find<QAbstractButton>("aghHjalp_0", help)->click();
        QVERIFY(page->isVisible() && help->rect().contains(page->geometry()));
        QVERIFY(page->toPlainText().startsWith(QStringLiteral("Hjälp till Surfklocka 3.11")));
        // Closed, the main window is back as it was, its date shown afresh.
        h.blankDate();
        close->click();
        Harness::deleteClosedWindows();
        QVERIFY(help.isNull() && main.isVisible() && h.messages.shown().empty());
        QCOMPARE(h.text("lblVisa_3") + h.list("cmbTid_1")->currentText().toStdString(),
                 std::string("Nu visas onsdag 14 nov 20012"));
    }

    void chartWindowShowsAndStepsTheMonth() {
        Chart c;
        QCOMPARE(c.window.windowTitle() + u'|' + c.find("picDiagram")->accessibleName(),
                 QStringLiteral("Diagram – December 2026|Diagram över ansluten tid per dag"));
        QVERIFY(c.find("picDiagram")
                    ->accessibleDescription()
                    .startsWith(u"Ansluten tid per dag, december 2026."));
        // 1 h + 3 h = 4 h; 1 h extra; 12,34 kr + 245 kr = 257,34 kr.
        QCOMPARE(c.text("lblPrognos"), QStringLiteral("Ansluten tid: 4 h \nExtra tid: 1 h \nTotal "
                                                      "månadskostnad: 257,34 kr"));
        for (const char* row : {"cmdForra|‹|Föregående månad|Visar månaden före.",
                                "cmdNasta|›|Nästa månad|Visar månaden efter.",
                                "cmdSparaBild|Spara bild…|Spara bild|Sparar diagrammet som PNG- "
                                "eller SVG-bild.",
                                "cmdStang|Stäng|Stäng|Stänger diagrammet."}) {
            const QByteArray name = QString::fromUtf8(row).section(u'|', 0, 0).toLatin1();
            QWidget* button = c.find(name.constData());
            QCOMPARE(QStringList({QString::fromLatin1(name), c.text(name.constData()),
                                  button->accessibleName(), button->toolTip()})
                         .join(u'|'),
                     QString::fromUtf8(row));
            QCOMPARE(button->accessibleDescription(), button->toolTip());
        }
        // No setting file: the box is on; unticked, it stores the setting at once.
        auto* warning = qobject_cast<QCheckBox*>(c.find("chkVarning"));
        QVERIFY(warning->isChecked());
        warning->click();
        QCOMPARE(c.files.files().at("avisering.it"), (std::vector<std::uint8_t>{0x00, 0x00}));
        // The month buttons and their keys.
        qobject_cast<QAbstractButton*>(c.find("cmdNasta"))->click();
        QCOMPARE(c.window.windowTitle(), QStringLiteral("Diagram – Januari 2027"));
        key(c.window, Qt::Key_PageUp);
        key(c.window, Qt::Key_PageUp);
        QCOMPARE(c.window.windowTitle(), QStringLiteral("Diagram – November 2026"));
        key(c.window, Qt::Key_PageDown);
        QCOMPARE(c.window.windowTitle(), QStringLiteral("Diagram – December 2026"));
    }

    void chartWindowSavesPngAndSvgOnWhite() {
        Chart c;
        // A name without an ending, PNG chosen: a PNG of 800 × 450 drawn at twice the pixels.
        auto& saveFile = c.outside.saveFile;
        saveFile.answer(std::string("/home/anna/december"));
        qobject_cast<QAbstractButton*>(c.find("cmdSparaBild"))->click();
        QCOMPARE(saveFile.written().back().path, std::string("/home/anna/december.png"));
        QCOMPARE(c.text("lblSparat"), QStringLiteral("Sparat som ~/december.png"));
        QVERIFY(c.find("lblSparat")->isVisible());
        QImage image;
        QVERIFY(
            image.loadFromData(QByteArray::fromStdString(saveFile.written().back().bytes), "PNG"));
        QCOMPARE(image.size(), QSize(1600, 900));
        QCOMPARE(image.pixelColor(1599, 899), QColor(Qt::white));
        // Day 1's prepaid portion in 800 × 450: PW = 736, PH = 362, B = 32 + 362 = 394, slot =
        // 736 / 31 = 23, gap = max(2, 23 / 4) = 5, bar 18 wide from 48 + 2 = 50 to 67;
        // height(3600) = 3600 × 362 / 10800 = 120, rows 274 to 393. Logical (58, 300) is device
        // (116, 600).
        QCOMPARE(image.pixelColor(116, 600),
                 c.find("picDiagram")->palette().color(QPalette::Highlight));
        // Ctrl+S, SVG chosen.
        saveFile.answer(std::string("/home/anna/december"), 1);
        key(c.window, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(saveFile.written().back().path, std::string("/home/anna/december.svg"));
        QVERIFY(saveFile.written().back().bytes.starts_with("<?xml"));
    }

    // The chart of the month chosen in the main window; nothing before January 2001. (Closing it
    // back to the main window: test_main_window.)
    void theMainWindowOpensTheChosenMonthAndClosingGoesBack() {
        Harness h; // today 5 December 2001
        app::frmSurfur& main = h.start("1 h / dygn", 3600);
        h.choose("01", "01", "03");
        h.click("cmdDiagram");
        QWidget* chart = h.find("frmDiagram");
        QVERIFY(!main.isVisible() && !h.find("cmdForra", chart)->isEnabled());
        key(*chart, Qt::Key_PageUp);
        QCOMPARE(chart->windowTitle(), QStringLiteral("Diagram – Januari 2001"));
    }

    void barsLineFrameAndAxes_data() {
        QTest::addColumn<int>("scale");
        QTest::newRow("100 %") << 1;
        QTest::newRow("200 %") << 2;
    }

    void barsLineFrameAndAxes() {
        QFETCH(int, scale);
        const QColor window(240, 240, 230), prepaid(0, 0, 200), ink(10, 20, 30), red(255, 0, 0);
        QPalette palette;
        palette.setColor(QPalette::Window, window);
        palette.setColor(QPalette::Highlight, prepaid);
        palette.setColor(QPalette::WindowText, ink);
        // 2 h plan, December 2026 (31 days): day 1 = 1 h, day 2 = 3 h (2 h prepaid + 1 h extra),
        // day 3 = 0; day 2 chosen. The axis runs to 3 h (10800 s).
        const std::vector<core::DayRecord> records{testing_support::bookedDay(1, 3600),
                                                   testing_support::bookedDay(2, 10800)};
        const core::MonthChart chart = core::monthChart(2026, 12, records, 7200, 2);
        QImage image(QSize(420, 330) * scale, QImage::Format_ARGB32);
        image.setDevicePixelRatio(scale);
        image.fill(Qt::white);
        QPainter painter(&image);
        forms::paintMonthChart(painter, QRect(10, 20, 400, 300), chart, palette);
        painter.end();
        // Rectangle 10, 20, 400 × 300: L = 10 + 48 = 58, T = 20 + 32 = 52, PW = 400 - 64 = 336,
        // PH = 300 - 88 = 212, B = 52 + 212 = 264. slot = 336 / 31 = 10, gap = max(2, 10 / 4) = 2,
        // bar width 8; bar i from 58 + 10 i + 1: day 1 columns 59-66, day 2 69-76. height(3600) =
        // 3600 × 212 / 10800 = 70 (70.67 rounded down), height(7200) = 141, height(10800) = 212.
        // Day 1: rows 194 to 263. Day 2: prepaid rows 123 to 263, extra rows 52 to 122; its frame
        // columns 68 and 77 and row 51. Allowance line: row 123, columns 58 to 393. Axes: column
        // 57 and row 264; ticks in columns 53 to 56, on rows 264 - height(h × 3600).
        const std::tuple<int, int, QColor> probes[] = {
            {5, 5, Qt::white},  // outside the rectangle
            {62, 194, prepaid}, // day 1, top row
            {62, 193, window},  // just above day 1
            {66, 200, prepaid}, // day 1, right column
            {67, 200, window},  // gap after day 1
            {72, 122, red},     // day 2 extra, bottom row
            {72, 123, ink},     // allowance line over day 2
            {393, 123, ink},    // allowance line, last column
            {394, 123, window}, // right of the allowance line
            {72, 51, ink},      // chosen day's frame, top
            {68, 150, ink},     // chosen day's frame, left
            {77, 263, ink},     // chosen day's frame, right, bottom row
            {200, 264, ink},    // x axis
            {57, 150, ink},     // y axis
            {54, 194, ink},     // tick of 1 h
        };
        for (const auto& [x, y, colour] : probes) {
            for (int device = 0; device < scale * scale; ++device) { // each device pixel of it
                const QColor got =
                    image.pixelColor(x * scale + device % scale, y * scale + device / scale);
                QVERIFY2(got == colour,
                         qPrintable(QStringLiteral("%1, %2: %3").arg(x).arg(y).arg(got.name())));
            }
        }
    }
};

QTEST_MAIN(OtherWindowsTest)
#include "test_other_windows.moc"
