// The Qt printer, message box and save-file write on the real path; PDF files read by pdftotext.
// (The dialogs themselves: test_qt_dialogs.cpp.)

#include "platform/posix_file_system.h"
#include "platform/qt_message_box.h"
#include "platform/qt_printing.h"
#include "platform/qt_save_file.h"
#include "platform/qt_services.h"
#include "presenter/report.h"
#include "storage/month_file.h"
#include "support/month_bytes.h"
#include "support/temp_dir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QUrl>

using testing_support::bookedDay;

namespace {

// The pages of a PDF file as pdftotext reads them: the non-empty lines, squeezed, each ending in |.
QStringList pdfPages(const QString& file) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), file, QStringLiteral("-")});
    process.waitForFinished(-1);
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(u'\f');
    pages.removeLast(); // after the form feed that ends the last page
    static const QRegularExpression lineEnd(QStringLiteral(" *\n\\s*"));
    for (QString& page : pages) {
        page = page.trimmed().append(u'\n').replace(lineEnd, QStringLiteral("|")).simplified();
    }
    return pages;
}

} // namespace

class QtPrintingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The save-file service's write: the whole file or, on failure, the old file and a Swedish
    // reason naming it.
    void savedFilesHoldTheirBytesOrSayWhyNot() {
        testing_support::TempDir dir;
        platform::QtSaveFile saveFile;
        QCOMPARE(saveFile.write(dir.file("ut.csv"), "datum\r\nå\r\n"), std::nullopt);
        QCOMPARE(saveFile.write(dir.file("ut.json"), "{\n"), std::nullopt);
        QCOMPARE(saveFile.write(dir.file("ut.json"), "x"), std::nullopt); // fewer bytes
        const std::string missing = dir.file("saknas/ut.csv");
        QCOMPARE(saveFile.write(missing, "x"),
                 "filen " + missing + " gick inte att öppna för skrivning.");
        QCOMPARE(dir.names(), (std::vector<std::string>{"ut.csv", "ut.json"}));
        QCOMPARE(dir.read("ut.csv"), (std::vector<std::uint8_t>{'d', 'a', 't', 'u', 'm', '\r', '\n',
                                                                0xC3, 0xA5, '\r', '\n'}));
        QCOMPARE(dir.read("ut.json"), (std::vector<std::uint8_t>{'x'}));
    }

    void monthReportPrintsIntoAPdfFileWithItsPageBreakAndCopies() {
        testing_support::TempDir dir;
        // December 2001 on the 2 h plan: days 3, 11 (half an hour extra) and 12.
        std::vector<core::DayRecord> month(12);
        month[2] = bookedDay(3, 3725);
        month[10] = bookedDay(11, 9000, 1800, 340.0f);
        month[11] = bookedDay(12, 7200);
        platform::QtPrinting printing;
        const QString pdf = QString::fromStdString(dir.file("rapport.pdf"));
        printing.printer().setOutputFileName(pdf);
        QVERIFY(printing.print(presenter::monthReport({month, 7200, "December 2001", 2})));
        // Each copy on pages of its own, the page break after day 11.
        const QString first = QStringLiteral(
            "Kostnader för NetLink abbonemang December 2001|Datum: 3|Ansluten tid: 1 h 2 m 5 s|"
            "Tid kvar: 57 m 55 s|Kostnad: 0,00 kr|Datum: 11|Ansluten tid: 2 h 30 m|Använd extra "
            "tid: 30 m|Kostnad: 3,40 kr|");
        const QString second = QStringLiteral(
            "Datum: 12|Ansluten tid: 2 h|Tid kvar:|Kostnad: 0,00 kr|För hela December 2001 blir "
            "kostnaden:|Ansluten tid: 5 h 32 m 5 s|Extra månadstid: 30 m|Extra månadskostnad "
            "3,40 kr|Total månadskostnad: 248,40 kr|");
        QCOMPARE(pdfPages(pdf), QStringList({first, second, first, second}));
    }

    // A link: an address as it is, a plain file name in the data folder, and nothing else.
    void linkTargetsBecomeAddresses() {
        QCOMPARE(platform::linkUrl("hjalp.html", "/d").toString(), u"file:///d/hjalp.html");
        for (const char* target : {"../hjalp.html", "mapp/hjalp.html", ""}) {
            QVERIFY2(!platform::linkUrl(target, "/d").isValid(), target);
        }
    }

    // The message box: its title, text, icon and buttons in Swedish (in alphabetical order, the
    // default one marked), and the answer of the button pressed.
    void messageBoxSpeaksSwedishAndAnswers() {
        using Box = platform::MessageBox;
        const auto show = [](Box::Buttons buttons, Box::Icon icon, bool second,
                             QMessageBox::StandardButton press) {
            QString seen;
            QTimer::singleShot(0, [&seen, press] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QStringList shown;
                for (auto* button : box->buttons()) {
                    shown << button->text() + QString(button == box->defaultButton(), u'*');
                }
                shown.sort();
                seen = box->windowTitle() + u'|' + box->text() + u'|' +
                       QString::number(box->icon()) + u'|' + shown.join(u'|');
                box->button(press)->click();
            });
            const auto answer = platform::QtMessageBox().show("Allt försvinner.", "Allt raderas!",
                                                              buttons, icon, second);
            return std::pair(seen, answer);
        };
        const QString shown = QStringLiteral("Allt raderas!|Allt försvinner.|");
        QCOMPARE(show(Box::Buttons::YesNo, Box::Icon::Stop, true, QMessageBox::No),
                 std::pair(shown + QStringLiteral("3|Ja|Nej*"), Box::Answer::No));
        QCOMPARE(show(Box::Buttons::YesNo, Box::Icon::None, false, QMessageBox::Yes),
                 std::pair(shown + QStringLiteral("0|Ja*|Nej"), Box::Answer::Yes));
        QCOMPARE(show(Box::Buttons::YesNoCancel, Box::Icon::None, false, QMessageBox::Cancel),
                 std::pair(shown + QStringLiteral("0|Avbryt|Ja*|Nej"), Box::Answer::Cancel));
        QCOMPARE(show(Box::Buttons::Ok, Box::Icon::Exclamation, false, QMessageBox::Ok),
                 std::pair(shown + QStringLiteral("2|OK*"), Box::Answer::Ok));
    }
};

QTEST_MAIN(QtPrintingTest)
#include "test_qt_printing.moc"
