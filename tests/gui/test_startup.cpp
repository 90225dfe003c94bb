// Start-up as only the window layer has it: the plan window in place of the main window on a first
// start, each of its options and each way of leaving it, and the main window's first render.

#include "harness.h"

#include <QGroupBox>
#include <QPointer>
#include <QRadioButton>
#include <QWindow>

using testing_support::Harness;

class StartupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstStartShowsThePlanWindowAndStoresTheChosenPlan() {
        // The option chosen, its caption and the plan then in the main window's title.
        for (const char* option :
             {"0 1 timme förbetalt / dygn|1 h / dygn", "1 2 timmar förbetalt / dygn|2 h / dygn",
              "2 8 timmar förbetalt / dygn|8 h / dygn"}) {
            Harness h;
            auto& window = h.start();
            QVERIFY(!window.isVisible() && h.find("frmNetlink")->isVisible());
            QCOMPARE(h.text("lblValkommen"),
                     std::string("Välkommen till Surfklocka 3.11\n\nDu börjar med att ställa in "
                                 "programmet efter den typ av NetLink abbonemang du har."));
            QCOMPARE(h.find<QGroupBox>("ramNetlink")->title() + h.button("cmdOk")->text() +
                         h.button("cmdAvbryt")->text(),
                     QStringLiteral("Förbetald tidOKAvbryt"));
            auto* choice = h.find<QRadioButton>((std::string("optNetlink_") + option[0]).c_str());
            choice->setChecked(true);
            h.click("cmdOk");
            QCOMPARE(choice->text() + u'|' + window.windowTitle().section(QStringLiteral("      "), 1),
                     QString::fromUtf8(option + 2));
            QVERIFY(window.isVisible() && h.ended->isEmpty() && h.messages.shown().empty());
            QCOMPARE(h.text("lblVisa_3"), std::string("Nu visas onsdag 5 dec 2001"));
        }
    }

    void planWindowGoesWhicheverWayItIsLeft_data() {
        // The control given the focus and the keys pressed, or how the window is closed; and the
        // plan then stored: none for Avbryt, which deletes the settings and ends.
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("plan");
        QTest::newRow("option, Return") << "optNetlink_2 Return"
                                        << "8 h / dygn";
        QTest::newRow("OK, Enter") << "cmdOk Enter"
                                   << "1 h / dygn";
        QTest::newRow("Avbryt, Enter") << "cmdAvbryt Enter"
                                       << "";
        QTest::newRow("Esc") << "optNetlink_0 Esc"
                             << "";
        QTest::newRow("close()") << "close"
                                 << "";
        QTest::newRow("window frame") << "frame"
                                      << "";
    }
    void planWindowGoesWhicheverWayItIsLeft() {
        QFETCH(QString, how);
        QFETCH(QString, plan);
        Harness h;
        auto& window = h.start();
        QPointer<QWidget> planWindow = h.find("frmNetlink");
        planWindow->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(planWindow));
        if (how == QLatin1String("close")) {
            QVERIFY(planWindow->close());
        } else if (how == QLatin1String("frame")) { // as the window system closes it
            QVERIFY(planWindow->windowHandle()->close());
        } else {
            auto* target = h.find<QAbstractButton>(how.section(u' ', 0, 0).toLatin1().constData());
            target->setFocus(Qt::TabFocusReason);
            target->setChecked(true); // an option chosen; the push buttons do not check
            QTest::keySequence(target, QKeySequence(how.section(u' ', 1)));
        }
        QVERIFY(!planWindow->isVisible() && window.windowTitle().endsWith(plan));
        QCOMPARE(h.dir.exists("tid.it"), !plan.isEmpty());
        QCOMPARE(window.isVisible(), !plan.isEmpty());
        QCOMPARE(h.ended->count(), plan.isEmpty() ? 1 : 0);
        Harness::deleteClosedWindows();
        QVERIFY(planWindow.isNull() && h.messages.shown().empty());
    }

    void laterStartShowsTodayAtOnceWithTheFocusOnTheMinutes() {
        Harness h;
        h.storePlan("2 h / dygn", 7200);
        auto& window = h.start();
        QVERIFY(window.isVisible() && h.find("frmNetlink") == nullptr);
        QCOMPARE(window.windowTitle() + u'|' + h.find<QGroupBox>("ramMonadstid")->title(),
                 QStringLiteral("Surfklocka 3.11   2 h / dygn|December 2001"));
        QCOMPARE(h.text("lblSumma"), std::string("Total månadskostnad: 245,00 kr"));
        QVERIFY(h.messages.shown().empty());
        QVERIFY(!h.button("cmdAngra")->isEnabled() && !h.button("cmdRedo")->isEnabled());
        QVERIFY(h.button("cmdAngrapost")->isHidden() && h.button("cmdAngramon")->isHidden());
        const char* hints[][2] = {
            {"cmdKasta", "Tar bort allt. Alla inmatade värden försvinner."},
            {"cmdAngra", "Ångra senaste inmatningen i programmet."},
            {"cmdRedo", "Gör om senaste inmatningen i programmet."},
            {"cmdSpara", "Sparar inmatat värde."},
            {"cmdStang", "Stänger programmet."},
            {"cmdHjalp", "Öppnar information om programmet och hjälp till programmet."},
            {"cmdFran_till", "Visar formuläret \"Från och till\"."},
            {"cmdKastapost", "Tar bort all sparad tid den 05 December 2001."},
            {"cmdKastamon", "Tar bort all tid under hela December 2001."},
            {"cmdPrint", "Skriver ut tider och kostnader för December 2001."}};
        for (const auto& [button, hint] : hints) {
            QCOMPARE(h.button(button)->toolTip(), QString::fromUtf8(hint));
        }
        QCOMPARE(h.text("lblVisa_0") + h.text("lblVisa_1") + h.text("lblVisa_2") +
                     h.text("lblVisa_4") + h.text("lblVisa_5") + h.text("lblVisa_6"),
                 std::string("h:m:s:år:mån:dag:"));
        // One digit of hours or two of minutes move the focus on.
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_1"));
        h.list("cmbTid_0")->setFocus();
        QTest::keyClicks(h.list("cmbTid_0"), QStringLiteral("2"));
        QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_1"));
        QTest::keyClicks(h.list("cmbTid_1"), QStringLiteral("30"));
        QCOMPARE(QApplication::focusWidget(), h.list("cmbTid_2"));
    }
};

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
