// The help window: caption, links, hints, the help page, and the main window back unchanged.

#include "forms/help_file.h"
#include "harness.h"
#include "platform/posix_file_system.h"
#include "storage/month_file.h"

#include <QPointer>

class HelpTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void linksAndClosingBackToTheMainWindow_data();
    void linksAndClosingBackToTheMainWindow();
};

void HelpTest::linksAndClosingBackToTheMainWindow_data() {
    QTest::addColumn<QString>("planText");
    QTest::addColumn<bool>("throughFrame");
    QTest::newRow("1 h, cmdStang") << QStringLiteral("1 h / dygn") << false;
    QTest::newRow("2 h, window frame") << QStringLiteral("2 h / dygn") << true;
    QTest::newRow("8 h, cmdStang") << QStringLiteral("8 h / dygn") << false;
}

void HelpTest::linksAndClosingBackToTheMainWindow() {
    QFETCH(QString, planText);
    QFETCH(bool, throughFrame);
    testing_support::Harness h;
    h.storePlan(planText.toLatin1().constData(),
                static_cast<std::int16_t>(planText.front().digitValue() * 3600));
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
    QCOMPARE(help->windowTitle(),
             QStringLiteral("Surfklocka 3.11      ") + planText + QStringLiteral("      Om..."));
    auto* close = help->findChild<QAbstractButton*>(QStringLiteral("cmdStang"));
    QCOMPARE(close->toolTip(), QStringLiteral("Stänger detta formulär."));
    const char* const links[][2] = {
        {"hjalp.html", "Öppnar hjälpen."},
        {"mailto:surfklocka@example.org?subject=Om Surfklocka 3.11", "E-post om programmet."},
        {"https://surfklocka.example.org/", "Till programmets hemsida."}};
    for (int i = 0; i < 3; ++i) {
        auto* link = help->findChild<QAbstractButton*>(QStringLiteral("aghHjalp_%1").arg(i));
        QCOMPARE(link->text(), QString::fromUtf8(links[i][0]));
        QCOMPARE(link->toolTip(), QString::fromUtf8(links[i][1]));
        link->click();
        QCOMPARE(QString::fromStdString(h.links.opened().at(static_cast<std::size_t>(i))),
                 QString::fromUtf8(links[i][0]));
    }
    QCOMPARE(h.dir.read("hjalp.html"), forms::helpPage()); // written when the window opened
    h.links.fail();
    help->findChild<QAbstractButton*>(QStringLiteral("aghHjalp_2"))->click();
    QCOMPARE(h.messages.last().text, "Det gick inte att öppna " + std::string(links[2][0]) + ".");

    h.label("lblVisa_3")->setText(QStringLiteral("-")); // the activation step writes it afresh
    if (throughFrame) {
        QVERIFY(help->close());
    } else {
        close->click();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(help.isNull() && main.isVisible());
    QCOMPARE(shown(), before);
    QVERIFY(h.messages.shown().size() == 1 && h.ended->isEmpty()); // the failed link's only

    // A page of the user's own is never overwritten.
    const std::vector<std::uint8_t> own = {'m', 'i', 'n'};
    h.dir.write("hjalp.html", own);
    h.click("cmdHjalp");
    QVERIFY(h.find("frmHjalp") != nullptr);
    QCOMPARE(h.dir.read("hjalp.html"), own);
}

QTEST_MAIN(HelpTest)
#include "test_help.moc"
