// The Qt printer and print dialog on the real path: a month report printed into a PDF file and
// read back with poppler's tools, the dialog answering with copies or Cancel, the Swedish
// translation of its texts, and the addresses links open.

#include "core/report.h"
#include "platform/posix_file_system.h"
#include "platform/qt_services.h"
#include "platform/qt_translation.h"
#include "storage/month_file.h"
#include "support/month_bytes.h"
#include "support/temp_dir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>

using core::PrintDocument;
using core::PrintItem;
using testing_support::TempDir;

using testing_support::bookedDay;

namespace {

// Runs one of poppler's tools on a file and gives its standard output.
QString runTool(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return QStringLiteral("<%1 failed: %2>").arg(tool, process.errorString());
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A line as pdftotext may give it back: blanks squeezed, none at the ends.
QString squeezed(const QString& text) {
    return text.simplified();
}

// The pages of a PDF file as pdftotext -layout reads them, each a list of its non-empty lines.
QList<QStringList> pdfPages(const QString& file) {
    const QString text = runTool(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-layout"), file, QStringLiteral("-")});
    QList<QStringList> pages;
    QStringList pageTexts = text.split(QLatin1Char('\f'));
    if (!pageTexts.isEmpty() && pageTexts.back().trimmed().isEmpty()) {
        pageTexts.removeLast(); // the form feed after the last page
    }
    for (const QString& page : pageTexts) {
        QStringList lines;
        for (const QString& line : page.split(QLatin1Char('\n'))) {
            if (!squeezed(line).isEmpty()) {
                lines << squeezed(line);
            }
        }
        pages << lines;
    }
    return pages;
}

int pdfPageCount(const QString& file) {
    const QString info = runTool(QStringLiteral("pdfinfo"), {file});
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The pages a document should give: its non-empty lines, squeezed, split at page breaks and, in
// one file, at document ends.
QList<QStringList> expectedPages(const PrintDocument& document) {
    QList<QStringList> pages{{}};
    for (const PrintItem& item : document) {
        if (item.kind == PrintItem::Kind::Line) {
            if (!squeezed(QString::fromStdString(item.text)).isEmpty()) {
                pages.back() << squeezed(QString::fromStdString(item.text));
            }
        } else if (!pages.back().isEmpty()) {
            pages << QStringList{};
        }
    }
    if (pages.back().isEmpty()) {
        pages.removeLast();
    }
    return pages;
}

struct Word {
    QString text;
    double xMin = 0;
    double yMin = 0;
    double yMax = 0;
};

// The words of a PDF file with their boxes, from pdftotext -bbox.
QList<Word> pdfWords(const QString& file) {
    const QString html =
        runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
    static const QRegularExpression pattern(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"[\\d.]+\" yMax=\"([\\d.]+)\">([^<]*)"
        "</word>"));
    QList<Word> words;
    for (auto it = pattern.globalMatch(html); it.hasNext();) {
        const auto match = it.next();
        words << Word{match.captured(4), match.captured(1).toDouble(), match.captured(2).toDouble(),
                      match.captured(3).toDouble()};
    }
    return words;
}

Word firstWord(const QList<Word>& words, const QString& text) {
    for (const Word& word : words) {
        if (word.text == text) {
            return word;
        }
    }
    return Word{};
}

// Runs an action on the modal dialog once it is showing, from inside its event loop.
void whenDialogShows(std::function<void(QDialog&)> action) {
    QTimer::singleShot(0, [action] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            qWarning("no modal dialog is showing");
            return;
        }
        action(*dialog);
    });
}

} // namespace

class QtPrintingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void monthReportPrintsIntoAPdfFileLineForLine();
    void fontSizesWeightsAndIndentationReachThePaper();
    void fullPageContinuesOnTheNextPage();
    void copiesGoIntoOnePdfFileEachOnANewPage();
    void unwritableFileFailsWithoutPrinting();
    void dialogGivesTheCopiesChosen();
    void dialogCancelGivesNothing();
    void dialogSpeaksSwedish();
    void linkTargetsBecomeAddresses();
};

