// The help window: its caption, lines and links as shown, the links wired to the link opener, the
// help page shown in the window when the desktop cannot open it, and the main window back
// unchanged.

#include "harness.h"

#include <QPointer>
#include <QTextBrowser>

class HelpTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void linksAndClosingBackToTheMainWindow() {
        testing_support::Harness h;
        h.storePlan("8 h / dygn", 28800);
        QWidget& main = h.start();
        h.choose("01", "11", "14");
        h.enter("1", "2", "");
        const auto shown = [&h] {
            return h.text("lblVisa_3") + h.text("lblSumma") +
                   h.list("cmbTid_1")->currentText().toStdString();
        };
        const std::string before = shown();

        h.click("cmdHjalp");
        QPointer<QWidget> help = h.find("frmHjalp");
        QVERIFY(help != nullptr && help->isVisible() && !main.isVisible());
        QCOMPARE(help->windowTitle(), QStringLiteral("Surfklocka 3.11      8 h / dygn      Om..."));
        auto* close = h.find<QAbstractButton>("cmdStang", help);
        QCOMPARE(close->toolTip(), QStringLiteral("Stänger detta formulär."));
        // The red welcome at 12 points, the notes at 8, the closing notice red again at 8; every
        // control within the window.
        const auto line = [&help](int i) {
            return help->findChild<QLabel*>(QStringLiteral("lblRad_%1").arg(i));
        };
        QCOMPARE(line(1)->text(), QStringLiteral("            Välkommen till Surfklocka 3.11"));
        QVERIFY(line(1)->font().pointSize() == 12 && line(9)->font().pointSize() == 8);
        for (int red : {1, 15}) {
            QCOMPARE(line(red)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        }
        for (const QWidget* child : help->findChildren<QWidget*>()) {
            QVERIFY2(!child->isVisible() || help->rect().contains(child->geometry()),
                     qPrintable(child->objectName()));
        }

        const char* const links[][2] = {
            {"hjalp.html", "Öppnar hjälpen."},
            {"mailto:surfklocka@example.org?subject=Om Surfklocka 3.11", "E-post om programmet."},
            {"https://surfklocka.example.org/", "Till programmets hemsida."}};
        for (int i = 0; i < 3; ++i) {
            auto* link = help->findChild<QAbstractButton*>(QStringLiteral("aghHjalp_%1").arg(i));
            QCOMPARE(link->text() + u'|' + link->toolTip(),
                     QString::fromUtf8(links[i][0]) + u'|' + QString::fromUtf8(links[i][1]));
            // Beside its line.
            QVERIFY(line(3 * i + 3)->geometry().right() < link->geometry().left());
            link->click();
            QCOMPARE(h.links.opened().back(), std::string(links[i][0]));
        }
        // No browser: the help page from the data folder in the window itself, without a message.
        auto* page = h.find<QTextBrowser>("txtHjalp", help);
        QVERIFY(!page->isVisible());
        h.links.fail();
        h.find<QAbstractButton>("aghHjalp_0", help)->click();
        QVERIFY(page->isVisible() && help->rect().contains(page->geometry()));
        QVERIFY(page->toPlainText().startsWith(QStringLiteral("Hjälp till Surfklocka 3.11")));

        h.blankDate(); // which the activation step writes afresh
        close->click();
        testing_support::Harness::deleteClosedWindows();
        QVERIFY(help.isNull() && main.isVisible());
        QCOMPARE(shown(), before);
        QVERIFY(h.messages.shown().empty() && h.ended->isEmpty());
    }
};

QTEST_MAIN(HelpTest)
#include "test_help.moc"
