// The Qt printer, message box, save-file write and link addresses on the real path; PDF files
// read by pdftotext. (The dialogs themselves: test_qt_dialogs.cpp.)

#include "platform/posix_file_system.h"
#include "platform/qt_message_box.h"
#include "platform/qt_save_file.h"
#include "platform/qt_services.h"
#include "platform/qt_translation.h"
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
    void initTestCase() {
        QVERIFY(platform::installSwedishQtTranslation(*QCoreApplication::instance()));
    }

    // The save-file service's write: the whole file or, on failure, the old file and a Swedish
    // reason naming it.
    void savedFilesHoldTheirBytesOrSayWhyNot() {
        testing_support::TempDir dir;
        platform::QtSaveFile saveFile;
        const std::string path = dir.file("export.csv");
        QCOMPARE(saveFile.write(path, "datum\r\nå\r\n"), std::nullopt);
        QCOMPARE(dir.read("export.csv"), (std::vector<std::uint8_t>{'d', 'a', 't', 'u', 'm', '\r',
                                                                    '\n', 0xC3, 0xA5, '\r', '\n'}));
        // A second save replaces the whole file, also with fewer bytes.
        QCOMPARE(saveFile.write(path, "x"), std::nullopt);
        QCOMPARE(dir.read("export.csv"), (std::vector<std::uint8_t>{'x'}));
        // A folder that is not there: the reason names the file, and nothing is made.
        const std::string missing = dir.file("saknas/export.csv");
        QCOMPARE(
            saveFile.write(missing, "x"),
            std::optional<std::string>("filen " + missing + " gick inte att öppna för skrivning."));
        QCOMPARE(dir.names(), std::vector<std::string>{"export.csv"});
    }

    void monthReportPrintsIntoAPdfFileWithItsPageBreakAndCopies() {
        testing_support::TempDir dir;
        platform::PosixFileSystem files(dir.path());
        QVERIFY(storage::writeDay(files, "0112.tid", 3, bookedDay(3, 3725)));
        QVERIFY(storage::writeDay(files, "0112.tid", 11, bookedDay(11, 9000, 1800, 340.0f)));
        QVERIFY(storage::writeDay(files, "0112.tid", 12, bookedDay(12, 7200)));
        const storage::MonthRead month = storage::readMonth(files, "0112.tid");
        platform::QtPrinting printing;
        const QString pdf = QString::fromStdString(dir.file("rapport.pdf"));
        printing.printer().setOutputFileName(pdf);
        QVERIFY(
            printing.print(presenter::monthReport({month.records(), 7200, "December 2001", 2})));

        // Each copy on pages of its own, the page break after day 11.
        const QStringList pages = pdfPages(pdf);
        QCOMPARE(pages.size(), 4);
        QCOMPARE(pages[0],
                 QStringLiteral("Kostnader för NetLink abbonemang December 2001|Datum: 3|"
                                "Ansluten tid: 1 h 2 m 5 s|Tid kvar: 57 m 55 s|Kostnad: 0,00 kr|"
                                "Datum: 11|Ansluten tid: 2 h 30 m|Använd extra tid: 30 m|"
                                "Kostnad: 3,40 kr|"));
        QCOMPARE(pages[1],
                 QStringLiteral("Datum: 12|Ansluten tid: 2 h|Tid kvar:|Kostnad: 0,00 kr|"
                                "För hela December 2001 blir kostnaden:|Ansluten tid: 5 h 32 m 5 s|"
                                "Extra månadstid: 30 m|Extra månadskostnad 3,40 kr|"
                                "Total månadskostnad: 248,40 kr|"));
        QCOMPARE(pages.mid(2), pages.mid(0, 2));
    }

    void linkTargetsBecomeAddresses() {
        const std::string folder = "/home/anna/.local/share/surfklocka";
        QCOMPARE(
            platform::linkUrl("hjalp.html", folder),
            QUrl::fromLocalFile(QStringLiteral("/home/anna/.local/share/surfklocka/hjalp.html")));
        QCOMPARE(
            platform::linkUrl("mailto:surfklocka@example.org?subject=Om Surfklocka 3.11", folder)
                .toString(QUrl::FullyEncoded),
            QStringLiteral("mailto:surfklocka@example.org?subject=Om%20Surfklocka%203.11"));
        for (const char* target : {"../hjalp.html", "mapp/hjalp.html", ""}) {
            QVERIFY2(!platform::linkUrl(target, folder).isValid(), target);
        }
        // xdg-utils without a program for web pages: the help page is not handed on.
        testing_support::TempDir bin;
        bin.write("xdg-mime", {'#', '!', '/', 'b', 'i', 'n', '/', 's', 'h', '\n'});
        QFile::setPermissions(QString::fromStdString(bin.file("xdg-mime")),
                              QFile::ReadOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QByteArray::fromStdString(bin.path()));
        qunsetenv("BROWSER");
        QVERIFY(!platform::webBrowserAvailable());
        QVERIFY(!platform::QtLinkOpener(bin.path()).open("hjalp.html"));
        qputenv("PATH", path);
    }

    void messageBoxSpeaksSwedishAndAnswers() {
        using Box = platform::MessageBox;
        // Presses the named button of the box once it shows, after noting what it shows: its
        // buttons in alphabetical order, the default one marked, then title, text and icon.
        QString seen;
        const auto press = [&seen](const QString& name) {
            QTimer::singleShot(0, [&seen, name] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box != nullptr);
                QStringList buttons;
                for (const auto* button : box->buttons()) {
                    buttons << button->text() + (button == box->defaultButton()
                                                     ? QStringLiteral("*")
                                                     : QString());
                }
                buttons.sort();
                seen = buttons.join(u'|') + u'|' + box->windowTitle() + u'|' + box->text() + u'|' +
                       QString::number(box->icon());
                for (auto* button : box->buttons()) {
                    if (button->text() == name) {
                        button->click();
                    }
                }
            });
        };
        platform::QtMessageBox messages;
        press(QStringLiteral("Nej"));
        QCOMPARE(messages.show("Alla sparade värden försvinner\noch kan inte återskapas.",
                               "Allt raderas!", Box::Buttons::YesNo, Box::Icon::Stop, true),
                 Box::Answer::No);
        QCOMPARE(seen,
                 QStringLiteral("Ja|Nej*|Allt raderas!|Alla sparade värden försvinner\noch kan "
                                "inte återskapas.|%1")
                     .arg(QMessageBox::Critical));
        press(QStringLiteral("Avbryt"));
        QCOMPARE(
            messages.show("Vill du spara?", "Spara", Box::Buttons::YesNoCancel, Box::Icon::None),
            Box::Answer::Cancel);
        QVERIFY2(seen.startsWith(QStringLiteral("Avbryt|Ja*|Nej|")), qPrintable(seen));
        press(QStringLiteral("OK"));
        QCOMPARE(messages.show("Klart.", "Titel", Box::Buttons::Ok, Box::Icon::Exclamation),
                 Box::Answer::Ok);
        QVERIFY2(seen.startsWith(QStringLiteral("OK*|Titel|Klart.|%1").arg(QMessageBox::Warning)),
                 qPrintable(seen));
    }
};

QTEST_MAIN(QtPrintingTest)
#include "test_qt_printing.moc"