void QtPrintingTest::initTestCase() {
    QVERIFY(platform::installSwedishQtTranslation(*QCoreApplication::instance()));
}

void QtPrintingTest::monthReportPrintsIntoAPdfFileLineForLine() {
    TempDir dir;
    platform::PosixFileSystem files(dir.path());
    QVERIFY(storage::writeDay(files, "0112.tid", 3, bookedDay(3, 3725, 0, 0.0f)));
    QVERIFY(storage::writeDay(files, "0112.tid", 11, bookedDay(11, 9000, 1800, 340.0f)));
    QVERIFY(storage::writeDay(files, "0112.tid", 12, bookedDay(12, 7200, 0, 0.0f)));
    const storage::MonthRead month = storage::readMonth(files, "0112.tid");
    QVERIFY(month.hasRecords());

    core::MonthReportInput input;
    input.records = month.records();
    input.dailyAllowance = 7200;
    input.monthCaption = "December 2001";
    input.monthTimeText = "Ansluten tid: 5 h 32 m 5 s ";
    input.monthExtraText = "Extra månadstid: 30 m ";
    input.monthCostText = "Extra månadskostnad 3,40 kr";
    const PrintDocument report = core::monthReport(input);

    platform::QtPrinting printing;
    const QString pdf = QString::fromStdString(dir.file("rapport.pdf"));
    printing.printer().setOutputFileName(pdf);
    QCOMPARE(printing.printer().outputFormat(), QPrinter::PdfFormat);
    QVERIFY(printing.print(report));

    // The page break after day 11 gives two pages.
    QCOMPARE(pdfPageCount(pdf), 2);
    const QList<QStringList> pages = pdfPages(pdf);
    QCOMPARE(pages, expectedPages(report));
    QCOMPARE(pages.size(), 2);
    QCOMPARE(pages[0].first(), QStringLiteral("Kostnader för NetLink abbonemang December 2001"));
    QCOMPARE(pages[0].last(), QStringLiteral("Kostnad: 3,40 kr"));
    QCOMPARE(pages[1].first(), QStringLiteral("Datum: 12"));
    QCOMPARE(pages[1].last(), QStringLiteral("Total månadskostnad: 248,40 kr"));
}

void QtPrintingTest::fontSizesWeightsAndIndentationReachThePaper() {
    TempDir dir;
    const std::string day(20, ' ');
    const PrintDocument document = {
        {PrintItem::Kind::Line, std::string(17, ' ') + "Kostnader för", 12, true},
        {PrintItem::Kind::Line, day + "Datum: 5", 10, true},
        {PrintItem::Kind::Line, day + "Ansluten tid: 2 h ", 10, false},
        {PrintItem::Kind::Line, std::string(18, ' ') + "För hela", 12, true},
        {PrintItem::Kind::EndDocument, "", 10, false},
    };
    platform::QtPrinting printing;
    const QString pdf = QString::fromStdString(dir.file("fonts.pdf"));
    printing.printer().setOutputFileName(pdf);
    QVERIFY(printing.print(document));

    const QString fonts = runTool(QStringLiteral("pdffonts"), {pdf});
    QVERIFY2(fonts.contains(QStringLiteral("DejaVuSansMono-Bold")), qPrintable(fonts));
    QVERIFY2(QRegularExpression(QStringLiteral("DejaVuSansMono\\s")).match(fonts).hasMatch(),
             qPrintable(fonts));

    const QList<Word> words = pdfWords(pdf);
    const Word heading = firstWord(words, QStringLiteral("Kostnader"));
    const Word date = firstWord(words, QStringLiteral("Datum:"));
    const Word time = firstWord(words, QStringLiteral("Ansluten"));
    const Word closing = firstWord(words, QStringLiteral("För"));
    QVERIFY(!heading.text.isEmpty() && !date.text.isEmpty() && !time.text.isEmpty() &&
            !closing.text.isEmpty());
    // 12 points against 10 points.
    const double ratio = (heading.yMax - heading.yMin) / (time.yMax - time.yMin);
    QVERIFY2(ratio > 1.15 && ratio < 1.25, qPrintable(QString::number(ratio)));
    // The same indent of 20 blanks, bold or not; one more blank at 12 points is 0.6 × 12 points.
    QVERIFY(qAbs(date.xMin - time.xMin) < 0.5);
    QVERIFY2(qAbs(closing.xMin - heading.xMin - 0.602 * 12) < 0.5,
             qPrintable(QString::number(closing.xMin - heading.xMin)));
    // 20 blanks at 10 points lie about 120 points from where a line without blanks would start.
    QVERIFY(date.xMin > 120.0);
    // The lines come one under the other.
    QVERIFY(heading.yMax <= date.yMin + 0.5 && date.yMax <= time.yMin + 0.5 &&
            time.yMax <= closing.yMin + 0.5);
}

