// The help window: its caption, lines and links as shown, the links wired to the link opener, the
// help page shown in the window when the desktop cannot open it, and the main window back
// unchanged.

#include "harness.h"
#include "platform/posix_file_system.h"
#include "storage/month_file.h"

#include <QPointer>
#include <QTextBrowser>

class HelpTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void linksAndClosingBackToTheMainWindow();
};

void HelpTest::linksAndClosingBackToTheMainWindow() {
    testing_support::Harness h;
    h.storePlan("8 h / dygn", 28800);
    platform::PosixFileSystem files(h.dir.path());
    QVERIFY(storage::writeDay(files, "0112.tid", 14, {340.0f, 9000, 1800, 14, core::kTrue}));
    QWidget& main = h.start();
    h.choose("01", "12", "14");
    h.enter("1", "2", "");
    const auto shown = [&h] {
        QStringList texts;
        for (const char* name : {"lblVisa_3", "lblDagstid", "lblTidkvar", "lblDagskost", "lblTid",
                                 "lblDyrtid", "lblKostnad", "lblSumma", "cmbSok_2", "cmbTid_1"}) {
            auto* list = h.find<QComboBox>(name);
            texts << (list != nullptr ? list->currentText() : h.label(name)->text());
        }
        return texts;
    };
    const QStringList before = shown();

    h.click("cmdHjalp");
    QPointer<QWidget> help = h.find("frmHjalp");
    QVERIFY(help != nullptr && help->isVisible() && !main.isVisible());
    QCOMPARE(help->windowTitle(), QStringLiteral("Surfklocka 3.11      8 h / dygn      Om..."));
    auto* close = help->findChild<QAbstractButton*>(QStringLiteral("cmdStang"));
    QCOMPARE(close->toolTip(), QStringLiteral("Stänger detta formulär."));
    // The red welcome at 12 points, the notes at 8, the closing notice red again at 8; every
    // control within the window.
    const auto line = [&help](int i) {
        return help->findChild<QLabel*>(QStringLiteral("lblRad_%1").arg(i));
    };
    QCOMPARE(line(1)->text(), QStringLiteral("            Välkommen till Surfklocka 3.11"));
    QCOMPARE(line(1)->font().pointSize(), 12);
    QCOMPARE(line(1)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(line(9)->font().pointSize(), 8);
    QCOMPARE(line(15)->font().pointSize(), 8);
    QCOMPARE(line(15)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    for (const QWidget* child : help->findChildren<QWidget*>()) {
        QVERIFY2(!child->isVisible() || help->rect().contains(child->geometry()),
                 qPrintable(child->objectName()));
    }

    const char* const links[][2] = {
        {"hjalp.html", "Öppnar hjälpen."},
        {"mailto:surfklocka@example.org?subject=Om Surfklocka 3.11", "E-post om programmet."},
        {"https://surfklocka.example.org/", "Till programmets hemsida."}};
    auto* page = help->findChild<QTextBrowser*>(QStringLiteral("txtHjalp"));
    for (int i = 0; i < 3; ++i) {
        auto* link = help->findChild<QAbstractButton*>(QStringLiteral("aghHjalp_%1").arg(i));
        QCOMPARE(link->text(), QString::fromUtf8(links[i][0]));
        QCOMPARE(link->toolTip(), QString::fromUtf8(links[i][1]));
        QVERIFY(line(3 * i + 3)->geometry().right() < link->geometry().left()); // beside its line
        link->click();
        QCOMPARE(QString::fromStdString(h.links.opened().at(static_cast<std::size_t>(i))),
                 QString::fromUtf8(links[i][0]));
    }
    QVERIFY(!page->isVisible());
    // No browser: the help page from the data folder in the window itself, without a message.
    h.links.fail();
    help->findChild<QAbstractButton*>(QStringLiteral("aghHjalp_0"))->click();
    QVERIFY(page->isVisible());
    QVERIFY(page->toPlainText().startsWith(QStringLiteral("Hjälp till Surfklocka 3.11")));
    QVERIFY(help->rect().contains(page->geometry()));
    QVERIFY(h.messages.shown().empty());

    h.label("lblVisa_3")->setText(QStringLiteral("-")); // the activation step writes it afresh
    close->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(help.isNull() && main.isVisible());
    QCOMPARE(shown(), before);
    QVERIFY(h.messages.shown().empty() && h.ended->isEmpty());
}

QTEST_MAIN(HelpTest)
#include "test_help.moc"