void QtPrintingTest::fullPageContinuesOnTheNextPage() {
    TempDir dir;
    PrintDocument document;
    for (int i = 1; i <= 150; ++i) {
        document.push_back({PrintItem::Kind::Line, "Rad " + std::to_string(i), 10, false});
    }
    document.push_back({PrintItem::Kind::NewPage, "", 10, false});
    document.push_back({PrintItem::Kind::EndDocument, "", 10, false});

    platform::QtPrinting printing;
    const QString pdf = QString::fromStdString(dir.file("lang.pdf"));
    printing.printer().setOutputFileName(pdf);
    QVERIFY(printing.print(document));

    const QList<QStringList> pages = pdfPages(pdf);
    // No page is left empty by the break at the end.
    QCOMPARE(pdfPageCount(pdf), pages.size());
    QVERIFY(pages.size() >= 2);
    QStringList all;
    for (const QStringList& page : pages) {
        QVERIFY(!page.isEmpty());
        all << page;
    }
    QCOMPARE(all.size(), 150);
    for (int i = 0; i < all.size(); ++i) {
        QCOMPARE(all[i], QStringLiteral("Rad %1").arg(i + 1));
    }
}

void QtPrintingTest::copiesGoIntoOnePdfFileEachOnANewPage() {
    TempDir dir;
    std::vector<core::DayRecord> records(5);
    records[4] = bookedDay(5, 600, 0, 0.0f);
    core::MonthReportInput input;
    input.records = records;
    input.dailyAllowance = 3600;
    input.monthCaption = "Maj 2002";
    input.monthTimeText = "Ansluten tid: 10 m ";
    input.monthExtraText = "Extra månadstid: ";
    input.monthCostText = "Extra månadskostnad 0,00 kr";
    input.copies = 3;

    platform::QtPrinting printing;
    const QString pdf = QString::fromStdString(dir.file("kopior.pdf"));
    printing.printer().setOutputFileName(pdf);
    QVERIFY(printing.print(core::monthReport(input)));

    QCOMPARE(pdfPageCount(pdf), 3);
    const QList<QStringList> pages = pdfPages(pdf);
    QCOMPARE(pages.size(), 3);
    for (const QStringList& page : pages) {
        QCOMPARE(page.first(), QStringLiteral("Kostnader för NetLink abbonemang Maj 2002"));
        QCOMPARE(page.last(), QStringLiteral("Total månadskostnad: 145,00 kr"));
        QCOMPARE(page, pages.first());
    }
}

void QtPrintingTest::unwritableFileFailsWithoutPrinting() {
    TempDir dir;
    platform::QtPrinting printing;
    const QString pdf = QString::fromStdString(dir.file("saknas/rapport.pdf"));
    printing.printer().setOutputFileName(pdf);
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    QVERIFY(!printing.print({{PrintItem::Kind::Line, "Datum: 1", 10, true},
                             {PrintItem::Kind::EndDocument, "", 10, false}}));
    QVERIFY(!QFile::exists(pdf));
}

void QtPrintingTest::dialogGivesTheCopiesChosen() {
    TempDir dir;
    platform::QtPrinting printing;
    const QString pdf = QString::fromStdString(dir.file("dialog.pdf"));
    printing.printer().setOutputFileName(pdf);
    bool seen = false;
    whenDialogShows([&seen](QDialog& dialog) {
        seen = true;
        auto* copies = dialog.findChild<QSpinBox*>(QStringLiteral("copies"));
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        if (copies == nullptr || buttons == nullptr) {
            dialog.reject();
            return;
        }
        copies->setValue(3);
        buttons->button(QDialogButtonBox::Ok)->click();
    });
    QCOMPARE(printing.ask(), std::optional<int>(3));
    QVERIFY(seen);
    // The printer itself makes one copy of each document; the program prints the others.
    QCOMPARE(printing.printer().copyCount(), 1);
    QCOMPARE(printing.printer().outputFileName(), pdf);
}

void QtPrintingTest::dialogCancelGivesNothing() {
    platform::QtPrinting printing;
    bool seen = false;
    whenDialogShows([&seen](QDialog& dialog) {
        seen = true;
        dialog.reject();
    });
    QCOMPARE(printing.ask(), std::optional<int>());
    QVERIFY(seen);
}

void QtPrintingTest::dialogSpeaksSwedish() {
    QStringList buttons;
    QStringList tabs;
    QString title;
    QString pdfEntry;
    whenDialogShows([&](QDialog& dialog) {
        title = dialog.windowTitle();
        for (auto* button : dialog.findChildren<QAbstractButton*>()) {
            buttons << button->text();
        }
        if (auto* tabWidget = dialog.findChild<QTabWidget*>()) {
            for (int i = 0; i < tabWidget->count(); ++i) {
                tabs << tabWidget->tabText(i);
            }
        }
        if (auto* printers = dialog.findChild<QComboBox*>(QStringLiteral("printers"))) {
            pdfEntry = printers->itemText(printers->count() - 1);
        }
        dialog.reject();
    });
    platform::QtPrinting printing;
    QCOMPARE(printing.ask(), std::optional<int>());
    QCOMPARE(title, QStringLiteral("Skriv ut"));
    QVERIFY2(buttons.contains(QStringLiteral("Skriv &ut")), qPrintable(buttons.join(u'|')));
    QVERIFY2(buttons.contains(QStringLiteral("Avbryt")), qPrintable(buttons.join(u'|')));
    QVERIFY2(buttons.contains(QStringLiteral("&Egenskaper")), qPrintable(buttons.join(u'|')));
    QVERIFY2(buttons.contains(QStringLiteral("&Alternativ >>")), qPrintable(buttons.join(u'|')));
    QVERIFY2(buttons.contains(QStringLiteral("Sortera")), qPrintable(buttons.join(u'|')));
    QCOMPARE(tabs, (QStringList{QStringLiteral("Kopior"), QStringLiteral("Alternativ")}));
    QCOMPARE(pdfEntry, QStringLiteral("Skriv till fil (PDF)"));
}

void QtPrintingTest::linkTargetsBecomeAddresses() {
    const std::string folder = "/home/anna/.local/share/surfklocka";
    QCOMPARE(platform::linkUrl("hjalp.html", folder),
             QUrl::fromLocalFile(QStringLiteral("/home/anna/.local/share/surfklocka/hjalp.html")));
    const QUrl mail =
        platform::linkUrl("mailto:surfklocka@example.org?subject=Om Surfklocka 3.11", folder);
    QCOMPARE(mail.scheme(), QStringLiteral("mailto"));
    QCOMPARE(mail.toString(QUrl::FullyEncoded),
             QStringLiteral("mailto:surfklocka@example.org?subject=Om%20Surfklocka%203.11"));
    QCOMPARE(platform::linkUrl("https://surfklocka.example.org/", folder),
             QUrl(QStringLiteral("https://surfklocka.example.org/")));
    // Only a plain file name in the data folder.
    QVERIFY(!platform::linkUrl("../hjalp.html", folder).isValid());
    QVERIFY(!platform::linkUrl("mapp/hjalp.html", folder).isValid());
    QVERIFY(!platform::linkUrl("", folder).isValid());
}

QTEST_MAIN(QtPrintingTest)
#include "test_qt_printing.moc"
